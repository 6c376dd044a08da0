#pragma once

// Small generic helpers shared by every folder: MIN, MAX, SWAP, NORM and CHANGEENDIAN.

#include <cstring>
#include <type_traits>

// Some C headers define MIN and MAX as macros; ours are typed templates.
#ifdef MIN
#undef MIN
#endif
#ifdef MAX
#undef MAX
#endif

template <typename T>
constexpr T MIN(T a, T b) {
    return b < a ? b : a;
}

template <typename T>
constexpr T MAX(T a, T b) {
    return a < b ? b : a;
}

template <typename T>
constexpr void SWAP(T& a, T& b) {
    T t = a;
    a = b;
    b = t;
}

// Orders a pair so that a <= b afterwards.
template <typename T>
constexpr void NORM(T& a, T& b) {
    if (b < a) {
        SWAP(a, b);
    }
}

// Reverses the bytes of a 16-bit, 32-bit or float value in place.
template <typename T>
inline void CHANGEENDIAN(T& value) {
    static_assert(std::is_trivially_copyable_v<T> && (sizeof(T) == 2 || sizeof(T) == 4),
                  "CHANGEENDIAN takes 16-bit, 32-bit and float values");
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    for (std::size_t i = 0; i < sizeof(T) / 2; ++i) {
        const unsigned char t = bytes[i];
        bytes[i] = bytes[sizeof(T) - 1 - i];
        bytes[sizeof(T) - 1 - i] = t;
    }
    std::memcpy(&value, bytes, sizeof(T));
}
