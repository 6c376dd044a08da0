#pragma once

// What the PNG reader and writer share: libpng's structs and its errors turned into texts.
//
// libpng reports an error with a longjmp back to the last setjmp. No object with a destructor
// may live in a frame it jumps out of, so each stage that calls libpng is a function of its own
// with plain locals only, and whatever is owned lives in its caller's frame.

#include <png.h>

#include <string>

namespace yk_png {

// Filled by the handlers just before the jump, hence plain bytes.
struct ErrorSink {
    char error[160] = {};
    // libpng details a bad header in warnings and then fails with a general error.
    char warning[160] = {};
};

// A read or write struct with its info struct, destroyed together.
class Handle {
public:
    Handle(bool writing, ErrorSink* sink);
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle();

    bool IsValid() const { return png != nullptr && info != nullptr; }

    png_structp png = nullptr;
    png_infop info = nullptr;

private:
    bool mWriting;
};

// The error, followed by the last warning when there was one.
std::string ErrorText(const ErrorSink& sink);

}  // namespace yk_png
