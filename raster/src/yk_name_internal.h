#pragma once

// Names of pixel stores are owned C strings that may be absent.

#include <cstring>
#include <memory>

inline std::unique_ptr<char[]> yk_copy_name(const char* name) {
    if (name == nullptr) {
        return nullptr;
    }
    const std::size_t length = std::strlen(name) + 1;
    auto copy = std::make_unique<char[]>(length);
    std::memcpy(copy.get(), name, length);
    return copy;
}
