#include "YKPanelNotifier.h"

#include <QApplication>

#include "YKDispatcher.h"
#include "YKDocumentWindow.h"
#include "YKPanelDocks.h"

namespace {

constexpr YKDocumentServices::Panel kPanels[] = {
    YKDocumentServices::Panel::kLayers, YKDocumentServices::Panel::kObjects,
    YKDocumentServices::Panel::kFiller, YKDocumentServices::Panel::kToolBar};

}  // namespace

YKPanelNotifier::YKPanelNotifier(YKDispatcher& dispatcher) : mDispatcher(dispatcher) {
    for (YKDocumentServices::Panel panel : kPanels) {
        mDispatcher.SetPanelSink(panel, [this](const YKMessage& message) { Deliver(message); });
    }
    YKTimelineSink::SetCurrent(this);
}

YKPanelNotifier::~YKPanelNotifier() {
    if (YKTimelineSink::Current() == this) {
        YKTimelineSink::SetCurrent(nullptr);
    }
    for (YKDocumentServices::Panel panel : kPanels) {
        mDispatcher.SetPanelSink(panel, nullptr);
    }
}

void YKPanelNotifier::Deliver(const YKMessage& message) {
    QMetaObject::invokeMethod(
        this,
        [message] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* window = qobject_cast<YKDocumentWindow*>(widget);
                if (window != nullptr && !window->IsQuitting()) {
                    window->Panels().Notify(message);
                }
            }
        },
        Qt::QueuedConnection);
}
