// The erase run through the real Quorvale.exe, with every trace location of the program pointed at
// scratch folders and saved keys: the rows of the run, the temporary-files row, Stop, closing
// during a run, a second run, and plug-ins beside the program.
#include "driver/ItemOptions.h"
#include "e2e/DialogTestSupport.h"
#include "driver/QuorvaleDriver.h"
#include "engine/FolderWipe.h"
#include "platform/Files.h"
#include "platform/SqliteDatabase.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "settings/PreviewForm.h"
#include "settings/UnitFrmOptions.h"
#include "support/ChildProcess.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace {

// The plug-in step's own lines, spelled as the user sees them.
constexpr const char* kStepStart = "Erasing Plug-ins Information ...";
constexpr const char* kStepCompleted = "Erasing Plug-ins Information ... Completed";

constexpr int kEraseButtonId = 101;
constexpr int kOptionsButtonId = 102;
constexpr int kHelpButtonId = 106;
constexpr DWORD kRunTimeoutMs = 120000;

// The lines of one row: start line, what the item left, completion line, empty line.
std::vector<std::string> Row(const std::string& start, const std::vector<std::string>& results = {}) {
    std::vector<std::string> lines{start};
    lines.insert(lines.end(), results.begin(), results.end());
    lines.push_back(start + " Completed");
    lines.push_back("");
    return lines;
}

std::string FilesLine(int64_t files, int64_t bytes) {
    return std::to_string(files) + " files were erased, " + FormatByteSize(bytes) + " hard disk space was released.";
}

std::string SummaryLine(int64_t registry, int64_t files, int64_t bytes) {
    return std::to_string(registry) + " registry entries were erased. " + FilesLine(files, bytes);
}

// Makes count files of size bytes each, all of the letter 'x'.
void MakeFiles(const std::string& folder, int count, size_t size) {
    for (int i = 0; i < count; ++i) {
        WriteFileText(folder + "\\file" + std::to_string(i) + ".dat", std::string(size, 'x'));
    }
}

void MakeFolderTree(const std::string& folder) {
    for (size_t slash = folder.find('\\', 3); slash != std::string::npos; slash = folder.find('\\', slash + 1)) {
        CreateFolder(folder.substr(0, slash));
    }
    CreateFolder(folder);
}

int CountFiles(const std::string& folder) {
    int count = 0;
    for (const auto& entry : ListFolder(folder + "\\*.*")) {
        count += entry.IsFolder() ? 0 : 1;
    }
    return count;
}

// The run's closing box: its text, then answered. "" when none came.
std::string TakeRunEndBox(QuorvaleApp& app, DWORD timeoutMs = kRunTimeoutMs) {
    HWND box = app.WaitMessageBox("Information", timeoutMs);
    if (!box) {
        return "";
    }
    std::string text = QuorvaleApp::MessageBoxText(box);
    QuorvaleApp::AnswerMessageBox(box);
    WaitUntil([&] { return !IsWindow(box); }, 5000);
    return text;
}

// Whether the file has been overwritten at least once: it reads other than its first content.
bool Overwritten(const std::string& file, const std::string& firstContent) {
    std::string content;
    return ReadWholeFile(file, content) && content.size() == firstContent.size() && content != firstContent;
}

bool LastLineCountsFiles(const QuorvaleApp& app, const std::regex& runningLine) {
    std::vector<std::string> lines = app.LogLines();
    std::smatch match;
    return !lines.empty() && std::regex_match(lines.back(), match, runningLine) && std::stoi(match[1].str()) >= 1;
}

const std::regex kFileRunningLine("(\\d+) files were erased, .*");
const std::regex kPluginRunningLine("0 registry entries were erased\\. (\\d+) files were erased, .*");

class EraseRunTest : public ::testing::Test {
protected:
    // Starts the copy and waits for its main window.
    void StartApp() {
        app_->Start();
        ASSERT_NE(app_->WaitMainWindow(), nullptr);
    }
    std::string EraseCaption() const { return RemoteWindowText(app_->MainControl(kEraseButtonId)); }
    // Runs the copy with a switch to its end; its exit code.
    DWORD RunToEnd(QuorvaleApp& app, const std::vector<std::string>& arguments) {
        app.Start(arguments);
        EXPECT_TRUE(app.WaitExit(kRunTimeoutMs)) << "the switch must end the program by itself, no box waiting";
        return app.ExitCode();
    }

    // The Firefox cache of one profile, filled with count files of size bytes.
    std::string FillFirefoxCache(int count, size_t size) const {
        const std::string cache = sandbox_->AppData() + "\\Mozilla\\Firefox\\Profiles\\ab12cd.default\\Cache";
        MakeFolderTree(cache);
        MakeFiles(cache, count, size);
        return cache;
    }

    void SetUpApp(const std::optional<std::string>& optionsIni) {
        app_ = std::make_unique<QuorvaleApp>(optionsIni);
        sandbox_ = std::make_unique<TraceSandbox>(*app_);
    }
    void TearDown() override {
        if (app_) {
            app_->Kill();
        }
        sandbox_.reset();
        app_.reset();
    }

    std::unique_ptr<QuorvaleApp> app_;
    std::unique_ptr<TraceSandbox> sandbox_;
};

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
    rows.push_back(Row("Erasing Contents of ClipBoard ..."));
    // Today's browsers, none of them in the sandbox: their default items write only placeholders.
    for (const char* browser : {"Google Chrome", "Microsoft Edge", "Brave", "Vivaldi"}) {
        for (const char* trace : {"Cache", "Cookies", "History", "Form Data"}) {
            rows.push_back(Row(std::string("Erasing ") + browser + " " + trace + " ...", {kPlaceholderLine}));
        }
    }
    for (const char* trace : {"Cache", "Cookies", "History", "Form History"}) {
        rows.push_back(Row(std::string("Erasing Firefox ") + trace + " (version 3 and later) ...", {kPlaceholderLine}));
    }
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

void PutTextOnClipboard(const std::string& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::copy(text.c_str(), text.c_str() + text.size() + 1, static_cast<char*>(GlobalLock(memory)));
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
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

TEST_F(EraseRunTest, AHeldTemporaryFileIsNotCountedAndIsListedAsNotErasedBeforeTheEnd) {
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
    expected.push_back("Not erased: " + held + " (in use by another program)");
    expected.push_back("All tasks finished successfully.");
    expected.push_back(SummaryLine(0, 1, 1000));
    EXPECT_EQ(app_->LogLines(), expected);
    EXPECT_EQ(boxText, SummaryLine(0, 1, 1000));
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

void FillKey(const std::string& path, const std::vector<std::string>& values) {
    RegKey key = CreateRegKey(HKEY_CURRENT_USER, path);
    ASSERT_TRUE(key) << path;
    for (const auto& value : values) {
        ASSERT_TRUE(SetRegString(key.get(), value, "trace"));
    }
}

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

class EraseRunPluginTest : public EraseRunTest {
protected:
    std::string PluginDir() const { return app_->Folder() + "Plug-ins\\"; }
    void AddPlugin(const std::string& name, const std::string& description, bool selected,
                   const std::string& method) const {
        WriteFileText(PluginDir() + name, "[Information]\r\nDescription=" + description + "\r\nSelected=" +
                                              (selected ? "1" : "0") + "\r\n[Method]\r\n" + method + "\r\n");
    }
    // A selected plug-in whose one method wipes 60 files of 8,192 bytes under AppData\Slow, slow
    // enough with "Gutmann" to be stopped at work; returns that folder.
    std::string AddSlowPlugin() const {
        EXPECT_TRUE(CreateFolder(PluginDir()));
        const std::string data = sandbox_->AppData() + "\\Slow";
        EXPECT_TRUE(CreateFolder(data));
        MakeFiles(data, 60, 8192);
        AddPlugin("Slow.qv", "Slow cleaner", true, "DelFolder=%AppData%\\Slow\\*.*");
        return data;
    }
    // Starts a run and stops it once the plug-in has erased a file; the run ends with the stop box.
    void StopDuringThePluginStep() {
        ASSERT_TRUE(app_->PressButton("Erase"));
        ASSERT_TRUE(WaitUntil([&] { return LastLineCountsFiles(*app_, kPluginRunningLine); }, kRunTimeoutMs));
        ASSERT_TRUE(app_->PressButton("Stop"));
        EXPECT_EQ(TakeRunEndBox(*app_), "The erasing procedure stops.");
    }
};

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
    EXPECT_EQ(boxText, SummaryLine(0, 2, 10));
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

} // namespace

// The switches for scripts: Quorvale.exe /erase [<log file>] and /shred <file>..., with their exit codes.
class CommandLineTest : public EraseRunTest {
protected:
    std::string Joined(const std::vector<std::string>& lines) {
        std::string text;
        for (const auto& line : lines) {
            text += line + "\r\n";
        }
        return text;
    }
};

TEST_F(CommandLineTest, EraseRunsUnattendedWritesItsLogAndTellsByItsExitCodeWhetherEverythingWent) {
    SetUpApp(OptionsWithOnly({{"Windows", "TempFolder"}}, "SecurityLevel=DoD\r\n"));
    WriteFileText(sandbox_->Temp() + "\\one.tmp", std::string(1000, 'a'));
    const std::string log = app_->Folder() + "\\run.log";
    EXPECT_EQ(RunToEnd(*app_, {"/erase", log}), 0u);
    std::vector<std::string> expected = Row("Erasing Temptory Files Directory ...", {FilesLine(1, 1000)});
    expected.push_back("All tasks finished successfully.");
    expected.push_back(SummaryLine(0, 1, 1000));
    EXPECT_EQ(ReadFileText(log), Joined(expected));
    EXPECT_FALSE(FileExists(sandbox_->Temp() + "\\one.tmp"));

    // A file held by another program: the run ends with 1 and its log names the file.
    const std::string held = sandbox_->Temp() + "\\held.tmp";
    WriteFileText(held, "held");
    FileHandle holder(
        CreateFileW(WidePath(held).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    EXPECT_EQ(RunToEnd(*app_, {"/ERASE", log}), 1u);
    holder.reset();
    EXPECT_NE(ReadFileText(log).find("Not erased: " + held + " (in use by another program)\r\nAll tasks finished"),
              std::string::npos)
        << ReadFileText(log);
    EXPECT_EQ(ReadFileText(held), "held");

    // A log file that cannot be written: nothing is erased, and the exit code says the run did not start.
    WriteFileText(sandbox_->Temp() + "\\kept.tmp", "kept");
    EXPECT_EQ(RunToEnd(*app_, {"/erase", app_->Folder() + "\\no such folder\\run.log"}), 2u);
    EXPECT_TRUE(FileExists(sandbox_->Temp() + "\\kept.tmp"));
}

TEST_F(CommandLineTest, WhileAnotherCopyRunsASwitchChangesNothingAndEndsWithThree) {
    SetUpApp(OptionsWithOnly({{"Windows", "TempFolder"}}));
    WriteFileText(sandbox_->Temp() + "\\kept.tmp", "kept");
    StartApp();
    QuorvaleApp second(OptionsWithOnly({{"Windows", "TempFolder"}}));
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"/erase"}, std::vector<std::string>{"/shred", sandbox_->Temp() + "\\kept.tmp"}}) {
        EXPECT_EQ(RunToEnd(second, arguments), 3u) << arguments.front();
        EXPECT_EQ(second.FindWindowOf(L"#32770", "Information"), nullptr) << "a script's call shows no box";
    }
    EXPECT_TRUE(FileExists(sandbox_->Temp() + "\\kept.tmp"));
    EXPECT_TRUE(app_->Running());
}

TEST_F(CommandLineTest, ShredShredsTheNamedFilesAndEndsWithOneWhenOneCouldNotBe) {
    SetUpApp(OptionsWithOnly({}, "SecurityLevel=DoD\r\n"));
    const std::string first = sandbox_->Temp() + "\\first.doc";
    const std::string second = sandbox_->Temp() + "\\second.doc";
    WriteFileText(first, "secret one");
    WriteFileText(second, "secret two");
    EXPECT_EQ(RunToEnd(*app_, {"/shred", first, sandbox_->Temp() + "\\missing.doc"}), 1u);
    EXPECT_FALSE(FileExists(first));
    EXPECT_EQ(RunToEnd(*app_, {"/shred", second}), 0u);
    EXPECT_FALSE(FileExists(second));

    // A switch called wrongly says how to call it and ends at once, erasing nothing.
    WriteFileText(sandbox_->Temp() + "\\kept.tmp", "kept");
    EXPECT_EQ(RunToEnd(*app_, {"/shred"}), 2u);
    EXPECT_EQ(RunToEnd(*app_, {"/erase", "one.log", "two.log"}), 2u);
    EXPECT_TRUE(FileExists(sandbox_->Temp() + "\\kept.tmp"));
}

// What an erase would remove, seen before it happens: Quorvale.exe /preview <file> and the Preview
// window of the erase-items dialog.
namespace {

constexpr const char* kRunMRUKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

// Every file and folder below the folder, to the byte: content, write time and attributes.
void AddTreeState(const std::string& folder, std::map<std::string, std::string>& state) {
    for (const FolderEntry& entry : ListFolder(folder + "\\*.*")) {
        const std::string path = folder + "\\" + entry.name;
        WIN32_FILE_ATTRIBUTE_DATA data{};
        EXPECT_TRUE(GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data)) << path;
        std::string line = std::to_string(data.dwFileAttributes) + " " +
                           std::to_string(data.ftLastWriteTime.dwLowDateTime) + ":" +
                           std::to_string(data.ftLastWriteTime.dwHighDateTime) + " ";
        if (entry.IsFolder()) {
            state[path] = line + "folder";
            AddTreeState(path, state);
        } else {
            std::string content;
            EXPECT_TRUE(ReadWholeFile(path, content)) << path;
            state[path] = line + content;
        }
    }
}

std::map<std::string, std::string> RegistryState(const std::string& path) {
    std::map<std::string, std::string> state;
    RegKey key = OpenRegKey(HKEY_CURRENT_USER, path);
    for (const std::string& name : RegValueNames(key.get())) {
        state[name] = GetRegValue(key.get(), name).value_or(RegValue{}).bytes;
    }
    return state;
}

std::string ClipboardText() {
    std::string text;
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_TEXT)) {
            text = static_cast<const char*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    return text;
}

// The text's lines, without their line ends.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

// The entries of a preview file ("  <what>\t<detail>"), each what with its detail.
std::map<std::string, std::string> PreviewEntries(const std::string& text) {
    std::map<std::string, std::string> entries;
    for (const std::string& line : SplitLines(text)) {
        const size_t tab = line.find('\t');
        if (line.rfind("  ", 0) == 0 && tab != std::string::npos) {
            entries[line.substr(2, tab - 2)] = line.substr(tab + 1);
        }
    }
    return entries;
}

class PreviewTest : public EraseRunPluginTest {
protected:
    // The world of the preview: temp files in a sub-folder too, a Firefox profile's cookies, the
    // Run history, the clipboard, and a plug-in's folder; beside them files no item names.
    void MakeWorld() {
        const std::string temp = sandbox_->Temp();
        ASSERT_TRUE(CreateFolder(temp + "\\Sub"));
        WriteFileText(temp + "\\a.tmp", std::string(100, 'a'));
        WriteFileText(temp + "\\Sub\\b.tmp", std::string(2000, 'b'));
        SqliteDatabase db;
        const std::string profile = sandbox_->AppData() + "\\Mozilla\\Firefox\\Profiles\\ab12cd.default";
        MakeFolderTree(profile);
        ASSERT_EQ(db.Create(profile + "\\cookies.sqlite"), DatabaseOpen::Opened);
        ASSERT_TRUE(db.Exec("CREATE TABLE moz_cookies(id INTEGER PRIMARY KEY, name TEXT, value TEXT, host TEXT,"
                            " path TEXT); INSERT INTO moz_cookies(name, value, host, path) VALUES"
                            " ('sid', '1', 'one.example', '/'), ('t', '2', '.two.example', '/')"));
        db.Close();
        WriteFileText(profile + "\\bookmarks.html", "kept: no item names it");
        FillKey(kRunMRUKey, {"a", "b", "MRUList"});
        PutTextOnClipboard("copied secret");
        ASSERT_TRUE(CreateFolder(PluginDir()));
        ASSERT_TRUE(CreateFolder(sandbox_->AppData() + "\\Other"));
        WriteFileText(sandbox_->AppData() + "\\Other\\one.dat", std::string(300, 'o'));
        WriteFileText(sandbox_->AppData() + "\\Other\\stays.txt", "not a .dat");
        AddPlugin("Other.qv", "Other cleaner", true, "DelFolder=%AppData%\\Other\\*.dat");
    }
    std::map<std::string, std::string> WorldState() const {
        std::map<std::string, std::string> state;
        AddTreeState(sandbox_->Temp(), state);
        AddTreeState(sandbox_->AppData(), state);
        for (const auto& [name, bytes] : RegistryState(kRunMRUKey)) {
            state["HKEY_CURRENT_USER\\" + std::string(kRunMRUKey) + "\\" + name] = bytes;
        }
        state["clipboard"] = ClipboardText();
        return state;
    }
    // Opens the Options dialog from the main window, and the Preview window from it.
    void OpenPreview(HWND& options, HWND& preview) {
        options = OpenWindowFrom(*app_, app_->MainWindow(), "Options", L"TFrmOptions", "Options");
        ASSERT_NE(options, nullptr);
        preview = OpenWindowFrom(*app_, options, "Preview ...", L"TFrmPreview", "Preview");
        ASSERT_NE(preview, nullptr);
    }
    // The Preview window opened from a started copy, at the row of one entry of the world's.
    struct PreviewRow {
        HWND options = nullptr;
        HWND preview = nullptr;
        HWND list = nullptr;
        int row = -1;
    };
    void OpenPreviewAt(const std::string& entry, PreviewRow& at) {
        StartApp();
        ASSERT_NO_FATAL_FAILURE(OpenPreview(at.options, at.preview));
        at.list = GetDlgItem(at.preview, TFrmPreview::IDC_LVW_PREVIEW);
        at.row = WaitForPreviewRow(at.list, entry);
        ASSERT_GE(at.row, 0);
        EXPECT_EQ(RemoteWindowText(GetDlgItem(at.preview, TFrmPreview::IDC_LBL_PREVIEWTOTALS)),
                  "An erase now would end with: " + SummaryLine(3, 3, 2400));
    }
    // The list fills once the finding is done; the row of the entry is then there. Its index, or -1.
    static int WaitForPreviewRow(HWND list, const std::string& entry) {
        int row = -1;
        WaitUntil(
            [&] {
                const int rows = RemoteListViewRowCount(list);
                for (int i = 0; i < rows && row < 0; ++i) {
                    row = RemoteListViewCell(list, i, 0) == "    " + entry ? i : -1;
                }
                return row >= 0;
            },
            30000);
        return row;
    }
    static std::string Options() {
        return OptionsWithOnly(
            {{"Windows", "TempFolder"}, {"Windows", "RunMenu"}, {"Windows", "ClipBoard"}, {"Firefox3", "Cookies"}},
            "SecurityLevel=DoD\r\n");
    }
};

TEST_F(PreviewTest, ListsExactlyWhatTheEraseThenRemovesAndChangesNothingItself) {
    SetUpApp(Options());
    MakeWorld();
    const auto before = WorldState();
    const std::string previewFile = app_->Folder() + "preview.txt";

    ASSERT_EQ(RunToEnd(*app_, {"/preview", previewFile}), 0u);

    EXPECT_EQ(WorldState(), before) << "the preview changed something";
    const std::string text = ReadFileText(previewFile);
    const std::string temp = sandbox_->Temp();
    const std::string profile = sandbox_->AppData() + "\\Mozilla\\Firefox\\Profiles\\ab12cd.default";
    const std::string mru = "HKEY_CURRENT_USER\\" + std::string(kRunMRUKey) + "\\";
    const std::map<std::string, std::string> expected{
        {temp + "\\a.tmp", "100 Bytes"},
        {temp + "\\Sub\\b.tmp", FormatByteSize(2000)},
        {temp + "\\Sub", "folder"},
        {mru + "a", "12 Bytes"}, // "trace" and its NUL, as UTF-16
        {mru + "b", "12 Bytes"},
        {mru + "MRUList", "12 Bytes"},
        {profile + "\\cookies.sqlite", "2 rows"},
        {sandbox_->AppData() + "\\Other\\one.dat", "300 Bytes"},
    };
    EXPECT_EQ(PreviewEntries(text), expected) << text;
    // The group titles are the rows' start lines in run order, then the plug-in's.
    const std::vector<std::string> titles{"Erasing Temptory Files Directory ...", "Erasing Start Menu Run History ...",
                                          "Erasing Contents of ClipBoard ...",
                                          "Erasing Firefox Cookies (version 3 and later) ...", "Other cleaner ..."};
    size_t at = 0;
    for (const std::string& title : titles) {
        at = text.find(title + "\r\n", at);
        EXPECT_NE(at, std::string::npos) << title << " missing or out of order in\n" << text;
    }
    EXPECT_NE(text.find("  Empty the clipboard\r\n"), std::string::npos) << text;
    const std::string totals = "An erase now would end with:\r\n" + SummaryLine(3, 3, 2400) + "\r\n";
    EXPECT_EQ(text.substr(text.size() - std::min(text.size(), totals.size())), totals);

    // The erase then removes exactly the listed set: nothing else below the sandbox changes.
    const std::string log = app_->Folder() + "run.log";
    ASSERT_EQ(RunToEnd(*app_, {"/erase", log}), 0u);
    const auto after = WorldState();
    for (const auto& [what, state] : before) {
        const bool listed = expected.count(what) != 0;
        if (what == "clipboard" || what == profile + "\\cookies.sqlite") {
            continue; // emptied and edited in place, looked at below
        }
        if (listed) {
            EXPECT_EQ(after.count(what), 0u) << what << " was listed but not erased";
        } else if (what != temp && what.rfind(profile, 0) != 0 && what != sandbox_->AppData() + "\\Other") {
            // (folders whose contents changed have new write times)
            EXPECT_EQ(after.count(what) ? after.at(what) : "(gone)", state) << what << " was not listed";
        }
    }
    EXPECT_EQ(ReadFileText(profile + "\\bookmarks.html"), "kept: no item names it");
    EXPECT_EQ(ReadFileText(sandbox_->AppData() + "\\Other\\stays.txt"), "not a .dat");
    EXPECT_EQ(ClipboardText(), "");
    const std::string runLog = ReadFileText(log);
    EXPECT_NE(runLog.find("All tasks finished successfully.\r\n" + SummaryLine(3, 3, 2400)), std::string::npos)
        << "the erase's summary differs from the preview's\n"
        << runLog;
}

TEST_F(PreviewTest, AnEntryMarkedNeverEraseInThePreviewWindowOutlivesTheErase) {
    SetUpApp(Options());
    MakeWorld();
    const std::string kept = sandbox_->Temp() + "\\Sub\\b.tmp";
    PreviewRow at;
    ASSERT_NO_FATAL_FAILURE(OpenPreviewAt(kept, at));
    HWND options = at.options;
    HWND preview = at.preview;
    HWND list = at.list;
    const int row = at.row;
    EXPECT_EQ(RemoteListViewCell(list, row, 1), FormatByteSize(2000));
    RemoteListViewSetSelected(list, row, true);
    ASSERT_TRUE(app_->PressButton(preview, "Never Erase"));
    EXPECT_TRUE(WaitUntil([&] { return RemoteListViewCell(list, row, 1) == "kept (marked Never erase)"; }, 5000));
    // The plug-in's file, by its folder: the plug-in then keeps away from all of it.
    const std::string other = sandbox_->AppData() + "\\Other";
    const int pluginRow = WaitForPreviewRow(list, other + "\\one.dat");
    ASSERT_GE(pluginRow, 0);
    RemoteListViewSetSelected(list, pluginRow, true);
    ASSERT_TRUE(app_->PressButton(preview, "Never Erase Its Folder"));
    EXPECT_TRUE(WaitUntil([&] { return RemoteListViewCell(list, pluginRow, 1) == "kept (marked Never erase)"; }, 5000));
    EXPECT_NE(ReadFileText(app_->OptionsPath()).find("[NeverErase]\r\n0=" + kept + "\r\n1=" + other + "\r\n"),
              std::string::npos)
        << ReadFileText(app_->OptionsPath());
    ASSERT_TRUE(CloseWith(*app_, preview, "Close"));
    ASSERT_TRUE(CloseWith(*app_, options, "Cancel"));

    ASSERT_TRUE(app_->PressButton("Erase"));
    EXPECT_EQ(TakeRunEndBox(*app_), SummaryLine(3, 1, 100));
    EXPECT_EQ(ReadFileText(kept), std::string(2000, 'b'));
    EXPECT_EQ(ReadFileText(other + "\\one.dat"), std::string(300, 'o'));
    EXPECT_FALSE(FileExists(sandbox_->Temp() + "\\a.tmp"));
}

// The preview follows the dialog as it stands, saved or not: an item and a plug-in unticked there
// are left out, and Cancel then leaves Options.ini and the plug-in file as they were.
TEST_F(PreviewTest, FollowsTheDialogsUnsavedTicks) {
    SetUpApp(Options());
    MakeWorld();
    const std::string optionsBefore = ReadFileText(app_->OptionsPath());
    StartApp();
    HWND options = OpenWindowFrom(*app_, app_->MainWindow(), "Options", L"TFrmOptions", "Options");
    ASSERT_NE(options, nullptr);
    TurnToPage(ControlOf(options, TFrmOptions::IDC_OPTIONS_PAGECONTROL), 1);
    ClickControlAndWait(ControlOf(options, TFrmOptions::IDC_CHK_TMPDIRECTORY));
    TurnToPage(ControlOf(options, TFrmOptions::IDC_OPTIONS_PAGECONTROL), 2);
    HWND plugins = ControlOf(options, TFrmOptions::IDC_LVW_PLUGINS);
    ASSERT_EQ(RemoteListViewRowCount(plugins), 1);
    RemoteListViewSetChecked(plugins, 0, false);
    HWND preview = OpenWindowFrom(*app_, options, "Preview ...", L"TFrmPreview", "Preview");
    ASSERT_NE(preview, nullptr);
    HWND totals = GetDlgItem(preview, TFrmPreview::IDC_LBL_PREVIEWTOTALS);
    ASSERT_TRUE(WaitUntil([&] { return !RemoteWindowText(totals).empty(); }, 30000));

    EXPECT_EQ(RemoteWindowText(totals), "An erase now would end with: " + SummaryLine(3, 0, 0));
    std::vector<std::string> rows;
    for (const auto& row : RemoteListViewRows(GetDlgItem(preview, TFrmPreview::IDC_LVW_PREVIEW), 1)) {
        rows.push_back(row.at(0));
    }
    for (const char* absent : {"Erasing Temptory Files Directory ...", "Other cleaner ..."}) {
        EXPECT_EQ(std::find(rows.begin(), rows.end(), absent), rows.end()) << absent << " is unticked\n"
                                                                           << ::testing::PrintToString(rows);
    }
    EXPECT_NE(std::find(rows.begin(), rows.end(), "Erasing Start Menu Run History ..."), rows.end());
    ASSERT_TRUE(CloseWith(*app_, preview, "Close"));
    ASSERT_TRUE(CloseWith(*app_, options, "Cancel"));
    EXPECT_EQ(ReadFileText(app_->OptionsPath()), optionsBefore);
    EXPECT_NE(ReadFileText(PluginDir() + "Other.qv").find("Selected=1"), std::string::npos);
}

// A cache entry is kept by its file: marked from the preview, both the entry and its file outlive
// the erase, while the other entry goes.
TEST_F(PreviewTest, ACacheEntryMarkedNeverEraseKeepsItsFileThroughTheErase) {
    SetUpApp(OptionsWithOnly({{"IE", "Cache"}}, "SecurityLevel=DoD\r\n"));
    // The helper, started after the sandbox, uses the sandbox's cache as the program will.
    const std::string added = RunAndCapture("\"" + TestProgramFolder() + "QvTestHelper.exe\" cache-entries " +
                                            "http://qv.test/preview 2 500");
    const std::vector<std::string> files = SplitLines(added);
    ASSERT_EQ(files.size(), 2u) << added;
    StartApp();
    HWND options = nullptr;
    HWND preview = nullptr;
    ASSERT_NO_FATAL_FAILURE(OpenPreview(options, preview));
    HWND list = GetDlgItem(preview, TFrmPreview::IDC_LVW_PREVIEW);
    const int row = WaitForPreviewRow(list, "http://qv.test/preview1.htm");
    ASSERT_GE(row, 0);
    EXPECT_EQ(RemoteListViewCell(list, row, 1), "500 Bytes");
    RemoteListViewSetSelected(list, row, true);
    ASSERT_TRUE(app_->PressButton(preview, "Never Erase"));
    EXPECT_TRUE(WaitUntil([&] { return RemoteListViewCell(list, row, 1) == "kept (marked Never erase)"; }, 5000));
    EXPECT_NE(ReadFileText(app_->OptionsPath()).find("[NeverErase]\r\n0=" + files[0] + "\r\n"), std::string::npos)
        << ReadFileText(app_->OptionsPath());
    ASSERT_TRUE(CloseWith(*app_, preview, "Close"));
    ASSERT_TRUE(CloseWith(*app_, options, "Cancel"));

    ASSERT_TRUE(app_->PressButton("Erase"));
    TakeRunEndBox(*app_);
    EXPECT_EQ(ReadFileText(files[0]), std::string(500, 'c'));
    EXPECT_FALSE(FileExists(files[1]));
    const std::vector<std::string> log = app_->LogLines();
    EXPECT_NE(std::find(log.begin(), log.end(), FilesLine(1, 500)), log.end()) << ::testing::PrintToString(log);
}

TEST_F(PreviewTest, ARegistryValueMarkedNeverEraseInThePreviewWindowOutlivesTheErase) {
    SetUpApp(Options());
    MakeWorld();
    const std::string value = "HKEY_CURRENT_USER\\" + std::string(kRunMRUKey) + "\\a";
    PreviewRow at;
    ASSERT_NO_FATAL_FAILURE(OpenPreviewAt(value, at));
    HWND options = at.options;
    HWND preview = at.preview;
    HWND list = at.list;
    const int row = at.row;
    RemoteListViewSetSelected(list, row, true);
    ASSERT_TRUE(app_->PressButton(preview, "Never Erase"));
    EXPECT_TRUE(WaitUntil([&] { return RemoteListViewCell(list, row, 1) == "kept (marked Never erase)"; }, 5000));
    EXPECT_NE(ReadFileText(app_->OptionsPath()).find("[NeverErase]\r\n0=" + value + "\r\n"), std::string::npos)
        << ReadFileText(app_->OptionsPath());
    ASSERT_TRUE(CloseWith(*app_, preview, "Close"));
    ASSERT_TRUE(CloseWith(*app_, options, "Cancel"));

    ASSERT_TRUE(app_->PressButton("Erase"));
    EXPECT_EQ(TakeRunEndBox(*app_), SummaryLine(2, 3, 2400)) << "one registry entry fewer than the preview before";
    const auto values = RegistryState(kRunMRUKey);
    EXPECT_EQ(values.size(), 1u);
    EXPECT_EQ(values.count("a"), 1u) << "the kept value was erased";
}

} // namespace
