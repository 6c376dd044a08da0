#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "FileBytes.h"
#include "TempDir.h"
#include "YKGradient.h"
#include "YKGradientContainer.h"
#include "YKMessage.h"

namespace {

using Color = YKGradientItem::Color;

constexpr Color kBlack{0.0, 0.0, 0.0, 1.0};
constexpr Color kWhite{1.0, 1.0, 1.0, 1.0};
constexpr Color kRed{1.0, 0.0, 0.0, 1.0};
constexpr Color kBlue{0.0, 0.0, 1.0, 1.0};

Color ColorAt(YKGradient& gradient, double t) {
    Color c;
    gradient.get_color_at(t, &c.r, &c.g, &c.b, &c.a);
    return c;
}

Color BufferedAt(YKGradient& gradient, double t) {
    Color c;
    gradient.get_buffered_color_at(t, &c.r, &c.g, &c.b, &c.a);
    return c;
}

YKGradient OneItem(double middle, Color from, Color to, grad_type type = GRAD_LINEAR,
                   grad_color model = GRAD_RGB) {
    YKGradient gradient;
    gradient.Eraze();
    gradient.AddItem(0.0, middle, 1.0, from, to, type, model);
    return gradient;
}

// Three items of every curve and colour model the tables must reproduce.
YKGradient Mixed() {
    YKGradient gradient;
    gradient.Eraze();
    gradient.AddItem(0.0, 0.1, 0.3, kRed, kBlue, GRAD_CURVED, GRAD_HSV_CCW);
    gradient.AddItem(0.3, 0.5, 0.55, kBlue, {0.2, 0.9, 0.1, 0.3}, GRAD_SINUSOIDAL, GRAD_HSV_CW);
    gradient.AddItem(0.55, 0.8, 1.0, {0.2, 0.9, 0.1, 0.3}, kWhite, GRAD_CIRCULAR_DECREASING);
    return gradient;
}

void ExpectColor(const Color& actual, const Color& expected, double tolerance) {
    EXPECT_NEAR(actual.r, expected.r, tolerance);
    EXPECT_NEAR(actual.g, expected.g, tolerance);
    EXPECT_NEAR(actual.b, expected.b, tolerance);
    EXPECT_NEAR(actual.a, expected.a, tolerance);
}

// --- Colour ---

TEST(GradientColorTest, EndsAreTakenInsideTheRampAndNoItemsGiveZero) {
    YKGradient gradient;
    for (double t : {0.0, -3.0}) {
        ExpectColor(ColorAt(gradient, t), {0.01, 0.01, 0.01, 1.0}, 1e-12);
    }
    for (double t : {1.0, 7.0}) {
        ExpectColor(ColorAt(gradient, t), {0.99, 0.99, 0.99, 1.0}, 1e-12);
    }
    EXPECT_EQ(gradient.get_item_at(1.5), nullptr);
    EXPECT_EQ(gradient.get_item_at(-0.1), nullptr);

    gradient.Eraze();
    ExpectColor(ColorAt(gradient, 0.5), {0.0, 0.0, 0.0, 0.0}, 0.0);
    ExpectColor(BufferedAt(gradient, 0.5), {0.0, 0.0, 0.0, 0.0}, 0.0);
}

TEST(GradientColorTest, EveryCurveIsHalfWayAtAMiddleOfAQuarter) {
    struct Case {
        grad_type type;
        double t;
        double expected;
    };
    const double circle = std::sqrt(0.75);
    const Case cases[] = {
        {GRAD_LINEAR, 0.25, 0.5},
        {GRAD_LINEAR, 0.125, 0.25},
        {GRAD_LINEAR, 0.625, 0.75},
        {GRAD_CURVED, 0.25, 0.5},
        {GRAD_CURVED, 0.5, std::sqrt(0.5)},  // p^(ln 0.5 / ln 0.25) = p^0.5
        {GRAD_SINUSOIDAL, 0.25, 0.5},
        {GRAD_SINUSOIDAL, 0.125, (1.0 - std::sin(M_PI / 4.0)) / 2.0},
        {GRAD_CIRCULAR_INCREASING, 0.25, circle},
        {GRAD_CIRCULAR_DECREASING, 0.25, 1.0 - circle},
        {static_cast<grad_type>(9), 0.4, 0.0},  // unknown curves stay at the left colour
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "curve " << c.type << " at " << c.t);
        YKGradient gradient = OneItem(0.25, {0.0, 0.0, 0.0, 0.2}, kWhite, c.type);
        const Color color = ColorAt(gradient, c.t);
        EXPECT_NEAR(color.g, c.expected, 1e-12);
        EXPECT_NEAR(color.a, 0.2 + 0.8 * c.expected, 1e-12);
    }
}

TEST(GradientColorTest, HsvHueTurnsCounterClockwiseThroughGreenAndClockwiseThroughMagenta) {
    YKGradient ccw = OneItem(0.5, kRed, kBlue, GRAD_LINEAR, GRAD_HSV_CCW);
    ExpectColor(ColorAt(ccw, 0.5), {0.0, 1.0, 0.0, 1.0}, 1e-12);
    ExpectColor(ColorAt(ccw, 0.25), {1.0, 1.0, 0.0, 1.0}, 1e-12);
    YKGradient cw = OneItem(0.5, kRed, kBlue, GRAD_LINEAR, GRAD_HSV_CW);
    ExpectColor(ColorAt(cw, 0.5), {1.0, 0.0, 1.0, 1.0}, 1e-12);
    // Counter-clockwise from blue wraps past red's hue 1 = 0.
    YKGradient wrap = OneItem(0.5, kBlue, kRed, GRAD_LINEAR, GRAD_HSV_CCW);
    ExpectColor(ColorAt(wrap, 0.5), {1.0, 0.0, 1.0, 1.0}, 1e-12);
}

TEST(GradientColorTest, LookupsFindTheHoldingItemFromAnyCursor) {
    YKGradient gradient = Mixed();
    std::mt19937 random(7);
    std::uniform_real_distribution<double> parameter(0.0, 1.0);
    for (int32 i = 0; i < 500; ++i) {
        const double t = parameter(random);
        const YKGradientItem* item = gradient.get_item_at(t);
        ASSERT_NE(item, nullptr);
        EXPECT_LE(item->GetLeft(), t);
        EXPECT_GE(item->GetRight(), t);
    }
}

// --- Tables ---

TEST(GradientTableTest, BufferedColourInterpolatesHundredSamplesOfTheExactOne) {
    YKGradient gradient = Mixed();
    YKGradient exact = Mixed();
    std::vector<Color> samples;
    for (int32 i = 0; i < YKGradient::kTableSize; ++i) {
        samples.push_back(ColorAt(exact, i / 99.0));
    }
    std::mt19937 random(11);
    std::uniform_real_distribution<double> parameter(-0.2, 1.2);
    for (int32 i = 0; i < 3000; ++i) {
        const double t = parameter(random);
        const double x = std::clamp(t, 0.0, 1.0) * 99.0;
        const int32 k = static_cast<int32>(x);
        const double phi = x - k;
        const Color& low = samples[k];
        const Color& high = samples[std::min(k + 1, 99)];
        const Color expected{phi * high.r + (1 - phi) * low.r, phi * high.g + (1 - phi) * low.g,
                             phi * high.b + (1 - phi) * low.b, phi * high.a + (1 - phi) * low.a};
        SCOPED_TRACE(t);
        ExpectColor(BufferedAt(gradient, t), expected, 2e-6);
    }

    // A straight black-to-white ramp comes back exactly, except beside the ends, whose samples
    // were taken at 0.01 and 0.99.
    YKGradient ramp;
    for (double t = 0.0; t <= 1.0; t += 1.0 / 1024) {
        const double error = std::fabs(BufferedAt(ramp, t).r - t);
        EXPECT_LE(error, t > 1.0 / 99 && t < 98.0 / 99 ? 2e-6 : 0.0102) << t;
    }
}

TEST(GradientTableTest, DamagedItemsStillGiveChannelsInTheUnitRange) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    YKGradient gradient;
    gradient.Eraze();
    gradient.AddItem(0.0, 0.5, 0.5, {nan, 5.0, -2.0, 1.0}, {0.0, nan, 1.0, 7.0}, GRAD_LINEAR,
                     GRAD_HSV_CCW);
    gradient.AddItem(0.5, nan, 1.0, kRed, kBlue, GRAD_CURVED, GRAD_RGB);
    for (double t : {nan, -1.0, 0.0, 0.3, 0.5, 0.7, 1.0, 2.0}) {
        const Color c = BufferedAt(gradient, t);
        for (double channel : {c.r, c.g, c.b, c.a}) {
            EXPECT_TRUE(channel >= 0.0 && channel <= 1.0) << t;
        }
    }
}

// --- Archive and container ---

YKGradientContainer Sample() {
    YKGradientContainer container;
    container.SetSxSy(3.5, -2.0);
    container.SetExEy(40.0, 12.25);
    container.SetGradientType(GRADIENT_WAVE1);
    container.SetOffset(20.0);
    container.SetFreq(3.0);
    container.SetAmplitude(0.5);
    container.SetStrech(2.0);
    container.SetGradient(Mixed());
    return container;
}

TEST(GradientArchiveTest, ContainerComesBackFromItsFlattenedArchive) {
    const YKGradientContainer original = Sample();
    YKMessage archive('test');
    original.Archive(&archive);
    YKMessage read;
    const std::string bytes = archive.Flatten();
    ASSERT_TRUE(read.Unflatten(bytes.data(), static_cast<ssize_t>(bytes.size())));
    const YKGradientContainer restored(read);
    EXPECT_TRUE(restored == original);
    EXPECT_EQ(restored.GetGradient()->Size(), 3);

    // A copy owns its own gradient.
    YKGradientContainer copy = original;
    copy.GetGradient()->get_first_item()->SetMiddle(0.2);
    EXPECT_FALSE(copy == original);
    EXPECT_EQ(original.GetGradient()->get_first_item()->GetMiddle(), 0.1);
}

TEST(GradientArchiveTest, MissingKeysGiveTheDefaultsAndCountsAreBoundedByTheItems) {
    const YKGradientContainer fresh;
    EXPECT_STREQ(fresh.Name(), "Untitled");
    EXPECT_EQ(fresh.GetGradient()->Size(), 1);
    const YKGradientContainer empty{YKMessage()};
    const auto settings = [](const YKGradientContainer& c) {
        return std::tuple(c.GetGradientType(), c.GetSx(), c.GetSy(), c.GetEx(), c.GetEy(),
                          c.GetOffset(), c.GetFreq(), c.GetAmplitude(), c.GetStrech());
    };
    EXPECT_EQ(settings(empty), settings(fresh));
    EXPECT_NEAR(fresh.Angle(), 0.0, 1e-15);  // E to the right of S
    EXPECT_EQ(empty.GetGradient()->Size(), 0);

    YKMessage archive;
    YKGradient().Archive(&archive);
    archive.ReplaceInt32("grad_num_item", 1000000);
    EXPECT_EQ(YKGradient(archive).Size(), 1);
    archive.ReplaceInt32("grad_num_item", -4);
    EXPECT_EQ(YKGradient(archive).Size(), 0);

    YKGradientContainer down;
    down.SetExEy(0.0, 1.0);
    EXPECT_NEAR(down.Angle(), -M_PI / 2.0, 1e-15);
}

// --- Gradient files ---

class GradientFileTest : public testing::Test {
protected:
    std::string Path(const char* name) const { return mDir.PathOf(name); }

    TempDir mDir;
};

TEST_F(GradientFileTest, RoundTripKeepsNameAndItemsInTheDocumentedLayout) {
    YKGradient original = Mixed();
    original.SetName("Sunset");
    const std::string path = Path("sunset.grad");
    ASSERT_TRUE(original.save(path.c_str()));
    const std::string bytes = ReadBytes(path);
    EXPECT_EQ(bytes.size(), 4u + 4 + 6 + 4 + 3 * 96);
    EXPECT_EQ(bytes.substr(0, 4), "YKGR");
    EXPECT_EQ(bytes.substr(8, 6), "Sunset");

    YKGradient loaded;
    ASSERT_TRUE(loaded.load(path.c_str()));
    EXPECT_TRUE(loaded == original);
    EXPECT_STREQ(loaded.GetName(), "Sunset");
}

TEST_F(GradientFileTest, WrongMagicShortFilesAndOversizedCountsAreRefused) {
    YKGradient original = Mixed();
    const std::string path = Path("refused.grad");
    ASSERT_TRUE(original.save(path.c_str()));
    const std::string good = ReadBytes(path);

    std::string wrongMagic = good;
    wrongMagic[3] = 'X';
    const std::string variants[] = {wrongMagic, good.substr(0, good.size() - 10), good.substr(0, 6),
                                    // no name, then an item count no file of this size can hold
                                    std::string("YKGR\0\0\0\0\xff\xff\xff\x7f", 12)};
    for (const std::string& bytes : variants) {
        WriteBytes(path, bytes);
        YKGradient loaded;
        EXPECT_FALSE(loaded.load(path.c_str()));
        EXPECT_EQ(loaded.Size(), 0);
    }
    YKGradient missing;
    EXPECT_FALSE(missing.load(Path("no-such-file.grad").c_str()));
    EXPECT_FALSE(missing.IsData());
}

}  // namespace
