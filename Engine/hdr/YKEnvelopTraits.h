#pragma once

// What sets the seven envelope kinds apart: the value type, the type number, the class names,
// how a key frame archives its value, the value between two key frames and when two values
// differ. YKTypedEnvelop and YKTypedKeyFrame do everything else once for all of them.
//
// Between(earlier, later, a, b, step): the value at a frame lying `a` frames after the earlier
// key frame and `b` frames before the later one (a, b > 0). `step` is the envelope's
// interpolation step; only the point-of-double kind uses it.

#include "YKPoint.h"
#include "yk_color.h"
#include "yk_types.h"

class YKMessage;

struct YKPointInt32Traits {
    using ValueType = YKPoint<int32>;
    static constexpr int32 kType = 1;
    static constexpr const char* kEnvelopClass = "YKEnvelopYKPointInt32";
    static constexpr const char* kKeyFrameClass = "YKKeyFrameYKPointInt32";
    static void ArchiveData(const ValueType& value, YKMessage* archive);
    static void UnArchiveData(const YKMessage* archive, ValueType* value);
    static ValueType Between(const ValueType& earlier, const ValueType& later, int64 a, int64 b,
                             float step);
    static bool Differs(const ValueType& one, const ValueType& other);
};

// Between key frames the value may be held on a grid (the envelope's interpolation step), so
// that moving objects land on whole units.
struct YKPointDoubleTraits {
    using ValueType = YKPoint<double>;
    static constexpr int32 kType = 2;
    static constexpr const char* kEnvelopClass = "YKEnvelopYKPointDouble";
    static constexpr const char* kKeyFrameClass = "YKKeyFrameYKPointDouble";
    static void ArchiveData(const ValueType& value, YKMessage* archive);
    static void UnArchiveData(const YKMessage* archive, ValueType* value);
    static ValueType Between(const ValueType& earlier, const ValueType& later, int64 a, int64 b,
                             float step);
    static bool Differs(const ValueType& one, const ValueType& other);
};

struct YKUint8Traits {
    using ValueType = uint8;
    static constexpr int32 kType = 3;
    static constexpr const char* kEnvelopClass = "YKEnvelopUint8";
    static constexpr const char* kKeyFrameClass = "YKKeyFrameUint8";
    static void ArchiveData(const ValueType& value, YKMessage* archive);
    static void UnArchiveData(const YKMessage* archive, ValueType* value);
    static ValueType Between(const ValueType& earlier, const ValueType& later, int64 a, int64 b,
                             float step);
    static bool Differs(const ValueType& one, const ValueType& other) { return one != other; }
};

// Steps: the earlier key frame's value holds until the next key frame.
struct YKBoolTraits {
    using ValueType = bool;
    static constexpr int32 kType = 4;
    static constexpr const char* kEnvelopClass = "YKEnvelopBool";
    static constexpr const char* kKeyFrameClass = "YKKeyFrameBool";
    static void ArchiveData(const ValueType& value, YKMessage* archive);
    static void UnArchiveData(const YKMessage* archive, ValueType* value);
    static ValueType Between(const ValueType& earlier, const ValueType&, int64, int64, float) {
        return earlier;
    }
    static bool Differs(const ValueType& one, const ValueType& other) { return one != other; }
};

struct YKDoubleTraits {
    using ValueType = double;
    static constexpr int32 kType = 5;
    static constexpr const char* kEnvelopClass = "YKEnvelopDouble";
    static constexpr const char* kKeyFrameClass = "YKKeyFrameDouble";
    static void ArchiveData(const ValueType& value, YKMessage* archive);
    static void UnArchiveData(const YKMessage* archive, ValueType* value);
    static ValueType Between(const ValueType& earlier, const ValueType& later, int64 a, int64 b,
                             float step);
    static bool Differs(const ValueType& one, const ValueType& other) { return one != other; }
};

struct YKInt32Traits {
    using ValueType = int32;
    static constexpr int32 kType = 6;
    static constexpr const char* kEnvelopClass = "YKEnvelopInt32";
    static constexpr const char* kKeyFrameClass = "YKKeyFrameInt32";
    static void ArchiveData(const ValueType& value, YKMessage* archive);
    static void UnArchiveData(const YKMessage* archive, ValueType* value);
    static ValueType Between(const ValueType& earlier, const ValueType& later, int64 a, int64 b,
                             float step);
    static bool Differs(const ValueType& one, const ValueType& other) { return one != other; }
};

// Red, green, blue and alpha move; the CMYK part follows them. All eight bytes are archived and
// compared.
struct YKColorTraits {
    using ValueType = yk_color;
    static constexpr int32 kType = 7;
    static constexpr const char* kEnvelopClass = "YKEnvelopColor";
    static constexpr const char* kKeyFrameClass = "YKKeyFrameColor";
    static void ArchiveData(const ValueType& value, YKMessage* archive);
    static void UnArchiveData(const YKMessage* archive, ValueType* value);
    static ValueType Between(const ValueType& earlier, const ValueType& later, int64 a, int64 b,
                             float step);
    static bool Differs(const ValueType& one, const ValueType& other);
};
