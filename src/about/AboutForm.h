// The About box: product name and version, and the lines that lead to the maker's web site and to
// a mail to support.
#pragma once

#include "ui/Form.h"

constexpr const wchar_t* kAboutClass = L"TFrmAbout";

// The maker's addresses are configuration of the build (QV_SITE_URL and QV_SUPPORT_EMAIL).
constexpr const char* kSiteUrl = QV_SITE_URL;
constexpr const char* kSupportEmail = QV_SUPPORT_EMAIL;

// The title line's font: bold, this many pixels high at 96 DPI.
constexpr const wchar_t* kTitleFontFace = L"Tahoma";
constexpr int kTitleFontHeight = 16;

class TFrmAbout : public TForm {
public:
    enum ControlId : int {
        IDC_IMAGE1 = 700,
        IDC_LABEL1,
        IDC_LBL_SITE,
        IDC_LBL_EMAIL,
        IDC_BTN_ABOUT_OK,
    };

    explicit TFrmAbout(HWND owner);
    ~TFrmAbout() override;

protected:
    const char* HelpPage() const override { return "about.htm"; }
    bool OnButtonClicked(int id) override;
    bool OnCommand(int id, int code) override;

private:
    void BtnOKClick();
    void LblSiteClick();
    void LblEmailClick();

    Icon logo_;
    Font titleFont_;
};
