#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "YKGradient.h"

namespace {

using Color = YKGradientItem::Color;

constexpr Color kBlack{0.0, 0.0, 0.0, 1.0};
constexpr Color kWhite{1.0, 1.0, 1.0, 1.0};

Color ColorAt(YKGradient& gradient, double t) {
    Color c;
    gradient.get_color_at(t, &c.r, &c.g, &c.b, &c.a);
    return c;
}

// Items between consecutive borders, middles at their centres, grey levels rising with t.
YKGradient Borders(const std::vector<double>& borders) {
    YKGradient gradient;
    gradient.Eraze();
    for (std::size_t i = 0; i + 1 < borders.size(); ++i) {
        const double l = borders[i];
        const double r = borders[i + 1];
        gradient.AddItem(l, (l + r) / 2, r, {l, l, l, 1.0}, {r, r, r, 1.0});
    }
    return gradient;
}

YKGradientItem* ItemAt(const YKGradient& gradient, int32 index) {
    YKGradientItem* item = gradient.get_first_item();
    while (index-- > 0) {
        item = item->Next();
    }
    return item;
}

void Select(YKGradient& gradient, int32 first, int32 last) {
    gradient.SetSelLeft(ItemAt(gradient, first));
    gradient.SetSelRight(ItemAt(gradient, last));
}

void ExpectBounds(const YKGradientItem* item, double left, double middle, double right) {
    ASSERT_NE(item, nullptr);
    EXPECT_NEAR(item->GetLeft(), left, 1e-12);
    EXPECT_NEAR(item->GetMiddle(), middle, 1e-12);
    EXPECT_NEAR(item->GetRight(), right, 1e-12);
}

// What every operation promises: a consistent list over exactly [0, 1] without gaps.
void ExpectContiguous(const YKGradient& gradient) {
    const YKGradientItem* first = gradient.get_first_item();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Prev(), nullptr);
    EXPECT_EQ(first->GetLeft(), 0.0);
    int32 count = 1;
    const YKGradientItem* item = first;
    for (; item->Next() != nullptr; item = item->Next(), ++count) {
        ASSERT_EQ(item->Next()->Prev(), item);
        ASSERT_EQ(item->GetRight(), item->Next()->GetLeft());
    }
    EXPECT_EQ(item, gradient.get_last_item());
    EXPECT_EQ(item->GetRight(), 1.0);
    EXPECT_EQ(count, gradient.Size());
}

TEST(GradientEditTest, MoveStopsShortOfTheMiddlesAndKeepsTheEnds) {
    YKGradient whole;
    YKGradientItem* only = whole.get_first_item();
    EXPECT_NEAR(whole.move(only, only, -0.8), -0.49, 1e-12);
    ExpectBounds(only, 0.0, 0.01, 1.0);

    YKGradient three = Borders({0.0, 0.3, 0.6, 1.0});
    YKGradientItem* middle = ItemAt(three, 1);
    EXPECT_NEAR(three.move(middle, middle, 0.5), 0.19, 1e-12);  // up to the next middle - 0.01
    ExpectBounds(middle, 0.49, 0.64, 0.79);
    EXPECT_NEAR(three.move(middle, middle, -1.0), -0.33, 1e-12);  // down to 0.15 + 0.01
    ExpectBounds(middle, 0.16, 0.31, 0.46);
    ExpectContiguous(three);
}

TEST(GradientEditTest, FlipMirrorsPositionsColoursCurvesAndHueDirections) {
    YKGradient single;
    single.get_first_item()->SetMiddle(0.3);
    single.get_first_item()->SetType(GRAD_CIRCULAR_INCREASING);
    single.get_first_item()->SetColorType(GRAD_HSV_CCW);
    Select(single, 0, 0);
    single.flip();
    const YKGradientItem* flipped = single.get_first_item();
    ExpectBounds(flipped, 0.0, 0.7, 1.0);
    EXPECT_EQ(flipped->GetLC(), kWhite);
    EXPECT_EQ(flipped->GetRC(), kBlack);
    EXPECT_EQ(flipped->GetType(), GRAD_CIRCULAR_DECREASING);
    EXPECT_EQ(flipped->GetColorType(), GRAD_HSV_CW);
    EXPECT_EQ(single.SelLeft(), flipped);

    // A run of linear items mirrors the colours themselves within its range [0.2, 1].
    YKGradient original = Borders({0.0, 0.2, 0.45, 1.0});
    original.get_last_item()->SetMiddle(0.6);
    YKGradient mirrored = original;
    Select(mirrored, 1, 2);
    mirrored.flip();
    ExpectContiguous(mirrored);
    EXPECT_EQ(mirrored.SelLeft(), ItemAt(mirrored, 1));
    EXPECT_EQ(mirrored.SelRight(), mirrored.get_last_item());
    for (double t = 0.21; t < 0.99; t += 0.01) {
        EXPECT_NEAR(ColorAt(mirrored, t).g, ColorAt(original, 1.2 - t).g, 1e-9) << t;
    }
}

TEST(GradientEditTest, ReplicateAndSplitUniformCutTheRangeIntoEqualPieces) {
    YKGradient replicated;
    Select(replicated, 0, 0);
    replicated.replicate(3);
    ASSERT_EQ(replicated.Size(), 3);
    for (int32 i = 0; i < 3; ++i) {
        ExpectBounds(ItemAt(replicated, i), i / 3.0, (i + 0.5) / 3.0, (i + 1) / 3.0);
        EXPECT_EQ(ItemAt(replicated, i)->GetRC(), kWhite);
    }
    ExpectContiguous(replicated);

    YKGradient split;
    Select(split, 0, 0);
    split.split_uniform(2);
    ASSERT_EQ(split.Size(), 2);
    const YKGradientItem* low = split.get_first_item();
    ExpectBounds(low, 0.0, 0.25, 0.5);
    ExpectBounds(low->Next(), 0.5, 0.75, 1.0);
    EXPECT_EQ(low->GetLC(), kBlack);
    EXPECT_NEAR(low->GetRC().r, 0.5, 1e-12);
    EXPECT_EQ(low->Next()->GetLC(), low->GetRC());
    EXPECT_EQ(low->Next()->GetRC(), kWhite);
    EXPECT_EQ(split.SelLeft(), low);
    EXPECT_EQ(split.SelRight(), split.get_last_item());
}

TEST(GradientEditTest, SplitsAtAPointKeepTheColourThere) {
    YKGradient gradient;
    gradient.get_first_item()->SetMiddle(0.25);
    Select(gradient, 0, 0);
    gradient.split_midpoint();
    ASSERT_EQ(gradient.Size(), 2);
    ExpectBounds(gradient.get_first_item(), 0.0, 0.125, 0.25);
    ExpectBounds(gradient.get_last_item(), 0.25, 0.625, 1.0);
    EXPECT_NEAR(gradient.get_first_item()->GetRC().r, 0.5, 1e-12);  // the old colour at 0.25
    EXPECT_EQ(gradient.SelRight(), gradient.get_last_item());

    const Color before = ColorAt(gradient, 0.8);
    const YKGradientItem* right = gradient.split_point(0.8);
    ASSERT_NE(right, nullptr);
    EXPECT_EQ(right->GetLeft(), 0.8);
    EXPECT_EQ(right->GetLC(), before);
    EXPECT_EQ(gradient.split_point(0.25), nullptr);  // a border already
    EXPECT_EQ(gradient.split_point(1.0), nullptr);
    EXPECT_NE(gradient.split_point_color(0.1, {0.3, 0.2, 0.1, 0.5}), nullptr);
    EXPECT_EQ(gradient.get_first_item()->GetRC(), (Color{0.3, 0.2, 0.1, 0.5}));
    ExpectContiguous(gradient);
}

TEST(GradientEditTest, SuppressHandsTheRangeToTheNeighbours) {
    YKGradient two = Borders({0.0, 0.4, 1.0});
    Select(two, 0, 0);
    two.suppress();
    ASSERT_EQ(two.Size(), 1);
    ExpectBounds(two.get_first_item(), 0.0, 0.5, 1.0);  // 0.7 of [0.4, 1] maps to 0.5
    EXPECT_EQ(two.SelLeft(), two.get_first_item());

    Select(two, 0, 0);
    two.suppress();  // the last item stays
    EXPECT_EQ(two.Size(), 1);

    YKGradient three = Borders({0.0, 0.2, 0.6, 1.0});
    Select(three, 1, 1);
    three.suppress();
    ASSERT_EQ(three.Size(), 2);
    ExpectBounds(three.get_first_item(), 0.0, 0.2, 0.4);
    ExpectBounds(three.get_last_item(), 0.4, 0.7, 1.0);
    EXPECT_EQ(three.SelLeft(), three.get_last_item());
    ExpectContiguous(three);
}

TEST(GradientEditTest, RedistributeBlendAndCompressWorkOnTheirRun) {
    YKGradient gradient = Borders({0.0, 0.1, 0.2, 1.0});
    Select(gradient, 0, 2);
    gradient.redistribute();
    for (int32 i = 0; i < 3; ++i) {
        ExpectBounds(ItemAt(gradient, i), i / 3.0, (i + 0.5) / 3.0, (i + 1) / 3.0);
    }
    gradient.blend_endpoints(1.0, 0.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.5, true, false);
    const YKGradientItem* second = ItemAt(gradient, 1);
    EXPECT_NEAR(second->GetLC().r, 2.0 / 3.0, 1e-12);
    EXPECT_NEAR(second->GetRC().b, 2.0 / 3.0, 1e-12);
    EXPECT_EQ(second->GetRC().a, 1.0);  // opacity untouched
    gradient.blend_endpoints(0, 0, 0, 0.0, 0, 0, 0, 0.6, false, true);
    EXPECT_NEAR(second->GetRC().a, 0.4, 1e-12);
    EXPECT_NEAR(second->GetRC().b, 2.0 / 3.0, 1e-12);  // colour untouched

    gradient.compress_range(ItemAt(gradient, 1), gradient.get_last_item(), 0.5, 0.9);
    ExpectBounds(second, 0.5, 0.6, 0.7);
    ExpectBounds(gradient.get_last_item(), 0.7, 0.8, 0.9);
}

TEST(GradientEditTest, ReplacingTheSavedSelectionUndoesAnEdit) {
    const YKGradient original = Borders({0.0, 0.3, 0.6, 1.0});
    YKGradient gradient = original;
    Select(gradient, 1, 2);
    const YKGradient saved = gradient.save_selection();
    EXPECT_EQ(saved.Size(), 2);
    gradient.split_uniform(3);
    gradient.flip();
    EXPECT_NE(gradient, original);
    gradient.replace_selection(saved);
    EXPECT_EQ(gradient, original);
    EXPECT_EQ(gradient.SelLeft(), ItemAt(gradient, 1));
    EXPECT_EQ(gradient.SelRight(), gradient.get_last_item());
}

// Random editing sessions: whatever the sequence, the list stays whole (ASan watches the
// items that the operations destroy and create).
TEST(GradientEditTest, RandomEditSessionsKeepTheItemsContiguous) {
    std::mt19937 random(2024);
    const auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(random);
    };
    const auto index = [&](int32 count) {
        return std::uniform_int_distribution<int32>(0, count - 1)(random);
    };
    YKGradient gradient = Borders({0.0, 0.25, 0.5, 0.75, 1.0});
    for (int32 step = 0; step < 400; ++step) {
        int32 first = index(gradient.Size());
        int32 last = first + index(gradient.Size() - first);
        Select(gradient, first, last);
        const YKGradient saved = gradient.save_selection();
        switch (index(gradient.Size() > 30 ? 3 : 12)) {
            case 0:
                gradient.suppress();
                break;
            case 1:
                gradient.move(gradient.SelLeft(), gradient.SelRight(), uniform(-0.3, 0.3));
                break;
            case 2:
                gradient.resize(gradient.SelLeft(), uniform(0.0, 1.0));
                break;
            case 3:
                gradient.flip();
                break;
            case 4:
                gradient.replicate(1 + index(3));
                break;
            case 5:
                gradient.split_uniform(1 + index(3));
                break;
            case 6:
                gradient.split_midpoint();
                break;
            case 7:
                gradient.split_point(uniform(0.0, 1.0));
                break;
            case 8:
                gradient.redistribute();
                break;
            case 9:
                gradient.recenter();
                break;
            case 10:
                gradient.blend_endpoints(0.1, 0.2, 0.3, 0.4, 0.9, 0.8, 0.7, 0.6, true, true);
                break;
            default:
                gradient.replace_selection(saved);
                break;
        }
        SCOPED_TRACE(step);
        ExpectContiguous(gradient);
        ColorAt(gradient, uniform(0.0, 1.0));
    }
}

}  // namespace
