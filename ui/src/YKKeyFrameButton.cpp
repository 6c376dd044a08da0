#include "YKKeyFrameButton.h"

YKKeyFrameButton::YKKeyFrameButton(QWidget* parent) : QToolButton(parent) {
    setAutoRaise(true);
    SetKeyed(false);
}

void YKKeyFrameButton::SetKeyed(bool keyed) {
    mKeyed = keyed;
    setText(keyed ? QStringLiteral("\u25C6") : QStringLiteral("\u25C7"));
    setToolTip(keyed ? tr("Remove the key frame at the current frame")
                     : tr("Set a key frame at the current frame"));
}
