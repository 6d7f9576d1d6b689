// Text of a symbol that names its character sets (ECI), transcoded to UTF-8 by us: zxing-cpp 1.4
// turns some of them into replacement characters (ISO-8859-7's "€", for one).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// bytesECI: the symbology identifier ("]Q2"), then the content with "\NNNNNN" ECI designators
// and doubled backslashes. Nothing when a designator is malformed, a character set unknown, or the
// bytes are not text in their set.
std::optional<std::string> TextFromEciBytes(const std::vector<std::uint8_t>& bytesECI);
