#pragma once

// YKTranslatorIO: an image format read and written through Qt's image I/O (QImageReader and
// QImageWriter with their plug-ins: BMP, TIFF, WebP, PPM, ICO …), one object per format.
// Names that Qt gives to one file type (tif and tiff) make one format. The formats the system
// codes itself (GIF, PNG, JPEG, Targa) are left out, so that the registry offers one coder each.
//
// Files are hostile: the size a header declares is checked against the raster limit before
// anything is decoded, and Qt refuses to allocate more than that limit for an image whose
// header does not tell its size.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "YKRasterStillIO.h"

class QIODevice;

class YKTranslatorIO : public YKRasterStillIO {
public:
    // One object per file type Qt's readers or writers know, apart from the system's own.
    static std::vector<std::unique_ptr<YKTranslatorIO>> InstantiateMultiple();
    // Appends InstantiateMultiple()'s formats to the registry; later calls add nothing.
    static void RegisterAll();
    // The most memory, in MiB, that one decoded image may take: the raster limit unless
    // lowered (a process reading many untrusted files at once, a fuzzer).
    static void SetImageMemoryLimit(int32 mebibytes);

    // `formats`: Qt's names of the file type, sorted; the first one Qt writes is used to write.
    YKTranslatorIO(std::string menuName, std::vector<std::string> formats, std::string mimeType,
                   uint32 capabilities, bool keepsAlpha);

    const char* MenuName() const override { return mMenuName.c_str(); }
    // ".tif;.tiff"
    const char* Extension() const override { return mExtension.c_str(); }
    const char* MimeType() const override { return mMimeType.c_str(); }
    bool IsInternal() const override { return false; }
    uint32 Capabilities() const override { return mCapabilities; }
    std::vector<const char*> OptionFields() const override {
        return {"ra_back_col", "ra_hasbackcol"};
    }
    // Whether the format holds partial transparency; without it, the writer composes the
    // image over the background colour.
    bool KeepsAlpha() const { return mKeepsAlpha; }

    // Judged by the file's content, whatever its name.
    bool Accept(const char* path) const override;
    // The first image of the file, straight 32-bit pixels.
    std::unique_ptr<YKRaster> Read(const char* path, YKMessage* info, bool native,
                                   std::string* error) const override;
    // The same from bytes in memory.
    std::unique_ptr<YKRaster> ReadMemory(const uint8* data, size_t size, bool native,
                                         std::string* error) const;
    // Export: with "ra_hasbackcol", every pixel is composed over "ra_back_col" (default
    // opaque white); a format without alpha always gets it, made opaque. The file is replaced
    // only once it is complete, and its MIME type is recorded.
    bool Write(const char* path, const YKRaster& raster, const YKMessage* options,
               YKRasterProgress* progress, std::string* error) const override;

    // Qt's names of the file type.
    const std::vector<std::string>& Formats() const { return mFormats; }

private:
    bool Owns(const std::string& format) const;
    // What Accept says of the bytes `device` holds.
    bool Recognises(QIODevice& device) const;
    std::unique_ptr<YKRaster> ReadDevice(QIODevice& device, bool native, std::string* error) const;

    std::string mMenuName;
    std::vector<std::string> mFormats;
    std::string mExtension;
    std::string mMimeType;
    uint32 mCapabilities;
    bool mKeepsAlpha;
};
