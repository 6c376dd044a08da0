#pragma once

// The readers through which a file that is not a document opens as a new document holding the
// image (or 3D object) it contains. The formats of the raster registry are there from the
// start; the 3D reader registers itself.

#include <functional>
#include <string>
#include <vector>

#include "YKRect.h"
#include "yk_types.h"

class YKLayer;

// What a reader found: the picture's own rectangle, and how to build the layer that holds it
// once the new document has given it an id (the layer takes the pixels, so it is built once).
struct YKOpenedImage {
    YKRect<int32> frame = YKRect<int32>::None();
    std::function<YKLayer*(int32 id)> makeLayer;
    // For an image sequence, each frame's duration in hundredths of a second; 0 keeps the
    // document's default.
    std::vector<double> durations;
    // Damage the reader read past (the picture is shown as far as it could be read).
    std::vector<std::string> warnings;
    // Why a reader that recognised the file could not open it; empty otherwise.
    std::string error;
};

// True when the reader recognised the file and filled `image`. A reader that recognises the
// file but cannot read it says why in `image->error` and returns false.
using YKImageOpener = std::function<bool(const char* path, YKOpenedImage* image)>;

class YKImageOpeners {
public:
    // Readers are asked in the order they were registered.
    static void Register(YKImageOpener opener);
    static void Clear();
    // The first reader that recognises the file; false when none does.
    static bool Open(const char* path, YKOpenedImage* image);
};
