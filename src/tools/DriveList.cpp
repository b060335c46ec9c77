#include "tools/DriveList.h"

#include "platform/NumberFormat.h"
#include "platform/Text.h"

std::string DriveSizeText(int64_t bytes) { return ByteSizeText(bytes, false); }

std::string DriveCaption(std::string_view volumeLabel, char driveLetter) {
    return std::string(Trim(volumeLabel)) + " (" + driveLetter + ":)";
}

char DriveLetterOfCaption(std::string_view caption) { return caption.size() < 3 ? '\0' : caption[caption.size() - 3]; }
