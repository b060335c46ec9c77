#include "platform/UrlHistory.h"

#include <objbase.h>
#include <shlguid.h>
#include <urlhist.h>

namespace {

// Initialises COM on this thread for its lifetime unless the thread already has another model.
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

    // A thread already in the multithreaded model can use the object just as well.
    bool Usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }
    HRESULT Result() const { return result_; }

private:
    HRESULT result_;
};

} // namespace

HRESULT ClearUrlHistory() {
    ComScope com;
    if (!com.Usable()) {
        return com.Result();
    }
    IUrlHistoryStg2* history = nullptr;
    HRESULT result = CoCreateInstance(CLSID_CUrlHistory, nullptr, CLSCTX_INPROC_SERVER, IID_IUrlHistoryStg2,
                                      reinterpret_cast<void**>(&history));
    if (FAILED(result) || !history) {
        return FAILED(result) ? result : E_NOINTERFACE;
    }
    result = history->ClearHistory();
    history->Release();
    return result;
}
