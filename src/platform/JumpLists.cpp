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

// IApplicationDestinations: after IUnknown's three, SetAppID, RemoveDestination, then
// RemoveAllDestinations.
constexpr size_t kReleaseSlot = 2;
constexpr size_t kSetAppIdSlot = 3;
constexpr size_t kRemoveAllSlot = 5;
using ReleaseCall = ULONG(STDMETHODCALLTYPE*)(void* self);
using SetAppIdCall = HRESULT(STDMETHODCALLTYPE*)(void* self, const wchar_t* appId);
using RemoveAllCall = HRESULT(STDMETHODCALLTYPE*)(void* self);

// What an answer of the object means: a Windows that has the class but does not implement it
// (Wine) keeps no jump lists.
JumpListAnswer AnswerOf(HRESULT result) {
    if (SUCCEEDED(result)) {
        return JumpListAnswer::Cleared;
    }
    return result == E_NOTIMPL ? JumpListAnswer::NotAvailable : JumpListAnswer::Failed;
}

} // namespace

JumpListAnswer ClearJumpList(const std::string& appId, JumpListCall call) {
    if (jumpListDiversion) {
        return jumpListDiversion(appId, call);
    }
    ComScope com;
    if (!com.Usable()) {
        return JumpListAnswer::NotAvailable;
    }
    void* destinations = nullptr;
    if (FAILED(CoCreateInstance(kApplicationDestinationsClass, nullptr, CLSCTX_INPROC_SERVER,
                                kApplicationDestinationsInterface, &destinations)) ||
        !destinations) {
        return JumpListAnswer::NotAvailable;
    }
    JumpListAnswer answer =
        AnswerOf(ComSlot<SetAppIdCall>(destinations, kSetAppIdSlot)(destinations, Widen(appId).c_str()));
    if (answer == JumpListAnswer::Cleared && call == JumpListCall::Clear) {
        const HRESULT removed = ComSlot<RemoveAllCall>(destinations, kRemoveAllSlot)(destinations);
        // A program that never had a jump list has nothing to remove.
        answer =
            removed == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || removed == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)
                ? JumpListAnswer::Cleared
                : AnswerOf(removed);
    }
    ComSlot<ReleaseCall>(destinations, kReleaseSlot)(destinations);
    return answer;
}

void DivertJumpLists(JumpListDiversion diversion) { jumpListDiversion = diversion; }
