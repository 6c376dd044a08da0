#include "YKCliFrameNumber.h"

#include <cstdlib>

bool YKParseFrameNumber(const char* text, int32* frame) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > 1'000'000) {
        return false;
    }
    *frame = static_cast<int32>(value);
    return true;
}
