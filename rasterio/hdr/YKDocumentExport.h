#pragma once

// YKDocumentExport: the colour maps the system knows. The first is the screen's (the fixed
// "BeOS" palette); palette files found beside the program and in the installation follow, and
// are offered to the writers as fixed palettes after the built-in ones.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "YKColorMap.h"
#include "yk_types.h"

class YKDocumentExport {
public:
    // Receives each line of what is being loaded (the splash screen shows them).
    using StatusFunction = std::function<void(const char* text)>;

    static constexpr const char* kScreenMapName = "BeOS 8bit color map";

    // Starts the list with the screen's colour map and reports it.
    explicit YKDocumentExport(StatusFunction status = {});
    YKDocumentExport(const YKDocumentExport&) = delete;
    YKDocumentExport& operator=(const YKDocumentExport&) = delete;
    ~YKDocumentExport();

    // "Palettes" beside the program, then the installation's.
    static std::vector<std::string> PaletteFolders();

    // Loads the palette files of PaletteFolders().
    void LoadPalettes();
    // Tries every regular file of each folder in turn (by name within a folder) and appends the
    // palettes; a file that is not one is skipped, and so is a name already in the list or
    // given to another of the writers' fixed palettes. Each palette taken is also added to the
    // writers' fixed palettes, so call this at start-up, before any export runs.
    void LoadPalettes(const std::vector<std::string>& folders);

    int32 CountColorMaps() const { return int32(mMaps.size()); }
    // Null outside 0..CountColorMaps() - 1.
    const YKColorMap* ColorMapAt(int32 index) const;

private:
    void Report(const std::string& text) const;

    std::vector<std::unique_ptr<YKColorMap>> mMaps;
    StatusFunction mStatus;
};
