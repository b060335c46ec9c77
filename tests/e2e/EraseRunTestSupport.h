// What the end-to-end tests of the erase run share: the lines a run writes, files and keys to
// erase, the run's closing box, and the fixtures that start Quorvale.exe with every trace location
// of the program pointed at scratch folders and saved keys, plug-ins beside it or not.
#pragma once

#include "driver/ItemOptions.h"
#include "e2e/DialogTestSupport.h"
#include "driver/QuorvaleDriver.h"
#include "engine/FolderWipe.h"
#include "platform/Files.h"
#include "platform/SqliteDatabase.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "settings/PreviewForm.h"
#include "settings/OptionsForm.h"
#include "support/ChildProcess.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <sstream>

constexpr int kEraseButtonId = 101;
constexpr int kOptionsButtonId = 102;
constexpr int kHelpButtonId = 106;
constexpr DWORD kRunTimeoutMs = 120000;

// The lines of one row: start line, what the item left, completion line, empty line.
inline std::vector<std::string> Row(const std::string& start, const std::vector<std::string>& results = {}) {
    std::vector<std::string> lines{start};
    lines.insert(lines.end(), results.begin(), results.end());
    lines.push_back(start + " Completed");
    lines.push_back("");
    return lines;
}

inline std::string FilesLine(int64_t files, int64_t bytes) {
    return std::to_string(files) + " files were erased, " + FormatByteSize(bytes) + " hard disk space was released.";
}

inline std::string SummaryLine(int64_t registry, int64_t files, int64_t bytes) {
    return std::to_string(registry) + " registry entries were erased. " + FilesLine(files, bytes);
}

// Makes count files of size bytes each, all of the letter 'x'.
inline void MakeFiles(const std::string& folder, int count, size_t size) {
    for (int i = 0; i < count; ++i) {
        WriteFileText(folder + "\\file" + std::to_string(i) + ".dat", std::string(size, 'x'));
    }
}

inline int CountFiles(const std::string& folder) {
    int count = 0;
    for (const auto& entry : ListFolder(folder + "\\*.*")) {
        count += entry.IsFolder() ? 0 : 1;
    }
    return count;
}

// The run's closing box: its text, then answered. "" when none came.
inline std::string TakeRunEndBox(QuorvaleApp& app, DWORD timeoutMs = kRunTimeoutMs) {
    HWND box = app.WaitMessageBox("Information", timeoutMs);
    if (!box) {
        return "";
    }
    std::string text = QuorvaleApp::MessageBoxText(box);
    QuorvaleApp::AnswerMessageBox(box);
    WaitUntil([&] { return !IsWindow(box); }, 5000);
    return text;
}

inline bool LastLineCountsFiles(const QuorvaleApp& app, const std::regex& runningLine) {
    std::vector<std::string> lines = app.LogLines();
    std::smatch match;
    return !lines.empty() && std::regex_match(lines.back(), match, runningLine) && std::stoi(match[1].str()) >= 1;
}

inline const std::regex kPluginRunningLine("0 registry entries were erased\\. (\\d+) files were erased, .*");

class EraseRunTest : public ::testing::Test {
protected:
    // Starts the copy and waits for its main window.
    void StartApp() {
        app_->Start();
        ASSERT_NE(app_->WaitMainWindow(), nullptr);
    }
    std::string EraseCaption() const { return RemoteWindowText(app_->MainControl(kEraseButtonId)); }
    // Runs the copy with a switch to its end; its exit code.
    DWORD RunToEnd(QuorvaleApp& app, const std::vector<std::string>& arguments) {
        app.Start(arguments);
        EXPECT_TRUE(app.WaitExit(kRunTimeoutMs)) << "the switch must end the program by itself, no box waiting";
        return app.ExitCode();
    }

    // The Firefox cache of one profile, filled with count files of size bytes.
    std::string FillFirefoxCache(int count, size_t size) const {
        const std::string cache = sandbox_->AppData() + "\\Mozilla\\Firefox\\Profiles\\ab12cd.default\\Cache";
        MakeFolders(cache);
        MakeFiles(cache, count, size);
        return cache;
    }

    void SetUpApp(const std::optional<std::string>& optionsIni) {
        app_ = std::make_unique<QuorvaleApp>(optionsIni);
        sandbox_ = std::make_unique<TraceSandbox>(*app_);
    }
    void TearDown() override {
        if (app_) {
            app_->Kill();
        }
        sandbox_.reset();
        app_.reset();
    }

    std::unique_ptr<QuorvaleApp> app_;
    std::unique_ptr<TraceSandbox> sandbox_;
};

inline void PutTextOnClipboard(const std::string& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::copy(text.c_str(), text.c_str() + text.size() + 1, static_cast<char*>(GlobalLock(memory)));
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
}

inline void FillKey(const std::string& path, const std::vector<std::string>& values) {
    RegKey key = CreateRegKey(HKEY_CURRENT_USER, path);
    ASSERT_TRUE(key) << path;
    for (const auto& value : values) {
        ASSERT_TRUE(SetRegString(key.get(), value, "trace"));
    }
}

class EraseRunPluginTest : public EraseRunTest {
protected:
    std::string PluginDir() const { return app_->Folder() + "Plug-ins\\"; }
    void AddPlugin(const std::string& name, const std::string& description, bool selected,
                   const std::string& method) const {
        WriteFileText(PluginDir() + name, "[Information]\r\nDescription=" + description + "\r\nSelected=" +
                                              (selected ? "1" : "0") + "\r\n[Method]\r\n" + method + "\r\n");
    }
    // A selected plug-in whose one method wipes 60 files of 8,192 bytes under AppData\Slow, slow
    // enough with "Gutmann" to be stopped at work; returns that folder.
    std::string AddSlowPlugin() const {
        EXPECT_TRUE(CreateFolder(PluginDir()));
        const std::string data = sandbox_->AppData() + "\\Slow";
        EXPECT_TRUE(CreateFolder(data));
        MakeFiles(data, 60, 8192);
        AddPlugin("Slow.qv", "Slow cleaner", true, "DelFolder=%AppData%\\Slow\\*.*");
        return data;
    }
    // Starts a run and stops it once the plug-in has erased a file; the run ends with the stop box.
    void StopDuringThePluginStep() {
        ASSERT_TRUE(app_->PressButton("Erase"));
        ASSERT_TRUE(WaitUntil([&] { return LastLineCountsFiles(*app_, kPluginRunningLine); }, kRunTimeoutMs));
        ASSERT_TRUE(app_->PressButton("Stop"));
        EXPECT_EQ(TakeRunEndBox(*app_), "The erasing procedure stops.");
    }
};
