#pragma once

// Bulk copies and clears in 8-byte units: the pixel stores move whole rows and blocks with them.

#include <cstddef>

// Copies n bytes: n / 8 eight-byte units, then the n % 8 remaining bytes. The areas must not
// overlap.
void yk_memcpy(void* dst, const void* src, std::size_t n);
// Clears n bytes the same way.
void yk_memclr(void* p, std::size_t n);
// yk_memcpy when both addresses are multiples of 8, else the C library's memcpy.
void memcpy_2(void* dst, const void* src, std::size_t n);
