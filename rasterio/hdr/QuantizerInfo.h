#pragma once

// QuantizerInfo: announces one kind of quantizer by name, abilities and a numeric id, and makes
// quantizers of that kind. Ids follow the order in which infos are made, from 0.

#include <memory>

#include "Quantizer.h"
#include "yk_types.h"

class QuantizerInfo {
public:
    enum Flags : uint32 {
        ADAPTATIVE = 1,  // builds a palette from the images
        FIXED = 2,       // maps onto a given palette
    };

    QuantizerInfo(const char* name, uint32 flags);
    QuantizerInfo(const QuantizerInfo&) = delete;
    QuantizerInfo& operator=(const QuantizerInfo&) = delete;
    virtual ~QuantizerInfo() = default;

    // A quantizer of this kind for `colors` colours (2..256) and images of the given size.
    virtual std::unique_ptr<Quantizer> CreateQuantizer(int32 colors, int32 width, int32 height,
                                                       int32 images) const = 0;

    const char* Name() const { return mName; }
    uint32 Flags() const { return mFlags; }
    int32 Id() const { return mId; }
    bool DoesAdaptative() const { return (mFlags & ADAPTATIVE) != 0; }
    bool DoesFixed() const { return (mFlags & FIXED) != 0; }

private:
    const char* mName;
    uint32 mFlags;
    int32 mId;
};
