#include "platform/Clipboard.h"

#include "platform/ComScope.h"

#include <windows.h>

bool EmptyClipboardContents() {
    if (!OpenClipboard(nullptr)) {
        return false;
    }
    bool emptied = EmptyClipboard() != FALSE;
    CloseClipboard();
    return emptied;
}

namespace {

ClipboardHistoryDiversion clipboardHistoryDiversion = nullptr;

// The Windows Runtime's calls in combase.dll, as Windows declares them (a string handle is a
// pointer).
using StringHandle = void*;
using RoInitializeCall = HRESULT(WINAPI*)(int type);
using RoUninitializeCall = void(WINAPI*)();
using CreateStringCall = HRESULT(WINAPI*)(const wchar_t* text, UINT32 length, StringHandle* string);
using DeleteStringCall = HRESULT(WINAPI*)(StringHandle string);
using GetActivationFactoryCall = HRESULT(WINAPI*)(StringHandle classId, REFIID iid, void** factory);
constexpr int kMultiThreaded = 1; // RO_INIT_MULTITHREADED

// The statics of Windows.ApplicationModel.DataTransfer.Clipboard that hold the history calls
// (IClipboardStatics2): after IUnknown's three and IInspectable's three, GetHistoryItemsAsync, then
// ClearHistory, which answers whether the history was cleared.
constexpr GUID kClipboardStatics2 = {0xd2ac1b6a, 0xd29f, 0x554b, {0xb3, 0x03, 0xf0, 0x45, 0x23, 0x45, 0xfe, 0x02}};
constexpr wchar_t kClipboardClass[] = L"Windows.ApplicationModel.DataTransfer.Clipboard";
constexpr size_t kReleaseSlot = 2;
constexpr size_t kClearHistorySlot = 7;
using ReleaseCall = ULONG(STDMETHODCALLTYPE*)(void* self);
using ClearHistoryCall = HRESULT(STDMETHODCALLTYPE*)(void* self, unsigned char* cleared);

template <typename Call> Call Lookup(HMODULE module, const char* name) {
    return reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// With the Windows Runtime started on this thread (or already there), the answer for the call.
ClipboardHistoryAnswer AskFactory(HMODULE combase, ClipboardHistoryCall call) {
    auto createString = Lookup<CreateStringCall>(combase, "WindowsCreateString");
    auto deleteString = Lookup<DeleteStringCall>(combase, "WindowsDeleteString");
    auto getFactory = Lookup<GetActivationFactoryCall>(combase, "RoGetActivationFactory");
    StringHandle classId = nullptr;
    if (!createString || !deleteString || !getFactory ||
        FAILED(createString(kClipboardClass, static_cast<UINT32>(wcslen(kClipboardClass)), &classId))) {
        return ClipboardHistoryAnswer::NotAvailable;
    }
    void* statics = nullptr;
    const HRESULT found = getFactory(classId, kClipboardStatics2, &statics);
    deleteString(classId);
    if (FAILED(found) || !statics) {
        return ClipboardHistoryAnswer::NotAvailable;
    }
    ClipboardHistoryAnswer answer = ClipboardHistoryAnswer::Cleared;
    if (call == ClipboardHistoryCall::Clear) {
        unsigned char cleared = 0;
        const HRESULT result = ComSlot<ClearHistoryCall>(statics, kClearHistorySlot)(statics, &cleared);
        answer = SUCCEEDED(result) && cleared ? ClipboardHistoryAnswer::Cleared : ClipboardHistoryAnswer::Failed;
    }
    ComSlot<ReleaseCall>(statics, kReleaseSlot)(statics);
    return answer;
}

} // namespace

ClipboardHistoryAnswer ClipboardHistory(ClipboardHistoryCall call) {
    if (clipboardHistoryDiversion) {
        return clipboardHistoryDiversion(call);
    }
    HMODULE combase = LoadLibraryW(L"combase.dll");
    if (!combase) {
        return ClipboardHistoryAnswer::NotAvailable;
    }
    auto initialize = Lookup<RoInitializeCall>(combase, "RoInitialize");
    auto uninitialize = Lookup<RoUninitializeCall>(combase, "RoUninitialize");
    ClipboardHistoryAnswer answer = ClipboardHistoryAnswer::NotAvailable;
    if (initialize && uninitialize) {
        // A thread that already runs COM in another apartment says so and may still ask.
        const HRESULT started = initialize(kMultiThreaded);
        if (SUCCEEDED(started) || started == RPC_E_CHANGED_MODE) {
            answer = AskFactory(combase, call);
        }
        if (SUCCEEDED(started)) {
            uninitialize();
        }
    }
    FreeLibrary(combase);
    return answer;
}

void DivertClipboardHistory(ClipboardHistoryDiversion diversion) { clipboardHistoryDiversion = diversion; }
