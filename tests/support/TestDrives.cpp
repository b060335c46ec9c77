#include "support/TestDrives.h"

#include "platform/Text.h"
#include "support/Scratch.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

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

// The image behind drive I:, as a Windows path (through drive Z:); empty when none is named.
std::wstring ImagePath() {
    const char* image = std::getenv("QV_TEST_DRIVE_IMAGE");
    return image && *image == '/' ? WidePath(WindowsPathOf(image)) : std::wstring();
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

std::string LongWashTestDriveMissing() {
    const wchar_t root[] = {static_cast<wchar_t>(kLongWashTestDrive), L':', L'\\', 0};
    wchar_t label[MAX_PATH + 1] = {};
    UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
    ULARGE_INTEGER freeBytes{}, totalBytes{};
    const bool sized = GetDiskFreeSpaceExW(root, &freeBytes, &totalBytes, nullptr) && totalBytes.QuadPart > 0 &&
                       totalBytes.QuadPart <= 1024ull * 1024 * 1024;
    const bool labelled = GetVolumeInformationW(root, label, MAX_PATH, nullptr, nullptr, nullptr, nullptr, 0) &&
                          Narrow(label) == kLongWashTestLabel;
    SetErrorMode(previous);
    if (!sized || !labelled) {
        return Missing(kLongWashTestDrive, "is not the long-wash scratch drive in this prefix");
    }
    return CanCreateFileIn(kLongWashTestDrive) ? std::string() : Missing(kLongWashTestDrive, "cannot be written");
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

std::string ImageTestDriveMissing() {
    int64_t total = 0;
    if (ImagePath().empty()) {
        return Missing(kImageTestDrive, "has no image named by QV_TEST_DRIVE_IMAGE");
    }
    if (!SmallDrive(kImageTestDrive, total)) {
        return Missing(kImageTestDrive, "is not a small scratch drive in this prefix");
    }
    if (!CanCreateFileIn(kImageTestDrive)) {
        return Missing(kImageTestDrive, "cannot be written");
    }
    return {};
}

int64_t OccurrencesOnImageTestDrive(const std::string& text) {
    // Flushing the volume makes its file system write every buffer it holds onto the image.
    const wchar_t volume[] = {L'\\', L'\\', L'.', L'\\', static_cast<wchar_t>(kImageTestDrive), L':', 0};
    HANDLE drive = CreateFileW(volume, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    if (drive != INVALID_HANDLE_VALUE) {
        FlushFileBuffers(drive);
        CloseHandle(drive);
    }
    HANDLE image = CreateFileW(ImagePath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (image == INVALID_HANDLE_VALUE || text.empty()) {
        return -1;
    }
    // Read in blocks that overlap by the text's length less one, so that no occurrence is split.
    constexpr DWORD kBlock = 1 << 20;
    std::string buffer;
    int64_t count = 0;
    DWORD read = 0;
    std::string block(kBlock, '\0');
    while (ReadFile(image, block.data(), kBlock, &read, nullptr) && read > 0) {
        buffer.append(block.data(), read);
        for (size_t at = buffer.find(text); at != std::string::npos; at = buffer.find(text, at + 1)) {
            ++count;
        }
        buffer.erase(0, buffer.size() - std::min(buffer.size(), text.size() - 1));
    }
    CloseHandle(image);
    return count;
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
