// The keep lists: what an item found on the left, what every erase run keeps on the right, saved
// one entry per line in a section of Options.ini. One window serves them all: Internet Explorer's
// cookies and typed addresses, and the sites whose cookies today's browsers keep.
#pragma once

#include "settings/ListPairForm.h"

#include <string>
#include <vector>

constexpr const wchar_t* kIECookiesClass = L"TFrmIECookies";
constexpr const wchar_t* kIEAddressBarHistoryClass = L"TFrmIEAddressBarHistory";
constexpr const wchar_t* kCookieSitesClass = L"TFrmCookieSites";
constexpr int IDC_LBX_ALLCOOKIES = TFrmListPair::IDC_LIST_LEFT;
constexpr int IDC_LBX_COOKIESKEEPED = TFrmListPair::IDC_LIST_RIGHT;
constexpr int IDC_LBX_ALLURL = TFrmListPair::IDC_LIST_LEFT;
constexpr int IDC_LBX_URLKEEPED = TFrmListPair::IDC_LIST_RIGHT;

struct KeepListSpec {
    ListPairLayout layout;
    const char* section;
    std::vector<std::string> (*found)(); // what the left list offers, before the kept entries are taken out
};

// The cookie files in Internet Explorer's cache.
extern const KeepListSpec kIECookiesKeepList;
// The addresses typed into Internet Explorer.
extern const KeepListSpec kIEAddressBarKeepList;
// The sites in the cookies of the Chromium browsers, and of Firefox 3 and later; one kept list.
extern const KeepListSpec kChromiumSitesKeepList;
extern const KeepListSpec kFirefoxSitesKeepList;

class TFrmKeepList : public TFrmListPair {
public:
    TFrmKeepList(HWND owner, const KeepListSpec& spec);

protected:
    const char* HelpPage() const override { return "keep_lists.htm"; }
    void SaveLists() override;

private:
    const char* section_;
};
