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

// Mutexes, processes, tokens, snapshots... use nullptr for "none".
struct KernelHandleTraits {
    using pointer = HANDLE;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer h) noexcept { ::CloseHandle(h); }
};

struct FindHandleTraits {
    using pointer = HANDLE;
    static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(pointer h) noexcept { ::FindClose(h); }
};

struct RegKeyTraits {
    using pointer = HKEY;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer h) noexcept { ::RegCloseKey(h); }
};

struct ModuleTraits {
    using pointer = HMODULE;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer h) noexcept { ::FreeLibrary(h); }
};

struct ServiceHandleTraits {
    using pointer = SC_HANDLE;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer h) noexcept { ::CloseServiceHandle(h); }
};

struct GdiObjectTraits {
    using pointer = HGDIOBJ;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer value) noexcept { DeleteObject(value); }
};

struct FontTraits {
    using pointer = HFONT;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer value) noexcept { DeleteObject(value); }
};

struct IconTraits {
    using pointer = HICON;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer value) noexcept { DestroyIcon(value); }
};

struct MenuTraits {
    using pointer = HMENU;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer value) noexcept { DestroyMenu(value); }
};

// A memory device context (CreateCompatibleDC).
struct MemoryDCTraits {
    using pointer = HDC;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer value) noexcept { DeleteDC(value); }
};

using FileHandle = unique_handle<FileHandleTraits>;
using KernelHandle = unique_handle<KernelHandleTraits>;
using FindHandle = unique_handle<FindHandleTraits>;
using RegKey = unique_handle<RegKeyTraits>;
using Module = unique_handle<ModuleTraits>;
using ServiceHandle = unique_handle<ServiceHandleTraits>;
using GdiObject = unique_handle<GdiObjectTraits>;
using Font = unique_handle<FontTraits>;
using Icon = unique_handle<IconTraits>;
using Menu = unique_handle<MenuTraits>;
using MemoryDC = unique_handle<MemoryDCTraits>;

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
