#pragma once

#include <vector>

#include "yk_types.h"

// UTF-8 to UCS-2 as the fonts read text: one- to three-byte sequences decode, a four- to
// six-byte sequence becomes one '?', and a stray continuation byte, 0xFE, 0xFF or a lead byte
// without its continuation bytes becomes '?'. Null stops the text; null text is empty.
std::vector<uint16> yk_utf8_to_ucs2(const char* text);

// The bytes of the first character of `text` as yk_utf8_to_ucs2 counts characters (at most
// six); 0 at the end of the text or for null text.
int32 yk_utf8_char_length(const char* text);
