// A page-aligned byte buffer, so reads land on page boundaries (the kernel copies faster).
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

#ifdef _WIN32
#include <malloc.h>
#endif

namespace quennet {

class AlignedBuffer {
  public:
    static constexpr std::size_t kAlignment = 4096;

    AlignedBuffer() = default;
    explicit AlignedBuffer(std::size_t size) { Allocate(size); }
    AlignedBuffer(const AlignedBuffer&) = delete;
    AlignedBuffer& operator=(const AlignedBuffer&) = delete;
    ~AlignedBuffer() { Free(); }

    // Throws std::bad_alloc when the memory cannot be had.
    void Allocate(std::size_t size) {
        Free();
        if (size == 0)
            return;
#ifdef _WIN32
        data_ = static_cast<unsigned char*>(_aligned_malloc(size, kAlignment));
#else
        void* p = nullptr;
        data_ = posix_memalign(&p, kAlignment, size) == 0 ? static_cast<unsigned char*>(p) : nullptr;
#endif
        if (!data_)
            throw std::bad_alloc();
        size_ = size;
    }

    unsigned char* data() const {
        return data_;
    }
    std::size_t size() const {
        return size_;
    }

  private:
    void Free() {
#ifdef _WIN32
        _aligned_free(data_);
#else
        std::free(data_);
#endif
        data_ = nullptr;
        size_ = 0;
    }

    unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace quennet
