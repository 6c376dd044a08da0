#include "yk_utf8.h"

namespace {

bool IsContinuation(uint8 byte) {
    return (byte & 0xC0) == 0x80;
}

}  // namespace

std::vector<uint16> yk_utf8_to_ucs2(const char* text) {
    std::vector<uint16> codes;
    if (text == nullptr) {
        return codes;
    }
    const auto* p = reinterpret_cast<const uint8*>(text);
    while (*p != 0) {
        const uint8 lead = *p;
        int32 trailing = 0;
        if (lead < 0x80) {
            codes.push_back(lead);
            ++p;
            continue;
        }
        if (lead >= 0xC0 && lead <= 0xDF) {
            trailing = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trailing = 2;
        } else if (lead >= 0xF0 && lead <= 0xFD) {
            // Beyond UCS-2: the whole sequence stands for one unknown character.
            trailing = lead >= 0xFC ? 5 : lead >= 0xF8 ? 4 : 3;
            ++p;
            for (int32 i = 0; i < trailing && IsContinuation(*p); ++i) {
                ++p;
            }
            codes.push_back('?');
            continue;
        } else {
            // A stray continuation byte, 0xFE or 0xFF.
            codes.push_back('?');
            ++p;
            continue;
        }
        uint32 code = lead & (trailing == 1 ? 0x1F : 0x0F);
        int32 i = 1;
        for (; i <= trailing && IsContinuation(p[i]); ++i) {
            code = code << 6 | (p[i] & 0x3F);
        }
        if (i <= trailing) {
            // Cut short: the bytes read so far stand for one unknown character; the byte that
            // broke the sequence is read again on its own.
            codes.push_back('?');
            p += i;
            continue;
        }
        codes.push_back(static_cast<uint16>(code));
        p += trailing + 1;
    }
    return codes;
}
