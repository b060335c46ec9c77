// The plug-ins beside the program in the erase run through the real Quorvale.exe: their step after
// the items, their counts, Never erase, and Stop during their step.
#include "app/MainForm.h"
#include "e2e/EraseRunTestSupport.h"

namespace {

// The plug-in step's own lines, spelled as the user sees them.
constexpr const char* kStepStart = "Erasing Plug-ins Information ...";
constexpr const char* kStepCompleted = "Erasing Plug-ins Information ... Completed";

TEST_F(EraseRunPluginTest, PluginsRunAfterTheItemsWithTheirOwnCountsAddedToTheTotals) {
    SetUpApp(OptionsWithOnly({}));
    ASSERT_TRUE(CreateFolder(PluginDir()));
    const std::string sample = sandbox_->AppData() + "\\Sample";
    const std::string other = sandbox_->AppData() + "\\Other";
    ASSERT_TRUE(CreateFolder(sample));
    ASSERT_TRUE(CreateFolder(other));
    MakeFiles(sample, 2, 100);
    MakeFiles(other, 1, 100);
    AddPlugin("Sample.qv", "Sample cleaner", true,
              "DelFiles=%AppData%\\Sample\\file0.dat;%AppData%\\Sample\\file1.dat");
    AddPlugin("Other.qv", "Other cleaner", true, "DelFolder=%AppData%\\Other\\*.dat");
    AddPlugin("Unselected.qv", "Unselected cleaner", false, "DelFolder=%AppData%\\Sample");
    StartApp();

    ASSERT_TRUE(app_->PressButton("Erase"));
    const std::string boxText = TakeRunEndBox(*app_);

    // The plug-ins run in the order of the folder search.
    std::vector<std::string> log = app_->LogLines();
    const bool sampleFirst = std::find(log.begin(), log.end(), "Sample cleaner ...") <
                             std::find(log.begin(), log.end(), "Other cleaner ...");
    const std::vector<std::string> sampleLines{"Sample cleaner ...", SummaryLine(0, 2, 200),
                                               "Sample cleaner ... Completed", ""};
    const std::vector<std::string> otherLines{"Other cleaner ...", SummaryLine(0, 1, 100),
                                              "Other cleaner ... Completed", ""};
    std::vector<std::string> expected{kStepStart, ""};
    for (const auto* lines : {sampleFirst ? &sampleLines : &otherLines, sampleFirst ? &otherLines : &sampleLines}) {
        expected.insert(expected.end(), lines->begin(), lines->end());
    }
    for (const std::string line : {kStepCompleted, "", "All tasks finished successfully."}) {
        expected.push_back(line);
    }
    expected.push_back(SummaryLine(0, 3, 300));
    EXPECT_EQ(log, expected);
    EXPECT_EQ(boxText, SummaryLine(0, 3, 300));
    EXPECT_TRUE(FolderExists(sample)) << "the unselected plug-in ran";
    EXPECT_EQ(CountFiles(sample), 0);
    EXPECT_EQ(CountFiles(other), 0);
}

TEST_F(EraseRunPluginTest, WhatIsMarkedNeverEraseOutlivesTheTempItemAndEveryPlugin) {
    SetUpApp(std::nullopt);
    const std::string temp = sandbox_->Temp();
    const std::string other = sandbox_->AppData() + "\\Other";
    ASSERT_TRUE(CreateFolder(temp + "\\Kept"));
    ASSERT_TRUE(CreateFolder(other));
    WriteFileText(temp + "\\keep.txt", "notes I want");
    WriteFileText(temp + "\\Kept\\inside.txt", "kept folder");
    WriteFileText(temp + "\\gone.tmp", "trace");
    WriteFileText(other + "\\kept.dat", "kept by name");
    WriteFileText(other + "\\gone.dat", "trace");
    // Written as the options store writes a list: one path per line, in any case and with or
    // without a trailing backslash.
    WriteFileText(app_->Folder() + "Options.ini", OptionsWithOnly({{"Windows", "TempFolder"}}) +
                                                      "[NeverErase]\r\n0=" + temp + "\\KEEP.txt\r\n1=" + temp +
                                                      "\\Kept\\\r\n2=" + other + "\\kept.dat\r\n");
    ASSERT_TRUE(CreateFolder(PluginDir()));
    AddPlugin("Other.qv", "Other cleaner", true, "DelFolder=%AppData%\\Other\\*.*");
    AddPlugin("Named.qv", "Named cleaner", true, "DelFiles=%AppData%\\Other\\kept.dat");
    StartApp();

    ASSERT_TRUE(app_->PressButton("Erase"));
    const std::string boxText = TakeRunEndBox(*app_);

    EXPECT_EQ(ReadFileText(temp + "\\keep.txt"), "notes I want");
    EXPECT_EQ(ReadFileText(temp + "\\Kept\\inside.txt"), "kept folder");
    EXPECT_EQ(ReadFileText(other + "\\kept.dat"), "kept by name");
    EXPECT_FALSE(FileExists(temp + "\\gone.tmp"));
    EXPECT_FALSE(FileExists(other + "\\gone.dat"));
    const std::vector<std::string> log = app_->LogLines();
    const std::vector<std::string> tempRow = Row("Erasing Temptory Files Directory ...", {FilesLine(1, 5)});
    EXPECT_TRUE(std::search(log.begin(), log.end(), tempRow.begin(), tempRow.end()) != log.end())
        << "the kept files are not counted";
    // Named on its own, the kept file is refused with its line, as the gate refuses any entry; met in
    // a walk it is passed by without one.
    const std::string named = "%AppData%\\Other\\kept.dat";
    EXPECT_NE(std::find(log.begin(), log.end(), "Refused: " + named + " (marked Never erase)"), log.end())
        << ::testing::PrintToString(log);
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& line) { return line.rfind("Not erased: ", 0) == 0; }),
              1)
        << ::testing::PrintToString(log);
    EXPECT_EQ(boxText, SummaryLine(0, 2, 10) + "\r\n1 entry was not erased: the log lists it.");
}

TEST_F(EraseRunPluginTest, StopDuringThePluginStepEndsTheRunWithTheStopLines) {
    SetUpApp(OptionsWithOnly({}, "SecurityLevel=Gutmann\r\n"));
    const std::string data = AddSlowPlugin();
    StartApp();
    StopDuringThePluginStep();

    // Only the files gone before the stop are counted; the rest stay, not wiped. The plug-in's and
    // the step's empty lines stay, their completion lines go.
    const int left = CountFiles(data);
    EXPECT_GT(left, 0);
    const std::string summary = SummaryLine(0, 60 - left, (60 - left) * 8192);
    EXPECT_EQ(app_->LogLines(), (std::vector<std::string>{kStepStart, "", "Slow cleaner ...", summary, "", "",
                                                          "The erasing procedure is stopped by the user", summary}));
}

TEST_F(EraseRunPluginTest, AStopSummaryCountsEveryItemOfTheRunNotOnlyTheOneStopped) {
    SetUpApp(OptionsWithOnly({{"Windows", "RunMenu"}, {"Windows", "SearchMenu"}}, "SecurityLevel=Gutmann\r\n"));
    FillKey("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU", {"a", "MRUList"});
    FillKey("Software\\Microsoft\\Search Assistant\\ACMru\\5603", {"000"});
    const std::string data = AddSlowPlugin();
    StartApp();
    StopDuringThePluginStep();

    // The plug-in alone erased no registry entry: the three come from the two rows before it.
    std::vector<std::string> log = app_->LogLines();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "The erasing procedure is stopped by the user");
    const int erased = 60 - CountFiles(data);
    EXPECT_EQ(log.back(), SummaryLine(3, erased, erased * 8192));
    const std::vector<std::string> rows{"Erasing Start Menu Run History ...",
                                        "2 registry entries were erased.",
                                        "Erasing Start Menu Run History ... Completed",
                                        "",
                                        "Erasing Start Menu Search History ...",
                                        "1 registry entry was erased.",
                                        "Erasing Start Menu Search History ... Completed",
                                        ""};
    ASSERT_GT(log.size(), rows.size());
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + static_cast<ptrdiff_t>(rows.size())), rows);
}

// The band above the log says which step of how many is under way (the ticked rows, then the
// plug-ins), and is blank again once the run has ended.
TEST_F(EraseRunPluginTest, TheBandAboveTheLogCountsTheRunsStepsAndIsBlankAfterIt) {
    SetUpApp(OptionsWithOnly({{"Windows", "TempFolder"}}, "SecurityLevel=Gutmann\r\n"));
    WriteFileText(sandbox_->Temp() + "\\large.tmp", std::string(16 * 1024 * 1024, 'x'));
    const std::string slow = AddSlowPlugin();
    StartApp();
    const HWND band = app_->MainControl(TFrmMain::IDC_RUN_ITEM);
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(RemoteWindowText(band), "");
    ASSERT_TRUE(app_->PressButton("Erase"));
    std::string seen;
    auto bandShows = [&](const char* text) {
        return WaitUntil(
            [&] {
                seen = RemoteWindowText(band);
                return seen == text;
            },
            kRunTimeoutMs);
    };
    EXPECT_TRUE(bandShows("Item 1 of 2: Erasing Temptory Files Directory")) << seen;
    EXPECT_TRUE(bandShows("Item 2 of 2: Erasing Plug-ins Information")) << seen;
    EXPECT_EQ(CountFiles(sandbox_->Temp()), 0) << "the first step is over while the second is shown";
    EXPECT_EQ(TakeRunEndBox(*app_).rfind("0 registry entries were erased. ", 0), 0u);
    EXPECT_EQ(RemoteWindowText(band), "");
    EXPECT_EQ(CountFiles(slow), 0);
}

} // namespace
