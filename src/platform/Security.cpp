#include "platform/Security.h"

#include "platform/Handle.h"

#include <vector>

std::optional<std::string> SidToText(PSID sid) {
    if (!sid || !IsValidSid(sid)) {
        return std::nullopt;
    }
    SetLastError(ERROR_SUCCESS);
    PSID_IDENTIFIER_AUTHORITY authority = GetSidIdentifierAuthority(sid);
    if (!authority || GetLastError() != ERROR_SUCCESS) {
        return std::nullopt;
    }
    const BYTE* v = authority->Value;
    std::string text = "S-1-";
    if (v[0] == 0 && v[1] == 0) {
        unsigned long value = (static_cast<unsigned long>(v[2]) << 24) | (static_cast<unsigned long>(v[3]) << 16) |
                              (static_cast<unsigned long>(v[4]) << 8) | v[5];
        text += std::to_string(value);
    } else {
        static const char digits[] = "0123456789abcdef";
        text += "0x";
        for (int i = 0; i < 6; ++i) {
            text += digits[v[i] >> 4];
            text += digits[v[i] & 15];
        }
    }
    PUCHAR count = GetSidSubAuthorityCount(sid);
    if (!count || GetLastError() != ERROR_SUCCESS) {
        return std::nullopt;
    }
    for (UCHAR i = 0; i < *count; ++i) {
        PDWORD part = GetSidSubAuthority(sid, i);
        if (!part || GetLastError() != ERROR_SUCCESS) {
            return std::nullopt;
        }
        text += "-" + std::to_string(static_cast<unsigned long>(*part));
    }
    return text;
}

std::optional<std::string> CurrentUserSidText() {
    HANDLE rawToken = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_READ | TOKEN_QUERY, &rawToken)) {
        return std::nullopt;
    }
    KernelHandle token(rawToken);
    DWORD size = 0;
    std::vector<BYTE> buffer;
    while (!GetTokenInformation(token.get(), TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()), &size)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= buffer.size()) {
            return std::nullopt;
        }
        buffer.resize(size);
    }
    return SidToText(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid);
}
