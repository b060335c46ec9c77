// The package's first-run "Options.ini": the early browser items that end the browser and starting
// with Windows switched off, then the boss-key program list, every program left off, each
// entry read back by the boss key's own reader as the class it names; and the classes it gives for
// two programs Wine ships find those programs' real windows.
#include "platform/Processes.h"
#include "platform/Text.h"
#include "store/OptionNames.h"
#include "store/OptionTexts.h"
#include "support/ChildProcess.h"
#include "support/Scratch.h"
#include "unit/PackageTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <set>

namespace {

std::string PackageOptionsPath() { return PackageFolder() + "Options.ini"; }

TEST(PackagedOptions, HoldTheSafeFirstRunSwitchesThenTheBossKeyProgramsAllLeftOff) {
    // The early browser items that end the browser are off, so is starting with Windows; then the
    // boss-key list. Nothing else: every other switch keeps the program's default.
    std::string text = ReadFileText(PackageOptionsPath());
    std::vector<std::string> sections;
    size_t settings = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        std::string line(Trim(text.substr(start, end == std::string::npos ? std::string::npos : end - start)));
        if (!line.empty() && line.front() == '[') {
            sections.push_back(line);
        } else if (!line.empty() && sections.size() < 4) {
            ++settings;
        }
        EXPECT_TRUE(!line.empty() || start == 0 || end == std::string::npos) << "blank line in the file";
        start = end == std::string::npos ? text.size() : end + 1;
    }
    EXPECT_EQ(sections, (std::vector<std::string>{std::string("[") + kSectionFirefox + "]",
                                                  std::string("[") + kSectionNetscape + "]",
                                                  std::string("[") + kSectionMiscellaneous + "]",
                                                  std::string("[") + kSectionBossKeyHiddenPrograms + "]"}));
    EXPECT_EQ(settings, 4u);
    {
        OptionsStore options(PackageOptionsPath());
        EXPECT_FALSE(options.GetFlag(kSectionFirefox, "AutoFormData", true));
        EXPECT_FALSE(options.GetFlag(kSectionFirefox, "History", true));
        EXPECT_FALSE(options.GetFlag(kSectionNetscape, "History", true));
        EXPECT_FALSE(options.GetFlag(kSectionMiscellaneous, kKeySystemStart, true));
    }

    OptionsStore options(PackageOptionsPath());
    const std::vector<std::string> lines = options.GetSectionEntries(kSectionBossKeyHiddenPrograms);
    ASSERT_GE(lines.size(), 10u);
    std::set<std::string> names;
    std::set<std::string> classes;
    for (const auto& line : lines) {
        BossKeyEntry entry = BossKeyEntry::FromLine(line);
        std::string value = options.GetText(kSectionBossKeyHiddenPrograms, entry.displayName, "");
        EXPECT_EQ(value.rfind("0,", 0), 0u) << line;
        EXPECT_FALSE(entry.hide) << line;
        // A "," or "=" in the display name would shift the class the boss key reads.
        EXPECT_EQ(entry.className, value.substr(std::min<size_t>(2, value.size()))) << line;
        EXPECT_FALSE(entry.className.empty()) << line;
        EXPECT_LT(entry.className.size(), 255u) << line;
        EXPECT_EQ(entry.className, std::string(Trim(entry.className))) << line;
        EXPECT_TRUE(names.insert(AsciiUpper(entry.displayName)).second) << "display name twice: " << line;
        // One class under two names would hide both programs when either is chosen.
        EXPECT_TRUE(classes.insert(entry.className).second) << "class twice: " << line;
    }
}

// The class the package gives for a display name; empty when it has none.
std::string PackagedClassOf(const std::string& displayName) {
    for (const BossKeyEntry& entry : ReadBossKeyEntries(OptionsStore(PackageOptionsPath()))) {
        if (entry.displayName == displayName) {
            return entry.className;
        }
    }
    return {};
}

struct WindowSearch {
    std::wstring className;
    std::vector<DWORD> processIds;
    HWND found;
    DWORD owner;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    wchar_t name[256] = {};
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (std::find(search->processIds.begin(), search->processIds.end(), owner) != search->processIds.end() &&
        GetClassNameW(window, name, 256) && search->className == name) {
        search->found = window;
        search->owner = owner;
        return FALSE;
    }
    return TRUE;
}

// The process and the processes it started.
std::vector<DWORD> ProcessAndChildren(DWORD id) {
    std::vector<DWORD> ids{id};
    KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ParentProcessID == id) {
            ids.push_back(entry.th32ProcessID);
        }
    }
    return ids;
}

// A top-level window of the class, owned by the process or one it started, within ten seconds.
WindowSearch WaitForWindowOfClass(const std::string& className, DWORD processId) {
    WindowSearch search{Widen(className), {}, nullptr, 0};
    for (int i = 0; i < 200 && !search.found; ++i, Sleep(50)) {
        search.processIds = ProcessAndChildren(processId);
        EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&search));
    }
    return search;
}

TEST(PackagedOptions, ClassesOfNotepadAndRegistryEditorFindTheirWindows) {
    const struct {
        const char* displayName;
        const char* program;
    } programs[] = {{"Notepad", "notepad.exe"}, {"Registry Editor", "regedit.exe"}};
    for (const auto& p : programs) {
        std::string className = PackagedClassOf(p.displayName);
        ASSERT_FALSE(className.empty()) << p.displayName;
        ChildProcess program(p.program);
        WindowSearch search = WaitForWindowOfClass(className, program.Id());
        EXPECT_TRUE(search.found) << p.displayName << ": no window of class " << className;
        // A 32-bit Registry Editor on 64-bit Windows starts the 64-bit one; that one ends here too.
        if (search.found && search.owner != program.Id()) {
            EXPECT_TRUE(TerminateProcessById(search.owner, 1));
        }
    }
}

} // namespace
