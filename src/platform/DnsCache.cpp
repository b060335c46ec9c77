#include "platform/DnsCache.h"

#include <windows.h>

namespace {

DnsFlushDiversion dnsFlushDiversion = nullptr;

using FlushResolverCacheCall = BOOL(WINAPI*)();

} // namespace

DnsFlushAnswer FlushDnsCache() {
    if (dnsFlushDiversion) {
        return dnsFlushDiversion();
    }
    HMODULE dnsapi = LoadLibraryW(L"dnsapi.dll");
    if (!dnsapi) {
        return DnsFlushAnswer::NotAvailable;
    }
    auto flush = reinterpret_cast<FlushResolverCacheCall>(
        reinterpret_cast<void*>(GetProcAddress(dnsapi, "DnsFlushResolverCache")));
    DnsFlushAnswer answer = DnsFlushAnswer::NotAvailable;
    if (flush) {
        SetLastError(ERROR_SUCCESS);
        if (flush()) {
            answer = DnsFlushAnswer::Flushed;
        } else {
            answer = GetLastError() == ERROR_ACCESS_DENIED ? DnsFlushAnswer::Denied : DnsFlushAnswer::Failed;
        }
    }
    FreeLibrary(dnsapi);
    return answer;
}

void DivertDnsFlush(DnsFlushDiversion diversion) { dnsFlushDiversion = diversion; }
