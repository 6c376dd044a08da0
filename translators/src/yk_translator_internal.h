#pragma once

// What the translator sources share.

#include <QString>
#include <string>

namespace yk_translator {

// Error texts go to an optional string.
inline void SetError(std::string* error, const std::string& text) {
    if (error != nullptr) {
        *error = text;
    }
}

// File names are bytes; Qt decodes them as the system does.
inline QString PathOf(const char* path) {
    return QString::fromLocal8Bit(path);
}

}  // namespace yk_translator
