#pragma once

// YKExportReport: what `gravik-cli export` tells on stdout when it is done: each file written
// with its size, or the estimate; with --json one object with the format, the files, the frames
// and the time taken.

#include <cstdio>
#include <string>
#include <vector>

#include "yk_types.h"

struct YKExportReport {
    struct File {
        std::string path;
        int64 bytes;
    };

    void Print(std::FILE* out, bool json) const;

    std::string format;  // the writer's menu name
    int32 first = 0;     // the document's frames exported, from 1
    int32 last = 0;
    std::vector<File> files;
    double seconds = 0;
    bool estimated = false;  // --estimate: nothing written, `bytes` and `estimateText` tell
    int64 bytes = -1;
    std::string estimateText;
};
