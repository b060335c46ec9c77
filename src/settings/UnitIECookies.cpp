#include "settings/UnitIECookies.h"

#include "platform/StandardControls.h"
#include "settings/KeepListSources.h"
#include "store/OptionNames.h"
#include "store/OptionTexts.h"
#include "store/OptionsStore.h"

namespace {

constexpr ListPairLayout kLayout{kIECookiesClass, "Options of IE Cookies", 418, 283,
                                 "&All Cookies :", "Cookies to be &keeped :"};

} // namespace

TFrmIECookies::TFrmIECookies(HWND owner) : TFrmListPair(owner, kLayout) { FormCreate(); }

void TFrmIECookies::FormCreate() {
    std::vector<std::string> kept = ReadKeepList(OptionsStore(OptionsFilePath()), kSectionIECookies);
    for (const auto& entry : kept) {
        AddListBoxEntry(RightList(), entry);
    }
    for (const auto& name : EntriesNotKept(CachedCookieFileNames(), kept)) {
        AddListBoxEntry(LeftList(), name);
    }
}

void TFrmIECookies::SaveLists() {
    OptionsStore options(OptionsFilePath());
    WriteKeepList(options, kSectionIECookies, ListBoxEntries(RightList()));
}
