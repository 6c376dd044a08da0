#include "YKEnvelopTraits.h"

#include "YKMessage.h"
#include "YK_FloatModula.h"

namespace {

// --- In-between rules shared by the kinds

// (a·later + b·earlier) / (a + b), truncated toward zero. The result always lies between the two
// values, but the products need more than 64 bits once frames and values are both large.
__extension__ using int128 = __int128;

int32 IntegerBetween(int32 earlier, int32 later, int64 a, int64 b) {
    const int128 sum = int128{a} * later + int128{b} * earlier;
    return static_cast<int32>(sum / (a + b));
}

double DoubleBetween(double earlier, double later, int64 a, int64 b) {
    const double da = static_cast<double>(a);
    const double db = static_cast<double>(b);
    return (db * earlier + da * later) / (da + db);
}

// Snapped onto the grid of `step` after half a step toward the later value, so that a moving
// coordinate is always on its way. A coordinate that does not move keeps its value: biasing it
// would push it a whole step off its key frames.
double GridBetween(double earlier, double later, int64 a, int64 b, double step) {
    double c = DoubleBetween(earlier, later, a, b);
    if (step > 0.0 && later != earlier) {
        c += later > earlier ? step / 2.0 : -step / 2.0;
        c = YK_FloatModula(c, step);
    }
    return c;
}

// --- Archive keys

constexpr const char* kData = "YKK:_data";
constexpr const char* kDataN[8] = {"YKK:_data1", "YKK:_data2", "YKK:_data3", "YKK:_data4",
                                   "YKK:_data5", "YKK:_data6", "YKK:_data7", "YKK:_data8"};

// The colour's bytes in archive order; the first four are the ones that move.
constexpr uint8 yk_color::*kColorBytes[8] = {
    &yk_color::red,  &yk_color::green,   &yk_color::blue,   &yk_color::alpha,
    &yk_color::cyan, &yk_color::magenta, &yk_color::yellow, &yk_color::black};

}  // namespace

// --- Point of int32

void YKPointInt32Traits::ArchiveData(const ValueType& value, YKMessage* archive) {
    archive->AddInt32(kDataN[0], value.x);
    archive->AddInt32(kDataN[1], value.y);
}

void YKPointInt32Traits::UnArchiveData(const YKMessage* archive, ValueType* value) {
    archive->FindInt32(kDataN[0], &value->x);
    archive->FindInt32(kDataN[1], &value->y);
}

YKPointInt32Traits::ValueType YKPointInt32Traits::Between(const ValueType& earlier,
                                                          const ValueType& later, int64 a, int64 b,
                                                          float) {
    return {IntegerBetween(earlier.x, later.x, a, b), IntegerBetween(earlier.y, later.y, a, b)};
}

bool YKPointInt32Traits::Differs(const ValueType& one, const ValueType& other) {
    return one.x != other.x || one.y != other.y;
}

// --- Point of double

void YKPointDoubleTraits::ArchiveData(const ValueType& value, YKMessage* archive) {
    archive->AddDouble(kDataN[0], value.x);
    archive->AddDouble(kDataN[1], value.y);
}

void YKPointDoubleTraits::UnArchiveData(const YKMessage* archive, ValueType* value) {
    archive->FindDouble(kDataN[0], &value->x);
    archive->FindDouble(kDataN[1], &value->y);
}

YKPointDoubleTraits::ValueType YKPointDoubleTraits::Between(const ValueType& earlier,
                                                            const ValueType& later, int64 a,
                                                            int64 b, float step) {
    return {GridBetween(earlier.x, later.x, a, b, step),
            GridBetween(earlier.y, later.y, a, b, step)};
}

bool YKPointDoubleTraits::Differs(const ValueType& one, const ValueType& other) {
    return one.x != other.x || one.y != other.y;
}

// --- uint8 (archived as int8: the same byte)

void YKUint8Traits::ArchiveData(const ValueType& value, YKMessage* archive) {
    archive->AddInt8(kData, static_cast<int8>(value));
}

void YKUint8Traits::UnArchiveData(const YKMessage* archive, ValueType* value) {
    int8 byte = static_cast<int8>(*value);
    archive->FindInt8(kData, &byte);
    *value = static_cast<uint8>(byte);
}

YKUint8Traits::ValueType YKUint8Traits::Between(const ValueType& earlier, const ValueType& later,
                                                int64 a, int64 b, float) {
    return static_cast<uint8>(IntegerBetween(earlier, later, a, b));
}

// --- bool

void YKBoolTraits::ArchiveData(const ValueType& value, YKMessage* archive) {
    archive->AddBool(kData, value);
}

void YKBoolTraits::UnArchiveData(const YKMessage* archive, ValueType* value) {
    archive->FindBool(kData, value);
}

// --- double

void YKDoubleTraits::ArchiveData(const ValueType& value, YKMessage* archive) {
    archive->AddDouble(kData, value);
}

void YKDoubleTraits::UnArchiveData(const YKMessage* archive, ValueType* value) {
    archive->FindDouble(kData, value);
}

YKDoubleTraits::ValueType YKDoubleTraits::Between(const ValueType& earlier, const ValueType& later,
                                                  int64 a, int64 b, float) {
    return DoubleBetween(earlier, later, a, b);
}

// --- int32

void YKInt32Traits::ArchiveData(const ValueType& value, YKMessage* archive) {
    archive->AddInt32(kData, value);
}

void YKInt32Traits::UnArchiveData(const YKMessage* archive, ValueType* value) {
    archive->FindInt32(kData, value);
}

YKInt32Traits::ValueType YKInt32Traits::Between(const ValueType& earlier, const ValueType& later,
                                                int64 a, int64 b, float) {
    return IntegerBetween(earlier, later, a, b);
}

// --- Colour

void YKColorTraits::ArchiveData(const ValueType& value, YKMessage* archive) {
    for (int i = 0; i < 8; ++i) {
        archive->AddInt8(kDataN[i], static_cast<int8>(value.*kColorBytes[i]));
    }
}

void YKColorTraits::UnArchiveData(const YKMessage* archive, ValueType* value) {
    for (int i = 0; i < 8; ++i) {
        int8 byte = static_cast<int8>(value->*kColorBytes[i]);
        archive->FindInt8(kDataN[i], &byte);
        value->*kColorBytes[i] = static_cast<uint8>(byte);
    }
}

YKColorTraits::ValueType YKColorTraits::Between(const ValueType& earlier, const ValueType& later,
                                                int64 a, int64 b, float) {
    ValueType result = earlier;
    for (int i = 0; i < 4; ++i) {
        const auto byte = kColorBytes[i];
        result.*byte = static_cast<uint8>(IntegerBetween(earlier.*byte, later.*byte, a, b));
    }
    result.RGB2CMYK();
    return result;
}

bool YKColorTraits::Differs(const ValueType& one, const ValueType& other) {
    for (const auto byte : kColorBytes) {
        if (one.*byte != other.*byte) {
            return true;
        }
    }
    return false;
}
