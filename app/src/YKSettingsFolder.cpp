#include "YKSettingsFolder.h"

#include <cstdlib>

namespace {

bool IsAbsolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

}  // namespace

bool YK_FindUserSettingsFolder(std::string* folder) {
    if (folder == nullptr) {
        return false;
    }
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (IsAbsolute(config)) {
        *folder = config;
        return true;
    }
    const char* home = std::getenv("HOME");
    if (IsAbsolute(home)) {
        *folder = home;
        if (folder->back() != '/') {
            *folder += '/';
        }
        *folder += ".config";
        return true;
    }
    return false;
}

bool YK_FindGravikSettingsFolder(std::string* folder) {
    std::string base;
    if (folder == nullptr || !YK_FindUserSettingsFolder(&base)) {
        return false;
    }
    if (base.back() != '/') {
        base += '/';
    }
    *folder = base + "Tavernix/Gravik/";
    return true;
}
