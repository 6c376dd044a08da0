#pragma once

#include "YKGeneric.h"
#include "YKPoint.h"

// A rectangle. For integer rectangles right and bottom are inclusive: (0, 0, 0, 0) covers one
// pixel, and a rectangle with left > right or top > bottom is empty. (1, 1, -1, -1) stands for
// "no rectangle" (see None()).

template <typename T>
struct YKRect {
    T left{};
    T top{};
    T right{};
    T bottom{};

    // The conventional empty rectangle.
    static constexpr YKRect None() { return {T(1), T(1), T(-1), T(-1)}; }

    constexpr bool IsValid() const { return left <= right && top <= bottom; }
    constexpr T Width() const { return right - left; }
    constexpr T Height() const { return bottom - top; }
    constexpr YKPoint<T> LeftTop() const { return {left, top}; }
    constexpr YKPoint<T> RightBottom() const { return {right, bottom}; }

    constexpr bool Contains(YKPoint<T> p) const {
        return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
    }
    constexpr bool Intersects(const YKRect& r) const {
        return IsValid() && r.IsValid() && r.left <= right && r.right >= left && r.top <= bottom &&
               r.bottom >= top;
    }
    // The common part; empty (not necessarily None()) when the two do not meet.
    constexpr YKRect operator&(const YKRect& r) const {
        return {MAX(left, r.left), MAX(top, r.top), MIN(right, r.right), MIN(bottom, r.bottom)};
    }
    // The smallest rectangle holding both; an empty operand does not count.
    constexpr YKRect operator|(const YKRect& r) const {
        if (!r.IsValid()) {
            return *this;
        }
        if (!IsValid()) {
            return r;
        }
        return {MIN(left, r.left), MIN(top, r.top), MAX(right, r.right), MAX(bottom, r.bottom)};
    }
    constexpr void OffsetBy(T dx, T dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    constexpr void InsetBy(T dx, T dy) {
        left += dx;
        right -= dx;
        top += dy;
        bottom -= dy;
    }
    constexpr bool operator==(const YKRect&) const = default;
};
