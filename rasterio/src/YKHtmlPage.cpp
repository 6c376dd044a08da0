// The page written beside an exported image.

#include "YKHtmlPage.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "YKMessage.h"
#include "YKRasterFilters.h"
#include "YKReplacedFile.h"

namespace {

// The writers' background when the options name none: opaque white.
constexpr uint32 kDefaultBack = 0xFFFFFFFF;

// Names and addresses go into attribute values and text: a quote or an angle bracket in a file
// name must not end the markup early.
std::string Escaped(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
                break;
        }
    }
    return out;
}

std::string Format(const char* format, auto... values) {
    const int size = std::snprintf(nullptr, 0, format, values...);
    std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    std::snprintf(text.data(), text.size() + 1, format, values...);
    return text;
}

}  // namespace

std::string YKHtmlPage::PagePath(const std::string& imagePath) {
    const std::size_t slash = imagePath.rfind('/');
    const std::size_t dot = imagePath.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? imagePath.substr(0, dot) : imagePath) + ".html";
}

std::string YKHtmlPage::Text(const std::string& imagePath, const YKMessage* options, int32 width,
                             int32 height, std::time_t now) {
    const std::size_t slash = imagePath.rfind('/');
    const std::string name =
        Escaped(slash == std::string::npos ? imagePath : imagePath.substr(slash + 1));
    int32 back = static_cast<int32>(kDefaultBack);
    std::string link = "#";
    if (options != nullptr) {
        options->FindInt32("ra_back_col", &back);
        options->FindString(kLinkField, &link);
    }
    const std::string anchor = "<a href=\"" + Escaped(link) + "\">";
    const auto pixel = static_cast<uint32>(back);
    // ctime_r: the export runs off the main thread, and ctime shares one buffer.
    char time[64] = "";
    if (ctime_r(&now, time) == nullptr) {
        time[0] = '\0';
    }

    std::string text = Format(
        "<html>\n<head>\n<title>\n%s\n</title>\n<meta http-equiv=\"Content-Type\" "
        "content=\"text/html; charset=iso-8859-1\">\n<meta name=\"description\" "
        "content=\"Tavernix's Gravik Image\">\n</head>\n\n",
        name.c_str());
    text += "<body";
    text +=
        Format(" bgcolor=#%02X%02X%02X", (pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    text += ">\n\n";
    text +=
        "<!-- Copy the image code below and paste it where it should\nappear in your html "
        "document.\nAfter 'href', replace Tavernix's link by your destination link.\nIn the "
        "'img src' line, replace the text after 'alt' by your own\ncomment for this image. "
        "-->\n\n<!-- BEGIN CUT HERE -->\n\n";
    text += anchor;
    text += Format(
        "<img src=\"%s\" width=\"%d\" height=\"%d\" alt=\"%s, made with Gravik\" "
        "border=\"0\"></a>\n\n",
        name.c_str(), width, height, name.c_str());
    text += "<!-- END CUT HERE -->\n\n";
    text += "<hr>\n<p>\nCreated with " + anchor + "Tavernix</a>";
    text += Format("'s Gravik\nfrom file %s\nat %s\n", Escaped(imagePath).c_str(), time);
    text += "</body>\n</html>\n";
    return text;
}

bool YKHtmlPage::Write(const std::string& imagePath, const YKMessage* options, int32 width,
                       int32 height, std::string* error) {
    const std::string page = PagePath(imagePath);
    const std::string text = Text(imagePath, options, width, height, std::time(nullptr));
    YKReplacedFile file(page.c_str());
    const bool written = file.Stream() != nullptr &&
                         std::fwrite(text.data(), 1, text.size(), file.Stream()) == text.size() &&
                         file.Commit();
    if (!written) {
        if (error != nullptr) {
            *error = "cannot write the page " + page + ": " +
                     (file.Error().empty() ? std::string(std::strerror(errno)) : file.Error());
        }
        return false;
    }
    YKRasterFilters::SetMimeType(page.c_str(), "text/html");
    return true;
}
