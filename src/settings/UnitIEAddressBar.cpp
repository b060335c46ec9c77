#include "settings/UnitIEAddressBar.h"

#include "platform/StandardControls.h"
#include "settings/KeepListSources.h"
#include "store/OptionNames.h"
#include "store/OptionTexts.h"
#include "store/OptionsStore.h"

namespace {

constexpr ListPairLayout kLayout{
    kIEAddressBarHistoryClass, "Options of IE Address Bar History", 417, 285, "&URL List:", "URL List to be &keeped:"};

} // namespace

TFrmIEAddressBarHistory::TFrmIEAddressBarHistory(HWND owner) : TFrmListPair(owner, kLayout) { FormCreate(); }

void TFrmIEAddressBarHistory::FormCreate() {
    std::vector<std::string> kept = ReadKeepList(OptionsStore(OptionsFilePath()), kSectionIEAddressBar);
    for (const auto& entry : kept) {
        AddListBoxEntry(RightList(), entry);
    }
    for (const auto& address : EntriesNotKept(TypedAddresses(), kept)) {
        AddListBoxEntry(LeftList(), address);
    }
}

void TFrmIEAddressBarHistory::SaveLists() {
    OptionsStore options(OptionsFilePath());
    WriteKeepList(options, kSectionIEAddressBar, ListBoxEntries(RightList()));
}
