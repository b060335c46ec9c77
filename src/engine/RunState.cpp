#include "engine/RunState.h"

bool StopRequested = false;

int64_t ErasedFileCount = 0;
int64_t ReleasedByteCount = 0;
int64_t ErasedRegistryCount = 0;

int64_t TotalErasedFileCount = 0;
int64_t TotalReleasedByteCount = 0;
int64_t TotalErasedRegistryCount = 0;

void ResetItemCounters() {
    ErasedFileCount = 0;
    ReleasedByteCount = 0;
    ErasedRegistryCount = 0;
}

void AddItemCountersToTotals() {
    TotalErasedFileCount += ErasedFileCount;
    TotalReleasedByteCount += ReleasedByteCount;
    TotalErasedRegistryCount += ErasedRegistryCount;
}
