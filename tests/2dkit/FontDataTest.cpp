// Glyph contours from FreeType faces: text decoding, the glyph cache, the fallback face, and
// how spacing, flips, shear and kerning move the contours.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "FileBytes.h"
#include "ScriptedAlerts.h"
#include "TempDir.h"
#include "YKFontDataFontconfig.h"
#include "YKFontDataFreetype.h"
#include "yk_font_match.h"
#include "yk_utf8.h"

namespace {

const std::string kDejaVu = yk_fallback_font_path();

std::vector<uint16> Codes(std::initializer_list<uint16> codes) {
    return codes;
}

TEST(Utf8Test, DecodesUpToThreeBytesAndReplacesTheRestWithOneMark) {
    EXPECT_EQ(yk_utf8_to_ucs2("A\xC3\xA9\xE2\x82\xAC"), Codes({'A', 0xE9, 0x20AC}));
    // Four- and six-byte sequences are one character each.
    EXPECT_EQ(yk_utf8_to_ucs2("\xF0\x9F\x98\x80x\xFC\x80\x80\x80\x80\x80y"),
              Codes({'?', 'x', '?', 'y'}));
    // Stray continuation bytes, 0xFE and 0xFF.
    EXPECT_EQ(yk_utf8_to_ucs2("\x80\xBF\xFE\xFFz"), Codes({'?', '?', '?', '?', 'z'}));
    // A sequence cut short by another character or by the end never swallows what follows.
    EXPECT_EQ(yk_utf8_to_ucs2("\xC3"
                              "A\xE2\x82"),
              Codes({'?', 'A', '?'}));
    EXPECT_TRUE(yk_utf8_to_ucs2(nullptr).empty());
}

class FontDataTest : public ::testing::Test {
protected:
    std::unique_ptr<YKFontDataFreetype> Open(const std::string& description) {
        auto font = std::make_unique<YKFontDataFreetype>(description.c_str());
        font->SetSize(36, 36);
        return font;
    }

    ScriptedAlerts mAlerts;
    TempDir mDir;
};

TEST_F(FontDataTest, EachGlyphLoadsOncePerSizeAndASizeChangeEmptiesTheCache) {
    auto font = Open(kDejaVu + " DejaVu Sans Book");
    YKList<YKList<YKPoint<double>>*> contours;
    font->GetGlyphOutlines(contours, "abca", {0, 0}, 0, 0);
    const int32 first = contours.CountItems();
    // A turned drawing in between turns the same points (about the pen's start, in 1/2048
    // pixel units centred half a pixel up and left) and leaves the cached contours as they were.
    font->SetRotation(0.5);
    font->GetGlyphOutlines(contours, "abca", {0, 0}, 0, 0);
    ASSERT_EQ(contours.CountItems(), 2 * first);
    for (int32 i = 0; i < first; ++i) {
        const YKList<YKPoint<double>>& plain = *contours.ItemAt(i);
        const YKList<YKPoint<double>>& turned = *contours.ItemAt(first + i);
        ASSERT_EQ(plain.CountItems(), turned.CountItems());
        for (int32 j = 0; j < plain.CountItems(); ++j) {
            const double x = plain.ItemAt(j).x * 2048 + 1024;
            const double y = plain.ItemAt(j).y * 2048 + 1024;
            ASSERT_NEAR(turned.ItemAt(j).x * 2048 + 1024, x * std::cos(0.5) - y * std::sin(0.5),
                        1e-6);
            ASSERT_NEAR(turned.ItemAt(j).y * 2048 + 1024, x * std::sin(0.5) + y * std::cos(0.5),
                        1e-6);
        }
    }
    font->SetRotation(0);
    font->GetGlyphOutlines(contours, "abca", {0, 0}, 0, 0);
    EXPECT_EQ(font->CountCachedGlyphs(), 3);
    EXPECT_EQ(font->CountGlyphLoads(), 3);
    EXPECT_EQ(font->CountFlattenings(), 3);
    const int32 again = contours.CountItems() - first;
    for (int32 i = 0; i < first; ++i) {
        const YKList<YKPoint<double>>& before = *contours.ItemAt(i);
        const YKList<YKPoint<double>>& after = *contours.ItemAt(again + i);
        ASSERT_EQ(before.CountItems(), after.CountItems());
        for (int32 j = 0; j < before.CountItems(); ++j) {
            ASSERT_EQ(before.ItemAt(j).x, after.ItemAt(j).x);
            ASSERT_EQ(before.ItemAt(j).y, after.ItemAt(j).y);
        }
    }
    font->SetSize(36, 36);
    EXPECT_EQ(font->CountCachedGlyphs(), 3);
    font->SetSize(24, 36);
    EXPECT_EQ(font->CountCachedGlyphs(), 0);
    EXPECT_GT(font->StringWidth("abc", 0), 0);
    EXPECT_EQ(font->CountGlyphLoads(), 6);
    for (int32 i = 0; i < contours.CountItems(); ++i) {
        delete contours.ItemAt(i);
    }
    EXPECT_TRUE(mAlerts.Texts().empty());
}

TEST_F(FontDataTest, AMissingOrTruncatedFileFallsBackToDejaVuAfterOneAlert) {
    const std::string truncated = mDir.PathOf("Cut Short.ttf");
    const std::string whole = ReadBytes(kDejaVu);
    WriteBytes(truncated, whole.substr(0, whole.size() / 2));
    for (const std::string& path : {mDir.PathOf("none.ttf"), truncated}) {
        mAlerts.ClearShown();
        auto font = Open(path + " Some Family Bold");
        EXPECT_TRUE(font->UsedFallback()) << path;
        EXPECT_EQ(font->Path(), kDejaVu);
        EXPECT_EQ(mAlerts.Texts(),
                  std::vector<std::string>{"No <" + path + "> on your computer !\nReplaced by <" +
                                           kDejaVu + ">."});
        EXPECT_GT(font->StringWidth("Text", 0), 10);
    }
}

TEST_F(FontDataTest, APathWithSpacesIsReadWhole) {
    const std::string path = mDir.PathOf("My Fonts/Deja Vu.ttf");
    std::filesystem::create_directories(mDir.PathOf("My Fonts"));
    WriteBytes(path, ReadBytes(kDejaVu));
    auto font = Open(path + " DejaVu Sans Book");
    EXPECT_FALSE(font->UsedFallback());
    EXPECT_EQ(font->Path(), path);
    EXPECT_EQ(font->Family(), "DejaVu Sans");
    EXPECT_EQ(font->Style(), "Book");
    EXPECT_TRUE(mAlerts.Texts().empty());
}

TEST_F(FontDataTest, HostileSizesAreClampedAndLongTextStaysBounded) {
    auto font = Open(kDejaVu + " DejaVu Sans Book");
    font->SetSize(1e12, -3);
    EXPECT_EQ(font->SizeH(), YKFontDataFreetype::kMaxSize);
    EXPECT_EQ(font->SizeV(), YKFontDataFreetype::kMinSize);
    font->SetSize(NAN, INFINITY);
    EXPECT_EQ(font->SizeH(), 10);
    // A megabyte of text, valid and broken UTF-8 mixed: the cache holds each code once.
    std::string text;
    while (text.size() < (1 << 20)) {
        text += "Wolf \xC3\xA9t\xE2\x82\xAC \xF0\x9F\x98\x80\xFF";
    }
    const double width = font->StringWidth(text.c_str(), 0);
    EXPECT_TRUE(std::isfinite(width));
    EXPECT_GT(width, 1e5);
    EXPECT_EQ(font->CountCachedGlyphs(), 9);
}

// Boxes of one text under different settings, at size 36 and origin (0, 0).
class FontBoundsTest : public FontDataTest {
protected:
    void SetUp() override { mFont = Open(kDejaVu + " DejaVu Sans Book"); }
    YKRect<double> Box(const char* text) { return mFont->GetBoundingBox(text, {0, 0}, 0); }

    std::unique_ptr<YKFontDataFreetype> mFont;
};

TEST_F(FontBoundsTest, SpacingFlipsAndShearMoveTheContoursByTheirAmounts) {
    const YKRect<double> plain = Box("LL");
    const double width = mFont->StringWidth("LL", 0);
    // Glyphs sit on the baseline, above it (y down).
    EXPECT_LT(plain.top, -20);
    EXPECT_NEAR(plain.bottom, -0.5, 0.01);

    mFont->SetSpacing(50);  // half the size between the two characters
    EXPECT_NEAR(mFont->StringWidth("LL", 0), width + 18, 1e-3);
    EXPECT_NEAR(Box("LL").right, plain.right + 18, 1e-3);
    mFont->SetSpacing(0);

    // A mirrored glyph keeps its advance box.
    const YKRect<double> l = Box("L");
    const double advance = mFont->StringWidth("L", 0);
    mFont->SetFlip(true, false);
    EXPECT_NEAR(Box("L").left + l.right, advance - 1, 1e-3);
    EXPECT_NEAR(Box("L").top, l.top, 1e-3);
    mFont->SetFlip(false, true);
    EXPECT_NEAR(Box("L").top + l.bottom, -(mFont->Ascent() - mFont->Descent()) - 1, 1e-3);
    mFont->SetFlip(false, false);

    // 45 degrees: the top of an upright stem moves right by the stem's height.
    const YKRect<double> i = Box("I");
    mFont->SetShearing(45);
    const YKRect<double> sheared = Box("I");
    EXPECT_NEAR(sheared.Width() - i.Width(), i.Height(), 0.01);
    EXPECT_NEAR(sheared.left, i.left, 0.01);
}

// The box is measured without building the contours; it must be the box of the contours
// drawn, to the bit, whatever the font's state.
TEST_F(FontBoundsTest, BoxIsThatOfTheContoursInEveryState) {
    const auto fromContours = [&](const char* text, YKPoint<double> at) {
        return mFont->YKFontData::GetBoundingBox(text, at, 0);
    };
    for (int32 state = 0; state < 6; ++state) {
        mFont->SetRotation(state == 1 ? 0.7 : 0);
        mFont->SetFlip(state == 2, state == 3);
        mFont->SetShearing(state == 4 ? 20 : 0);
        mFont->SetDirection(state != 5);
        for (const char* text : {"AV g", "", " ", "\xC2\xB7x"}) {
            const YKPoint<double> at{12.25, -3.5};
            const YKRect<double> box = mFont->GetBoundingBox(text, at, 0);
            const YKRect<double> expected = fromContours(text, at);
            EXPECT_EQ(box.IsValid(), expected.IsValid()) << state << " '" << text << "'";
            if (expected.IsValid()) {
                EXPECT_EQ(
                    std::vector({box.left, box.top, box.right, box.bottom}),
                    std::vector({expected.left, expected.top, expected.right, expected.bottom}))
                    << state << " '" << text << "'";
            }
        }
    }
    EXPECT_FALSE(mFont->GetBoundingBox("A", {std::nan(""), 0}, 0).IsValid());
}

TEST_F(FontBoundsTest, KerningPullsPairsTogetherInWidthsAndContoursAlike) {
    // DejaVu Sans has a kerning table with a pair for "AV"; "AH" has none.
    const double apart = mFont->StringWidth("A", 0) + mFont->StringWidth("V", 0);
    const double kerned = mFont->StringWidth("AV", 0);
    EXPECT_LT(kerned, apart - 0.5);
    EXPECT_DOUBLE_EQ(mFont->StringWidth("AH", 0),
                     mFont->StringWidth("A", 0) + mFont->StringWidth("H", 0));
    // The V of "AV" is drawn where the width says it is.
    const YKRect<double> v =
        mFont->GetBoundingBox("V", {kerned - mFont->StringWidth("V", 0), 0}, 0);
    EXPECT_NEAR(Box("AV").right, v.right, 1e-3);
}

TEST_F(FontDataTest, AFontNamedByFamilyAndStyleIsTheMatchingInstalledFile) {
    YKFontDataFontconfig font("Liberation Sans", "Bold Italic");
    EXPECT_EQ(font.Family(), "Liberation Sans");
    EXPECT_EQ(font.Style(), "Bold Italic");
    EXPECT_EQ(font.Path(), yk_font_match("Liberation Sans", "Bold Italic").path);
    EXPECT_FALSE(font.UsedFallback());
    YKFontDataFreetype byFile((font.Path() + " x y").c_str());
    EXPECT_EQ(font.StringWidth("Kerning", 0), byFile.StringWidth("Kerning", 0));
    EXPECT_TRUE(mAlerts.Texts().empty());
}

}  // namespace
