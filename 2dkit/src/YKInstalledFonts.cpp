#include "YKInstalledFonts.h"

#include <fontconfig/fontconfig.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>

#include "yk_fontconfig_internal.h"

namespace {

namespace fs = std::filesystem;

// Folders below a font folder are examined this deep at most: a link loop or a hostile tree
// cannot keep the test going.
constexpr int kMaxFolderDepth = 16;

struct ConfigDeleter {
    void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};
struct StrListDeleter {
    void operator()(FcStrList* list) const { FcStrListDone(list); }
};
using ConfigPtr = std::unique_ptr<FcConfig, ConfigDeleter>;
using StrListPtr = std::unique_ptr<FcStrList, StrListDeleter>;

bool IsOutlineFormat(const std::string& format) {
    return format == "TrueType" || format == "CFF";
}

bool Newer(const timespec& a, const timespec& b) {
    return std::tie(a.tv_sec, a.tv_nsec) > std::tie(b.tv_sec, b.tv_nsec);
}

void KeepNewest(const std::string& path, timespec* newest) {
    struct stat info;
    if (::stat(path.c_str(), &info) == 0 && Newer(info.st_mtim, *newest)) {
        *newest = info.st_mtim;
    }
}

// Every string of `list` (which it frees).
std::vector<std::string> Strings(FcStrList* list) {
    const StrListPtr owner(list);
    std::vector<std::string> strings;
    while (FcChar8* string = list != nullptr ? FcStrListNext(list) : nullptr) {
        strings.emplace_back(reinterpret_cast<const char*>(string));
    }
    return strings;
}

}  // namespace

bool YKInstalledFonts::List(std::vector<YKFontCacheEntry>* fonts) {
    const ConfigPtr config(FcInitLoadConfigAndFonts());
    if (config == nullptr) {
        return false;
    }
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects =
        FcObjectSetBuild(FC_FILE, FC_FAMILY, FC_STYLE, FC_FONTFORMAT, FC_INDEX, nullptr);
    FcFontSet* set = FcFontList(config.get(), pattern, objects);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    fonts->clear();
    for (int i = 0; set != nullptr && i < set->nfont; ++i) {
        FcPattern* font = set->fonts[i];
        int index = 0;
        if (FcPatternGetInteger(font, FC_INDEX, 0, &index) != FcResultMatch || index != 0 ||
            !IsOutlineFormat(yk_fc_first_string(font, FC_FONTFORMAT))) {
            continue;
        }
        const std::string path = yk_fc_first_string(font, FC_FILE);
        fonts->push_back({path, fs::path(path).filename().string(),
                          yk_fc_first_string(font, FC_FAMILY), yk_fc_first_string(font, FC_STYLE)});
    }
    if (set != nullptr) {
        FcFontSetDestroy(set);
    }
    std::sort(fonts->begin(), fonts->end(), [](const auto& a, const auto& b) {
        return std::tie(a.family, a.style, a.path) < std::tie(b.family, b.style, b.path);
    });
    // A face listed under several names would otherwise appear twice.
    fonts->erase(std::unique(fonts->begin(), fonts->end()), fonts->end());
    return true;
}

timespec YKInstalledFonts::NewestChange() {
    timespec newest{0, 0};
    const ConfigPtr config(FcInitLoadConfig());
    if (config == nullptr) {
        return newest;
    }
    // The files include the folders of configuration files, where an added one shows.
    for (const std::string& file : Strings(FcConfigGetConfigFiles(config.get()))) {
        KeepNewest(file, &newest);
    }
    // Before fonts are loaded these are the configured folders alone, not those below.
    for (const std::string& folder : Strings(FcConfigGetFontDirs(config.get()))) {
        KeepNewest(folder, &newest);
        std::error_code error;
        fs::recursive_directory_iterator walk(folder, fs::directory_options::skip_permission_denied,
                                              error);
        for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
            if (walk.depth() >= kMaxFolderDepth) {
                walk.disable_recursion_pending();
            }
            if (walk->is_directory(error) && !walk->is_symlink(error)) {
                KeepNewest(walk->path().string(), &newest);
            }
        }
    }
    return newest;
}
