// F1 in each window of the real Quorvale.exe opens that window's page of help.chm in the HTML Help
// viewer: the viewer's process is asked for the page, and its window comes up.
#include "DialogTestSupport.h"
#include "driver/WindowTour.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "settings/KeepListForm.h"
#include "settings/OptionsForm.h"
#include "settings/PreviewForm.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <map>
#include <set>

namespace {

std::set<DWORD> HelpViewers() {
    std::set<DWORD> found;
    KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (lstrcmpiW(entry.szExeFile, L"hh.exe") == 0) {
            found.insert(entry.th32ProcessID);
        }
    }
    return found;
}

// The command line another (64-bit) process was started with, read from its process block.
std::string CommandLineOf(DWORD processId) {
    using QueryProcess = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    KernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    PROCESS_BASIC_INFORMATION basic{};
    if (!query || !process || query(process.get(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) {
        return {};
    }
    auto read = [&](const void* at, void* into, size_t size) {
        SIZE_T got = 0;
        return ReadProcessMemory(process.get(), at, into, size, &got) && got == size;
    };
    PEB peb{};
    RTL_USER_PROCESS_PARAMETERS parameters{};
    if (!read(basic.PebBaseAddress, &peb, sizeof peb) || !read(peb.ProcessParameters, &parameters, sizeof parameters)) {
        return {};
    }
    std::wstring text(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
    if (!read(parameters.CommandLine.Buffer, text.data(), parameters.CommandLine.Length)) {
        return {};
    }
    return Narrow(text);
}

HWND HelpWindowOf(DWORD processId) {
    for (HWND window : TopLevelWindowsOf(processId)) {
        if (WindowClassName(window) == "HH Parent") {
            return window;
        }
    }
    return nullptr;
}

class HelpKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        before_ = HelpViewers();
        // The help file of the build, beside the copy of the program.
        const char* exe = std::getenv("QUORVALE_EXE");
        ASSERT_NE(exe, nullptr);
        ASSERT_TRUE(CopyFileW(Widen(JoinPath(FolderOf(WindowsPathOf(exe)), "help.chm")).c_str(),
                              Widen(JoinPath(app_.Folder(), "help.chm")).c_str(), FALSE));
        app_.Start();
        ASSERT_NE(app_.WaitMainWindow(), nullptr);
    }
    // Ends the viewers this test opened, and only those.
    void TearDown() override {
        for (DWORD id : HelpViewers()) {
            if (!before_.count(id)) {
                KernelHandle viewer(OpenProcess(PROCESS_TERMINATE, FALSE, id));
                if (viewer) {
                    TerminateProcess(viewer.get(), 0);
                }
            }
        }
    }

    // Presses F1 in the window and waits for a viewer, new to this test, that was asked for the page
    // and shows its window.
    void ExpectF1Opens(HWND window, const std::string& page) {
        SCOPED_TRACE(page);
        std::set<DWORD> known = HelpViewers();
        HWND focus = FocusedControlOf(window);
        PostMessageW(focus ? focus : window, WM_KEYDOWN, VK_F1, 1);
        DWORD viewer = 0;
        ASSERT_TRUE(WaitUntil(
            [&] {
                for (DWORD id : HelpViewers()) {
                    if (!known.count(id)) {
                        viewer = id;
                        return true;
                    }
                }
                return false;
            },
            15000))
            << "no help viewer started";
        const std::string expected = "\"" + JoinPath(app_.Folder(), "help.chm") + "::/" + page + "\"";
        std::string commandLine = CommandLineOf(viewer);
        EXPECT_NE(commandLine.find(expected), std::string::npos) << commandLine << " wanted " << expected;
        EXPECT_TRUE(WaitUntil([&] { return HelpWindowOf(viewer) != nullptr; }, 15000)) << "no help window";
        KernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, viewer));
        if (process) {
            TerminateProcess(process.get(), 0);
            WaitForSingleObject(process.get(), 10000);
        }
    }

    QuorvaleApp app_{kTourOptionsIni};
    std::set<DWORD> before_;
};

// Every window the window tour opens, each once, and the two it does not: a window added to the
// tour without a page here fails.
TEST_F(HelpKeyTest, F1OpensThePageOfEveryWindowItIsPressedIn) {
    const std::map<std::string, std::string> pages = {
        {"TFrmMain", "main_window.htm"},
        {"TFrmOptions", "options_dialog.htm"},
        {"TFrmPreview", "options_dialog.htm#preview"},
        {"TFrmNeverErase", "keep_lists.htm"},
        {"TFrmIECookies", "keep_lists.htm"},
        {"TFrmIEAddressBarHistory", "keep_lists.htm"},
        {"TFrmCookieSites", "keep_lists.htm"},
        {"TFrmMiscellaneous", "miscellaneous.htm"},
        {"TFrmBosskeyOption", "boss_key_option.htm"},
        {"TFrmShutdownOptions", "shutdown_options.htm"},
        {"TFrmFileShredder", "file_shredder.htm"},
        {"TFrmDriveWasher", "drive_washer.htm"},
        {"TFrmAbout", "about.htm"},
    };
    std::set<HWND> pressed;
    std::set<std::string> classes;
    std::string why;
    bool toured = TourWindows(
        app_, 96, false,
        [&](const TourStop& stop) {
            if (pressed.count(stop.window)) {
                return; // another page of a window already asked
            }
            pressed.insert(stop.window);
            const std::string className = WindowClassName(stop.window);
            classes.insert(className);
            auto page = pages.find(className);
            if (page == pages.end()) {
                ADD_FAILURE() << "no help page known for " << className << " (" << stop.name << ")";
                return;
            }
            ExpectF1Opens(stop.window, page->second);
        },
        why);
    ASSERT_TRUE(toured) << why;
    // The two windows the tour leaves out.
    HWND options = OpenWindowFrom(app_, app_.MainWindow(), "Options", kOptionsClass, "Options");
    ASSERT_NE(options, nullptr);
    TurnToPage(ControlOf(options, TFrmOptions::IDC_PGC_BROWSER), 4);
    HWND sites = OpenWindowByClick(app_, ControlOf(options, TFrmOptions::IDC_BTN_CHROMIUMSITES), kCookieSitesClass,
                                   "Sites Whose Cookies Are Kept");
    ASSERT_NE(sites, nullptr);
    ExpectF1Opens(sites, pages.at("TFrmCookieSites"));
    classes.insert(WindowClassName(sites));
    ASSERT_TRUE(CloseWith(app_, sites, "Cancel"));
    HWND preview =
        OpenWindowByClick(app_, ControlOf(options, TFrmOptions::IDC_BTN_PREVIEW), kPreviewClass, kPreviewCaption);
    ASSERT_NE(preview, nullptr);
    ExpectF1Opens(preview, pages.at("TFrmPreview"));
    classes.insert(WindowClassName(preview));
    EXPECT_EQ(classes.size(), pages.size()) << "a window of the list was not visited";
}

} // namespace
