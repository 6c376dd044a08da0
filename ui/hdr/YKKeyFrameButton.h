#pragma once

// YKKeyFrameButton: the key-frame marker beside an animatable value. It shows whether the value
// has a key frame at the current frame (a filled diamond) or not (a hollow one); a click asks
// for the key to be set or removed.

#include <QToolButton>

class YKKeyFrameButton : public QToolButton {
    Q_OBJECT

public:
    explicit YKKeyFrameButton(QWidget* parent = nullptr);

    // Whether the value (of every selected object) has a key frame at the current frame.
    void SetKeyed(bool keyed);
    bool IsKeyed() const { return mKeyed; }

private:
    bool mKeyed = false;
};
