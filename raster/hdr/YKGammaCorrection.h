#pragma once

// YKGammaCorrection: the monitor's gamma per channel and the 256-entry look-up tables made from
// it. The adjustment window belongs to the user interface, which edits the values through
// SetGamma() against TestPattern(); the core keeps, persists and applies them.

#include <array>
#include <memory>

#include "yk_types.h"

class YKMessage;
class YKRaster;

class YKGammaCorrection {
public:
    // The what code of the persisted message.
    static constexpr uint32 kMessageWhat = 0x47616d50;

    // Gamma 1.0 on every channel: identity tables.
    YKGammaCorrection();

    // Takes "red", "grn" and "blu" from a message with kMessageWhat, keeping the value of any
    // field that is missing, of another type, not finite or not positive; then remakes the
    // tables. Messages with another what code are ignored.
    void LoadFromMessage(const YKMessage& message);
    // Empties the message, sets its what code and adds the three values.
    void SaveToMessage(YKMessage* message) const;
    // table[i] = 255 * (i / 255) ^ (1 / gamma), truncated, per channel.
    void CreateLookUpTable();

    // Sets the three values and remakes the tables.
    void SetGamma(double red, double green, double blue);
    double Red() const { return mRed; }
    double Green() const { return mGreen; }
    double Blue() const { return mBlue; }
    const std::array<uint8, 256>& RedTable() const { return mRedTable; }
    const std::array<uint8, 256>& GreenTable() const { return mGreenTable; }
    const std::array<uint8, 256>& BlueTable() const { return mBlueTable; }
    // Every table the identity: applying changes nothing.
    bool IsIdentity() const;

    // Maps the colour channels of every pixel through the tables; alpha stays.
    void Apply(YKRaster& raster) const;

    // The adjustment window's test image, 64 x 128: for red, green, blue and white in turn a
    // band of 32 rows, a one-pixel checkerboard of the full colour and black, with a solid patch
    // over columns 16 to 47 whose channels are 255 * (128 / 255)^(1 / gamma). With the right
    // gamma the patch looks as bright as the checkerboard around it.
    std::unique_ptr<YKRaster> TestPattern() const;

private:
    double mRed = 1.0;
    double mGreen = 1.0;
    double mBlue = 1.0;
    std::array<uint8, 256> mRedTable{};
    std::array<uint8, 256> mGreenTable{};
    std::array<uint8, 256> mBlueTable{};
};
