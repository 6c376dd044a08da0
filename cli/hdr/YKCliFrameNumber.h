#pragma once

// A frame number as commands take it: 1 to 1,000,000, digits only.

#include "yk_types.h"

// False (and `frame` untouched) for anything else.
bool YKParseFrameNumber(const char* text, int32* frame);
