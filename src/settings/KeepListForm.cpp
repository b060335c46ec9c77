#include "settings/KeepListForm.h"

#include "engine/CurrentBrowsers.h"
#include "ui/StandardControls.h"
#include "settings/KeepListSources.h"
#include "store/OptionNames.h"
#include "store/OptionTexts.h"
#include "store/OptionsStore.h"

const KeepListSpec kIECookiesKeepList{{kIECookiesClass, "Options of IE Cookies", 418, 283, "&All Cookies :",
                                       "Cookies to be &keeped :", "Move the selected cookies to the kept list",
                                       "Move the selected cookies out of the kept list"},
                                      kSectionIECookies,
                                      CachedCookieFileNames};

const KeepListSpec kIEAddressBarKeepList{
    {kIEAddressBarHistoryClass, "Options of IE Address Bar History", 417, 285, "&URL List:", "URL List to be &keeped:",
     "Move the selected addresses to the kept list", "Move the selected addresses out of the kept list"},
    kSectionIEAddressBar,
    TypedAddresses};

namespace {

constexpr ListPairLayout kCookieSitesLayout{kCookieSitesClass,
                                            "Sites Whose Cookies Are Kept",
                                            418,
                                            283,
                                            "&Sites with cookies :",
                                            "Sites to &keep :",
                                            "Move the selected sites to the kept list",
                                            "Move the selected sites out of the kept list"};

} // namespace

const KeepListSpec kChromiumSitesKeepList{kCookieSitesLayout, kSectionKeptCookieSites, ChromiumCookieSites};
const KeepListSpec kFirefoxSitesKeepList{kCookieSitesLayout, kSectionKeptCookieSites, FirefoxCookieSites};

TFrmKeepList::TFrmKeepList(HWND owner, const KeepListSpec& spec)
    : TFrmListPair(owner, spec.layout), section_(spec.section) {
    std::vector<std::string> kept = ReadKeepList(OptionsStore(OptionsFilePath()), section_);
    for (const auto& entry : kept) {
        AddListBoxEntry(RightList(), entry);
    }
    for (const auto& entry : EntriesNotKept(spec.found(), kept)) {
        AddListBoxEntry(LeftList(), entry);
    }
}

void TFrmKeepList::SaveLists() {
    OptionsStore options(OptionsFilePath());
    WriteKeepList(options, section_, ListBoxEntries(RightList()));
}
