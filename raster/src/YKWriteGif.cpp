#include "YKWriteGif.h"

#include <algorithm>
#include <cstring>

#include "YKDebug.h"
#include "YKMessage.h"
#include "yk_gif_interlace.h"
#include "yk_gif_lzw_encoder.h"

namespace {

constexpr const char* kBackColorField = "ra_back_col";

// The smallest b in 1..8 with 2^b >= count.
int32 BitsFor(int32 count) {
    int32 bits = 1;
    while (bits < 8 && (1 << bits) < count) {
        ++bits;
    }
    return bits;
}

}  // namespace

YKWriteGif::YKWriteGif() : mEncoder(std::make_unique<YKGifLzwEncoder>()) {}

YKWriteGif::~YKWriteGif() {
    CloseFile();
}

bool YKWriteGif::CreateFile(const char* path, const SGlobalInfo& global, const YKMessage* info) {
    CloseFile();
    if (!mFile.Open(path, YK_BIN_WRITE_ONLY)) {
        return false;
    }
    mFileOpen = true;
    mFirstFrame = true;
    mWriteFailed = false;
    mGlobal = global;
    SetBackgroundColor(nullptr, info);
    return true;
}

bool YKWriteGif::CloseFile() {
    if (!mFileOpen) {
        return false;
    }
    putbyte(';');
    const bool closed = mFile.Close();
    mFileOpen = false;
    return closed && !mWriteFailed;
}

void YKWriteGif::SetBackgroundColor(const yk_color* color, const YKMessage* info) {
    int32 pixel = 0;
    if (color != nullptr) {
        mBackgroundColor = color->ARGBPixel();
    } else if (info != nullptr && info->FindInt32(kBackColorField, &pixel)) {
        mBackgroundColor = static_cast<uint32>(pixel);
    } else {
        mBackgroundColor = kNoBackground;
    }
}

// --- Frames ---

bool YKWriteGif::AddFrame8(const uint8* indices, const SLocalInfo& local) {
    YK_ASSERT(local.width >= 0 && local.width <= 0xFFFF && local.height >= 0 &&
              local.height <= 0xFFFF);
    if (!mFileOpen) {
        return false;
    }
    const bool interlaced = (local.flags & kInterlaced) != 0;
    if (interlaced) {
        indices = Interlace(indices, local.width, local.height);
    }
    const int32 bits = BitsFor(local.colorCount != 0 ? local.colorCount : mGlobal.colorCount);
    if (mFirstFrame) {
        // The global table is sized for its own colours: a frame with a smaller local table
        // must not cut off the colours that later frames take from it.
        WriteHeader(mGlobal.colorCount != 0 ? BitsFor(mGlobal.colorCount) : bits);
        mFirstFrame = false;
    }
    if (local.flags != 0 || local.transparentIndex >= 0) {
        WriteGraphicControl(local);
    }

    putbyte(0x2C);
    putword(local.left);
    putword(local.top);
    putword(local.width);
    putword(local.height);
    int32 packed = interlaced ? 0x40 : 0x00;
    if (local.colorMap != nullptr) {
        packed |= 0x80 | (bits - 1);
    }
    putbyte(packed);
    if (local.colorMap != nullptr) {
        WriteColorTable(local.colorMap, local.colorCount, bits);
    }
    if (!mEncoder->Encode(indices, int64{local.width} * local.height, std::max(2, bits), mFile)) {
        mWriteFailed = true;
    }
    return true;
}

void YKWriteGif::WriteHeader(int32 globalBits) {
    putraw("GIF89a", 6);
    putword(mGlobal.width);
    putword(mGlobal.height);
    const bool globalTable = mGlobal.colorCount != 0;
    putbyte((globalBits - 1) | (globalTable ? 0xF0 : 0x70));
    putbyte(mGlobal.backgroundIndex);
    putbyte(0);
    if (globalTable) {
        WriteColorTable(mGlobal.colorMap, mGlobal.colorCount, globalBits);
    }
    if (mGlobal.loopCount >= 0 && mGlobal.loopCount < 0x10000) {
        static constexpr uint8 kLoopBlock[] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S',  'C',
                                               'A',  'P',  'E',  '2', '.', '0', 0x03, 0x01};
        putraw(kLoopBlock, sizeof kLoopBlock);
        putword(mGlobal.loopCount);
        putbyte(0);
    }
}

void YKWriteGif::WriteGraphicControl(const SLocalInfo& local) {
    int32 packed = local.transparentIndex >= 0 ? 1 : 0;
    if ((local.flags & kDisposeNone) != 0) {
        packed |= 4;
    }
    if ((local.flags & kDisposeBackground) != 0) {
        packed |= 8;
    }
    if ((local.flags & kDisposePrevious) != 0) {
        packed |= 12;
    }
    putbyte(0x21);
    putbyte(0xF9);
    putbyte(4);
    putbyte(packed);
    putword(local.delay);
    putbyte(std::max(local.transparentIndex, 0));
    putbyte(0);
}

void YKWriteGif::WriteColorTable(const uint8* map, int32 count, int32 bits) {
    uint8 table[256 * 3] = {};
    const int32 entries = 1 << bits;
    if (map != nullptr && count > 0) {
        std::memcpy(table, map, static_cast<std::size_t>(std::min(count, entries)) * 3);
    }
    putraw(table, entries * 3);
}

const uint8* YKWriteGif::Interlace(const uint8* indices, int32 width, int32 height) {
    const std::size_t size = static_cast<std::size_t>(width) * height;
    if (mInterlaceBuffer.size() < size) {
        mInterlaceBuffer.resize(size);
    }
    uint8* out = mInterlaceBuffer.data();
    yk_gif_interlaced_rows(height, [&](int32 row) {
        std::memcpy(out, indices + static_cast<std::size_t>(row) * width,
                    static_cast<std::size_t>(width));
        out += width;
        return true;
    });
    return mInterlaceBuffer.data();
}

// --- Raw output ---

void YKWriteGif::putword(int32 value) {
    mWriteFailed = !mFile.Write16LE(static_cast<uint16>(value)) || mWriteFailed;
}

void YKWriteGif::putbyte(int32 value) {
    mWriteFailed = !mFile.Write8(static_cast<uint8>(value)) || mWriteFailed;
}

void YKWriteGif::putraw(const void* bytes, int32 length) {
    mWriteFailed = !mFile.Write(static_cast<const char*>(bytes), length) || mWriteFailed;
}
