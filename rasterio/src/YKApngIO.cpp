// APNG export: the first frame whole in IDAT, each later one as the rectangle that changed.

#include "YKApngIO.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "YKRaster.h"
#include "yk_anim_export_internal.h"
#include "yk_apng_chunks_internal.h"
#include "yk_io_error_internal.h"

namespace {

using yk_anim_export::Coder;
using yk_apng::PutBig16;
using yk_apng::PutBig32;

enum Blend : uint8 { kBlendSource = 0, kBlendOver = 1 };
constexpr uint8 kDisposeNone = 0;

// Where a frame differs from the one shown before it, and the blend that makes it show exactly.
struct Change {
    YKRect<int32> rect;
    Blend blend;
};

const uint32* RowOf(const YKRaster& raster, int32 y) {
    return reinterpret_cast<const uint32*>(raster.Bits() + int64{y} * raster.BytesPerRow());
}

// Over the previous frame, a transparent pixel leaves it and an opaque one replaces it, so when
// every changed pixel is opaque the unchanged ones can go as transparent, which packs better.
// A changed translucent pixel needs the source blend. An unchanged frame is one pixel left as is.
Change Difference(const std::vector<uint32>& previous, const YKRaster& current) {
    const int32 width = current.Width();
    Change change{{width, current.Height(), -1, -1}, kBlendOver};
    for (int32 y = 0; y < current.Height(); ++y) {
        const uint32* row = RowOf(current, y);
        const uint32* before = previous.data() + size_t(y) * size_t(width);
        for (int32 x = 0; x < width; ++x) {
            if (row[x] != before[x]) {
                change.rect.left = std::min(change.rect.left, x);
                change.rect.right = std::max(change.rect.right, x);
                change.rect.top = std::min(change.rect.top, y);
                change.rect.bottom = y;
                if (row[x] >> 24 != 255) {
                    change.blend = kBlendSource;
                }
            }
        }
    }
    if (change.rect.right < 0) {
        change.rect = {0, 0, 0, 0};
    }
    return change;
}

class ApngCoder : public Coder {
public:
    explicit ApngCoder(int32 plays) : mPlays(plays) {}

    bool Begin(std::FILE* file, int32 width, int32 height, int32 frames, std::string*) override {
        mChunks = std::make_unique<yk_apng::ChunkWriter>(file);
        mWidth = width;
        mChunks->Signature();
        std::vector<uint8> header;
        PutBig32(header, static_cast<uint32>(width));
        PutBig32(header, static_cast<uint32>(height));
        // 8-bit RGBA, deflate, adaptive filters, not interlaced.
        header.insert(header.end(), {8, 6, 0, 0, 0});
        mChunks->Chunk("IHDR", header);
        std::vector<uint8> control;
        PutBig32(control, static_cast<uint32>(frames));
        PutBig32(control, static_cast<uint32>(mPlays));
        mChunks->Chunk("acTL", control);
        mPrevious.resize(size_t(width) * size_t(height));
        return true;
    }

    bool Add(const YKRaster& frame, int32 delay, std::string* error) override {
        const bool first = mFrames++ == 0;
        const Change change =
            first ? Change{{0, 0, frame.Width() - 1, frame.Height() - 1}, kBlendSource}
                  : Difference(mPrevious, frame);
        const YKRect<int32>& r = change.rect;
        const int32 width = r.right - r.left + 1;
        const int32 height = r.bottom - r.top + 1;
        std::vector<uint8> control;
        PutBig32(control, mChunks->NextSequence());
        PutBig32(control, static_cast<uint32>(width));
        PutBig32(control, static_cast<uint32>(height));
        PutBig32(control, static_cast<uint32>(r.left));
        PutBig32(control, static_cast<uint32>(r.top));
        PutBig16(control, static_cast<uint16>(delay));
        PutBig16(control, 100);
        control.push_back(kDisposeNone);
        control.push_back(change.blend);
        mChunks->Chunk("fcTL", control);

        std::vector<uint8> rgba(size_t(width) * size_t(height) * 4);
        uint8* out = rgba.data();
        for (int32 y = r.top; y <= r.bottom; ++y) {
            const uint32* row = RowOf(frame, y);
            const uint32* before = mPrevious.data() + size_t(y) * size_t(mWidth);
            for (int32 x = r.left; x <= r.right; ++x, out += 4) {
                const uint32 p = change.blend == kBlendOver && row[x] == before[x] ? 0 : row[x];
                out[0] = static_cast<uint8>(p >> 16);
                out[1] = static_cast<uint8>(p >> 8);
                out[2] = static_cast<uint8>(p);
                out[3] = static_cast<uint8>(p >> 24);
            }
        }
        for (int32 y = r.top; y <= r.bottom; ++y) {
            std::memcpy(mPrevious.data() + size_t(y) * size_t(mWidth) + size_t(r.left),
                        RowOf(frame, y) + r.left, size_t(width) * 4);
        }
        return mChunks->ImageData(rgba, width, height, !first, error);
    }

    bool Finish(std::string*) override {
        mChunks->Chunk("IEND", {});
        return true;
    }

private:
    int32 mPlays;
    std::unique_ptr<yk_apng::ChunkWriter> mChunks;
    int32 mWidth = 0;
    int32 mFrames = 0;
    // The frame shown now, as the next frame's difference starts from it.
    std::vector<uint32> mPrevious;
};

}  // namespace

bool YKApngIO::Write(const char* path, YKAnimationSource& source, const YKMessage* options,
                     YKRasterProgress* progress, std::string* error) const {
    yk_anim_export::Options settings;
    settings.Read(options);
    ApngCoder coder(settings.plays);
    return yk_anim_export::Run(path, MimeType(), source, settings, coder, progress, error);
}
