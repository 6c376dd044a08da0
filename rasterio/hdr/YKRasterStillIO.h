#pragma once

// YKRasterStillIO: a format of single images, read into and written from one 32-bit raster.

#include <memory>
#include <string>

#include "YKRasterIO.h"

class YKMessage;
class YKRasterProgress;

class YKRasterStillIO : public YKRasterIO {
public:
    // True when the file at `path` is in this format, judged from its first bytes.
    virtual bool Accept(const char* path) const = 0;
    // The file's image, or null with the reason in `error` (may be null). `info` (may be null)
    // receives what the format says beyond the pixels.
    virtual std::unique_ptr<YKRaster> Read(const char* path, YKMessage* info, bool native,
                                           std::string* error) const = 0;
    // Writes `raster` as an export with `options` (null: every option at its default),
    // reporting to `progress` (may be null). A format that cannot write refuses here.
    virtual bool Write(const char* path, const YKRaster& raster, const YKMessage* options,
                       YKRasterProgress* progress, std::string* error) const;
    // The size in bytes of what Write would make of `raster` with `options`: the writer is run
    // into a temporary folder, which is removed again. -1 when the write fails.
    int64 GuessSize(const YKRaster& raster, const YKMessage* options) const;
};
