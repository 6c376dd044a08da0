// The text at a point: the editing keys, the buffer, attributes, measures and rendering.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "TextObjectSupport.h"
#include "VectorTestSupport.h"
#include "YKEnvelopKinds.h"
#include "YKEnvelopManager.h"
#include "YKFontData.h"
#include "yk_utf8.h"

namespace {

using Point = YKPoint<double>;
using Buffer = YKVectorTextBuffer;

struct Key {
    YKVectorText& text;
    int32 redrawFrom = 0;
    bool operator()(const char* key, uint32 modifiers = 0) {
        return text.keyStroke(key, modifiers, redrawFrom);
    }
    bool operator()(uint8 code, uint32 modifiers = 0) {
        const char key[2] = {static_cast<char>(code), 0};
        return (*this)(key, modifiers);
    }
};

class TextObjectTest : public ::testing::Test {
protected:
    YKEnvelopManager manager;
};

TEST_F(TextObjectTest, KeysEditLikeATextField) {
    YKVectorText text({20, 40}, 3, &manager);
    YKVectorAttributes a;
    text.getAttributes(&a);
    a.fontDescription = TextTestFont();
    text.setAttributes(&a);
    text.beginEdit(nullptr);
    Key key{text};
    const double emptyWidth = text.textBox().right - text.textBox().left;
    EXPECT_TRUE(key("W"));
    EXPECT_EQ(key.redrawFrom, 1);
    EXPECT_STREQ(text.string(), "W");
    EXPECT_GT(text.textBox().right - text.textBox().left, emptyWidth + 5) << "grew to the glyph";

    // Backspace at 0 deletes nothing but is a change; moves are not.
    EXPECT_FALSE(key(Buffer::kKeyHome));
    EXPECT_EQ(key.redrawFrom, -1);
    EXPECT_TRUE(key(Buffer::kKeyBackspace));
    EXPECT_EQ(key.redrawFrom, 0);
    EXPECT_STREQ(text.string(), "W");
    for (uint8 code : {Buffer::kKeyEnd, Buffer::kKeyPageUp, Buffer::kKeyPageDown, Buffer::kKeyLeft,
                       Buffer::kKeyRight}) {
        EXPECT_FALSE(key(code)) << int(code);
        EXPECT_EQ(key.redrawFrom, -1);
    }

    // Shift+Left selects backwards; typing replaces the selection.
    key("ord");
    EXPECT_STREQ(text.string(), "Word");
    key(Buffer::kKeyLeft, Buffer::kShift);
    key(Buffer::kKeyLeft, Buffer::kShift);
    EXPECT_TRUE(key("k"));
    EXPECT_STREQ(text.string(), "Wok");
    EXPECT_EQ(text.textBuffer().caret(), 3);

    // Home with Shift moves only the caret; Delete then takes the selection.
    key(Buffer::kKeyHome, Buffer::kShift);
    EXPECT_EQ(text.textBuffer().caret(), 0);
    EXPECT_EQ(text.textBuffer().selectionEnd(), 3);
    key(Buffer::kKeyRight);
    key(Buffer::kKeyRight, Buffer::kShift);
    EXPECT_TRUE(key(Buffer::kKeyDelete));
    EXPECT_STREQ(text.string(), "Wk");
    EXPECT_EQ(key.redrawFrom, 1);
    EXPECT_EQ(text.endTextEdit(), &text);
}

TEST_F(TextObjectTest, ArrowsFollowTheWritingDirection) {
    for (bool horizontal : {true, false}) {
        auto text = TypedText(&manager, {30, 30}, "abc", horizontal);
        Key key{*text};
        key(Buffer::kKeyEnd);
        key(horizontal ? Buffer::kKeyUp : Buffer::kKeyLeft);
        EXPECT_EQ(text->textBuffer().caret(), 3) << horizontal;
        key(horizontal ? Buffer::kKeyLeft : Buffer::kKeyUp);
        EXPECT_EQ(text->textBuffer().caret(), 2) << horizontal;
        key(horizontal ? Buffer::kKeyRight : Buffer::kKeyDown);
        key(horizontal ? Buffer::kKeyRight : Buffer::kKeyDown);
        EXPECT_EQ(text->textBuffer().caret(), 3) << "never past the end";
    }
}

TEST_F(TextObjectTest, BufferGrowsBy24AndNeverSplitsACharacter) {
    auto text = TypedText(&manager, {10, 40}, "");
    Key key{*text};
    // Two-, three- and four-byte characters, typed whole.
    const char* pieces[] = {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"};
    for (int32 i = 0; i < 12; ++i) {
        key(pieces[i % 3]);
    }
    EXPECT_EQ(text->textBuffer().count(), 12);
    EXPECT_EQ(std::strlen(text->string()), 36u);
    EXPECT_EQ(text->textBuffer().bufferSize(), 48) << "24, then one step";
    key(Buffer::kKeyLeft);
    key(Buffer::kKeyBackspace);  // the 11th character, a three-byte one
    key(Buffer::kKeyLeft, Buffer::kShift);
    key("x");  // replaces the two-byte 10th
    EXPECT_EQ(text->textBuffer().count(), 11);
    EXPECT_EQ(std::strlen(text->string()), 32u);
    EXPECT_EQ(yk_utf8_to_ucs2(text->string()).size(), 11u) << "still whole characters";
    EXPECT_EQ(text->stringLen(9, 11), 5) << "'x' and the last four-byte character";

    // A malformed byte counts as the fonts count it: one character.
    auto broken = TypedText(&manager, {10, 40}, "a\xE2z\x80");
    EXPECT_EQ(broken->textBuffer().count(),
              static_cast<int32>(yk_utf8_to_ucs2(broken->string()).size()));

    // The text stops growing at its limit, on a character boundary.
    Buffer buffer;
    const std::string big(Buffer::kMaxBytes - 2, 'a');
    buffer.insertString(big.c_str());
    EXPECT_FALSE(buffer.insertChar("\xE2\x82\xAC"));
    buffer.insertString("\xC3\xA9\xC3\xA9");
    EXPECT_EQ(std::strlen(buffer.string()), static_cast<size_t>(Buffer::kMaxBytes));
    EXPECT_EQ(buffer.count(), Buffer::kMaxBytes - 1);
}

TEST_F(TextObjectTest, AttributesNeedAFontDescription) {
    auto text = TypedText(&manager, {10, 40}, "Size");
    YKVectorAttributes a;
    text->getAttributes(&a);
    EXPECT_EQ(a.fontDescription, TextTestFont());
    EXPECT_EQ(a.textSizeH, 24);
    a.textSizeH = 60;
    a.fontDescription.clear();
    text->setAttributes(&a);
    text->getAttributes(&a);
    EXPECT_EQ(a.textSizeH, 24) << "an empty font description changes nothing";

    // The single-attribute setters of the panels reach the text's own look.
    text->setFillAndColor({10, 20, 30, 255}, kColorFlagColor, nullptr, 0, false, nullptr);
    text->setStrokeAndColor({40, 50, 60, 255}, kColorFlagColor, nullptr, 0, false, "Default");
    text->setWidth(3);
    text->getAttributes(&a);
    EXPECT_EQ(a.fillColor, (yk_color{10, 20, 30, 255}));
    EXPECT_EQ(a.strokeColorFlag, kColorFlagColor);
    EXPECT_EQ(a.strokeColor, (yk_color{40, 50, 60, 255}));
    EXPECT_EQ(a.width, 3);

    // A font chosen while empty is reported, and used once there are characters.
    YKVectorText empty({0, 0}, 4, &manager);
    a.fontDescription = yk_fallback_font_path() + " Chosen Font";
    empty.setAttributes(&a);
    YKVectorAttributes b;
    empty.getAttributes(&b);
    EXPECT_EQ(b.fontDescription, a.fontDescription);
    ASSERT_NE(empty.font(), nullptr);
    EXPECT_EQ(empty.font()->Description(), YKVectorText::PlaceholderFont());
    empty.setString("x");
    empty.rawSetFont();
    EXPECT_EQ(empty.font()->Description(), a.fontDescription);

    // The placeholder names no file here: it still draws, in the fallback face.
    a.fontDescription = YKVectorText::kPlaceholderFont;
    empty.setAttributes(&a);
    EXPECT_EQ(empty.font()->Description(), YKVectorText::kPlaceholderFont);
    EXPECT_GT(CoveredPixels(RenderEntity(empty, {-10, -40, 50, 20})), 20);
}

TEST_F(TextObjectTest, BoxAndBoundsFollowTheDirection) {
    auto across = TypedText(&manager, {20, 50}, "Hello");
    YKRect<double> box;
    across->getBox(&box);
    EXPECT_EQ(box.left, 20);
    EXPECT_LT(box.top, 50);
    EXPECT_GT(box.bottom, 50);
    EXPECT_GT(box.Width(), 2 * box.Height()) << "a word is longer than high";

    auto down = TypedText(&manager, {20, 50}, "Hello", false);
    down->getBox(&box);
    EXPECT_EQ(box.top, 50);
    EXPECT_GT(box.Height(), 2 * box.Width());
    YKRect<double> bounds;
    down->getBounds(&bounds);
    EXPECT_GT(bounds.Height(), 2 * bounds.Width());
    EXPECT_GT(bounds.bottom, 50 + 3 * 24 * 96 / 72 * 0.5) << "five glyphs down the page";

    // Hit tests and knobs work on the box of a text without segments.
    EXPECT_EQ(across->selectAtTol({40, 45}, 2, false), 3);
    EXPECT_EQ(across->knobList().size(), 4u);
    EXPECT_EQ(across->rawHitAtTol({400, 45}, 2), 0);

    // Dragging a knob scales the sizes about the opposite knob.
    const Point corner = across->knobList()[2];
    const Point opposite = across->knobList()[0];
    ASSERT_EQ(across->selectAtTol(corner, 2, false), 4);
    across->beginModification_atPoint_withTol(YKVectorEntity::kModeDragging, corner, 2);
    across->draggingTo({2 * corner.x - opposite.x, 1.5 * corner.y - 0.5 * opposite.y}, false);
    YKVectorAttributes a;
    across->getAttributes(&a);
    EXPECT_NEAR(a.textSizeH, 48, 1e-9);
    EXPECT_NEAR(a.textSizeV, 36, 1e-9);
}

TEST_F(TextObjectTest, InkStaysWithinTheBounds) {
    auto text = TypedText(&manager, {20, 60}, "Jig qy!");
    const auto check = [&](const char* what) {
        text->resetBox();
        text->resetBounds();
        YKRect<double> bounds;
        text->getBounds(&bounds);
        const YKRect<int32> frame{0, 0, 199, 199};
        const PixelImage image = RenderEntity(*text, frame);
        int32 inside = 0;
        int32 outside = 0;
        for (int32 y = 0; y < image.height; ++y) {
            for (int32 x = 0; x < image.width; ++x) {
                if ((image.pixels[y * image.width + x] >> 24) == 0) {
                    continue;
                }
                const bool in = x + 1 >= bounds.left && x <= bounds.right && y + 1 >= bounds.top &&
                                y <= bounds.bottom;
                (in ? inside : outside) += 1;
            }
        }
        EXPECT_GT(inside, 100) << what;
        EXPECT_EQ(outside, 0) << what;
    };
    check("plain");
    text->setGlobalRotation(0.6, {60, 60});
    check("turned");
    text->setTransformationCenter({60, 60});
    text->rawRotate(-1.4);
    check("turned back past zero");
    text->rawResize(1.5, 0.8, false);
    check("resized");
}

TEST_F(TextObjectTest, AFrameShowsItsPartOfALongTextUnchanged) {
    std::string line;
    while (line.size() < 2000) {
        line += "Sphinx of black quartz, judge my vow. ";
    }
    auto text = TypedText(&manager, {-3000, 50}, "");
    text->setString(line.c_str());
    text->setGlobalRotation(0.2, {0, 0});
    const YKRect<int32> whole{0, 0, 199, 99};
    const YKRect<int32> part{70, 20, 129, 79};
    const PixelImage full = RenderEntity(*text, whole);
    const PixelImage window = RenderEntity(*text, part);
    EXPECT_GT(CoveredPixels(window), 100);
    for (int32 y = 0; y < window.height; ++y) {
        for (int32 x = 0; x < window.width; ++x) {
            ASSERT_EQ(window.pixels[y * window.width + x],
                      full.pixels[(y + part.top) * full.width + x + part.left])
                << x << ", " << y;
        }
    }
}

TEST_F(TextObjectTest, PointsMapToCharactersAndWords) {
    auto text = TypedText(&manager, {10, 50}, "hello world");
    YKFontData& font = *text->font();
    const double hello = font.StringWidth("hello", 0);
    EXPECT_EQ(text->bufferIndFromPoint({0, 50}), 0);
    EXPECT_EQ(text->bufferIndFromPoint({500, 50}), 11);
    EXPECT_EQ(text->bufferIndFromPoint({10 + hello - 1, 50}), 5);
    text->selectWordAtPoint({10 + hello + font.StringWidth(" wo", 0), 50});
    const YKVectorText::Selection selection = text->getSelection();
    EXPECT_EQ(text->textBuffer().selectionStart(), 6);
    EXPECT_EQ(text->textBuffer().selectionStop(), 11);
    EXPECT_STREQ(text->newStringFromSelection().data(), "world");
    ASSERT_EQ(selection.rects.size(), 1u);
    EXPECT_NEAR(selection.rects[0].right, 10 + font.StringWidth("hello world", 0), 1e-9);
    EXPECT_NEAR(selection.caretTop.x, 10 + font.StringWidth("hello ", 0), 1e-9);
}

TEST_F(TextObjectTest, CopiesAreIndependentAndAnimationShows) {
    auto text = TypedText(&manager, {10, 60}, "Anim");
    const YKRect<int32> frame{0, 0, 149, 99};
    std::unique_ptr<YKVectorEntity> copy(text->copy());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Type(), YKVectorEntity::kTypeText);
    EXPECT_EQ(RenderEntity(*copy, frame).pixels, RenderEntity(*text, frame).pixels);

    const PixelImage first = RenderEntity(*text, frame);
    text->textAttributes().sizeH->SetValue(40.0, 10);
    text->textAttributes().fillColor->SetValue(yk_color{200, 0, 0, 255}, 20);
    manager.SetCurrentFrame(10);
    const PixelImage sized = RenderEntity(*text, frame);
    EXPECT_GT(CoveredPixels(sized), CoveredPixels(first));
    EXPECT_EQ(RenderEntity(*copy, frame).pixels, first.pixels) << "the copy keeps its own";
    manager.SetCurrentFrame(20);
    EXPECT_NE(RenderEntity(*text, frame).pixels, sized.pixels);
    copy.reset();
    manager.SetCurrentFrame(1);
    EXPECT_EQ(RenderEntity(*text, frame).pixels, first.pixels);
}

}  // namespace
