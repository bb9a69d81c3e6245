#pragma once
// Move-only owners for every handle the Win32 side takes, named as in WIL's
// resource.h. Copying is deleted on purpose: a copied owner is how a bitmap gets
// deleted twice or a window DC released against the wrong window.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <utility>

namespace ocu::win {

// Owner of one handle whose release needs nothing but the handle itself.
template <typename Traits>
class unique_any {
public:
    using pointer = typename Traits::pointer;

    unique_any() noexcept = default;
    explicit unique_any(pointer h) noexcept : h_(h) {}
    unique_any(unique_any&& other) noexcept : h_(other.release()) {}
    unique_any& operator=(unique_any&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;
    ~unique_any() { reset(); }

    void reset(pointer h = Traits::Invalid()) noexcept {
        const pointer old = std::exchange(h_, h);
        if (old != Traits::Invalid()) Traits::Close(old);
    }
    [[nodiscard]] pointer release() noexcept { return std::exchange(h_, Traits::Invalid()); }
    pointer get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != Traits::Invalid(); }
    // For functions that hand out a handle through a pointer argument.
    pointer* put() noexcept {
        reset();
        return &h_;
    }

private:
    pointer h_ = Traits::Invalid();
};

namespace detail {
template <typename T, auto CloseFn>
struct NullTraits {
    using pointer = T;
    static constexpr pointer Invalid() noexcept { return nullptr; }
    static void Close(pointer h) noexcept { CloseFn(h); }
};
struct FileTraits {
    using pointer = HANDLE;
    static pointer Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(pointer h) noexcept { ::CloseHandle(h); }
};
inline void DeleteGdiObject(HGDIOBJ h) noexcept { ::DeleteObject(h); }
inline void FreeGlobal(HGLOBAL h) noexcept { ::GlobalFree(h); }
inline void FreeCoTaskMem(void* p) noexcept { ::CoTaskMemFree(p); }
}  // namespace detail

using unique_hdc = unique_any<detail::NullTraits<HDC, ::DeleteDC>>;
using unique_hbitmap = unique_any<detail::NullTraits<HBITMAP, detail::DeleteGdiObject>>;
using unique_hfont = unique_any<detail::NullTraits<HFONT, detail::DeleteGdiObject>>;
using unique_hbrush = unique_any<detail::NullTraits<HBRUSH, detail::DeleteGdiObject>>;
using unique_hpen = unique_any<detail::NullTraits<HPEN, detail::DeleteGdiObject>>;
using unique_hrgn = unique_any<detail::NullTraits<HRGN, detail::DeleteGdiObject>>;
using unique_hwnd = unique_any<detail::NullTraits<HWND, ::DestroyWindow>>;
using unique_hmenu = unique_any<detail::NullTraits<HMENU, ::DestroyMenu>>;
using unique_hicon = unique_any<detail::NullTraits<HICON, ::DestroyIcon>>;
using unique_hcursor = unique_any<detail::NullTraits<HCURSOR, ::DestroyCursor>>;
using unique_haccel = unique_any<detail::NullTraits<HACCEL, ::DestroyAcceleratorTable>>;
using unique_himagelist = unique_any<detail::NullTraits<HIMAGELIST, ::ImageList_Destroy>>;
using unique_hmodule = unique_any<detail::NullTraits<HMODULE, ::FreeLibrary>>;
using unique_handle = unique_any<detail::NullTraits<HANDLE, ::CloseHandle>>;
using unique_hfile = unique_any<detail::FileTraits>;
using unique_hpalette = unique_any<detail::NullTraits<HPALETTE, detail::DeleteGdiObject>>;
using unique_hglobal = unique_any<detail::NullTraits<HGLOBAL, detail::FreeGlobal>>;
// Memory the shell hands out with CoTaskMemAlloc (an item id list, a path).
template <typename T>
using unique_cotaskmem_ptr = unique_any<detail::NullTraits<T*, detail::FreeCoTaskMem>>;

// One reference to a COM object. Move-only: a copy that does not AddRef releases the
// object twice, and one that does hides who holds it.
template <typename T>
class com_ptr {
public:
    com_ptr() noexcept = default;
    // Takes over a reference the caller already holds.
    explicit com_ptr(T* p) noexcept : p_(p) {}
    com_ptr(com_ptr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    com_ptr& operator=(com_ptr&& o) noexcept {
        if (this != &o) reset(std::exchange(o.p_, nullptr));
        return *this;
    }
    com_ptr(const com_ptr&) = delete;
    com_ptr& operator=(const com_ptr&) = delete;
    ~com_ptr() { reset(); }

    void reset(T* p = nullptr) noexcept {
        T* const old = std::exchange(p_, p);
        if (old != nullptr) old->Release();
    }
    [[nodiscard]] T* release() noexcept { return std::exchange(p_, nullptr); }
    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    // For CoCreateInstance and QueryInterface, which hand out a new reference.
    void** put_void() noexcept {
        reset();
        return reinterpret_cast<void**>(&p_);
    }
    // For the methods that hand out a new reference of their own type.
    T** put() noexcept {
        reset();
        return &p_;
    }

private:
    T* p_ = nullptr;
};

// A DC from GetDC / GetWindowDC: released against the window it came from.
class unique_hdc_window {
public:
    unique_hdc_window() noexcept = default;
    unique_hdc_window(HWND window, HDC dc) noexcept : window_(window), dc_(dc) {}
    unique_hdc_window(unique_hdc_window&& o) noexcept
        : window_(std::exchange(o.window_, nullptr)), dc_(std::exchange(o.dc_, nullptr)) {}
    unique_hdc_window& operator=(unique_hdc_window&& o) noexcept {
        if (this != &o) {
            reset();
            window_ = std::exchange(o.window_, nullptr);
            dc_ = std::exchange(o.dc_, nullptr);
        }
        return *this;
    }
    unique_hdc_window(const unique_hdc_window&) = delete;
    unique_hdc_window& operator=(const unique_hdc_window&) = delete;
    ~unique_hdc_window() { reset(); }

    void reset() noexcept {
        if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
        dc_ = nullptr;
        window_ = nullptr;
    }
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
};

[[nodiscard]] inline unique_hdc_window GetDC(HWND window) noexcept { return {window, ::GetDC(window)}; }
[[nodiscard]] inline unique_hdc_window GetWindowDC(HWND window) noexcept { return {window, ::GetWindowDC(window)}; }

// A GDI object selected into a DC; the destructor puts the previous one back, so
// the object can be deleted afterwards (a selected object cannot be).
class unique_select_object {
public:
    unique_select_object() noexcept = default;
    unique_select_object(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), previous_(::SelectObject(dc, obj)) {
        if (previous_ == HGDI_ERROR) previous_ = nullptr;
    }
    unique_select_object(unique_select_object&& o) noexcept
        : dc_(std::exchange(o.dc_, nullptr)), previous_(std::exchange(o.previous_, nullptr)) {}
    unique_select_object& operator=(unique_select_object&& o) noexcept {
        if (this != &o) {
            reset();
            dc_ = std::exchange(o.dc_, nullptr);
            previous_ = std::exchange(o.previous_, nullptr);
        }
        return *this;
    }
    unique_select_object(const unique_select_object&) = delete;
    unique_select_object& operator=(const unique_select_object&) = delete;
    ~unique_select_object() { reset(); }

    void reset() noexcept {
        if (dc_ != nullptr && previous_ != nullptr) ::SelectObject(dc_, previous_);
        dc_ = nullptr;
        previous_ = nullptr;
    }
    explicit operator bool() const noexcept { return previous_ != nullptr; }

private:
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

[[nodiscard]] inline unique_select_object SelectObject(HDC dc, HGDIOBJ obj) noexcept { return {dc, obj}; }

// BeginPaint / EndPaint.
class unique_hdc_paint {
public:
    explicit unique_hdc_paint(HWND window) noexcept : window_(window) { dc_ = ::BeginPaint(window, &ps_); }
    unique_hdc_paint(const unique_hdc_paint&) = delete;
    unique_hdc_paint& operator=(const unique_hdc_paint&) = delete;
    ~unique_hdc_paint() {
        if (dc_ != nullptr) ::EndPaint(window_, &ps_);
    }
    HDC get() const noexcept { return dc_; }
    const PAINTSTRUCT& paint() const noexcept { return ps_; }

private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC dc_ = nullptr;
};

// CoInitializeEx on this thread; CoUninitialize when it succeeded.
class unique_couninitialize_call {
public:
    unique_couninitialize_call() noexcept = default;
    explicit unique_couninitialize_call(bool initialized) noexcept : initialized_(initialized) {}
    unique_couninitialize_call(unique_couninitialize_call&& o) noexcept
        : initialized_(std::exchange(o.initialized_, false)) {}
    unique_couninitialize_call& operator=(unique_couninitialize_call&& o) noexcept {
        if (this != &o) {
            reset();
            initialized_ = std::exchange(o.initialized_, false);
        }
        return *this;
    }
    unique_couninitialize_call(const unique_couninitialize_call&) = delete;
    unique_couninitialize_call& operator=(const unique_couninitialize_call&) = delete;
    ~unique_couninitialize_call() { reset(); }
    void reset() noexcept {
        if (std::exchange(initialized_, false)) ::CoUninitialize();
    }
    explicit operator bool() const noexcept { return initialized_; }

private:
    bool initialized_ = false;
};

[[nodiscard]] inline unique_couninitialize_call CoInitializeEx(DWORD flags = COINIT_APARTMENTTHREADED) noexcept {
    return unique_couninitialize_call(SUCCEEDED(::CoInitializeEx(nullptr, flags)));
}

// OpenClipboard / CloseClipboard: the clipboard is closed on every way out, or no other
// program can use it until we end.
class unique_close_clipboard_call {
public:
    unique_close_clipboard_call() noexcept = default;
    explicit unique_close_clipboard_call(bool opened) noexcept : opened_(opened) {}
    unique_close_clipboard_call(unique_close_clipboard_call&& o) noexcept : opened_(std::exchange(o.opened_, false)) {}
    unique_close_clipboard_call& operator=(unique_close_clipboard_call&& o) noexcept {
        if (this != &o) {
            reset();
            opened_ = std::exchange(o.opened_, false);
        }
        return *this;
    }
    unique_close_clipboard_call(const unique_close_clipboard_call&) = delete;
    unique_close_clipboard_call& operator=(const unique_close_clipboard_call&) = delete;
    ~unique_close_clipboard_call() { reset(); }
    void reset() noexcept {
        if (std::exchange(opened_, false)) ::CloseClipboard();
    }
    explicit operator bool() const noexcept { return opened_; }

private:
    bool opened_ = false;
};

[[nodiscard]] inline unique_close_clipboard_call open_clipboard(HWND owner) noexcept {
    return unique_close_clipboard_call(::OpenClipboard(owner) != FALSE);
}

}  // namespace ocu::win
