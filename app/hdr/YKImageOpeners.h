#pragma once

// The readers through which a file that is not a document opens as a new document holding the
// image (or 3D object) it contains. The formats of the raster registry are there from the
// start; the 3D reader registers itself.

#include <functional>

#include "YKRect.h"
#include "yk_types.h"

class YKLayer;

// What a reader found: the picture's own rectangle, and how to build the layer that holds it
// once the new document has given it an id.
struct YKOpenedImage {
    YKRect<int32> frame = YKRect<int32>::None();
    std::function<YKLayer*(int32 id)> makeLayer;
};

// True when the reader recognised the file and filled `image`.
using YKImageOpener = std::function<bool(const char* path, YKOpenedImage* image)>;

class YKImageOpeners {
public:
    // Readers are asked in the order they were registered.
    static void Register(YKImageOpener opener);
    static void Clear();
    // The first reader that recognises the file; false when none does.
    static bool Open(const char* path, YKOpenedImage* image);
};
