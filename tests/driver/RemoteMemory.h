// A block of memory in the process that owns a window, freed when it goes: the records that list
// view and tab control messages fill in must live in that process.
#pragma once

#include "platform/Handle.h"
#include "platform/Text.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <string>

class RemoteMemory {
public:
    RemoteMemory(HWND window, size_t size) : size_(size) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        process_.reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
        if (process_) {
            address_ = VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        }
    }
    ~RemoteMemory() {
        if (address_) {
            VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE);
        }
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    bool Ready() const { return address_ != nullptr; }
    BYTE* At(size_t offset) const { return static_cast<BYTE*>(address_) + offset; }
    bool Write(size_t offset, const void* data, size_t size) const {
        return offset + size <= size_ && WriteProcessMemory(process_.get(), At(offset), data, size, nullptr);
    }
    bool Read(size_t offset, void* data, size_t size) const {
        return offset + size <= size_ && ReadProcessMemory(process_.get(), At(offset), data, size, nullptr);
    }
    // A zero-ended UTF-16 text at the offset, at most maxChars long; UTF-8.
    std::string ReadText(size_t offset, size_t maxChars) const {
        std::wstring text(maxChars, L'\0');
        if (!Read(offset, text.data(), maxChars * sizeof(wchar_t))) {
            return {};
        }
        text.resize(std::min(text.find(L'\0'), maxChars));
        return Narrow(text);
    }

private:
    KernelHandle process_;
    void* address_ = nullptr;
    size_t size_;
};
