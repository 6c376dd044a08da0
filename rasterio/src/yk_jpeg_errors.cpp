// libjpeg's messages collected as texts; an error jumps back to the stage that called libjpeg.

#include <cstring>

#include "yk_jpeg_internal.h"

namespace yk_jpeg {
namespace {

Errors& Of(j_common_ptr cinfo) {
    return *reinterpret_cast<Errors*>(cinfo->err);
}

[[noreturn]] void ExitWithError(j_common_ptr cinfo) {
    (*cinfo->err->format_message)(cinfo, Of(cinfo).error);
    std::longjmp(Of(cinfo).jump, 1);
}

// Level -1 is a warning (damaged data read past); higher levels are traces, ignored.
void KeepWarning(j_common_ptr cinfo, int level) {
    if (level < 0) {
        if (cinfo->err->num_warnings++ == 0) {
            (*cinfo->err->format_message)(cinfo, Of(cinfo).warning);
        }
    }
}

}  // namespace

jpeg_error_mgr* InitErrors(Errors& errors) {
    jpeg_std_error(&errors.manager);
    errors.manager.error_exit = ExitWithError;
    errors.manager.emit_message = KeepWarning;
    return &errors.manager;
}

}  // namespace yk_jpeg
