#include "platform/JumpLists.h"

#include "platform/ComScope.h"
#include "platform/Text.h"

#include <windows.h>

namespace {

JumpListDiversion jumpListDiversion = nullptr;

// Declared here as Windows 7 declares them: the headers of the oldest Windows the program loads on
// have neither.
constexpr GUID kApplicationDestinationsClass = {
    0x86c14003, 0x4d6b, 0x4ef3, {0xa7, 0xb4, 0x05, 0x06, 0x66, 0x3b, 0x2e, 0x68}};
constexpr GUID kApplicationDestinationsInterface = {
    0x12337d35, 0x94c6, 0x48a0, {0xbc, 0xe7, 0x6a, 0x9c, 0x69, 0xd4, 0xd6, 0x00}};

struct IApplicationDestinationsCalls : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetAppID(const wchar_t* appId) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveDestination(IUnknown* destination) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveAllDestinations() = 0;
};

} // namespace

JumpListAnswer ClearJumpList(const std::string& appId, JumpListCall call) {
    if (jumpListDiversion) {
        return jumpListDiversion(appId, call);
    }
    ComScope com;
    if (!com.Usable()) {
        return JumpListAnswer::NotAvailable;
    }
    IApplicationDestinationsCalls* destinations = nullptr;
    if (FAILED(CoCreateInstance(kApplicationDestinationsClass, nullptr, CLSCTX_INPROC_SERVER,
                                kApplicationDestinationsInterface, reinterpret_cast<void**>(&destinations))) ||
        !destinations) {
        return JumpListAnswer::NotAvailable;
    }
    JumpListAnswer answer = JumpListAnswer::Failed;
    if (SUCCEEDED(destinations->SetAppID(Widen(appId).c_str()))) {
        if (call == JumpListCall::Ask) {
            answer = JumpListAnswer::Cleared;
        } else {
            const HRESULT removed = destinations->RemoveAllDestinations();
            // A program that never had a jump list has nothing to remove.
            if (SUCCEEDED(removed) || removed == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ||
                removed == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)) {
                answer = JumpListAnswer::Cleared;
            }
        }
    }
    destinations->Release();
    return answer;
}

void DivertJumpLists(JumpListDiversion diversion) { jumpListDiversion = diversion; }
