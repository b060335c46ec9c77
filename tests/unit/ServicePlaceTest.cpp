// The form-data service runs as the system, so it is installed only from a place that only the
// administrators and the system can change: the rule on security descriptors built from their text,
// the check of the program and its folder through a reader of descriptors, then real folders whose
// Unix modes Wine turns into descriptors, SellwickService.exe /INSTALL and the form-data item there.
#include "engine/InternetExplorer.h"
#include "engine/RunState.h"
#include "gate/ServicePlace.h"
#include "platform/Registry.h"
#include "platform/Services.h"
#include "platform/Text.h"
#include "support/ChildProcess.h"
#include "support/RecordingLog.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <map>
#include <vector>

namespace {

constexpr const char* kAdminsOnly = "O:BAD:(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

bool ChangeableFromText(const std::string& sddl) {
    LocalMemory descriptor = DescriptorFromText(sddl);
    EXPECT_TRUE(descriptor) << "not a valid descriptor: " << sddl;
    return descriptor && EveryUserMayChange(descriptor.get());
}

TEST(EveryUserMayChange, EachRightToChangeHeldByAGroupOfEveryUserCounts) {
    const char* groups[] = {"BU", "AU", "WD", "IU"};
    const char* rights[] = {"0x2", "0x4", "0x10000", "0x40", "0x40000", "0x80000", "GW", "GA", "FA", "0x1301ff"};
    for (const char* group : groups) {
        for (const char* right : rights) {
            const std::string sddl = std::string("O:BAD:(A;OICI;FA;;;SY)(A;OICI;") + right + ";;;" + group + ")";
            EXPECT_TRUE(ChangeableFromText(sddl)) << sddl;
        }
        // Reading, listing and running, and the attributes and extended attributes, change nothing
        // that the service runs.
        for (const char* right : {"0x1200a9", "GR", "GX", "0x100", "0x10"}) {
            const std::string sddl = std::string("O:BAD:(A;OICI;FA;;;SY)(A;OICI;") + right + ";;;" + group + ")";
            EXPECT_FALSE(ChangeableFromText(sddl)) << sddl;
        }
    }
}

TEST(EveryUserMayChange, OnlyTheGroupsOfEveryUserCount) {
    const struct {
        const char* sddl;
        bool changeable;
        const char* why;
    } cases[] = {
        {kAdminsOnly, false, "administrators and system only, users read"},
        {"O:S-1-5-21-0-0-0-1000D:(A;OICI;FA;;;SY)(A;OICI;FA;;;S-1-5-21-0-0-0-1000)(A;OICI;0x1200a9;;;WD)", false,
         "a folder of mode 755 as Wine describes it"},
        {"O:S-1-5-21-0-0-0-1000D:(A;OICI;FA;;;SY)(A;OICI;FA;;;S-1-5-21-0-0-0-1000)(A;OICI;0x1301ff;;;WD)", true,
         "a folder of mode 777 as Wine describes it"},
        {"O:BAD:(A;;FA;;;SY)(A;;FA;;;S-1-5-21-1-2-3-1001)", false, "one named account, not every user"},
        {"O:BAD:(A;;FA;;;SY)(A;;FA;;;PU)", false, "Power Users is not a group of every user"},
        {"O:BAD:(A;;FA;;;SY)(A;OICIIO;FA;;;BU)", false, "inherit-only: applies to children, not the object"},
        {"O:BAD:(A;;FA;;;SY)(A;OICIIO;FA;;;CO)(A;OICI;0x1200a9;;;AU)", false, "creator owner inherit-only"},
        {"O:BAD:(A;;FA;;;SY)(A;CI;0x4;;;AU)", true, "add a sub-folder, as the root of a system drive gives"},
        {"O:BAD:(A;;FA;;;SY)(A;ID;FA;;;WD)", true, "an inherited ACE applies like any other"},
        {"O:BA", true, "no DACL at all"},
        {"O:BAD:", false, "an empty DACL lets no one in"},
        {"O:BUD:(A;;FA;;;SY)", true, "Users as the owner may change the DACL"},
        {"O:WDD:(A;;FA;;;SY)", true, "Everyone as the owner"},
        {"O:BAD:(D;;FA;;;BU)(A;;FA;;;SY)", false, "a denying ACE grants nothing"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChangeableFromText(c.sddl), c.changeable) << c.why << ": " << c.sddl;
    }
}

// Descriptors that Wine's reading of descriptor texts does not make (it turns NO_ACCESS_CONTROL into
// an empty DACL and refuses object ACEs), built call by call.
struct BuiltDescriptor {
    SECURITY_DESCRIPTOR descriptor{};
    alignas(DWORD) BYTE acl[512]{};
    std::vector<BYTE> sid;

    BuiltDescriptor() { EXPECT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION)); }
    PACL Acl() { return reinterpret_cast<PACL>(acl); }
    // An allowing object ACE with an object type, so that its SID lies after a GUID: its bytes laid
    // out by hand (Wine has no AddAccessAllowedObjectAce).
    void AllowObject(WELL_KNOWN_SID_TYPE who, DWORD mask) {
        DWORD size = SECURITY_MAX_SID_SIZE;
        sid.assign(size, 0);
        ASSERT_TRUE(CreateWellKnownSid(who, nullptr, sid.data(), &size));
        const GUID type = {0xbf967a7f, 0x0de6, 0x11d0, {0xa2, 0x85, 0x00, 0xaa, 0x00, 0x30, 0x49, 0xe2}};
        std::vector<BYTE> ace(offsetof(ACCESS_ALLOWED_OBJECT_ACE, ObjectType) + sizeof(GUID) + size);
        auto* header = reinterpret_cast<ACE_HEADER*>(ace.data());
        header->AceType = ACCESS_ALLOWED_OBJECT_ACE_TYPE;
        header->AceSize = static_cast<WORD>(ace.size());
        auto* object = reinterpret_cast<ACCESS_ALLOWED_OBJECT_ACE*>(ace.data());
        object->Mask = mask;
        object->Flags = ACE_OBJECT_TYPE_PRESENT;
        object->ObjectType = type;
        std::memcpy(ace.data() + offsetof(ACCESS_ALLOWED_OBJECT_ACE, ObjectType) + sizeof(GUID), sid.data(), size);
        ASSERT_TRUE(InitializeAcl(Acl(), sizeof(acl), ACL_REVISION_DS));
        ASSERT_TRUE(AddAce(Acl(), ACL_REVISION_DS, MAXDWORD, ace.data(), static_cast<DWORD>(ace.size())));
        ASSERT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, Acl(), FALSE));
    }
};

TEST(EveryUserMayChange, ANullDaclGivesEveryoneFullAccess) {
    BuiltDescriptor nullDacl;
    ASSERT_TRUE(SetSecurityDescriptorDacl(&nullDacl.descriptor, TRUE, nullptr, FALSE));
    EXPECT_TRUE(EveryUserMayChange(&nullDacl.descriptor));
}

TEST(EveryUserMayChange, AnObjectAceIsReadWithItsSidAfterItsObjectType) {
    BuiltDescriptor users;
    users.AllowObject(WinBuiltinUsersSid, FILE_WRITE_DATA);
    EXPECT_TRUE(EveryUserMayChange(&users.descriptor));

    BuiltDescriptor admins;
    admins.AllowObject(WinBuiltinAdministratorsSid, FILE_WRITE_DATA);
    EXPECT_FALSE(EveryUserMayChange(&admins.descriptor));

    BuiltDescriptor reading;
    reading.AllowObject(WinWorldSid, FILE_READ_DATA);
    EXPECT_FALSE(EveryUserMayChange(&reading.descriptor));
}

// A reader that answers from a table of descriptor texts (or errors) and records what it was asked.
struct TableReader {
    std::map<std::string, std::string> texts;
    std::map<std::string, DWORD> errors;
    std::vector<std::string> asked;

    DescriptorReader Reader() {
        return [this](const std::string& path, LocalMemory& descriptor) -> DWORD {
            asked.push_back(path);
            if (errors.count(path)) {
                return errors[path];
            }
            descriptor = DescriptorFromText(texts.at(path));
            return ERROR_SUCCESS;
        };
    }
};

constexpr const char* kFolder = "C:\\Apps\\Quorvale";
constexpr const char* kProgram = "C:\\Apps\\Quorvale\\SellwickService.exe";
constexpr const char* kUsersWrite = "O:BAD:(A;;FA;;;SY)(A;;FA;;;BA)(A;OICI;0x1301bf;;;BU)";

TEST(RefuseServicePlace, ChecksTheFolderThenTheProgram) {
    TableReader safe{{{kFolder, kAdminsOnly}, {kProgram, kAdminsOnly}}, {}, {}};
    EXPECT_FALSE(RefuseServicePlace(kProgram, safe.Reader()));
    EXPECT_EQ(safe.asked, (std::vector<std::string>{kFolder, kProgram}));

    TableReader openFolder{{{kFolder, kUsersWrite}, {kProgram, kAdminsOnly}}, {}, {}};
    const auto folderRefusal = RefuseServicePlace(kProgram, openFolder.Reader());
    ASSERT_TRUE(folderRefusal);
    EXPECT_EQ(folderRefusal->path, kFolder);
    EXPECT_EQ(folderRefusal->why, kChangeableByUsersText);

    TableReader openProgram{{{kFolder, kAdminsOnly}, {kProgram, kUsersWrite}}, {}, {}};
    const auto programRefusal = RefuseServicePlace(kProgram, openProgram.Reader());
    ASSERT_TRUE(programRefusal);
    EXPECT_EQ(programRefusal->path, kProgram);
    EXPECT_EQ(programRefusal->why, kChangeableByUsersText);
}

TEST(RefuseServicePlace, ADescriptorThatCannotBeReadRefusesExceptOnWindowsWithoutThem) {
    TableReader missing{{{kFolder, kAdminsOnly}}, {{kProgram, ERROR_FILE_NOT_FOUND}}, {}};
    const auto refusal = RefuseServicePlace(kProgram, missing.Reader());
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->path, kProgram);
    EXPECT_EQ(refusal->why, "its security could not be read (error 2)");

    TableReader noDescriptors{{}, {{kFolder, ERROR_CALL_NOT_IMPLEMENTED}, {kProgram, ERROR_CALL_NOT_IMPLEMENTED}}, {}};
    EXPECT_FALSE(RefuseServicePlace(kProgram, noDescriptors.Reader()));
}

TEST(RefuseServicePlace, AProgramAtTheRootOfADriveHasTheRootAsItsFolder) {
    TableReader root{{{"C:\\", kUsersWrite}, {"C:\\SellwickService.exe", kAdminsOnly}}, {}, {}};
    const auto refusal = RefuseServicePlace("C:\\SellwickService.exe", root.Reader());
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->path, "C:\\");
}

// A copy of SellwickService.exe in a folder of its own, whose Unix modes the test sets.
class ServiceFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = scratch_ / "Quorvale";
        MakeFolders(folder_);
        program_ = folder_ + "\\" + kSiblingServiceProgram;
        ASSERT_TRUE(
            CopyFileW(Widen(TestProgramFolder() + kSiblingServiceProgram).c_str(), Widen(program_).c_str(), FALSE));
        ASSERT_FALSE(UnixPathOf(folder_).empty()) << "runs under Wine";
        Uninstall();
    }
    void TearDown() override {
        Chmod("755", folder_);
        Uninstall();
    }

    static void Chmod(const char* mode, const std::string& path) {
        ASSERT_TRUE(RunUnixShell(std::string("chmod ") + mode + " '" + UnixPathOf(path) + "'"));
    }
    static bool Installed() {
        ServiceHandle manager = OpenServiceManager(SC_MANAGER_CONNECT);
        return manager && OpenServiceByName(manager.get(), kSiblingServiceName, SERVICE_QUERY_STATUS);
    }
    static void Uninstall() {
        if (Installed()) {
            RunCommandLine("\"" + TestProgramFolder() + kSiblingServiceProgram + "\" /UNINSTALL /SILENT", SW_HIDE,
                           30000);
        }
        ASSERT_FALSE(Installed());
    }
    DWORD Install() const {
        DWORD exitCode = STILL_ACTIVE;
        EXPECT_TRUE(RunCommandLine("\"" + program_ + "\" /INSTALL /SILENT", SW_HIDE, 30000, &exitCode));
        return exitCode;
    }

    ScratchFolder scratch_;
    std::string folder_;
    std::string program_;
};

TEST_F(ServiceFolderTest, WineDescriptorsOfFoldersAndProgramsFollowTheirUnixModes) {
    Chmod("755", folder_);
    Chmod("644", program_);
    EXPECT_FALSE(RefuseServicePlace(program_));

    Chmod("777", folder_);
    auto refusal = RefuseServicePlace(program_);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->path, folder_);

    Chmod("755", folder_);
    Chmod("666", program_);
    refusal = RefuseServicePlace(program_);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->path, program_);
}

TEST_F(ServiceFolderTest, TheServiceProgramInstallsOnlyFromAFolderOnlyAdministratorsChange) {
    Chmod("777", folder_);
    EXPECT_EQ(Install(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(Installed());

    Chmod("755", folder_);
    EXPECT_EQ(Install(), 0u);
    EXPECT_TRUE(Installed());
}

TEST_F(ServiceFolderTest, TheFormDataItemSaysWhyItDidNotInstallTheServiceFromAFolderUsersCanChange) {
    Chmod("777", folder_);
    NotErasedEntries.clear();
    RecordingLog log;
    EraseIEFormData(log, folder_ + "\\");
    EXPECT_FALSE(Installed());
    const std::string why =
        "the form data service is not installed from " + folder_ + ": users other than administrators can change it";
    EXPECT_EQ(log.lines, (std::vector<std::string>{"Refused: Internet Explorer AutoComplete form data (" + why + ")"}));
    ASSERT_EQ(NotErasedEntries.size(), 1u);
    EXPECT_EQ(NotErasedEntries[0].what, kFormDataWhat);
    EXPECT_EQ(NotErasedEntries[0].why, "refused: " + why);

    Chmod("755", folder_);
    NotErasedEntries.clear();
    RecordingLog quiet;
    EraseIEFormData(quiet, folder_ + "\\");
    EXPECT_TRUE(Installed());
    EXPECT_TRUE(quiet.lines.empty());
    EXPECT_TRUE(NotErasedEntries.empty());
}

TEST_F(ServiceFolderTest, Windows9xKeepsNoDescriptorsSoNothingIsRefused) {
    Chmod("777", folder_);
    const std::string appKey = "Software\\Wine\\AppDefaults\\QvTestHelper.exe";
    {
        RegKey key = CreateRegKey(HKEY_CURRENT_USER, appKey);
        ASSERT_TRUE(key && SetRegString(key.get(), "Version", "win98"));
    }
    ChildProcess asNine("\"" + TestProgramFolder() + "QvTestHelper.exe\" service-place \"" + program_ + "\"");
    const DWORD nineAnswer = asNine.Wait(30000);
    DeleteRegTree(HKEY_CURRENT_USER, appKey);
    ChildProcess asNt("\"" + TestProgramFolder() + "QvTestHelper.exe\" service-place \"" + program_ + "\"");
    EXPECT_EQ(nineAnswer, 0u);
    EXPECT_EQ(asNt.Wait(30000), 1u) << "the same folder is refused on the NT family";
}

} // namespace
