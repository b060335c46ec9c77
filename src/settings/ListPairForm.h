// The shape shared by the keep-list dialogs and the boss-key program list: a list of what can be
// chosen on the left, a list of what is chosen on the right, ">>" and "<<" between them, OK and
// Cancel below. Derived windows fill the lists and save the right one.
#pragma once

#include "ui/Form.h"

struct ListPairLayout {
    const wchar_t* className;
    const char* caption;
    int clientWidth, clientHeight; // design pixels
    const char* leftLabel;
    const char* rightLabel;
    // What a screen reader says for ">>" and "<<".
    const char* addName;
    const char* removeName;
};

// Height of every list entry, in design pixels.
constexpr int kListPairItemHeight = 16;

class TFrmListPair : public TForm {
public:
    enum ControlId : int {
        IDC_LBL_LEFT = 300,
        IDC_LIST_LEFT,
        IDC_LBL_RIGHT,
        IDC_LIST_RIGHT,
        IDC_BTN_ADD,
        IDC_BTN_DELETE,
        IDC_BTN_LISTPAIR_OK,
        IDC_BTN_LISTPAIR_CANCEL,
    };

protected:
    // Creates the window and its controls, centred on owner; the lists start empty.
    TFrmListPair(HWND owner, const ListPairLayout& layout);

    HWND LeftList() const { return Control(IDC_LIST_LEFT); }
    HWND RightList() const { return Control(IDC_LIST_RIGHT); }

    // Saves what the lists hold; called by OK, which then closes the window. An exception leaves
    // the window open.
    virtual void SaveLists() = 0;

    bool OnButtonClicked(int id) override;

private:
    void BtnAddClick();
    void BtnDeleteClick();
    void BtnOKClick();
    void BtnCancelClick();
};
