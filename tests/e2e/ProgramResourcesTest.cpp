// What the shipped programs carry: the version record, the icon in every size Windows asks for,
// and the manifest (visual styles, DPI awareness, no Windows 10 entry), read from the built files;
// the visual styles also seen at work in a running copy.
#include "driver/QuorvaleDriver.h"

#include "platform/Text.h"
#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <commctrl.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <set>

namespace {

std::string BuiltProgram(const char* name) {
    const char* exe = std::getenv("QUORVALE_EXE");
    if (!exe) {
        return {};
    }
    std::string quorvale = WindowsPathOf(exe);
    return quorvale.substr(0, quorvale.find_last_of('\\') + 1) + name;
}

std::string VersionString(const std::string& path, const char* key) {
    std::wstring widePath = Widen(path);
    DWORD size = GetFileVersionInfoSizeW(widePath.c_str(), nullptr);
    std::vector<char> data(size);
    if (size == 0 || !GetFileVersionInfoW(widePath.c_str(), 0, size, data.data())) {
        return "<no version record>";
    }
    wchar_t* value = nullptr;
    UINT length = 0;
    std::wstring query = L"\\StringFileInfo\\040904B0\\" + Widen(key);
    if (!VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || length == 0) {
        return "<no " + std::string(key) + ">";
    }
    return Narrow(std::wstring_view(value, length - 1));
}

struct ResourceImage {
    Module module;
    std::string_view bytes;
};

ResourceImage LoadResourceBytes(const std::string& path, const wchar_t* type) {
    ResourceImage image{Module(LoadLibraryExW(Widen(path).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)), {}};
    HRSRC found = image.module ? FindResourceW(image.module.get(), MAKEINTRESOURCEW(1), type) : nullptr;
    HGLOBAL loaded = found ? LoadResource(image.module.get(), found) : nullptr;
    if (loaded) {
        image.bytes =
            std::string_view(static_cast<const char*>(LockResource(loaded)), SizeofResource(image.module.get(), found));
    }
    return image;
}

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(ProgramResourcesTest, BothProgramsCarryTheProductNameAndVersion) {
    for (const char* name : {"Quorvale.exe", "SellwickService.exe"}) {
        std::string path = BuiltProgram(name);
        ASSERT_FALSE(path.empty()) << "QUORVALE_EXE is not set";
        EXPECT_EQ(VersionString(path, "ProductName"), "Quorvale") << name;
        EXPECT_EQ(VersionString(path, "ProductVersion"), "3.5") << name;
        EXPECT_EQ(VersionString(path, "FileVersion"), "3.5.0.0") << name;
        EXPECT_EQ(VersionString(path, "OriginalFilename"), name);
    }
}

// The machine a program's header names (IMAGE_FILE_MACHINE_I386 or _AMD64); 0 when unreadable.
WORD ProgramMachine(const std::string& windowsPath) {
    std::ifstream file(Widen(windowsPath).c_str(), std::ios::binary);
    IMAGE_DOS_HEADER dos{};
    DWORD signature = 0;
    IMAGE_FILE_HEADER header{};
    if (!file.read(reinterpret_cast<char*>(&dos), sizeof dos) || dos.e_magic != IMAGE_DOS_SIGNATURE ||
        !file.seekg(dos.e_lfanew).read(reinterpret_cast<char*>(&signature), sizeof signature) ||
        signature != IMAGE_NT_SIGNATURE || !file.read(reinterpret_cast<char*>(&header), sizeof header)) {
        return 0;
    }
    return header.Machine;
}

std::string OwnPath() {
    wchar_t path[MAX_PATH];
    return Narrow(std::wstring_view(path, GetModuleFileNameW(nullptr, path, MAX_PATH)));
}

TEST(ProgramResourcesTest, EachBuildSaysWhichWindowsItIsFor) {
    const struct {
        const char* name;
        const char* description;
    } programs[] = {{"Quorvale.exe", "Quorvale privacy eraser"}, {"SellwickService.exe", "Quorvale form-data service"}};
    for (const auto& program : programs) {
        std::string path = BuiltProgram(program.name);
        ASSERT_FALSE(path.empty()) << "QUORVALE_EXE is not set";
        WORD machine = ProgramMachine(path);
        ASSERT_TRUE(machine == IMAGE_FILE_MACHINE_I386 || machine == IMAGE_FILE_MACHINE_AMD64) << path;
        std::string expected = program.description;
        if (machine == IMAGE_FILE_MACHINE_AMD64) {
            expected += " (64-bit)";
        }
        EXPECT_EQ(VersionString(path, "FileDescription"), expected) << program.name;
    }
}

// The driver hands list-view and tab records to the program's own controls through the program's
// memory, so they must be laid out as the program lays them out: the same machine, and pointers
// (and so every field after one) where that machine puts them.
TEST(ProgramResourcesTest, TheDriverLaysOutRemoteRecordsAsTheProgramDoes) {
    WORD program = ProgramMachine(BuiltProgram("Quorvale.exe"));
    ASSERT_EQ(ProgramMachine(OwnPath()), program) << "the driver and Quorvale.exe are built for different machines";
    const bool wide = program == IMAGE_FILE_MACHINE_AMD64;
    EXPECT_EQ(offsetof(LVITEMW, pszText), wide ? 24u : 20u);
    EXPECT_EQ(offsetof(LVITEMW, cchTextMax), wide ? 32u : 24u);
    EXPECT_EQ(offsetof(LVITEMW, lParam), wide ? 40u : 32u);
    EXPECT_EQ(offsetof(LVCOLUMNW, pszText), wide ? 16u : 12u);
    EXPECT_EQ(offsetof(LVCOLUMNW, cchTextMax), wide ? 24u : 16u);
    EXPECT_EQ(offsetof(TCITEMW, pszText), wide ? 16u : 12u);
    EXPECT_EQ(offsetof(TCITEMW, cchTextMax), wide ? 24u : 16u);
}

TEST(ProgramResourcesTest, TheIconComesInEverySizeWindowsAsksFor) {
    std::string path = BuiltProgram("Quorvale.exe");
    ResourceImage group = LoadResourceBytes(path, RT_GROUP_ICON);
    ASSERT_GE(group.bytes.size(), 6u) << "no icon group in " << path;
    WORD count = *reinterpret_cast<const WORD*>(group.bytes.data() + 4);
    ASSERT_EQ(group.bytes.size(), 6 + count * sizeof(IconGroupEntry));
    std::set<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        const auto* entry = reinterpret_cast<const IconGroupEntry*>(group.bytes.data() + 6) + i;
        EXPECT_EQ(entry->bitCount, 32) << "image " << i;
        sizes.insert(entry->width == 0 ? 256 : entry->width);
    }
    // Small icons at 100, 125 and 150 %, large ones up to 200 %, and Explorer's largest view.
    EXPECT_EQ(sizes, (std::set<int>{16, 20, 24, 32, 40, 48, 64, 256}));

    // Each size loads as an image of exactly that size (none is stretched from another).
    Module program(LoadLibraryExW(Widen(path).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    for (int size : sizes) {
        HICON icon = static_cast<HICON>(LoadImageW(program.get(), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour{};
        GetObjectW(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

TEST(ProgramResourcesTest, TheManifestAsksForVisualStylesAndDpiAwarenessWithoutWindows10) {
    ResourceImage manifest = LoadResourceBytes(BuiltProgram("Quorvale.exe"), RT_MANIFEST);
    std::string text(manifest.bytes);
    EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos) << text;
    EXPECT_NE(text.find(">true</dpiAware>"), std::string::npos) << text;
    EXPECT_NE(text.find("{1f676c76-80e1-4239-95bb-83d0f6d0da78}"), std::string::npos) << "Windows 8.1 entry";
    EXPECT_EQ(text.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos) << "Windows 10 entry";
    EXPECT_NE(std::string(LoadResourceBytes(BuiltProgram("SellwickService.exe"), RT_MANIFEST).bytes).find("asInvoker"),
              std::string::npos);
}

// The tests are built for the same processor as the programs they test.
#ifdef _WIN64
constexpr const char* kBuildArchitecture = "amd64";
#else
constexpr const char* kBuildArchitecture = "x86";
#endif

// The first processorArchitecture attribute of a manifest: that of its own assemblyIdentity.
std::string OwnArchitecture(const std::string& manifest) {
    const std::string attribute = "processorArchitecture=\"";
    size_t own = manifest.find("<assemblyIdentity");
    size_t at = manifest.find(attribute, own);
    if (own == std::string::npos || at == std::string::npos || at > manifest.find("/>", own)) {
        return "(none)";
    }
    at += attribute.size();
    return manifest.substr(at, manifest.find('"', at) - at);
}

TEST(ProgramResourcesTest, EachProgramsManifestNamesItsOwnBuildsArchitecture) {
    for (const char* program : {"Quorvale.exe", "SellwickService.exe"}) {
        std::string text(LoadResourceBytes(BuiltProgram(program), RT_MANIFEST).bytes);
        EXPECT_EQ(OwnArchitecture(text), kBuildArchitecture) << program << "\n" << text;
        // The dependency on the common controls stays for any processor.
        EXPECT_EQ(text.find("processorArchitecture=\"x86\"", text.find("<dependency>")), std::string::npos) << program;
    }
}

// The path of a module loaded in another process, "" when it has none of that name.
std::string LoadedModulePath(DWORD processId, const std::wstring& name) {
    KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32FirstW(snapshot.get(), &entry); more; more = Module32NextW(snapshot.get(), &entry)) {
        if (lstrcmpiW(entry.szModule, name.c_str()) == 0) {
            return Narrow(entry.szExePath);
        }
    }
    return {};
}

TEST(ProgramResourcesTest, ARunningCopyUsesCommonControls6) {
    QuorvaleApp app;
    app.Start();
    HWND main = app.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    // The manifest's dependency makes the loader take version 6 from the side-by-side store.
    std::string comctl = AsciiLower(LoadedModulePath(app.ProcessId(), L"comctl32.dll"));
    EXPECT_NE(comctl.find("\\winsxs\\"), std::string::npos) << comctl;
    EXPECT_NE(comctl.find("common-controls"), std::string::npos) << comctl;
    EXPECT_TRUE(app.Close());
}

} // namespace
