#pragma once

// YKToolState: which tool is selected and was selected before, what kind of interaction each
// tool has, and the drawing tools' containers, which build the object layers of their kinds.
// Ids 0 to 3 are the selection tools, 4 the hand and 5 the zoom; the drawing containers have 6 to
// 15, and the 3D objects' container, which draws nothing, 16.

#include <memory>
#include <vector>

#include "YKToolContainer.h"
#include "yk_types.h"

class YKEnvelopManager;
class YKMessage;
class YKObjectLayer;

class YKToolState {
public:
    static constexpr int32 kFirstContainerID = 6;
    static constexpr int32 kModelToolID = 16;

    // Registers the ten drawing tools in their fixed order, then the 3D objects' container.
    YKToolState();

    int32 ToolSelected() const { return mSelected; }
    // The selected container's type; null for the tools without one.
    const char* ToolSelectedType() const;
    int32 ToolBehavior() const;
    // The current tool becomes the previous one. (Telling the options panel comes with the
    // desktop application.)
    void SetSelectedTool(int32 id);
    void SetPreviousSelectedTool();

    YKToolContainer* FindTool(int32 id) const;
    // Exact, case-sensitive comparison.
    YKToolContainer* FindTool(const char* type) const;
    // -1 when no container has that type.
    int32 Type2ID(const char* type) const;
    // A new layer from the selected tool's container; null without a name or container.
    YKObjectLayer* InstantiateLayerForTool(int32 id, const char* name) const;
    // A layer rebuilt from `archive` by the container whose type is `className`.
    YKObjectLayer* InstantiateLayerForType(const char* className, const YKMessage* archive,
                                           YKEnvelopManager* manager) const;

    int32 BehaviorCount() const { return 4; }
    int32 ToolCountForBehavior(int32 behavior) const;
    int32 ToolIDFor(int32 behavior, int32 index) const;

    bool IsSwapAuthorized() const { return mSwapAuthorized; }
    void SetSwapAuthorized(bool authorized) { mSwapAuthorized = authorized; }

private:
    int32 mSelected = 0;
    int32 mPrevious = 0;
    std::vector<std::unique_ptr<YKToolContainer>> mTools;
    bool mSwapAuthorized = true;
};
