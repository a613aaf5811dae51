// Owners for every kind of Win32 handle the program holds. Each is move-only and frees its
// handle in the destructor; get() hands out the raw handle without giving up ownership,
// release() gives it up. The owner template and the kernel, file and find handles are in
// base/UniqueHandle.h, which the portable engine shares.
//
//   GdiBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
//   SelectGuard keep(dc, brush.get());     // the old brush comes back at scope exit
//   PaintDC paint(hwnd);                   // BeginPaint / EndPaint
//   RegKey key;  RegOpenKeyExA(..., key.put());
//   ComPtr<IDataObject> data;  obj->QueryInterface(IID_IDataObject, data.put_void());
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "base/UniqueHandle.h"

#include <utility>

namespace quennet {

namespace handle_traits {

template <class T, BOOL(WINAPI* CloseFn)(T)> struct Plain {
    using pointer = T;
    static constexpr T Empty() { return nullptr; }
    static void Close(T value) { CloseFn(value); }
};

struct Key {
    using pointer = HKEY;
    static HKEY Empty() { return nullptr; }
    static void Close(HKEY value) { RegCloseKey(value); }
};

struct Global {
    using pointer = HGLOBAL;
    static HGLOBAL Empty() { return nullptr; }
    static void Close(HGLOBAL value) { GlobalFree(value); }
};

template <class T> struct Gdi {
    using pointer = T;
    static T Empty() { return nullptr; }
    static void Close(T value) { DeleteObject(value); }
};

struct MemoryDC {
    using pointer = HDC;
    static HDC Empty() { return nullptr; }
    static void Close(HDC value) { DeleteDC(value); }
};

struct ImageList {
    using pointer = HIMAGELIST;
    static HIMAGELIST Empty() { return nullptr; }
    static void Close(HIMAGELIST value) { ImageList_Destroy(value); }
};

struct Menu {
    using pointer = HMENU;
    static HMENU Empty() { return nullptr; }
    static void Close(HMENU value) { DestroyMenu(value); }
};

} // namespace handle_traits

using OwnedWindow = UniqueHandle<handle_traits::Plain<HWND, DestroyWindow>>;
using RegKey = UniqueHandle<handle_traits::Key>;
using GlobalMemory = UniqueHandle<handle_traits::Global>;
using GdiPen = UniqueHandle<handle_traits::Gdi<HPEN>>;
using GdiBrush = UniqueHandle<handle_traits::Gdi<HBRUSH>>;
using GdiBitmap = UniqueHandle<handle_traits::Gdi<HBITMAP>>;
using GdiFont = UniqueHandle<handle_traits::Gdi<HFONT>>;
using GdiRegion = UniqueHandle<handle_traits::Gdi<HRGN>>;
using MemoryDC = UniqueHandle<handle_traits::MemoryDC>;
using OwnedImageList = UniqueHandle<handle_traits::ImageList>;
using OwnedMenu = UniqueHandle<handle_traits::Menu>;
// Only for cursors and icons made by Create*/LoadImage without LR_SHARED; the ones
// LoadCursor/LoadIcon return are shared and must not be destroyed.
using OwnedCursor = UniqueHandle<handle_traits::Plain<HCURSOR, DestroyCursor>>;
using OwnedIcon = UniqueHandle<handle_traits::Plain<HICON, DestroyIcon>>;

// A window's DC from GetDC, released with ReleaseDC. GetDC(nullptr) gives the screen's.
class WindowDC {
  public:
    explicit WindowDC(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    WindowDC(WindowDC&& other) noexcept : window_(other.window_), dc_(std::exchange(other.dc_, nullptr)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    WindowDC& operator=(WindowDC&&) = delete;

    HDC get() const noexcept { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// BeginPaint / EndPaint for the length of one WM_PAINT.
class PaintDC {
  public:
    explicit PaintDC(HWND window) noexcept : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ~PaintDC() {
        if (window_)
            EndPaint(window_, &paint_);
    }
    PaintDC(PaintDC&& other) noexcept
        : window_(std::exchange(other.window_, nullptr)), paint_(other.paint_), dc_(other.dc_) {}
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    PaintDC& operator=(PaintDC&&) = delete;

    HDC get() const noexcept { return dc_; }
    const RECT& dirty() const noexcept { return paint_.rcPaint; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

// Selects an object into a DC and puts the previous one back at scope exit, so the owned
// object can be deleted afterwards (a selected object cannot be).
class SelectGuard {
  public:
    SelectGuard(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectGuard() {
        if (dc_ && old_ && old_ != HGDI_ERROR)
            SelectObject(dc_, old_);
    }
    SelectGuard(SelectGuard&& other) noexcept
        : dc_(std::exchange(other.dc_, nullptr)), old_(std::exchange(other.old_, nullptr)) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    SelectGuard& operator=(SelectGuard&&) = delete;

  private:
    HDC dc_;
    HGDIOBJ old_;
};

// SaveDC / RestoreDC around a block that changes many attributes of a DC at once.
class SavedDCState {
  public:
    explicit SavedDCState(HDC dc) noexcept : dc_(dc), id_(SaveDC(dc)) {}
    ~SavedDCState() {
        if (id_)
            RestoreDC(dc_, id_);
    }
    SavedDCState(const SavedDCState&) = delete;
    SavedDCState& operator=(const SavedDCState&) = delete;

  private:
    HDC dc_;
    int id_;
};

// GlobalLock / GlobalUnlock on a global memory block.
template <class T = void> class GlobalLockGuard {
  public:
    explicit GlobalLockGuard(HGLOBAL memory) noexcept
        : memory_(memory), data_(static_cast<T*>(GlobalLock(memory))) {}
    ~GlobalLockGuard() {
        if (data_)
            GlobalUnlock(memory_);
    }
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;

    T* get() const noexcept { return data_; }
    explicit operator bool() const noexcept { return data_ != nullptr; }

  private:
    HGLOBAL memory_;
    T* data_;
};

// A counted reference to a COM object.
template <class T> class ComPtr {
  public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes over a reference the caller already holds (as returned by a Create or Query call).
    static ComPtr Attach(T* raw) noexcept {
        ComPtr result;
        result.ptr_ = raw;
        return result;
    }
    // Adds a reference of its own.
    static ComPtr Share(T* raw) noexcept {
        if (raw)
            raw->AddRef();
        return Attach(raw);
    }
    ComPtr(const ComPtr& other) noexcept : ptr_(other.ptr_) {
        if (ptr_)
            ptr_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(ptr_, other.ptr_);
        return *this;
    }
    ~ComPtr() { reset(); }

    T* get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }

    void reset() noexcept {
        if (T* old = std::exchange(ptr_, nullptr))
            old->Release();
    }
    T* detach() noexcept { return std::exchange(ptr_, nullptr); }
    T** put() noexcept {
        reset();
        return &ptr_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    // QueryInterface for another interface; empty when the object does not have it.
    template <class U> ComPtr<U> As(REFIID iid) const noexcept {
        ComPtr<U> result;
        if (ptr_)
            ptr_->QueryInterface(iid, result.put_void());
        return result;
    }

  private:
    T* ptr_ = nullptr;
};

// OleInitialize for the lifetime of the object, on the thread that made it.
class OleScope {
  public:
    OleScope() noexcept : result_(OleInitialize(nullptr)) {}
    ~OleScope() {
        if (SUCCEEDED(result_))
            OleUninitialize();
    }
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;

    HRESULT result() const noexcept { return result_; }

  private:
    HRESULT result_;
};

} // namespace quennet
