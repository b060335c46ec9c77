// The erase run through the real Quorvale.exe, with every trace location of the program pointed at
// scratch folders and saved keys: the rows of the run, the temporary-files row, Stop, closing
// during a run and a second run.
#include "e2e/EraseRunTestSupport.h"

namespace {

// Whether the file has been overwritten at least once: it reads other than its first content.
bool Overwritten(const std::string& file, const std::string& firstContent) {
    std::string content;
    return ReadWholeFile(file, content) && content.size() == firstContent.size() && content != firstContent;
}

const std::regex kFileRunningLine("(\\d+) files were erased, .*");

// The index.dat files the run zeroed in the sandbox's cache and history folders, as the row's line.
std::string IndexDatRowLine(const TraceSandbox& sandbox) {
    int64_t files = 0;
    int64_t bytes = 0;
    for (const std::string& path :
         {sandbox.Cache() + "\\Content.IE5\\index.dat", sandbox.History() + "\\History.IE5\\index.dat"}) {
        std::string content;
        if (!ReadWholeFile(path, content)) {
            continue;
        }
        EXPECT_EQ(content.find_first_not_of('\0'), std::string::npos) << path << " was not zeroed";
        files += 1;
        bytes += static_cast<int64_t>(content.size());
    }
    return files == 0 ? kPlaceholderLine : FilesLine(files, bytes);
}

// Rows 1 to 4, 7 to 21, 24 and 25 as the sandbox leaves them: nothing to erase but the index.dat
// files that WinINet creates on its first use, which row 7 zeroes.
std::vector<std::string> DefaultRunLog(const std::string& indexDatLine) {
    std::vector<std::vector<std::string>> rows = {
        Row("Erasing Internet Explorer Cache ...", {kPlaceholderLine}),
        Row("Erasing Internet Explorer History ..."),
        Row("Erasing Internet Explorer Cookies ...", {kPlaceholderLine}),
        Row("Erasing IE Address Bar History ..."),
        Row("Erasing IE Index.dat ...", {indexDatLine}),
    };
    for (const char* start :
         {"Erasing Firefox Cache ...", "Erasing Firefox Cookies ...",
          "Erasing Firefox AutoComplete Form Data and Passwords ...", "Erasing Firefox History ...",
          "Erasing Netscape Cache ...", "Erasing Netscape Cookies ...",
          "Erasing Netscape AutoComplete Form Data and Passwords ...", "Erasing Netscape History ...",
          "Erasing Opera Cache ...", "Erasing Opera Cookies ...", "Erasing Opera History ..."}) {
        rows.push_back(Row(start, {kPlaceholderLine}));
    }
    rows.push_back(Row("Empty Windows Recycle Bin ..."));
    rows.push_back(Row("Erasing Temptory Files Directory ...", {FilesLine(0, 0)}));
    rows.push_back(Row("Erasing Recent Documents History ...", {FilesLine(0, 0)}));
    rows.push_back(Row("Erasing Dialog History ..."));
    // Wine has no clipboard history, as Windows before 10 (1809) has none.
    rows.push_back(Row("Erasing Contents of ClipBoard ...", {"This Windows keeps no clipboard history to clear."}));
    // Today's browsers, none of them in the sandbox: their default items write only placeholders.
    for (const char* browser : {"Google Chrome", "Microsoft Edge", "Brave", "Vivaldi"}) {
        for (const char* trace : {"Cache", "Cookies", "History", "Form Data"}) {
            rows.push_back(Row(std::string("Erasing ") + browser + " " + trace + " ...", {kPlaceholderLine}));
        }
    }
    for (const char* trace : {"Cache", "Cookies", "History", "Form History"}) {
        rows.push_back(Row(std::string("Erasing Firefox ") + trace + " (version 3 and later) ...", {kPlaceholderLine}));
    }
    // Today's Windows: the sandbox holds none of their traces; Wine answers the DNS flush.
    rows.push_back(Row("Erasing Explorer Address Bar History ...", {"0 registry entry was erased."}));
    rows.push_back(Row("Erasing Program Launch Counters ...", {"0 registry entry was erased."}));
    rows.push_back(Row("Erasing Crash Reports ...", {FilesLine(0, 0)}));
    rows.push_back(Row("Erasing PowerShell Command History ...", {FilesLine(0, 0)}));
    rows.push_back(Row("Erasing Windows DNS Cache ...", {"Windows' DNS cache was flushed."}));
    std::vector<std::string> log;
    for (const auto& row : rows) {
        log.insert(log.end(), row.begin(), row.end());
    }
    log.push_back("All tasks finished successfully.");
    // Only row 7 may have counted anything.
    log.push_back(indexDatLine == kPlaceholderLine ? SummaryLine(0, 0, 0)
                                                   : "0 registry entries were erased. " + indexDatLine);
    return log;
}

TEST_F(EraseRunTest, WithEveryKeyMissingTheDefaultRowsRunInOrderTwiceInARow) {
    SetUpApp(std::nullopt);
    const std::string binned = sandbox_->AddToRecycleBin("thrown.txt", "in the bin");
    PutTextOnClipboard("copied secret");
    StartApp();

    ASSERT_TRUE(app_->PressButton("Erase"));
    const std::string boxText = TakeRunEndBox(*app_);
    std::vector<std::string> log = app_->LogLines();
    const std::vector<std::string> expected = DefaultRunLog(IndexDatRowLine(*sandbox_));
    EXPECT_EQ(log, expected);
    EXPECT_EQ(boxText, expected.back());
    EXPECT_FALSE(FileExists(binned)) << "the recycle bin was not emptied";
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT)) << "the clipboard was not cleared";
    EXPECT_TRUE(WaitUntil([&] { return EraseCaption() == "Erase"; }, 5000));

    // WinINet still has the index.dat files mapped that the first run zeroed.
    ASSERT_TRUE(app_->PressButton("Erase"));
    const std::string secondBoxText = TakeRunEndBox(*app_);
    log = app_->LogLines();
    ASSERT_EQ(log.size(), expected.size());
    const size_t indexDatResult = 4 + 3 + 4 + 3 + 1; // after rows 1 to 4 and the start line of row 7
    EXPECT_EQ(DefaultRunLog(log[indexDatResult]), log);
    EXPECT_EQ(secondBoxText, log.back());
    EXPECT_TRUE(app_->Running());
    EXPECT_TRUE(app_->Close());
    EXPECT_EQ(app_->ExitCode(), 0u);
}

TEST_F(EraseRunTest, TwoTemporaryFilesGiveTheTempRowsLineAndTheRunTotals) {
    SetUpApp(OptionsWithOnly({{"Windows", "TempFolder"}}, "SecurityLevel=NSA\r\n"));
    WriteFileText(sandbox_->Temp() + "\\one.tmp", std::string(1000, 'a'));
    ASSERT_TRUE(CreateFolder(sandbox_->Temp() + "\\Sub"));
    WriteFileText(sandbox_->Temp() + "\\Sub\\two.tmp", std::string(1000, 'b'));
    StartApp();

    ASSERT_TRUE(app_->PressButton("Erase"));
    const std::string boxText = TakeRunEndBox(*app_);

    std::vector<std::string> expected = Row("Erasing Temptory Files Directory ...", {FilesLine(2, 2000)});
    expected.push_back("All tasks finished successfully.");
    expected.push_back(SummaryLine(0, 2, 2000));
    EXPECT_EQ(app_->LogLines(), expected);
    EXPECT_EQ(boxText, "0 registry entries were erased. 2 files were erased, 1.95 KB hard disk space was released.");
    EXPECT_TRUE(FolderExists(sandbox_->Temp()));
    EXPECT_TRUE(ListFolder(sandbox_->Temp() + "\\*.*").empty());
}

TEST_F(EraseRunTest, AHeldTemporaryFileIsNotCountedAndIsListedAsNotErasedAfterTheSummary) {
    SetUpApp(OptionsWithOnly({{"Windows", "TempFolder"}}, "SecurityLevel=DoD\r\n"));
    const std::string held = sandbox_->Temp() + "\\held.tmp";
    WriteFileText(held, std::string(3000, 'h'));
    WriteFileText(sandbox_->Temp() + "\\free.tmp", std::string(1000, 'f'));
    // Held as a running program holds its file: no one else may write it.
    FileHandle holder(
        CreateFileW(WidePath(held).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    StartApp();

    ASSERT_TRUE(app_->PressButton("Erase"));
    const std::string boxText = TakeRunEndBox(*app_);
    holder.reset();

    std::vector<std::string> expected = Row("Erasing Temptory Files Directory ...", {FilesLine(1, 1000)});
    expected.push_back("All tasks finished successfully.");
    expected.push_back(SummaryLine(0, 1, 1000));
    expected.push_back("Not erased: " + held + " (in use by another program)");
    EXPECT_EQ(app_->LogLines(), expected);
    EXPECT_EQ(boxText, SummaryLine(0, 1, 1000) + "\r\n1 entry was not erased: the log lists it.");
    EXPECT_EQ(ReadFileText(held), std::string(3000, 'h')) << "a held file is left whole";
    EXPECT_FALSE(FileExists(sandbox_->Temp() + "\\free.tmp"));
}

// The page-file value under HKEY_LOCAL_MACHINE as it stood, put back afterwards.
class PageFileValueRestore {
public:
    PageFileValueRestore() {
        if (std::optional<DWORD> value = Current()) {
            hadValue_ = true;
            saved_ = *value;
        }
    }
    ~PageFileValueRestore() {
        RegKey key = OpenRegKey(HKEY_LOCAL_MACHINE, kKey, KEY_SET_VALUE);
        if (key && hadValue_) {
            SetRegDword(key.get(), kValue, saved_);
        } else if (key) {
            DeleteRegValue(key.get(), kValue);
        }
    }
    static std::optional<DWORD> Current() {
        RegKey key = OpenRegKey(HKEY_LOCAL_MACHINE, kKey);
        return key ? GetRegDword(key.get(), kValue) : std::nullopt;
    }

private:
    static constexpr const char* kKey = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management";
    static constexpr const char* kValue = "ClearPageFileAtShutdown";
    bool hadValue_ = false;
    DWORD saved_ = 0;
};

TEST_F(EraseRunTest, TheRowsOffByDefaultRunWhenSwitchedOn) {
    SetUpApp(OptionsWithOnly(
        {{"IE", "AutoPassword"}, {"Windows", "RunMenu"}, {"Windows", "SearchMenu"}, {"Windows", "SwapFile"}}));
    PageFileValueRestore pageFile;
    FillKey("Software\\Microsoft\\Internet Explorer\\IntelliForms\\SPW", {"site"});
    FillKey("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU", {"a", "MRUList"});
    FillKey("Software\\Microsoft\\Search Assistant\\ACMru\\5603", {"000"});
    StartApp();

    ASSERT_TRUE(app_->PressButton("Erase"));
    const std::string boxText = TakeRunEndBox(*app_);

    std::vector<std::string> expected;
    for (const auto& row : {Row("Erasing IE AutoComplete Passwords ...", {"1 registry entries were erased."}),
                            Row("Erasing Start Menu Run History ...", {"2 registry entries were erased."}),
                            Row("Erasing Start Menu Search History ...", {"1 registry entry was erased."}),
                            Row("Erasing Windows Swap File ...")}) {
        expected.insert(expected.end(), row.begin(), row.end());
    }
    expected.push_back("All tasks finished successfully.");
    expected.push_back(SummaryLine(4, 0, 0));
    EXPECT_EQ(app_->LogLines(), expected);
    EXPECT_EQ(boxText, SummaryLine(4, 0, 0));
    EXPECT_EQ(PageFileValueRestore::Current(), std::optional<DWORD>(1));
}

TEST_F(EraseRunTest, StopDuringARowLeavesOutItsCompletionAndEveryLaterRow) {
    SetUpApp(OptionsWithOnly({{"Firefox", "Cache"}, {"Firefox", "Cookies"}, {"Windows", "TempFolder"}},
                             "SecurityLevel=Gutmann\r\n"));
    const std::string cache = FillFirefoxCache(120, 8192);
    WriteFileText(sandbox_->Temp() + "\\later.tmp", "a later row's file");
    StartApp();

    ASSERT_TRUE(app_->PressButton("Erase"));
    ASSERT_TRUE(WaitUntil([&] { return LastLineCountsFiles(*app_, kFileRunningLine); }, kRunTimeoutMs));
    EXPECT_EQ(EraseCaption(), "Stop");
    EXPECT_FALSE(IsWindowEnabled(app_->MainControl(kOptionsButtonId))) << "a modal window would hold the run";
    EXPECT_TRUE(IsWindowEnabled(app_->MainControl(kHelpButtonId)));
    ASSERT_TRUE(app_->PressButton("Stop"));

    const std::string boxText = TakeRunEndBox(*app_);
    EXPECT_EQ(boxText, "The erasing procedure stops.");
    // Only the files gone before the stop are counted; the others are neither overwritten nor deleted.
    const int left = CountFiles(cache);
    EXPECT_GT(left, 0);
    EXPECT_LT(left, 120);
    const std::string itemLine = FilesLine(120 - left, (120 - left) * 8192);
    EXPECT_EQ(app_->LogLines(), (std::vector<std::string>{"Erasing Firefox Cache ...", itemLine, "",
                                                          "The erasing procedure is stopped by the user",
                                                          "0 registry entries were erased. " + itemLine}));
    EXPECT_TRUE(FileExists(sandbox_->Temp() + "\\later.tmp"));
    EXPECT_TRUE(WaitUntil([&] { return EraseCaption() == "Erase"; }, 5000));
    EXPECT_TRUE(IsWindowEnabled(app_->MainControl(kOptionsButtonId)));
}

TEST_F(EraseRunTest, StopEndsARandomWipeOfTwoBillionPassesWithinSeconds) {
    // The count as a user may write it; the Miscellaneous dialog's field takes it as well.
    SetUpApp(OptionsWithOnly({{"Windows", "TempFolder"}}, "SecurityLevel=Random\r\nRandomRepeatedTime=0x7fffffff\r\n"));
    const std::string file = sandbox_->Temp() + "\\small.tmp";
    WriteFileText(file, std::string(1000, 'x'));
    StartApp();

    ASSERT_TRUE(app_->PressButton("Erase"));
    ASSERT_TRUE(WaitUntil([&] { return app_->LogLines().size() == 2; }, 10000));
    ASSERT_TRUE(WaitUntil([&] { return Overwritten(file, std::string(1000, 'x')); }, kRunTimeoutMs))
        << "the wipe never wrote its first pass";
    // Aborts at once if the window has taken no message for some seconds (a hung window); else
    // the bound only keeps a busy machine from failing the test.
    DWORD_PTR ignored = 0;
    EXPECT_TRUE(SendMessageTimeoutW(app_->MainWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &ignored))
        << "the window does not answer during the wipe";
    EXPECT_EQ(EraseCaption(), "Stop");
    ASSERT_TRUE(app_->PressButton("Stop"));

    // Two billion passes would outlast any wait: the box shows the stop ended the wipe.
    EXPECT_EQ(TakeRunEndBox(*app_), "The erasing procedure stops.");
    // The file is still there, so it is not counted as erased.
    const std::string itemLine = FilesLine(0, 0);
    EXPECT_EQ(app_->LogLines(), (std::vector<std::string>{"Erasing Temptory Files Directory ...", itemLine, "",
                                                          "The erasing procedure is stopped by the user",
                                                          "0 registry entries were erased. " + itemLine}));
    // Stopped between two passes: overwritten, but still there at its length.
    std::string content;
    ASSERT_TRUE(ReadWholeFile(file, content));
    EXPECT_EQ(content.size(), 1000u);
    EXPECT_NE(content, std::string(1000, 'x'));
}

// The number of whole random passes written after the first `consumed` bytes of the program's
// random stream (which starts at seed 0 with the program) when content, one pass over a file, is
// the last of them; -1 when content is no such pass.
int64_t RandomPassesBefore(const std::string& content, int64_t consumed) {
    uint32_t seed = 0;
    auto next = [&seed] {
        seed = seed * 134775813u + 1u;
        return static_cast<char>(seed >> 24);
    };
    for (int64_t i = 0; i < consumed; ++i) {
        next();
    }
    std::string pass(content.size(), '\0');
    for (int64_t passes = 0; passes < 1000000; ++passes) {
        for (char& c : pass) {
            c = next();
        }
        if (pass == content) {
            return passes;
        }
    }
    return -1;
}

TEST_F(EraseRunTest, TheRunHandsTheWipeMethodAndPassCountItReadsToTheItems) {
    // Each first run wipes one 1,000-byte file; a stopped endless random wipe of a 2,500-byte file
    // afterwards shows, through the random stream they share, how many random bytes it used.
    const struct {
        const char* miscellaneous;
        int64_t randomBytes;
    } cases[] = {
        {"SecurityLevel=Random\r\nRandomRepeatedTime=4\r\n", 4000},
        {"", 1000},                         // "DoD": its third pass is the one random pass
        {"SecurityLevel=Random\r\n", 2000}, // two passes when the count is missing
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.miscellaneous);
        SetUpApp(OptionsWithOnly({{"Windows", "TempFolder"}}, c.miscellaneous));
        WriteFileText(sandbox_->Temp() + "\\first.tmp", std::string(1000, 'a'));
        StartApp();
        ASSERT_TRUE(app_->PressButton("Erase"));
        EXPECT_EQ(TakeRunEndBox(*app_), SummaryLine(0, 1, 1000));
        EXPECT_FALSE(FileExists(sandbox_->Temp() + "\\first.tmp"));

        WriteFileText(
            app_->OptionsPath(),
            OptionsWithOnly({{"Windows", "TempFolder"}}, "SecurityLevel=Random\r\nRandomRepeatedTime=0x7fffffff\r\n"));
        const std::string probe = sandbox_->Temp() + "\\probe.tmp";
        WriteFileText(probe, std::string(2500, 'p'));
        ASSERT_TRUE(app_->PressButton("Erase"));
        ASSERT_TRUE(WaitUntil([&] { return app_->LogLines().size() == 2; }, 10000));
        ASSERT_TRUE(WaitUntil([&] { return Overwritten(probe, std::string(2500, 'p')); }, kRunTimeoutMs))
            << "the wipe never wrote its first pass";
        ASSERT_TRUE(app_->PressButton("Stop"));
        EXPECT_EQ(TakeRunEndBox(*app_), "The erasing procedure stops.");
        std::string content;
        ASSERT_TRUE(ReadWholeFile(probe, content));
        ASSERT_EQ(content.size(), 2500u);
        EXPECT_GE(RandomPassesBefore(content, c.randomBytes), 0) << "the first run used another number of random bytes";
        TearDown();
    }
}

TEST_F(EraseRunTest, AClickWhileTheRunStopsNeverStartsASecondRun) {
    SetUpApp(OptionsWithOnly({{"Firefox", "Cache"}}, "SecurityLevel=Gutmann\r\n"));
    FillFirefoxCache(60, 8192);
    StartApp();

    ASSERT_TRUE(app_->PressButton("Erase"));
    ASSERT_TRUE(WaitUntil([&] { return LastLineCountsFiles(*app_, kFileRunningLine); }, kRunTimeoutMs));
    // Stop, then at once a click on the button that reads "Erase" again, before the run has ended.
    HWND button = app_->MainControl(kEraseButtonId);
    PostMessageW(button, BM_CLICK, 0, 0);
    PostMessageW(button, BM_CLICK, 0, 0);

    EXPECT_EQ(TakeRunEndBox(*app_), "The erasing procedure stops.");
    // Both clicks were posted before the box came; once the thread has taken what was posted after
    // the box, a run started by the second click would be under way or over, with its own box.
    ASSERT_TRUE(app_->WaitPostedHandled());
    EXPECT_EQ(app_->FindWindowOf(L"#32770", "Information"), nullptr) << "a second run was started";
    std::vector<std::string> log = app_->LogLines();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "Erasing Firefox Cache ...");
    EXPECT_EQ(log.at(log.size() - 2), "The erasing procedure is stopped by the user");
    EXPECT_EQ(EraseCaption(), "Erase");
}

TEST_F(EraseRunTest, ClosingDuringARunStopsItAndLeavesAtMostTheFileUnderWayChanged) {
    SetUpApp(OptionsWithOnly({{"Firefox", "Cache"}}, "SecurityLevel=Gutmann\r\n"));
    const std::string cache = FillFirefoxCache(60, 65536);
    StartApp();

    ASSERT_TRUE(app_->PressButton("Erase"));
    ASSERT_TRUE(WaitUntil([&] { return LastLineCountsFiles(*app_, kFileRunningLine); }, kRunTimeoutMs));
    ASSERT_TRUE(app_->Close(30000)) << "the program did not close during its run";
    EXPECT_EQ(app_->ExitCode(), 0u);

    int untouched = 0;
    int changed = 0;
    for (const auto& entry : ListFolder(cache + "\\*.*")) {
        std::string content;
        ASSERT_TRUE(ReadWholeFile(cache + "\\" + entry.name, content));
        (content == std::string(65536, 'x') ? untouched : changed) += 1;
    }
    EXPECT_GT(untouched, 0) << "the run went on after the close";
    EXPECT_LE(changed, 1) << "more than the file under way was left half-wiped";
}

} // namespace
