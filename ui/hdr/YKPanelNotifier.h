#pragma once

// YKPanelNotifier: carries the core's notifications to the panels. The document routes what its
// layers and objects report to the dispatcher's panel sinks, and the envelope managers report
// frames and key frames to the timeline sink; both may come from any thread, inside an editing
// step. The notifier copies each message and hands it, later on the GUI thread, to the panels of
// every open document window.

#include <QObject>

#include "YKTimelineSink.h"

class YKDispatcher;
class YKMessage;

class YKPanelNotifier : public QObject, public YKTimelineSink {
    Q_OBJECT

public:
    // Becomes the timeline sink and every panel sink of `dispatcher`.
    explicit YKPanelNotifier(YKDispatcher& dispatcher);
    // Lets go of the sinks.
    ~YKPanelNotifier() override;

    void Deliver(const YKMessage& message) override;

private:
    YKDispatcher& mDispatcher;
};
