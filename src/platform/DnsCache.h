// Windows' DNS resolver cache: the host names this PC looked up.
#pragma once

// What Windows answered when asked to flush its DNS cache.
enum class DnsFlushAnswer {
    Flushed,
    NotAvailable, // this Windows has no such call (dnsapi.dll or its DnsFlushResolverCache missing)
    Denied,       // the account lacks the rights to do it
    Failed,       // any other refusal
};

// Flushes the resolver cache through dnsapi.dll's DnsFlushResolverCache, looked up at run time.
DnsFlushAnswer FlushDnsCache();

// Sends every later FlushDnsCache to this function instead of Windows; nullptr sends them to
// Windows again. Only the tests divert it.
using DnsFlushDiversion = DnsFlushAnswer (*)();
void DivertDnsFlush(DnsFlushDiversion diversion);
