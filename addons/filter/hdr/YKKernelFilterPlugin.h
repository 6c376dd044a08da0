#pragma once

// The entry point of a filter plug-in built on YKKernelFilter. The plug-in links nothing of the
// core: YKKernelFilter and what it uses are found in the loading program.

#include "YKKernelFilter.h"

#define YK_FILTER_PLUGIN(info)                                                                \
    extern "C" __attribute__((visibility("default"))) YKGenericFilter* instantiate_filter() { \
        return YKKernelFilter::Make(info);                                                    \
    }
