// COM on the calling thread for the lifetime of a scope.
#pragma once

#include <objbase.h>

// Initialises COM (single-threaded apartment) on this thread for its lifetime unless the thread
// already has another model.
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

    // A thread already in the multithreaded model can use the objects just as well.
    bool Usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }
    HRESULT Result() const { return result_; }

private:
    HRESULT result_;
};
