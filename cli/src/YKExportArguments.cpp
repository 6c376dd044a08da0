#include "YKExportArguments.h"

#include <charconv>
#include <cstring>

#include "YKCliFrameNumber.h"

namespace {

// RRGGBBAA → 0xAARRGGBB.
bool ParsePixel(const char* text, uint32* pixel) {
    uint32 value = 0;
    const char* end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, value, 16);
    if (end - text != 8 || error != std::errc() || stop != end) {
        return false;
    }
    *pixel = value >> 8 | value << 24;
    return true;
}

// "A-B" of two frame numbers, A <= B.
bool ParseRange(const char* text, int32* first, int32* last) {
    const char* dash = std::strchr(text, '-');
    if (dash == nullptr) {
        return false;
    }
    const std::string from(text, dash);
    return YKParseFrameNumber(from.c_str(), first) && YKParseFrameNumber(dash + 1, last) &&
           *first <= *last;
}

}  // namespace

bool YKExportArguments::Parse(int argc, char** argv, std::string* error) {
    for (int i = 0; i < argc; ++i) {
        const std::string argument = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        // Options that take a value consume it here; a missing one is an error below.
        const auto take = [&]() -> const char* {
            if (value != nullptr) {
                ++i;
            }
            return value;
        };
        const auto flag = [&](const char* key) { settings.push_back({key, "true", argument}); };
        const auto setting = [&](const char* key, const char* text) {
            settings.push_back({key, text, argument + " " + text});
        };
        if (argument == "--estimate") {
            estimate = true;
        } else if (argument == "--json") {
            json = true;
        } else if (argument == "--dither") {
            flag("24to8_dithering");
            reducesColors = true;
        } else if (argument == "--interlace") {
            flag("ra_interlace");
        } else if (argument == "--html") {
            flag("ra_do_html");
        } else if (argument[0] == '-' && argument.size() > 1 && value == nullptr) {
            *error = argument + " needs a value";
            return false;
        } else if (argument == "-o") {
            output = take();
        } else if (argument == "--format") {
            format = take();
        } else if (argument == "--frame") {
            if (!YKParseFrameNumber(take(), &frame)) {
                *error = std::string("bad frame number \"") + value + "\"";
                return false;
            }
        } else if (argument == "--frames") {
            if (!ParseRange(take(), &first, &last)) {
                *error = std::string("bad frame range \"") + value + "\" (expected A-B, A <= B)";
                return false;
            }
        } else if (argument == "--option") {
            const std::string pair = take();
            const size_t equals = pair.find('=');
            if (equals == std::string::npos || equals == 0) {
                *error = "--option takes KEY=VALUE, not \"" + pair + "\"";
                return false;
            }
            settings.push_back(
                {pair.substr(0, equals), pair.substr(equals + 1), argument + " " + pair});
        } else if (argument == "--colors") {
            setting("ra_nb_colors", take());
            reducesColors = true;
        } else if (argument == "--loop") {
            setting("gif_loop", take());
        } else if (argument == "--quality") {
            quality = take();
        } else if (argument == "--palette") {
            palette = take();
            reducesColors = true;
        } else if (argument == "--quantizer") {
            quantizer = take();
            reducesColors = true;
        } else if (argument == "--background") {
            hasBackground = ParsePixel(take(), &background);
            if (!hasBackground) {
                *error = std::string("bad colour \"") + value + "\" (expected RRGGBBAA)";
                return false;
            }
        } else if (argument[0] != '-' && input.empty()) {
            input = argument;
        } else {
            *error = "unexpected argument \"" + argument + "\"";
            return false;
        }
    }
    if (input.empty() || output.empty()) {
        *error = "export takes FILE -o OUT (see gravik-cli --help)";
        return false;
    }
    if (frame > 0 && first > 0) {
        *error = "give --frame or --frames, not both";
        return false;
    }
    return true;
}
