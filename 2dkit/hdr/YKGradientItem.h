#pragma once

// YKGradientItem: one piece of a gradient's colour ramp. It spans [left, right] of the ramp's
// parameter, runs from colour 0 at left to colour 1 at right along an interpolation curve in one
// colour model, and is half way at middle. The items of a YKGradient form a doubly linked list
// that the gradient owns; an item never follows its links on its own.

#include "yk_types.h"

// Interpolation curve of an item; the comments are the labels the editor shows.
enum grad_type : int32 {
    GRAD_LINEAR = 0,               // "Linear"
    GRAD_CURVED = 1,               // "Curved"
    GRAD_SINUSOIDAL = 2,           // "Sinuosidal"
    GRAD_CIRCULAR_INCREASING = 3,  // "Circular (increasing)"
    GRAD_CIRCULAR_DECREASING = 4,  // "Circular (decreasing)"
};

// Colour model an item interpolates in.
enum grad_color : int32 {
    GRAD_RGB = 0,      // "Plain RGB"
    GRAD_HSV_CCW = 1,  // "HSV (counter-clockwise hue)"
    GRAD_HSV_CW = 2,   // "HSV (clockwise hue)"
};

class YKGradientItem {
public:
    // A straight colour, channels 0..1.
    struct Color {
        double r = 0.0;
        double g = 0.0;
        double b = 0.0;
        double a = 1.0;
        bool operator==(const Color&) const = default;
    };

    // Over [0, 1], middle 0.5, opaque black to opaque white, linear, plain RGB, unlinked.
    YKGradientItem() = default;
    YKGradientItem(YKGradientItem* prev, YKGradientItem* next, double left, double middle,
                   double right, Color leftColor, Color rightColor, grad_type type = GRAD_LINEAR,
                   grad_color colorType = GRAD_RGB)
        : mLeft(left),
          mMiddle(middle),
          mRight(right),
          mColor0(leftColor),
          mColor1(rightColor),
          mType(type),
          mColorType(colorType),
          mPrev(prev),
          mNext(next) {}
    // Links are the list's business, so items are not copied implicitly.
    YKGradientItem(const YKGradientItem&) = delete;
    YKGradientItem& operator=(const YKGradientItem&) = delete;

    // Takes positions, colours, curve and colour model from `other`; the links stay.
    void Copy(const YKGradientItem& other) {
        mLeft = other.mLeft;
        mMiddle = other.mMiddle;
        mRight = other.mRight;
        mColor0 = other.mColor0;
        mColor1 = other.mColor1;
        mType = other.mType;
        mColorType = other.mColorType;
    }
    // Compares what Copy() copies.
    bool operator==(const YKGradientItem& other) const {
        return mLeft == other.mLeft && mMiddle == other.mMiddle && mRight == other.mRight &&
               mColor0 == other.mColor0 && mColor1 == other.mColor1 && mType == other.mType &&
               mColorType == other.mColorType;
    }
    bool operator!=(const YKGradientItem& other) const { return !(*this == other); }

    void SetBounds(double left, double middle, double right) {
        mLeft = left;
        mMiddle = middle;
        mRight = right;
    }
    void SetLeft(double left) { mLeft = left; }
    void SetMiddle(double middle) { mMiddle = middle; }
    void SetRight(double right) { mRight = right; }
    void SetColor(double r0, double g0, double b0, double a0, double r1, double g1, double b1,
                  double a1) {
        mColor0 = {r0, g0, b0, a0};
        mColor1 = {r1, g1, b1, a1};
    }
    void SetLC(Color color) { mColor0 = color; }
    void SetRC(Color color) { mColor1 = color; }
    void SetType(grad_type type) { mType = type; }
    void SetColorType(grad_color colorType) { mColorType = colorType; }

    double GetLeft() const { return mLeft; }
    double GetMiddle() const { return mMiddle; }
    double GetRight() const { return mRight; }
    Color GetLC() const { return mColor0; }
    Color GetRC() const { return mColor1; }
    grad_type GetType() const { return mType; }
    grad_color GetColorType() const { return mColorType; }

    YKGradientItem* Prev() const { return mPrev; }
    YKGradientItem* Next() const { return mNext; }

private:
    // Only the owning gradient links items.
    friend class YKGradient;
    void SetPrev(YKGradientItem* prev) { mPrev = prev; }
    void SetNext(YKGradientItem* next) { mNext = next; }

    double mLeft = 0.0;
    double mMiddle = 0.5;
    double mRight = 1.0;
    Color mColor0{0.0, 0.0, 0.0, 1.0};
    Color mColor1{1.0, 1.0, 1.0, 1.0};
    grad_type mType = GRAD_LINEAR;
    grad_color mColorType = GRAD_RGB;
    YKGradientItem* mPrev = nullptr;
    YKGradientItem* mNext = nullptr;
};
