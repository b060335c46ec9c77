// The About box of the real Quorvale.exe: its texts, its logo, the cursor over the two link
// lines, and what a click or a key on them asks the shell to open.
#include "e2e/DialogTestSupport.h"

#include "about/AboutForm.h"
#include "platform/Text.h"
#include "support/Scratch.h"
#include "platform/Files.h"
#include "support/Overrides.h"

namespace {

// The cursor shown once the box has taken the mouse's move over the control.
HCURSOR CursorOver(HWND control) {
    MoveMouseOver(control);
    EXPECT_TRUE(WaitQueueHandled(GetAncestor(control, GA_ROOT))) << "the box did not take the mouse's move";
    CURSORINFO cursor{};
    cursor.cbSize = sizeof cursor;
    return GetCursorInfo(&cursor) ? cursor.hCursor : nullptr;
}

HWND OpenAbout(QuorvaleApp& app) { return StartAndOpen(app, "About", kAboutClass, "About Quorvale"); }

TEST(AboutBox, ShowsTheProductVersionLogoAndTheMakersAddresses) {
    QuorvaleApp app;
    HWND about = OpenAbout(app);
    ASSERT_NE(about, nullptr);
    SIZE size = DesignClientSize(about);
    EXPECT_EQ(size.cx, 296);
    EXPECT_EQ(size.cy, 241);
    EXPECT_EQ(RemoteWindowText(ControlOf(about, TFrmAbout::IDC_LABEL1)), "Quorvale Version 3.5");
    EXPECT_EQ(RemoteWindowText(ControlOf(about, TFrmAbout::IDC_LBL_SITE)), std::string("WebSite: ") + QV_SITE_URL);
    EXPECT_EQ(RemoteWindowText(ControlOf(about, TFrmAbout::IDC_LBL_EMAIL)),
              std::string("Support Email: ") + QV_SUPPORT_EMAIL);
    EXPECT_NE(std::string(QV_SITE_URL).find("quorvale.example"), std::string::npos) << "a reserved example domain";
    EXPECT_NE(SendMessageW(ControlOf(about, TFrmAbout::IDC_IMAGE1), STM_GETICON, 0, 0), 0) << "the logo";
    EXPECT_FALSE(Enabled(app.MainWindow()));

    // Cursor handles belong to the process that loaded them, so the program's hand cannot be compared
    // with this one's; the links must show one cursor, and another than the title does.
    BringToFront(about);
    HCURSOR overTitle = CursorOver(ControlOf(about, TFrmAbout::IDC_LABEL1));
    HCURSOR overSite = CursorOver(ControlOf(about, TFrmAbout::IDC_LBL_SITE));
    HCURSOR overEmail = CursorOver(ControlOf(about, TFrmAbout::IDC_LBL_EMAIL));
    EXPECT_NE(overSite, overTitle);
    EXPECT_EQ(overSite, overEmail);
    EXPECT_EQ(CursorOver(ControlOf(about, TFrmAbout::IDC_LABEL1)), overTitle);

    ASSERT_TRUE(CloseWith(app, about, "OK"));
    EXPECT_TRUE(Enabled(app.MainWindow()));
    EXPECT_FALSE(FileExists(app.OptionsPath()));
}

// Points a protocol's "open" command at the command processor, which writes the address it is
// given into a file; the protocol's own command is put back afterwards.
class ProtocolRecorder {
public:
    ProtocolRecorder(const std::string& protocol, const std::string& record)
        : restore_(HKEY_CLASSES_ROOT, protocol + "\\shell\\open\\command") {
        RegKey key = CreateRegKey(HKEY_CLASSES_ROOT, protocol + "\\shell\\open\\command");
        EXPECT_TRUE(key &&
                    SetRegString(key.get(), "", "C:\\windows\\system32\\cmd.exe /c echo %1> \"" + record + "\""));
    }

private:
    RegistryTreeRestore restore_;
};

std::string Recorded(const std::string& path) {
    std::string text;
    WaitUntil([&] { return ReadWholeFile(path, text) && text.find('\n') != std::string::npos; }, 10000);
    return std::string(Trim(text));
}

// The About box open in front, with the shell's http and mailto commands recording what they are
// asked to open.
class AboutBoxLinks : public ::testing::Test {
protected:
    void SetUp() override {
        about = OpenAbout(app);
        ASSERT_NE(about, nullptr);
        BringToFront(about);
    }
    std::string Site() const { return Recorded(records / "site.txt"); }
    std::string Mail() const { return Recorded(records / "mail.txt"); }

    ScratchFolder records;
    ProtocolRecorder http{"http", records / "site.txt"};
    ProtocolRecorder mailto{"mailto", records / "mail.txt"};
    QuorvaleApp app;
    HWND about = nullptr;
};

TEST_F(AboutBoxLinks, ClickingTheLinesOpensTheSiteAndANewMailThroughTheShell) {

    ClickWithMouse(ControlOf(about, TFrmAbout::IDC_LBL_SITE), 0.2);
    EXPECT_EQ(Site(), QV_SITE_URL);
    // The program the first click started may have taken the foreground.
    BringToFront(about);
    ClickWithMouse(ControlOf(about, TFrmAbout::IDC_LBL_EMAIL), 0.2);
    EXPECT_EQ(Mail(), std::string("mailto:") + QV_SUPPORT_EMAIL);
    EXPECT_TRUE(IsWindow(about));
    EXPECT_TRUE(CloseWith(app, about, "OK"));
}

void Type(WORD key) {
    PressKey(key);
    ReleaseKey(key);
}

TEST_F(AboutBoxLinks, TabReachesTheLinesAndEnterOrSpaceFollowsThem) {
    ASSERT_TRUE(
        WaitUntil([&] { return FocusedControlOf(about) == ControlOf(about, TFrmAbout::IDC_BTN_ABOUT_OK); }, 5000));

    Type(VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return FocusedControlOf(about) == ControlOf(about, TFrmAbout::IDC_LBL_SITE); }, 5000));
    Type(VK_RETURN);
    EXPECT_EQ(Site(), QV_SITE_URL);
    EXPECT_TRUE(IsWindow(about)) << "Enter on a line follows it instead of pressing OK";
    BringToFront(about);
    Type(VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return FocusedControlOf(about) == ControlOf(about, TFrmAbout::IDC_LBL_EMAIL); }, 5000));
    Type(VK_SPACE);
    EXPECT_EQ(Mail(), std::string("mailto:") + QV_SUPPORT_EMAIL);
    EXPECT_TRUE(IsWindow(about));
}

} // namespace
