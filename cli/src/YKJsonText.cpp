// JSON string literals.

#include "YKJsonText.h"

#include <cstdio>

#include "yk_types.h"

namespace {

// The length of the well-formed UTF-8 sequence at `text` (overlong forms, surrogates and code
// points past U+10FFFF are not), or 0.
size_t Utf8Length(const unsigned char* text) {
    const unsigned char lead = text[0];
    if (lead < 0xC2 || lead > 0xF4) {
        return 0;
    }
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    const uint32 low = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    uint32 code = lead & (0x7F >> length);
    // A terminating zero fails this test, so nothing past the string is read.
    for (size_t i = 1; i < length; ++i) {
        if ((text[i] & 0xC0) != 0x80) {
            return 0;
        }
        code = code << 6 | (text[i] & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code >= low && code <= 0x10FFFF && !surrogate ? length : 0;
}

}  // namespace

std::string YKJsonQuoted(const char* text) {
    std::string quoted = "\"";
    for (const char* c = text; *c != '\0'; ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        if (byte >= 0x80) {
            const size_t length = Utf8Length(reinterpret_cast<const unsigned char*>(c));
            if (length == 0) {
                quoted += "\\ufffd";
            } else {
                quoted.append(c, length);
                c += length - 1;
            }
            continue;
        }
        switch (byte) {
            case '"':
                quoted += "\\\"";
                break;
            case '\\':
                quoted += "\\\\";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\r':
                quoted += "\\r";
                break;
            case '\t':
                quoted += "\\t";
                break;
            default:
                if (byte < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                    quoted += escaped;
                } else {
                    quoted += *c;
                }
        }
    }
    return quoted + "\"";
}
