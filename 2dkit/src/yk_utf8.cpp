#include "yk_utf8.h"

namespace {

bool IsContinuation(uint8 byte) {
    return (byte & 0xC0) == 0x80;
}

// Reads the character at `p` into `code`; answers how many bytes it takes (0 at the end).
int32 Decode(const uint8* p, uint16& code) {
    const uint8 lead = *p;
    if (lead == 0) {
        return 0;
    }
    code = '?';
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    int32 trailing = 0;
    if (lead >= 0xC0 && lead <= 0xDF) {
        trailing = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trailing = 2;
    } else if (lead >= 0xF0 && lead <= 0xFD) {
        // Beyond UCS-2: the whole sequence stands for one unknown character.
        trailing = lead >= 0xFC ? 5 : lead >= 0xF8 ? 4 : 3;
        int32 i = 1;
        for (; i <= trailing && IsContinuation(p[i]); ++i) {
        }
        return i;
    } else {
        // A stray continuation byte, 0xFE or 0xFF.
        return 1;
    }
    uint32 value = lead & (trailing == 1 ? 0x1F : 0x0F);
    int32 i = 1;
    for (; i <= trailing && IsContinuation(p[i]); ++i) {
        value = value << 6 | (p[i] & 0x3F);
    }
    if (i <= trailing) {
        // Cut short: the bytes read so far stand for one unknown character; the byte that
        // broke the sequence is read again on its own.
        return i;
    }
    code = static_cast<uint16>(value);
    return trailing + 1;
}

}  // namespace

std::vector<uint16> yk_utf8_to_ucs2(const char* text) {
    std::vector<uint16> codes;
    if (text == nullptr) {
        return codes;
    }
    const auto* p = reinterpret_cast<const uint8*>(text);
    uint16 code = 0;
    for (int32 length = Decode(p, code); length > 0; length = Decode(p, code)) {
        codes.push_back(code);
        p += length;
    }
    return codes;
}

int32 yk_utf8_char_length(const char* text) {
    uint16 code = 0;
    return text != nullptr ? Decode(reinterpret_cast<const uint8*>(text), code) : 0;
}
