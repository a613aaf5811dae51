// The size criterion. It is not frozen into the request: the worker reads the current
// state for every file, so a change made during a search applies to the files after it.
#pragma once

#include <atomic>
#include <cstdint>

namespace quennet {

struct SizeCriterion {
    bool Enabled = false;
    std::int32_t MinKb = 0;
    std::int32_t MaxKb = 0; // 0 = no upper limit

    // Both bounds inclusive, products in 64 bits.
    bool Accepts(std::int64_t size) const {
        if (!Enabled)
            return true;
        if (size < static_cast<std::int64_t>(MinKb) * 1024)
            return false;
        return MaxKb == 0 || size <= static_cast<std::int64_t>(MaxKb) * 1024;
    }
};

// Kept current by the user-interface thread, read by the worker; each field is atomic so the
// worker never touches a control. A reader may see a change of one field before another, which
// is the same as the user changing them one after the other.
class LiveSizeBounds {
  public:
    void Set(const SizeCriterion& c) {
        minKb_.store(c.MinKb, std::memory_order_relaxed);
        maxKb_.store(c.MaxKb, std::memory_order_relaxed);
        enabled_.store(c.Enabled, std::memory_order_release);
    }
    void SetEnabled(bool enabled) { enabled_.store(enabled, std::memory_order_release); }
    void SetMinKb(std::int32_t kb) { minKb_.store(kb, std::memory_order_release); }
    void SetMaxKb(std::int32_t kb) { maxKb_.store(kb, std::memory_order_release); }

    SizeCriterion Get() const {
        SizeCriterion c;
        c.Enabled = enabled_.load(std::memory_order_acquire);
        c.MinKb = minKb_.load(std::memory_order_acquire);
        c.MaxKb = maxKb_.load(std::memory_order_acquire);
        return c;
    }

  private:
    std::atomic<bool> enabled_{false};
    std::atomic<std::int32_t> minKb_{0};
    std::atomic<std::int32_t> maxKb_{0};
};

} // namespace quennet
