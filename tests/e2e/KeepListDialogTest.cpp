// The cookie and typed-address keep lists, opened from the erase-items dialog of the real
// Quorvale.exe, against WinINet's real URL cache and the user's real typed-address key.
#include "driver/ItemOptions.h"
#include "e2e/DialogTestSupport.h"

#include "engine/InternetExplorer.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "platform/SqliteDatabase.h"
#include "platform/Text.h"
#include "platform/UrlCache.h"
#include "settings/ListPairForm.h"
#include "settings/OptionsForm.h"
#include "settings/KeepListForm.h"
#include "settings/NeverEraseForm.h"
#include "support/Scratch.h"
#include "support/Overrides.h"

#include <wininet.h>

#include <algorithm>

namespace {

// Commits a cookie to the URL cache as a browser would; returns the name of its file.
std::string AddCookie(const std::string& url) {
    char file[MAX_PATH] = {};
    if (!CreateUrlCacheEntryA(url.c_str(), 0, "txt", file, 0)) {
        ADD_FAILURE() << "cannot create a cache entry for " << url << ": error " << GetLastError();
        return {};
    }
    WriteFileText(file, "cookie");
    FILETIME never{};
    if (!CommitUrlCacheEntryA(url.c_str(), file, never, never, COOKIE_CACHE_ENTRY, nullptr, 0, nullptr, nullptr)) {
        ADD_FAILURE() << "cannot commit " << url << ": error " << GetLastError();
    }
    return NameOf(file);
}

// Removes the cookies a test added, whatever happens to the test.
class CookiesAdded {
public:
    ~CookiesAdded() {
        WalkUrlCache([this](const UrlCacheEntry& entry) {
            if (std::find(urls_.begin(), urls_.end(), entry.sourceUrl) != urls_.end()) {
                DeleteUrlCacheEntryOf(entry);
            }
            return true;
        });
    }
    std::string Add(const std::string& url) {
        urls_.push_back(url);
        return AddCookie(url);
    }

private:
    std::vector<std::string> urls_;
};

bool Contains(const std::vector<std::string>& list, const std::string& text) {
    return std::find(list.begin(), list.end(), text) != list.end();
}

std::vector<std::string> Sorted(std::vector<std::string> list) {
    std::sort(list.begin(), list.end(), [](const std::string& a, const std::string& b) {
        return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, Widen(a).c_str(), -1, Widen(b).c_str(), -1) ==
               CSTR_LESS_THAN;
    });
    return list;
}

class KeepListDialogTest : public ::testing::Test {
protected:
    // Starts the program and opens the erase-items dialog.
    HWND OpenOptions(std::optional<std::string> optionsIni) {
        app_ = std::make_unique<QuorvaleApp>(std::move(optionsIni));
        return StartAndOpen(*app_, "Options", kOptionsClass, "Options");
    }

    std::unique_ptr<QuorvaleApp> app_;
};

TEST_F(KeepListDialogTest, KeptCookiesShowOnlyOnTheRightAndACaseDifferentOneOnTheLeft) {
    CookiesAdded cookies;
    const std::string kept = cookies.Add("Cookie:kept@qv-keep.test/");
    const std::string cased = cookies.Add("Cookie:cased@qv-keep.test/");
    const std::string free = cookies.Add("Cookie:free@qv-keep.test/");
    ASSERT_NE(AsciiUpper(cased), cased);
    HWND options = OpenOptions("[IECookies]\r\n0=" + kept + "\r\n1=" + AsciiUpper(cased) + "\r\n2=gone.txt\r\n");
    ASSERT_NE(options, nullptr);

    HWND dialog = OpenWindowByClick(*app_, ControlOf(options, TFrmOptions::IDC_BTN_IECOOKIESOPTION), kIECookiesClass,
                                    "Options of IE Cookies");
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(Enabled(options)) << "the keep list is modal on top of the erase-items dialog";
    std::vector<std::string> all = ListBoxTexts(ControlOf(dialog, IDC_LBX_ALLCOOKIES));
    std::vector<std::string> keeped = ListBoxTexts(ControlOf(dialog, IDC_LBX_COOKIESKEEPED));
    EXPECT_FALSE(Contains(all, kept));
    EXPECT_TRUE(Contains(all, cased));
    EXPECT_TRUE(Contains(all, free));
    EXPECT_EQ(all, Sorted(all));
    EXPECT_EQ(keeped, Sorted({kept, AsciiUpper(cased), "gone.txt"}));

    // Everything moved to the left and saved leaves no keep list at all.
    SelectListBoxTexts(ControlOf(dialog, IDC_LBX_COOKIESKEEPED), keeped);
    ClickControlAndWait(ControlOf(dialog, TFrmListPair::IDC_BTN_DELETE));
    EXPECT_TRUE(ListBoxTexts(ControlOf(dialog, IDC_LBX_COOKIESKEEPED)).empty());
    all = ListBoxTexts(ControlOf(dialog, IDC_LBX_ALLCOOKIES));
    EXPECT_TRUE(Contains(all, kept) && Contains(all, "gone.txt") && Contains(all, AsciiUpper(cased)));
    ASSERT_TRUE(CloseWith(*app_, dialog, "OK"));
    EXPECT_EQ(ReadFileText(app_->OptionsPath()), "");
    EXPECT_TRUE(CloseWith(*app_, options, "Cancel"));
}

TEST_F(KeepListDialogTest, KeepThenCancelSavesTheKeepListButNotTheTick) {
    CookiesAdded cookies;
    const std::string first = cookies.Add("Cookie:first@qv-tick.test/");
    const std::string second = cookies.Add("Cookie:second@qv-tick.test/");
    HWND options = OpenOptions("[IE]\r\nCookies=0\r\n");
    ASSERT_NE(options, nullptr);
    EXPECT_FALSE(Ticked(ControlOf(options, TFrmOptions::IDC_CHK_IECOOKIES)));

    HWND dialog = OpenWindowByClick(*app_, ControlOf(options, TFrmOptions::IDC_BTN_IECOOKIESOPTION), kIECookiesClass,
                                    "Options of IE Cookies");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Ticked(ControlOf(options, TFrmOptions::IDC_CHK_IECOOKIES)))
        << "the box is ticked before the keep list opens";
    EXPECT_TRUE(ListBoxTexts(ControlOf(dialog, IDC_LBX_COOKIESKEEPED)).empty());
    SelectListBoxTexts(ControlOf(dialog, IDC_LBX_ALLCOOKIES), {second, first});
    ClickControlAndWait(ControlOf(dialog, TFrmListPair::IDC_BTN_ADD));
    EXPECT_EQ(ListBoxTexts(ControlOf(dialog, IDC_LBX_COOKIESKEEPED)), Sorted({first, second}));
    ASSERT_TRUE(CloseWith(*app_, dialog, "OK"));
    EXPECT_TRUE(Enabled(options));
    ASSERT_TRUE(CloseWith(*app_, options, "Cancel"));

    std::vector<std::string> sorted = Sorted({first, second});
    EXPECT_EQ(ReadFileText(app_->OptionsPath()),
              "[IE]\r\nCookies=0\r\n[IECookies]\r\n0=" + sorted[0] + "\r\n1=" + sorted[1] + "\r\n");
}

TEST_F(KeepListDialogTest, NeverEraseListsTheSavedPathsAddsFilesRemovesEntriesAndSavesOnOk) {
    ScratchFolder scratch;
    WriteFileText(scratch / "diary.txt", "mine");
    WriteFileText(scratch / "taxes.xls", "mine too");
    const std::string folder = WithoutTrailingBackslash(scratch.Path());
    HWND options = OpenOptions("[NeverErase]\r\n0=C:\\Old\\gone.txt\r\n1=" + scratch / "diary.txt" + "\r\n");
    ASSERT_NE(options, nullptr);

    HWND dialog = OpenWindowByClick(*app_, ControlOf(options, TFrmOptions::IDC_BTN_NEVERERASE), kNeverEraseClass,
                                    kNeverEraseCaption);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(Enabled(options)) << "the list is modal on top of the erase-items dialog";
    HWND list = ControlOf(dialog, TFrmNeverErase::IDC_LBX_NEVERERASE);
    EXPECT_EQ(ListBoxTexts(list), (std::vector<std::string>{"C:\\Old\\gone.txt", scratch / "diary.txt"}));

    SelectListBoxTexts(list, {"C:\\Old\\gone.txt"});
    ClickControlAndWait(ControlOf(dialog, TFrmNeverErase::IDC_BTN_REMOVEKEPT));
    // A file already on the list is not listed twice.
    ClickControl(ControlOf(dialog, TFrmNeverErase::IDC_BTN_ADDFILES));
    HWND open = app_->WaitWindow(L"#32770", "Choose files Quorvale must never erase");
    ASSERT_NE(open, nullptr) << "the open dialog did not appear";
    ASSERT_TRUE(ChooseInOpenDialog(open, folder, {"taxes.xls", "diary.txt"}));
    ASSERT_TRUE(WaitUntil([&] { return ListBoxTexts(list).size() == 2 && !IsWindow(open); }, 10000));
    EXPECT_EQ(ListBoxTexts(list), (std::vector<std::string>{scratch / "diary.txt", scratch / "taxes.xls"}));

    ASSERT_TRUE(CloseWith(*app_, dialog, "OK"));
    EXPECT_TRUE(Enabled(options));
    ASSERT_TRUE(CloseWith(*app_, options, "Cancel"));
    EXPECT_EQ(ReadFileText(app_->OptionsPath()),
              "[NeverErase]\r\n0=" + scratch / "diary.txt" + "\r\n1=" + scratch / "taxes.xls" + "\r\n");
}

struct Layout {
    int control;
    const wchar_t* className;
    const char* caption;
    int width, height;
    const char* leftLabel;
    const char* rightLabel;
};

TEST_F(KeepListDialogTest, BothDialogsHaveTheirCaptionsSizesAndSortedMultiSelectLists) {
    const Layout layouts[] = {
        {TFrmOptions::IDC_BTN_IECOOKIESOPTION, kIECookiesClass, "Options of IE Cookies", 418, 283,
         "All Cookies :", "Cookies to be keeped :"},
        {TFrmOptions::IDC_BTN_TYPEDURLOPTION, kIEAddressBarHistoryClass, "Options of IE Address Bar History", 417, 285,
         "URL List:", "URL List to be keeped:"},
    };
    HWND options = OpenOptions(std::nullopt);
    ASSERT_NE(options, nullptr);
    // Moved away from the main window's centre, so that a list centred on it would show.
    MoveToScreenCorner(options);
    for (const Layout& layout : layouts) {
        HWND dialog = OpenWindowByClick(*app_, ControlOf(options, layout.control), layout.className, layout.caption);
        ASSERT_NE(dialog, nullptr) << layout.caption;
        EXPECT_TRUE(CentredOn(dialog, app_->MainWindow())) << layout.caption;
        EXPECT_FALSE(CentredOn(dialog, options)) << layout.caption;
        SIZE size = DesignClientSize(dialog);
        EXPECT_EQ(size.cx, layout.width) << layout.caption;
        EXPECT_EQ(size.cy, layout.height) << layout.caption;
        EXPECT_EQ(RemoteWindowText(ControlOf(dialog, TFrmListPair::IDC_LBL_LEFT)), layout.leftLabel);
        EXPECT_EQ(RemoteWindowText(ControlOf(dialog, TFrmListPair::IDC_LBL_RIGHT)), layout.rightLabel);
        EXPECT_EQ(RemoteWindowText(ControlOf(dialog, TFrmListPair::IDC_BTN_ADD)), ">>");
        EXPECT_EQ(RemoteWindowText(ControlOf(dialog, TFrmListPair::IDC_BTN_DELETE)), "<<");
        for (int list : {TFrmListPair::IDC_LIST_LEFT, TFrmListPair::IDC_LIST_RIGHT}) {
            HWND control = ControlOf(dialog, list);
            const LONG wanted = LBS_SORT | LBS_EXTENDEDSEL;
            EXPECT_EQ(GetWindowLongW(control, GWL_STYLE) & wanted, wanted) << layout.caption;
            EXPECT_EQ(ListBoxItemHeight(control), MulDiv(16, ScreenDpi(), 96)) << layout.caption;
        }
        ASSERT_TRUE(CloseWith(*app_, dialog, "Cancel"));
    }
    ASSERT_TRUE(CloseWith(*app_, options, "Cancel"));
    EXPECT_FALSE(FileExists(app_->OptionsPath())) << "Cancel in both dialogs and in the erase-items dialog";
}

TEST_F(KeepListDialogTest, SelectedTypedAddressesMoveRightAndOkSavesThemInTheirShownOrder) {
    RegistryTreeRestore typedUrls(HKEY_CURRENT_USER, kTypedUrlsKey);
    DeleteRegTree(HKEY_CURRENT_USER, kTypedUrlsKey);
    {
        RegKey key = CreateRegKey(HKEY_CURRENT_USER, kTypedUrlsKey);
        ASSERT_TRUE(key);
        const std::pair<const char*, const char*> values[] = {{"url1", "http://delta.qv.test/"},
                                                              {"url2", "http://alpha.qv.test/"},
                                                              {"url3", "http://charlie.qv.test/"},
                                                              {"url4", "http://bravo.qv.test/"},
                                                              {"url5", "http://echo.qv.test/"}};
        for (const auto& [name, address] : values) {
            ASSERT_TRUE(SetRegString(key.get(), name, address));
        }
    }
    HWND options = OpenOptions("[IE]\r\nAddressBarHistory=0\r\n[IEAddressBar]\r\n0=http://echo.qv.test/\r\n");
    ASSERT_NE(options, nullptr);
    HWND dialog = OpenWindowByClick(*app_, ControlOf(options, TFrmOptions::IDC_BTN_TYPEDURLOPTION),
                                    kIEAddressBarHistoryClass, "Options of IE Address Bar History");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Ticked(ControlOf(options, TFrmOptions::IDC_CHK_IEADDRESSBAR)));
    HWND all = ControlOf(dialog, IDC_LBX_ALLURL);
    HWND keeped = ControlOf(dialog, IDC_LBX_URLKEEPED);
    EXPECT_EQ(ListBoxTexts(all), (std::vector<std::string>{"http://alpha.qv.test/", "http://bravo.qv.test/",
                                                           "http://charlie.qv.test/", "http://delta.qv.test/"}));
    EXPECT_EQ(ListBoxTexts(keeped), (std::vector<std::string>{"http://echo.qv.test/"}));

    SelectListBoxTexts(all, {"http://delta.qv.test/", "http://alpha.qv.test/", "http://charlie.qv.test/"});
    ClickControlAndWait(ControlOf(dialog, TFrmListPair::IDC_BTN_ADD));
    EXPECT_EQ(ListBoxTexts(all), (std::vector<std::string>{"http://bravo.qv.test/"}));
    EXPECT_EQ(ListBoxTexts(keeped), (std::vector<std::string>{"http://alpha.qv.test/", "http://charlie.qv.test/",
                                                              "http://delta.qv.test/", "http://echo.qv.test/"}));
    ASSERT_TRUE(CloseWith(*app_, dialog, "OK"));
    ASSERT_TRUE(CloseWith(*app_, options, "OK"));

    EXPECT_EQ(SectionOf(*app_, "IEAddressBar"),
              (std::vector<std::string>{"0=http://alpha.qv.test/", "1=http://charlie.qv.test/",
                                        "2=http://delta.qv.test/", "3=http://echo.qv.test/"}));
    EXPECT_TRUE(OptionsStore(app_->OptionsPath()).GetFlag("IE", "AddressBarHistory", false));
    RegKey key = OpenRegKey(HKEY_CURRENT_USER, kTypedUrlsKey);
    ASSERT_TRUE(key);
    EXPECT_EQ(RegValueNames(key.get()).size(), 5u) << "the dialog writes nothing to the registry";
}

} // namespace

TEST_F(KeepListDialogTest, SitesKeptFromTheChromePageKeepTheirCookiesThroughAnErase) {
    app_ = std::make_unique<QuorvaleApp>(OptionsWithOnly({{"Chrome", "Cookies"}}));
    TraceSandbox sandbox(*app_);
    const std::string profile = sandbox.LocalAppData() + "\\Google\\Chrome\\User Data\\Default";
    const std::string cookies = profile + "\\Network\\Cookies";
    for (const std::string& folder : {sandbox.LocalAppData() + "\\Google", sandbox.LocalAppData() + "\\Google\\Chrome",
                                      FolderOf(profile), profile, FolderOf(cookies)}) {
        CreateFolder(folder);
    }
    WriteFileText(profile + "\\Preferences", "{}");
    {
        SqliteDatabase db;
        ASSERT_EQ(db.Create(cookies), DatabaseOpen::Opened);
        ASSERT_TRUE(db.Exec("CREATE TABLE cookies(host_key TEXT NOT NULL, name TEXT NOT NULL, value TEXT NOT NULL);"
                            "INSERT INTO cookies VALUES('.Kept.example', 'sid', 'a'), ('mail.kept.example', 'm', 'b'),"
                            " ('tracker.example', 't', 'c'), ('www.other.example', 'o', 'd');"));
    }
    HWND options = StartAndOpen(*app_, "Options", kOptionsClass, "Options");
    ASSERT_NE(options, nullptr);
    TurnToPage(ControlOf(options, TFrmOptions::IDC_PGC_BROWSER), 4);
    HWND dialog = OpenWindowByClick(*app_, ControlOf(options, TFrmOptions::IDC_BTN_CHROMIUMSITES), kCookieSitesClass,
                                    "Sites Whose Cookies Are Kept");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ListBoxTexts(ControlOf(dialog, TFrmListPair::IDC_LIST_LEFT)),
              Sorted({".kept.example", "mail.kept.example", "tracker.example", "www.other.example"}));
    EXPECT_TRUE(ListBoxTexts(ControlOf(dialog, TFrmListPair::IDC_LIST_RIGHT)).empty());
    SelectListBoxTexts(ControlOf(dialog, TFrmListPair::IDC_LIST_LEFT), {".kept.example"});
    ClickControlAndWait(ControlOf(dialog, TFrmListPair::IDC_BTN_ADD));
    ASSERT_TRUE(CloseWith(*app_, dialog, "OK"));
    ASSERT_TRUE(CloseWith(*app_, options, "OK"));
    EXPECT_NE(ReadFileText(app_->OptionsPath()).find("[CookieSites]\r\n0=.kept.example\r\n"), std::string::npos);

    ASSERT_TRUE(app_->PressButton("Erase"));
    HWND box = app_->WaitMessageBox("Information", 60000);
    ASSERT_NE(box, nullptr);
    QuorvaleApp::AnswerMessageBox(box);
    std::vector<std::string> log = app_->LogLines();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[0], "Erasing Google Chrome Cookies ...");
    EXPECT_EQ(log[2], "2 cookies were erased.");
    EXPECT_EQ(log[3], "Erasing Google Chrome Cookies ... Completed");
    SqliteDatabase db;
    ASSERT_EQ(db.Open(cookies), DatabaseOpen::Opened);
    EXPECT_EQ(db.QueryTexts("SELECT host_key FROM cookies ORDER BY host_key"),
              (std::vector<std::string>{".Kept.example", "mail.kept.example"}))
        << "a kept domain keeps its sub-domains' cookies";
    EXPECT_EQ(db.QueryTexts("PRAGMA integrity_check"), std::vector<std::string>{"ok"});
}
