// Not tests: what bench/program.sh times, through the real program as a user meets it, from the
// click that starts the work to the message box that ends it. Each prints "seconds <time>".
//   ProgramBench.TempItem  the Erase button with only the temp-folder item on; the temp folder is
//                          QV_BENCH_TEMP (a Windows path), the method QV_BENCH_METHOD (DoD); also
//                          prints "peak-memory-mb <size>", the most memory the program held.
//   ProgramBench.Shredder  the File Shredder on the one file QV_BENCH_FILE.
//   ProgramBench.Washer    the Drive Washer on drive QV_BENCH_DRIVE (a letter).
//   ProgramBench.Preview   the Preview window of the erase-items dialog with only the IE cache item
//                          on, from the click on "Preview ..." to the totals under the full list;
//                          also prints the longest the window took to answer a message meanwhile,
//                          and the time WinINet alone takes to walk the same cache.
#include "engine/EraseRun.h"
#include "driver/ItemOptions.h"
#include "driver/QuorvaleDriver.h"
#include "platform/Files.h"
#include "platform/UrlCache.h"
#include "settings/PreviewForm.h"
#include "support/TestDrives.h"
#include "tools/DriveWasherForm.h"
#include "tools/FileShredderForm.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Setting(const char* name, const char* fallback = "") {
    const char* value = std::getenv(name);
    return value && value[0] ? value : fallback;
}

class Stopwatch {
public:
    Stopwatch() {
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&start_);
    }
    double Seconds() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency_.QuadPart);
    }

private:
    LARGE_INTEGER frequency_, start_;
};

// Clicks the button and times the work up to the message box with that caption. Each look for the
// box asks the Wine server, which the program needs for every file it opens, so the looks grow
// rarer as the work goes on: about 200 of them in all, enough to time it to half a percent without
// slowing it. Answers the box.
void TimeToBox(QuorvaleApp& app, HWND window, const char* button, const char* boxCaption) {
    HWND control = FindChildWithText(window, button);
    ASSERT_NE(control, nullptr) << button;
    Stopwatch watch;
    PostMessageW(control, BM_CLICK, 0, 0);
    HWND box = nullptr;
    while (!(box = app.FindWindowOf(L"#32770", boxCaption)) && watch.Seconds() < 3600) {
        Sleep(std::clamp(static_cast<DWORD>(watch.Seconds() * 5), DWORD{2}, DWORD{200}));
    }
    double seconds = watch.Seconds();
    ASSERT_NE(box, nullptr) << "no " << boxCaption << " box";
    std::printf("seconds %.3f\n", seconds);
    std::printf("box %s\n", QuorvaleApp::MessageBoxText(box).c_str());
    QuorvaleApp::AnswerMessageBox(box);
}

// The most memory (working set) the program has held since it started.
void PrintPeakMemory(const QuorvaleApp& app) {
    KernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, app.ProcessId()));
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ASSERT_TRUE(process && GetProcessMemoryInfo(process.get(), &counters, sizeof counters)) << GetLastError();
    std::printf("peak-memory-mb %.1f\n", static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0));
}

TEST(ProgramBench, TempItem) {
    std::string temp = Setting("QV_BENCH_TEMP");
    ASSERT_FALSE(temp.empty()) << "QV_BENCH_TEMP names the temp folder to erase";
    QuorvaleApp app(
        OptionsWithOnly({{"Windows", "TempFolder"}}, "SecurityLevel=" + Setting("QV_BENCH_METHOD", "DoD") + "\r\n"));
    app.SetEnvironment("TMP", temp);
    app.SetEnvironment("TEMP", temp);
    app.Start();
    ASSERT_NE(app.WaitMainWindow(), nullptr);
    TimeToBox(app, app.MainWindow(), "Erase", "Information");
    PrintPeakMemory(app);
    std::vector<std::string> lines = app.LogLines();
    std::printf("log-lines %zu\n", lines.size());
    // A run that left the files timed nothing worth comparing: say why, from its log.
    EXPECT_TRUE(ListFolder(temp + "\\*.*").empty()) << "the temp folder was not erased:\n"
                                                    << ::testing::PrintToString(lines);
    EXPECT_TRUE(app.Close());
}

TEST(ProgramBench, Shredder) {
    std::string file = Setting("QV_BENCH_FILE");
    ASSERT_FALSE(file.empty()) << "QV_BENCH_FILE names the file to shred";
    QuorvaleApp app("[Miscellaneous]\r\nSecurityLevel=" + Setting("QV_BENCH_METHOD", "DoD") + "\r\n");
    app.Start();
    ASSERT_NE(app.WaitMainWindow(), nullptr);
    ASSERT_TRUE(app.PressButton("File Shredder"));
    HWND shredder = app.WaitWindow(kFileShredderClass, kFileShredderCaption);
    ASSERT_NE(shredder, nullptr);
    ASSERT_TRUE(app.PressButton(shredder, "Select files"));
    HWND dialog = app.WaitWindow(L"#32770", "Choose files to be shredded");
    ASSERT_NE(dialog, nullptr);
    size_t slash = file.find_last_of('\\');
    ASSERT_TRUE(ChooseInOpenDialog(dialog, file.substr(0, slash), {file.substr(slash + 1)}));
    HWND list = FindChildOfClass(shredder, L"SysListView32");
    ASSERT_TRUE(WaitUntil([&] { return RemoteListViewRowCount(list) == 1; }, 10000));
    TimeToBox(app, shredder, "Start Shredding", "Information");
    EXPECT_FALSE(FileExists(file)) << "the file was not shredded";
}

TEST(ProgramBench, Washer) {
    std::string drive = Setting("QV_BENCH_DRIVE");
    ASSERT_FALSE(drive.empty()) << "QV_BENCH_DRIVE names the drive to wash";
    char letter = drive[0];
    QuorvaleApp app;
    app.Start();
    ASSERT_NE(app.WaitMainWindow(), nullptr);
    ASSERT_TRUE(app.PressButton("Drive Washer"));
    HWND washer = app.WaitWindow(kDriveWasherClass, kDriveWasherCaption);
    ASSERT_NE(washer, nullptr);
    HWND list = FindChildOfClass(washer, L"SysListView32");
    int checked = 0;
    for (int row = 0; row < RemoteListViewRowCount(list); ++row) {
        std::string caption = RemoteListViewCell(list, row, 0);
        if (caption.size() >= 3 && caption.end()[-3] == letter) {
            RemoteListViewSetChecked(list, row, true);
            ++checked;
        }
    }
    ASSERT_EQ(checked, 1);
    int64_t freeBytes = TestDriveFreeBytes(letter);
    TimeToBox(app, washer, "Start Cleaning", "Congratulations");
    EXPECT_EQ(TestDriveFreeBytes(letter), freeBytes) << "the fill files were not all deleted";
}

TEST(ProgramBench, Preview) {
    int64_t entries = 0;
    Stopwatch walk;
    WalkUrlCache([&entries](const UrlCacheEntry&) { return ++entries > 0; });
    std::printf("walk-seconds %.3f\n", walk.Seconds());
    std::printf("entries %lld\n", static_cast<long long>(entries));
    QuorvaleApp app(OptionsWithOnly({{"IE", "Cache"}}));
    app.Start();
    ASSERT_NE(app.WaitMainWindow(), nullptr);
    ASSERT_TRUE(app.PressButton("Options"));
    HWND options = app.WaitWindow(L"TFrmOptions", "Options");
    ASSERT_NE(options, nullptr);
    HWND button = FindChildWithText(options, "Preview ...");
    ASSERT_NE(button, nullptr);
    Stopwatch watch;
    PostMessageW(button, BM_CLICK, 0, 0);
    HWND preview = app.WaitWindow(kPreviewClass, kPreviewCaption, 60000);
    ASSERT_NE(preview, nullptr);
    HWND totals = GetDlgItem(preview, TFrmPreview::IDC_LBL_PREVIEWTOTALS);
    double longestAnswer = 0;
    std::string text;
    while (text.empty() && watch.Seconds() < 3600) {
        Sleep(50);
        Stopwatch answer;
        text = RemoteWindowText(totals); // a message the window's thread must answer
        longestAnswer = std::max(longestAnswer, answer.Seconds());
    }
    const double seconds = watch.Seconds();
    ASSERT_FALSE(text.empty()) << "the preview did not end";
    std::printf("seconds %.3f\n", seconds);
    std::printf("longest-answer %.3f\n", longestAnswer);
    std::printf("rows %d\n", RemoteListViewRowCount(GetDlgItem(preview, TFrmPreview::IDC_LVW_PREVIEW)));
    std::printf("totals %s\n", text.c_str());
}

} // namespace
