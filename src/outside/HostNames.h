// Host names with letters beyond ASCII in the form the name system uses: each such label becomes
// "xn--" and its Punycode (RFC 3492), so the user can see which host an address really names.
#pragma once

#include "CString.h"

#include <string>
#include <string_view>

// The Punycode of the code points; false when the input is too long for the encoder's integers.
bool PunycodeEncode(std::u32string_view input, std::string& output);

// The host name (UTF-8) in ASCII: letters lower case, labels with other letters as "xn--" labels.
// Empty when it is no host name: blanks, control or other disallowed characters, empty or too long
// labels.
CString AsciiHostName(const CString& host);
