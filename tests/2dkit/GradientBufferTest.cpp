#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "PixelAt.h"
#include "YKGradientBuffer.h"
#include "YKMessage.h"
#include "YKRaster.h"

namespace {

// A frame whose left-top is not the origin, so that the mapping from pixels to S is exercised.
constexpr YKRect<int32> kFrame{10, 20, 209, 219};

class GradientBufferTest : public testing::Test {
protected:
    // S is pixel (sx, sy) of the frame; E lies at `length` from it in direction `angle`.
    void Place(double sx, double sy, double angle, double length) {
        buffer.SetSxSy(sx + kFrame.left, sy + kFrame.top);
        buffer.SetExEy(sx + kFrame.left + length * std::cos(angle),
                       sy + kFrame.top + length * std::sin(angle));
    }

    YKGradientBuffer buffer{kFrame};
};

TEST_F(GradientBufferTest, LinearRampHasSInTheMiddleAndEAtTheEnd) {
    Place(50, 50, 0.0, 20);
    EXPECT_DOUBLE_EQ(buffer.ParameterAt(50, 50), 0.5);
    EXPECT_DOUBLE_EQ(buffer.ParameterAt(50, 90), 0.5);  // across u nothing changes
    EXPECT_DOUBLE_EQ(buffer.ParameterAt(70, 50), 1.0);
    EXPECT_DOUBLE_EQ(buffer.ParameterAt(30, 50), 0.0);
    EXPECT_DOUBLE_EQ(buffer.ParameterAt(95, 50), 1.0);
    EXPECT_DOUBLE_EQ(buffer.ParameterAt(5, 50), 0.0);
    EXPECT_DOUBLE_EQ(buffer.ParameterAt(60, 50), 0.75);

    // Half-size points and a shift of the pixel grid.
    YKGradientBuffer half(kFrame, "half", true);
    half.SetSxSy(2 * (50 + kFrame.left), 2 * (50 + kFrame.top));
    half.SetExEy(2 * (70 + kFrame.left), 2 * (50 + kFrame.top));
    EXPECT_DOUBLE_EQ(half.Length(), 20.0);
    EXPECT_DOUBLE_EQ(half.ParameterAt(60, 50), 0.75);
    half.SetShift({-kFrame.left, -kFrame.top});
    EXPECT_DOUBLE_EQ(half.ParameterAt(60 + kFrame.left, 50 + kFrame.top), 0.75);
}

TEST_F(GradientBufferTest, OffsetKeepsTheFirstColourUpToItsShareOfTheLength) {
    Place(100, 100, 0.7, 20);
    buffer.SetGradientType(GRADIENT_RADIAL);
    buffer.SetOffset(50);
    EXPECT_EQ(buffer.ParameterAt(100, 100), 0.0);
    EXPECT_EQ(buffer.ParameterAt(105, 100), 0.0);
    EXPECT_EQ(buffer.ParameterAt(100, 91), 0.0);
    EXPECT_NEAR(buffer.ParameterAt(100, 115), 0.5, 1e-12);
    EXPECT_NEAR(buffer.ParameterAt(100, 120), 1.0, 1e-12);
    EXPECT_EQ(buffer.ParameterAt(160, 10), 1.0);

    buffer.SetGradientType(GRADIENT_BILINEAR);
    buffer.SetOffset(0);
    Place(100, 100, 0.0, 20);
    EXPECT_DOUBLE_EQ(buffer.ParameterAt(110, 100), 0.5);
    EXPECT_DOUBLE_EQ(buffer.ParameterAt(90, 100), 0.5);
}

TEST_F(GradientBufferTest, CoincidentPointsGiveTheFirstColourForEveryType) {
    buffer.SetSxSy(60, 70);
    buffer.SetExEy(60, 70);
    double expected[4];
    buffer.GetGradient()->get_buffered_color_at(0.0, &expected[0], &expected[1], &expected[2],
                                                &expected[3]);
    for (int32 type = GRADIENT_LINEAR; type <= GRADIENT_WAVE2; ++type) {
        buffer.SetGradientType(static_cast<GradientType>(type));
        for (int32 x : {0, 50, 137}) {
            EXPECT_EQ(buffer.ParameterAt(x, 50), 0.0) << type;
            double c[4];
            buffer.GetPixel(x, 50, &c[0], &c[1], &c[2], &c[3]);
            EXPECT_EQ(c[0], expected[0]);
            EXPECT_EQ(c[3], expected[3]);
        }
    }
}

TEST_F(GradientBufferTest, ConesAreHalfWayAtTheirCentreAndFollowTheAngle) {
    Place(100, 100, 0.0, 30);
    buffer.SetGradientType(GRADIENT_CONICAL_SYMMETRIC);
    EXPECT_EQ(buffer.ParameterAt(100, 100), 0.5);
    EXPECT_NEAR(buffer.ParameterAt(140, 100), 0.0, 1e-12);
    EXPECT_NEAR(buffer.ParameterAt(60, 100), 1.0, 1e-12);
    EXPECT_NEAR(buffer.ParameterAt(100, 170), 0.5, 1e-12);
    EXPECT_NEAR(buffer.ParameterAt(100, 30), 0.5, 1e-12);
    buffer.SetOffset(10);  // the angular ramp squared
    EXPECT_NEAR(buffer.ParameterAt(100, 170), 0.25, 1e-12);

    buffer.SetOffset(0);
    buffer.SetGradientType(GRADIENT_CONICAL_ASYMMETRIC);
    EXPECT_EQ(buffer.ParameterAt(100, 100), 0.5);
    // A full turn from u: a quarter turn each way lands on a quarter and three quarters.
    EXPECT_NEAR(buffer.ParameterAt(140, 100), 0.0, 1e-12);
    EXPECT_NEAR(buffer.ParameterAt(60, 100), 0.5, 1e-12);
    EXPECT_NEAR(buffer.ParameterAt(100, 60), 0.25, 1e-12);
    EXPECT_NEAR(buffer.ParameterAt(100, 140), 0.75, 1e-12);
}

// --- The tabulated types against a direct evaluation in double precision ---

struct DirectCase {
    GradientType type;
    double angle;
    double offset;
};

class GradientBufferDirectTest : public GradientBufferTest,
                                 public testing::WithParamInterface<DirectCase> {};

double Ramp(double t, double offset) {
    const double o = offset / 100.0;
    return t < o ? 0.0 : (t >= 1.0 ? 1.0 : (t - o) / (1.0 - o));
}

// The parameter from its definition, with the library's sine and cosine.
double Direct(const YKGradientBuffer& g, GradientType type, double dx, double dy) {
    const double length = g.Length();
    const double ux = g.Direction().x;
    const double uy = g.Direction().y;
    switch (type) {
        case GRADIENT_SQUARE: {
            double a = std::atan2(uy, ux);
            if (std::fabs(std::fabs(a) - 1.5707) < 1e-4 ||
                std::fabs(std::fabs(a) - 3.1415) < 1e-4) {
                a = 0.0;
            }
            const double rx = dx * std::cos(a) + dy * std::sin(a);
            const double ry = -dx * std::sin(a) + dy * std::cos(a);
            return Ramp(std::max(std::fabs(rx), std::fabs(ry)) / length, g.GetOffset());
        }
        case GRADIENT_HYPERBOLIC: {
            double b = std::atan2(dx, dy) - std::atan2(ux, uy);
            const double rx = dx * std::cos(b) + dy * std::sin(b);
            const double ry = -dx * std::sin(b) + dy * std::cos(b);
            const double t = std::max(std::fabs(std::cos(b) * rx), std::fabs(std::sin(b) * ry));
            return Ramp(t / length, g.GetOffset());
        }
        default: {
            const double c = std::cos(std::atan2(uy, ux) + M_PI / 2);
            const double s = std::sin(std::atan2(uy, ux) + M_PI / 2);
            const double d = length + 8.0;
            const double along = s * dx - c * dy;
            const double across = s * dy + c * dx;
            double wave = std::sin(across / d * g.GetFreq());
            if (type == GRADIENT_WAVE2) {
                wave *= std::sin(along / d * g.GetFreq());
            }
            double t = (along / d + 1.0) * 0.5 + (wave + 1.0) * g.GetAmplitude();
            t = t > 1.0 ? t - 1.0 : t;
            return t * g.GetStrech() - std::floor(t * g.GetStrech());
        }
    }
}

TEST_P(GradientBufferDirectTest, TabulatedTypesStayCloseToTheDirectEvaluation) {
    const DirectCase& c = GetParam();
    Place(100, 100, c.angle, 40);
    buffer.SetGradientType(c.type);
    buffer.SetOffset(c.offset);
    const bool wave = c.type == GRADIENT_WAVE1 || c.type == GRADIENT_WAVE2;
    // One step of the 4096-entry tables is 0.0015 radians: up to 1.5 lengths from S that moves a
    // square's parameter by about 0.003, and a wave's, through its frequency and stretch, by
    // about 0.015.
    const double bound = wave ? 0.02 : 0.004;
    double worst = 0.0;
    for (int32 y = 40; y <= 160; y += 3) {
        for (int32 x = 40; x <= 160; x += 3) {
            double error =
                std::fabs(buffer.ParameterAt(x, y) - Direct(buffer, c.type, x - 100, y - 100));
            if (wave) {
                error = std::min(error, 1.0 - error);  // 0 and 1 meet where the ramp repeats
            }
            worst = std::max(worst, error);
        }
    }
    EXPECT_LE(worst, bound);
}

INSTANTIATE_TEST_SUITE_P(
    Types, GradientBufferDirectTest,
    testing::Values(DirectCase{GRADIENT_SQUARE, 0.0, 0}, DirectCase{GRADIENT_SQUARE, 0.5, 20},
                    DirectCase{GRADIENT_SQUARE, M_PI / 2, 0}, DirectCase{GRADIENT_SQUARE, -2.2, 0},
                    DirectCase{GRADIENT_HYPERBOLIC, 0.0, 0},
                    DirectCase{GRADIENT_HYPERBOLIC, 2.0, 30}, DirectCase{GRADIENT_WAVE1, 0.0, 0},
                    DirectCase{GRADIENT_WAVE1, 1.1, 0}, DirectCase{GRADIENT_WAVE1, -2.7, 0},
                    DirectCase{GRADIENT_WAVE2, 0.3, 0}, DirectCase{GRADIENT_WAVE2, 2.5, 0}));

// --- Rows against pixels ---

// GetPixel's colour rounded to bytes, packed as rows are.
uint32 PackedPixel(YKGradientBuffer& buffer, int32 x, int32 y) {
    double c[4];
    buffer.GetPixel(x, y, &c[0], &c[1], &c[2], &c[3]);
    uint32 pixel = 0;
    for (int32 k : {3, 0, 1, 2}) {
        pixel = pixel << 8 | static_cast<uint32>(std::lround(c[k] * 255.0));
    }
    return pixel;
}

// One to four items with random colours, curves and colour models.
YKGradient RandomGradient(std::mt19937& random) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const auto colour = [&] {
        return YKGradientItem::Color{unit(random), unit(random), unit(random), unit(random)};
    };
    YKGradient gradient;
    gradient.Eraze();
    const int32 items = std::uniform_int_distribution<int32>(1, 4)(random);
    double left = 0.0;
    for (int32 i = 0; i < items; ++i) {
        const double right = i + 1 == items ? 1.0 : left + (1.0 - left) * unit(random);
        gradient.AddItem(left, left + (right - left) * unit(random), right, colour(), colour(),
                         static_cast<grad_type>(random() % 5),
                         static_cast<grad_color>(random() % 3));
        left = right;
    }
    return gradient;
}

// Every type, turned every way (quarter turns included, where a linear row has one colour),
// with random shaping values and ramps: rows equal GetPixel bit for bit, before and after the
// buffer has painted enough to tabulate its ramp, when a row is asked for again in pieces, and
// after the gradient is replaced behind its back.
TEST(GradientBufferRowTest, RowsEqualGetPixelForEveryTypeAndTurn) {
    std::mt19937 random(24);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    // Linear rows are kept and joined from pieces: the trials after the first 45 test them more.
    for (int32 trial = 0; trial < 60; ++trial) {
        const auto type = trial < 45 ? static_cast<GradientType>(trial % 9) : GRADIENT_LINEAR;
        YKGradientBuffer buffer(kFrame, "tmp_gradient", trial % 4 == 3);
        buffer.SetGradientType(type);
        buffer.SetGradient(RandomGradient(random));
        // Quarter turns are made exactly, so that one of the direction's terms is zero.
        constexpr double kQuarters[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
        const double angle = 2 * M_PI * unit(random);
        const int32 quarter = trial / 9 % 6;
        const double cosine = quarter < 4 ? kQuarters[quarter][0] : std::cos(angle);
        const double sine = quarter < 4 ? kQuarters[quarter][1] : std::sin(angle);
        // Short ramps make neighbours differ, so that a row out of place shows.
        const double length =
            trial % 7 == 0 ? 0.3 : 4.0 + (trial % 2 == 0 ? 12.0 : 150.0) * unit(random);
        const double sx = kFrame.left + 200.0 * unit(random);
        const double sy = kFrame.top + 200.0 * unit(random);
        buffer.SetSxSy(sx, sy);
        buffer.SetExEy(sx + length * cosine, sy + length * sine);
        buffer.SetOffset(trial % 3 == 0 ? 0.0 : 100.0 * unit(random));
        buffer.SetFreq(30.0 * unit(random));
        buffer.SetAmplitude(0.2 * unit(random));
        buffer.SetStrech(0.5 + 6.0 * unit(random));
        buffer.SetShift({-kFrame.left + 9.0 * unit(random), -kFrame.top});
        std::vector<uint32> row(320);
        for (int32 pass = 0; pass < 3; ++pass) {
            if (pass == 2) {
                *buffer.GetGradient() = RandomGradient(random);
            }
            int32 y = 0;
            int32 x = 0;
            int32 count = 0;
            int32 first = 0;
            int32 last = 0;
            for (int32 k = 0; k < 80; ++k) {
                // Rows come as a shape's pieces do: a run, two pieces of the same row (just
                // after the last one, just before it, overlapping or within it), then the
                // whole stretch the three covered.
                if (k % 4 == 0) {
                    y = static_cast<int32>(random() % 260) - 20;
                    x = static_cast<int32>(random() % 60) - 30;
                    count = static_cast<int32>(1 + random() % 120);
                    first = x;
                    last = x + count;
                } else if (k % 4 == 3) {
                    x = first;
                    count = last - first;
                } else {
                    const auto piece = static_cast<int32>(1 + random() % 60);
                    const int32 choice = static_cast<int32>(random() % 4);
                    x = choice == 0   ? x + count
                        : choice == 1 ? x - piece
                        : choice == 2 ? x + count - 1 - static_cast<int32>(random() % 3)
                                      : x + static_cast<int32>(random() % count);
                    count = piece;
                    first = std::min(first, x);
                    last = std::max(last, x + count);
                }
                buffer.GetRow(x, y, count, row.data());
                for (int32 i = 0; i < count; ++i) {
                    ASSERT_EQ(row[i], PackedPixel(buffer, x + i, y))
                        << "type " << type << " trial " << trial << " pass " << pass << " at "
                        << x + i << "," << y;
                }
            }
        }
    }
}

// The cones estimate their angles once the ramp is tabulated: whole rows of the frame, each turn
// and centre, with and without an offset (which shapes the cone with a power), still equal
// GetPixel bit for bit.
TEST(GradientBufferRowTest, ConeRowsFromEstimatedAnglesEqualGetPixel) {
    std::mt19937 random(31);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const int32 width = kFrame.right - kFrame.left + 1;
    std::vector<uint32> row(static_cast<std::size_t>(width));
    for (int32 trial = 0; trial < 12; ++trial) {
        YKGradientBuffer buffer(kFrame, "tmp_gradient", false);
        buffer.SetGradientType(trial % 2 == 0 ? GRADIENT_CONICAL_ASYMMETRIC
                                              : GRADIENT_CONICAL_SYMMETRIC);
        buffer.SetGradient(RandomGradient(random));
        const double sx = kFrame.left + 200.0 * unit(random);
        const double sy = kFrame.top + 200.0 * unit(random);
        const double angle = 2 * M_PI * unit(random);
        buffer.SetSxSy(sx, sy);
        buffer.SetExEy(sx + 40.0 * std::cos(angle), sy + 40.0 * std::sin(angle));
        buffer.SetOffset(trial >= 10 ? 35.0 : 0.0);
        for (int32 y = kFrame.top; y <= kFrame.bottom; ++y) {
            // In two parts, so that each ends in pixels done one at a time.
            buffer.GetRow(kFrame.left, y, 101, row.data());
            buffer.GetRow(kFrame.left + 101, y, width - 101, row.data() + 101);
            for (int32 i = 0; i < width; ++i) {
                ASSERT_EQ(row[i], PackedPixel(buffer, kFrame.left + i, y))
                    << "trial " << trial << " at " << kFrame.left + i << "," << y;
            }
        }
    }
}

// --- Pixels ---

TEST(GradientBufferPixelTest, DrawPaintsTheRampAndCopyPaintKeepsTheGeometry) {
    YKRaster raster(YKRect<int32>{0, 0, 7, 3});
    YKGradientBuffer buffer(&raster);
    YKGradientContainer paint;
    paint.SetGradientType(GRADIENT_BILINEAR);
    paint.SetSxSy(500, 500);
    buffer.SetSxSy(0, 0);
    buffer.SetExEy(7, 0);
    buffer.CopyPaint(paint);
    EXPECT_EQ(buffer.GetGradientType(), GRADIENT_BILINEAR);
    EXPECT_EQ(buffer.GetSx(), 0.0);
    buffer.Draw();
    EXPECT_EQ(PixelAt(raster, 0, 2), 0xFF030303u);  // the black end, sampled at 0.01
    EXPECT_EQ(PixelAt(raster, 7, 2), 0xFFFCFCFCu);  // the white end, sampled at 0.99
    for (int32 x = 1; x < 8; ++x) {
        EXPECT_GT(PixelAt(raster, x, 2) & 0xFF, PixelAt(raster, x - 1, 2) & 0xFF);
    }
}

TEST(GradientBufferPixelTest, DamagedArchivesStillPaintColoursInTheUnitRange) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (int32 type : {0, 2, 3, 4, 5, 6, 7, 8, 42}) {
        for (double bad : {nan, 1e300, -1e300}) {
            YKMessage archive;
            archive.AddDouble("Sx", bad);
            archive.AddDouble("Ey", bad);
            archive.AddDouble("Freq", bad);
            archive.AddDouble("Offset", type == 2 ? bad : 5.0);
            archive.AddInt32("GradType", type);
            YKGradient().Archive(&archive);
            const YKGradientContainer damaged(archive);
            for (bool badGeometry : {true, false}) {
                YKGradientBuffer buffer(YKRect<int32>{0, 0, 63, 63});
                buffer.CopyPaint(damaged);
                if (badGeometry) {
                    buffer.SetSxSy(damaged.GetSx(), 3.0);
                    buffer.SetExEy(40.0, damaged.GetEy());
                } else {
                    buffer.SetSxSy(3.0, 3.0);
                    buffer.SetExEy(40.0, 20.0);
                }
                for (int32 i = 0; i < 64; i += 7) {
                    double c[4];
                    buffer.GetPixel(i, 63 - i, &c[0], &c[1], &c[2], &c[3]);
                    for (double channel : c) {
                        EXPECT_TRUE(channel >= 0.0 && channel <= 1.0) << type;
                    }
                }
            }
        }
    }
}

}  // namespace
