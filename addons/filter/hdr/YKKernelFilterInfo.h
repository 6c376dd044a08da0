#pragma once

// YKKernelFilterInfo: everything one shipped filter says about itself. A plug-in defines one
// and hands it to YK_FILTER_PLUGIN (YKKernelFilterPlugin.h); YKKernelFilter does the rest.

#include <memory>
#include <span>

#include "YKFilterKernel.h"
#include "YKFilterParameter.h"
#include "YKFilterValues.h"
#include "yk_types.h"

struct YKKernelFilterInfo {
    const char* name;
    int32 type;  // the menu category, 0 ("Artistic") to 13 ("Other")
    // Constant data: the plug-in's statics need no destruction, whenever the process ends.
    std::span<const YKFilterParameter> parameters;
    // A kernel for the parameters at the frame being filtered.
    std::unique_ptr<YKFilterKernel> (*makeKernel)(const YKFilterValues& values);
};
