// Drives and volumes as Wine provides them: the drive mask, sizes, the disk and read-only probes.
#include "platform/Files.h"
#include "platform/Volumes.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::set<std::string> ProbeFilesInRoot(char letter) {
    std::set<std::string> names;
    for (const auto& entry : ListFolder(DriveRoot(letter) + "RWR*.tmp")) {
        names.insert(entry.name);
    }
    return names;
}

TEST(Volumes, DriveCIsInTheMaskAndHasADisk) {
    EXPECT_NE(LogicalDriveMask() & (1u << 2), 0u);
    EXPECT_TRUE(DriveHasDisk('C'));
    EXPECT_TRUE(DriveHasDisk('c'));
    auto space = QueryDiskSpace('C');
    ASSERT_TRUE(space);
    EXPECT_GT(space->total, 0);
    EXPECT_LE(space->freeToCaller, space->total);
}

TEST(Volumes, ALetterWithoutADriveHasNoDisk) {
    uint32_t mask = LogicalDriveMask();
    for (int bit = 25; bit >= 0; --bit) {
        if ((mask & (1u << bit)) == 0) {
            char letter = static_cast<char>('A' + bit);
            EXPECT_FALSE(DriveHasDisk(letter)) << letter;
            EXPECT_FALSE(QueryDiskSpace(letter)) << letter;
            return;
        }
    }
    GTEST_SKIP() << "every letter is in use";
}

TEST(Volumes, AWritableDriveIsNotReadOnlyAndTheProbeLeavesNothing) {
    std::set<std::string> before = ProbeFilesInRoot('C');
    EXPECT_FALSE(IsDriveReadOnly('C'));
    EXPECT_FALSE(IsDriveReadOnly('c'));
    EXPECT_EQ(ProbeFilesInRoot('C'), before);
}

TEST(Volumes, CharactersThatAreNoDriveLetterAreNoDrive) {
    for (char c : {'\\', '1', ':', '\0'}) {
        EXPECT_TRUE(IsDriveReadOnly(c)) << static_cast<int>(c);
        EXPECT_FALSE(DriveHasDisk(c)) << static_cast<int>(c);
    }
}

// GetErrorMode came with Vista; SetErrorMode answers the mode it replaces on every version.
static UINT CurrentErrorMode() {
    UINT mode = SetErrorMode(0);
    SetErrorMode(mode);
    return mode;
}

TEST(Volumes, TheErrorModeIsRestoredAfterAQuery) {
    UINT previous = SetErrorMode(SEM_NOGPFAULTERRORBOX);
    QueryDiskSpace('C');
    {
        CriticalErrorsSilenced silenced;
        EXPECT_EQ(CurrentErrorMode() & SEM_FAILCRITICALERRORS, static_cast<UINT>(SEM_FAILCRITICALERRORS));
    }
    EXPECT_EQ(CurrentErrorMode(), static_cast<UINT>(SEM_NOGPFAULTERRORBOX));
    SetErrorMode(previous);
}

} // namespace
