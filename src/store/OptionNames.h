// Section and key names of "Options.ini".
#pragma once

constexpr const char* kSectionIE = "IE";
constexpr const char* kSectionFirefox = "Firefox";
constexpr const char* kSectionNetscape = "Netscape";
constexpr const char* kSectionOpera = "OPera";
constexpr const char* kSectionWindows = "Windows";
constexpr const char* kSectionMiscellaneous = "Miscellaneous";
constexpr const char* kSectionIECookies = "IECookies";
constexpr const char* kSectionIEAddressBar = "IEAddressBar";
constexpr const char* kSectionBossKeyHiddenPrograms = "BossKeyHiddenPrograms";
// Today's browsers: the Chromium family, and Firefox from version 3 on (its databases and every
// profile, beside the [Firefox] items of the early files).
constexpr const char* kSectionChrome = "Chrome";
constexpr const char* kSectionEdge = "Edge";
constexpr const char* kSectionBrave = "Brave";
constexpr const char* kSectionVivaldi = "Vivaldi";
constexpr const char* kSectionFirefoxProfiles = "Firefox3";
// The traces of Windows Vista to 11 beside those of [Windows].
constexpr const char* kSectionWindowsToday = "WindowsToday";
// Other programs' own histories.
constexpr const char* kSectionPrograms = "Programs";
// The sites whose cookies the items of today's browsers keep, one per line.
constexpr const char* kSectionKeptCookieSites = "CookieSites";
// The files and folders no erase run, plug-in or shredding ever touches, one full path per line.
constexpr const char* kSectionNeverErase = "NeverErase";

// Keys of [Miscellaneous].
constexpr const char* kKeySystemStart = "SystemStart";
constexpr const char* kKeyStealthMode = "StealthMode";
constexpr const char* kKeyStealthKey = "StealthKey";
constexpr const char* kKeyEnableBosskey = "EnableBosskey";
constexpr const char* kKeyBossKey = "BossKey";
constexpr const char* kKeySecurityLevel = "SecurityLevel";
constexpr const char* kKeyRandomRepeatedTime = "RandomRepeatedTime";
constexpr const char* kKeySystemStartErase = "SystemStartErase";
constexpr const char* kKeySystemShutdownErase = "SystemShutdownErase";
constexpr const char* kKeyBrowserCloseErase = "BrowserCloseErase";
constexpr const char* kKeyCustomIntervalErase = "CustomIntervalErase";
constexpr const char* kKeyCustomInterval = "CustomInterval";
constexpr const char* kKeySystemShutdownOption = "SystemShutdownOption";

constexpr const char* kDefaultBossKey = "Ctrl+Alt+B";
constexpr const char* kDefaultStealthKey = "Ctrl+Alt+S";
// The wipe method when SecurityLevel is missing.
constexpr const char* kDefaultSecurityLevel = "DoD";
// The random pass count when RandomRepeatedTime is missing. The two differ on purpose: the erase
// run (and the Miscellaneous dialog that shows its setting) takes 2 passes, the File Shredder 3.
constexpr int kDefaultRunPasses = 2;
constexpr int kDefaultShredderPasses = 3;
// The after-erase action when SystemShutdownOption is missing: show Windows' shut-down dialog.
constexpr const char* kDefaultShutdownOption = "ShowWindow";
