// The panels every document window docks, in their order.

#include "YKAlignmentPanel.h"
#include "YKPanelDocks.h"
#include "YKTimelinePanel.h"

namespace {

constexpr YKPanelDocks::Kind kKinds[] = {
    {"alignment", "Alignment", 'grAp', Qt::RightDockWidgetArea, false, &YKAlignmentPanel::Create},
    {"timeline", "Animation", 'grTp', Qt::BottomDockWidgetArea, true, &YKTimelinePanel::Create},
};

}  // namespace

std::span<const YKPanelDocks::Kind> YKPanelDocks::Kinds() {
    return kKinds;
}
