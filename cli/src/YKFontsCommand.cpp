#include "YKFontsCommand.h"

#include <cstring>
#include <vector>

#include "YKFontCacheFreetype.h"
#include "YKJsonText.h"
#include "YKSettingsFolder.h"

namespace {

// The cache's fonts, which come sorted by family, grouped by family.
std::vector<std::vector<const YKFontCacheEntry*>> Families(
    const std::vector<YKFontCacheEntry>& fonts) {
    std::vector<std::vector<const YKFontCacheEntry*>> families;
    for (const YKFontCacheEntry& font : fonts) {
        if (families.empty() || families.back().front()->family != font.family) {
            families.emplace_back();
        }
        families.back().push_back(&font);
    }
    return families;
}

void PrintText(FILE* out, const std::vector<YKFontCacheEntry>& fonts) {
    for (const auto& family : Families(fonts)) {
        std::string line = family.front()->family + ":";
        const std::string* previous = nullptr;
        // The same style from two files is one choice in a menu.
        for (const YKFontCacheEntry* font : family) {
            if (previous == nullptr || *previous != font->style) {
                line += (previous == nullptr ? " " : ", ") + font->style;
            }
            previous = &font->style;
        }
        std::fprintf(out, "%s\n", line.c_str());
    }
}

void PrintJson(FILE* out, const std::vector<YKFontCacheEntry>& fonts) {
    std::string text = "[";
    for (const auto& family : Families(fonts)) {
        text += (text.size() > 1 ? ",{\"family\":" : "{\"family\":") +
                YKJsonQuoted(family.front()->family.c_str()) + ",\"styles\":[";
        for (const YKFontCacheEntry* font : family) {
            text += (font != family.front() ? ",{\"style\":" : "{\"style\":") +
                    YKJsonQuoted(font->style.c_str()) +
                    ",\"path\":" + YKJsonQuoted(font->path.c_str()) + "}";
        }
        text += "]}";
    }
    std::fprintf(out, "%s]\n", text.c_str());
}

}  // namespace

int YKFontsCommand::Run(int argc, char** argv) {
    bool json = false;
    bool rebuild = false;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) {
            json = true;
        } else if (std::strcmp(argv[i], "--rebuild") == 0) {
            rebuild = true;
        } else {
            std::fprintf(mErr, "gravik-cli: fonts: unexpected argument \"%s\"\n", argv[i]);
            return 2;
        }
    }
    std::string folder;
    if (!YK_FindGravikSettingsFolder(&folder)) {
        std::fputs(
            "gravik-cli: fonts: no settings folder (neither XDG_CONFIG_HOME nor HOME is "
            "an absolute path)\n",
            mErr);
        return 1;
    }
    const YKFontCacheFreetype cache(folder, rebuild);
    if (!cache.InitCheck()) {
        std::fprintf(mErr, "%s\n", YKFontCacheFreetype::kCannotCreateText);
        return 1;
    }
    if (json) {
        PrintJson(mOut, cache.Fonts());
    } else {
        PrintText(mOut, cache.Fonts());
    }
    return 0;
}
