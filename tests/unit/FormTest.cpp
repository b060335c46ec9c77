// The window framework: modal showing, the progress log control, and the error boundary.
#include "app/MemoLog.h"
#include "platform/WindowText.h"
#include "ui/Form.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace {

constexpr int kLogId = 10;
constexpr UINT kThrowMessage = WM_APP + 1;
constexpr UINT_PTR kCloseTimer = 1;

class TestForm : public TForm {
public:
    explicit TestForm(HWND owner, const char* caption = "Test Form") {
        CreateForm({L"QvTestForm", caption, 300, 200, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, CentreOn::Owner},
                   owner);
        static constexpr ControlSpec controls[] = {
            {WC_EDITW, "", kLogId, 8, 8, 200, 150, ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_HSCROLL, 0},
        };
        CreateControls(controls);
    }
    bool ownerWasDisabled = false;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_TIMER && wParam == kCloseTimer) {
            KillTimer(hwnd_, kCloseTimer);
            ownerWasDisabled = !IsWindowEnabled(GetWindow(hwnd_, GW_OWNER));
            SetModalResult(IDOK);
            Close();
            return 0;
        }
        if (msg == kThrowMessage) {
            throw std::runtime_error("Unable to write to C:\\nowhere\\Options.ini");
        }
        return TForm::HandleMessage(msg, wParam, lParam);
    }
    friend class FormTest;
};

TEST(Form, ShowModalDisablesTheOwnerUntilTheWindowCloses) {
    TestForm owner(nullptr, "Owner");
    ShowWindow(owner.Handle(), SW_SHOW);
    TestForm modal(owner.Handle(), "Modal");
    SetTimer(modal.Handle(), kCloseTimer, 50, nullptr);
    EXPECT_EQ(modal.ShowModal(), IDOK);
    EXPECT_TRUE(modal.ownerWasDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
    EXPECT_EQ(modal.Handle(), nullptr); // destroyed
}

TEST(Form, ControlsArePlacedInDesignPixelsScaledByTheDpi) {
    TestForm form(nullptr);
    RECT client;
    GetClientRect(form.Handle(), &client);
    int dpi = ScreenDpi();
    EXPECT_EQ(client.right, MulDiv(300, dpi, 96));
    EXPECT_EQ(client.bottom, MulDiv(200, dpi, 96));
    RECT log;
    GetWindowRect(form.Control(kLogId), &log);
    EXPECT_EQ(log.right - log.left, MulDiv(200, dpi, 96));
}

TEST(Form, AnExceptionInAHandlerIsShownInAnErrorBoxAndTheProgramGoesOn) {
    TestForm form(nullptr);
    std::atomic<bool> stop{false};
    std::string seenText;
    std::thread answer([&] {
        while (!stop) {
            HWND box = FindWindowW(L"#32770", L"Error");
            if (box) {
                wchar_t text[256] = {};
                GetWindowTextW(GetDlgItem(box, 0xFFFF), text, 256);
                char narrow[256] = {};
                WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
                seenText = narrow;
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(20);
        }
    });
    SendMessageW(form.Handle(), kThrowMessage, 0, 0);
    stop = true;
    answer.join();
    EXPECT_EQ(seenText, "Unable to write to C:\\nowhere\\Options.ini");
    EXPECT_TRUE(IsWindow(form.Handle()));
}

std::string EditText(HWND edit) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    return std::string(text.begin(), text.end());
}

TEST(MemoLog, AppendsAndReplacesTheLastLine) {
    TestForm form(nullptr);
    HWND edit = form.Control(kLogId);
    MemoLog log;
    log.Attach(edit);
    log.ReplaceLastLine("first"); // on an empty log: appended
    log.AppendLine("");
    log.AppendLine("0 file was erased.");
    log.ReplaceLastLine("3 files were erased, 2.86 MB hard disk space was released.");
    log.Flush(); // a running line may be kept back for a moment; the latest is what shows
    EXPECT_EQ(EditText(edit), "first\r\n\r\n3 files were erased, 2.86 MB hard disk space was released.");
    log.Clear();
    log.AppendLine("");
    log.AppendLine("x");
    EXPECT_EQ(EditText(edit), "\r\nx");
}

TEST(MemoLog, HoldsFarMoreThanTheEditControlsDefaultLimit) {
    TestForm form(nullptr);
    MemoLog log;
    log.Attach(form.Control(kLogId));
    std::string line(99, 'x');
    for (int i = 0; i < 1000; ++i) {
        log.AppendLine(line);
    }
    log.ReplaceLastLine("end");
    log.AppendLine("3 registry entries were erased. 12 files were erased, 2.86 MB hard disk space was released.");
    log.Flush();
    HWND edit = form.Control(kLogId);
    // The log shows its last line whole, from the left edge, even after a line wider than the control
    // (however many lines the control's font lets it show).
    EXPECT_GT(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 900);
    const auto lastLine = static_cast<WPARAM>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0) - 1);
    const LRESULT lastTop = SendMessageW(edit, EM_POSFROMCHAR, SendMessageW(edit, EM_LINEINDEX, lastLine, 0), 0);
    const LRESULT aboveTop = SendMessageW(edit, EM_POSFROMCHAR, SendMessageW(edit, EM_LINEINDEX, lastLine - 1, 0), 0);
    RECT shown{};
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&shown));
    const int top = static_cast<short>(HIWORD(lastTop));
    const int lineHeight = top - static_cast<short>(HIWORD(aboveTop));
    EXPECT_GT(lineHeight, 0);
    EXPECT_GE(top, shown.top);
    EXPECT_LE(top + lineHeight, shown.bottom) << "the last line is cut off or out of sight";
    EXPECT_EQ(static_cast<short>(LOWORD(lastTop)), shown.left);
    EXPECT_EQ(GetScrollPos(edit, SB_HORZ), 0);
    log.ReplaceLastLine("end");
    log.Flush();
    std::string text = EditText(form.Control(kLogId));
    EXPECT_EQ(text.size(), 999u * 101u + 3u + 2u + 3u); // 999 full lines, "end", CR LF, "end"
    EXPECT_EQ(text.substr(text.size() - 5), "\r\nend");
}

} // namespace
