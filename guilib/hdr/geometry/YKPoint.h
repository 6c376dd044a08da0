#pragma once

// A point: YKPoint<double> for document coordinates, YKPoint<int32> for pixel positions.

template <typename T>
struct YKPoint {
    T x{};
    T y{};

    constexpr YKPoint operator+(const YKPoint& other) const { return {x + other.x, y + other.y}; }
    constexpr YKPoint operator-(const YKPoint& other) const { return {x - other.x, y - other.y}; }
    constexpr YKPoint& operator+=(const YKPoint& other) {
        x += other.x;
        y += other.y;
        return *this;
    }
    constexpr YKPoint& operator-=(const YKPoint& other) {
        x -= other.x;
        y -= other.y;
        return *this;
    }
    constexpr bool operator==(const YKPoint&) const = default;
};
