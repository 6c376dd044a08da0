#pragma once

// YKHtmlPage: the page "Generate HTML" writes beside an exported image, ready for its markup to
// be copied into a web page: the image on the background colour, inside a link.

#include <ctime>
#include <string>

#include "yk_types.h"

class YKMessage;

class YKHtmlPage {
public:
    // Option field (string) with the address the page's links go to; "#" when absent.
    static constexpr const char* kLinkField = "ra_link_url";

    // The page's path: `imagePath` with its extension (from the last "." after the last "/")
    // replaced by ".html", or ".html" appended when it has none.
    static std::string PagePath(const std::string& imagePath);
    // The page's text for the image at `imagePath` of `width` x `height` pixels, on the colour of
    // "ra_back_col" in `options` (may be null), written at `now`.
    static std::string Text(const std::string& imagePath, const YKMessage* options, int32 width,
                            int32 height, std::time_t now);
    // Writes Text() to PagePath() safely (a failed write leaves what was there); false with the
    // reason in `error` (may be null).
    static bool Write(const std::string& imagePath, const YKMessage* options, int32 width,
                      int32 height, std::string* error);
};
