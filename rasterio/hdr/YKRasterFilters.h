#pragma once

// YKRasterFilters: the one registry of the raster side, made on first use. It lists the image
// formats (YKRasterIO), in the order readers are tried: "Animated GIF", "GIF", "JPEG", "PNG",
// "Targa", then the writers "JavaScript", "Animated WebP" and "APNG"; and the colour quantizers:
// "Adaptive Reduction", "Fixed Palette Reduction" and "Neural Network", with the ids 0, 1 and 2 in
// that order. Formats that live above the core (Qt's image I/O) are appended after these at
// start-up.

#include <functional>
#include <memory>
#include <string_view>

#include "QuantizerInfo.h"
#include "YKList.h"
#include "YKRasterIO.h"

class YKRasterFilters {
public:
    static YKRasterFilters* Instantiate();

    // Appends a format after those already registered; the registry owns it from then on.
    void AddFilter(std::unique_ptr<YKRasterIO> filter);
    // Records `type` as the MIME type of the written file at `path` (the extended attribute
    // "user.mime_type"); nothing where the file system refuses it.
    static void SetMimeType(const char* path, const char* type);

    int32 CountFilters() const { return mFilters.CountItems(); }
    // Null out of range.
    YKRasterIO* FilterAt(int32 index) const { return mFilters.ItemAt(index); }
    // The format whose Id() is `id`, or null.
    YKRasterIO* FilterForId(int32 id) const;
    // The id of the first format with an extension entry that begins with `extension` (dot
    // included: "gif" finds nothing). False when there is none.
    bool FilterIdForExtension(const char* extension, int32* id) const;
    // For an output file: the id of the first format that has all of `capabilities` and an
    // extension entry equal to `extension` in any case (".PNG" is a PNG). False when none has.
    bool WriterIdForExtension(const char* extension, uint32 capabilities, int32* id) const;

    int32 CountQuantizers() const { return mQuantizers.CountItems(); }
    // Null out of range.
    QuantizerInfo* QuantizerInfoAt(int32 index) const { return mQuantizers.ItemAt(index); }
    // The info whose Id() is `id`, or null.
    QuantizerInfo* QuantizerInfoForId(int32 id) const;

private:
    YKRasterFilters();
    // The id of the first format with an extension entry that `matches`.
    bool FirstWithExtension(const std::function<bool(const YKRasterIO&, std::string_view)>& matches,
                            int32* id) const;
    ~YKRasterFilters();
    YKRasterFilters(const YKRasterFilters&) = delete;
    YKRasterFilters& operator=(const YKRasterFilters&) = delete;

    YKList<YKRasterIO*> mFilters{16};        // owned
    YKList<QuantizerInfo*> mQuantizers{16};  // owned
};
