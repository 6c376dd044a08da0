#include "YKFilterValues.h"

#include <cmath>
#include <cstring>

#include "YKDebug.h"

double YKFilterValues::Value(const char* name) const {
    for (std::size_t i = 0; i < mParameters.size() && i < mValues.size(); ++i) {
        if (std::strcmp(mParameters[i].name, name) == 0) {
            return mValues[i];
        }
    }
    YK_ASSERT(!"a kernel asked for a parameter its filter does not have");
    return 0;
}

double YKFilterValues::Double(const char* name) const {
    return Value(name);
}

int32 YKFilterValues::Int32(const char* name) const {
    return static_cast<int32>(std::lround(Value(name)));
}

uint32 YKFilterValues::Color(const char* name) const {
    return static_cast<uint32>(Value(name));
}
