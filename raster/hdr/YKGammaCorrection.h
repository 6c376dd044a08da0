#pragma once

// YKGammaCorrection: the monitor's gamma per channel and the 256-entry look-up tables made from
// it. The adjustment window belongs to the user interface, which edits the values through
// SetGamma(); the core only keeps, persists and applies them.

#include <array>

#include "yk_types.h"

class YKMessage;

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

private:
    double mRed = 1.0;
    double mGreen = 1.0;
    double mBlue = 1.0;
    std::array<uint8, 256> mRedTable{};
    std::array<uint8, 256> mGreenTable{};
    std::array<uint8, 256> mBlueTable{};
};
