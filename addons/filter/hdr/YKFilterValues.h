#pragma once

// YKFilterValues: a kernel filter's parameters at one frame, clamped to their ranges, looked up
// by name when the kernel is made.

#include <span>
#include <utility>
#include <vector>

#include "YKFilterParameter.h"
#include "yk_types.h"

class YKFilterValues {
public:
    YKFilterValues(std::span<const YKFilterParameter> parameters, std::vector<double> values)
        : mParameters(parameters), mValues(std::move(values)) {}

    double Double(const char* name) const;
    int32 Int32(const char* name) const;
    // A 32-bit pixel, alpha in bits 24-31.
    uint32 Color(const char* name) const;

private:
    // A colour's value is its pixel.
    double Value(const char* name) const;

    std::span<const YKFilterParameter> mParameters;
    std::vector<double> mValues;
};
