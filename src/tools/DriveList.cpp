#include "tools/DriveList.h"

#include "platform/NumberFormat.h"
#include "platform/Text.h"

std::string DriveSizeText(int64_t bytes) {
    constexpr int64_t kKilo = 1024;
    constexpr int64_t kMega = kKilo * 1024;
    constexpr int64_t kGiga = kMega * 1024;
    if (bytes == 0) {
        return "0 Byte";
    }
    if (bytes < kKilo) {
        return std::to_string(bytes) + " Bytes";
    }
    if (bytes < kMega) {
        return FormatTwoDecimals(static_cast<double>(bytes) / kKilo) + " KB";
    }
    if (bytes < kGiga) {
        return FormatTwoDecimals(static_cast<double>(bytes) / kMega) + " MB";
    }
    return FormatTwoDecimals(static_cast<double>(bytes) / kGiga) + " GB";
}

std::string DriveCaption(std::string_view volumeLabel, char driveLetter) {
    return std::string(Trim(volumeLabel)) + " (" + driveLetter + ":)";
}

char DriveLetterOfCaption(std::string_view caption) { return caption.size() < 3 ? '\0' : caption[caption.size() - 3]; }
