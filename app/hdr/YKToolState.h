#pragma once

// YKToolState: which tool is selected and was selected before, what kind of interaction each
// tool has, and the drawing tools' containers, which build the object layers of their kinds.
// Ids 0 to 3 are the selection tools, 4 the hand and 5 the zoom; the drawing containers have 6 to
// 15, and the 3D objects' container, which draws nothing, 16.

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "YKMessage.h"

#include "YKToolContainer.h"
#include "yk_types.h"

class YKEnvelopManager;
class YKObjectLayer;

class YKToolState {
public:
    static constexpr int32 kFirstContainerID = 6;
    static constexpr int32 kModelToolID = 16;
    // Tools with a name, options panel and option message: the six fixed ones and the drawing
    // containers.
    static constexpr int32 kToolCount = 16;
    static constexpr int32 kHandToolID = 4;
    static constexpr int32 kZoomToolID = 5;
    // The cursors the canvas shows; the window maps them to its platform's.
    enum Cursor : int32 {
        kCursorSelection = 0,
        kCursorCrosshair = 1,
        kCursorHand = 2,
        kCursorZoomIn = 3,
        kCursorZoomOut = 4,
        kCursorLocked = 5,
    };

    // Registers the ten drawing tools in their fixed order, then the 3D objects' container.
    YKToolState();
    // The desktop application's one tool state, which every window's events use; made on first
    // use.
    static YKToolState& Application();

    int32 ToolSelected() const { return mSelected; }
    // The selected container's type; null for the tools without one.
    const char* ToolSelectedType() const;
    int32 ToolBehavior() const;
    // The current tool becomes the previous one; with `notify` the options hook is told. Refused
    // (false) while an object is being drawn.
    bool SetSelectedTool(int32 id, bool notify = false);
    // The previous tool comes back, and the current one becomes the previous.
    bool SetPreviousSelectedTool(bool notify = false);
    int32 PreviousTool() const { return mPrevious; }
    // Called with the new tool id when a change asks to show its options.
    void SetOptionsHook(std::function<void(int32)> hook) { mOptionsHook = std::move(hook); }

    // The tool's name as the toolbox shows it (the container's type for drawing tools); null
    // for an unknown id.
    static const char* ToolName(int32 id);
    // The id of the tool so named, ignoring case and surrounding blanks; -1 when none.
    static int32 ToolIDForName(const char* name);
    // The options panel of a tool, by name; null for an unknown id.
    static const char* OptionPanelFor(int32 id);
    const char* OptionPanel() const { return OptionPanelFor(mSelected); }
    // The selected tool's options; the selection tools' carry "feather" (int32) and
    // "antialias" (bool). Null for a tool without options.
    YKMessage* GetOptionMessage() { return OptionMessageFor(mSelected); }
    // The options of any tool, selected or not (the tools panel keeps them all); null for an id
    // without options.
    YKMessage* OptionMessageFor(int32 id);

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

    // The tool's position in the icon pools: the selection tools first, then the drawing
    // containers in their order, then the hand and the zoom; -1 when there is no such tool.
    int32 IconIndexFor(int32 behavior, int32 index) const;

    // The cursor the canvas should show: the locked one, else by the selected tool.
    int32 SetCursor(bool locked);
    int32 CursorID() const { return mCursor; }
    bool IsZoomIn() const { return mZoomIn; }
    void SetZoomIn(bool zoomIn) { mZoomIn = zoomIn; }

    bool IsSwapAuthorized() const { return mSwapAuthorized; }
    void SetSwapAuthorized(bool authorized) { mSwapAuthorized = authorized; }

private:
    bool mZoomIn = true;
    int32 mSelected = 0;
    int32 mPrevious = 0;
    std::vector<std::unique_ptr<YKToolContainer>> mTools;
    std::array<YKMessage, kToolCount> mOptions;
    std::function<void(int32)> mOptionsHook;
    int32 mCursor = kCursorSelection;
    bool mSwapAuthorized = true;
};
