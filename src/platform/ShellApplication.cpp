#include "platform/ShellApplication.h"

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <memory>

namespace {

struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};

} // namespace

bool ShellShutDownWindows() {
    CLSID shellClass{};
    if (FAILED(CLSIDFromProgID(L"Shell.Application", &shellClass))) {
        return false;
    }
    IDispatch* created = nullptr;
    if (FAILED(
            CoCreateInstance(shellClass, nullptr, CLSCTX_SERVER, IID_IDispatch, reinterpret_cast<void**>(&created))) ||
        !created) {
        return false;
    }
    std::unique_ptr<IDispatch, ComRelease> shell(created);
    wchar_t methodName[] = L"ShutDownWindows";
    LPOLESTR names[] = {methodName};
    DISPID method = 0;
    if (FAILED(shell->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &method))) {
        return false;
    }
    DISPPARAMS noArguments{};
    return SUCCEEDED(
        shell->Invoke(method, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &noArguments, nullptr, nullptr, nullptr));
}
