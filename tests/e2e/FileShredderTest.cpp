// The file shredder, driven through the real Quorvale.exe: the open dialog, the list, the
// per-file checks, pass labels, Stop, and what a shredding leaves on the disk.
#include "app/MainForm.h"
#include "driver/DialogDriver.h"
#include "driver/DropFiles.h"
#include "driver/QuorvaleDriver.h"
#include "tools/FileShredderForm.h"

#include "platform/WindowText.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "support/Scratch.h"
#include "support/TestDrives.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <regex>
#include <set>

namespace {

constexpr const char* kShredderCaption = "File Shredder";
constexpr const char* kDialogCaption = "Choose files to be shredded";
constexpr const char* kFinishes = "The process of shredding files finishes.";
constexpr const char* kStops = "The process of shredding files stops.";
constexpr size_t kLargeFileBytes = 4 * 1024 * 1024;

std::vector<std::string> GutmannLabels() {
    std::vector<std::string> labels;
    const char* endings[] = {"st", "nd", "rd"};
    for (int pass = 1; pass <= 35; ++pass) {
        bool teen = pass >= 11 && pass <= 13;
        int last = pass % 10;
        std::string ending = (!teen && last >= 1 && last <= 3) ? endings[last - 1] : "th";
        labels.push_back(std::to_string(pass) + ending + " pass");
    }
    return labels;
}

// What passes 5 to 31 of the Gutmann method write, repeated over the whole file.
std::string GutmannPattern(int pass) {
    const char* triplets[] = {"\x92\x49\x24", "\x49\x24\x92", "\x24\x92\x49",
                              "\x6D\xB6\xDB", "\xB6\xDB\x6D", "\xDB\x6D\xB6"};
    if (pass == 5 || pass == 6) {
        return std::string(1, pass == 5 ? '\x55' : '\xAA');
    }
    if (pass >= 7 && pass <= 9) {
        return triplets[pass - 7];
    }
    if (pass >= 10 && pass <= 25) {
        return std::string(1, static_cast<char>((pass - 10) * 0x11));
    }
    if (pass >= 26 && pass <= 31) {
        return triplets[pass - 26];
    }
    return {}; // a random pass
}

std::string Options(const std::string& method) { return "[Miscellaneous]\r\nSecurityLevel=" + method + "\r\n"; }

class FileShredderTest : public ::testing::Test {
protected:
    // Starts the program with the settings and opens the shredder from the main window.
    void Open(const std::string& optionsIni = Options("DoD")) {
        app_ = std::make_unique<QuorvaleApp>(optionsIni);
        app_->Start();
        ASSERT_NE(app_->WaitMainWindow(), nullptr);
        ASSERT_TRUE(app_->PressButton("File Shredder"));
        shredder_ = app_->WaitWindow(L"TFrmFileShredder", kShredderCaption);
        ASSERT_NE(shredder_, nullptr);
        list_ = FindChildOfClass(shredder_, L"SysListView32");
        ASSERT_NE(list_, nullptr);
    }

    // Adds files of one folder through "Select files" and the open dialog, in the order given.
    void AddFiles(const std::string& folder, const std::vector<std::string>& names) {
        int before = RemoteListViewRowCount(list_);
        ASSERT_TRUE(app_->PressButton(shredder_, "Select files"));
        HWND dialog = app_->WaitWindow(L"#32770", kDialogCaption);
        ASSERT_NE(dialog, nullptr) << "the open dialog did not appear";
        ASSERT_TRUE(ChooseInOpenDialog(dialog, folder, names));
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 10000)) << "the open dialog stayed open";
        ASSERT_TRUE(
            WaitUntil([&] { return RemoteListViewRowCount(list_) == before + static_cast<int>(names.size()); }, 5000));
    }

    std::string Status(int row) const { return RemoteListViewCell(list_, row, 1); }
    // The line under the list: a pass's progress, or what a drop left out.
    std::string ProgressLine() const {
        return RemoteWindowText(GetDlgItem(shredder_, TFrmFileShredder::IDC_SHRED_PROGRESS));
    }
    // Drops the paths on the window as Explorer does and waits until the list holds rows rows.
    void Drop(const std::vector<std::string>& paths, int rows) {
        std::unique_ptr<RemoteMemory> drop = DropFilesOn(shredder_, paths);
        ASSERT_NE(drop, nullptr) << "the drop could not be made";
        ASSERT_TRUE(WaitQueueHandled(shredder_)) << "the drop was not taken";
        ASSERT_TRUE(WaitUntil([&] { return RemoteListViewRowCount(list_) == rows; }, 5000))
            << RemoteListViewRowCount(list_) << " rows";
    }
    HWND Button(const char* caption) const { return FindChildWithText(shredder_, caption); }
    HWND ShredButton() const {
        HWND button = Button("Start Shredding");
        return button ? button : Button("Stop");
    }

    // Waits for the final message of a shredding, checks it and answers it.
    void ExpectFinalMessage(const char* text) {
        HWND box = app_->WaitMessageBox("Information", 60000);
        ASSERT_NE(box, nullptr) << "no final message";
        EXPECT_EQ(QuorvaleApp::MessageBoxText(box), text);
        QuorvaleApp::AnswerMessageBox(box);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
    }

    void ExpectIdle() {
        EXPECT_TRUE(WaitUntil([&] { return Button("Start Shredding") != nullptr; }, 5000));
        for (const char* caption : {"Select files", "Remove files", "Start Shredding", "Exit"}) {
            HWND button = Button(caption);
            ASSERT_NE(button, nullptr) << caption;
            EXPECT_TRUE(IsWindowEnabled(button)) << caption;
        }
    }

    // The statuses the row's cell shows, in order, without repeats, until it reads one of the ends
    // (a failure when it never does).
    std::vector<std::string> WatchStatus(int row, const std::set<std::string>& ends) {
        std::vector<std::string> seen;
        DWORD start = GetTickCount();
        while (seen.empty() || !ends.count(seen.back())) {
            if (GetTickCount() - start > 120000) {
                ADD_FAILURE() << "the status never reached an end: " << ::testing::PrintToString(seen);
                break;
            }
            std::string status = Status(row);
            if (seen.empty() || seen.back() != status) {
                seen.push_back(status);
            }
        }
        return seen;
    }

    // Watches the row's status without pausing until it shows pass atLeast or a later one;
    // returns that pass number, or 0 when the file's wipe ended first or the time ran out.
    int WaitForPass(int row, int atLeast) {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < 60000) {
            std::string status = Status(row);
            int pass = PassOfLabel(status);
            if (pass >= atLeast) {
                return pass;
            }
            if (pass == 0 && status != " ") {
                return 0;
            }
        }
        return 0;
    }

    static int PassOfLabel(const std::string& status) {
        if (status.size() < 8 || status.compare(status.size() - 5, 5, " pass") != 0) {
            return 0;
        }
        return std::atoi(status.c_str());
    }

    ScratchFolder folder_;
    std::unique_ptr<QuorvaleApp> app_;
    HWND shredder_ = nullptr;
    HWND list_ = nullptr;
};

TEST_F(FileShredderTest, OpensModallyWithItsCaptionsAndColumnsAndExitGivesTheLogTheFocus) {
    Open();
    EXPECT_FALSE(IsWindowEnabled(app_->MainWindow())) << "the main window must wait while the shredder is open";
    EXPECT_NE(
        FindChildWithText(shredder_, "Please select the files you want to shred, the click 'Start Shredding' button."),
        nullptr);
    auto columns = RemoteListViewColumns(list_);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].first, "File Name");
    EXPECT_EQ(columns[1].first, "Result");
    EXPECT_EQ(columns[0].second, MulDiv(300, ScreenDpi(), 96));
    EXPECT_EQ(columns[1].second, MulDiv(170, ScreenDpi(), 96));
    EXPECT_EQ(RemoteListViewRowCount(list_), 0);
    ExpectIdle();

    ASSERT_TRUE(app_->PressButton(shredder_, "Exit"));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(shredder_); }, 5000));
    EXPECT_TRUE(IsWindowEnabled(app_->MainWindow()));
    EXPECT_TRUE(WaitUntil(
        [&] { return FocusedControlOf(app_->MainWindow()) == app_->MainControl(TFrmMain::IDC_MEMINFO); }, 5000))
        << "the progress log should have the focus again";
}

TEST_F(FileShredderTest, AnEmptyListOnlyAsksForFiles) {
    Open();
    ASSERT_TRUE(app_->PressButton(shredder_, "Start Shredding"));
    HWND box = app_->WaitMessageBox("Error");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(QuorvaleApp::MessageBoxText(box), "Please Select the files you want to shred firstly.");
    QuorvaleApp::AnswerMessageBox(box);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
    EXPECT_EQ(RemoteListViewRowCount(list_), 0);
    ExpectIdle();
}

TEST_F(FileShredderTest, ChosenFilesAreListedInTheDialogsOrderAndRemoveDropsTheSelectedRows) {
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        WriteFileText(folder_ / name, name);
    }
    Open();
    AddFiles(folder_.Path(), {"c.txt", "a.txt", "b.txt"});
    AddFiles(folder_.Path(), {"a.txt"}); // the same file again is listed again
    EXPECT_EQ(RemoteListViewRows(list_, 2), (std::vector<std::vector<std::string>>{
                                                {folder_ / "c.txt", " "},
                                                {folder_ / "a.txt", " "},
                                                {folder_ / "b.txt", " "},
                                                {folder_ / "a.txt", " "},
                                            }));

    ASSERT_TRUE(app_->PressButton(shredder_, "Remove files")); // nothing selected: nothing happens
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(shredder_); }, 2000));
    EXPECT_EQ(RemoteListViewRowCount(list_), 4);

    RemoteListViewSetSelected(list_, 0, true);
    RemoteListViewSetSelected(list_, 2, true);
    ASSERT_TRUE(app_->PressButton(shredder_, "Remove files"));
    ASSERT_TRUE(WaitUntil([&] { return RemoteListViewRowCount(list_) == 2; }, 5000));
    EXPECT_EQ(RemoteListViewRows(list_, 2), (std::vector<std::vector<std::string>>{
                                                {folder_ / "a.txt", " "},
                                                {folder_ / "a.txt", " "},
                                            }));
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        EXPECT_TRUE(FileExists(folder_ / name)) << "removing a row must not touch the file";
    }
}

TEST_F(FileShredderTest, AMissingFileAndAReadOnlyDriveAreReportedAndANormalFileIsShredded) {
    std::string missing = ReadOnlyTestDriveMissing();
    if (!missing.empty()) {
        GTEST_SKIP() << missing;
    }
    WriteFileText(folder_ / "gone.txt", "deleted before the shredding");
    WriteFileText(folder_ / "secret.txt", std::string(100000, 's'));
    Open();
    AddFiles(folder_.Path(), {"gone.txt"});
    AddFiles("R:\\", {"ReadOnly.txt"});
    AddFiles(folder_.Path(), {"secret.txt", "secret.txt"});
    ASSERT_TRUE(DeleteFileAt(folder_ / "gone.txt"));

    ASSERT_TRUE(app_->PressButton(shredder_, "Start Shredding"));
    ExpectFinalMessage(kFinishes);
    EXPECT_EQ(Status(0), "File not exists");
    EXPECT_EQ(Status(1), "Drive R: is read only");
    EXPECT_EQ(Status(2), "Completed");
    EXPECT_EQ(Status(3), "File not exists") << "the second row of the same file finds it gone";
    EXPECT_EQ(RemoteListViewRowCount(list_), 4) << "rows stay after a shredding";
    EXPECT_FALSE(FileExists(folder_ / "secret.txt"));
    EXPECT_TRUE(ListFolder(folder_ / "*").empty()) << "nothing of the shredded file may be left";
    EXPECT_TRUE(FileExists(kReadOnlyTestFile));
    ExpectIdle();
}

TEST_F(FileShredderTest, GutmannCountsEveryPassInTheStatusCell) {
    WriteFileText(folder_ / "large.bin", std::string(kLargeFileBytes, 'x'));
    Open(Options("Gutmann"));
    AddFiles(folder_.Path(), {"large.bin"});
    ASSERT_TRUE(app_->PressButton(shredder_, "Start Shredding"));
    std::vector<std::string> seen = WatchStatus(0, {"Completed", "Stopped", "This file could not be written."});
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), "Completed");

    // The cell is read from outside while the passes run, and the cell itself shows at most ten
    // labels a second, so a pass shorter than that may go unseen; every label seen must be the
    // right one, in order, and many of them must be seen (19 of 35 at the worst, with three other
    // builds and test runs beside it; 30 and more on a quiet machine).
    std::vector<std::string> expected = GutmannLabels();
    size_t next = 0;
    int labelsSeen = 0;
    for (const auto& status : seen) {
        if (status == " " || status == "Completed") {
            continue;
        }
        auto found = std::find(expected.begin() + static_cast<long>(next), expected.end(), status);
        ASSERT_NE(found, expected.end()) << "\"" << status << "\" is not a label expected here";
        next = static_cast<size_t>(found - expected.begin()) + 1;
        ++labelsSeen;
    }
    EXPECT_GE(labelsSeen, 10) << ::testing::PrintToString(seen);
    ExpectFinalMessage(kFinishes);
    EXPECT_FALSE(FileExists(folder_ / "large.bin"));
}

TEST_F(FileShredderTest, TheRandomMethodShowsNoPassLabelsAndShredsTheFile) {
    WriteFileText(folder_ / "large.bin", std::string(kLargeFileBytes, 'x'));
    Open(Options("Random"));
    AddFiles(folder_.Path(), {"large.bin"});
    ASSERT_TRUE(app_->PressButton(shredder_, "Start Shredding"));
    std::vector<std::string> seen = WatchStatus(0, {"Completed", "Stopped", "This file could not be written."});
    for (const auto& status : seen) {
        EXPECT_TRUE(status == " " || status == "Completed") << status;
    }
    ExpectFinalMessage(kFinishes);
    EXPECT_FALSE(FileExists(folder_ / "large.bin"));
}

TEST_F(FileShredderTest, StopKeepsTheFileAsItsPassesLeftItAndEndsBeforeTheNextFile) {
    WriteFileText(folder_ / "first.bin", std::string(kLargeFileBytes, 'x'));
    WriteFileText(folder_ / "second.bin", "untouched");
    Open(Options("Gutmann"));
    AddFiles(folder_.Path(), {"first.bin", "second.bin"});
    ASSERT_TRUE(app_->PressButton(shredder_, "Start Shredding"));
    int pass = WaitForPass(0, 5);
    ASSERT_GE(pass, 5) << Status(0);
    ASSERT_LE(pass, 26) << "the shredding ran on too far to check what it left";
    ASSERT_TRUE(app_->PressButton(shredder_, "Stop"));
    EXPECT_TRUE(WaitUntil([&] { return Button("Start Shredding") != nullptr; }, 5000))
        << "Stop turns back into Start Shredding at once";

    ExpectFinalMessage(kStops);
    EXPECT_EQ(Status(0), "Stopped");
    EXPECT_EQ(Status(1), " ");
    std::string content = ReadFileText(folder_ / "first.bin");
    ASSERT_EQ(content.size(), kLargeFileBytes);
    // The click lands while the pass seen runs or soon after: the file holds what that pass or
    // one of the next few wrote over all of it, and it was neither truncated nor deleted.
    bool filledByOne = false;
    for (int after = pass; after <= pass + 4; ++after) {
        std::string pattern = GutmannPattern(after);
        if (pattern.empty()) {
            continue;
        }
        std::string expected;
        while (expected.size() < content.size()) {
            expected += pattern;
        }
        expected.resize(content.size());
        filledByOne = filledByOne || content == expected;
    }
    EXPECT_TRUE(filledByOne) << "pass " << pass << "; the file starts with "
                             << static_cast<int>(static_cast<unsigned char>(content.front()));
    EXPECT_EQ(ReadFileText(folder_ / "second.bin"), "untouched");
    ExpectIdle();
}

// Large enough that its pass is still being written when a click on Stop arrives: the window
// answers messages every few milliseconds during a pass, and a pass of this file takes tens of them.
constexpr size_t kSlowFileBytes = 128 * 1024 * 1024;

class FileShredderStopTest : public FileShredderTest {
protected:
    // Shreds first.bin and second.bin, with these contents, by the DoD method.
    void StartShreddingTwo(const std::string& first, const std::string& second) {
        WriteFileText(folder_ / "first.bin", first);
        WriteFileText(folder_ / "second.bin", second);
        Open(Options("DoD"));
        AddFiles(folder_.Path(), {"first.bin", "second.bin"});
        ASSERT_TRUE(app_->PressButton(shredder_, "Start Shredding"));
    }
};

TEST_F(FileShredderStopTest, StopDuringTheLastPassStillDeletesTheFileMarksItStoppedAndEndsBeforeTheNextFile) {
    StartShreddingTwo(std::string(kSlowFileBytes, 'x'), "untouched");
    ASSERT_EQ(WaitForPass(0, 3), 3) << Status(0);
    ASSERT_TRUE(app_->PressButton(shredder_, "Stop"));

    ExpectFinalMessage(kStops);
    EXPECT_EQ(Status(0), "Stopped");
    EXPECT_FALSE(FileExists(folder_ / "first.bin")) << "the last pass was written, so the file goes";
    EXPECT_EQ(Status(1), " ");
    EXPECT_EQ(ReadFileText(folder_ / "second.bin"), "untouched");
    ExpectIdle();
}

TEST_F(FileShredderStopTest, StopOnTheLastRowKeepsThatFileAndTheEarlierRowsResults) {
    StartShreddingTwo("shredded first", std::string(kSlowFileBytes, 'x'));
    int pass = WaitForPass(1, 1);
    ASSERT_GE(pass, 1) << Status(1);
    ASSERT_LE(pass, 2) << "the shredding ran on too far to stop before the last pass";
    ASSERT_TRUE(app_->PressButton(shredder_, "Stop"));

    ExpectFinalMessage(kStops);
    EXPECT_EQ(Status(0), "Completed");
    EXPECT_FALSE(FileExists(folder_ / "first.bin"));
    EXPECT_EQ(Status(1), "Stopped");
    ASSERT_TRUE(FileExists(folder_ / "second.bin")) << "a file stopped before its last pass stays";
    EXPECT_EQ(ReadFileText(folder_ / "second.bin").size(), kSlowFileBytes);
    ExpectIdle();
}

TEST_F(FileShredderTest, AFileLockedBetweenPassesIsReportedAndTheNextFileIsStillShredded) {
    WriteFileText(folder_ / "locked.bin", std::string(kLargeFileBytes, 'x'));
    WriteFileText(folder_ / "next.bin", "next");
    Open(Options("Gutmann"));
    AddFiles(folder_.Path(), {"locked.bin", "next.bin"});
    ASSERT_TRUE(app_->PressButton(shredder_, "Start Shredding"));
    ASSERT_NE(WaitForPass(0, 3), 0) << Status(0);
    // Another program takes the file for itself in the short moment between two passes.
    std::wstring lockedPath = Widen(folder_ / "locked.bin");
    FileHandle lock;
    DWORD start = GetTickCount();
    while (!lock && GetTickCount() - start < 60000 && FileExists(folder_ / "locked.bin")) {
        lock.reset(CreateFileW(lockedPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    }
    ASSERT_TRUE(lock) << "never found the file closed between two passes";

    ExpectFinalMessage(kFinishes);
    EXPECT_EQ(Status(0), "This file could not be written.");
    EXPECT_EQ(Status(1), "Completed");
    EXPECT_FALSE(FileExists(folder_ / "next.bin"));
    lock.reset();
    EXPECT_TRUE(FileExists(folder_ / "locked.bin"));
    ExpectIdle();
}

TEST_F(FileShredderTest, ClosingTheWindowDuringAShreddingStopsItFirst) {
    WriteFileText(folder_ / "large.bin", std::string(kLargeFileBytes, 'x'));
    Open(Options("Gutmann"));
    AddFiles(folder_.Path(), {"large.bin"});
    ASSERT_TRUE(app_->PressButton(shredder_, "Start Shredding"));
    ASSERT_NE(WaitForPass(0, 2), 0) << Status(0);
    PostMessageW(shredder_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(shredder_); }, 30000)) << "the window should close once stopped";
    EXPECT_TRUE(IsWindowEnabled(app_->MainWindow()));
    EXPECT_TRUE(FileExists(folder_ / "large.bin")) << "the stopped file keeps its name";
    EXPECT_TRUE(app_->Running());
}

TEST_F(FileShredderTest, EscDuringAShreddingStopsItAndKeepsTheWindowWithItsResultsOpen) {
    WriteFileText(folder_ / "first.bin", std::string(kLargeFileBytes, 'x'));
    WriteFileText(folder_ / "second.bin", "untouched");
    Open(Options("Gutmann"));
    AddFiles(folder_.Path(), {"first.bin", "second.bin"});
    ASSERT_TRUE(app_->PressButton(shredder_, "Start Shredding"));
    ASSERT_NE(WaitForPass(0, 2), 0) << Status(0);
    BringToFront(shredder_);
    PressKey(VK_ESCAPE);
    ReleaseKey(VK_ESCAPE);

    ExpectFinalMessage(kStops);
    EXPECT_TRUE(IsWindow(shredder_)) << "Esc stops as Stop does; it does not close the window";
    EXPECT_EQ(Status(0), "Stopped");
    EXPECT_EQ(Status(1), " ");
    EXPECT_TRUE(FileExists(folder_ / "first.bin"));
    EXPECT_EQ(ReadFileText(folder_ / "second.bin"), "untouched");
    ExpectIdle();
    BringToFront(shredder_);
    PressKey(VK_ESCAPE);
    ReleaseKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(shredder_); }, 5000)) << "Esc closes the idle window";
}

// A drop from Explorer lists the files as "Select files" does, each once; a folder is left out and
// the line under the list says so. Nothing is shredded until "Start Shredding" is clicked.
TEST_F(FileShredderTest, FilesDroppedFromExplorerAreListedOnceAndOnlyTheClickShredsThem) {
    WriteFileText(folder_ / "a.txt", "a");
    WriteFileText(folder_ / "b.txt", "b");
    MakeFolders(folder_ / "sub");
    Open();
    Drop({folder_ / "a.txt", folder_ / "sub", folder_ / "b.txt"}, 2);
    EXPECT_EQ(RemoteListViewRows(list_, 2),
              (std::vector<std::vector<std::string>>{{folder_ / "a.txt", " "}, {folder_ / "b.txt", " "}}));
    EXPECT_EQ(ProgressLine(), "1 folder was not added: only files are shredded.");
    Drop({folder_ / "B.TXT"}, 2);
    EXPECT_EQ(ProgressLine(), "") << "the line speaks of the last drop only";
    EXPECT_TRUE(FileExists(folder_ / "a.txt"));
    EXPECT_TRUE(FileExists(folder_ / "b.txt"));
    ExpectIdle();

    ASSERT_TRUE(app_->PressButton(shredder_, "Start Shredding"));
    ExpectFinalMessage(kFinishes);
    EXPECT_EQ(Status(0), "Completed");
    EXPECT_EQ(Status(1), "Completed");
    EXPECT_FALSE(FileExists(folder_ / "a.txt"));
    EXPECT_FALSE(FileExists(folder_ / "b.txt"));
    EXPECT_TRUE(FolderExists(folder_ / "sub"));
}

// "Quorvale.exe /shredder <files>" (a Send To shortcut) opens the File Shredder alone with the files
// listed; it shreds them only on the click, and the program ends when the window closes.
TEST_F(FileShredderTest, TheShredderSwitchOpensTheWindowAloneWithTheFilesAndEndsWithIt) {
    WriteFileText(folder_ / "a.txt", "a");
    WriteFileText(folder_ / "b b.txt", "b");
    app_ = std::make_unique<QuorvaleApp>(Options("DoD"));
    app_->Start({"/shredder", folder_ / "a.txt", folder_ / "b b.txt"});
    shredder_ = app_->WaitWindow(L"TFrmFileShredder", kShredderCaption);
    ASSERT_NE(shredder_, nullptr);
    list_ = FindChildOfClass(shredder_, L"SysListView32");
    ASSERT_NE(list_, nullptr);
    EXPECT_EQ(RemoteListViewRows(list_, 2),
              (std::vector<std::vector<std::string>>{{folder_ / "a.txt", " "}, {folder_ / "b b.txt", " "}}));
    EXPECT_EQ(app_->FindWindowOf(L"TFrmMain", "Quorvale"), nullptr) << "the shredder comes alone";
    ASSERT_TRUE(WaitQueueHandled(shredder_));
    EXPECT_TRUE(FileExists(folder_ / "a.txt"));
    EXPECT_TRUE(FileExists(folder_ / "b b.txt"));
    ExpectIdle();

    ASSERT_TRUE(app_->PressButton(shredder_, "Start Shredding"));
    ExpectFinalMessage(kFinishes);
    EXPECT_FALSE(FileExists(folder_ / "a.txt"));
    EXPECT_FALSE(FileExists(folder_ / "b b.txt"));
    ASSERT_TRUE(app_->PressButton(shredder_, "Exit"));
    ASSERT_TRUE(app_->WaitExit());
    EXPECT_EQ(app_->ExitCode(), 0u);
}

// A large file's pass shows under the list how far it has come, and the line is cleared at the end.
TEST_F(FileShredderTest, ALargeFilesPassShowsHowFarItHasComeUnderTheList) {
    WriteFileText(folder_ / "large.bin", std::string(8 * kLargeFileBytes, 'x'));
    Open(Options("Gutmann"));
    Drop({folder_ / "large.bin"}, 1);
    ASSERT_TRUE(app_->PressButton(shredder_, "Start Shredding"));
    const std::regex progress("Pass (\\d+) of 35: (\\d+)%");
    std::smatch match;
    std::string first;
    ASSERT_TRUE(WaitUntil(
        [&] {
            first = ProgressLine();
            return std::regex_match(first, match, progress);
        },
        60000))
        << first;
    EXPECT_GE(std::stoi(match[1].str()), 1);
    EXPECT_LE(std::stoi(match[2].str()), 100);
    std::string later;
    ASSERT_TRUE(WaitUntil(
        [&] {
            later = ProgressLine();
            return later != first && std::regex_match(later, progress);
        },
        60000))
        << "the line never moved on from " << first;
    ExpectFinalMessage(kFinishes);
    EXPECT_EQ(ProgressLine(), "");
    EXPECT_FALSE(FileExists(folder_ / "large.bin"));
}

} // namespace
