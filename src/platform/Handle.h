// Owning wrappers for Win32 handles: one template, one traits entry per kind of handle.
#pragma once

#include <windows.h>
#include <winsvc.h>

#include <utility>

template <typename Traits> class unique_handle {
public:
    using pointer = typename Traits::pointer;

    unique_handle() noexcept = default;
    explicit unique_handle(pointer value) noexcept : value_(value) {}
    ~unique_handle() { reset(); }

    unique_handle(const unique_handle&) = delete;
    unique_handle& operator=(const unique_handle&) = delete;
    unique_handle(unique_handle&& other) noexcept : value_(other.release()) {}
    unique_handle& operator=(unique_handle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    pointer get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::invalid(); }

    pointer release() noexcept { return std::exchange(value_, Traits::invalid()); }
    void reset(pointer value = Traits::invalid()) noexcept {
        pointer old = std::exchange(value_, value);
        if (old != Traits::invalid()) {
            Traits::close(old);
        }
    }

private:
    pointer value_ = Traits::invalid();
};

// File handles use INVALID_HANDLE_VALUE for "none".
struct FileHandleTraits {
    using pointer = HANDLE;
    static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(pointer h) noexcept { ::CloseHandle(h); }
};

struct FindHandleTraits {
    using pointer = HANDLE;
    static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(pointer h) noexcept { ::FindClose(h); }
};

// The handles that use nullptr for "none", each released by its own function.
template <typename Handle, auto Release> struct NullHandleTraits {
    using pointer = Handle;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer h) noexcept { Release(h); }
};

using FileHandle = unique_handle<FileHandleTraits>;
using FindHandle = unique_handle<FindHandleTraits>;
// Mutexes, processes, tokens, snapshots...
using KernelHandle = unique_handle<NullHandleTraits<HANDLE, &::CloseHandle>>;
using RegKey = unique_handle<NullHandleTraits<HKEY, &::RegCloseKey>>;
using Module = unique_handle<NullHandleTraits<HMODULE, &::FreeLibrary>>;
using ServiceHandle = unique_handle<NullHandleTraits<SC_HANDLE, &::CloseServiceHandle>>;
using GdiObject = unique_handle<NullHandleTraits<HGDIOBJ, &::DeleteObject>>;
using Font = unique_handle<NullHandleTraits<HFONT, &::DeleteObject>>;
using Icon = unique_handle<NullHandleTraits<HICON, &::DestroyIcon>>;
using Menu = unique_handle<NullHandleTraits<HMENU, &::DestroyMenu>>;
// Memory Windows allocated for the caller with LocalAlloc (security descriptors, for one).
using LocalMemory = unique_handle<NullHandleTraits<HLOCAL, &::LocalFree>>;
// A memory device context (CreateCompatibleDC).
using MemoryDC = unique_handle<NullHandleTraits<HDC, &::DeleteDC>>;

// A window's device context (GetDC), released to that window when it goes.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDC() {
        if (dc_) {
            ::ReleaseDC(window_, dc_);
        }
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// A function of a loaded module, typed; nullptr when the module lacks it.
template <typename F> F GetProcedure(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}
