#include "YKToolState.h"

#include <cctype>
#include <cstring>
#include <string>

#include "YK3DLayer.h"
#include "YKPaintLayer.h"
#include "YKRasterLayer.h"

namespace {

struct ToolInfo {
    const char* name;
    const char* panel;
};

// Indexed by tool id. The drawing tools' names are their containers' types.
constexpr ToolInfo kTools[YKToolState::kToolCount] = {
    {"Vector Selection", "selection inspector 0"},
    {"Rectangle Bitmap Selection", "selection inspector 1"},
    {"Lasso Selection", "selection inspector 2"},
    {"Circle Bitmap Selection ", "selection inspector 3"},
    {"Hand", "viewer inspector 0"},
    {"Zoom", "viewer inspector 1"},
    {"Free Hand", "YKOptionControlVectorFreeHand"},
    {"PaintBrush", "YKOptionControlBitmapBrush"},
    {"Line", "YKOptionControlVectorLine"},
    {"Polyline", "YKOptionControlVectorPolyLine"},
    {"Bezier", "YKOptionControlVectorBezier"},
    {"Text", "YKOptionControlVectorText"},
    {"Rectangle", "YKOptionControlVectorRectangle"},
    {"Round Rectangle", "YKOptionControlVectorRoundRect"},
    {"Ellipse", "YKOptionControlVectorCircle"},
    {"Arc", "YKOptionControlVectorArc"},
};

std::string Folded(const char* text) {
    std::string folded(text);
    while (!folded.empty() && std::isspace(static_cast<unsigned char>(folded.back()))) {
        folded.pop_back();
    }
    const size_t start = folded.find_first_not_of(" \t");
    folded.erase(0, start == std::string::npos ? folded.size() : start);
    for (char& c : folded) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return folded;
}

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

YKToolState& YKToolState::Application() {
    static YKToolState tools;
    return tools;
}

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
    for (int32 id = 0; id <= 3; ++id) {
        mOptions[id].AddInt32("feather", 0);
        mOptions[id].AddBool("antialias", true);
    }
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

bool YKToolState::SetSelectedTool(int32 id, bool notify) {
    if (!mSwapAuthorized) {
        return false;
    }
    mPrevious = mSelected;
    mSelected = id;
    if (notify && mOptionsHook) {
        mOptionsHook(id);
    }
    return true;
}

bool YKToolState::SetPreviousSelectedTool(bool notify) {
    return SetSelectedTool(mPrevious, notify);
}

const char* YKToolState::ToolName(int32 id) {
    return id >= 0 && id < kToolCount ? kTools[id].name : nullptr;
}

int32 YKToolState::ToolIDForName(const char* name) {
    if (name == nullptr) {
        return -1;
    }
    const std::string wanted = Folded(name);
    for (int32 id = 0; id < kToolCount; ++id) {
        if (Folded(kTools[id].name) == wanted) {
            return id;
        }
    }
    return -1;
}

const char* YKToolState::OptionPanelFor(int32 id) {
    return id >= 0 && id < kToolCount ? kTools[id].panel : nullptr;
}

YKMessage* YKToolState::OptionMessageFor(int32 id) {
    return id >= 0 && id < kToolCount ? &mOptions[id] : nullptr;
}

int32 YKToolState::IconIndexFor(int32 behavior, int32 index) const {
    if (behavior == YKToolContainer::kSelection) {
        return index >= 0 && index <= 3 ? index : -1;
    }
    if (behavior == YKToolContainer::kViewer) {
        return index >= 0 && index <= 1 ? 14 + index : -1;
    }
    const int32 id =
        index >= 0 && index < ToolCountForBehavior(behavior) ? ToolIDFor(behavior, index) : 0;
    return id >= kFirstContainerID && id < kToolCount ? 4 + id - kFirstContainerID : -1;
}

int32 YKToolState::SetCursor(bool locked) {
    if (locked) {
        mCursor = kCursorLocked;
    } else if (mSelected == kZoomToolID) {
        mCursor = mZoomIn ? kCursorZoomIn : kCursorZoomOut;
    } else if (mSelected == kHandToolID) {
        mCursor = kCursorHand;
    } else if (ToolBehavior() == YKToolContainer::kDrawing) {
        mCursor = kCursorCrosshair;
    } else {
        mCursor = kCursorSelection;
    }
    return mCursor;
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
