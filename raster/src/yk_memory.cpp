#include "yk_memory.h"

#include <cstdint>
#include <cstring>

// Each unit goes through a fixed-size memcpy: that is one load and one store, and it is defined
// for any alignment, which a cast to uint64* would not be.
void yk_memcpy(void* dst, const void* src, std::size_t n) {
    auto* d = static_cast<unsigned char*>(dst);
    const auto* s = static_cast<const unsigned char*>(src);
    for (std::size_t units = n >> 3; units > 0; --units, d += 8, s += 8) {
        std::memcpy(d, s, 8);
    }
    for (std::size_t rest = n & 7; rest > 0; --rest) {
        *d++ = *s++;
    }
}

void yk_memclr(void* p, std::size_t n) {
    auto* d = static_cast<unsigned char*>(p);
    const std::uint64_t zero = 0;
    for (std::size_t units = n >> 3; units > 0; --units, d += 8) {
        std::memcpy(d, &zero, 8);
    }
    for (std::size_t rest = n & 7; rest > 0; --rest) {
        *d++ = 0;
    }
}

void memcpy_2(void* dst, const void* src, std::size_t n) {
    const auto aligned = [](const void* p) {
        return (reinterpret_cast<std::uintptr_t>(p) & 7) == 0;
    };
    if (aligned(dst) && aligned(src)) {
        yk_memcpy(dst, src, n);
    } else {
        std::memcpy(dst, src, n);
    }
}
