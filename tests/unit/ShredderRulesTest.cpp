// What the file shredder decides per file, against real files: pass labels, the settings it
// reads, and the checks before a wipe in their order.
#include "platform/Files.h"
#include "platform/Text.h"
#include "support/ChildProcess.h"
#include "support/Scratch.h"
#include "support/TestDrives.h"
#include "tools/ShredderRules.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(ShredderPassLabel, UsesEnglishOrdinalEndingsUpToThirtyFive) {
    const std::pair<int, const char*> cases[] = {
        {1, "1st pass"},   {2, "2nd pass"},   {3, "3rd pass"},   {4, "4th pass"},   {5, "5th pass"},
        {10, "10th pass"}, {11, "11th pass"}, {12, "12th pass"}, {13, "13th pass"}, {14, "14th pass"},
        {20, "20th pass"}, {21, "21st pass"}, {22, "22nd pass"}, {23, "23rd pass"}, {24, "24th pass"},
        {30, "30th pass"}, {31, "31st pass"}, {32, "32nd pass"}, {33, "33rd pass"}, {35, "35th pass"},
    };
    for (const auto& [pass, label] : cases) {
        EXPECT_EQ(PassLabel(pass), label) << pass;
    }
}

TEST(ShredderReadOnlyStatus, NamesTheFirstTwoCharactersOfThePath) {
    EXPECT_EQ(ReadOnlyDriveStatus("E:\\docs\\a.txt"), "Drive E: is read only");
    EXPECT_EQ(ReadOnlyDriveStatus("a:\\a.txt"), "Drive a: is read only");
}

class ShredderSettingsTest : public ::testing::Test {
protected:
    ShredderSettings ReadFrom(std::string_view ini) {
        WriteFileText(folder_ / "Options.ini", ini);
        return ReadShredderSettings(OptionsStore(folder_ / "Options.ini"));
    }
    ScratchFolder folder_;
};

TEST_F(ShredderSettingsTest, DefaultsAreDoDAndThreeRandomPasses) {
    ShredderSettings settings = ReadShredderSettings(OptionsStore(folder_ / "missing.ini"));
    EXPECT_EQ(settings.method, "DoD");
    EXPECT_EQ(settings.passes, 3);
}

TEST_F(ShredderSettingsTest, ARandomLevelWithoutAPassCountGetsThreePasses) {
    ShredderSettings settings = ReadFrom("[Miscellaneous]\r\nSecurityLevel=Random\r\n");
    EXPECT_EQ(settings.method, "Random");
    EXPECT_EQ(settings.passes, 3);
}

TEST_F(ShredderSettingsTest, StoredValuesAreTakenAsTheyAre) {
    ShredderSettings settings = ReadFrom("[Miscellaneous]\r\nSecurityLevel=gutmann\r\nRandomRepeatedTime=9\r\n");
    EXPECT_EQ(settings.method, "gutmann") << "the method text is passed on unchanged";
    EXPECT_EQ(settings.passes, 9);
}

class ShredRefusalTest : public ::testing::Test {
protected:
    ScratchFolder folder_;
};

TEST_F(ShredRefusalTest, AWritableFileMayBeWipedAndLosesItsAttributes) {
    std::string path = folder_ / "plain.txt";
    WriteFileText(path, "data");
    ASSERT_TRUE(SetAttributes(path, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(ShredRefusal(path), std::nullopt);
    EXPECT_EQ(GetAttributes(path) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), 0u);
    EXPECT_EQ(ReadFileText(path), "data") << "the checks never change the content";
}

TEST_F(ShredRefusalTest, AFolderOrAFileTheGateRefusesKeepsItsAttributes) {
    // A folder given as a file (the shell needs a read-only or system bit on some for their names and
    // icons; Wine keeps only the system bit on a folder).
    const std::string documents = folder_ / "Documents";
    ASSERT_TRUE(CreateFolder(documents));
    ASSERT_TRUE(SetAttributes(documents, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_NE(GetAttributes(documents) & FILE_ATTRIBUTE_SYSTEM, 0u);
    EXPECT_EQ(ShredRefusal(documents), std::string("File not exists"));
    EXPECT_NE(GetAttributes(documents) & FILE_ATTRIBUTE_SYSTEM, 0u);
    // Quorvale's own program, named in another case.
    const std::string own = AsciiUpper(ExecutableDir()) + "SELLWICKSERVICE.EXE";
    const DWORD before = GetAttributes(own);
    ASSERT_TRUE(SetAttributes(own, before | FILE_ATTRIBUTE_READONLY));
    ASSERT_NE(GetAttributes(own) & FILE_ATTRIBUTE_READONLY, 0u);
    ShredRefusal(own);
    EXPECT_NE(GetAttributes(own) & FILE_ATTRIBUTE_READONLY, 0u);
    SetAttributes(own, before);
    SetAttributes(documents, FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(ShredRefusalTest, AMissingFileIsReportedFirst) {
    EXPECT_EQ(ShredRefusal(folder_ / "none.txt"), std::string("File not exists"));
    EXPECT_EQ(ShredRefusal("\\\\server\\share\\none.txt"), std::string("File not exists"));
}

TEST_F(ShredRefusalTest, AFileAnotherProgramHoldsIsNotWritable) {
    std::string path = folder_ / "locked.txt";
    WriteFileText(path, "data");
    FileHandle lock(CreateFileW(Widen(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    EXPECT_EQ(ShredRefusal(path), std::string("This file could not be written."));
}

// Wine shows only folder links as links (a file link looks like its target), so a folder link
// stands in for the file link a user could pick on Windows.
TEST_F(ShredRefusalTest, ALinkIsReportedAsOneRatherThanAsMissing) {
    std::string target = folder_ / "documents";
    ASSERT_TRUE(CreateFolder(target));
    if (!MakeUnixSymlink(target, folder_ / "link")) {
        GTEST_SKIP() << "a link cannot be made from Linux here";
    }
    EXPECT_EQ(ShredRefusal(folder_ / "link"), std::string("This file is a link; it was not shredded."));
    RemoveUnixSymlink(folder_ / "link");
}

TEST_F(ShredRefusalTest, AnExistingPathWithoutADriveLetterIsRefusedClearly) {
    std::string path = folder_ / "unc.txt";
    WriteFileText(path, "data");
    std::string noLetter = "\\\\?\\" + path; // the same file, reached without a leading drive letter
    ASSERT_TRUE(FileExists(noLetter));
    EXPECT_EQ(ShredRefusal(noLetter), std::string("Path has no drive letter"));
}

TEST_F(ShredRefusalTest, AFileOnAWriteProtectedDriveNamesTheDrive) {
    std::string missing = ReadOnlyTestDriveMissing();
    if (!missing.empty()) {
        GTEST_SKIP() << missing;
    }
    EXPECT_EQ(ShredRefusal(kReadOnlyTestFile), std::string("Drive R: is read only"));
}

TEST(ShredderPassProgress, SaysThePassOfHowManyAndTheWholePercentWritten) {
    const std::pair<PassProgress, const char*> cases[] = {
        {{1, 3, 0, 1000}, "Pass 1 of 3: 0%"},
        {{2, 3, 455, 1000}, "Pass 2 of 3: 45%"},
        {{2, 3, 999, 1000}, "Pass 2 of 3: 99%"},
        {{35, 35, 1000, 1000}, "Pass 35 of 35: 100%"},
        // Past two gigabytes the percent must not overflow.
        {{1, 7, int64_t{3} << 32, int64_t{4} << 32}, "Pass 1 of 7: 75%"},
        {{1, 2, 0, 0}, "Pass 1 of 2: 100%"},
    };
    for (const auto& [progress, text] : cases) {
        EXPECT_EQ(PassProgressText(progress), text);
    }
}

// Files dropped on the window or named after "/shredder": each listed once, as a full path; folders
// left out and counted, a missing file listed (its row says so when shredding).
TEST(ShredderPathsToList, TakesEachFileOnceAsAFullPathAndCountsFolders) {
    ScratchFolder folder;
    WriteFileText(folder / "one.txt", "1");
    WriteFileText(folder / "two.txt", "2");
    MakeFolders(folder / "sub");
    SetCurrentDirectoryW(WidePath(folder.Path()).c_str());
    const ListedPaths taken = PathsToList(
        {folder / "one.txt", "two.txt", folder / "sub", folder / "ONE.TXT", folder / "gone.txt", folder / "sub\\"},
        {folder / "listed.txt"});
    EXPECT_EQ(taken.files, (std::vector<std::string>{folder / "one.txt", folder / "two.txt", folder / "gone.txt"}));
    EXPECT_EQ(taken.folders, 2);

    const ListedPaths again = PathsToList({folder / "listed.txt", folder / "Two.txt"}, {folder / "LISTED.txt"});
    EXPECT_EQ(again.files, (std::vector<std::string>{folder / "Two.txt"})) << "one already in the list";
    EXPECT_EQ(again.folders, 0);
    SetCurrentDirectoryW(L"C:\\");
}

TEST(ShredderPathsToList, SaysHowManyFoldersWereLeftOut) {
    EXPECT_EQ(FoldersNotAddedText(1), "1 folder was not added: only files are shredded.");
    EXPECT_EQ(FoldersNotAddedText(3), "3 folders were not added: only files are shredded.");
}

} // namespace
