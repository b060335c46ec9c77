#include "service/FormDataCleaner.h"

#include "gate/GateActs.h"
#include "platform/Registry.h"
#include "platform/Security.h"
#include "platform/Text.h"

#include <sddl.h>

#include <vector>

namespace {

int64_t DeleteSubKeys(HKEY root, const std::string& path) {
    RegKey key = OpenRegKey(root, path);
    if (!key) {
        return 0;
    }
    const std::vector<std::string> names = RegSubKeyNames(key.get());
    key.reset();
    int64_t deleted = 0;
    for (const std::string& name : names) {
        if (GateDeleteRegTree(root, path + "\\" + name)) {
            ++deleted;
        }
    }
    return deleted;
}

int64_t DeleteValues(HKEY root, const std::string& path) { return GateDeleteAllValues(root, path); }

} // namespace

std::optional<std::string> ReadStoredUserSid() {
    RegKey key = OpenRegKey(HKEY_LOCAL_MACHINE, kStoredSidKey);
    if (!key) {
        return std::nullopt;
    }
    return GetRegString(key.get(), kStoredSidValue);
}

bool IsCanonicalSidText(std::string_view text) {
    if (text.size() < 4 || text.substr(0, 4) != "S-1-") {
        return false;
    }
    PSID sid = nullptr;
    if (!ConvertStringSidToSidW(Widen(text).c_str(), &sid)) {
        return false;
    }
    const std::optional<std::string> canonical = SidToText(sid);
    LocalFree(sid);
    return canonical && *canonical == text;
}

std::string ProtectedStorageFormDataKeyOf(const std::string& sid) {
    return sid + "\\Software\\Microsoft\\Protected Storage System Provider\\" + sid +
           "\\Data\\e161255a-37c3-11d2-bcaa-00c04fd929db\\e161255a-37c3-11d2-bcaa-00c04fd929db";
}

std::string IntelliFormsStorageKeyOf(const std::string& sid) {
    return sid + "\\Software\\Microsoft\\Internet Explorer\\IntelliForms\\Storage1";
}

std::optional<FormDataErased> EraseUserFormData(const std::string& sid) {
    if (!IsCanonicalSidText(sid)) {
        return std::nullopt;
    }
    FormDataErased erased;
    erased.keys = DeleteSubKeys(HKEY_USERS, ProtectedStorageFormDataKeyOf(sid));
    erased.values = DeleteValues(HKEY_USERS, IntelliFormsStorageKeyOf(sid));
    return erased;
}
