// The drive washer, driven through the real Quorvale.exe. Only the scratch drives of
// scripts/lib/test-drives.sh are ever checked for a wash (Q: to fill, R: read-only, P: without a
// disk); the tests skip when those drives are not mapped.
#include "app/MainForm.h"
#include "driver/QuorvaleDriver.h"
#include "tools/DriveWasherForm.h"

#include "platform/WindowText.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "support/Scratch.h"
#include "support/TestDrives.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <regex>
#include <set>

namespace {

constexpr const char* kWasherCaption = " Drive Washer";
constexpr const char* kQuestion = "Do you really want to stop cleaning drives?";
constexpr const char* kCleaned = "The free space of the selected drives was cleaned successfully.";
constexpr const char* kStops = "The process of cleaning drives stops.";
constexpr int64_t kBlock = 512000;
constexpr const char* kPolicyKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr const wchar_t* kPolicyValue = L"NoLowDiskSpaceChecks";

// The list's size format, written out here as the user reads it.
std::string SizeText(int64_t bytes) {
    wchar_t separator[8] = L".";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
    auto scaled = [&](double value, const char* unit) {
        char digits[64];
        // Rounded half up, not to even as printf alone would.
        std::snprintf(digits, sizeof digits, "%.2f", std::floor(value * 100 + 0.5) / 100);
        std::string text = digits;
        text.replace(text.find('.'), 1, Narrow(separator));
        return text + unit;
    };
    if (bytes == 0) {
        return "0 Byte";
    }
    if (bytes < 1024) {
        return std::to_string(bytes) + " Bytes";
    }
    if (bytes < 1048576) {
        return scaled(bytes / 1024.0, " KB");
    }
    if (bytes < 1073741824) {
        return scaled(bytes / 1048576.0, " MB");
    }
    return scaled(bytes / 1073741824.0, " GB");
}

std::string FillFile(int number) { return "Q:\\TmpErase.file" + std::to_string(number); }

std::set<std::string> FillFilesOnQ() {
    std::set<std::string> names;
    for (const auto& entry : ListFolder("Q:\\TmpErase.file*")) {
        names.insert(entry.name);
    }
    return names;
}

// The low-disk-space warning setting of this prefix, set to 0 for the test (the key made when
// missing) and put back as it was afterwards.
class LowDiskSetting {
public:
    LowDiskSetting() {
        HKEY key = nullptr;
        keyExisted_ = RegOpenKeyExW(HKEY_CURRENT_USER, Widen(kPolicyKey).c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (keyExisted_) {
            DWORD value = 0, size = sizeof value;
            if (RegQueryValueExW(key, kPolicyValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) ==
                ERROR_SUCCESS) {
                before_ = value;
            }
            RegCloseKey(key);
        }
        Set(0);
    }
    ~LowDiskSetting() {
        if (before_) {
            Set(*before_);
        } else if (keyExisted_) {
            HKEY key = nullptr;
            if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(kPolicyKey).c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
                RegDeleteValueW(key, kPolicyValue);
                RegCloseKey(key);
            }
        } else {
            RegDeleteKeyW(HKEY_CURRENT_USER, Widen(kPolicyKey).c_str());
        }
    }
    std::optional<DWORD> Value() const {
        DWORD value = 0, size = sizeof value;
        if (RegGetValueW(HKEY_CURRENT_USER, Widen(kPolicyKey).c_str(), kPolicyValue, RRF_RT_REG_DWORD, nullptr, &value,
                         &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        return value;
    }

private:
    static void Set(DWORD value) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, Widen(kPolicyKey).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                            nullptr) == ERROR_SUCCESS) {
            RegSetValueExW(key, kPolicyValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
            RegCloseKey(key);
        }
    }
    bool keyExisted_ = false;
    std::optional<DWORD> before_;
};

// A file that another program keeps open for reading: it may be overwritten, but not deleted.
class HeldFile {
public:
    HeldFile(const std::string& path, std::string_view content) : path_(path) {
        WriteFileText(path, content);
        handle_.reset(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    }
    ~HeldFile() {
        handle_.reset();
        DeleteFileAt(path_);
    }
    bool Held() const { return static_cast<bool>(handle_); }
    int64_t Size() const {
        LARGE_INTEGER size{};
        GetFileSizeEx(handle_.get(), &size);
        return size.QuadPart;
    }
    std::string Read(size_t count) const {
        SetFilePointer(handle_.get(), 0, nullptr, FILE_BEGIN);
        std::string bytes(count, '\0');
        DWORD got = 0;
        ReadFile(handle_.get(), bytes.data(), static_cast<DWORD>(count), &got, nullptr);
        bytes.resize(got);
        return bytes;
    }

private:
    std::string path_;
    FileHandle handle_;
};

class DriveWasherTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string missing = WritableTestDriveMissing();
        if (!missing.empty()) {
            GTEST_SKIP() << missing;
        }
        RemoveFillFilesOnQ(); // a failed test before this one may have left some
    }
    void TearDown() override {
        app_.reset();
        RemoveFillFilesOnQ();
    }
    static void RemoveFillFilesOnQ() {
        for (const auto& name : FillFilesOnQ()) {
            DeleteFileAt("Q:\\" + name);
            RemoveFolder("Q:\\" + name);
        }
    }

    void Open() {
        app_ = std::make_unique<QuorvaleApp>();
        app_->Start();
        ASSERT_NE(app_->WaitMainWindow(), nullptr);
        ASSERT_TRUE(app_->PressButton("Drive Washer"));
        washer_ = app_->WaitWindow(L"TFrmDriveWasher", kWasherCaption);
        ASSERT_NE(washer_, nullptr);
        list_ = FindChildOfClass(washer_, L"SysListView32");
        bar_ = FindChildOfClass(washer_, L"msctls_progress32");
        cleanButton_ = FindChildWithText(washer_, "Start Cleaning");
        cancelButton_ = FindChildWithText(washer_, "Cancel");
        ASSERT_NE(list_, nullptr);
        ASSERT_NE(bar_, nullptr);
        ASSERT_NE(cleanButton_, nullptr);
        ASSERT_NE(cancelButton_, nullptr);
    }

    int RowOf(char letter) const {
        std::string ending = std::string("(") + letter + ":)";
        int count = RemoteListViewRowCount(list_);
        for (int row = 0; row < count; ++row) {
            std::string caption = RemoteListViewCell(list_, row, 0);
            if (caption.size() >= ending.size() &&
                caption.compare(caption.size() - ending.size(), ending.size(), ending) == 0) {
                return row;
            }
        }
        return -1;
    }

    // Checks exactly these drives, and makes sure no other row is checked.
    void CheckOnly(const std::set<char>& letters) {
        for (char letter : letters) {
            int row = RowOf(letter);
            ASSERT_GE(row, 0) << letter;
            RemoteListViewSetChecked(list_, row, true);
        }
        int count = RemoteListViewRowCount(list_);
        for (int row = 0; row < count; ++row) {
            char letter = RemoteListViewCell(list_, row, 0).end()[-3];
            ASSERT_EQ(RemoteListViewChecked(list_, row), letters.count(letter) == 1) << letter;
        }
    }

    void Click() const { PostMessageW(cleanButton_, BM_CLICK, 0, 0); }

    // Waits for a message box, checks its text, answers it and waits for it to go.
    void Answer(const char* caption, const char* text, int button = IDOK, DWORD timeoutMs = 60000) {
        HWND box = app_->WaitMessageBox(caption, timeoutMs);
        ASSERT_NE(box, nullptr) << "no \"" << caption << "\" box";
        EXPECT_EQ(QuorvaleApp::MessageBoxText(box), text);
        QuorvaleApp::AnswerMessageBox(box, button);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
    }

    void ExpectIdle() const {
        EXPECT_TRUE(WaitUntil([&] { return RemoteWindowText(cleanButton_) == "Start Cleaning"; }, 5000));
        EXPECT_TRUE(IsWindowEnabled(cancelButton_));
        EXPECT_FALSE(IsWindowVisible(bar_));
        HWND driveLabel = FindChildWithText(washer_, "Cleaning the free space of Q:\\");
        EXPECT_TRUE(driveLabel == nullptr || !IsWindowVisible(driveLabel)) << "the drive label must be hidden";
    }

    std::unique_ptr<QuorvaleApp> app_;
    HWND washer_ = nullptr;
    HWND list_ = nullptr;
    HWND bar_ = nullptr;
    HWND cleanButton_ = nullptr;
    HWND cancelButton_ = nullptr;
};

TEST_F(DriveWasherTest, ListsEveryDriveWithItsLabelAndSizesAndCancelCloses) {
    Open();
    EXPECT_FALSE(IsWindowEnabled(app_->MainWindow()));
    EXPECT_NE(FindChildWithText(washer_,
                                "You can clean the free space of your disk to remove any remnants from deleted files. "
                                "Free space on your drive may contain the files you have deleted, therefore  you "
                                "should clean it to protect your privacy. Please select the drives you want to clean "
                                "free space."),
              nullptr);
    RECT client;
    GetClientRect(washer_, &client);
    EXPECT_EQ(client.right, MulDiv(490, ScreenDpi(), 96));
    EXPECT_EQ(client.bottom, MulDiv(342, ScreenDpi(), 96));
    auto columns = RemoteListViewColumns(list_);
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[0], std::make_pair(std::string("Drives"), MulDiv(158, ScreenDpi(), 96)));
    EXPECT_EQ(columns[1], std::make_pair(std::string("Free Space"), MulDiv(158, ScreenDpi(), 96)));
    EXPECT_EQ(columns[2], std::make_pair(std::string("Total Space"), MulDiv(155, ScreenDpi(), 96)));

    // One row per letter of the drive mask, in letter order, none checked.
    std::vector<char> letters;
    for (int bit = 0; bit < 26; ++bit) {
        if (GetLogicalDrives() & (1u << bit)) {
            letters.push_back(static_cast<char>('A' + bit));
        }
    }
    auto rows = RemoteListViewRows(list_, 3);
    ASSERT_EQ(rows.size(), letters.size());
    for (size_t row = 0; row < rows.size(); ++row) {
        EXPECT_EQ(rows[row][0].end()[-3], letters[row]) << rows[row][0];
        EXPECT_FALSE(RemoteListViewChecked(list_, static_cast<int>(row)));
    }

    // Q: has no label: its caption begins with a blank. Sizes in the list's own format.
    int q = RowOf('Q');
    ASSERT_GE(q, 0);
    EXPECT_EQ(rows[q][0], " (Q:)");
    EXPECT_EQ(rows[q][1], SizeText(TestDriveFreeBytes('Q')));
    EXPECT_EQ(rows[q][2], SizeText(48 * 1048576)); // "48.00 MB"
    if (ReadOnlyTestDriveMissing().empty()) {
        int r = RowOf('R');
        EXPECT_EQ(rows[r][0], "Protected (R:)") << "the label is shown without its surrounding blanks";
        EXPECT_EQ(rows[r][2], SizeText(1048576));
    }
    if (NoDiskTestDriveMissing().empty()) {
        int p = RowOf('P');
        EXPECT_EQ(rows[p][1], "0 Byte") << "sizes that cannot be read count as 0";
        EXPECT_EQ(rows[p][2], "0 Byte");
    }
    ExpectIdle();

    PostMessageW(cancelButton_, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(washer_); }, 5000));
    EXPECT_TRUE(IsWindowEnabled(app_->MainWindow()));
    EXPECT_TRUE(WaitUntil(
        [&] { return FocusedControlOf(app_->MainWindow()) == app_->MainControl(TFrmMain::IDC_MEMINFO); }, 5000));
}

TEST_F(DriveWasherTest, WithNoDriveCheckedItOnlyAsksForDrives) {
    Open();
    Click();
    Answer("Error", "Please Select the drives you want to clean firstly.");
    ExpectIdle();
}

// Q: comes first in the list; it is checked together with a drive that must be refused, and its
// first fill file is kept open by another program, so a wash of Q: would have overwritten it.
TEST_F(DriveWasherTest, ADriveThatCannotBeWashedIsRefusedBeforeAnythingIsWritten) {
    struct Case {
        char drive;
        std::string (*missing)();
        const char* message;
    };
    const Case cases[] = {
        {kReadOnlyTestDrive, ReadOnlyTestDriveMissing, "Drive R: is read-only or write-protected."},
        {kNoDiskTestDrive, NoDiskTestDriveMissing, "There is no disk in drive P: ."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        if (!c.missing().empty()) {
            std::printf("skipped: %s\n", c.missing().c_str());
            continue;
        }
        LowDiskSetting setting;
        HeldFile firstFill(FillFile(1), "untouched");
        ASSERT_TRUE(firstFill.Held());
        Open();
        CheckOnly({'Q', c.drive});
        Click();
        Answer("Error", c.message);
        EXPECT_EQ(firstFill.Read(100), "untouched");
        EXPECT_EQ(FillFilesOnQ(), std::set<std::string>{"TmpErase.file1"});
        EXPECT_EQ(setting.Value(), 0u);
        ExpectIdle();
        app_.reset();
    }
}

TEST_F(DriveWasherTest, AWashFillsTheFreeSpaceToTheDrivesEndWithRandomBytesAndRestoresTheWarning) {
    LowDiskSetting setting;
    // Another program keeps Q:'s first fill file open, so it cannot be deleted after the wash and
    // shows what was written: the whole free space.
    HeldFile firstFill(FillFile(1), "old content");
    ASSERT_TRUE(firstFill.Held());
    Open();
    int64_t freeAtStart = TestDriveFreeBytes('Q');
    ASSERT_GT(freeAtStart, 4 * kBlock);
    CheckOnly({'Q'});
    Click();

    HWND box = app_->WaitMessageBox("Congratulations", 60000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(QuorvaleApp::MessageBoxText(box), kCleaned);
    EXPECT_EQ(RemoteProgressPosition(bar_), 100) << "the bar shows 100 when a drive is done";
    QuorvaleApp::AnswerMessageBox(box);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
    ExpectIdle();

    EXPECT_GE(firstFill.Size(), freeAtStart) << "the fill stopped before the drive was full";
    EXPECT_LT(TestDriveFreeBytes('Q'), kBlock);
    std::string block = firstFill.Read(static_cast<size_t>(kBlock));
    ASSERT_EQ(block.size(), static_cast<size_t>(kBlock));
    std::set<char> values(block.begin(), block.end());
    EXPECT_EQ(values.size(), 256u) << "the fill should be random bytes, not zeros or a pattern";
    EXPECT_EQ(setting.Value(), 0u) << "the warning setting is restored";
}

// Starts a wash of Q: and asks to stop at once; the question comes after the second block of
// the first fill file (or, should the click come late, at the next look at the messages a few
// tens of milliseconds on), while the wash waits for the answer.
class DriveWasherStopTest : public DriveWasherTest {
protected:
    void StartAndAskToStop() {
        Open();
        freeBefore_ = TestDriveFreeBytes('Q');
        CheckOnly({'Q'});
        Click();
        Click(); // by now the button reads "Stop Cleaning"
        question_ = app_->WaitMessageBox("Stop Cleaning drives", 30000);
        ASSERT_NE(question_, nullptr);
        EXPECT_EQ(QuorvaleApp::MessageBoxText(question_), kQuestion);

        // Mid-wash, as the user sees it.
        EXPECT_EQ(RemoteWindowText(cleanButton_), "Stop Cleaning");
        EXPECT_FALSE(IsWindowEnabled(cancelButton_));
        HWND driveLabel = FindChildWithText(washer_, "Cleaning the free space of Q:\\");
        EXPECT_TRUE(driveLabel != nullptr && IsWindowVisible(driveLabel));
        EXPECT_TRUE(IsWindowVisible(bar_));
        int position = RemoteProgressPosition(bar_);
        EXPECT_GT(position, 0);
        EXPECT_LT(position, 99);
        EXPECT_EQ(setting_.Value(), 1u) << "the low-disk-space warning is silenced during the wash";
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ASSERT_TRUE(GetFileAttributesExW(Widen(FillFile(1)).c_str(), GetFileExInfoStandard, &data));
        int64_t size = (int64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
        EXPECT_GE(size, 2 * kBlock);
        EXPECT_EQ(size % kBlock, 0);
    }

    void ExpectCleanedUp() {
        EXPECT_TRUE(FillFilesOnQ().empty());
        EXPECT_EQ(TestDriveFreeBytes('Q'), freeBefore_);
        EXPECT_EQ(setting_.Value(), 0u);
    }

    LowDiskSetting setting_;
    HWND question_ = nullptr;
    int64_t freeBefore_ = 0;
};

TEST_F(DriveWasherStopTest, StopAnsweredNoLetsTheWashFinish) {
    StartAndAskToStop();
    QuorvaleApp::AnswerMessageBox(question_, IDNO);
    HWND box = app_->WaitMessageBox("Congratulations", 60000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(QuorvaleApp::MessageBoxText(box), kCleaned);
    EXPECT_EQ(RemoteProgressPosition(bar_), 100);
    QuorvaleApp::AnswerMessageBox(box);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
    ExpectIdle();
    ExpectCleanedUp();
}

TEST_F(DriveWasherStopTest, StopAnsweredYesEndsTheWashAndDeletesTheFillFiles) {
    StartAndAskToStop();
    QuorvaleApp::AnswerMessageBox(question_, IDYES);
    HWND box = app_->WaitMessageBox("Information", 60000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(QuorvaleApp::MessageBoxText(box), kStops);
    EXPECT_LT(RemoteProgressPosition(bar_), 99) << "a stopped drive never shows 100";
    QuorvaleApp::AnswerMessageBox(box);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
    ExpectIdle();
    ExpectCleanedUp();
}

TEST_F(DriveWasherStopTest, ClosingTheWindowDuringAWashAsksAndClosesOnceCleanedUp) {
    Open();
    freeBefore_ = TestDriveFreeBytes('Q');
    CheckOnly({'Q'});
    Click();
    PostMessageW(washer_, WM_CLOSE, 0, 0);
    Answer("Stop Cleaning drives", kQuestion, IDYES, 30000);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(washer_); }, 30000));
    EXPECT_TRUE(IsWindowEnabled(app_->MainWindow()));
    EXPECT_EQ(app_->FindWindowOf(L"#32770", "Information"), nullptr);
    ExpectCleanedUp();
}

TEST_F(DriveWasherTest, FillFilesLeftByAWashThatNeverEndedAreDeletedWhenTheWindowOpens) {
    for (int number : {1, 3, 12}) {
        WriteFileText(FillFile(number), std::string(1024 * 1024, 'f'));
    }
    WriteFileText("Q:\\TmpErase.file-notes.txt", "not a fill file");
    ASSERT_TRUE(CreateFolder("Q:\\TmpErase.file7"));
    Open();
    EXPECT_EQ(FillFilesOnQ(), (std::set<std::string>{"TmpErase.file-notes.txt", "TmpErase.file7"}));
    EXPECT_EQ(RemoteListViewCell(list_, RowOf('Q'), 1), SizeText(TestDriveFreeBytes('Q')))
        << "the list shows the space the leftovers held as free";
}

// The speed and the time left beside the bar: blank until a first stretch of the wash has been
// measured, then a speed and a time left that move on as the wash goes, blank again at its end.
// Each reading is taken while a Stop question (answered No) holds the wash, so the wash stands
// still while it is read, and the washer itself tells when the wash is over.
TEST_F(DriveWasherTest, TheSpeedAndTimeLeftBesideTheBarAreBlankUntilMeasuredThenMoveOn) {
    const std::string missing = LongWashTestDriveMissing();
    if (!missing.empty()) {
        GTEST_SKIP() << missing;
    }
    // Whatever ends the test, no fill file is left holding the drive's memory.
    struct WashedDrive {
        ~WashedDrive() {
            for (const auto& entry : ListFolder("W:\\TmpErase.file*")) {
                DeleteFileAt("W:\\" + entry.name);
            }
        }
    } washed;
    Open();
    CheckOnly({'W'});
    const HWND rate = GetDlgItem(washer_, TFrmDriveWasher::IDC_WASH_RATE);
    const HWND left = GetDlgItem(washer_, TFrmDriveWasher::IDC_WASH_TIMELEFT);
    ASSERT_NE(rate, nullptr);
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(RemoteWindowText(rate) + RemoteWindowText(left), "");
    Click();
    Click(); // Stop, asked at once: the first question comes after the second block
    std::vector<std::pair<std::string, std::string>> readings;
    HWND done = nullptr;
    while (!done) {
        HWND question = nullptr;
        ASSERT_TRUE(WaitUntil(
            [&] {
                question = app_->FindWindowOf(L"#32770", "Stop Cleaning drives");
                done = app_->FindWindowOf(L"#32770", "Congratulations");
                return question || done;
            },
            60000));
        if (question) {
            readings.emplace_back(RemoteWindowText(rate), RemoteWindowText(left));
            QuorvaleApp::AnswerMessageBox(question, IDNO);
            ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question); }, 5000));
        }
        if (!done) {
            Click();
        }
    }
    // A Stop posted as the wash ended is asked on top of the last box: answered first.
    ASSERT_TRUE(WaitQueueHandled(washer_));
    if (HWND late = app_->FindWindowOf(L"#32770", "Stop Cleaning drives")) {
        QuorvaleApp::AnswerMessageBox(late, IDNO);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(late); }, 5000));
    }
    Answer("Congratulations", kCleaned);
    ExpectIdle();
    EXPECT_EQ(RemoteWindowText(rate) + RemoteWindowText(left), "") << "blank again after the wash";

    ASSERT_GE(readings.size(), 2u);
    EXPECT_EQ(readings.front(), std::make_pair(std::string(), std::string())) << "nothing is known after two blocks";
    const std::regex speed("\\d+(\\.\\d)? (KB|MB|GB)/s");
    const std::regex time("About (\\d+ h )?(\\d+ min ?)?(\\d+ s )?left");
    std::set<std::pair<std::string, std::string>> measured;
    for (const auto& [rateText, leftText] : readings) {
        if (rateText.empty()) {
            EXPECT_TRUE(leftText.empty()) << leftText;
            continue;
        }
        EXPECT_TRUE(std::regex_match(rateText, speed)) << rateText;
        EXPECT_TRUE(std::regex_match(leftText, time)) << leftText;
        EXPECT_GT(std::atof(rateText.c_str()), 0.0) << rateText;
        measured.insert({rateText, leftText});
    }
    EXPECT_GE(measured.size(), 2u) << "the speed and the time left should move on during the wash: "
                                   << ::testing::PrintToString(readings);
}

} // namespace
