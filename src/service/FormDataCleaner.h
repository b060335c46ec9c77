// What the form-data service does when it starts: erase the AutoComplete form data of the user
// whose SID Quorvale left in the registry.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Where Quorvale leaves its user's SID: the string value "SID" of this key under HKEY_LOCAL_MACHINE.
constexpr const char* kStoredSidKey = "\\Software\\Quorvale";
constexpr const char* kStoredSidValue = "SID";

// The stored SID text; nullopt when the key or the value is missing.
std::optional<std::string> ReadStoredUserSid();

// True for a SID in its canonical text form ("S-1-5-21-..."), the form that names the user's key
// under HKEY_USERS. Anything else (other spellings, aliases, path separators) is malformed.
bool IsCanonicalSidText(std::string_view text);

// The user's keys below HKEY_USERS\<SID> that hold AutoComplete form data.
std::string ProtectedStorageFormDataKeyOf(const std::string& sid);
std::string IntelliFormsStorageKeyOf(const std::string& sid);

struct FormDataErased {
    int64_t keys = 0;   // sub-keys of the protected storage key, each with everything below it
    int64_t values = 0; // values of the IntelliForms storage key
};

// Erases the user's form data: the sub-keys of the protected storage key and the values of the
// IntelliForms storage key. Keys that are missing (a user whose profile is not loaded) are
// skipped. nullopt, with nothing touched, when the SID is malformed.
std::optional<FormDataErased> EraseUserFormData(const std::string& sid);
