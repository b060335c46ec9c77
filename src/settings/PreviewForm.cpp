#include "settings/PreviewForm.h"

#include "engine/ProgressLog.h"
#include "gate/GateActs.h"
#include "ui/ListViewRows.h"
#include "platform/Messages.h"
#include "ui/StandardControls.h"
#include "platform/Text.h"
#include "platform/WindowText.h"
#include "store/OptionNames.h"
#include "store/OptionTexts.h"
#include "store/OptionsStore.h"

#include <commctrl.h>

#include <algorithm>

namespace {

constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr UINT_PTR kStartTimer = 1;

constexpr ControlSpec kControls[] = {
    {WC_STATICW, kPreviewFindingText, TFrmPreview::IDC_LBL_PREVIEW, 12, 12, 616, 18, SS_LEFT | SS_NOPREFIX},
    {PROGRESS_CLASSW, "", TFrmPreview::IDC_PGB_PREVIEW, 12, 34, 616, 14, 0},
    {WC_LISTVIEWW, "", TFrmPreview::IDC_LVW_PREVIEW, 12, 54, 616, 300,
     LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, WS_EX_CLIENTEDGE},
    {WC_STATICW, "", TFrmPreview::IDC_LBL_PREVIEWTOTALS, 12, 362, 616, 34, SS_LEFT | SS_NOPREFIX},
    {WC_BUTTONW, "&Never Erase", TFrmPreview::IDC_BTN_PREVIEW_KEEP, 12, 404, 130, 25, kButton},
    {WC_BUTTONW, "Never Erase Its &Folder", TFrmPreview::IDC_BTN_PREVIEW_KEEPFOLDER, 150, 404, 150, 25, kButton},
    {WC_BUTTONW, "Close", TFrmPreview::IDC_BTN_PREVIEW_CLOSE, 553, 404, 75, 25, kButton | BS_DEFPUSHBUTTON},
};

// The finding's log: the bar moves on as each ticked item starts.
class BarLog : public ProgressLog {
public:
    BarLog(HWND bar, std::vector<std::string> startLines) : bar_(bar), startLines_(std::move(startLines)) {
        SendMessageW(bar_, PBM_SETRANGE32, 0, static_cast<LPARAM>(startLines_.size() + 1));
    }
    void AppendLine(std::string_view line) override {
        if (std::find(startLines_.begin(), startLines_.end(), line) != startLines_.end()) {
            SendMessageW(bar_, PBM_DELTAPOS, 1, 0);
        }
    }
    void ReplaceLastLine(std::string_view) override {}

private:
    HWND bar_;
    std::vector<std::string> startLines_;
};

bool Markable(const PlanEntry& entry) {
    switch (entry.kind) {
    case PlanEntry::File:
    case PlanEntry::Folder:
    case PlanEntry::RegistryValue:
    case PlanEntry::RegistryKey:
    case PlanEntry::DatabaseRows:
    case PlanEntry::NotErasable:
    case PlanEntry::CacheEntry:
        return entry.KeptBy().find('\\') != std::string::npos;
    default:
        return false;
    }
}

// Whether path is the marked one or lies under it.
bool IsAtOrUnder(const std::string& path, const std::string& marked) {
    return EqualsNoCase(path, marked) || (path.size() > marked.size() && path[marked.size()] == '\\' &&
                                          EqualsNoCase(std::string_view(path).substr(0, marked.size()), marked));
}

} // namespace

TFrmPreview::TFrmPreview(HWND owner, RunChoice chosen) : chosen_(std::move(chosen)) {
    CreateForm({kPreviewClass, kPreviewCaption, 640, 441, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                WS_EX_DLGMODALFRAME, CentreOn::Owner},
               owner);
    CreateControls(kControls);
    HWND list = Control(IDC_LVW_PREVIEW);
    AddListViewStyles(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_LABELTIP);
    AddListViewColumn(list, 0, "Entry", Scale(440));
    AddListViewColumn(list, 1, "Size", Scale(150));
    EnableWindow(Control(IDC_BTN_PREVIEW_KEEP), FALSE);
    EnableWindow(Control(IDC_BTN_PREVIEW_KEEPFOLDER), FALSE);
    // The finding starts once the window is shown and its messages run.
    SetTimer(hwnd_, kStartTimer, 0, nullptr);
}

bool TFrmPreview::OnTimer(UINT_PTR id) {
    if (id != kStartTimer) {
        return false;
    }
    KillTimer(hwnd_, kStartTimer);
    if (!finding_ && preview_.groups.empty()) {
        FindPreview();
    }
    return true;
}

void TFrmPreview::FindPreview() {
    std::vector<std::string> startLines;
    for (const EraseItem& item : kEraseItems) {
        if (chosen_.item(item)) {
            startLines.push_back(item.startLine);
        }
    }
    BarLog log(Control(IDC_PGB_PREVIEW), std::move(startLines));
    finding_ = true;
    try {
        preview_ = FindErasePreview(OptionsFilePath(), &chosen_, log);
    } catch (...) {
        finding_ = false;
        throw;
    }
    finding_ = false;
    if (closeWhenFound_) {
        Close();
        return;
    }
    ShowWindow(Control(IDC_PGB_PREVIEW), SW_HIDE);
    SetWindowTextUtf8(Control(IDC_LBL_PREVIEW), kPreviewHeading);
    SetWindowTextUtf8(Control(IDC_LBL_PREVIEWTOTALS), std::string(kPreviewTotalsText) + " " + preview_.summary);
    ShowRows();
    EnableWindow(Control(IDC_BTN_PREVIEW_KEEP), TRUE);
    EnableWindow(Control(IDC_BTN_PREVIEW_KEEPFOLDER), TRUE);
}

void TFrmPreview::ShowRows() {
    rows_.clear();
    for (const PlanGroup& group : preview_.groups) {
        rows_.push_back({Widen(group.title), Widen(PlanGroupCounts(group)), nullptr});
        for (const PlanEntry& entry : group.entries) {
            const char* prefix = entry.kind == PlanEntry::NotErasable ? kNotErasedPrefix : "";
            rows_.push_back({Widen("    " + std::string(prefix) + entry.what), Widen(PlanEntryDetail(entry)), &entry});
        }
    }
    HWND list = Control(IDC_LVW_PREVIEW);
    SendMessageW(list, LVM_SETITEMCOUNT, rows_.size(), 0);
    InvalidateRect(list, nullptr, TRUE);
}

std::optional<LRESULT> TFrmPreview::OnNotify(const NMHDR& header) {
    if (header.idFrom != IDC_LVW_PREVIEW || header.code != LVN_GETDISPINFOW) {
        return std::nullopt;
    }
    auto& info = reinterpret_cast<NMLVDISPINFOW&>(const_cast<NMHDR&>(header));
    const size_t row = static_cast<size_t>(info.item.iItem);
    if ((info.item.mask & LVIF_TEXT) && row < rows_.size() && info.item.cchTextMax > 0) {
        const std::wstring& text = info.item.iSubItem == 0 ? rows_[row].text : rows_[row].detail;
        const size_t count = std::min(text.size(), static_cast<size_t>(info.item.cchTextMax - 1));
        std::copy_n(text.c_str(), count, info.item.pszText);
        info.item.pszText[count] = L'\0';
    }
    return 0;
}

const PlanEntry* TFrmPreview::SelectedEntry() const {
    const int row = static_cast<int>(
        SendMessageW(Control(IDC_LVW_PREVIEW), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return row >= 0 && static_cast<size_t>(row) < rows_.size() ? rows_[row].entry : nullptr;
}

void TFrmPreview::MarkNeverErase(const std::string& path) {
    OptionsStore options(OptionsFilePath());
    std::vector<std::string> kept = ReadKeepList(options, kSectionNeverErase);
    if (std::none_of(kept.begin(), kept.end(), [&](const std::string& entry) { return EqualsNoCase(entry, path); })) {
        kept.push_back(path);
        WriteKeepList(options, kSectionNeverErase, kept);
    }
    for (Row& row : rows_) {
        if (row.entry && Markable(*row.entry) && IsAtOrUnder(row.entry->KeptBy(), path)) {
            row.detail = Widen(kKeptDetail);
        }
    }
    InvalidateRect(Control(IDC_LVW_PREVIEW), nullptr, TRUE);
}

void TFrmPreview::BtnKeepClick() {
    const PlanEntry* entry = SelectedEntry();
    if (!entry || !Markable(*entry)) {
        ShowMessageBox(hwnd_, kPreviewNotMarkableText, kPreviewCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    MarkNeverErase(entry->KeptBy());
}

void TFrmPreview::BtnKeepFolderClick() {
    const PlanEntry* entry = SelectedEntry();
    if (!entry || !Markable(*entry)) {
        ShowMessageBox(hwnd_, kPreviewNotMarkableText, kPreviewCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    // A folder's or a key's own entry stands for itself; a file's, a value's or a cache entry's, for
    // where it lies.
    const bool container = entry->kind == PlanEntry::Folder || entry->kind == PlanEntry::RegistryKey;
    const std::string& path = entry->KeptBy();
    MarkNeverErase(container ? path : path.substr(0, path.rfind('\\')));
}

void TFrmPreview::BtnCloseClick() { Close(); }

LRESULT TFrmPreview::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE && finding_) {
        // The finding stops at its next step; the window closes once it has.
        StopRequested = true;
        closeWhenFound_ = true;
        return 0;
    }
    return TForm::HandleMessage(msg, wParam, lParam);
}

bool TFrmPreview::OnButtonClicked(int id) {
    static constexpr ClickRoute<TFrmPreview> kClicks[] = {
        {IDC_BTN_PREVIEW_KEEP, &TFrmPreview::BtnKeepClick},
        {IDC_BTN_PREVIEW_KEEPFOLDER, &TFrmPreview::BtnKeepFolderClick},
        {IDC_BTN_PREVIEW_CLOSE, &TFrmPreview::BtnCloseClick},
        {IDCANCEL, &TFrmPreview::BtnCloseClick}, // Esc
    };
    return RouteClick(*this, kClicks, id);
}
