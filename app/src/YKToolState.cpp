#include "YKToolState.h"

#include <cstring>

#include "YK3DLayer.h"
#include "YKPaintLayer.h"
#include "YKRasterLayer.h"

namespace {

// A container drawing vector objects of `kind` on a vector-object layer, named as the layers
// it makes are archived.
std::unique_ptr<YKToolContainer> VectorTool(int32 id, int32 kind) {
    return std::make_unique<YKToolContainer>(
        id, YKRasterLayer::TypeName(kind),
        [kind](int32 layerID, const char* name) -> YKObjectLayer* {
            return new YKRasterLayer(layerID, name, kind);
        },
        [](const YKMessage* archive, YKEnvelopManager* manager) -> YKObjectLayer* {
            return new YKRasterLayer(archive, manager);
        });
}

// The 3D objects' container: it is no drawing tool (models come from files), so it is counted
// among no behaviour's tools, but it builds the 3D layer for a new object and from an archive.
class ModelTool : public YKToolContainer {
public:
    explicit ModelTool(int32 id)
        : YKToolContainer(
              id, "YK3DLayer",
              [](int32 layerID, const char* name) -> YKObjectLayer* {
                  return new YK3DLayer(layerID, name);
              },
              [](const YKMessage* archive, YKEnvelopManager*) -> YKObjectLayer* {
                  return new YK3DLayer(archive);
              }) {}
    int32 GetBehavior() const override { return kNoBehavior; }
};

}  // namespace

YKToolState::YKToolState() {
    int32 id = kFirstContainerID;
    mTools.push_back(VectorTool(id++, YKRasterLayer::kFreeHand));
    mTools.push_back(std::make_unique<YKToolContainer>(
        id++, "PaintBrush",
        [](int32 layerID, const char* name) -> YKObjectLayer* {
            return new YKPaintLayer(layerID, name, 0);
        },
        [](const YKMessage* archive, YKEnvelopManager*) -> YKObjectLayer* {
            return new YKPaintLayer(archive);
        }));
    mTools.push_back(VectorTool(id++, YKRasterLayer::kLine));
    mTools.push_back(VectorTool(id++, YKRasterLayer::kPolyline));
    mTools.push_back(VectorTool(id++, YKRasterLayer::kBezier));
    mTools.push_back(VectorTool(id++, YKRasterLayer::kText));
    mTools.push_back(VectorTool(id++, YKRasterLayer::kRectangle));
    mTools.push_back(VectorTool(id++, YKRasterLayer::kRoundRectangle));
    mTools.push_back(VectorTool(id++, YKRasterLayer::kEllipse));
    mTools.push_back(VectorTool(id++, YKRasterLayer::kArc));
    mTools.push_back(std::make_unique<ModelTool>(kModelToolID));
}

const char* YKToolState::ToolSelectedType() const {
    const YKToolContainer* tool = FindTool(mSelected);
    return tool != nullptr ? tool->GetType() : nullptr;
}

int32 YKToolState::ToolBehavior() const {
    if (mSelected >= 0 && mSelected <= 3) {
        return YKToolContainer::kSelection;
    }
    if (mSelected == 4 || mSelected == 5) {
        return YKToolContainer::kViewer;
    }
    const YKToolContainer* tool = FindTool(mSelected);
    return tool != nullptr ? tool->GetBehavior() : YKToolContainer::kNoBehavior;
}

void YKToolState::SetSelectedTool(int32 id) {
    mPrevious = mSelected;
    mSelected = id;
}

void YKToolState::SetPreviousSelectedTool() {
    SetSelectedTool(mPrevious);
}

YKToolContainer* YKToolState::FindTool(int32 id) const {
    for (const auto& tool : mTools) {
        if (tool->GetID() == id) {
            return tool.get();
        }
    }
    return nullptr;
}

YKToolContainer* YKToolState::FindTool(const char* type) const {
    if (type == nullptr) {
        return nullptr;
    }
    for (const auto& tool : mTools) {
        if (tool->GetType() != nullptr && std::strcmp(tool->GetType(), type) == 0) {
            return tool.get();
        }
    }
    return nullptr;
}

int32 YKToolState::Type2ID(const char* type) const {
    const YKToolContainer* tool = FindTool(type);
    return tool != nullptr ? tool->GetID() : -1;
}

YKObjectLayer* YKToolState::InstantiateLayerForTool(int32 id, const char* name) const {
    const YKToolContainer* tool = FindTool(mSelected);
    return tool != nullptr && name != nullptr ? tool->GetNewObjectLayer(id, name) : nullptr;
}

YKObjectLayer* YKToolState::InstantiateLayerForType(const char* className, const YKMessage* archive,
                                                    YKEnvelopManager* manager) const {
    const YKToolContainer* tool = FindTool(className);
    return tool != nullptr && archive != nullptr ? tool->GetNewObjectLayer(archive, manager)
                                                 : nullptr;
}

int32 YKToolState::ToolCountForBehavior(int32 behavior) const {
    if (behavior == YKToolContainer::kSelection) {
        return 4;
    }
    if (behavior == YKToolContainer::kViewer) {
        return 2;
    }
    int32 count = 0;
    for (const auto& tool : mTools) {
        count += tool->GetBehavior() == behavior ? 1 : 0;
    }
    return count;
}

int32 YKToolState::ToolIDFor(int32 behavior, int32 index) const {
    if (behavior == YKToolContainer::kSelection) {
        return index >= 0 && index <= 3 ? index : 0;
    }
    if (behavior == YKToolContainer::kViewer) {
        return index >= 0 && index <= 1 ? 4 + index : 0;
    }
    for (const auto& tool : mTools) {
        if (tool->GetBehavior() == behavior && index-- == 0) {
            return tool->GetID();
        }
    }
    return 0;
}
