// The boss-key program list and the after-erase action, opened from the Miscellaneous dialog of
// the real Quorvale.exe: what they show and what their OK and Cancel leave in Options.ini.
#include "e2e/DialogTestSupport.h"

#include "settings/ListPairForm.h"
#include "settings/BossKeyOptionForm.h"
#include "settings/ShutdownOptionsForm.h"
#include "settings/MiscellaneousForm.h"
#include "support/Scratch.h"

namespace {

class BossKeyAndShutdownDialogTest : public ::testing::Test {
protected:
    HWND OpenMiscellaneous(std::optional<std::string> optionsIni) {
        app_ = std::make_unique<QuorvaleApp>(std::move(optionsIni));
        return StartAndOpen(*app_, "Miscellaneous", kMiscellaneousClass, "Miscellaneous settings");
    }
    HWND OpenShutdownOptions(HWND miscellaneous) {
        TurnToPage(ControlOf(miscellaneous, TFrmMiscellaneous::IDC_MISC_PAGECONTROL), 2);
        return OpenWindowByClick(*app_, ControlOf(miscellaneous, TFrmMiscellaneous::IDC_BTN_SHUTDOWNOPTIONS),
                                 kShutdownOptionsClass, "Windows shutdown options");
    }

    RunValuesRestore runValues_;
    std::unique_ptr<QuorvaleApp> app_;
};

TEST_F(BossKeyAndShutdownDialogTest, EntriesMovedRightGetTheirFlagAndKeepClassNamesAndLineOrder) {
    const std::string file = "[Miscellaneous]\r\nEnableBosskey=1\r\n"
                             "[BossKeyHiddenPrograms]\r\nNotepad=0,Notepad\r\nCalculator=1,SciCalc\r\n"
                             "Word=x,OpusApp\r\nPaint=0,MSPaintApp\r\n";
    HWND misc = OpenMiscellaneous(file);
    ASSERT_NE(misc, nullptr);
    HWND dialog = OpenWindowByClick(*app_, ControlOf(misc, TFrmMiscellaneous::IDC_BTN_BOSSKEYOPTIONS),
                                    kBosskeyOptionClass, "Boss Key Option");
    ASSERT_NE(dialog, nullptr);
    SIZE size = DesignClientSize(dialog);
    EXPECT_EQ(size.cx, 418);
    EXPECT_EQ(size.cy, 283);
    EXPECT_EQ(RemoteWindowText(ControlOf(dialog, TFrmListPair::IDC_LBL_LEFT)), "Programs can be hidden :");
    EXPECT_EQ(RemoteWindowText(ControlOf(dialog, TFrmListPair::IDC_LBL_RIGHT)), "Programs to be hidden");
    HWND all = ControlOf(dialog, IDC_LBX_ALLPROGRAMS);
    HWND hidden = ControlOf(dialog, IDC_LBX_HIDDENPROGRAMS);
    EXPECT_EQ(ListBoxTexts(all), (std::vector<std::string>{"Notepad", "Paint", "Word"}));
    EXPECT_EQ(ListBoxTexts(hidden), (std::vector<std::string>{"Calculator"}));
    EXPECT_EQ(ListBoxItemHeight(all), MulDiv(16, ScreenDpi(), 96));

    SelectListBoxTexts(all, {"Notepad", "Word"});
    ClickControlAndWait(ControlOf(dialog, TFrmListPair::IDC_BTN_ADD));
    SelectListBoxTexts(hidden, {"Calculator"});
    ClickControlAndWait(ControlOf(dialog, TFrmListPair::IDC_BTN_DELETE));
    EXPECT_EQ(ListBoxTexts(all), (std::vector<std::string>{"Calculator", "Paint"}));
    EXPECT_EQ(ListBoxTexts(hidden), (std::vector<std::string>{"Notepad", "Word"}));
    ASSERT_TRUE(CloseWith(*app_, dialog, "OK"));
    ASSERT_TRUE(CloseWith(*app_, misc, "Canel")) << "the list is saved by its own OK";

    EXPECT_EQ(ReadFileText(app_->OptionsPath()), "[Miscellaneous]\r\nEnableBosskey=1\r\n"
                                                 "[BossKeyHiddenPrograms]\r\nNotepad=1,Notepad\r\n"
                                                 "Calculator=0,SciCalc\r\nWord=1,OpusApp\r\nPaint=0,MSPaintApp\r\n");
}

TEST_F(BossKeyAndShutdownDialogTest, BossKeyCancelAndAnEmptyListWriteNothing) {
    const std::string file = "[Miscellaneous]\r\nEnableBosskey=1\r\n";
    HWND misc = OpenMiscellaneous(file);
    ASSERT_NE(misc, nullptr);
    HWND dialog = OpenWindowByClick(*app_, ControlOf(misc, TFrmMiscellaneous::IDC_BTN_BOSSKEYOPTIONS),
                                    kBosskeyOptionClass, "Boss Key Option");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(ListBoxTexts(ControlOf(dialog, IDC_LBX_ALLPROGRAMS)).empty());
    EXPECT_TRUE(ListBoxTexts(ControlOf(dialog, IDC_LBX_HIDDENPROGRAMS)).empty());
    ASSERT_TRUE(CloseWith(*app_, dialog, "OK"));
    EXPECT_EQ(ReadFileText(app_->OptionsPath()), file);

    WriteFileText(app_->OptionsPath(), file + "[BossKeyHiddenPrograms]\r\nNotepad=0,Notepad\r\n");
    dialog = OpenWindowByClick(*app_, ControlOf(misc, TFrmMiscellaneous::IDC_BTN_BOSSKEYOPTIONS), kBosskeyOptionClass,
                               "Boss Key Option");
    ASSERT_NE(dialog, nullptr);
    SelectListBoxTexts(ControlOf(dialog, IDC_LBX_ALLPROGRAMS), {"Notepad"});
    ClickControlAndWait(ControlOf(dialog, TFrmListPair::IDC_BTN_ADD));
    ASSERT_TRUE(CloseWith(*app_, dialog, "Cancel"));
    EXPECT_EQ(ReadFileText(app_->OptionsPath()), file + "[BossKeyHiddenPrograms]\r\nNotepad=0,Notepad\r\n");
    EXPECT_TRUE(CloseWith(*app_, misc, "Canel"));
}

TEST_F(BossKeyAndShutdownDialogTest, TheAfterEraseChoiceOpensFromTheStoredTextAndOkSavesIt) {
    struct Case {
        const char* stored; // nullptr: no key
        int ticked;
        int choose;
        const char* saved;
    };
    const Case cases[] = {
        {nullptr, TFrmShutdownOptions::IDC_RDB_SHOWWINDOW, TFrmShutdownOptions::IDC_RDB_SHUTDOWN, "Shutdown"},
        {"Shutdown", TFrmShutdownOptions::IDC_RDB_SHUTDOWN, TFrmShutdownOptions::IDC_RDB_RESTART, "Restart"},
        {"Reboot", TFrmShutdownOptions::IDC_RDB_RESTART, TFrmShutdownOptions::IDC_RDB_RESTART, "Restart"},
        {"showwindow", TFrmShutdownOptions::IDC_RDB_RESTART, TFrmShutdownOptions::IDC_RDB_SHOWWINDOW, "ShowWindow"},
    };
    HWND misc = OpenMiscellaneous(std::nullopt);
    ASSERT_NE(misc, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "no key");
        WriteFileText(app_->OptionsPath(),
                      c.stored ? std::string("[Miscellaneous]\r\nSystemShutdownOption=") + c.stored + "\r\n" : "");
        HWND dialog = OpenShutdownOptions(misc);
        ASSERT_NE(dialog, nullptr);
        for (int radio : {TFrmShutdownOptions::IDC_RDB_SHOWWINDOW, TFrmShutdownOptions::IDC_RDB_SHUTDOWN,
                          TFrmShutdownOptions::IDC_RDB_RESTART}) {
            EXPECT_EQ(Ticked(ControlOf(dialog, radio)), radio == c.ticked) << radio;
        }
        ClickControlAndWait(ControlOf(dialog, c.choose));
        ASSERT_TRUE(CloseWith(*app_, dialog, "OK"));
        EXPECT_EQ(SectionOf(*app_, "Miscellaneous"),
                  (std::vector<std::string>{std::string("SystemShutdownOption=") + c.saved}));
    }
    EXPECT_TRUE(CloseWith(*app_, misc, "Canel"));
}

TEST_F(BossKeyAndShutdownDialogTest, TheBossKeyListIsCentredOnTheMainWindowTheAfterEraseDialogOnItsOpener) {
    HWND misc = OpenMiscellaneous("[Miscellaneous]\r\nEnableBosskey=1\r\n");
    ASSERT_NE(misc, nullptr);
    MoveToScreenCorner(misc);
    HWND bossKey = OpenWindowByClick(*app_, ControlOf(misc, TFrmMiscellaneous::IDC_BTN_BOSSKEYOPTIONS),
                                     kBosskeyOptionClass, "Boss Key Option");
    ASSERT_NE(bossKey, nullptr);
    EXPECT_TRUE(CentredOn(bossKey, app_->MainWindow()));
    EXPECT_FALSE(CentredOn(bossKey, misc));
    ASSERT_TRUE(CloseWith(*app_, bossKey, "Cancel"));
    HWND afterErase = OpenShutdownOptions(misc);
    ASSERT_NE(afterErase, nullptr);
    EXPECT_TRUE(CentredOn(afterErase, misc));
    ASSERT_TRUE(CloseWith(*app_, afterErase, "Cancel"));
    EXPECT_TRUE(CloseWith(*app_, misc, "Canel"));
}

TEST_F(BossKeyAndShutdownDialogTest, TheAfterEraseDialogShowsItsTextsAndCancelWritesNothing) {
    HWND misc = OpenMiscellaneous("[Miscellaneous]\r\nSystemShutdownOption=Shutdown\r\n");
    ASSERT_NE(misc, nullptr);
    HWND dialog = OpenShutdownOptions(misc);
    ASSERT_NE(dialog, nullptr);
    SIZE size = DesignClientSize(dialog);
    EXPECT_EQ(size.cx, 350);
    EXPECT_EQ(size.cy, 192);
    EXPECT_EQ(RemoteWindowText(ControlOf(dialog, TFrmShutdownOptions::IDC_LBL_SHUTDOWN)),
              "If Quorvale is set to automatically erase privacy when you shut down or restart Windows, it will peform "
              "the selected action below after it finishes erasing.");
    EXPECT_EQ(RemoteWindowText(ControlOf(dialog, TFrmShutdownOptions::IDC_RDB_SHOWWINDOW)),
              "Erase, then show Windows shutdown window");
    EXPECT_EQ(RemoteWindowText(ControlOf(dialog, TFrmShutdownOptions::IDC_RDB_SHUTDOWN)),
              "Erase, then shut down Windows");
    EXPECT_EQ(RemoteWindowText(ControlOf(dialog, TFrmShutdownOptions::IDC_RDB_RESTART)), "Erase, then restart Windows");
    ClickControlAndWait(ControlOf(dialog, TFrmShutdownOptions::IDC_RDB_RESTART));
    EXPECT_FALSE(Ticked(ControlOf(dialog, TFrmShutdownOptions::IDC_RDB_SHUTDOWN))) << "the three form one group";
    ASSERT_TRUE(CloseWith(*app_, dialog, "Cancel"));
    ASSERT_TRUE(CloseWith(*app_, misc, "Canel"));
    EXPECT_EQ(ReadFileText(app_->OptionsPath()), "[Miscellaneous]\r\nSystemShutdownOption=Shutdown\r\n");
}

} // namespace
