#include "YKNewCommand.h"

#include <charconv>
#include <cstring>
#include <string>
#include <string_view>

#include "YKCliReport.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "yk_color.h"
#include "yk_image_limits.h"

namespace {

// The whole text must be a decimal number no larger than an image's side.
bool ParseSide(std::string_view text, int32* side) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, *side);
    return !text.empty() && error == std::errc() && stop == end && *side >= 1 &&
           *side <= kYKMaxImageSide;
}

// Exactly eight hexadecimal digits, red first, alpha last.
bool ParseColor(std::string_view text, yk_color* color) {
    uint32 value = 0;
    const char* end = text.data() + text.size();
    if (text.size() != 8) {
        return false;
    }
    const auto [stop, error] = std::from_chars(text.data(), end, value, 16);
    if (error != std::errc() || stop != end) {
        return false;
    }
    *color = yk_color(static_cast<uint8>(value >> 24), static_cast<uint8>(value >> 16),
                      static_cast<uint8>(value >> 8), static_cast<uint8>(value));
    return true;
}

}  // namespace

int YKNewCommand::Run(int argc, char** argv) {
    const char* width = nullptr;
    const char* height = nullptr;
    const char* background = "FFFFFFFF";  // the built-in templates' opaque white
    const char* name = nullptr;
    const char* output = nullptr;
    for (int i = 0; i < argc; ++i) {
        const char* option = argv[i];
        const char** target = std::strcmp(option, "--width") == 0        ? &width
                              : std::strcmp(option, "--height") == 0     ? &height
                              : std::strcmp(option, "--background") == 0 ? &background
                              : std::strcmp(option, "--name") == 0       ? &name
                              : std::strcmp(option, "-o") == 0           ? &output
                                                                         : nullptr;
        if (target == nullptr) {
            std::fprintf(mErr, "gravik-cli: new: unknown argument \"%s\"\n", option);
            return 2;
        }
        if (i + 1 == argc) {
            std::fprintf(mErr, "gravik-cli: new: %s needs a value\n", option);
            return 2;
        }
        *target = argv[++i];
    }
    if (width == nullptr || height == nullptr || output == nullptr) {
        std::fputs("gravik-cli: new needs --width W, --height H and -o FILE\n", mErr);
        return 2;
    }
    int32 w = 0;
    int32 h = 0;
    if (!ParseSide(width, &w) || !ParseSide(height, &h)) {
        std::fprintf(mErr, "gravik-cli: new: width and height must be whole numbers from 1 to %d\n",
                     static_cast<int>(kYKMaxImageSide));
        return 2;
    }
    // A canvas is rendered into one raster, so it obeys the image limit.
    if (!yk_image_size_ok(w, h, 4)) {
        std::fprintf(mErr,
                     "gravik-cli: new: a canvas of %d x %d pixels is larger than an image can be "
                     "(at most %lld pixels)\n",
                     static_cast<int>(w), static_cast<int>(h),
                     static_cast<long long>(kYKMaxImageBytes / 4));
        return 2;
    }
    yk_color color;
    if (!ParseColor(background, &color)) {
        std::fprintf(mErr, "gravik-cli: new: bad colour \"%s\" (expected RRGGBBAA)\n", background);
        return 2;
    }

    YKDispatcher dispatcher;
    YKDocument* document = dispatcher.CreateDocument(w, h, name, color);
    std::string error;
    if (document == nullptr || !document->SaveInto(output, false, &error)) {
        YKCliError(output, error.empty() ? "the document could not be made" : error);
        return 1;
    }
    std::fprintf(mOut, "%s: %d x %d\n", output, static_cast<int>(w), static_cast<int>(h));
    return 0;
}
