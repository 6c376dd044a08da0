#include "YKBitmap.h"

#include <algorithm>
#include <cstring>

#include "YKRaster.h"
#include "yk_composition.h"
#include "yk_memory.h"
#include "yk_name_internal.h"

// Index
//   Block walk        ForEachBlock, pixel addresses
//   Construction      copies, names
//   Rasters           SetRaster, Raster
//   Rows              GetLineAt, SetLineAt, CreateBlocks, StoreLineAt, SetPixelsAt, SetPixelAt
//   Areas             Erase, MergeWith
//   Frame             AddFrame, MoveBy, MoveTo, Contains, OptimizeFrame, ConvertToBlock

namespace {

using Rect = YKRect<int32>;

constexpr int32 kShift = YKMatrixManager::kBlockShift;
constexpr int32 kMask = YKMatrixManager::kBlockMask;
constexpr int32 kSize = YKMatrixManager::kBlockSize;
constexpr uint32 kFullLevel = 255;
// The source of a merge where the other bitmap has no block: transparent pixels.
constexpr uint32 kTransparentRow[kSize] = {};

// --- Block walk ---

// Calls visit(column, row, part) for every block the rectangle touches, with the part of the
// rectangle inside it: block rows top to bottom, columns left to right. Shifts are arithmetic,
// so negative coordinates land in negative blocks.
template <typename Visit>
void ForEachBlock(Rect r, Visit&& visit) {
    for (int32 row = r.top >> kShift; row <= (r.bottom >> kShift); ++row) {
        const int32 top = std::max(r.top, row * kSize);
        const int32 bottom = std::min(r.bottom, row * kSize + kMask);
        for (int32 column = r.left >> kShift; column <= (r.right >> kShift); ++column) {
            visit(column, row,
                  Rect{std::max(r.left, column * kSize), top,
                       std::min(r.right, column * kSize + kMask), bottom});
        }
    }
}

Rect Moved(Rect r, YKPoint<int32> by) {
    r.OffsetBy(by.x, by.y);
    return r;
}

int32 Span(const Rect& r) {
    return r.right - r.left + 1;
}

uint32* Pixel32(uint8* block, int32 x, int32 y) {
    return reinterpret_cast<uint32*>(block) + (y & kMask) * kSize + (x & kMask);
}
const uint32* Pixel32(const uint8* block, int32 x, int32 y) {
    return reinterpret_cast<const uint32*>(block) + (y & kMask) * kSize + (x & kMask);
}

// Writes a run of 32-bit pixels on row y (shown coordinates) from x0 to x1, block by block
// (made as needed), after growing the frame over it. write(destination, index of the first
// pixel in the run, count) does the work of each segment.
template <typename Write>
void WriteRow(YKBitmap& bitmap, int32 y, int32 x0, int32 x1, Write&& write) {
    // Shapes paint row after row inside the frame they grew on their first rows.
    const Rect frame = bitmap.Frame();
    if (!frame.Contains({x0, y}) || !frame.Contains({x1, y})) {
        bitmap.AddFrame({x0, y, x1, y});
    }
    const YKPoint<int32> offset = bitmap.Offset();
    const Rect run{x0 - offset.x, y - offset.y, x1 - offset.x, y - offset.y};
    ForEachBlock(run, [&](int32 column, int32 row, const Rect& part) {
        uint8* block = bitmap.Get(column, row, true);
        if (block != nullptr) {
            write(Pixel32(block, part.left, part.top), part.left - run.left, Span(part));
        }
    });
}

}  // namespace

// --- Construction ---

YKBitmap::YKBitmap(const char* name, yk_color_space space)
    : YKMatrixManager(space), mName(yk_copy_name(name)) {}

YKBitmap::YKBitmap(const YKBitmap& other)
    : YKMatrixManager(other),
      mFrame(other.mFrame),
      mOffset(other.mOffset),
      mFrameLocked(other.mFrameLocked),
      mName(yk_copy_name(other.mName.get())) {}

YKBitmap& YKBitmap::operator=(const YKBitmap& other) {
    if (this != &other) {
        YKMatrixManager::operator=(other);
        mFrame = other.mFrame;
        mOffset = other.mOffset;
        mFrameLocked = other.mFrameLocked;
        mName = yk_copy_name(other.mName.get());
    }
    return *this;
}

YKBitmap::YKBitmap(const YKRaster* raster)
    : YKMatrixManager(raster != nullptr ? raster->ColorSpace() : YK_RGBA_COLOR_SPACE) {
    if (raster != nullptr) {
        SetRaster(raster, raster->Frame());
    }
}

YKBitmap::~YKBitmap() = default;

void YKBitmap::MakeEmpty() {
    mFrame = Rect::None();
    mOffset = {0, 0};
    ClrAll();
}

// --- Rasters ---

void YKBitmap::SetRaster(const YKRaster* raster, YKRect<int32> rect) {
    MakeEmpty();
    if (raster == nullptr) {
        return;
    }
    SetColorSpace(raster->ColorSpace());
    const Rect area = rect & raster->Frame();
    if (!area.IsValid() || raster->Bits() == nullptr) {
        return;
    }
    mFrame = area;
    const Rect from = raster->Frame();
    const int32 bytesPerPixel = BytesPerPixel();
    ForEachBlock(area, [&](int32 column, int32 row, const Rect& part) {
        uint8* block = Get(column, row, true);
        if (block == nullptr) {
            return;
        }
        const std::size_t bytes = static_cast<std::size_t>(Span(part)) * bytesPerPixel;
        for (int32 y = part.top; y <= part.bottom; ++y) {
            yk_memcpy(
                block + (y & kMask) * BytesPerBlockRow() + (part.left & kMask) * bytesPerPixel,
                raster->Bits() + static_cast<int64>(y - from.top) * raster->BytesPerRow() +
                    static_cast<int64>(part.left - from.left) * bytesPerPixel,
                bytes);
        }
    });
}

YKRaster* YKBitmap::Raster(YKRect<int32> rect, YKRaster* raster) const {
    if (raster == nullptr) {
        raster = new YKRaster(rect, nullptr, ColorSpace());
    } else {
        if (raster->ColorSpace() != ColorSpace()) {
            return nullptr;
        }
        raster->OffsetTo(rect.LeftTop());
        rect = rect & raster->Frame();
    }
    const Rect shown = rect & Frame();
    if (raster->Bits() == nullptr || !shown.IsValid()) {
        return raster;
    }
    const Rect to = raster->Frame();
    const int32 bytesPerPixel = BytesPerPixel();
    ForEachBlock(
        Moved(shown, {-mOffset.x, -mOffset.y}), [&](int32 column, int32 row, const Rect& part) {
            const uint8* block = Get(column, row);
            const std::size_t bytes = static_cast<std::size_t>(Span(part)) * bytesPerPixel;
            for (int32 y = part.top; y <= part.bottom; ++y) {
                uint8* out = raster->Bits() +
                             static_cast<int64>(y + mOffset.y - to.top) * raster->BytesPerRow() +
                             static_cast<int64>(part.left + mOffset.x - to.left) * bytesPerPixel;
                if (block != nullptr) {
                    yk_memcpy(out,
                              block + (y & kMask) * BytesPerBlockRow() +
                                  (part.left & kMask) * bytesPerPixel,
                              bytes);
                } else {
                    yk_memclr(out, bytes);
                }
            }
        });
    return raster;
}

// --- Rows ---

uint32* YKBitmap::GetLineAt(int32 y, int32 x0, int32 x1, bool, uint32* buffer) {
    if (x1 < x0) {
        return nullptr;
    }
    const int32 count = x1 - x0 + 1;
    if (buffer == nullptr) {
        if (count > mLineCapacity) {
            mLineBuffer = std::make_unique<uint32[]>(static_cast<std::size_t>(count));
            mLineCapacity = count;
        }
        buffer = mLineBuffer.get();
    }
    const Rect run{x0 - mOffset.x, y - mOffset.y, x1 - mOffset.x, y - mOffset.y};
    const Rect covered = run & mFrame;
    if (BytesPerPixel() != 4 || !covered.IsValid()) {
        yk_memclr(buffer, static_cast<std::size_t>(count) * 4);
        return buffer;
    }
    yk_memclr(buffer, static_cast<std::size_t>(covered.left - run.left) * 4);
    yk_memclr(buffer + (covered.right - run.left + 1),
              static_cast<std::size_t>(run.right - covered.right) * 4);
    const YKBitmap& self = *this;
    ForEachBlock(covered, [&](int32 column, int32 row, const Rect& part) {
        const uint8* block = self.Get(column, row);
        uint32* out = buffer + (part.left - run.left);
        const std::size_t bytes = static_cast<std::size_t>(Span(part)) * 4;
        if (block != nullptr) {
            yk_memcpy(out, Pixel32(block, part.left, part.top), bytes);
        } else {
            yk_memclr(out, bytes);
        }
    });
    return buffer;
}

void YKBitmap::SetLineAt(const uint32* pixels, int32 y, int32 x0, int32 x1) {
    if (x1 < x0 || BytesPerPixel() != 4) {
        return;
    }
    WriteRow(*this, y, x0, x1, [&](uint32* out, int32 index, int32 count) {
        yk_memcpy(out, pixels + index, static_cast<std::size_t>(count) * 4);
    });
}

void YKBitmap::CreateBlocks(YKRect<int32> rect) {
    if (!rect.IsValid()) {
        return;
    }
    ForEachBlock(Moved(rect, {-mOffset.x, -mOffset.y}),
                 [&](int32 column, int32 row, const Rect&) { Get(column, row, true); });
}

void YKBitmap::StoreLineAt(const uint32* pixels, int32 y, int32 x0, int32 x1) {
    if (x1 < x0 || BytesPerPixel() != 4) {
        return;
    }
    const Rect run{x0 - mOffset.x, y - mOffset.y, x1 - mOffset.x, y - mOffset.y};
    const YKBitmap& self = *this;
    ForEachBlock(run, [&](int32 column, int32 row, const Rect& part) {
        // The const lookup never touches the block list, which other rows' writers share.
        if (const uint8* block = self.Get(column, row)) {
            yk_memcpy(Pixel32(const_cast<uint8*>(block), part.left, part.top),
                      pixels + (part.left - run.left), static_cast<std::size_t>(Span(part)) * 4);
        }
    });
}

void YKBitmap::SetPixelsAt(int32 y, int32 x, int32 count, const uint32* pixels, int32 mode) {
    if (count < 1 || BytesPerPixel() != 4) {
        return;
    }
    const yk_array_func merge = yk_array_func_for(mode);
    WriteRow(*this, y, x, x + count - 1,
             [&](uint32* out, int32 index, int32 n) { merge(out, pixels + index, kFullLevel, n); });
}

void YKBitmap::SetPixelAt(int32 y, int32 x, int32 count, uint32 color, int32 mode) {
    if (count < 1 || ColorSpace() != YK_RGBA_COLOR_SPACE) {
        return;
    }
    const yk_color_func merge = yk_color_func_for(mode);
    WriteRow(*this, y, x, x + count - 1,
             [&](uint32* out, int32, int32 n) { merge(out, color, kFullLevel, n); });
}

// --- Areas ---

void YKBitmap::Erase(YKRect<int32> rect) {
    const Rect area = Moved(rect, {-mOffset.x, -mOffset.y}) & mFrame;
    if (!area.IsValid()) {
        return;
    }
    ForEachBlock(area, [&](int32 column, int32 row, const Rect& part) {
        uint8* block = Get(column, row, false);
        if (block == nullptr) {
            return;
        }
        const std::size_t bytes = static_cast<std::size_t>(Span(part)) * BytesPerPixel();
        for (int32 y = part.top; y <= part.bottom; ++y) {
            yk_memclr(
                block + (y & kMask) * BytesPerBlockRow() + (part.left & kMask) * BytesPerPixel(),
                bytes);
        }
    });
}

void YKBitmap::MergeWith(const YKBitmap* other, YKRect<int32> rect, int32 mode, int32 opacity) {
    if (other == nullptr || ColorSpace() != YK_RGBA_COLOR_SPACE ||
        other->ColorSpace() != YK_RGBA_COLOR_SPACE) {
        return;
    }
    AddFrame(other->Frame());
    const Rect shown = rect & Frame() & other->Frame();
    if (!shown.IsValid()) {
        return;
    }
    const yk_array_func merge = yk_array_func_for(mode);
    const uint32 level = static_cast<uint32>(std::clamp(opacity, 0, 255));
    // Of all methods only Copy changes a pixel under a transparent source pixel, so a missing
    // source block is skipped for every other one.
    const bool missingSourceMatters = mode == YK_COPY;
    // From this bitmap's own coordinates to the other's.
    const YKPoint<int32> shift = mOffset - other->mOffset;

    // The blocks of the two bitmaps do not line up unless the offsets differ by multiples of
    // 64: each destination block is split again at the source's block boundaries, so every row
    // segment lies in one block of each.
    ForEachBlock(
        Moved(shown, {-mOffset.x, -mOffset.y}), [&](int32 column, int32 row, const Rect& part) {
            uint8* target = nullptr;
            ForEachBlock(
                Moved(part, shift), [&](int32 sourceColumn, int32 sourceRow, const Rect& piece) {
                    const uint8* source = other->Get(sourceColumn, sourceRow);
                    if (source == nullptr && !missingSourceMatters) {
                        return;
                    }
                    if (target == nullptr) {
                        // Copying transparent pixels onto a missing block changes nothing.
                        target = Get(column, row, source != nullptr);
                        if (target == nullptr) {
                            return;
                        }
                    }
                    const int32 count = Span(piece);
                    for (int32 y = piece.top; y <= piece.bottom; ++y) {
                        merge(Pixel32(target, piece.left - shift.x, y - shift.y),
                              source != nullptr ? Pixel32(source, piece.left, y) : kTransparentRow,
                              level, count);
                    }
                });
        });
}

// --- Frame ---

YKRect<int32> YKBitmap::Frame() const {
    return mFrame.IsValid() ? Moved(mFrame, mOffset) : Rect::None();
}

void YKBitmap::AddFrame(YKRect<int32> rect) {
    if (!mFrameLocked && rect.IsValid()) {
        mFrame = mFrame | Moved(rect, {-mOffset.x, -mOffset.y});
    }
}

void YKBitmap::MoveBy(int32 dx, int32 dy) {
    if (!mFrameLocked) {
        mOffset += {dx, dy};
    }
}

void YKBitmap::MoveTo(YKPoint<int32> point) {
    if (!mFrameLocked) {
        mOffset = point - mFrame.LeftTop();
    }
}

bool YKBitmap::Contains(YKPoint<int32> point) const {
    return mFrame.Contains(point - mOffset);
}

bool YKBitmap::ContainsAlpha(YKPoint<int32> point) const {
    const YKPoint<int32> own = point - mOffset;
    if (!mFrame.Contains(own)) {
        return false;
    }
    const uint8* block = Get(own.x >> kShift, own.y >> kShift);
    if (block == nullptr) {
        return false;
    }
    const uint8* pixel =
        block + (own.y & kMask) * BytesPerBlockRow() + (own.x & kMask) * BytesPerPixel();
    switch (ColorSpace()) {
        case YK_GRAY1_COLOR_SPACE:
        case YK_GRAY8_COLOR_SPACE:
            return pixel[0] != 0;
        case YK_RGB16_COLOR_SPACE:
            return false;
        case YK_RGBA64_COLOR_SPACE:
            return pixel[4] != 0;  // low byte of the second word
        default:
            return (*reinterpret_cast<const uint32*>(pixel) >> 24) != 0;
    }
}

void YKBitmap::OptimizeFrame() {
    if (ColorSpace() != YK_RGBA_COLOR_SPACE || !mFrame.IsValid()) {
        return;
    }
    // Only existing blocks can hold a visible pixel, so they are visited instead of every
    // block position of a possibly huge, sparse frame.
    Rect found = Rect::None();
    for (int32 index = 0; index < Stat(); ++index) {
        const YKPoint<int32> key = KeyAt(index);
        const Rect part =
            Rect{key.x * kSize, key.y * kSize, key.x * kSize + kMask, key.y * kSize + kMask} &
            mFrame;
        if (!part.IsValid()) {
            continue;
        }
        const uint8* block = BlockAt(index);
        for (int32 y = part.top; y <= part.bottom; ++y) {
            const uint32* pixels = Pixel32(block, part.left, y);
            int32 first = -1;
            int32 last = -1;
            for (int32 x = 0; x < Span(part); ++x) {
                if ((pixels[x] >> 24) != 0) {
                    first = first < 0 ? x : first;
                    last = x;
                }
            }
            if (first >= 0) {
                found = found | Rect{part.left + first, y, part.left + last, y};
            }
        }
    }
    mFrame = found;
}

YKPoint<int32> YKBitmap::ConvertToBlock(YKPoint<int32> point) {
    return {point.x & ~kMask, point.y & ~kMask};
}

YKRect<int32> YKBitmap::ConvertToBlock(YKRect<int32> rect) {
    return {rect.left & ~kMask, rect.top & ~kMask, (rect.right & ~kMask) + kMask,
            (rect.bottom & ~kMask) + kMask};
}
