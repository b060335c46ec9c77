#include "platform/Volumes.h"

#include "platform/Handle.h"
#include "platform/Text.h"

namespace {

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char UpperLetter(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::wstring WideRoot(char driveLetter) { return {static_cast<wchar_t>(UpperLetter(driveLetter)), L':', L'\\'}; }

} // namespace

uint32_t LogicalDriveMask() { return GetLogicalDrives(); }

std::string DriveRoot(char driveLetter) { return {UpperLetter(driveLetter), ':', '\\'}; }

std::string VolumeLabel(char driveLetter) {
    CriticalErrorsSilenced silenced;
    wchar_t label[256] = {};
    if (!GetVolumeInformationW(WideRoot(driveLetter).c_str(), label, 255, nullptr, nullptr, nullptr, nullptr, 0)) {
        return {};
    }
    return Narrow(label);
}

std::optional<DiskSpace> QueryDiskSpace(char driveLetter) {
    if (!IsDriveLetter(driveLetter)) {
        return std::nullopt;
    }
    CriticalErrorsSilenced silenced;
    ULARGE_INTEGER freeToCaller{}, total{};
    if (!GetDiskFreeSpaceExW(WideRoot(driveLetter).c_str(), &freeToCaller, &total, nullptr)) {
        return std::nullopt;
    }
    return DiskSpace{static_cast<int64_t>(freeToCaller.QuadPart), static_cast<int64_t>(total.QuadPart)};
}

bool DriveHasDisk(char driveLetter) { return QueryDiskSpace(driveLetter).has_value(); }

bool IsDriveReadOnly(char driveLetter) {
    if (!IsDriveLetter(driveLetter)) {
        return true;
    }
    CriticalErrorsSilenced silenced;
    wchar_t probe[MAX_PATH + 1] = {};
    SetLastError(ERROR_SUCCESS);
    GetTempFileNameW(WideRoot(driveLetter).c_str(), L"RWRO", 0, probe);
    if (GetLastError() == ERROR_WRITE_PROTECT) {
        return true;
    }
    return probe[0] == L'\0' || !DeleteFileW(probe);
}

bool FileOpensForWriting(std::string_view path) {
    CriticalErrorsSilenced silenced;
    FileHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    return static_cast<bool>(file);
}
