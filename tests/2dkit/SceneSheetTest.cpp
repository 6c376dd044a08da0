// A scene sheet of the 2D engine against its reference image (tests/data/2d/scene_sheet.png,
// made by this code and looked at once; exact integer rendering, so the tolerance is 1 level
// for another maths library's trigonometry): every cap, every join, every predefined dash,
// every gradient type and a turned pattern.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ReferenceImage.h"
#include "YKBitmap.h"
#include "YKDash.h"
#include "YKGradient.h"
#include "YKGradientBuffer.h"
#include "YKGradientItem.h"
#include "YKPattern.h"
#include "YKRaster.h"
#include "YKZipSketcher.h"
#include "yk_composition.h"

namespace {

using Point = YKPoint<double>;
constexpr YKRect<int32> kSheet{0, 0, 359, 279};

class SceneSheet {
public:
    SceneSheet() {
        for (int32 y = kSheet.top; y <= kSheet.bottom; ++y) {
            mBitmap.SetPixelAt(y, 0, kSheet.right + 1, 0xFFFFFFFFu, YK_COPY);
        }
        mSketcher.SetBuffer(&mBitmap);
        mSketcher.SetFrame(kSheet);
        mSketcher.SetAntgMode(YK_ANTG_ANTIALIASED);
        // Shapes are composed over the sheet, as objects are over a canvas.
        mSketcher.SetOverlapStroke(false);
        YKDash::InitPredefDash();
    }
    void Stroke(std::vector<Point> points, double width, int32 capIn, int32 capOut, int32 join,
                YKDash* dash = nullptr) {
        mSketcher.SetFillStyle(YK_STYLE_NONE);
        mSketcher.SetStrokeStyle(YK_STYLE_COLOR);
        mSketcher.SetStrokeColor(yk_color(30, 60, 140, 255));
        mSketcher.SetWidth(width);
        mSketcher.SetLineMode(capIn, capOut, join, 4.0);
        mSketcher.SetStrokeDash(dash);
        mSketcher.SetClosed(false);
        Draw(points);
    }
    void Fill(std::vector<Point> points) {
        mSketcher.SetStrokeStyle(YK_STYLE_NONE);
        mSketcher.SetClosed(true);
        Draw(points);
    }
    YKZipSketcher& Sketcher() { return mSketcher; }
    YKBitmap& Bitmap() { return mBitmap; }

private:
    void Draw(const std::vector<Point>& points) {
        YKPointList list;
        for (Point p : points) {
            list.AddItem(p);
        }
        mSketcher.DrawPolygon(&list);
    }

    YKBitmap mBitmap;
    YKZipSketcher mSketcher;
};

TEST(SceneSheetTest, MatchesItsReference) {
    SceneSheet sheet;
    // Row 1: caps 2 to 11 on short thick lines.
    for (int32 cap = YK_CAP_ROUND; cap <= YK_CAP_NAIL; ++cap) {
        const double x = 18 + (cap - 2) * 34;
        sheet.Stroke({{x, 14}, {x + 8, 44}}, 8, cap, cap, YK_JOIN_MITER);
    }
    // Row 2: joins none, miter (with its limit), round and bevel on a zigzag.
    for (int32 join = YK_JOIN_NONE; join <= YK_JOIN_BEVEL; ++join) {
        const double x = 14 + join * 88;
        sheet.Stroke({{x, 100}, {x + 20, 62}, {x + 40, 100}, {x + 70, 80}}, 10, YK_CAP_BUTT,
                     YK_CAP_BUTT, join);
    }
    // Row 3: the six predefined dashes, each dash capped round.
    for (int32 i = 1; i < YKDash::kPredefCount; ++i) {
        const double y = 118 + i * 9;
        sheet.Stroke({{14, y}, {340, y + 4}}, 4, YK_CAP_ROUND, YK_CAP_ROUND, YK_JOIN_MITER,
                     YKDash::PredefDash(i));
    }
    // Row 4: the nine gradient types on squares, orange to blue in HSV.
    for (int32 type = GRADIENT_LINEAR; type <= GRADIENT_WAVE2; ++type) {
        const double x = 8 + type * 39.0;
        YKGradientBuffer gradient(kSheet, "tmp_gradient", false);
        gradient.SetGradientType(GradientType(type));
        gradient.SetSxSy(x + 17, 200);
        gradient.SetExEy(x + 34, 190);
        gradient.GetGradient()->get_first_item()->SetColor(1, 0.5, 0, 1, 0.1, 0.2, 0.9, 1);
        gradient.GetGradient()->get_first_item()->SetColorType(grad_color(1));
        sheet.Sketcher().SetFillStyle(YK_STYLE_GRADIENT);
        sheet.Sketcher().SetFillGradient(&gradient);
        sheet.Fill({{x, 183}, {x + 34, 183}, {x + 34, 217}, {x, 217}});
    }
    // Row 5: a turned pattern of 8 x 8 checks at half opacity, and a round rectangle in plain
    // colour with a thick outline over it.
    YKRaster tile({0, 0, 15, 15});
    for (int32 y = 0; y < 16; ++y) {
        for (int32 x = 0; x < 16; ++x) {
            const uint32 texel = ((x / 8 + y / 8) % 2) != 0 ? 0xFFE04020u : 0xFF20A040u;
            std::memcpy(tile.Bits() + y * tile.BytesPerRow() + x * 4, &texel, 4);
        }
    }
    YKPattern pattern(&tile);
    YKZipSketcher& sketcher = sheet.Sketcher();
    sketcher.SetFillStyle(YK_STYLE_PATTERN);
    sketcher.SetFillPattern(&pattern);
    sketcher.SetFillPatternAlpha(160);
    sketcher.SetFillPatternRotation({100, 250}, 0.4);
    sheet.Fill({{20, 228}, {180, 228}, {180, 272}, {20, 272}});
    sketcher.SetFillStyle(YK_STYLE_COLOR);
    sketcher.SetFillColor(yk_color(250, 200, 60, 220));
    sketcher.SetStrokeStyle(YK_STYLE_COLOR);
    sketcher.SetStrokeColor(yk_color(120, 40, 20, 255));
    sketcher.SetWidth(5);
    sketcher.SetLineMode(YK_CAP_BUTT, YK_CAP_BUTT, YK_JOIN_ROUND, 4.0);
    sketcher.SetStrokeDash(nullptr);
    sketcher.SetClosed(true);
    sketcher.DrawRoundRect({200, 230}, {340, 230}, {340, 270}, {200, 270}, 14, 10);

    EXPECT_EQ(CompareWithReference("2d/scene_sheet", ImageOf(sheet.Bitmap(), kSheet), 1), "");
}

}  // namespace
