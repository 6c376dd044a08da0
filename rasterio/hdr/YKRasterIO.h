#pragma once

// YKRasterIO: one image format that the system reads or writes. Still-image formats derive from
// it through YKRasterStillIO, animation formats through YKRasterAnimIO; the registry
// (YKRasterFilters) holds one object per format and everything that looks for a format asks it.

#include <memory>
#include <string>
#include <vector>

#include "YKRect.h"
#include "yk_types.h"

class YKMessage;
class YKRaster;

class YKRasterIO {
public:
    // Bits of Capabilities().
    enum Capability : uint32 {
        kReadsStills = 1,
        kWritesStills = 2,
        kReadsAnimations = 4,
        kWritesAnimations = 8,
    };

    // Info field (string) in which a reader tells of damage it read past, such as image data
    // that ends early: the image is still given, as far as it could be read.
    static constexpr const char* kWarningField = "ra_warning";

    // Takes the next id of a counter shared by every format: 0, 1, 2... in order of making.
    YKRasterIO();
    YKRasterIO(const YKRasterIO&) = delete;
    YKRasterIO& operator=(const YKRasterIO&) = delete;
    virtual ~YKRasterIO() = default;

    int32 Id() const { return mId; }
    // The name shown in menus.
    virtual const char* MenuName() const = 0;
    // File extensions with their dot, several separated by ";".
    virtual const char* Extension() const = 0;
    virtual const char* MimeType() const = 0;
    // True for the system's own coders, false for formats that go through Qt's image I/O.
    virtual bool IsInternal() const { return true; }
    virtual uint32 Capabilities() const = 0;
    // The option-message fields the writer reads, for people choosing options by hand.
    virtual std::vector<const char*> OptionFields() const { return {}; }
    // Bits of the generic option groups the export window offers for this format.
    virtual uint32 DefaultInterfaceFlags() const { return 15; }
    // The option groups the export window is opened with.
    virtual uint32 InterfaceFlags() const { return DefaultInterfaceFlags(); }
    // Every file an export to `path` with `options` makes: `path` itself, unless the format
    // writes several files (a roll-over page writes its images beside the page).
    virtual std::vector<std::string> OutputFiles(const char* path, const YKMessage* options) const {
        (void)options;
        return {path};
    }

    // --- Shared by the readers and writers ---
    // A 32-bit raster of that frame; null when the size is out of range or memory is short.
    static std::unique_ptr<YKRaster> AllocRaster(YKRect<int32> rect, bool native);
    // Prepares pixels for a format without partial transparency: alpha 0 becomes `back`, other
    // translucent pixels are composed over `back` (made opaque unless `keepAlpha`), so that
    // soft edges blend into the background colour instead of turning solid.
    static void AdjustTransparency(YKRaster& raster, uint32 back, bool keepAlpha);
    // The same over `count` pixels.
    static void AdjustTransparency(uint32* pixels, int32 count, uint32 back, bool keepAlpha);
    // Every pixel composed over `colour`, for formats that keep no alpha at all.
    static void RemoveTransparency(YKRaster& raster, uint32 colour);

    // --- Frame preparation of the palette writers ---
    // Bounding rectangle (inclusive) of the pixels whose value differs from `back`;
    // (0, 0, 0, 0) when every pixel equals it, so that an empty image still has one pixel.
    static YKRect<int32> cropFrame(uint32 back, const YKRaster& raster);
    // The pixels of `rect` (inclusive, inside the raster) in a raster of their own at (0, 0);
    // null when memory is short.
    static std::unique_ptr<YKRaster> cropRaster(const YKRaster& raster, YKRect<int32> rect);
    // What must be drawn over `previous` (null: nothing shown yet) to show `current`, both full
    // frames of one size: the image, its place in `left`, `top` and its disposal in `flags`
    // (kDisposeNone or kDisposeBackground of YKWriteGif). Not `forced`, the disposal clears
    // only when some pixel turns transparent; `forced`, it clears exactly when `back` is
    // transparent. Unchanged pixels become `back` made transparent; a frame equal to the
    // previous one is a single such pixel at (0, 0).
    static std::unique_ptr<YKRaster> getFrameDiff(const YKRaster* previous, const YKRaster& current,
                                                  int32* left, int32* top, uint32 back, bool forced,
                                                  int32* flags);

private:
    int32 mId;
};
