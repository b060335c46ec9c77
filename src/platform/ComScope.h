// COM on the calling thread for the lifetime of a scope, and the calls of an object reached by
// their place in its table (interfaces the headers of the oldest Windows do not declare).
#pragma once

#include <objbase.h>

#include <cstddef>

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

// The call in the slot of the object's table (0 to 2 are IUnknown's QueryInterface, AddRef and
// Release), typed as Call, whose first argument is the object.
template <typename Call> Call ComSlot(void* object, size_t slot) {
    return reinterpret_cast<Call>((*static_cast<void***>(object))[slot]);
}
