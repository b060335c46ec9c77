// Who may change a file or folder, as its security descriptor says: the rule that keeps a program
// run by the system out of places that every user of the computer can change.
#pragma once

#include "platform/Handle.h"

#include <string>

// True when the descriptor lets every user of the computer change the object: an allowing ACE for
// Users, Authenticated Users, Everyone or Interactive with the right to write or append data (add
// a file or a sub-folder), delete it or its children, or change its DACL or owner, directly or
// through GENERIC_WRITE or GENERIC_ALL; or one of those groups as its owner; or no DACL at all,
// which gives everyone full access. An inherit-only ACE does not apply to the object and is not
// counted; denying ACEs are not weighed against allowing ones, so such a mix counts as changeable.
bool EveryUserMayChange(PSECURITY_DESCRIPTOR descriptor);

// Reads the owner and DACL of a file or folder (GetNamedSecurityInfoW). Returns ERROR_SUCCESS with
// the descriptor in `descriptor`, or the Windows error with `descriptor` unchanged
// (ERROR_CALL_NOT_IMPLEMENTED on Windows without security descriptors).
DWORD ReadSecurityDescriptor(const std::string& path, LocalMemory& descriptor);

// A security descriptor from its text (SDDL) form, for rules and tests; an empty one when the text
// is not valid.
LocalMemory DescriptorFromText(const std::string& sddl);
