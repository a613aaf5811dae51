// What a running search shows of itself: written by the searcher, read now and then by the
// front end's progress display.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace quennet {

class SearchProgress {
  public:
    void SetCurrentFolder(const std::string& folder) {
        std::lock_guard<std::mutex> lock(mutex_);
        currentFolder_ = folder;
    }
    std::string CurrentFolder() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return currentFolder_;
    }

    // Rows handed to the sink so far.
    std::atomic<std::int32_t> FilesFound{0};

  private:
    mutable std::mutex mutex_;
    std::string currentFolder_;
};

} // namespace quennet
