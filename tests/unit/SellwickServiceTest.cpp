// The form-data service: the SID rule and the erasing itself, then the real SellwickService.exe
// installed by its command line and run by the service control manager, and the form-data item
// that drives it on the NT family.
#include "engine/InternetExplorer.h"
#include "platform/Registry.h"
#include "platform/Security.h"
#include "platform/Services.h"
#include "platform/Text.h"
#include "service/FormDataCleaner.h"
#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

constexpr DWORD kServiceAccess = SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS | SERVICE_QUERY_CONFIG;

std::string ServiceProgram() { return TestProgramFolder() + kSiblingServiceProgram; }

DWORD RunServiceProgram(const std::string& arguments) {
    DWORD exitCode = STILL_ACTIVE;
    EXPECT_TRUE(RunCommandLine("\"" + ServiceProgram() + "\" " + arguments, SW_HIDE, 30000, &exitCode));
    return exitCode;
}

ServiceHandle OpenSibling() {
    ServiceHandle manager = OpenServiceManager(SC_MANAGER_CONNECT);
    return manager ? OpenServiceByName(manager.get(), kSiblingServiceName, kServiceAccess) : ServiceHandle();
}

// The user's form data as a browser leaves it, plus a neighbour that is not form data.
class FormDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        sid_ = CurrentUserSidText().value_or("");
        ASSERT_FALSE(sid_.empty());
        RegKey stored = OpenRegKey(HKEY_LOCAL_MACHINE, kStoredSidKey);
        savedSid_ = stored ? GetRegString(stored.get(), kStoredSidValue) : std::nullopt;
        StoreSid(sid_);
        WriteFormData();
    }
    void TearDown() override {
        if (savedSid_) {
            StoreSid(*savedSid_);
        } else {
            DeleteRegValue(OpenRegKey(HKEY_LOCAL_MACHINE, kStoredSidKey, KEY_WRITE).get(), kStoredSidValue);
        }
        DeleteRegTree(HKEY_USERS, sid_ + "\\Software\\Microsoft\\Protected Storage System Provider");
        DeleteRegTree(HKEY_USERS, sid_ + "\\Software\\Microsoft\\Internet Explorer\\IntelliForms");
    }

    static void StoreSid(const std::string& text) {
        RegKey key = CreateRegKey(HKEY_LOCAL_MACHINE, kStoredSidKey);
        ASSERT_TRUE(key && SetRegString(key.get(), kStoredSidValue, text));
    }

    void WriteFormData() {
        const std::string data = ProtectedStorageFormDataKeyOf(sid_);
        for (const std::string& path : {data + "\\entry1\\deeper", data + "\\entry2"}) {
            RegKey key = CreateRegKey(HKEY_USERS, path);
            ASSERT_TRUE(key && SetRegString(key.get(), "field", "typed text"));
        }
        RegKey storage = CreateRegKey(HKEY_USERS, IntelliFormsStorageKeyOf(sid_));
        ASSERT_TRUE(storage);
        for (const char* name : {"hash1", "hash2", "hash3"}) {
            ASSERT_TRUE(SetRegString(storage.get(), name, "form data"));
        }
        RegKey passwords = CreateRegKey(HKEY_USERS, NeighbourKey());
        ASSERT_TRUE(passwords && SetRegString(passwords.get(), "kept", "not form data"));
    }

    size_t DataEntries() const {
        return RegSubKeyNames(OpenRegKey(HKEY_USERS, ProtectedStorageFormDataKeyOf(sid_)).get()).size();
    }
    size_t StorageValues() const {
        return RegValueNames(OpenRegKey(HKEY_USERS, IntelliFormsStorageKeyOf(sid_)).get()).size();
    }
    bool NeighbourKept() const {
        return GetRegString(OpenRegKey(HKEY_USERS, NeighbourKey()).get(), "kept").has_value();
    }
    std::string NeighbourKey() const { return sid_ + "\\Software\\Microsoft\\Internet Explorer\\IntelliForms\\SPW"; }

    std::string sid_;
    std::optional<std::string> savedSid_;
};

// Each service test starts and ends with the service not installed.
class ServiceTest : public FormDataTest {
protected:
    void SetUp() override {
        FormDataTest::SetUp();
        Uninstall();
    }
    void TearDown() override {
        Uninstall();
        FormDataTest::TearDown();
    }
    static void Uninstall() {
        if (OpenSibling()) {
            EXPECT_EQ(RunServiceProgram("/UNINSTALL /SILENT"), 0u);
        }
        EXPECT_FALSE(OpenSibling());
    }
};

TEST(IsCanonicalSidText, AcceptsOnlyTheCanonicalTextOfAValidSid) {
    const struct {
        const char* text;
        bool canonical;
    } cases[] = {
        {"S-1-5-21-0-0-0-1000", true},
        {"S-1-5-18", true},
        {"S-1-5-21-1004336348-1177238915-682003330-512", true},
        {"", false},
        {"S-1-5", false},
        {"s-1-5-18", false},
        {"S-1-5-018", false},
        {"S-1-5-18 ", false},
        {" S-1-5-18", false},
        {"SY", false},
        {"S-1-5-18\\..\\S-1-5-19", false},
        {"S-1-5-21-0-0-0-1000\\Software", false},
        {"..\\S-1-5-18", false},
        {"not a sid", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsCanonicalSidText(c.text), c.canonical) << "[" << c.text << "]";
    }
}

TEST_F(FormDataTest, ErasingTakesTheDataSubKeysAndTheStorageValuesAndNothingElse) {
    const std::optional<FormDataErased> erased = EraseUserFormData(sid_);
    ASSERT_TRUE(erased);
    EXPECT_EQ(erased->keys, 2);
    EXPECT_EQ(erased->values, 3);
    EXPECT_EQ(DataEntries(), 0u);
    EXPECT_EQ(StorageValues(), 0u);
    EXPECT_TRUE(OpenRegKey(HKEY_USERS, ProtectedStorageFormDataKeyOf(sid_)));
    EXPECT_TRUE(NeighbourKept());
}

TEST_F(FormDataTest, AMalformedSidErasesNothing) {
    for (const std::string& sid : {std::string("S-1-5-21-0-0-0-1000\\.."), std::string("garbage"), std::string()}) {
        EXPECT_FALSE(EraseUserFormData(sid).has_value()) << sid;
    }
    EXPECT_EQ(DataEntries(), 2u);
    EXPECT_EQ(StorageValues(), 3u);
}

TEST_F(ServiceTest, InstallsByItsCommandLineAsADemandStartServiceOfItsOwnAndUninstalls) {
    DWORD exitCode = STILL_ACTIVE;
    ASSERT_TRUE(RunCommandLine(SiblingServiceInstallCommand(TestProgramFolder()), SW_SHOWMINIMIZED, 30000, &exitCode));
    EXPECT_EQ(exitCode, 0u);

    ServiceHandle service = OpenSibling();
    ASSERT_TRUE(service);
    DWORD needed = 0;
    QueryServiceConfigW(service.get(), nullptr, 0, &needed);
    std::vector<unsigned char> buffer(needed);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    ASSERT_TRUE(QueryServiceConfigW(service.get(), config, needed, &needed));
    EXPECT_EQ(config->dwServiceType & ~SERVICE_INTERACTIVE_PROCESS, static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS));
    EXPECT_EQ(config->dwStartType, static_cast<DWORD>(SERVICE_DEMAND_START));
    EXPECT_EQ(Narrow(config->lpBinaryPathName), "\"" + ServiceProgram() + "\"");
    EXPECT_EQ(QueryServiceState(service.get()), SERVICE_STOPPED);
    service.reset();

    EXPECT_EQ(RunServiceProgram("/INSTALL /SILENT"), 0u) << "installing again only renews the settings";
    EXPECT_EQ(RunServiceProgram("/UNINSTALL /SILENT"), 0u);
    EXPECT_FALSE(OpenSibling());
    EXPECT_EQ(RunServiceProgram("/UNINSTALL /SILENT"), static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST));
}

TEST_F(ServiceTest, StartingErasesTheStoredUsersFormDataThenItRunsUntilStopped) {
    ASSERT_EQ(RunServiceProgram("/INSTALL /SILENT"), 0u);
    ServiceHandle service = OpenSibling();
    ASSERT_TRUE(service);

    ASSERT_TRUE(StartServiceWithoutArguments(service.get()));
    EXPECT_EQ(WaitWhileServiceState(service.get(), SERVICE_START_PENDING, 15000), SERVICE_RUNNING);
    EXPECT_EQ(DataEntries(), 0u);
    EXPECT_EQ(StorageValues(), 0u);
    EXPECT_TRUE(NeighbourKept());

    SERVICE_STATUS status;
    ASSERT_TRUE(SendServiceControl(service.get(), SERVICE_CONTROL_STOP, status));
    EXPECT_EQ(WaitWhileServiceState(service.get(), SERVICE_STOP_PENDING, 15000), SERVICE_STOPPED);
}

TEST_F(ServiceTest, FormDataItemOnNtInstallsStartsAndStopsTheServiceWhateverStateItFindsItIn) {
    const struct {
        const char* name;
        bool installed;
        bool running;
    } cases[] = {
        {"not installed", false, false},
        {"installed and stopped", true, false},
        {"left running", true, true},
    };
    for (const auto& c : cases) {
        Uninstall();
        if (c.installed) {
            ASSERT_EQ(RunServiceProgram("/INSTALL /SILENT"), 0u);
        }
        if (c.running) {
            ServiceHandle service = OpenSibling();
            ASSERT_TRUE(service && StartServiceWithoutArguments(service.get()));
            ASSERT_EQ(WaitWhileServiceState(service.get(), SERVICE_START_PENDING, 15000), SERVICE_RUNNING);
        }
        WriteFormData();

        UnseenLog log;
        EraseIEFormData(log, TestProgramFolder());

        EXPECT_EQ(DataEntries(), 0u) << c.name;
        EXPECT_EQ(StorageValues(), 0u) << c.name;
        EXPECT_TRUE(NeighbourKept()) << c.name;
        ServiceHandle service = OpenSibling();
        ASSERT_TRUE(service) << c.name;
        EXPECT_EQ(QueryServiceState(service.get()), SERVICE_STOPPED) << c.name;
    }
}

// The ticks of a thread timer, which only come while the thread lets its messages run.
std::vector<DWORD> timerTicks;
void CALLBACK RecordTimerTick(HWND, UINT, UINT_PTR, DWORD) { timerTicks.push_back(GetTickCount()); }

TEST_F(ServiceTest, FormDataItemLetsWindowMessagesRunWhileItWaitsForTheService) {
    // Not installed: the item waits for the installer, then for the start; each takes a while.
    timerTicks.clear();
    UINT_PTR timer = SetTimer(nullptr, 0, 50, RecordTimerTick);
    ASSERT_NE(timer, 0u);
    const DWORD start = GetTickCount();
    UnseenLog log;
    EraseIEFormData(log, TestProgramFolder());
    const DWORD end = GetTickCount();
    KillTimer(nullptr, timer);

    EXPECT_EQ(DataEntries(), 0u);
    DWORD longestGap = 0;
    DWORD last = start;
    for (DWORD tick : timerTicks) {
        longestGap = std::max(longestGap, tick - last);
        last = tick;
    }
    longestGap = std::max(longestGap, end - last);
    // Nothing else in the item lets messages run: without the waits' pumping no tick comes at all.
    EXPECT_FALSE(timerTicks.empty());
    // Starting a program and a service blocks for a moment, longer on a busy machine, which slows the
    // whole item alike: no stand-still may take a second, or half the item's time where that is more.
    EXPECT_LT(longestGap, std::max<DWORD>(1000u, (end - start) / 2))
        << "the window would stand still that long, of " << end - start << " ms";
}

} // namespace
