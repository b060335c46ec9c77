// Numbers shown to the user, with the decimal separator of the user's regional settings.
#pragma once

#include <string>

// The value rounded to two decimals, at least one digit before the separator, no thousands
// separator ("0.00" style): 1.5 gives "1.50", 1023.999 gives "1024.00".
std::string FormatTwoDecimals(double value);

// The user's decimal separator ("." when it cannot be read).
std::string UserDecimalSeparator();
