// The typed-address keep list: the addresses typed into Internet Explorer on the left, the ones an
// erase run must keep on the right.
#pragma once

#include "settings/ListPairForm.h"

constexpr const wchar_t* kIEAddressBarHistoryClass = L"TFrmIEAddressBarHistory";
constexpr int IDC_LBX_ALLURL = IDC_LIST_LEFT;
constexpr int IDC_LBX_URLKEEPED = IDC_LIST_RIGHT;

class TFrmIEAddressBarHistory : public TFrmListPair {
public:
    explicit TFrmIEAddressBarHistory(HWND owner);

protected:
    void SaveLists() override;

private:
    void FormCreate();
};
