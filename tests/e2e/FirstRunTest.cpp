// The program as a user unpacks it from the release package: the shipped Options.ini and sample
// plug-ins, seen through the program's own dialogs on its first start, and the help file opened by
// the Help button.
#include "e2e/DialogTestSupport.h"

#include "platform/Files.h"
#include "platform/Text.h"
#include "settings/BossKeyOptionForm.h"
#include "settings/OptionsForm.h"
#include "settings/MiscellaneousForm.h"
#include "support/ChildProcess.h"
#include "support/Scratch.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The unpacked package folder (QUORVALE_PACKAGE_DIR), with a trailing backslash.
std::string PackageFolder() {
    const char* folder = std::getenv("QUORVALE_PACKAGE_DIR");
    return folder ? WindowsPathOf(folder) + "\\" : std::string();
}

std::vector<std::string> SortedByText(std::vector<std::string> texts) {
    std::sort(texts.begin(), texts.end(), [](const std::string& a, const std::string& b) {
        return lstrcmpiW(Widen(a).c_str(), Widen(b).c_str()) < 0;
    });
    return texts;
}

class FirstRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        package_ = PackageFolder();
        ASSERT_FALSE(package_.empty()) << "QUORVALE_PACKAGE_DIR is not set";
        app_ = std::make_unique<QuorvaleApp>(ReadFileText(package_ + "Options.ini"));
        ASSERT_TRUE(CreateFolder(app_->Folder() + "Plug-ins"));
        for (const FolderEntry& entry : ListFolder(package_ + "Plug-ins\\*.qv")) {
            plugins_.push_back(entry.name);
            WriteFileText(app_->Folder() + "Plug-ins\\" + entry.name,
                          ReadFileText(package_ + "Plug-ins\\" + entry.name));
        }
        ASSERT_FALSE(plugins_.empty()) << "the package has no sample plug-ins";
    }

    std::string package_;
    std::vector<std::string> plugins_;
    std::unique_ptr<QuorvaleApp> app_;
};

TEST_F(FirstRunTest, EverySamplePlugInIsListedWithItsDescriptionAndNoneIsTicked) {
    HWND dialog = StartAndOpen(*app_, "Options", L"TFrmOptions", "Options");
    ASSERT_NE(dialog, nullptr);
    TurnToPage(ControlOf(dialog, TFrmOptions::IDC_OPTIONS_PAGECONTROL), 3);
    HWND list = ControlOf(dialog, TFrmOptions::IDC_LVW_PLUGINS);
    std::vector<std::vector<std::string>> rows = RemoteListViewRows(list, 2);
    std::vector<std::string> names;
    for (size_t row = 0; row < rows.size(); ++row) {
        names.push_back(rows[row][0]);
        EXPECT_FALSE(rows[row][1].empty()) << rows[row][0] << " has no description";
        EXPECT_FALSE(RemoteListViewChecked(list, static_cast<int>(row))) << rows[row][0] << " is ticked";
    }
    std::vector<std::string> expected;
    for (const std::string& file : plugins_) {
        expected.push_back(file.substr(0, file.size() - 3));
    }
    EXPECT_EQ(names, SortedByText(expected));
    ASSERT_TRUE(CloseWith(*app_, dialog, "Cancel"));
}

TEST_F(FirstRunTest, TheBossKeyHidesNothingUntilTheUserChoosesPrograms) {
    HWND misc = StartAndOpen(*app_, "Miscellaneous", kMiscellaneousClass, "Miscellaneous settings");
    ASSERT_NE(misc, nullptr);
    EXPECT_FALSE(Ticked(ControlOf(misc, TFrmMiscellaneous::IDC_CHK_BOSSKEY))) << "the boss key starts switched off";
    ClickControlAndWait(ControlOf(misc, TFrmMiscellaneous::IDC_CHK_BOSSKEY));
    HWND dialog = OpenWindowByClick(*app_, ControlOf(misc, TFrmMiscellaneous::IDC_BTN_BOSSKEYOPTIONS),
                                    kBosskeyOptionClass, "Boss Key Option");
    ASSERT_NE(dialog, nullptr);
    std::vector<std::string> names;
    for (const std::string& entry : SectionOf(*app_, "BossKeyHiddenPrograms")) {
        names.push_back(entry.substr(0, entry.find('=')));
    }
    ASSERT_GE(names.size(), 10u) << "common programs are offered";
    EXPECT_EQ(ListBoxTexts(ControlOf(dialog, IDC_LBX_ALLPROGRAMS)), SortedByText(names));
    EXPECT_TRUE(ListBoxTexts(ControlOf(dialog, IDC_LBX_HIDDENPROGRAMS)).empty());
    ASSERT_TRUE(CloseWith(*app_, dialog, "Cancel"));
    ASSERT_TRUE(CloseWith(*app_, misc, "Canel"));
    EXPECT_EQ(ReadFileText(app_->OptionsPath()), ReadFileText(package_ + "Options.ini")) << "nothing was written";
}

TEST_F(FirstRunTest, TheFirstEraseLeavesARunningFirefoxAloneAndNothingStartsWithWindows) {
    // A Firefox at work (the helper under that name), and no profile of the early versions.
    ScratchFolder browserFolder;
    const std::string firefox = browserFolder / "firefox.exe";
    ASSERT_TRUE(CopyFileW(Widen(TestProgramFolder() + "QvTestHelper.exe").c_str(), Widen(firefox).c_str(), FALSE));
    ChildProcess browser("\"" + firefox + "\" sleep");
    ASSERT_TRUE(browser.WaitListed());

    TraceSandbox sandbox(*app_);
    HWND misc = StartAndOpen(*app_, "Miscellaneous", kMiscellaneousClass, "Miscellaneous settings");
    ASSERT_NE(misc, nullptr);
    EXPECT_FALSE(Ticked(ControlOf(misc, TFrmMiscellaneous::IDC_CHK_SYSTEMSTART)))
        << "OK here would enter Quorvale among the programs Windows starts";
    ASSERT_TRUE(CloseWith(*app_, misc, "Canel"));

    ASSERT_TRUE(app_->PressButton("Erase"));
    HWND box = app_->WaitMessageBox("Information", 120000);
    ASSERT_NE(box, nullptr) << "the run did not end";
    QuorvaleApp::AnswerMessageBox(box);
    EXPECT_TRUE(browser.Running()) << "the run ended Firefox";
    app_->Kill(); // before the sandbox puts the user's places back
}

// The help viewer's top-level windows (class "HH Parent"), of any process.
std::vector<HWND> HelpViewerWindows() {
    std::vector<HWND> found;
    for (HWND window = FindWindowExW(nullptr, nullptr, L"HH Parent", nullptr); window;
         window = FindWindowExW(nullptr, window, L"HH Parent", nullptr)) {
        found.push_back(window);
    }
    return found;
}

void EndProcessOf(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    KernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    if (process) {
        TerminateProcess(process.get(), 0);
        WaitForSingleObject(process.get(), 5000);
    }
}

TEST_F(FirstRunTest, HelpOpensTheShippedHelpFileInTheViewer) {
    ASSERT_TRUE(HelpViewerWindows().empty()) << "a help viewer was left open";
    WriteFileText(app_->Folder() + "help.chm", ReadFileText(package_ + "help.chm"));
    app_->Start();
    ASSERT_NE(app_->WaitMainWindow(), nullptr);
    ASSERT_TRUE(app_->PressButton("Help"));
    HWND viewer = nullptr;
    EXPECT_TRUE(WaitUntil(
        [&] {
            std::vector<HWND> windows = HelpViewerWindows();
            viewer = windows.empty() ? nullptr : windows.front();
            return viewer && IsWindowVisible(viewer);
        },
        20000))
        << "no help viewer came up";
    if (viewer) {
        EXPECT_EQ(RemoteWindowText(viewer), "Quorvale Help");
        EndProcessOf(viewer);
    }
}

} // namespace
