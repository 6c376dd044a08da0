#pragma once

// YKRasterFile: an image file read into one raster by the first registered still-image reader
// that accepts it. The raster belongs to this object until it is detached.

#include <memory>
#include <string>

#include "YKMessage.h"
#include "YKRaster.h"

class YKRasterFile {
public:
    explicit YKRasterFile(const char* path, bool native = false);
    YKRasterFile(const YKRasterFile&) = delete;
    YKRasterFile& operator=(const YKRasterFile&) = delete;

    // True when there is a raster.
    bool InitCheck() const { return mRaster != nullptr; }
    // Why the file gave no raster.
    const std::string& ErrorText() const { return mError; }
    // True when a reader took the file for its format, whether or not it could read it.
    bool Recognised() const { return mRecognised; }
    // What the reader said beyond the pixels (for GIF: delays, transparency, warnings).
    const YKMessage& Info() const { return mInfo; }
    // Null when there is none; still owned here.
    YKRaster* Raster() const { return mRaster.get(); }
    // Hands the raster over; this object is left without one.
    std::unique_ptr<YKRaster> DetachRaster() { return std::move(mRaster); }
    void SetRaster(std::unique_ptr<YKRaster> raster) { mRaster = std::move(raster); }
    // Writes the raster through the registered writer whose Id() is `type`, with `options`
    // (null: its defaults). False, with the reason in `error` (may be null), when there is no
    // raster or no such writer, or the write fails.
    bool WriteToFile(int32 type, const char* path, const YKMessage* options,
                     std::string* error) const;

private:
    std::unique_ptr<YKRaster> mRaster;
    YKMessage mInfo;
    std::string mError;
    bool mRecognised = false;
};
