#include "YKVectorTextBuffer.h"

#include <algorithm>
#include <cstring>

#include "yk_utf8.h"

YKVectorTextBuffer::YKVectorTextBuffer() : mBuffer(kGrowth, 0) {}

int32 YKVectorTextBuffer::CharBytes(const char* p) {
    // As the fonts decode, so that a character here is a glyph there.
    return yk_utf8_char_length(p);
}

bool YKVectorTextBuffer::Load(const char* text, int32 size) {
    const size_t length = text != nullptr ? std::strlen(text) : 0;
    if (length > static_cast<size_t>(kMaxBytes)) {
        return false;
    }
    const int32 needed = static_cast<int32>(length) + 1;
    const bool keepSize = size >= needed && size <= kMaxBytes + kGrowth;
    mBuffer.assign(static_cast<size_t>(keepSize ? size : std::max(needed, kGrowth)), 0);
    std::memcpy(mBuffer.data(), text != nullptr ? text : "", length);
    stringLen();
    mCaret = mSelectionEnd = mRedrawFrom = 0;
    return true;
}

int32 YKVectorTextBuffer::stringLen() {
    mCount = 0;
    for (const char* p = mBuffer.data(); *p != 0; p += CharBytes(p)) {
        ++mCount;
    }
    return mCount;
}

int32 YKVectorTextBuffer::stringLen(int32 from, int32 to) const {
    if (from > to) {
        std::swap(from, to);
    }
    return static_cast<int32>(stringAt(to) - stringAt(from));
}

const char* YKVectorTextBuffer::stringAt(int32 index) const {
    const char* p = mBuffer.data();
    for (int32 i = 0; i < index && *p != 0; ++i) {
        p += CharBytes(p);
    }
    return p;
}

void YKVectorTextBuffer::stringShift(int32 n) {
    char* at = mBuffer.data() + (stringAt(mCaret) - mBuffer.data());
    const char* from = at;
    for (int32 i = 0; i < n && *from != 0; ++i) {
        from += CharBytes(from);
    }
    std::memmove(at, from, std::strlen(from) + 1);
}

bool YKVectorTextBuffer::insertChar(const char* c) {
    int32 at = static_cast<int32>(stringAt(mCaret) - mBuffer.data());
    int32 used = static_cast<int32>(std::strlen(mBuffer.data()));
    return insertAt(c, at, used);
}

bool YKVectorTextBuffer::insertAt(const char* c, int32& at, int32& used) {
    const int32 bytes = CharBytes(c);
    if (bytes == 0 || used + bytes > kMaxBytes) {
        return false;
    }
    if (used + bytes + 1 > bufferSize()) {
        mBuffer.resize(mBuffer.size() + kGrowth, 0);
    }
    char* gap = mBuffer.data() + at;
    std::memmove(gap + bytes, gap, static_cast<size_t>(used - at + 1));
    std::memcpy(gap, c, static_cast<size_t>(bytes));
    at += bytes;
    used += bytes;
    ++mCount;
    ++mCaret;
    ++mSelectionEnd;
    return true;
}

void YKVectorTextBuffer::insertString(const char* s) {
    mRedrawFrom = mCaret;
    // The caret's offset and the bytes in use are followed along rather than measured again
    // for every character.
    int32 at = static_cast<int32>(stringAt(mCaret) - mBuffer.data());
    int32 used = static_cast<int32>(std::strlen(mBuffer.data()));
    for (const char* p = s; p != nullptr && *p != 0; p += CharBytes(p)) {
        if (!insertAt(p, at, used)) {
            break;
        }
    }
}

// --- Caret and selection ---

int32 YKVectorTextBuffer::clampIndex(int32 index) const {
    return std::clamp(index, 0, mCount);
}

void YKVectorTextBuffer::placeCaret(int32 index) {
    mCaret = mSelectionEnd = mRedrawFrom = clampIndex(index);
}

void YKVectorTextBuffer::setSelectionEnd(int32 index) {
    mSelectionEnd = clampIndex(index);
}

void YKVectorTextBuffer::selectAll() {
    mSelectionEnd = mCount;
    mCaret = mRedrawFrom = 0;
}

void YKVectorTextBuffer::selectWordAt(int32 index) {
    if (mCount == 0) {
        return;
    }
    const int32 i = clampIndex(index);
    placeCaret(i);
    const auto isSpace = [this](int32 at) { return *stringAt(at) == ' '; };
    while (mCaret > 0 && !isSpace(mCaret)) {
        --mCaret;
    }
    if (mCaret < i && isSpace(mCaret)) {
        ++mCaret;
    }
    while (mSelectionEnd < mCount && !isSpace(mSelectionEnd)) {
        ++mSelectionEnd;
    }
    if (mSelectionEnd == i && mSelectionEnd < mCount) {
        ++mSelectionEnd;
    }
}

void YKVectorTextBuffer::deleteSelection() {
    const int32 n = selectionStop() - selectionStart();
    mCaret = mSelectionEnd = selectionStart();
    stringShift(n);
    mCount -= n;
}

std::vector<char> YKVectorTextBuffer::selectedText() const {
    const char* from = stringAt(selectionStart());
    const char* to = stringAt(selectionStop());
    std::vector<char> text(from, to);
    text.push_back(0);
    return text;
}

bool YKVectorTextBuffer::keyStroke(const char* key, uint32 modifiers, bool horizontal,
                                   int32& redrawFrom) {
    redrawFrom = -1;
    if (key == nullptr || key[0] == 0) {
        return false;
    }
    const bool shift = (modifiers & kShift) != 0;
    // Moves the selection end with Shift, else the caret with the selection end on it.
    const auto step = [&](int32 delta) {
        if (shift) {
            mSelectionEnd = clampIndex(mSelectionEnd + delta);
        } else {
            mCaret = mSelectionEnd = clampIndex(mCaret + delta);
        }
    };
    const auto erase = [&](bool backwards) {
        if (hasSelection()) {
            deleteSelection();
        } else if (backwards ? mCaret > 0 : mCaret < mCount) {
            if (backwards) {
                --mCaret;
                --mSelectionEnd;
            }
            stringShift(1);
            --mCount;
        }
        mRedrawFrom = mCaret;
        redrawFrom = mCaret;
        return true;
    };
    const uint8 code = static_cast<uint8>(key[0]);
    if (key[1] == 0) {
        switch (code) {
            case kKeyHome:
                mCaret = 0;
                mSelectionEnd = shift ? mSelectionEnd : 0;
                return false;
            case kKeyEnd:
                mCaret = mCount;
                mSelectionEnd = shift ? mSelectionEnd : mCount;
                return false;
            case kKeyBackspace:
                return erase(true);
            case kKeyPageUp:
                selectAll();
                return false;
            case kKeyPageDown:
                mCaret = mSelectionEnd = mCount;
                return false;
            case kKeyLeft:
            case kKeyRight:
                if (horizontal) {
                    step(code == kKeyLeft ? -1 : 1);
                }
                return false;
            case kKeyUp:
            case kKeyDown:
                if (!horizontal) {
                    step(code == kKeyUp ? -1 : 1);
                }
                return false;
            case kKeyDelete:
                return erase(false);
            default:
                break;
        }
    }
    if (hasSelection()) {
        deleteSelection();
    }
    insertString(key);
    redrawFrom = mCaret;
    return true;
}
