// The panels every document window docks, in their order: those shown at first, then those
// that open as tabs beside them.

#include "YKAlignmentPanel.h"
#include "YKColorPickerPanel.h"
#include "YKEffectsPanel.h"
#include "YKGradientComposer.h"
#include "YKInspectorPanel.h"
#include "YKLayersPanel.h"
#include "YKObjectsPanel.h"
#include "YKPanelDocks.h"
#include "YKTimelinePanel.h"
#include "YKToolsPanel.h"

namespace {

constexpr YKPanelDocks::Kind kKinds[] = {
    {"tools", "Tools", 'grtp', Qt::LeftDockWidgetArea, true, &YKToolsPanel::Create},
    {"inspector", "Inspector", 'grFp', Qt::RightDockWidgetArea, true, &YKInspectorPanel::Create},
    {"timeline", "Animation", 'grTp', Qt::BottomDockWidgetArea, true, &YKTimelinePanel::Create},
    {"layers", "Layers", 'grLp', Qt::RightDockWidgetArea, true, &YKLayersPanel::Create},
    {"objects", "Objects", 'grOp', Qt::RightDockWidgetArea, true, &YKObjectsPanel::Create},
    {"alignment", "Alignment", 'grAp', Qt::RightDockWidgetArea, false, &YKAlignmentPanel::Create},
    {"gradient", "Gradient Composer", 'grGp', Qt::RightDockWidgetArea, false,
     &YKGradientComposer::Create},
    {"colorpicker", "Colorpicker", 'grEp', Qt::RightDockWidgetArea, false,
     &YKColorPickerPanel::Create},
    {"effects", "Effects", 0, Qt::RightDockWidgetArea, false, &YKEffectsPanel::Create},
};

}  // namespace

std::span<const YKPanelDocks::Kind> YKPanelDocks::Kinds() {
    return kKinds;
}
