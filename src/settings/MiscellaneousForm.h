// The Miscellaneous dialog: start with Windows, stealth mode and key, boss key, security level and
// passes, and the automatic erase triggers. OK applies stealth mode and the schedule to the running
// program at once.
#pragma once

#include "ui/Form.h"
#include "ui/PageControl.h"
#include "settings/RunningProgram.h"

#include <optional>
#include <string>

constexpr const wchar_t* kMiscellaneousClass = L"TFrmMiscellaneous";

class TFrmMiscellaneous : public TForm {
public:
    enum ControlId : int {
        IDC_MISC_PAGECONTROL = 600,
        IDC_CHK_SYSTEMSTART,
        IDC_CHK_STEALTHMODE,
        IDC_LBL_STEALTHMODE,
        IDC_LBL_STEALTHKEY,
        IDC_EDT_STEALTHKEY,
        IDC_CHK_BOSSKEY,
        IDC_LBL_BOSSKEYTEXT,
        IDC_LBL_BOSSKEY,
        IDC_EDT_BOSSKEY,
        IDC_BTN_BOSSKEYOPTIONS,
        IDC_LBL_SECURITY,
        IDC_RBN_DOD,
        IDC_RBN_NSA,
        IDC_RBN_GUTMANN,
        IDC_RBN_RANDOM,
        IDC_EDT_TIMES,
        IDC_UPD_TIMES,
        IDC_LBL_TIMES,
        IDC_LBL_SCHEDULE,
        IDC_CHK_WINDOWSSTARTERASE,
        IDC_CHK_WINDOWSSHUTDOWN,
        IDC_BTN_SHUTDOWNOPTIONS,
        IDC_CHK_INTERVAL,
        IDC_CBO_SCHEDULE,
        IDC_CHK_BROWSERCLOSE,
        IDC_BTN_MISC_OK,
        IDC_BTN_CANEL,
    };

    // program: the running program, whose tray icon and schedule timer OK updates.
    TFrmMiscellaneous(HWND owner, RunningProgram& program);

protected:
    const char* HelpPage() const override { return "miscellaneous.htm"; }
    bool OnButtonClicked(int id) override;
    std::optional<LRESULT> OnNotify(const NMHDR& header) override;
    HBRUSH OnControlColour(HWND control, HDC dc) override;
    HWND PageControlFor(HWND focus) const override;
    bool CapturesKeys(HWND control) const override;

private:
    void CreatePages();
    void SubclassFields();
    void FormCreate();
    // Sets a check box from code; a change runs its click handler as a click would.
    void SetBox(int id, bool ticked);
    // Ticks one of the four security level radio buttons from code, clearing the others.
    void TickRadio(int id);
    void EnableTimes(bool enabled);

    void BtnOKClick();
    void BtnCanelClick();
    void ChkSystemStartClick();
    void ChkWindowsStartEraseClick();
    void ChkBossKeyClick();
    void ChkIntervalClick();
    void RbnRandomClick();
    void RbnDODClick();
    void RbnNSAClick();
    void RbnGutmannClick();
    void BtnBosskeyOptionsClick();
    void BtnShutdownOptionsClick();

    // The two hotkey capture fields: their text is only ever what the key handlers build.
    std::optional<LRESULT> HotkeyFieldMessage(HWND field, UINT msg, WPARAM wParam, LPARAM lParam);
    void EdtStealthKeyKeyDown(UINT key);
    void EdtBossKeyKeyDown(UINT key);
    void EdtStealthKeyKeyUp(UINT key);
    void EdtBossKeyKeyUp(UINT key);
    void EdtStealthKeyMouseMove();
    void EdtBossKeyMouseMove();
    void CaptureKeyDown(int fieldId, UINT key);
    void CaptureKeyUp(int fieldId, UINT key);
    // Leaving a field in the middle of a combination (Shift+Tab, Ctrl+Tab) keeps the hotkey it
    // held before that combination began.
    void CaptureEnter(HWND field);
    void CaptureExit(HWND field);
    void KeepSettledText(HWND field);

    // The passes field: digits, "-" and editing keys; up and down step it.
    std::optional<LRESULT> EdtTimesMessage(HWND field, UINT msg, WPARAM wParam, LPARAM lParam);
    void EdtTimesEnter();
    void EdtTimesStep(int delta);

    RunningProgram& program_;
    PageControl pageControl_;
    std::string settledStealthKey_;
    std::string settledBossKey_;
};
