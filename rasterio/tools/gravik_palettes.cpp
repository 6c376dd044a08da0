// gravik-palettes: turns palettes described as text into palette files, at build time.
// A description is the palette's name on its first line, then one colour a line as RRGGBB or
// RRGGBBAA in hexadecimal (a leading "#" allowed); blank lines are skipped. The file is padded to
// 256 entries with its last colour, which loading trims again.

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "YKColorMap.h"
#include "YKPaletteFile.h"

namespace {

bool ParseColor(std::string text, rgb_color* color) {
    if (!text.empty() && text[0] == '#') {
        text.erase(0, 1);
    }
    if ((text.size() != 6 && text.size() != 8) ||
        text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        return false;
    }
    const unsigned long value = std::stoul(text, nullptr, 16);
    const unsigned long argb = text.size() == 6 ? 0xFF000000ul | value : value >> 8 | value << 24;
    *color = {uint8(argb >> 16), uint8(argb >> 8), uint8(argb), uint8(argb >> 24)};
    return true;
}

bool Describe(const char* path, YKColorMap* map, std::string* error) {
    std::ifstream in(path);
    if (!in || !std::getline(in, map->name) || map->name.empty()) {
        *error = "no palette name on the first line";
        return false;
    }
    int32 count = 0;
    int32 line = 1;
    for (std::string text; std::getline(in, text);) {
        ++line;
        while (!text.empty() && (text.back() == '\r' || text.back() == ' ')) {
            text.pop_back();
        }
        if (text.empty()) {
            continue;
        }
        if (count == YKColorMap::kColorCount) {
            *error = "more than 256 colours";
            return false;
        }
        if (!ParseColor(text, &map->colors[count++])) {
            *error = "line " + std::to_string(line) + ": not a colour: " + text;
            return false;
        }
    }
    if (count == 0) {
        *error = "no colour";
        return false;
    }
    for (int32 i = count; i < YKColorMap::kColorCount; ++i) {
        map->colors[i] = map->colors[count - 1];
    }
    map->BuildInverseMap();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: gravik-palettes OUTPUT-FOLDER DESCRIPTION.txt...\n", stderr);
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        YKColorMap map;
        std::string error;
        const std::string out =
            (std::filesystem::path(argv[1]) / std::filesystem::path(argv[i]).stem()).string();
        if (!Describe(argv[i], &map, &error) || !YKPaletteFile::Write(out.c_str(), map, &error)) {
            std::fprintf(stderr, "gravik-palettes: %s: %s\n", argv[i], error.c_str());
            return 1;
        }
    }
    return 0;
}
