// Gradient files of the gradient catalogue: the magic "YKGR", the name length (int32) and the
// name without terminator, the item count (int32), then per item eleven doubles (left, middle,
// right, colour 0, colour 1) and two int32 (curve, colour model). Little-endian, no padding.

#include <cstring>
#include <string>

#include "YKBinFile.h"
#include "YKGradient.h"

namespace {

constexpr char kMagic[4] = {'Y', 'K', 'G', 'R'};
constexpr int64 kItemBytes = 11 * 8 + 2 * 4;

bool WriteDouble(YKBinFile& file, double value) {
    uint64 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return file.Write32LE(static_cast<uint32>(bits)) &&
           file.Write32LE(static_cast<uint32>(bits >> 32));
}

bool ReadDouble(YKBinFile& file, double* value) {
    uint32 low = 0;
    uint32 high = 0;
    if (!file.ReadCheck32LE(low) || !file.ReadCheck32LE(high)) {
        return false;
    }
    const uint64 bits = uint64{high} << 32 | low;
    std::memcpy(value, &bits, sizeof bits);
    return true;
}

// A count or length read from the file, accepted only when that many `unit`-byte records can
// still follow in it.
bool ReadCount(YKBinFile& file, int64 unit, int32* count) {
    uint32 raw = 0;
    if (!file.ReadCheck32LE(raw)) {
        return false;
    }
    const auto value = static_cast<int32>(raw);
    if (value < 0 || value * unit > file.Size() - file.Tell()) {
        return false;
    }
    *count = value;
    return true;
}

}  // namespace

bool YKGradient::save(const char* path) const {
    YKBinFile file;
    if (!file.Open(path, YK_BIN_WRITE_ONLY)) {
        return false;
    }
    bool ok = file.Write(kMagic, sizeof kMagic) &&
              file.Write32LE(static_cast<uint32>(mName.size())) &&
              file.Write(mName.data(), static_cast<int32>(mName.size())) &&
              file.Write32LE(static_cast<uint32>(mCount));
    for (const YKGradientItem* item = mFirst; ok && item != nullptr; item = item->Next()) {
        const Color c0 = item->GetLC();
        const Color c1 = item->GetRC();
        for (double value : {item->GetLeft(), item->GetMiddle(), item->GetRight(), c0.r, c0.g, c0.b,
                             c0.a, c1.r, c1.g, c1.b, c1.a}) {
            ok = ok && WriteDouble(file, value);
        }
        ok = ok && file.Write32LE(static_cast<uint32>(item->GetType())) &&
             file.Write32LE(static_cast<uint32>(item->GetColorType()));
    }
    return file.Close() && ok;
}

bool YKGradient::load(const char* path) {
    Eraze();
    YKBinFile file;
    char magic[4] = {};
    if (!file.Open(path, YK_BIN_READ_ONLY) || !file.Read(magic, sizeof magic) ||
        std::memcmp(magic, kMagic, sizeof kMagic) != 0) {
        return false;
    }
    int32 nameLength = 0;
    if (!ReadCount(file, 1, &nameLength)) {
        return false;
    }
    std::string name(static_cast<std::size_t>(nameLength), '\0');
    int32 count = 0;
    if ((nameLength > 0 && !file.Read(name.data(), nameLength)) ||
        !ReadCount(file, kItemBytes, &count)) {
        return false;
    }
    for (int32 i = 0; i < count; ++i) {
        double v[11];
        for (double& value : v) {
            if (!ReadDouble(file, &value)) {
                Eraze();
                return false;
            }
        }
        uint32 curve = 0;
        uint32 model = 0;
        if (!file.ReadCheck32LE(curve) || !file.ReadCheck32LE(model)) {
            Eraze();
            return false;
        }
        AddItem(v[0], v[1], v[2], {v[3], v[4], v[5], v[6]}, {v[7], v[8], v[9], v[10]},
                static_cast<grad_type>(curve), static_cast<grad_color>(model));
    }
    mName = std::move(name);
    return true;
}
