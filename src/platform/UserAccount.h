// The account the program runs as.
#pragma once

#include <string>

// GetUserNameW as UTF-8; "" when Windows cannot tell.
std::string CurrentUserName();
