#pragma once

// YKWriteGif: turns frames of 8-bit palette indices into a GIF89a file: screen descriptor,
// colour tables, looping and graphic control extensions, LZW image data. The GIF writers reduce
// true-colour rasters to a palette before they get here.

#include <memory>
#include <vector>

#include "YKBinFile.h"
#include "yk_color.h"
#include "yk_types.h"

class YKGifLzwEncoder;
class YKMessage;

class YKWriteGif {
public:
    // Given once per file.
    struct SGlobalInfo {
        int32 width = 0;  // logical screen
        int32 height = 0;
        int32 colorCount = 0;             // global table entries; 0: no global table
        const uint8* colorMap = nullptr;  // red, green, blue per entry
        int32 reserved = 0;
        int32 backgroundIndex = 0;
        // NETSCAPE2.0 loop count (0 loops forever); negative or above 65535 writes no loop block.
        int32 loopCount = -1;
    };

    // Bits of SLocalInfo::flags.
    static constexpr int32 kInterlaced = 0x01;
    static constexpr int32 kDisposeNone = 0x20;        // leave the image in place
    static constexpr int32 kDisposeBackground = 0x40;  // clear its area
    static constexpr int32 kDisposePrevious = 0x80;    // restore what was under it

    // Given per frame.
    struct SLocalInfo {
        int32 width = 0;
        int32 height = 0;
        int32 colorCount = 0;             // local table entries, or 0 to use the global table
        const uint8* colorMap = nullptr;  // a local table is written when not null
        int32 left = 0;                   // position on the logical screen
        int32 top = 0;
        int32 transparentIndex = -1;  // -1: none
        int32 delay = 0;              // hundredths of a second
        int32 flags = 0;
    };

    // Pixel value of "no background colour".
    static constexpr uint32 kNoBackground = 0xFFFFFFFF;

    YKWriteGif();
    YKWriteGif(const YKWriteGif&) = delete;
    YKWriteGif& operator=(const YKWriteGif&) = delete;
    // Closes an open file, trailer included.
    virtual ~YKWriteGif();

    // Closes any previous file and opens `path` for writing (false when it cannot be). The
    // background colour comes from the int32 "ra_back_col" of `info` when present.
    bool CreateFile(const char* path, const SGlobalInfo& global, const YKMessage* info);
    // Writes one frame of width x height indices, row after row; the first frame also writes
    // the header. Indices must be below the table's size. False when no file is open.
    bool AddFrame8(const uint8* indices, const SLocalInfo& local);
    // Writes the trailer and closes the file. False when no file was open or some write since
    // CreateFile failed (a full disk).
    bool CloseFile();

    // From `color` when given, else from "ra_back_col" of `info`, else none.
    void SetBackgroundColor(const yk_color* color, const YKMessage* info);
    void SetBackgroundColor(uint32 pixel) { mBackgroundColor = pixel; }
    uint32 GetBackgroundColor() const { return mBackgroundColor; }

    // Raw output: a 16-bit little-endian word, a byte, bytes.
    void putword(int32 value);
    void putbyte(int32 value);
    void putraw(const void* bytes, int32 length);

private:
    void WriteHeader(int32 globalBits);
    void WriteGraphicControl(const SLocalInfo& local);
    // `count` triples of `map` (fewer when it is null), then black up to 2^bits entries.
    void WriteColorTable(const uint8* map, int32 count, int32 bits);
    // The rows of `indices` in interlaced order, in the interlace buffer.
    const uint8* Interlace(const uint8* indices, int32 width, int32 height);

    YKBinFile mFile;
    bool mFileOpen = false;
    bool mFirstFrame = true;
    bool mWriteFailed = false;
    SGlobalInfo mGlobal;
    uint32 mBackgroundColor = kNoBackground;
    std::vector<uint8> mInterlaceBuffer;
    std::unique_ptr<YKGifLzwEncoder> mEncoder;
};
