#include "YKGlyphMaskCache.h"

#include <algorithm>
#include <limits>

#include "YKFontData.h"
#include "YKScanConverter.h"

namespace {

// What a mask costs besides its pixels and rows: its record and the map's node.
constexpr std::size_t kMaskOverhead = sizeof(YKGlyphMaskCache::Mask) + 48;

std::size_t BytesOf(const YKGlyphMaskCache::Mask& mask) {
    return mask.coverage.size() * sizeof(uint16) + kMaskOverhead;
}

}  // namespace

struct YKGlyphMaskCache::FontMasks {
    uint64 shape = 0;
    uint64 lastUse = 0;
    std::size_t bytes = 0;
    // Keyed by glyph and phase.
    std::unordered_map<uint64, Mask> masks;
    // The masks found lately, direct-mapped by key: most lookups end here without hashing
    // into `masks`, whose entries stay put until they are all dropped together.
    struct Recent {
        uint64 key = ~uint64{0};
        const Mask* mask = nullptr;
    };
    std::vector<Recent> recent;
};

namespace {

constexpr int32 kRecentBits = 9;

std::size_t RecentSlot(uint64 key) {
    return (key * 0x9E3779B97F4A7C15u) >> (64 - kRecentBits);
}

}  // namespace

YKGlyphMaskCache::YKGlyphMaskCache() : mScan(std::make_unique<YKScanConverter>()) {}

YKGlyphMaskCache::~YKGlyphMaskCache() = default;

YKGlyphMaskCache& YKGlyphMaskCache::Shared() {
    static YKGlyphMaskCache cache;
    return cache;
}

// --- Finding ---

const YKGlyphMaskCache::Mask* YKGlyphMaskCache::Find(YKFontData& font, uint32 glyph, int32 phaseX,
                                                     int32 phaseY) {
    FontMasks& masks = MasksOf(font);
    const uint64 key = uint64{glyph} << 8 | uint64(phaseX & 0xF) << 4 | uint64(phaseY & 0xF);
    if (masks.recent.empty()) {
        masks.recent.resize(std::size_t{1} << kRecentBits);
    }
    FontMasks::Recent& recent = masks.recent[RecentSlot(key)];
    if (recent.key == key) {
        return recent.mask;
    }
    if (const auto found = masks.masks.find(key); found != masks.masks.end()) {
        recent = {key, &found->second};
        return &found->second;
    }
    Mask mask = Build(font, glyph, phaseX, phaseY);
    if (mask.width < 0) {
        return nullptr;
    }
    const std::size_t bytes = BytesOf(mask);
    if (bytes > mCapacity) {
        mOversize = std::move(mask);
        return &mOversize;
    }
    MakeRoom(bytes, &masks);
    mBytes += bytes;
    masks.bytes += bytes;
    const Mask* kept = &masks.masks.emplace(key, std::move(mask)).first->second;
    masks.recent[RecentSlot(key)] = {key, kept};
    return kept;
}

YKGlyphMaskCache::FontMasks& YKGlyphMaskCache::MasksOf(YKFontData& font) {
    // A text asks for one font's masks glyph after glyph.
    if (mLastFont == nullptr || mLastSerial != font.Serial()) {
        mLastFont = &mFonts[font.Serial()];
        mLastSerial = font.Serial();
    }
    FontMasks& masks = *mLastFont;
    if (masks.shape != font.ShapeVersion()) {
        Drop(masks);
        masks.shape = font.ShapeVersion();
    }
    masks.lastUse = ++mClock;
    return masks;
}

int32 YKGlyphMaskCache::CountMasks(const YKFontData& font) const {
    const auto found = mFonts.find(font.Serial());
    if (found == mFonts.end() || found->second.shape != font.ShapeVersion()) {
        return 0;
    }
    return static_cast<int32>(found->second.masks.size());
}

// --- Building ---

YKGlyphMaskCache::Mask YKGlyphMaskCache::Build(YKFontData& font, uint32 glyph, int32 phaseX,
                                               int32 phaseY) {
    ++mBuilds;
    YKList<YKList<YKPoint<double>>*> contours;
    font.GetGlyphContours(
        contours, glyph,
        {static_cast<double>(phaseX) / kPhasesX, static_cast<double>(phaseY) / kPhasesY});
    std::vector<YKFixedPolygon> polygons;
    YKFixedPolygon polygon;
    int32 left = std::numeric_limits<int32>::max();
    int32 top = left;
    int32 right = std::numeric_limits<int32>::min();
    int32 bottom = right;
    for (int32 i = 0; i < contours.CountItems(); ++i) {
        if (YKScanConverter::ToFixed(*contours.ItemAt(i), polygon)) {
            for (const YKFixedPoint& p : polygon) {
                left = std::min(left, p.x >> 8);
                right = std::max(right, p.x >> 8);
                top = std::min(top, p.y >> 3);
                bottom = std::max(bottom, p.y >> 3);
            }
            polygons.push_back(polygon);
        }
        delete contours.ItemAt(i);
    }
    Mask mask;
    if (left > right) {
        return mask;
    }
    if (int64{right} - left >= kMaxMaskSide || int64{bottom} - top >= kMaxMaskSide) {
        mask.width = -1;
        return mask;
    }
    // The scan converter clips to its frame: one spare pixel around the points keeps it from
    // cutting anything.
    const YKRect<int32> frame{left - 1, top - 1, right + 1, bottom + 1};
    mScan->SetFrame(frame);
    mask.left = frame.left;
    mask.top = frame.top;
    mask.width = frame.right - frame.left + 1;
    mask.height = frame.bottom - frame.top + 1;
    std::vector<uint16> coverage(std::size_t(mask.width) * std::size_t(mask.height), 0);
    int32 first = mask.width;
    int32 last = -1;
    int32 firstRow = mask.height;
    int32 lastRow = -1;
    mScan->FillAntialiased(
        polygons, [&](int32 y, const YKCoveragePiece* pieces, std::size_t count, const int32* row) {
            const int32 x0 = pieces[0].x0;
            const int32 x1 = pieces[count - 1].x1;
            uint16* out = coverage.data() + std::size_t(y - frame.top) * std::size_t(mask.width);
            std::copy(row, row + (x1 - x0 + 1), out + (x0 - frame.left));
            first = std::min(first, x0 - frame.left);
            last = std::max(last, x1 - frame.left);
            firstRow = std::min(firstRow, y - frame.top);
            lastRow = std::max(lastRow, y - frame.top);
        });
    // Cut to the covered pixels: stamping then spends nothing on empty margins.
    Mask cut;
    if (first > last) {
        return cut;
    }
    cut.left = mask.left + first;
    cut.top = mask.top + firstRow;
    cut.width = last - first + 1;
    cut.height = lastRow - firstRow + 1;
    cut.stride = (cut.width + kRowAlign - 1) / kRowAlign * kRowAlign;
    cut.coverage.assign(std::size_t(cut.stride) * std::size_t(cut.height), 0);
    for (int32 row = firstRow; row <= lastRow; ++row) {
        const auto from = coverage.begin() + std::ptrdiff_t(row) * mask.width + first;
        std::copy(from, from + cut.width,
                  cut.coverage.begin() + std::ptrdiff_t(row - firstRow) * cut.stride);
    }
    return cut;
}

// --- Capacity ---

void YKGlyphMaskCache::SetCapacity(std::size_t bytes) {
    mCapacity = bytes;
    MakeRoom(0, nullptr);
}

void YKGlyphMaskCache::Drop(FontMasks& masks) {
    mBytes -= masks.bytes;
    masks.bytes = 0;
    masks.masks.clear();
    masks.recent.clear();
}

void YKGlyphMaskCache::MakeRoom(std::size_t bytes, FontMasks* keep) {
    while (mBytes + bytes > mCapacity) {
        auto oldest = mFonts.end();
        for (auto it = mFonts.begin(); it != mFonts.end(); ++it) {
            if (&it->second != keep && it->second.bytes > 0 &&
                (oldest == mFonts.end() || it->second.lastUse < oldest->second.lastUse)) {
                oldest = it;
            }
        }
        if (oldest == mFonts.end()) {
            break;
        }
        // Fonts long unused may be gone: their entry goes with their masks.
        Drop(oldest->second);
        if (mLastFont == &oldest->second) {
            mLastFont = nullptr;
        }
        mFonts.erase(oldest);
    }
    if (mBytes + bytes > mCapacity && keep != nullptr) {
        // This font alone fills the cache: it starts over rather than grow.
        Drop(*keep);
    }
}
