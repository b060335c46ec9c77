// The boss key's program list: the programs of "Options.ini" the boss key leaves alone on the left,
// the ones it hides and shows again on the right.
#pragma once

#include "settings/ListPairForm.h"

constexpr const wchar_t* kBosskeyOptionClass = L"TFrmBosskeyOption";
constexpr int IDC_LBX_ALLPROGRAMS = TFrmListPair::IDC_LIST_LEFT;
constexpr int IDC_LBX_HIDDENPROGRAMS = TFrmListPair::IDC_LIST_RIGHT;

class TFrmBosskeyOption : public TFrmListPair {
public:
    explicit TFrmBosskeyOption(HWND owner);

protected:
    const char* HelpPage() const override { return "boss_key_option.htm"; }
    // Rewrites only the flag character of each entry, so class names and the file's order stay.
    void SaveLists() override;

private:
    void FormCreate();
};
