#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

#include "yk_color.h"

TEST(ColorTest, PixelLayoutAndCmykInput) {
    const yk_color c(uint32(0x80FF4020));
    EXPECT_EQ(c, yk_color(rgb_color{0xFF, 0x40, 0x20, 0x80}));
    EXPECT_EQ(c.ARGBPixel(), 0x80FF4020u);
    EXPECT_EQ(yk_color(1, 2, 3).alpha, 255);

    yk_color picked;
    picked.SetCMYKA(0, 127, 255, 0, 200);
    EXPECT_EQ(picked, yk_color(255, 128, 0, 200));
    // Full black hides the other inks, but the picker's values are kept as given.
    picked.SetCMYKA(10, 20, 30, 255, 255);
    EXPECT_EQ(picked, yk_color(0, 0, 0, 255));
    EXPECT_EQ(picked.cyan, 10);
    EXPECT_NE(picked, yk_color(0, 0, 0, 254));
}

// Every RGB setter must leave CMYK equal to an independent floating-point computation, and
// that CMYK must convert back to the same RGB.
TEST(ColorTest, EveryRgbSetterKeepsCmykConsistentAndRoundTrips) {
    const std::function<void(yk_color&, uint8, uint8, uint8)> setters[] = {
        [](yk_color& c, uint8 r, uint8 g, uint8 b) { c = yk_color(r, g, b, 7); },
        [](yk_color& c, uint8 r, uint8 g, uint8 b) {
            c = yk_color(rgb_color{r, g, b, 7});
        },
        [](yk_color& c, uint8 r, uint8 g, uint8 b) { c.SetRGBA(r, g, b, 7); },
        [](yk_color& c, uint8 r, uint8 g, uint8 b) {
            c.SetARGBPixel(7u << 24 | r << 16 | g << 8 | b);
        },
    };
    for (const auto& set : setters) {
        for (int r = 0; r < 256; r += 15) {
            for (int g = 0; g < 256; g += 5) {
                for (int b = 0; b < 256; b += 3) {
                    yk_color c(9, 9, 9, 9);
                    set(c, uint8(r), uint8(g), uint8(b));
                    const int top = std::max({r, g, b});
                    auto ink = [top](int v) {
                        return top == 0 ? 0 : int(std::lround((top - v) * 255.0 / top));
                    };
                    ASSERT_EQ(c, yk_color(r, g, b, 7));
                    ASSERT_EQ(
                        (std::array{int(c.cyan), int(c.magenta), int(c.yellow), int(c.black)}),
                        (std::array{ink(r), ink(g), ink(b), 255 - top}))
                        << r << "," << g << "," << b;
                    yk_color back;
                    back.SetCMYKA(c.cyan, c.magenta, c.yellow, c.black, c.alpha);
                    ASSERT_EQ(back, c) << r << "," << g << "," << b;
                }
            }
        }
    }
}
