// How many bytes of text a code of an encoder can hold at its error correction, for telling a
// user by how much a text is too long.
#pragma once

#include "CodewerkExport.h"
#include "encode/EncoderItemBase.h"

// The largest number of UTF-8 bytes the encoder makes a code of: of plain ASCII text, or of text
// with other characters (which also carries a character set designator).
CODEWERK_EXPORT int LargestEncodableBytes(CEncoderItemBase& encoder, bool plainAscii);
