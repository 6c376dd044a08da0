#pragma once

// The process's one FreeType library and the lock every FreeType call is made under: text
// objects are measured and drawn from several threads, and FreeType objects are not
// thread-safe.

#include <ft2build.h>
#include FT_FREETYPE_H

#include "YKLocker.h"

extern YKLocker lock_freetype_access;

// The library, created on first use; null when FreeType cannot start. Call with
// lock_freetype_access held.
FT_Library yk_freetype_library();
