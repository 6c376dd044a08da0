#pragma once

// YKProgressBar: one line on a terminal that follows an export's steps, redrawn in place and
// cleared at the end. On anything but a terminal it draws nothing, so that logs and pipes get no
// carriage returns.

#include <cstdio>
#include <string>

#include "yk_types.h"

class YKProgressBar {
public:
    explicit YKProgressBar(std::FILE* stream);
    ~YKProgressBar() { Clear(); }
    YKProgressBar(const YKProgressBar&) = delete;
    YKProgressBar& operator=(const YKProgressBar&) = delete;

    // Step `step` of `count` (from 1) under way, with the writer's text for it.
    void Show(int32 step, int32 count, const std::string& text);
    // Leaves the line empty, the cursor at its start.
    void Clear();

private:
    std::FILE* mStream;
    bool mTerminal;
    size_t mColumns;
    bool mShown = false;
};
