// The panels every document window docks, in their order.

#include "YKAlignmentPanel.h"
#include "YKLayersPanel.h"
#include "YKObjectsPanel.h"
#include "YKPanelDocks.h"

namespace {

constexpr YKPanelDocks::Kind kKinds[] = {
    {"alignment", "Alignment", 'grAp', Qt::RightDockWidgetArea, false, &YKAlignmentPanel::Create},
    {"layers", "Layers", 'grLp', Qt::RightDockWidgetArea, true, &YKLayersPanel::Create},
    {"objects", "Objects", 'grOp', Qt::RightDockWidgetArea, true, &YKObjectsPanel::Create},
};

}  // namespace

std::span<const YKPanelDocks::Kind> YKPanelDocks::Kinds() {
    return kKinds;
}
