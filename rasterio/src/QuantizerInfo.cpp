// The quantizer announcements: ids in order of making, and one factory per kind.

#include "QuantizerInfo.h"

#include <atomic>

#include "InverseQuantizer.h"
#include "InverseQuantizerInfo.h"
#include "NeuralNetQuantizer.h"
#include "NeuralNetQuantizerInfo.h"
#include "OctreeQuantizer.h"
#include "OctreeQuantizerInfo.h"

namespace {

std::atomic<int32> gNextId{0};

}  // namespace

QuantizerInfo::QuantizerInfo(const char* name, uint32 flags)
    : mName(name), mFlags(flags), mId(gNextId++) {}

// --- The three kinds ---

OctreeQuantizerInfo::OctreeQuantizerInfo()
    : QuantizerInfo("Adaptive Reduction", ADAPTATIVE | FIXED) {}

std::unique_ptr<Quantizer> OctreeQuantizerInfo::CreateQuantizer(int32 colors, int32 width,
                                                                int32 height, int32 images) const {
    return std::make_unique<OctreeQuantizer>(colors, width, height, images);
}

NeuralNetQuantizerInfo::NeuralNetQuantizerInfo() : QuantizerInfo("Neural Network", ADAPTATIVE) {}

std::unique_ptr<Quantizer> NeuralNetQuantizerInfo::CreateQuantizer(int32 colors, int32 width,
                                                                   int32 height,
                                                                   int32 images) const {
    return std::make_unique<NeuralNetQuantizer>(colors, width, height, images);
}

InverseQuantizerInfo::InverseQuantizerInfo() : QuantizerInfo("Fixed Palette Reduction", FIXED) {}

std::unique_ptr<Quantizer> InverseQuantizerInfo::CreateQuantizer(int32 colors, int32 width,
                                                                 int32 height, int32 images) const {
    return std::make_unique<InverseQuantizer>(colors, width, height, images);
}
