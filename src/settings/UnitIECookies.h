// The cookie keep list: the cookies in Internet Explorer's cache on the left, the cookies an erase
// run must leave alone on the right.
#pragma once

#include "settings/ListPairForm.h"

constexpr const wchar_t* kIECookiesClass = L"TFrmIECookies";
constexpr int IDC_LBX_ALLCOOKIES = IDC_LIST_LEFT;
constexpr int IDC_LBX_COOKIESKEEPED = IDC_LIST_RIGHT;

class TFrmIECookies : public TFrmListPair {
public:
    explicit TFrmIECookies(HWND owner);

protected:
    void SaveLists() override;

private:
    void FormCreate();
};
