#pragma once

// ImageMagick's convert as a judge of the kernels: a picture goes out as PAM (PPM when opaque,
// so that convert sees no alpha channel), through the given options, and back.

#include <optional>
#include <string>

#include "KernelImage.h"

// convert <in> <options> <out>; nothing when convert fails or its output cannot be read.
std::optional<KernelImage> ThroughConvert(const KernelImage& image, const std::string& options,
                                          bool withAlpha);
