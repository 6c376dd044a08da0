// Plug-in loading: dlopen each file of the add-on folders, ask it for its filter, sort the
// filters into their categories.

#include "YKFilterManager.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "YKGenericFilter.h"
#include "YKMessage.h"
#include "yk_program_folder_internal.h"

namespace {

using InstantiateFunction = YKGenericFilter* (*)();

bool IsRegularFile(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

YKFilterManager::YKFilterManager() = default;

YKFilterManager::~YKFilterManager() {
    for (YKList<YKGenericFilter*>& category : mCategories) {
        for (int32 i = 0; i < category.CountItems(); ++i) {
            delete category.ItemAt(i);
        }
    }
}

YKFilterManager& YKFilterManager::Default() {
    static YKFilterManager* const manager = [] {
        // Never destroyed: filters made from plug-ins may outlive any static destruction
        // order, and the libraries stay loaded anyway.
        auto* made = new YKFilterManager;
        made->Load();
        return made;
    }();
    return *manager;
}

// --- Loading ---

void YKFilterManager::Load() {
    std::vector<std::string> folders;
    const std::string program = yk_program_folder();
    if (!program.empty()) {
        folders.push_back(program + "/add-ons");
        // An installation moved as a whole (cmake --install --prefix) keeps them beside bin/;
        // where it was not moved, that is the folder below, read once.
        const std::string moved = program + "/../lib/gravik/add-ons";
        std::error_code error;
        if (!std::filesystem::equivalent(moved, GRAVIK_ADDONS_INSTALL_DIR, error)) {
            folders.push_back(moved);
        }
    }
    folders.push_back(GRAVIK_ADDONS_INSTALL_DIR);
    Load(folders);
}

void YKFilterManager::Load(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        std::error_code error;
        std::vector<std::string> paths;
        for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            const std::string path = it->path().string();
            if (IsRegularFile(path)) {
                paths.push_back(path);
            }
        }
        std::sort(paths.begin(), paths.end());
        for (const std::string& path : paths) {
            LoadLibrary(path);
        }
    }
}

void YKFilterManager::LoadLibrary(const std::string& path) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        std::printf("error loading filter (%s)\n", path.c_str());
        return;
    }
    auto instantiate = reinterpret_cast<InstantiateFunction>(dlsym(library, "instantiate_filter"));
    if (instantiate == nullptr) {
        std::printf("get_image_symbol error for (%s filter)\n", path.c_str());
        dlclose(library);
        return;
    }
    std::unique_ptr<YKGenericFilter> filter(instantiate());
    if (filter == nullptr) {
        std::printf("no filter from (%s)\n", path.c_str());
        dlclose(library);
        return;
    }
    if (filter->Name() != nullptr && FilterNamed(filter->Name()) != nullptr) {
        // The same filter from a second folder (a build beside an installation): the first wins.
        // Its code stays loaded, since it made an object.
        return;
    }
    filter->Init();
    const int32 type = filter->Type();
    mCategories[type >= 0 && type < kCategoryCount ? type : YKGenericFilter::kOtherType].AddItem(
        filter.release());
}

// --- Finding filters ---

YKGenericFilter* YKFilterManager::InstantiateFilter(const YKMessage* message) const {
    for (const YKList<YKGenericFilter*>& category : mCategories) {
        for (int32 i = 0; i < category.CountItems(); ++i) {
            if (YKGenericFilter* copy = category.ItemAt(i)->InstantiateFilter(message)) {
                return copy;
            }
        }
    }
    return nullptr;
}

YKGenericFilter* YKFilterManager::FilterNamed(const char* name) const {
    for (const YKList<YKGenericFilter*>& category : mCategories) {
        for (int32 i = 0; i < category.CountItems(); ++i) {
            const char* loaded = category.ItemAt(i)->Name();
            if (name != nullptr && loaded != nullptr && std::strcmp(loaded, name) == 0) {
                return category.ItemAt(i);
            }
        }
    }
    return nullptr;
}

const YKList<YKGenericFilter*>* YKFilterManager::FilterListAt(int32 index) const {
    return index >= 0 && index < kCategoryCount ? &mCategories[index] : nullptr;
}

const char* YKFilterManager::CategoryNameAt(int32 index) const {
    return YKGenericFilter::CategoryName(index);
}
