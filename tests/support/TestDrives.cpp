#include "support/TestDrives.h"

#include <windows.h>

namespace {

constexpr int64_t kLargestTestDrive = 64ll * 1024 * 1024;

bool SmallDrive(char driveLetter, int64_t& total) {
    wchar_t root[] = {static_cast<wchar_t>(driveLetter), L':', L'\\', 0};
    ULARGE_INTEGER freeBytes{}, totalBytes{};
    UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
    BOOL ok = GetDiskFreeSpaceExW(root, &freeBytes, &totalBytes, nullptr);
    SetErrorMode(previous);
    total = static_cast<int64_t>(totalBytes.QuadPart);
    return ok && total > 0 && total <= kLargestTestDrive;
}

bool CanCreateFileIn(char driveLetter) {
    std::wstring path = {static_cast<wchar_t>(driveLetter), L':', L'\\'};
    path += L"qv-drive-probe.tmp";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

std::string Missing(char driveLetter, const char* why) {
    return std::string("drive ") + driveLetter + ": " + why + " (scripts/test.sh maps it when it may mount a tmpfs)";
}

} // namespace

std::string WritableTestDriveMissing() {
    int64_t total = 0;
    if (!SmallDrive(kWritableTestDrive, total)) {
        return Missing(kWritableTestDrive, "is not a small scratch drive in this prefix");
    }
    if (!CanCreateFileIn(kWritableTestDrive)) {
        return Missing(kWritableTestDrive, "cannot be written");
    }
    return {};
}

std::string ReadOnlyTestDriveMissing() {
    int64_t total = 0;
    if (!SmallDrive(kReadOnlyTestDrive, total)) {
        return Missing(kReadOnlyTestDrive, "is not a small scratch drive in this prefix");
    }
    if (CanCreateFileIn(kReadOnlyTestDrive)) {
        return Missing(kReadOnlyTestDrive, "is writable, not write-protected");
    }
    if (GetFileAttributesA(kReadOnlyTestFile) == INVALID_FILE_ATTRIBUTES) {
        return Missing(kReadOnlyTestDrive, "has no ReadOnly.txt");
    }
    return {};
}

std::string NoDiskTestDriveMissing() {
    if ((GetLogicalDrives() & (1u << (kNoDiskTestDrive - 'A'))) == 0) {
        return Missing(kNoDiskTestDrive, "is not mapped");
    }
    if (TestDriveFreeBytes(kNoDiskTestDrive) >= 0) {
        return Missing(kNoDiskTestDrive, "has a disk");
    }
    return {};
}

int64_t TestDriveFreeBytes(char driveLetter) {
    wchar_t root[] = {static_cast<wchar_t>(driveLetter), L':', L'\\', 0};
    ULARGE_INTEGER freeBytes{};
    UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
    BOOL ok = GetDiskFreeSpaceExW(root, &freeBytes, nullptr, nullptr);
    SetErrorMode(previous);
    if (!ok) {
        return -1;
    }
    return static_cast<int64_t>(freeBytes.QuadPart);
}
