#pragma once

// YKFilterManager: the filter plug-ins, loaded from the "add-ons" folder beside the program and
// then from the installation's, sorted into 14 menu categories. A plug-in is a shared library
// exporting "instantiate_filter", which returns a new YKGenericFilter. Libraries that gave a
// filter stay loaded for the life of the process: filters made from them (and their
// duplicates in documents) may live until exit.

#include <array>
#include <string>
#include <vector>

#include "YKList.h"
#include "yk_types.h"

class YKGenericFilter;
class YKMessage;

class YKFilterManager {
public:
    YKFilterManager();
    YKFilterManager(const YKFilterManager&) = delete;
    YKFilterManager& operator=(const YKFilterManager&) = delete;
    // Deletes the loaded filters.
    ~YKFilterManager();

    // The process's manager, loaded (Load()) on first use.
    static YKFilterManager& Default();

    // Loads the plug-ins of the folder beside the program, then of the installation.
    void Load();
    // Loads every regular file of each folder in turn (by name within a folder). A file that is
    // not a loadable library, lacks the entry point or gives no filter is reported with one
    // line and skipped; so is a filter whose name is already loaded.
    void Load(const std::vector<std::string>& folders);

    // A copy of the loaded filter that the archive's "YKGF:Name" names, restored from it; null
    // when none is loaded under that name.
    YKGenericFilter* InstantiateFilter(const YKMessage* message) const;
    // The loaded filter named `name`, or null.
    YKGenericFilter* FilterNamed(const char* name) const;
    // The filters of category `index`, or null outside 0..13.
    const YKList<YKGenericFilter*>* FilterListAt(int32 index) const;
    int32 CountFilterLists() const { return static_cast<int32>(mCategories.size()); }
    const char* CategoryNameAt(int32 index) const;

private:
    void LoadLibrary(const std::string& path);

    static constexpr int32 kCategoryCount = 14;
    std::array<YKList<YKGenericFilter*>, kCategoryCount> mCategories;
};
