#pragma once

// What the JPEG reader and writer share: libjpeg's errors and warnings turned into texts.
//
// libjpeg reports an error by calling the error manager's exit routine, which here jumps back
// to the last setjmp. No object with a destructor may live in a frame it jumps out of, so each
// stage that calls libjpeg is a function of its own with plain locals only, and whatever is
// owned lives in its caller's frame.

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace yk_jpeg {

// Plain bytes, filled just before the jump.
struct Errors {
    jpeg_error_mgr manager;  // first, so that libjpeg's pointer to it is one to the whole
    std::jmp_buf jump;
    char error[JMSG_LENGTH_MAX] = {};
    char warning[JMSG_LENGTH_MAX] = {};  // the first one
};

// Sets up `errors` to collect texts instead of printing them; returns what goes into `err`.
jpeg_error_mgr* InitErrors(Errors& errors);

}  // namespace yk_jpeg
