#include "YKInProcessClipboard.h"

#include <string_view>

void YKInProcessClipboard::SetEntries(const char* type, std::vector<std::string> entries) {
    std::lock_guard guard(mLock);
    // A new copy replaces everything, whatever its type, as a system clipboard does.
    mEntries.clear();
    if (type != nullptr) {
        mEntries.emplace(type, std::move(entries));
    }
}

std::vector<std::string> YKInProcessClipboard::Entries(const char* type) const {
    std::lock_guard guard(mLock);
    const auto found = type != nullptr ? mEntries.find(std::string_view(type)) : mEntries.end();
    return found != mEntries.end() ? found->second : std::vector<std::string>{};
}
