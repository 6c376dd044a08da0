#include "YKGammaCorrection.h"

#include <algorithm>
#include <cmath>

#include "YKMessage.h"
#include "YKRaster.h"

namespace {

void FillTable(std::array<uint8, 256>& table, double gamma) {
    for (int32 i = 0; i < 256; ++i) {
        const double value = 255.0 * std::pow(i / 255.0, 1.0 / gamma);
        // Written so that NaN lands on 0.
        table[static_cast<std::size_t>(i)] =
            value > 0.0 ? static_cast<uint8>(std::min(255.0, value)) : 0;
    }
}

// Keeps `value` unless the message holds a usable gamma under `name`.
void ReadGamma(const YKMessage& message, const char* name, double* value) {
    double found = 0.0;
    if (message.FindDouble(name, &found) && std::isfinite(found) && found > 0.0) {
        *value = found;
    }
}

// The test patch: the level that half-lit pixels show as on a screen of this gamma.
uint8 PatchLevel(double gamma) {
    return static_cast<uint8>(std::min(255.0, 255.0 * std::pow(128.0 / 255.0, 1.0 / gamma)));
}

bool IsIdentityTable(const std::array<uint8, 256>& table) {
    for (int32 i = 0; i < 256; ++i) {
        if (table[static_cast<std::size_t>(i)] != i) {
            return false;
        }
    }
    return true;
}

}  // namespace

YKGammaCorrection::YKGammaCorrection() {
    CreateLookUpTable();
}

void YKGammaCorrection::LoadFromMessage(const YKMessage& message) {
    if (message.what != kMessageWhat) {
        return;
    }
    ReadGamma(message, "red", &mRed);
    ReadGamma(message, "grn", &mGreen);
    ReadGamma(message, "blu", &mBlue);
    CreateLookUpTable();
}

void YKGammaCorrection::SaveToMessage(YKMessage* message) const {
    message->MakeEmpty();
    message->what = kMessageWhat;
    message->AddDouble("red", mRed);
    message->AddDouble("grn", mGreen);
    message->AddDouble("blu", mBlue);
}

void YKGammaCorrection::CreateLookUpTable() {
    FillTable(mRedTable, mRed);
    FillTable(mGreenTable, mGreen);
    FillTable(mBlueTable, mBlue);
}

void YKGammaCorrection::SetGamma(double red, double green, double blue) {
    mRed = red;
    mGreen = green;
    mBlue = blue;
    CreateLookUpTable();
}

bool YKGammaCorrection::IsIdentity() const {
    return IsIdentityTable(mRedTable) && IsIdentityTable(mGreenTable) &&
           IsIdentityTable(mBlueTable);
}

void YKGammaCorrection::Apply(YKRaster& raster) const {
    if (IsIdentity()) {
        return;
    }
    for (int32 y = 0; y < raster.Height(); ++y) {
        uint8* pixel = raster.Bits() + static_cast<std::ptrdiff_t>(y) * raster.BytesPerRow();
        for (int32 x = 0; x < raster.Width(); ++x, pixel += 4) {
            pixel[0] = mBlueTable[pixel[0]];
            pixel[1] = mGreenTable[pixel[1]];
            pixel[2] = mRedTable[pixel[2]];
        }
    }
}

std::unique_ptr<YKRaster> YKGammaCorrection::TestPattern() const {
    constexpr int32 kWidth = 64;
    constexpr int32 kBand = 32;
    auto pattern =
        std::make_unique<YKRaster>(YKRect<int32>{0, 0, kWidth - 1, 4 * kBand - 1}, "gamma pattern");
    const uint8 red = PatchLevel(mRed);
    const uint8 green = PatchLevel(mGreen);
    const uint8 blue = PatchLevel(mBlue);
    // Opaque 32-bit pixels: alpha in bits 24-31, red 16-23, green 8-15, blue 0-7.
    const auto opaque = [](uint32 r, uint32 g, uint32 b) {
        return 0xFF000000u | (r << 16) | (g << 8) | b;
    };
    // Full colour and patch of each band: red, green, blue, white.
    const uint32 full[4] = {opaque(255, 0, 0), opaque(0, 255, 0), opaque(0, 0, 255),
                            opaque(255, 255, 255)};
    const uint32 patch[4] = {opaque(red, 0, 0), opaque(0, green, 0), opaque(0, 0, blue),
                             opaque(red, green, blue)};
    const uint32 black = opaque(0, 0, 0);
    for (int32 band = 0; band < 4; ++band) {
        for (int32 y = band * kBand; y < (band + 1) * kBand; ++y) {
            auto* row = reinterpret_cast<uint32*>(pattern->Bits() + static_cast<std::ptrdiff_t>(y) *
                                                                        pattern->BytesPerRow());
            for (int32 x = 0; x < kWidth; ++x) {
                const bool inPatch = x >= 16 && x <= 47;
                row[x] = inPatch ? patch[band] : ((x + y) % 2 == 0 ? full[band] : black);
            }
        }
    }
    return pattern;
}
