#pragma once

// YKInProcessClipboard: a clipboard that lives in this process only, for the command line and
// the tests. Safe to use from several threads.

#include <map>
#include <mutex>

#include "YKClipboard.h"

class YKInProcessClipboard : public YKClipboard {
public:
    void SetEntries(const char* type, std::vector<std::string> entries) override;
    std::vector<std::string> Entries(const char* type) const override;

private:
    mutable std::mutex mLock;
    std::map<std::string, std::vector<std::string>, std::less<>> mEntries;
};
