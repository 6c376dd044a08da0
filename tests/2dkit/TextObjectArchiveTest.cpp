// Archives of both text objects through the factory, older and hostile archives, and the text
// along a path (its pixels belong to the sketcher; here its text, look, bounds and editing).

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "TextObjectSupport.h"
#include "VectorTestSupport.h"
#include "YKEnvelopKinds.h"
#include "YKEnvelopManager.h"
#include "YKFontData.h"
#include "YKGradientContainer.h"
#include "YKMessage.h"
#include "YKVectorBezier.h"
#include "YKVectorEntityFactory.h"
#include "YKVectorTextBezier.h"

namespace {

using Point = YKPoint<double>;

class TextObjectArchiveTest : public ::testing::Test {
protected:
    std::unique_ptr<YKVectorEntity> Load(const YKMessage& archive) {
        return std::unique_ptr<YKVectorEntity>(
            YKVectorEntityFactory::Instantiate(&archive, 3, &manager));
    }
    // Archive, load, archive again: the two archives must be the same bytes.
    void ExpectStableRoundTrip(const YKVectorEntity& entity) {
        YKMessage first;
        entity.ArchiveIn(&first);
        auto loaded = Load(first);
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(loaded->Type(), entity.Type());
        YKMessage second;
        loaded->ArchiveIn(&second);
        EXPECT_TRUE(second.Flatten() == first.Flatten()) << "type " << entity.Type();
    }
    // A wave of two mirrored cubic pieces from (10, 60) through (100, 60) to (190, 60).
    std::unique_ptr<YKVectorBezier> Path() {
        // Anchor, its outgoing handle, next anchor, its incoming and outgoing handles, ...
        const Point points[] = {{10, 60},   {40, 20},  {100, 60}, {70, 20},
                                {130, 100}, {190, 60}, {160, 100}};
        YKMessage archive;
        archive.AddInt32("object_type", YKVectorEntity::kTypeBezier);
        archive.AddInt32("pt_nbr", 7);
        for (const Point p : points) {
            archive.AddDouble("pt_x", p.x);
            archive.AddDouble("pt_y", p.y);
        }
        archive.AddInt32("seg_nbr", 6);
        for (int32 i = 0; i < 6; ++i) {
            archive.AddInt32("seg_begPt", i);
            archive.AddInt32("seg_endPt", i + 1);
        }
        return std::make_unique<YKVectorBezier>(&archive, 3, &manager);
    }
    // Every look attribute away from its default.
    static void Decorate(YKVectorEntity& text) {
        YKVectorAttributes a;
        text.getAttributes(&a);
        a.fontDescription = TextTestFont();
        a.textSizeH = 30;
        a.textSizeV = 20;
        a.textSpacing = 12;
        a.textShearing = -10;
        a.textFlipH = true;
        a.strokeColorFlag = kColorFlagColor;
        a.strokeColor = {10, 200, 30, 255};
        a.width = 1.5;
        YKGradientContainer gradient;
        gradient.SetExEy(1, 1);
        a.fillColorFlag = kColorFlagGradient;
        a.fillGradient = &gradient;
        text.setAttributes(&a);
    }

    YKEnvelopManager manager;
};

TEST_F(TextObjectArchiveTest, BothKindsReloadByteForByte) {
    auto text = TypedText(&manager, {20, 50}, "Round trip \xC3\xA9t\xC3\xA9");
    Decorate(*text);
    text->textAttributes().sizeH->SetValue(50.0, 10);
    text->setGlobalRotation(0.25, {40, 40});
    ExpectStableRoundTrip(*text);

    YKMessage archive;
    text->ArchiveIn(&archive);
    auto loaded = Load(archive);
    ASSERT_NE(loaded, nullptr);
    const auto& reloaded = static_cast<YKVectorText&>(*loaded);
    EXPECT_STREQ(reloaded.string(), text->string());
    EXPECT_EQ(reloaded.textBuffer().count(), 14);
    YKVectorAttributes a;
    YKVectorAttributes b;
    text->getAttributes(&a);
    reloaded.getAttributes(&b);
    EXPECT_EQ(std::tie(b.textSizeH, b.textSizeV, b.textSpacing, b.textShearing, b.textFlipH,
                       b.strokeColor, b.width, b.fillColorFlag, b.fontDescription),
              std::tie(a.textSizeH, a.textSizeV, a.textSpacing, a.textShearing, a.textFlipH,
                       a.strokeColor, a.width, a.fillColorFlag, a.fontDescription));
    const YKRect<int32> frame{0, 0, 159, 99};
    for (int32 frameNumber : {1, 10}) {
        manager.SetCurrentFrame(frameNumber);
        EXPECT_EQ(RenderEntity(*loaded, frame).pixels, RenderEntity(*text, frame).pixels);
    }
    manager.SetCurrentFrame(1);

    YKVectorTextBezier along(*Path());
    Decorate(along);
    along.setString("along the path");
    ExpectStableRoundTrip(along);
}

TEST_F(TextObjectArchiveTest, OlderAndHostileArchives) {
    auto text = TypedText(&manager, {20, 50}, "Old");
    YKMessage archive;
    text->ArchiveIn(&archive);
    // Written before the sizes were envelopes.
    archive.RemoveName("horizontal_size");
    archive.RemoveName("vertical_size");
    archive.AddDouble("text_break_size", 18);
    archive.AddDouble("text_break_size_v", 9);
    auto old = Load(archive);
    ASSERT_NE(old, nullptr);
    YKVectorAttributes a;
    old->getAttributes(&a);
    EXPECT_EQ(a.textSizeH, 18);
    EXPECT_EQ(a.textSizeV, 9);

    // Absurd values draw (clamped) without trouble; a text too long or without its point is
    // refused.
    YKMessage hostile;
    text->ArchiveIn(&hostile);
    YKMessage size;
    YKEnvelopDouble huge(3, "fsize_h");
    huge.SetValue(std::numeric_limits<double>::infinity(), 1);
    huge.Archive(&size);
    hostile.ReplaceMessage("horizontal_size", &size);
    hostile.ReplaceString("text_buffer", "\xFF\xC3 \xF0\x9F");
    hostile.ReplaceInt32("buf_len", -5);
    auto clamped = Load(hostile);
    ASSERT_NE(clamped, nullptr);
    EXPECT_EQ(static_cast<YKVectorText&>(*clamped).textBuffer().count(), 4);
    YKRect<double> bounds;
    clamped->getBounds(&bounds);
    EXPECT_TRUE(bounds.IsValid() && std::isfinite(bounds.Width()));
    EXPECT_GT(CoveredPixels(RenderEntity(*clamped, {0, 0, 99, 99})), 0);

    const std::string tooLong(YKVectorTextBuffer::kMaxBytes + 1, 'a');
    hostile.ReplaceString("text_buffer", tooLong.c_str());
    EXPECT_EQ(Load(hostile), nullptr);
    archive.RemoveName("pt_x");
    EXPECT_EQ(Load(archive), nullptr);
}

TEST_F(TextObjectArchiveTest, TextAlongAPathEditsByArcLength) {
    auto path = Path();
    path->resetBounds();
    YKRect<double> pathBounds;
    path->getBounds(&pathBounds);
    YKVectorTextBezier along(*path);
    YKVectorAttributes a;
    along.getAttributes(&a);
    a.fontDescription = TextTestFont();
    along.setAttributes(&a);
    int32 redrawFrom = 0;
    for (const char* key : {"a", "b", "c", "d"}) {
        along.keyStroke(key, 0, redrawFrom);
    }
    EXPECT_STREQ(along.string(), "abcd");
    EXPECT_EQ(along.pointList(), path->pointList()) << "the path is taken over";

    // Bounds: the path's, grown by a line's height on every side.
    YKRect<double> bounds;
    along.getBounds(&bounds);
    const double line = along.font()->Ascent() + along.font()->Descent();
    EXPECT_NEAR(pathBounds.left - bounds.left, line, 1e-9);
    EXPECT_NEAR(bounds.bottom - pathBounds.bottom, line, 1e-9);

    // The path starts going up and right: a point just beside its start is on the first
    // character, one near its end past the text.
    const double first = along.font()->StringWidth("a", 0);
    EXPECT_EQ(along.bufferIndFromPoint({8, 58}), 0);
    EXPECT_EQ(along.bufferIndFromPoint({190, 62}), 4);
    const double half = along.arcLengthAt({100, 60});
    EXPECT_GT(half, 90 + 1);
    EXPECT_NEAR(along.arcLengthAt({190, 60}), 2 * half, 1e-9);
    along.setInsertPoint({10 + first * 0.6 * 0.6, 60 - first * 0.8 * 0.6});
    EXPECT_EQ(along.textBuffer().caret(), 0);
    along.keyStroke("\x1D", 0, redrawFrom);
    along.keyStroke("\x08", 0, redrawFrom);
    EXPECT_STREQ(along.string(), "bcd");
    EXPECT_NE(along.endTextEdit(), nullptr);
}

}  // namespace
