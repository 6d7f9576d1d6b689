// The text of a code's bytes when the code does not name their character set: readers guess, and
// guess differently. Both back ends use this one guess, so a code reads the same with either.
#pragma once

#include <string>

namespace decodecommon {

// UTF-8 when the bytes are valid UTF-8; else Shift-JIS when they are valid Shift-JIS and look
// Japanese (a run of kana or kanji, or nothing that reads as Latin-1); else ISO-8859-1.
std::string TextFromUnmarkedBytes(const std::string& bytes);

} // namespace decodecommon
