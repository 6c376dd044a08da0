// Pencil dabs: every mode's per-pixel rule (texture tiling and channel wrap included) against a
// plain reference written from the rules, the random raise of faint dabs, and a reference image
// of all modes and shapes.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "PixelAt.h"
#include "ReferenceImage.h"
#include "YKBitmap.h"
#include "YKPencilBrushRenderer.h"

namespace {

using Rect = YKRect<int32>;
using Brush = YKPencilBrushRenderer;

int64 FloorMod(int64 a, int64 b) {
    return (a % b + b) % b;
}

// What a dab of weight w does to `before`, straight from the rules.
uint32 Expected(int32 mode, uint32 before, uint32 w, int32 m, yk_color color) {
    if (w == 0 || mode >= YK_BRUSH_SMEAR) {
        return before;
    }
    const int32 brush[4] = {color.blue, color.green, color.red, color.alpha};
    const bool zeroStart = mode == YK_BRUSH_BURN_SUN || mode == YK_BRUSH_BURN_DARKNESS;
    const int32 W = w >> 16;
    uint32 after = 0;
    for (int32 i = 0; i < 4; ++i) {
        int32 c = before >> 24 != 0 || i == 3 ? before >> (8 * i) & 255 : zeroStart ? 0 : brush[i];
        const int32 t = brush[i];
        const int32 sunTarget = std::min(255, t + 255 - m);
        const int32 darkTarget = i == 3 ? sunTarget : std::max(0, t - 255 + m);
        const int32 cycle = i == 3 ? 0 : mode == YK_BRUSH_RGB_CYCLE_UP ? -W : W;
        switch (mode) {
            case YK_BRUSH_COLOR:
                c += (int64{t} - c + 1) * w >> 24;
                break;
            case YK_BRUSH_ERASE:
                c = i == 3 ? std::max(0, c - W) : c;
                break;
            case YK_BRUSH_BURN_SUN:
                c = std::min(255, c + W);
                break;
            case YK_BRUSH_BURN_DARKNESS:
                c = i == 3 ? std::min(255, c + W) : std::max(0, c - W);
                break;
            case YK_BRUSH_BURN_SUN_COLOR:
                c += (int64{sunTarget} - c) * w >> 24;
                break;
            case YK_BRUSH_BURN_DARKNESS_COLOR:
                c += (int64{darkTarget} - c) * w >> 24;
                break;
            default:
                c = ((c + cycle) % 256 + 256) % 256;
                break;  // the two cycles
        }
        after |= uint32(c) << (8 * i);
    }
    return after;
}

class BrushDabTest : public ::testing::Test {
protected:
    int32 Between(int32 low, int32 high) {
        return std::uniform_int_distribution<int32>(low, high)(mRandom);
    }
    // Random pixels over (-150, -150)..(149, 149); transparent and opaque ones are common.
    void FillRandom() {
        std::vector<uint32> row(300);
        for (int32 y = -150; y < 150; ++y) {
            for (uint32& pixel : row) {
                const uint32 alphas[] = {0, 255, uint32(mRandom() & 255)};
                pixel = alphas[mRandom() % 3] << 24 | (mRandom() & 0xFFFFFF);
            }
            mBitmap.SetLineAt(row.data(), y, -150, 149);
        }
    }
    // A hard disc 31 across painted once at the origin (the first dab of a stroke); the pixels
    // of its flat middle, (-10, -10)..(9, 9), row after row.
    std::vector<uint32> Stamp(Brush& brush) {
        brush.CreatePencil(31);
        brush.DrawBrush(&mBitmap, {0, 0}, nullptr);
        std::vector<uint32> middle(400);
        for (int32 y = -10; y < 10; ++y) {
            mBitmap.GetLineAt(y, -10, 9, false, &middle[(y + 10) * 20]);
        }
        return middle;
    }

    std::mt19937 mRandom{4600};
    YKBitmap mBitmap;
};

TEST_F(BrushDabTest, EveryModeFollowsItsPerPixelRule) {
    FillRandom();
    for (int32 round = 0; round < 200; ++round) {
        Brush brush;
        brush.SetRandomSeed(round);
        const int32 mode = round % YK_BRUSH_MODE_COUNT;
        brush.SetMode(mode);
        brush.SetShape(Between(0, YK_BRUSH_SHAPE_COUNT - 1));
        brush.SetHardness(Between(0, 100) / 100.0);
        brush.SetEllipseRatio(Between(50, 200) / 100.0);
        brush.SetRotation(Between(0, 3) * 0.4);
        const yk_color color(Between(0, 255), Between(0, 255), Between(0, 255), Between(0, 255));
        brush.SetColor(color);
        const int32 pressure = Between(0, 255);
        brush.SetPressure(pressure / 255.0);
        const int32 tw = Between(1, 7);
        const int32 th = Between(1, 5);
        std::vector<uint8> texture(tw * th);
        for (uint8& texel : texture) {
            texel = Between(0, 255);
        }
        const bool textured = round % 3 == 0;
        brush.SetTexture(textured ? texture.data() : nullptr, tw, th);
        brush.CreatePencil(Between(1, 60));

        const YKPoint<int32> at{Between(-80, 80), Between(-80, 80)};
        const int32 s = int32(brush.PencilSize());
        const Rect area{at.x - s / 2 - 2, at.y - s / 2 - 2, at.x + s / 2 + s % 2 + 2,
                        at.y + s / 2 + s % 2 + 2};
        YKBitmap before(mBitmap);
        Rect touched;
        brush.DrawBrush(&mBitmap, at, &touched);

        for (int32 y = area.top; y <= area.bottom; ++y) {
            for (int32 x = area.left; x <= area.right; ++x) {
                const int32 i = x - (at.x - s / 2);
                const int32 j = y - (at.y - s / 2);
                const bool inDab = i >= 0 && i <= s && j >= 0 && j <= s;
                uint32 w =
                    inDab ? brush.DabMask()[j * Brush::kMaskStride + i] * pressure * color.alpha
                          : 0;
                if (textured) {
                    w = texture[FloorMod(y + 0x7FFFFFF, th) * tw + FloorMod(x + 0x7FFFFFF, tw)] *
                        (w / 255);
                }
                const int32 m = inDab ? brush.DistanceMask()[j * Brush::kMaskStride + i] : 255;
                const uint32 old = PixelAt(before, x, y);
                const uint32 got = PixelAt(mBitmap, x, y);
                const bool mayRise = w < 0xFFFFF && (w >> 8 & 255) > 62;
                if (got != Expected(mode, old, w, m, color) &&
                    !(mayRise && got == Expected(mode, old, w + 0x10000, m, color))) {
                    FAIL() << "round " << round << " mode " << mode << " at (" << x << ", " << y
                           << ") before " << std::hex << old << " got " << got << " expected "
                           << Expected(mode, old, w, m, color) << " w " << w;
                }
                if (got != old) {
                    ASSERT_TRUE(touched.Contains({x, y})) << "round " << round;
                }
            }
        }
    }
}

TEST_F(BrushDabTest, FaintDabIsRaisedAtRandomSoItStillDeposits) {
    // Weight 255 * 255 * 2: W is 1, raised to 2 with probability 1 - 62/252.
    Brush brush;
    brush.SetMode(YK_BRUSH_BURN_SUN);
    brush.SetColor(yk_color(0, 0, 0, 2));
    int32 raised = 0;
    for (const uint32 pixel : Stamp(brush)) {
        ASSERT_TRUE(pixel == 0x01010101 || pixel == 0x02020202) << std::hex << pixel;
        raised += pixel == 0x02020202;
    }
    EXPECT_NEAR(raised / 400.0, 1 - 62 / 252.0, 0.08);
}

// Rows: the ten modes; columns: Soft, Ring, Sphere. Each stroke crosses an opaque ramp and a
// transparent band.
TEST_F(BrushDabTest, StrokesInEveryModeAndShapeMatchReference) {
    constexpr int32 kCellW = 48;
    constexpr int32 kCellH = 20;
    std::vector<uint32> row(3 * kCellW);
    for (int32 y = 0; y < YK_BRUSH_MODE_COUNT * kCellH; ++y) {
        for (int32 x = 0; x < 3 * kCellW; ++x) {
            const bool band = x % kCellW >= 30 && x % kCellW < 38;
            row[x] = band ? 0 : 0xFF000000 | uint32(x * 5 & 255) << 16 | 0x8000 | (y * 2 & 255);
        }
        mBitmap.SetLineAt(row.data(), y, 0, 3 * kCellW - 1);
    }
    const YKPoint<int32> path[] = {{4, 14}, {14, 9}, {24, 13}, {34, 8}, {43, 6}};
    for (int32 mode = 0; mode < YK_BRUSH_MODE_COUNT; ++mode) {
        for (int32 shape = 0; shape < YK_BRUSH_SHAPE_COUNT; ++shape) {
            Brush brush;
            brush.SetMode(mode);
            brush.SetShape(shape);
            brush.SetHardness(0.3);
            brush.SetColor(yk_color(30, 160, 240, 255));
            brush.SetPressure(0.8);
            brush.SetSpacing(3);
            brush.CreatePencil(9);
            for (const YKPoint<int32>& p : path) {
                brush.SetCineTime(p.x == path[0].x ? 0 : 1);
                brush.DrawBrush(&mBitmap, {p.x + shape * kCellW, p.y + mode * kCellH}, nullptr);
            }
        }
    }
    const PixelImage image =
        ImageOf(mBitmap, {0, 0, 3 * kCellW - 1, YK_BRUSH_MODE_COUNT * kCellH - 1});
    EXPECT_EQ(CompareWithReference("brush/modes_and_shapes", image, 3), "");
}

}  // namespace
