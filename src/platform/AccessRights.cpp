#include "platform/AccessRights.h"

#include "platform/Security.h"
#include "platform/Text.h"

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <cstring>

namespace {

// Users, Authenticated Users, Everyone, Interactive.
constexpr const char* kEveryUserGroups[] = {"S-1-5-32-545", "S-1-5-11", "S-1-1-0", "S-1-5-4"};

constexpr ACCESS_MASK kChangeRights = FILE_WRITE_DATA | FILE_APPEND_DATA | DELETE | FILE_DELETE_CHILD | WRITE_DAC |
                                      WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

bool IsEveryUserGroup(PSID sid) {
    const std::optional<std::string> text = SidToText(sid);
    return text && std::any_of(std::begin(kEveryUserGroups), std::end(kEveryUserGroups),
                               [&](const char* group) { return *text == group; });
}

// The SID of an allowing ACE, nullptr for any other kind. The object kinds hold their SID after
// the GUIDs their flags say are present.
PSID AllowedSid(const ACE_HEADER* header, ACCESS_MASK& mask) {
    switch (header->AceType) {
    case ACCESS_ALLOWED_ACE_TYPE:
    case ACCESS_ALLOWED_CALLBACK_ACE_TYPE: {
        const auto* ace = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header);
        mask = ace->Mask;
        return const_cast<DWORD*>(&ace->SidStart);
    }
    case ACCESS_ALLOWED_OBJECT_ACE_TYPE:
    case ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE: {
        const auto* ace = reinterpret_cast<const ACCESS_ALLOWED_OBJECT_ACE*>(header);
        mask = ace->Mask;
        const auto* sid = reinterpret_cast<const BYTE*>(&ace->ObjectType);
        if (ace->Flags & ACE_OBJECT_TYPE_PRESENT) {
            sid += sizeof(GUID);
        }
        if (ace->Flags & ACE_INHERITED_OBJECT_TYPE_PRESENT) {
            sid += sizeof(GUID);
        }
        return const_cast<BYTE*>(sid);
    }
    default:
        return nullptr;
    }
}

} // namespace

bool EveryUserMayChange(PSECURITY_DESCRIPTOR descriptor) {
    PSID owner = nullptr;
    BOOL ownerDefaulted = FALSE;
    if (GetSecurityDescriptorOwner(descriptor, &owner, &ownerDefaulted) && owner && IsEveryUserGroup(owner)) {
        return true;
    }
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    if (!GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) || !present || !dacl) {
        return true;
    }
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace)) {
            return true;
        }
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        ACCESS_MASK mask = 0;
        PSID sid = AllowedSid(header, mask);
        if (sid && !(header->AceFlags & INHERIT_ONLY_ACE) && (mask & kChangeRights) && IsEveryUserGroup(sid)) {
            return true;
        }
    }
    return false;
}

DWORD ReadSecurityDescriptor(const std::string& path, LocalMemory& descriptor) {
    PSECURITY_DESCRIPTOR read = nullptr;
    const std::wstring name = Widen(path);
    const DWORD error =
        GetNamedSecurityInfoW(name.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, nullptr, nullptr, &read);
    if (error == ERROR_SUCCESS) {
        descriptor.reset(read);
    }
    return error;
}

LocalMemory DescriptorFromText(const std::string& sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const std::wstring text = Widen(sddl);
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(text.c_str(), SDDL_REVISION_1, &descriptor, nullptr)) {
        return LocalMemory();
    }
    return LocalMemory(descriptor);
}
