// The panels every document window docks, in their order.

#include "YKAlignmentPanel.h"
#include "YKPanelDocks.h"
#include "YKToolsPanel.h"

namespace {

constexpr YKPanelDocks::Kind kKinds[] = {
    {"tools", "Tools", 'grtp', Qt::LeftDockWidgetArea, true, &YKToolsPanel::Create},
    {"alignment", "Alignment", 'grAp', Qt::RightDockWidgetArea, false, &YKAlignmentPanel::Create},
};

}  // namespace

std::span<const YKPanelDocks::Kind> YKPanelDocks::Kinds() {
    return kKinds;
}
