// The account of what an erase run could not erase: its lines, and what goes into it.
#include "engine/EraseRun.h"
#include "engine/RunState.h"
#include "platform/Files.h"
#include "platform/Processes.h"
#include "platform/Text.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

namespace {

std::vector<NotErasedEntry> Entries(size_t count) {
    std::vector<NotErasedEntry> entries;
    for (size_t i = 1; i <= count; ++i) {
        entries.push_back(
            {"C:\\t\\f" + std::to_string(i) + ".tmp", i % 2 ? "in use by another program" : "access denied"});
    }
    return entries;
}

TEST(EraseAccount, ListsUpToTwentyEntriesThenHowManyMoreAndWhereTheWholeListIs) {
    EXPECT_TRUE(NotErasedLines({}).empty()) << "a run that erased everything says nothing more";

    std::vector<std::string> twenty = NotErasedLines(Entries(20));
    ASSERT_EQ(twenty.size(), 20u);
    EXPECT_EQ(twenty.front(), "Not erased: C:\\t\\f1.tmp (in use by another program)");
    EXPECT_EQ(twenty.back(), "Not erased: C:\\t\\f20.tmp (access denied)");

    std::vector<std::string> more = NotErasedLines(Entries(23));
    ASSERT_EQ(more.size(), 21u);
    EXPECT_EQ(more[19], "Not erased: C:\\t\\f20.tmp (access denied)");
    EXPECT_EQ(more[20], "... and 3 more (Quorvale.exe /erase <log file> writes the whole list)");

    std::vector<std::string> all = NotErasedLines(Entries(23), kAllNotErasedLines);
    ASSERT_EQ(all.size(), 23u) << "a log file holds every entry, and no line of how many more";
    EXPECT_EQ(all.back(), "Not erased: C:\\t\\f23.tmp (in use by another program)");
}

TEST(EraseAccount, TheClosingBoxSaysHowManyWereNotErased) {
    EXPECT_EQ(NotErasedBoxLine(1), "1 entry was not erased: the log lists it.");
    EXPECT_EQ(NotErasedBoxLine(30), "30 entries were not erased: the log lists them.");
}

TEST(EraseAccount, OpenFailuresAreNamedForTheUser) {
    EXPECT_EQ(OpenFailureReason(ERROR_SHARING_VIOLATION), "in use by another program");
    EXPECT_EQ(OpenFailureReason(ERROR_LOCK_VIOLATION), "in use by another program");
    EXPECT_EQ(OpenFailureReason(ERROR_ACCESS_DENIED), "access denied");
    EXPECT_EQ(OpenFailureReason(ERROR_BAD_DEVICE), "not a disk file");
    EXPECT_EQ(OpenFailureReason(1234), "Windows error 1234");
}

// The band above the main window's log names the step under way by its start line.
TEST(RunItemText, CountsTheStepAndNamesItWithoutTheClosingDots) {
    EXPECT_EQ(RunItemText(3, 61, "Erasing Temptory Files Directory ..."),
              "Item 3 of 61: Erasing Temptory Files Directory");
    EXPECT_EQ(RunItemText(1, 1, "Erasing Plug-ins Information ..."), "Item 1 of 1: Erasing Plug-ins Information");
    EXPECT_EQ(RunItemText(12, 40, "Erasing Run History"), "Item 12 of 40: Erasing Run History") << "no dots to leave";
    EXPECT_EQ(RunItemText(2, 9, "Dots... inside ..."), "Item 2 of 9: Dots... inside");
}

} // namespace

TEST(EraseAccount, AFileInUseIsSaidToBeInUseNamingItsHolderWhereWindowsCanTell) {
    ScratchFolder scratch;
    const std::string path = scratch / "held.tmp";
    WriteFileText(path, "held");
    FileHandle holder(
        CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);

    const std::vector<std::string> holders = ProgramsHoldingFile(path);
    const std::string why = OpenFailureReason(path, ERROR_SHARING_VIOLATION);
    EXPECT_TRUE(IsInUseReason(why)) << why;
    if (holders.empty()) {
        EXPECT_EQ(why, "in use by another program") << "Windows named no holder";
    } else {
        EXPECT_EQ(why, "in use by " + holders.front()) << "the holder Windows named";
    }
    EXPECT_EQ(OpenFailureReason(path, ERROR_ACCESS_DENIED), "access denied") << "only a file in use is asked about";
    EXPECT_FALSE(IsInUseReason("access denied"));
}
