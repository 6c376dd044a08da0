#include "YKGammaCorrection.h"

#include <algorithm>
#include <cmath>

#include "YKMessage.h"

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
