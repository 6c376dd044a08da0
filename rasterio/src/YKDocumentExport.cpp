// The colour-map list: the screen's map, then the palette files of the palette folders.

#include "YKDocumentExport.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "YKPaletteFile.h"
#include "yk_program_folder_internal.h"

namespace {

constexpr int32 kScreenCmap = 3;  // "BeOS" among the built-in palettes

std::unique_ptr<YKColorMap> ScreenMap() {
    const Quantizer::Cmap& screen = *Quantizer::Cmap::GetCmap(kScreenCmap);
    auto map = std::make_unique<YKColorMap>();
    for (int32 i = 0; i < screen.count; ++i) {
        const Quantizer::Cmap::Color c = screen.colors[i];
        map->colors[i] = {c.red, c.green, c.blue, uint8(i == screen.transparent ? 0 : 255)};
    }
    map->BuildInverseMap();
    map->name = YKDocumentExport::kScreenMapName;
    return map;
}

// The regular files of `folder`, by name; none when it cannot be listed.
std::vector<std::string> FilesOf(const std::string& folder) {
    std::vector<std::string> paths;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        struct stat status;
        const std::string path = it->path().string();
        if (stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
            paths.push_back(path);
        }
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

}  // namespace

YKDocumentExport::YKDocumentExport(StatusFunction status) : mStatus(std::move(status)) {
    mMaps.push_back(ScreenMap());
    Report(std::string("Palette loaded : (") + kScreenMapName + ")");
}

YKDocumentExport::~YKDocumentExport() = default;

std::vector<std::string> YKDocumentExport::PaletteFolders() {
    std::vector<std::string> folders;
    const std::string program = yk_program_folder();
    if (!program.empty()) {
        folders.push_back(program + "/Palettes");
        // An installation moved as a whole (cmake --install --prefix) keeps them beside bin/;
        // where it was not moved, that is the folder below, read once.
        const std::string moved = program + "/../share/gravik/Palettes";
        std::error_code error;
        if (!std::filesystem::equivalent(moved, GRAVIK_PALETTES_INSTALL_DIR, error)) {
            folders.push_back(moved);
        }
    }
    folders.push_back(GRAVIK_PALETTES_INSTALL_DIR);
    return folders;
}

void YKDocumentExport::LoadPalettes() {
    LoadPalettes(PaletteFolders());
}

void YKDocumentExport::LoadPalettes(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        for (const std::string& path : FilesOf(folder)) {
            auto map = std::make_unique<YKColorMap>();
            // Files that are not palettes are skipped without a word: the folder may hold others.
            if (!YKPaletteFile::Read(path.c_str(), CountColorMaps(), map.get(), nullptr)) {
                continue;
            }
            const bool known = std::any_of(mMaps.begin(), mMaps.end(), [&](const auto& other) {
                return other->name == map->name;
            });
            // A name the writers already give to another palette would select that one.
            if (known || Quantizer::Cmap::AddCmap(map->name.c_str(), map->ToCmap()) < 0) {
                continue;
            }
            Report("Palettes : '" + map->name + "' loaded");
            mMaps.push_back(std::move(map));
        }
    }
}

const YKColorMap* YKDocumentExport::ColorMapAt(int32 index) const {
    return index >= 0 && index < CountColorMaps() ? mMaps[std::size_t(index)].get() : nullptr;
}

void YKDocumentExport::Report(const std::string& text) const {
    if (mStatus) {
        mStatus(text.c_str());
    }
}
