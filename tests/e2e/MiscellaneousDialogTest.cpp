// The Miscellaneous dialog, driven through the real Quorvale.exe: its pages, what it opens with,
// the linked and enabling check boxes, what OK saves, the Run value, and stealth mode at once.
#include "e2e/DialogTestSupport.h"

#include "app/MainForm.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "settings/MiscellaneousForm.h"
#include "support/Scratch.h"

#include <shellapi.h>

namespace {

class MiscellaneousDialogTest : public ::testing::Test {
protected:
    void Start(std::optional<std::string> optionsIni = std::nullopt) {
        app_ = std::make_unique<QuorvaleApp>(std::move(optionsIni));
        app_->Start();
        ASSERT_NE(app_->WaitMainWindow(), nullptr);
    }
    HWND Open() {
        return OpenWindowFrom(*app_, app_->MainWindow(), "Miscellaneous", kMiscellaneousClass,
                              "Miscellaneous settings");
    }
    HWND Item(HWND dialog, int id) const { return ControlOf(dialog, id); }
    std::string Value(const char* key) const {
        return OptionsStore(app_->OptionsPath()).GetText("Miscellaneous", key, "<missing>");
    }
    std::string ProgramPath() const { return app_->Folder() + "Quorvale.exe"; }

    RunValuesRestore runValues_;
    std::unique_ptr<QuorvaleApp> app_;
};

struct Caption {
    int id;
    const char* text;
    int page; // -1: never shown
};

const Caption kCaptions[] = {
    {TFrmMiscellaneous::IDC_CHK_SYSTEMSTART, "Start automatically with Windows", 0},
    {TFrmMiscellaneous::IDC_CHK_STEALTHMODE, "Run in stealth mode", 0},
    {TFrmMiscellaneous::IDC_LBL_STEALTHMODE,
     "In stealth mode,  Quorvale doesn't show an icon on the system tray, but it still works in the background.", 0},
    {TFrmMiscellaneous::IDC_LBL_STEALTHKEY, "Stealth key: ", 0},
    {TFrmMiscellaneous::IDC_CHK_BOSSKEY, "Enable boss key", 0},
    {TFrmMiscellaneous::IDC_LBL_BOSSKEYTEXT,
     "Boss key will let you hide and restore the applications on your screen,  it will prevent uninvited persons from "
     "seeing your sensitive information. ",
     0},
    {TFrmMiscellaneous::IDC_LBL_BOSSKEY, "Boss key: ", 0},
    {TFrmMiscellaneous::IDC_BTN_BOSSKEYOPTIONS, "Options", 0},
    {TFrmMiscellaneous::IDC_LBL_SECURITY,
     "Quorvale overwrites each file it deletes with random characters and make it unrevoverable. Please select the "
     "sanitize method you want. The more times a file is overwritten, the higher the security, and the longer the wash "
     "will take.  ",
     1},
    {TFrmMiscellaneous::IDC_RBN_DOD, "DoD 5520.22-M Standard (Recommended), it overwrites the deleted files 3 times.",
     1},
    {TFrmMiscellaneous::IDC_RBN_NSA, "NSA Standard, it overwrites the deleted files 7 times.", 1},
    {TFrmMiscellaneous::IDC_RBN_GUTMANN, "Gutmann Method, it overwrites the deleted files 35 times.", 1},
    {TFrmMiscellaneous::IDC_RBN_RANDOM, "Random, it overwites the deleted files", 1},
    {TFrmMiscellaneous::IDC_LBL_TIMES, "times", 1},
    {TFrmMiscellaneous::IDC_LBL_SCHEDULE, "Erase tracks at the following time: ", 2},
    {TFrmMiscellaneous::IDC_CHK_WINDOWSSTARTERASE, "Windows startup", 2},
    {TFrmMiscellaneous::IDC_CHK_WINDOWSSHUTDOWN, "Windows shutdown", 2},
    {TFrmMiscellaneous::IDC_BTN_SHUTDOWNOPTIONS, "Options", 2},
    {TFrmMiscellaneous::IDC_CHK_INTERVAL, "Erase privacy", 2},
    {TFrmMiscellaneous::IDC_CHK_BROWSERCLOSE, "Browsers close", -1},
    {TFrmMiscellaneous::IDC_BTN_MISC_OK, "OK", 3},
    {TFrmMiscellaneous::IDC_BTN_CANEL, "Canel", 3},
};

TEST_F(MiscellaneousDialogTest, OpensWithTheDefaultsOnThreePagesAndCanelWritesNothing) {
    Start();
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    SIZE size = DesignClientSize(dialog);
    EXPECT_EQ(size.cx, 507);
    EXPECT_EQ(size.cy, 298);
    HWND pages = Item(dialog, TFrmMiscellaneous::IDC_MISC_PAGECONTROL);
    EXPECT_EQ(PageCaptions(pages), (std::vector<std::string>{"General", "Security", "Schedule"}));
    for (int page = 0; page < 3; ++page) {
        TurnToPage(pages, page);
        for (const Caption& caption : kCaptions) {
            EXPECT_EQ(RemoteWindowText(Item(dialog, caption.id)), caption.text);
            EXPECT_EQ(Shown(Item(dialog, caption.id)), caption.page == page || caption.page == 3)
                << caption.text << " on page " << page;
        }
    }

    EXPECT_TRUE(Ticked(Item(dialog, TFrmMiscellaneous::IDC_CHK_SYSTEMSTART)));
    EXPECT_FALSE(Ticked(Item(dialog, TFrmMiscellaneous::IDC_CHK_STEALTHMODE)));
    EXPECT_EQ(RemoteWindowText(Item(dialog, TFrmMiscellaneous::IDC_EDT_STEALTHKEY)), "Ctrl+Alt+S");
    EXPECT_FALSE(Ticked(Item(dialog, TFrmMiscellaneous::IDC_CHK_BOSSKEY)));
    EXPECT_EQ(RemoteWindowText(Item(dialog, TFrmMiscellaneous::IDC_EDT_BOSSKEY)), "Ctrl+Alt+B");
    EXPECT_FALSE(Enabled(Item(dialog, TFrmMiscellaneous::IDC_EDT_BOSSKEY)));
    EXPECT_FALSE(Enabled(Item(dialog, TFrmMiscellaneous::IDC_BTN_BOSSKEYOPTIONS)));
    EXPECT_TRUE(Ticked(Item(dialog, TFrmMiscellaneous::IDC_RBN_DOD)));
    EXPECT_FALSE(Ticked(Item(dialog, TFrmMiscellaneous::IDC_RBN_RANDOM)));
    EXPECT_EQ(RemoteWindowText(Item(dialog, TFrmMiscellaneous::IDC_EDT_TIMES)), "2");
    EXPECT_FALSE(Enabled(Item(dialog, TFrmMiscellaneous::IDC_EDT_TIMES)));
    for (int box : {TFrmMiscellaneous::IDC_CHK_WINDOWSSTARTERASE, TFrmMiscellaneous::IDC_CHK_WINDOWSSHUTDOWN,
                    TFrmMiscellaneous::IDC_CHK_INTERVAL, TFrmMiscellaneous::IDC_CHK_BROWSERCLOSE}) {
        EXPECT_FALSE(Ticked(Item(dialog, box)));
    }
    EXPECT_EQ(ComboTexts(Item(dialog, TFrmMiscellaneous::IDC_CBO_SCHEDULE)),
              (std::vector<std::string>{"Every 15 minutes", "Every 30 minutes", "Every hour", "Every 8 hours",
                                        "Once a day"}));
    EXPECT_EQ(ComboIndex(Item(dialog, TFrmMiscellaneous::IDC_CBO_SCHEDULE)), 0);
    EXPECT_FALSE(Enabled(Item(dialog, TFrmMiscellaneous::IDC_CBO_SCHEDULE)));

    ASSERT_TRUE(CloseWith(*app_, dialog, "Canel"));
    EXPECT_FALSE(FileExists(app_->OptionsPath()));
    EXPECT_EQ(RunValueIn(HKEY_LOCAL_MACHINE), runValues_.Machine());
    EXPECT_EQ(FocusedControlOf(app_->MainWindow()), app_->MainControl(TFrmMain::IDC_MEMINFO))
        << "the log has the focus";
}

TEST_F(MiscellaneousDialogTest, OkSavesEveryKeyInOrderAndWritesTheRunValueBareWithStartupOrNot) {
    PutRunValue(HKEY_CURRENT_USER, "C:\\left\\over.exe");
    Start();
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(CloseWith(*app_, dialog, "OK"));
    EXPECT_EQ(SectionOf(*app_, "Miscellaneous"),
              (std::vector<std::string>{"SystemStart=1", "StealthMode=0", "StealthKey=Ctrl+Alt+S", "EnableBosskey=0",
                                        "BossKey=Ctrl+Alt+B", "SecurityLevel=DoD", "RandomRepeatedTime=2",
                                        "SystemStartErase=0", "SystemShutdownErase=0", "BrowserCloseErase=0",
                                        "CustomIntervalErase=0", "CustomInterval=0"}));
    EXPECT_EQ(RunValueIn(HKEY_LOCAL_MACHINE), ProgramPath());
    EXPECT_EQ(RunValueIn(HKEY_CURRENT_USER), std::nullopt) << "no second start from the user's key";

    dialog = Open();
    ASSERT_NE(dialog, nullptr);
    TurnToPage(Item(dialog, TFrmMiscellaneous::IDC_MISC_PAGECONTROL), 2);
    ClickControlAndWait(Item(dialog, TFrmMiscellaneous::IDC_CHK_WINDOWSSTARTERASE));
    ASSERT_TRUE(CloseWith(*app_, dialog, "OK"));
    EXPECT_EQ(RunValueIn(HKEY_LOCAL_MACHINE), ProgramPath() + " /startup");
    EXPECT_EQ(Value("SystemStartErase"), "1");

    PutRunValue(HKEY_CURRENT_USER, ProgramPath());
    dialog = Open();
    ASSERT_NE(dialog, nullptr);
    ClickControlAndWait(Item(dialog, TFrmMiscellaneous::IDC_CHK_SYSTEMSTART));
    EXPECT_FALSE(Ticked(Item(dialog, TFrmMiscellaneous::IDC_CHK_WINDOWSSTARTERASE)));
    ASSERT_TRUE(CloseWith(*app_, dialog, "OK"));
    EXPECT_EQ(RunValueIn(HKEY_LOCAL_MACHINE), std::nullopt);
    EXPECT_EQ(RunValueIn(HKEY_CURRENT_USER), std::nullopt);
    EXPECT_EQ(Value("SystemStart"), "0");
    EXPECT_EQ(Value("SystemStartErase"), "0");
}

TEST_F(MiscellaneousDialogTest, StartupBoxesAreLinkedBothWaysAlsoWhenOpening) {
    Start("[Miscellaneous]\r\nSystemStart=0\r\nSystemStartErase=1\r\n");
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    HWND systemStart = Item(dialog, TFrmMiscellaneous::IDC_CHK_SYSTEMSTART);
    HWND startErase = Item(dialog, TFrmMiscellaneous::IDC_CHK_WINDOWSSTARTERASE);
    EXPECT_TRUE(Ticked(systemStart));
    EXPECT_TRUE(Ticked(startErase));

    ClickControlAndWait(systemStart);
    EXPECT_FALSE(Ticked(systemStart));
    EXPECT_FALSE(Ticked(startErase));
    ClickControlAndWait(systemStart);
    EXPECT_TRUE(Ticked(systemStart));
    EXPECT_FALSE(Ticked(startErase)) << "ticking the first leaves the second alone";
    ClickControlAndWait(systemStart);
    TurnToPage(Item(dialog, TFrmMiscellaneous::IDC_MISC_PAGECONTROL), 2);
    ClickControlAndWait(startErase);
    EXPECT_TRUE(Ticked(startErase));
    EXPECT_TRUE(Ticked(systemStart));
    ClickControlAndWait(startErase);
    EXPECT_FALSE(Ticked(startErase));
    EXPECT_TRUE(Ticked(systemStart)) << "unticking the second leaves the first alone";
    EXPECT_TRUE(CloseWith(*app_, dialog, "Canel"));
}

TEST_F(MiscellaneousDialogTest, FieldsAreEnabledByTheirBoxesAndTheRandomMethod) {
    Start("[Miscellaneous]\r\nSecurityLevel=dod\r\nRandomRepeatedTime=many\r\nEnableBosskey=1\r\n"
          "CustomIntervalErase=1\r\nCustomInterval=7\r\n");
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Ticked(Item(dialog, TFrmMiscellaneous::IDC_RBN_RANDOM))) << "the level is compared with case";
    EXPECT_EQ(RemoteWindowText(Item(dialog, TFrmMiscellaneous::IDC_EDT_TIMES)), "many");
    EXPECT_TRUE(Enabled(Item(dialog, TFrmMiscellaneous::IDC_EDT_TIMES)));
    EXPECT_TRUE(Enabled(Item(dialog, TFrmMiscellaneous::IDC_EDT_BOSSKEY)));
    EXPECT_TRUE(Enabled(Item(dialog, TFrmMiscellaneous::IDC_BTN_BOSSKEYOPTIONS)));
    EXPECT_EQ(ComboIndex(Item(dialog, TFrmMiscellaneous::IDC_CBO_SCHEDULE)), -1);
    EXPECT_TRUE(Enabled(Item(dialog, TFrmMiscellaneous::IDC_CBO_SCHEDULE)));

    ClickControlAndWait(Item(dialog, TFrmMiscellaneous::IDC_CHK_BOSSKEY));
    EXPECT_FALSE(Enabled(Item(dialog, TFrmMiscellaneous::IDC_EDT_BOSSKEY)));
    EXPECT_FALSE(Enabled(Item(dialog, TFrmMiscellaneous::IDC_BTN_BOSSKEYOPTIONS)));
    TurnToPage(Item(dialog, TFrmMiscellaneous::IDC_MISC_PAGECONTROL), 1);
    const std::pair<int, bool> methods[] = {{TFrmMiscellaneous::IDC_RBN_NSA, false},
                                            {TFrmMiscellaneous::IDC_RBN_RANDOM, true},
                                            {TFrmMiscellaneous::IDC_RBN_GUTMANN, false},
                                            {TFrmMiscellaneous::IDC_RBN_DOD, false}};
    for (const auto& [method, timesEnabled] : methods) {
        ClickControlAndWait(Item(dialog, method));
        EXPECT_EQ(Enabled(Item(dialog, TFrmMiscellaneous::IDC_EDT_TIMES)), timesEnabled) << method;
        for (int other : {TFrmMiscellaneous::IDC_RBN_DOD, TFrmMiscellaneous::IDC_RBN_NSA,
                          TFrmMiscellaneous::IDC_RBN_GUTMANN, TFrmMiscellaneous::IDC_RBN_RANDOM}) {
            EXPECT_EQ(Ticked(Item(dialog, other)), other == method);
        }
    }
    EXPECT_EQ(RemoteWindowText(Item(dialog, TFrmMiscellaneous::IDC_EDT_TIMES)), "many") << "the field keeps its text";
    TurnToPage(Item(dialog, TFrmMiscellaneous::IDC_MISC_PAGECONTROL), 2);
    ClickControlAndWait(Item(dialog, TFrmMiscellaneous::IDC_CHK_INTERVAL));
    EXPECT_FALSE(Enabled(Item(dialog, TFrmMiscellaneous::IDC_CBO_SCHEDULE)));
    ASSERT_TRUE(CloseWith(*app_, dialog, "OK"));

    EXPECT_EQ(Value("SecurityLevel"), "DoD");
    EXPECT_EQ(Value("RandomRepeatedTime"), "many");
    EXPECT_EQ(Value("EnableBosskey"), "0");
    EXPECT_EQ(Value("CustomIntervalErase"), "0");
    EXPECT_EQ(Value("CustomInterval"), "-1") << "no choice selected";
}

TEST_F(MiscellaneousDialogTest, StealthModeTakesTheTrayIconAwayAndBackAtOnce) {
    Start();
    HWND main = app_->MainWindow();
    ASSERT_TRUE(TrayIconShown(main));
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    ClickControlAndWait(Item(dialog, TFrmMiscellaneous::IDC_CHK_STEALTHMODE));
    ASSERT_TRUE(CloseWith(*app_, dialog, "OK"));
    EXPECT_FALSE(TrayIconShown(main));
    EXPECT_EQ(Value("StealthMode"), "1");

    dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Ticked(Item(dialog, TFrmMiscellaneous::IDC_CHK_STEALTHMODE)));
    ASSERT_TRUE(CloseWith(*app_, dialog, "OK"));
    EXPECT_FALSE(TrayIconShown(main)) << "saving stealth mode again changes nothing";

    dialog = Open();
    ASSERT_NE(dialog, nullptr);
    ClickControlAndWait(Item(dialog, TFrmMiscellaneous::IDC_CHK_STEALTHMODE));
    ASSERT_TRUE(CloseWith(*app_, dialog, "OK"));
    EXPECT_TRUE(TrayIconShown(main));
    EXPECT_EQ(Value("StealthMode"), "0");
}

} // namespace
