#include "yk_freetype.h"

YKLocker lock_freetype_access("freetype access");

namespace {

// Done at exit, after every face has been closed by its owner.
struct Library {
    FT_Library library = nullptr;
    Library() {
        if (FT_Init_FreeType(&library) != 0) {
            library = nullptr;
        }
    }
    ~Library() {
        if (library != nullptr) {
            FT_Done_FreeType(library);
        }
    }
};

}  // namespace

FT_Library yk_freetype_library() {
    static Library library;
    return library.library;
}
