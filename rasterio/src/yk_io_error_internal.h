#pragma once

// Error texts of the readers and writers go to an optional string.

#include <string>

inline void yk_set_error(std::string* error, const std::string& text) {
    if (error != nullptr) {
        *error = text;
    }
}
