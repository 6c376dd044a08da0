#pragma once

// A temporary folder (under $TMPDIR, else /tmp) that is removed with everything in it when the
// object goes: where size estimates and multi-file writers let a writer work undisturbed.

#include <string>

#include "yk_types.h"

class YKScratchFolder {
public:
    YKScratchFolder();
    ~YKScratchFolder();
    YKScratchFolder(const YKScratchFolder&) = delete;
    YKScratchFolder& operator=(const YKScratchFolder&) = delete;

    bool Made() const { return !mPath.empty(); }
    std::string PathOf(const std::string& name) const { return mPath + "/" + name; }
    // The total size of the regular files in the folder.
    int64 FilesSize() const;

private:
    std::string mPath;
};
