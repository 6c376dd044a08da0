// libpng's structs and error handlers.

#include <cstdio>

#include "yk_png_internal.h"

namespace yk_png {

namespace {

[[noreturn]] void OnError(png_structp png, png_const_charp message) {
    auto* sink = static_cast<ErrorSink*>(png_get_error_ptr(png));
    std::snprintf(sink->error, sizeof sink->error, "%s", message);
    png_longjmp(png, 1);
}

void OnWarning(png_structp png, png_const_charp message) {
    auto* sink = static_cast<ErrorSink*>(png_get_error_ptr(png));
    std::snprintf(sink->warning, sizeof sink->warning, "%s", message);
}

}  // namespace

Handle::Handle(bool writing, ErrorSink* sink) : mWriting(writing) {
    png = writing ? png_create_write_struct(PNG_LIBPNG_VER_STRING, sink, OnError, OnWarning)
                  : png_create_read_struct(PNG_LIBPNG_VER_STRING, sink, OnError, OnWarning);
    if (png != nullptr) {
        info = png_create_info_struct(png);
    }
}

Handle::~Handle() {
    if (mWriting) {
        png_destroy_write_struct(&png, &info);
    } else {
        png_destroy_read_struct(&png, &info, nullptr);
    }
}

std::string ErrorText(const ErrorSink& sink) {
    std::string text = sink.error[0] != '\0' ? sink.error : "libpng failed";
    if (sink.warning[0] != '\0') {
        text = text + " (" + sink.warning + ")";
    }
    return text;
}

}  // namespace yk_png
