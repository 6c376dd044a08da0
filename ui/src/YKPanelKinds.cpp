// The panels every document window docks, in their order.

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
    {"alignment", "Alignment", 'grAp', Qt::RightDockWidgetArea, false, &YKAlignmentPanel::Create},
    {"inspector", "Inspector", 'grFp', Qt::RightDockWidgetArea, true, &YKInspectorPanel::Create},
    {"gradient", "Gradient Composer", 0, Qt::RightDockWidgetArea, false,
     &YKGradientComposer::Create},
    {"colorpicker", "Colorpicker", 'grEp', Qt::RightDockWidgetArea, false,
     &YKColorPickerPanel::Create},
    {"timeline", "Animation", 'grTp', Qt::BottomDockWidgetArea, true, &YKTimelinePanel::Create},
    {"effects", "Effects", 0, Qt::RightDockWidgetArea, false, &YKEffectsPanel::Create},
    {"layers", "Layers", 'grLp', Qt::RightDockWidgetArea, true, &YKLayersPanel::Create},
    {"objects", "Objects", 'grOp', Qt::RightDockWidgetArea, true, &YKObjectsPanel::Create},
};

}  // namespace

std::span<const YKPanelDocks::Kind> YKPanelDocks::Kinds() {
    return kKinds;
}
