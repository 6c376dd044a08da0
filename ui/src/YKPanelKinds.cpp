// The panels every document window docks, in their order.

#include "YKAlignmentPanel.h"
#include "YKEffectsPanel.h"
#include "YKPanelDocks.h"

namespace {

constexpr YKPanelDocks::Kind kKinds[] = {
    {"alignment", "Alignment", 'grAp', Qt::RightDockWidgetArea, false, &YKAlignmentPanel::Create},
    {"effects", "Effects", 0, Qt::RightDockWidgetArea, false, &YKEffectsPanel::Create},
};

}  // namespace

std::span<const YKPanelDocks::Kind> YKPanelDocks::Kinds() {
    return kKinds;
}
