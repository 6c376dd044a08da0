#pragma once

// YKVectorTextBuffer: the text of a text object and its editing state. The text is UTF-8,
// counted in characters the way the fonts decode it (a malformed byte is one character), so a
// character index always names the same glyph; a character's bytes are never split. The
// selection is the range between the caret and the selection end, whichever is smaller first.

#include <vector>

#include "yk_types.h"

class YKVectorTextBuffer {
public:
    // The buffer grows by this many bytes at a time.
    static constexpr int32 kGrowth = 24;
    // Longer texts are refused (archives) or cut (typing): a text object is a line of text, and
    // every measure and drawing walks the whole of it.
    static constexpr int32 kMaxBytes = 65536;

    // Platform key codes of the editing keys, and the Shift bit of the modifiers.
    enum : uint8 {
        kKeyHome = 0x01,
        kKeyEnd = 0x04,
        kKeyBackspace = 0x08,
        kKeyPageUp = 0x0B,
        kKeyPageDown = 0x0C,
        kKeyLeft = 0x1C,
        kKeyRight = 0x1D,
        kKeyUp = 0x1E,
        kKeyDown = 0x1F,
        kKeyDelete = 0x7F,
    };
    static constexpr uint32 kShift = 1;

    YKVectorTextBuffer();

    // Replaces the text; `size` is the buffer size to keep when it can hold the text. False
    // (and nothing changed) for a text over kMaxBytes.
    bool Load(const char* text, int32 size);

    const char* string() const { return mBuffer.data(); }
    int32 bufferSize() const { return static_cast<int32>(mBuffer.size()); }
    int32 count() const { return mCount; }
    bool empty() const { return mBuffer[0] == 0; }

    // Recounts the characters of the buffer.
    int32 stringLen();
    // The bytes taken by characters from..to-1 (in either order).
    int32 stringLen(int32 from, int32 to) const;
    // The address of character `index` (the terminator past the last one).
    const char* stringAt(int32 index) const;
    // Removes the `n` characters after the caret.
    void stringShift(int32 n);
    // Inserts the first character of `c` at the caret. False when the text is full.
    bool insertChar(const char* c);
    // Inserts every character of `s` at the caret; redraw-from becomes the caret.
    void insertString(const char* s);

    // --- Caret and selection (character indices)
    int32 caret() const { return mCaret; }
    int32 selectionEnd() const { return mSelectionEnd; }
    int32 redrawFrom() const { return mRedrawFrom; }
    // Caret, selection end and redraw-from at `index` (clamped to the text).
    void placeCaret(int32 index);
    void setSelectionEnd(int32 index);
    bool hasSelection() const { return mCaret != mSelectionEnd; }
    int32 selectionStart() const { return mCaret < mSelectionEnd ? mCaret : mSelectionEnd; }
    int32 selectionStop() const { return mCaret < mSelectionEnd ? mSelectionEnd : mCaret; }
    void selectAll();
    // The word around `index`: from after the space before it to the space after it.
    void selectWordAt(int32 index);
    void deleteSelection();
    // The selected characters.
    std::vector<char> selectedText() const;

    // One key of the keyboard (`key` is its UTF-8 bytes; a single control byte for the editing
    // keys). True when the text changed; `redrawFrom` then receives the caret, else -1.
    // `horizontal` picks the arrows that move the caret.
    bool keyStroke(const char* key, uint32 modifiers, bool horizontal, int32& redrawFrom);

    // Bytes of the character starting at `p` (0 at the terminator).
    static int32 CharBytes(const char* p);

private:
    // Inserts the first character of `c` at byte `at`, `used` bytes being in use; both move
    // past it.
    bool insertAt(const char* c, int32& at, int32& used);
    int32 clampIndex(int32 index) const;

    std::vector<char> mBuffer;
    int32 mCount = 0;
    int32 mCaret = 0;
    int32 mRedrawFrom = 0;
    int32 mSelectionEnd = 0;
};
