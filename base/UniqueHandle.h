// The one owner type for handles, and the owners of the handles the search engine holds.
// Portable: the engine builds natively too, so this header names no window or drawing
// handle; runtime/Handles.h adds those on top of it.
//
//   FileHandle file(CreateFileA(...));     // Win32: closed at scope exit
//   FileDescriptor fd(::open(...));        // POSIX: the same owner, with -1 as empty
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <utility>

namespace quennet {

// One owned value of a handle type; Traits says what "empty" is and how to free it.
template <class Traits> class UniqueHandle {
  public:
    using pointer = typename Traits::pointer;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(pointer value) noexcept : value_(value) {}
    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    pointer get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::Empty(); }

    pointer release() noexcept { return std::exchange(value_, Traits::Empty()); }
    void reset(pointer value = Traits::Empty()) noexcept {
        pointer old = std::exchange(value_, value);
        if (old != Traits::Empty())
            Traits::Close(old);
    }
    // For out-parameters: frees what is held and returns the slot to fill.
    pointer* put() noexcept {
        reset();
        return &value_;
    }

  private:
    pointer value_ = Traits::Empty();
};

namespace handle_traits {

#ifdef _WIN32

struct Kernel {
    using pointer = HANDLE;
    static HANDLE Empty() { return nullptr; }
    static void Close(HANDLE value) { CloseHandle(value); }
};

// CreateFile and friends report failure as INVALID_HANDLE_VALUE, not as null.
struct File {
    using pointer = HANDLE;
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE value) { CloseHandle(value); }
};

struct Find {
    using pointer = HANDLE;
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE value) { FindClose(value); }
};

#else

// open() reports failure as -1, and 0 is a valid descriptor.
struct Descriptor {
    using pointer = int;
    static constexpr int Empty() { return -1; }
    static void Close(int value) { ::close(value); }
};

#endif

} // namespace handle_traits

#ifdef _WIN32
using KernelHandle = UniqueHandle<handle_traits::Kernel>;
using FileHandle = UniqueHandle<handle_traits::File>;
using FindHandle = UniqueHandle<handle_traits::Find>;
#else
using FileDescriptor = UniqueHandle<handle_traits::Descriptor>;
#endif

} // namespace quennet
