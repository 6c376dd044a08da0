#pragma once

// What the fontconfig users of this folder share.

#include <fontconfig/fontconfig.h>

#include <string>

// The first string of `object` in `pattern`, or "" when it has none.
inline std::string yk_fc_first_string(FcPattern* pattern, const char* object) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || value == nullptr) {
        return {};
    }
    return reinterpret_cast<const char*>(value);
}
