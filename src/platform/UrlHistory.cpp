#include "platform/UrlHistory.h"

#include "platform/ComScope.h"

#include <objbase.h>
#include <shlguid.h>
#include <urlhist.h>

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
