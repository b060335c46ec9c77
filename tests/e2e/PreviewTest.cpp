// What an erase would remove, seen before it happens: Quorvale.exe /preview <file> and the Preview
// window of the erase-items dialog.
#include "e2e/EraseRunTestSupport.h"

namespace {

constexpr const char* kRunMRUKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

// Every file and folder below the folder, to the byte: content, write time and attributes.
void AddTreeState(const std::string& folder, std::map<std::string, std::string>& state) {
    for (const FolderEntry& entry : ListFolder(folder + "\\*.*")) {
        const std::string path = folder + "\\" + entry.name;
        WIN32_FILE_ATTRIBUTE_DATA data{};
        EXPECT_TRUE(GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data)) << path;
        std::string line = std::to_string(data.dwFileAttributes) + " " +
                           std::to_string(data.ftLastWriteTime.dwLowDateTime) + ":" +
                           std::to_string(data.ftLastWriteTime.dwHighDateTime) + " ";
        if (entry.IsFolder()) {
            state[path] = line + "folder";
            AddTreeState(path, state);
        } else {
            std::string content;
            EXPECT_TRUE(ReadWholeFile(path, content)) << path;
            state[path] = line + content;
        }
    }
}

std::map<std::string, std::string> RegistryState(const std::string& path) {
    std::map<std::string, std::string> state;
    RegKey key = OpenRegKey(HKEY_CURRENT_USER, path);
    for (const std::string& name : RegValueNames(key.get())) {
        state[name] = GetRegValue(key.get(), name).value_or(RegValue{}).bytes;
    }
    return state;
}

std::string ClipboardText() {
    std::string text;
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_TEXT)) {
            text = static_cast<const char*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    return text;
}

// The text's lines, without their line ends.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

// The entries of a preview file ("  <what>\t<detail>"), each what with its detail.
std::map<std::string, std::string> PreviewEntries(const std::string& text) {
    std::map<std::string, std::string> entries;
    for (const std::string& line : SplitLines(text)) {
        const size_t tab = line.find('\t');
        if (line.rfind("  ", 0) == 0 && tab != std::string::npos) {
            entries[line.substr(2, tab - 2)] = line.substr(tab + 1);
        }
    }
    return entries;
}

class PreviewTest : public EraseRunPluginTest {
protected:
    // The world of the preview: temp files in a sub-folder too, a Firefox profile's cookies, the
    // Run history, the clipboard, and a plug-in's folder; beside them files no item names.
    void MakeWorld() {
        const std::string temp = sandbox_->Temp();
        ASSERT_TRUE(CreateFolder(temp + "\\Sub"));
        WriteFileText(temp + "\\a.tmp", std::string(100, 'a'));
        WriteFileText(temp + "\\Sub\\b.tmp", std::string(2000, 'b'));
        SqliteDatabase db;
        const std::string profile = sandbox_->AppData() + "\\Mozilla\\Firefox\\Profiles\\ab12cd.default";
        MakeFolders(profile);
        ASSERT_EQ(db.Create(profile + "\\cookies.sqlite"), DatabaseOpen::Opened);
        ASSERT_TRUE(db.Exec("CREATE TABLE moz_cookies(id INTEGER PRIMARY KEY, name TEXT, value TEXT, host TEXT,"
                            " path TEXT); INSERT INTO moz_cookies(name, value, host, path) VALUES"
                            " ('sid', '1', 'one.example', '/'), ('t', '2', '.two.example', '/')"));
        db.Close();
        WriteFileText(profile + "\\bookmarks.html", "kept: no item names it");
        FillKey(kRunMRUKey, {"a", "b", "MRUList"});
        PutTextOnClipboard("copied secret");
        ASSERT_TRUE(CreateFolder(PluginDir()));
        ASSERT_TRUE(CreateFolder(sandbox_->AppData() + "\\Other"));
        WriteFileText(sandbox_->AppData() + "\\Other\\one.dat", std::string(300, 'o'));
        WriteFileText(sandbox_->AppData() + "\\Other\\stays.txt", "not a .dat");
        AddPlugin("Other.qv", "Other cleaner", true, "DelFolder=%AppData%\\Other\\*.dat");
    }
    std::map<std::string, std::string> WorldState() const {
        std::map<std::string, std::string> state;
        AddTreeState(sandbox_->Temp(), state);
        AddTreeState(sandbox_->AppData(), state);
        for (const auto& [name, bytes] : RegistryState(kRunMRUKey)) {
            state["HKEY_CURRENT_USER\\" + std::string(kRunMRUKey) + "\\" + name] = bytes;
        }
        state["clipboard"] = ClipboardText();
        return state;
    }
    // Opens the Options dialog from the main window, and the Preview window from it.
    void OpenPreview(HWND& options, HWND& preview) {
        options = OpenWindowFrom(*app_, app_->MainWindow(), "Options", L"TFrmOptions", "Options");
        ASSERT_NE(options, nullptr);
        preview = OpenWindowFrom(*app_, options, "Preview ...", L"TFrmPreview", "Preview");
        ASSERT_NE(preview, nullptr);
    }
    // The Preview window opened from a started copy, at the row of one entry of the world's.
    struct PreviewRow {
        HWND options = nullptr;
        HWND preview = nullptr;
        HWND list = nullptr;
        int row = -1;
    };
    void OpenPreviewAt(const std::string& entry, PreviewRow& at) {
        StartApp();
        ASSERT_NO_FATAL_FAILURE(OpenPreview(at.options, at.preview));
        at.list = GetDlgItem(at.preview, TFrmPreview::IDC_LVW_PREVIEW);
        at.row = WaitForPreviewRow(at.list, entry);
        ASSERT_GE(at.row, 0);
        EXPECT_EQ(RemoteWindowText(GetDlgItem(at.preview, TFrmPreview::IDC_LBL_PREVIEWTOTALS)),
                  "An erase now would end with: " + SummaryLine(3, 3, 2400));
    }
    // The list fills once the finding is done; the row of the entry is then there. Its index, or -1.
    static int WaitForPreviewRow(HWND list, const std::string& entry) {
        int row = -1;
        WaitUntil(
            [&] {
                const int rows = RemoteListViewRowCount(list);
                for (int i = 0; i < rows && row < 0; ++i) {
                    row = RemoteListViewCell(list, i, 0) == "    " + entry ? i : -1;
                }
                return row >= 0;
            },
            30000);
        return row;
    }
    static std::string Options() {
        return OptionsWithOnly(
            {{"Windows", "TempFolder"}, {"Windows", "RunMenu"}, {"Windows", "ClipBoard"}, {"Firefox3", "Cookies"}},
            "SecurityLevel=DoD\r\n");
    }
};

TEST_F(PreviewTest, ListsExactlyWhatTheEraseThenRemovesAndChangesNothingItself) {
    SetUpApp(Options());
    MakeWorld();
    const auto before = WorldState();
    const std::string previewFile = app_->Folder() + "preview.txt";

    ASSERT_EQ(RunToEnd(*app_, {"/preview", previewFile}), 0u);

    EXPECT_EQ(WorldState(), before) << "the preview changed something";
    const std::string text = ReadFileText(previewFile);
    const std::string temp = sandbox_->Temp();
    const std::string profile = sandbox_->AppData() + "\\Mozilla\\Firefox\\Profiles\\ab12cd.default";
    const std::string mru = "HKEY_CURRENT_USER\\" + std::string(kRunMRUKey) + "\\";
    const std::map<std::string, std::string> expected{
        {temp + "\\a.tmp", "100 Bytes"},
        {temp + "\\Sub\\b.tmp", FormatByteSize(2000)},
        {temp + "\\Sub", "folder"},
        {mru + "a", "12 Bytes"}, // "trace" and its NUL, as UTF-16
        {mru + "b", "12 Bytes"},
        {mru + "MRUList", "12 Bytes"},
        {profile + "\\cookies.sqlite", "2 rows"},
        {sandbox_->AppData() + "\\Other\\one.dat", "300 Bytes"},
    };
    EXPECT_EQ(PreviewEntries(text), expected) << text;
    // The group titles are the rows' start lines in run order, then the plug-in's.
    const std::vector<std::string> titles{"Erasing Temptory Files Directory ...", "Erasing Start Menu Run History ...",
                                          "Erasing Contents of ClipBoard ...",
                                          "Erasing Firefox Cookies (version 3 and later) ...", "Other cleaner ..."};
    size_t at = 0;
    for (const std::string& title : titles) {
        at = text.find(title + "\r\n", at);
        EXPECT_NE(at, std::string::npos) << title << " missing or out of order in\n" << text;
    }
    EXPECT_NE(text.find("  Empty the clipboard\r\n"), std::string::npos) << text;
    const std::string totals = "An erase now would end with:\r\n" + SummaryLine(3, 3, 2400) + "\r\n";
    EXPECT_EQ(text.substr(text.size() - std::min(text.size(), totals.size())), totals);

    // The erase then removes exactly the listed set: nothing else below the sandbox changes.
    const std::string log = app_->Folder() + "run.log";
    ASSERT_EQ(RunToEnd(*app_, {"/erase", log}), 0u);
    const auto after = WorldState();
    for (const auto& [what, state] : before) {
        const bool listed = expected.count(what) != 0;
        if (what == "clipboard" || what == profile + "\\cookies.sqlite") {
            continue; // emptied and edited in place, looked at below
        }
        if (listed) {
            EXPECT_EQ(after.count(what), 0u) << what << " was listed but not erased";
        } else if (what != temp && what.rfind(profile, 0) != 0 && what != sandbox_->AppData() + "\\Other") {
            // (folders whose contents changed have new write times)
            EXPECT_EQ(after.count(what) ? after.at(what) : "(gone)", state) << what << " was not listed";
        }
    }
    EXPECT_EQ(ReadFileText(profile + "\\bookmarks.html"), "kept: no item names it");
    EXPECT_EQ(ReadFileText(sandbox_->AppData() + "\\Other\\stays.txt"), "not a .dat");
    EXPECT_EQ(ClipboardText(), "");
    const std::string runLog = ReadFileText(log);
    EXPECT_NE(runLog.find("All tasks finished successfully.\r\n" + SummaryLine(3, 3, 2400)), std::string::npos)
        << "the erase's summary differs from the preview's\n"
        << runLog;
}

TEST_F(PreviewTest, AnEntryMarkedNeverEraseInThePreviewWindowOutlivesTheErase) {
    SetUpApp(Options());
    MakeWorld();
    const std::string kept = sandbox_->Temp() + "\\Sub\\b.tmp";
    PreviewRow at;
    ASSERT_NO_FATAL_FAILURE(OpenPreviewAt(kept, at));
    HWND options = at.options;
    HWND preview = at.preview;
    HWND list = at.list;
    const int row = at.row;
    EXPECT_EQ(RemoteListViewCell(list, row, 1), FormatByteSize(2000));
    RemoteListViewSetSelected(list, row, true);
    ASSERT_TRUE(app_->PressButton(preview, "Never Erase"));
    EXPECT_TRUE(WaitUntil([&] { return RemoteListViewCell(list, row, 1) == "kept (marked Never erase)"; }, 5000));
    // The plug-in's file, by its folder: the plug-in then keeps away from all of it.
    const std::string other = sandbox_->AppData() + "\\Other";
    const int pluginRow = WaitForPreviewRow(list, other + "\\one.dat");
    ASSERT_GE(pluginRow, 0);
    RemoteListViewSetSelected(list, pluginRow, true);
    ASSERT_TRUE(app_->PressButton(preview, "Never Erase Its Folder"));
    EXPECT_TRUE(WaitUntil([&] { return RemoteListViewCell(list, pluginRow, 1) == "kept (marked Never erase)"; }, 5000));
    EXPECT_NE(ReadFileText(app_->OptionsPath()).find("[NeverErase]\r\n0=" + kept + "\r\n1=" + other + "\r\n"),
              std::string::npos)
        << ReadFileText(app_->OptionsPath());
    ASSERT_TRUE(CloseWith(*app_, preview, "Close"));
    ASSERT_TRUE(CloseWith(*app_, options, "Cancel"));

    ASSERT_TRUE(app_->PressButton("Erase"));
    EXPECT_EQ(TakeRunEndBox(*app_), SummaryLine(3, 1, 100) + "\r\n1 entry was not erased: the log lists it.");
    EXPECT_EQ(ReadFileText(kept), std::string(2000, 'b'));
    EXPECT_EQ(ReadFileText(other + "\\one.dat"), std::string(300, 'o'));
    EXPECT_FALSE(FileExists(sandbox_->Temp() + "\\a.tmp"));
}

// The preview follows the dialog as it stands, saved or not: an item and a plug-in unticked there
// are left out, and Cancel then leaves Options.ini and the plug-in file as they were.
TEST_F(PreviewTest, FollowsTheDialogsUnsavedTicks) {
    SetUpApp(Options());
    MakeWorld();
    const std::string optionsBefore = ReadFileText(app_->OptionsPath());
    StartApp();
    HWND options = OpenWindowFrom(*app_, app_->MainWindow(), "Options", L"TFrmOptions", "Options");
    ASSERT_NE(options, nullptr);
    TurnToPage(ControlOf(options, TFrmOptions::IDC_OPTIONS_PAGECONTROL), 1);
    ClickControlAndWait(ControlOf(options, TFrmOptions::IDC_CHK_TMPDIRECTORY));
    TurnToPage(ControlOf(options, TFrmOptions::IDC_OPTIONS_PAGECONTROL), 3);
    HWND plugins = ControlOf(options, TFrmOptions::IDC_LVW_PLUGINS);
    ASSERT_EQ(RemoteListViewRowCount(plugins), 1);
    RemoteListViewSetChecked(plugins, 0, false);
    HWND preview = OpenWindowFrom(*app_, options, "Preview ...", L"TFrmPreview", "Preview");
    ASSERT_NE(preview, nullptr);
    HWND totals = GetDlgItem(preview, TFrmPreview::IDC_LBL_PREVIEWTOTALS);
    ASSERT_TRUE(WaitUntil([&] { return !RemoteWindowText(totals).empty(); }, 30000));

    EXPECT_EQ(RemoteWindowText(totals), "An erase now would end with: " + SummaryLine(3, 0, 0));
    std::vector<std::string> rows;
    for (const auto& row : RemoteListViewRows(GetDlgItem(preview, TFrmPreview::IDC_LVW_PREVIEW), 1)) {
        rows.push_back(row.at(0));
    }
    for (const char* absent : {"Erasing Temptory Files Directory ...", "Other cleaner ..."}) {
        EXPECT_EQ(std::find(rows.begin(), rows.end(), absent), rows.end()) << absent << " is unticked\n"
                                                                           << ::testing::PrintToString(rows);
    }
    EXPECT_NE(std::find(rows.begin(), rows.end(), "Erasing Start Menu Run History ..."), rows.end());
    ASSERT_TRUE(CloseWith(*app_, preview, "Close"));
    ASSERT_TRUE(CloseWith(*app_, options, "Cancel"));
    EXPECT_EQ(ReadFileText(app_->OptionsPath()), optionsBefore);
    EXPECT_NE(ReadFileText(PluginDir() + "Other.qv").find("Selected=1"), std::string::npos);
}

// A cache entry is kept by its file: marked from the preview, both the entry and its file outlive
// the erase, while the other entry goes.
TEST_F(PreviewTest, ACacheEntryMarkedNeverEraseKeepsItsFileThroughTheErase) {
    SetUpApp(OptionsWithOnly({{"IE", "Cache"}}, "SecurityLevel=DoD\r\n"));
    // The helper, started after the sandbox, uses the sandbox's cache as the program will.
    const std::string added = RunAndCapture("\"" + TestProgramFolder() + "QvTestHelper.exe\" cache-entries " +
                                            "http://qv.test/preview 2 500");
    const std::vector<std::string> files = SplitLines(added);
    ASSERT_EQ(files.size(), 2u) << added;
    StartApp();
    HWND options = nullptr;
    HWND preview = nullptr;
    ASSERT_NO_FATAL_FAILURE(OpenPreview(options, preview));
    HWND list = GetDlgItem(preview, TFrmPreview::IDC_LVW_PREVIEW);
    const int row = WaitForPreviewRow(list, "http://qv.test/preview1.htm");
    ASSERT_GE(row, 0);
    EXPECT_EQ(RemoteListViewCell(list, row, 1), "500 Bytes");
    RemoteListViewSetSelected(list, row, true);
    ASSERT_TRUE(app_->PressButton(preview, "Never Erase"));
    EXPECT_TRUE(WaitUntil([&] { return RemoteListViewCell(list, row, 1) == "kept (marked Never erase)"; }, 5000));
    EXPECT_NE(ReadFileText(app_->OptionsPath()).find("[NeverErase]\r\n0=" + files[0] + "\r\n"), std::string::npos)
        << ReadFileText(app_->OptionsPath());
    ASSERT_TRUE(CloseWith(*app_, preview, "Close"));
    ASSERT_TRUE(CloseWith(*app_, options, "Cancel"));

    ASSERT_TRUE(app_->PressButton("Erase"));
    TakeRunEndBox(*app_);
    EXPECT_EQ(ReadFileText(files[0]), std::string(500, 'c'));
    EXPECT_FALSE(FileExists(files[1]));
    const std::vector<std::string> log = app_->LogLines();
    EXPECT_NE(std::find(log.begin(), log.end(), FilesLine(1, 500)), log.end()) << ::testing::PrintToString(log);
}

TEST_F(PreviewTest, ARegistryValueMarkedNeverEraseInThePreviewWindowOutlivesTheErase) {
    SetUpApp(Options());
    MakeWorld();
    const std::string value = "HKEY_CURRENT_USER\\" + std::string(kRunMRUKey) + "\\a";
    PreviewRow at;
    ASSERT_NO_FATAL_FAILURE(OpenPreviewAt(value, at));
    HWND options = at.options;
    HWND preview = at.preview;
    HWND list = at.list;
    const int row = at.row;
    RemoteListViewSetSelected(list, row, true);
    ASSERT_TRUE(app_->PressButton(preview, "Never Erase"));
    EXPECT_TRUE(WaitUntil([&] { return RemoteListViewCell(list, row, 1) == "kept (marked Never erase)"; }, 5000));
    EXPECT_NE(ReadFileText(app_->OptionsPath()).find("[NeverErase]\r\n0=" + value + "\r\n"), std::string::npos)
        << ReadFileText(app_->OptionsPath());
    ASSERT_TRUE(CloseWith(*app_, preview, "Close"));
    ASSERT_TRUE(CloseWith(*app_, options, "Cancel"));

    ASSERT_TRUE(app_->PressButton("Erase"));
    EXPECT_EQ(TakeRunEndBox(*app_), SummaryLine(2, 3, 2400)) << "one registry entry fewer than the preview before";
    const auto values = RegistryState(kRunMRUKey);
    EXPECT_EQ(values.size(), 1u);
    EXPECT_EQ(values.count("a"), 1u) << "the kept value was erased";
}

} // namespace

namespace {

constexpr const char* kExplorerKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";

// Today's Windows keeps the Open/Save dialogs', Explorer's search box's and the Recent documents'
// histories in other keys than Windows XP did: the same items erase them there too, and a preview
// lists each value the erase then removes.
TEST_F(PreviewTest, TodaysWindowsHistoriesArePreviewedValueByValueAndErasedInTheirItemsLines) {
    SetUpApp(OptionsWithOnly(
        {{"Windows", "RecentDoc"}, {"Windows", "SearchMenu"}, {"Windows", "DialogHistory"}, {"Windows", "ClipBoard"}},
        "SecurityLevel=DoD\r\n"));
    const std::string explorer = kExplorerKey;
    const std::map<std::string, std::vector<std::string>> traces = {
        {explorer + "\\ComDlg32\\OpenSavePidlMRU\\txt", {"0", "1", "MRUListEx"}},
        {explorer + "\\ComDlg32\\LastVisitedPidlMRU", {"0", "MRUListEx"}},
        {explorer + "\\ComDlg32\\CIDSizeMRU", {"0"}},
        {explorer + "\\ComDlg32\\FirstFolder", {"0"}},
        {explorer + "\\WordWheelQuery", {"0", "MRUListEx"}},
        {explorer + "\\WordWheelQuery\\1", {"0"}},
        {explorer + "\\RecentDocs", {"0", "1", "MRUListEx"}},
        {explorer + "\\RecentDocs\\.txt", {"0", "MRUListEx"}},
    };
    std::set<std::string> values;
    for (const auto& [key, names] : traces) {
        FillKey(key, names);
        for (const std::string& name : names) {
            values.insert("HKEY_CURRENT_USER\\" + key + "\\" + name);
        }
    }
    WriteFileText(sandbox_->Recent() + "\\notes.txt.lnk", std::string(500, 'l'));
    const std::string previewFile = app_->Folder() + "preview.txt";

    ASSERT_EQ(RunToEnd(*app_, {"/preview", previewFile}), 0u);
    std::set<std::string> previewed;
    for (const auto& [what, detail] : PreviewEntries(ReadFileText(previewFile))) {
        if (what.rfind("HKEY_CURRENT_USER\\" + explorer, 0) == 0) {
            previewed.insert(what);
        }
    }
    EXPECT_EQ(previewed, values);
    EXPECT_EQ(PreviewEntries(ReadFileText(previewFile)).count(sandbox_->Recent() + "\\notes.txt.lnk"), 1u);

    const std::string log = app_->Folder() + "run.log";
    ASSERT_EQ(RunToEnd(*app_, {"/erase", log}), 0u);
    const std::string run = ReadFileText(log);
    for (const std::string& lines :
         {"Erasing Recent Documents History ...\r\n" + FilesLine(1, 500) + "\r\n5 registry entries were erased.\r\n",
          std::string("Erasing Start Menu Search History ...\r\n3 registry entries were erased.\r\n"),
          std::string("Erasing Dialog History ...\r\n7 registry entries were erased.\r\n"),
          std::string("Erasing Contents of ClipBoard ...\r\nThis Windows keeps no clipboard history to clear.\r\n"),
          "All tasks finished successfully.\r\n" + SummaryLine(15, 1, 500) + "\r\n"}) {
        EXPECT_NE(run.find(lines), std::string::npos) << lines << "\nnot in\n" << run;
    }
    for (const auto& [key, names] : traces) {
        RegKey opened = OpenRegKey(HKEY_CURRENT_USER, key);
        ASSERT_TRUE(opened) << key << " stays";
        EXPECT_TRUE(RegValueNames(opened.get()).empty()) << key;
    }
    EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, explorer + "\\ComDlg32\\LastVisitedPidlMRULegacy"))
        << "a missing key is not created";
}

// The traces of today's Windows beside the histories above, every item ticked: the preview lists
// exactly what the erase then removes, and what keeps the user's views and the desktop stays.
TEST_F(PreviewTest, TodaysWindowsTracesArePreviewedAndErasedAndViewsAndTheDesktopStay) {
    SetUpApp(OptionsWithOnly({{"WindowsToday", "TypedPaths"},
                              {"WindowsToday", "UserAssist"},
                              {"WindowsToday", "JumpLists"},
                              {"WindowsToday", "CrashReports"},
                              {"WindowsToday", "PowerShellHistory"},
                              {"WindowsToday", "ThumbnailCache"},
                              {"WindowsToday", "ShellBags"},
                              {"WindowsToday", "DnsCache"},
                              {"Programs", "VlcRecentMedia"}},
                             "SecurityLevel=DoD\r\n"));
    const std::string explorer = kExplorerKey;
    const std::string userAssist = explorer + "\\UserAssist\\{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}";
    const std::string shortcuts = explorer + "\\UserAssist\\{F4E57C4B-2036-45F0-A9AB-443BCFE33D9F}";
    const std::string bagMru = "Software\\Microsoft\\Windows\\Shell\\BagMRU";
    const std::string bags = "Software\\Microsoft\\Windows\\Shell\\Bags";
    const std::string hkcu = "HKEY_CURRENT_USER\\";
    FillKey(explorer + "\\TypedPaths", {"url1", "url2"});
    FillKey(userAssist + "\\Count", {"HRZR_PGYFRFFVBA", "P:\\Jvaqbjf\\abgrcnq.rkr"});
    FillKey(shortcuts + "\\Count", {"HRZR_PGYFRFFVBA", "P:\\Hfref\\cvp.yax"});
    FillKey(explorer + "\\UserAssist\\Settings", {"NoLog"});
    FillKey(bagMru, {"MRUListEx", "1"});
    SetRegDword(OpenRegKey(HKEY_CURRENT_USER, bagMru, KEY_SET_VALUE).get(), "NodeSlot", 1);
    FillKey(bagMru + "\\0", {"MRUListEx"});
    FillKey(bags + "\\1\\Desktop", {"IconLayouts"});
    FillKey(bags + "\\2\\Shell", {"Mode"});
    FillKey(bags + "\\AllFolders\\Shell", {"FolderType"});
    const std::string local = sandbox_->LocalAppData();
    const std::string wer = local + "\\Microsoft\\Windows\\WER";
    const std::string explorerCache = local + "\\Microsoft\\Windows\\Explorer";
    const std::string psReadLine = sandbox_->AppData() + "\\Microsoft\\Windows\\PowerShell\\PSReadLine";
    for (const std::string& folder : {wer + "\\ReportArchive\\AppCrash_notepad.exe_1", wer + "\\ReportQueue",
                                      local + "\\CrashDumps", explorerCache, psReadLine}) {
        MakeFolders(folder);
    }
    const std::map<std::string, size_t> files = {
        {wer + "\\ReportArchive\\AppCrash_notepad.exe_1\\Report.wer", 100},
        {wer + "\\ReportQueue\\Report.wer", 200},
        {local + "\\CrashDumps\\notepad.exe.42.dmp", 300},
        {psReadLine + "\\ConsoleHost_history.txt", 400},
        {explorerCache + "\\thumbcache_256.db", 500},
        {explorerCache + "\\iconcache_16.db", 600},
    };
    for (const auto& [file, size] : files) {
        WriteFileText(file, std::string(size, 't'));
    }
    WriteFileText(explorerCache + "\\ExplorerStartupLog.etl", "stays");
    const std::string vlc = sandbox_->AppData() + "\\vlc\\vlc-qt-interface.ini";
    MakeFolders(FolderOf(vlc));
    WriteFileText(vlc, "[General]\r\nqt-privacy-ask=false\r\n\r\n[RecentsMRL]\r\n"
                       "list=file:///D:/private/a.mkv, \"file:///D:/private/b,c.mp4\"\r\ntimes=0, 0\r\n");
    std::set<std::string> expected = {
        hkcu + explorer + "\\TypedPaths\\url1",
        hkcu + explorer + "\\TypedPaths\\url2",
        hkcu + userAssist + "\\Count\\HRZR_PGYFRFFVBA",
        hkcu + userAssist + "\\Count\\P:\\Jvaqbjf\\abgrcnq.rkr",
        hkcu + shortcuts + "\\Count\\HRZR_PGYFRFFVBA",
        hkcu + shortcuts + "\\Count\\P:\\Hfref\\cvp.yax",
        hkcu + bagMru + "\\MRUListEx",
        hkcu + bagMru + "\\1",
        hkcu + bagMru + "\\0",
        hkcu + bags + "\\2",
        wer + "\\ReportArchive\\AppCrash_notepad.exe_1",
    };
    for (const auto& [file, size] : files) {
        expected.insert(file);
    }
    const std::string previewFile = app_->Folder() + "preview.txt";

    ASSERT_EQ(RunToEnd(*app_, {"/preview", previewFile}), 0u);
    const std::string preview = ReadFileText(previewFile);
    std::set<std::string> previewed;
    for (const auto& [what, detail] : PreviewEntries(preview)) {
        previewed.insert(what);
    }
    EXPECT_EQ(previewed, expected) << preview;
    EXPECT_NE(preview.find("  Flush Windows' DNS cache (the host names this PC looked up)\r\n"), std::string::npos);
    EXPECT_NE(preview.find("  Rewrite " + vlc + " without its recent media list (2 entries)\r\n"), std::string::npos);
    EXPECT_NE(preview.find("An erase now would end with:\r\n" + SummaryLine(10, 6, 2100)), std::string::npos)
        << preview;

    const std::string log = app_->Folder() + "run.log";
    ASSERT_EQ(RunToEnd(*app_, {"/erase", log}), 0u);
    const std::string run = ReadFileText(log);
    for (const std::string& lines :
         {std::string("Erasing Explorer Address Bar History ...\r\n2 registry entries were erased.\r\n"),
          std::string("Erasing Program Launch Counters ...\r\n4 registry entries were erased.\r\n"),
          std::string("Erasing Jump Lists (pinned entries kept) ...\r\nThis Windows keeps no jump lists to clear.\r\n"),
          "Erasing Crash Reports ...\r\n" + FilesLine(3, 600) + "\r\n",
          "Erasing PowerShell Command History ...\r\n" + FilesLine(1, 400) + "\r\n",
          "Erasing Thumbnail and Icon Caches ...\r\n" + FilesLine(2, 1100) + "\r\n",
          std::string("Erasing ShellBags (Folder History) ...\r\n4 registry entries were erased.\r\n"),
          std::string("Erasing Windows DNS Cache ...\r\nWindows' DNS cache was flushed.\r\n"),
          std::string("Erasing VLC Media Player Recent Media ...\r\n2 recent media entries were erased.\r\n"),
          "All tasks finished successfully.\r\n" + SummaryLine(10, 6, 2100) + "\r\n"}) {
        EXPECT_NE(run.find(lines), std::string::npos) << lines << "\nnot in\n" << run;
    }
    for (const auto& [file, size] : files) {
        EXPECT_FALSE(FileExists(file)) << file;
    }
    EXPECT_EQ(ReadFileText(explorerCache + "\\ExplorerStartupLog.etl"), "stays");
    EXPECT_EQ(ReadFileText(vlc), "[General]\r\nqt-privacy-ask=false\r\n\r\n[RecentsMRL]\r\n");
    for (const std::string& folder : {wer + "\\ReportArchive", wer + "\\ReportQueue", local + "\\CrashDumps"}) {
        EXPECT_TRUE(FolderExists(folder)) << folder;
    }
    for (const std::string& key : {explorer + "\\TypedPaths", userAssist + "\\Count", shortcuts + "\\Count"}) {
        EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, key)) << key << " stays";
        EXPECT_TRUE(RegistryState(key).empty()) << key;
    }
    EXPECT_EQ(RegistryState(explorer + "\\UserAssist\\Settings").size(), 1u);
    EXPECT_EQ(RegistryState(bagMru).size(), 1u) << "NodeSlot stays";
    EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, bagMru + "\\0"));
    EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, bags + "\\2"));
    EXPECT_EQ(RegistryState(bags + "\\1\\Desktop").size(), 1u) << "the desktop's icons stay";
    EXPECT_EQ(RegistryState(bags + "\\AllFolders\\Shell").size(), 1u) << "the views of all folders stay";
}

} // namespace
