#include "settings/ListPairForm.h"

#include "ui/AccessibleName.h"
#include "ui/StandardControls.h"

#include <commctrl.h>

namespace {

constexpr DWORD kList = LBS_SORT | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kLabel = SS_LEFT; // its mnemonic focuses the list below it

constexpr int kMargin = 8;
constexpr int kMoveButtonColumn = 60;
constexpr int kMoveButtonWidth = 42;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kLabelHeight = 16;
constexpr int kListTop = kMargin + kLabelHeight + 2;

} // namespace

TFrmListPair::TFrmListPair(HWND owner, const ListPairLayout& layout) {
    CreateForm({layout.className, layout.caption, layout.clientWidth, layout.clientHeight,
                WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_DLGMODALFRAME, CentreOn::MainWindow},
               owner);
    const int w = layout.clientWidth;
    const int h = layout.clientHeight;
    const int listWidth = (w - 2 * kMargin - kMoveButtonColumn) / 2;
    const int listHeight = h - kListTop - kButtonHeight - 2 * kMargin - 4;
    const int rightLeft = w - kMargin - listWidth;
    const int moveLeft = kMargin + listWidth + (kMoveButtonColumn - kMoveButtonWidth) / 2;
    const int moveTop = kListTop + listHeight / 2 - kButtonHeight - 5;
    const int buttonTop = h - kMargin - kButtonHeight;
    const ControlSpec controls[] = {
        {WC_STATICW, layout.leftLabel, IDC_LBL_LEFT, kMargin, kMargin, listWidth, kLabelHeight, kLabel},
        {WC_LISTBOXW, "", IDC_LIST_LEFT, kMargin, kListTop, listWidth, listHeight, kList, WS_EX_CLIENTEDGE},
        {WC_BUTTONW, ">>", IDC_BTN_ADD, moveLeft, moveTop, kMoveButtonWidth, kButtonHeight, kButton},
        {WC_BUTTONW, "<<", IDC_BTN_DELETE, moveLeft, moveTop + kButtonHeight + 10, kMoveButtonWidth, kButtonHeight,
         kButton},
        {WC_STATICW, layout.rightLabel, IDC_LBL_RIGHT, rightLeft, kMargin, listWidth, kLabelHeight, kLabel},
        {WC_LISTBOXW, "", IDC_LIST_RIGHT, rightLeft, kListTop, listWidth, listHeight, kList, WS_EX_CLIENTEDGE},
        {WC_BUTTONW, "OK", IDC_BTN_LISTPAIR_OK, w - 2 * (kMargin + kButtonWidth), buttonTop, kButtonWidth,
         kButtonHeight, kButton | BS_DEFPUSHBUTTON},
        {WC_BUTTONW, "Cancel", IDC_BTN_LISTPAIR_CANCEL, w - kMargin - kButtonWidth, buttonTop, kButtonWidth,
         kButtonHeight, kButton},
    };
    CreateControls(controls);
    SetAccessibleName(Control(IDC_BTN_ADD), layout.addName);
    SetAccessibleName(Control(IDC_BTN_DELETE), layout.removeName);
    SetListBoxItemHeight(LeftList(), Scale(kListPairItemHeight));
    SetListBoxItemHeight(RightList(), Scale(kListPairItemHeight));
}

bool TFrmListPair::OnButtonClicked(int id) {
    static constexpr ClickRoute<TFrmListPair> kClicks[] = {
        {IDC_BTN_ADD, &TFrmListPair::BtnAddClick},        {IDC_BTN_DELETE, &TFrmListPair::BtnDeleteClick},
        {IDC_BTN_LISTPAIR_OK, &TFrmListPair::BtnOKClick}, {IDC_BTN_LISTPAIR_CANCEL, &TFrmListPair::BtnCancelClick},
        {IDCANCEL, &TFrmListPair::BtnCancelClick}, // Esc
    };
    return RouteClick(*this, kClicks, id);
}

void TFrmListPair::BtnAddClick() { MoveSelectedListBoxEntries(LeftList(), RightList()); }

void TFrmListPair::BtnDeleteClick() { MoveSelectedListBoxEntries(RightList(), LeftList()); }

void TFrmListPair::BtnOKClick() {
    SaveLists();
    SetModalResult(IDOK);
    Close();
}

void TFrmListPair::BtnCancelClick() { Close(); }
