#pragma once

// YKReadGif: reads GIF87a and GIF89a files. Every image is decoded, composed over what the
// previous one left according to its disposal method, and handed out as a full-screen 32-bit
// raster; playback can loop back to a chosen frame.
//
// Files are hostile: sizes are checked before anything is allocated, a screen larger than the
// raster limit is refused, and truncated or corrupt data ends an image early instead of failing
// (as browsers show what they can), with a warning. Only an LZW code size that no 8-bit image
// can have stops the reading as an error.

#include <memory>
#include <string>
#include <vector>

#include "YKBinFile.h"
#include "YKRaster.h"
#include "YKRasterList.h"
#include "yk_types.h"

class YKGifLzwDecoder;
class YKMessage;

class YKReadGif {
public:
    YKReadGif();
    YKReadGif(const YKReadGif&) = delete;
    YKReadGif& operator=(const YKReadGif&) = delete;
    virtual ~YKReadGif();

    // Opens the file and reads the header, screen descriptor and global colour table. False for
    // a file that cannot be opened, is empty, is no GIF, or has a screen of zero or too many
    // pixels. `info` (may be null, not owned, kept until EndRead) loses its "gce_flags",
    // "gce_delay" and "gce_transp" and then gets those of every image read, and comments as
    // "ra_descript". Rasters made here are native when asked.
    bool BeginRead(const char* path, YKMessage* info, bool native = false);
    // Reads on to the next image and stores the composed screen in `raster` (made when null;
    // a given raster must have the screen's size). False after the last image, unless `loop`
    // is set and the loop frame was passed: then the loop frame comes again.
    bool ReadNextImage(std::unique_ptr<YKRaster>& raster, bool loop = false);
    // The next image as a new raster at the end of `list`.
    bool ReadNextImage(YKRasterList& list);
    // Every image of the file into `list`. False when the file could not begin to be read.
    bool ReadAllFile(const char* path, YKRasterList& list, YKMessage* info, bool native = false);
    // The frame that looping returns to; negative means 0. Forgets the saved loop point.
    void SetLoopFrame(int32 index);
    // Frees the buffers and saved rasters and closes the file.
    void EndRead();

    // The first fault of the data read so far that was read past, such as an image whose data
    // ends early; empty when there was none. Kept until the next BeginRead.
    const std::string& Warning() const { return mWarning; }
    // Why reading stopped on data that cannot be shown at all; empty otherwise.
    const std::string& Error() const { return mError; }

private:
    struct Image;
    // How the last image is disposed of. It is applied only when a next image comes, so a still
    // or a last frame costs nothing for it.
    struct Disposal {
        int32 method = 1;  // 0: background, 1: leave, 2: clear the area, 3: restore previous
        // The last image's part of the screen, as [left, right) x [top, bottom).
        int32 left = 0;
        int32 top = 0;
        int32 right = 0;
        int32 bottom = 0;
        bool transparent = false;  // it had a transparent index: its area clears to alpha 0
    };
    // What the reader needs to start over after the loop frame.
    struct LoopPoint {
        int64 position = -1;
        std::unique_ptr<YKRaster> result;
        std::unique_ptr<YKRaster> previous;  // only when the loop frame restores it
        Disposal disposal;
    };
    enum class ImageRead { kDone, kTruncated, kFailed };

    bool ReadHeader();
    void ReadExtension();
    void SkipSubBlocks();
    ImageRead ReadImage(std::unique_ptr<YKRaster>& raster, bool loop);
    // Joins the image's data sub-blocks into the code buffer; returns their length.
    int64 ReadImageData();
    // The raster the image is drawn into: the last result disposed of, or a cleared screen.
    bool PrepareResult(std::unique_ptr<YKRaster>& raster, const Image& image);
    void DecodeInto(YKRaster& result, const Image& image, int32 minCodeSize, int64 length);
    // Keeps how the result is to be disposed of, and a copy of it unless no image can follow.
    bool KeepResult(const YKRaster& result, const Image& image);
    // Turns the last result into the base of a coming image that has disposal `next`.
    bool ApplyDisposal(int32 next);
    // The screen's background colour, or 0 when its index is outside the global table.
    uint32 BackgroundPixel() const;
    bool LoopBack(std::unique_ptr<YKRaster>& raster);
    std::unique_ptr<YKRaster> MakeScreenRaster(bool native) const;
    // Copies `source` into `raster`, made when null; false when it cannot be made.
    bool CopyScreen(std::unique_ptr<YKRaster>& raster, const YKRaster& source, bool native) const;
    void ResetGraphicControl();
    void Warn(const std::string& text);

    YKMessage* mInfo = nullptr;
    YKBinFile mFile;
    int64 mFileLength = 0;
    bool mNative = false;
    int32 mScreenWidth = 0;
    int32 mScreenHeight = 0;
    // Opaque 32-bit pixels of the global table, or of the default table repeated.
    uint32 mPalette[256] = {};
    int32 mColorCount = 0;
    int32 mBackgroundIndex = 0;
    // Graphic control of the next image.
    int32 mPendingFlags = 0;
    int32 mPendingDelay = 0;
    int32 mPendingTransparent = -1;
    int32 mImageCount = 0;
    // Set once the images have ended; only looping back reads on.
    bool mAtEnd = false;
    int32 mLoopFrame = 0;
    LoopPoint mLoop;
    // Screen rasters of the reader's own: the last result (the next image's base once disposed
    // of), and the one before it while the last image's disposal restores it.
    std::unique_ptr<YKRaster> mBase;
    std::unique_ptr<YKRaster> mPrevious;
    bool mHasPrevious = false;
    Disposal mDisposal;
    // Holds one image's data: the file's length plus room to fetch codes past the end.
    std::unique_ptr<uint8[]> mCodes;
    std::vector<uint8> mRow;
    std::unique_ptr<YKGifLzwDecoder> mDecoder;
    std::string mWarning;
    std::string mError;
};
