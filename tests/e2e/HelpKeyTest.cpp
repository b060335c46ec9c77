// F1 in each window of the real Quorvale.exe opens that window's page of help.chm in the HTML Help
// viewer: the viewer's process is asked for the page, and its window comes up.
#include "DialogTestSupport.h"
#include "about/AboutForm.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "settings/NeverEraseForm.h"
#include "settings/OptionsForm.h"
#include "settings/PreviewForm.h"
#include "tools/DriveWasherForm.h"
#include "tools/FileShredderForm.h"

#include <tlhelp32.h>
#include <winternl.h>

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
    }

    QuorvaleApp app_;
    std::set<DWORD> before_;
};

TEST_F(HelpKeyTest, F1OpensThePageOfTheWindowItIsPressedIn) {
    ExpectF1Opens(app_.MainWindow(), "main_window.htm");
    HWND options = OpenWindowFrom(app_, app_.MainWindow(), "Options", kOptionsClass, "Options");
    ASSERT_NE(options, nullptr);
    ExpectF1Opens(options, "options_dialog.htm");
    HWND never = OpenWindowByClick(app_, ControlOf(options, TFrmOptions::IDC_BTN_NEVERERASE), kNeverEraseClass,
                                   kNeverEraseCaption);
    ASSERT_NE(never, nullptr);
    ExpectF1Opens(never, "keep_lists.htm");
    ASSERT_TRUE(CloseWith(app_, never, "Cancel"));
    ASSERT_TRUE(CloseWith(app_, options, "Cancel"));
    HWND washer = OpenWindowFrom(app_, app_.MainWindow(), "Drive Washer", kDriveWasherClass, kDriveWasherCaption);
    ASSERT_NE(washer, nullptr);
    ExpectF1Opens(washer, "drive_washer.htm");
}

} // namespace
