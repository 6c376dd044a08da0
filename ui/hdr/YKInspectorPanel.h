#pragma once

// YKInspectorPanel: the fill and stroke of the selected vector objects: the paint of each (none,
// colour, gradient or pattern), the stroke's width, dash, caps, join and miter limit. Values the
// objects disagree on show as mixed; a change applies to all of them as one undo action. The
// colours and the width carry key-frame markers: a click sets or removes a key frame at the
// current frame.

#include <QString>

#include "YKVectorPanel.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class YKEnvelop;
class YKKeyFrameButton;
class YKPaintEditor;

class YKInspectorPanel : public YKVectorPanel {
    Q_OBJECT

public:
    static YKPanel* Create(YKDocumentWindow* window);
    explicit YKInspectorPanel(YKDocumentWindow* window);

    void Refresh() override;

    YKPaintEditor* FillEditor() const { return mFill; }
    YKPaintEditor* StrokeEditor() const { return mStroke; }
    QDoubleSpinBox* WidthBox() const { return mWidth; }
    YKKeyFrameButton* WidthKey() const { return mWidthKey; }
    QComboBox* DashMenu() const { return mDash; }
    QComboBox* FirstCapMenu() const { return mFirstCap; }
    QComboBox* LastCapMenu() const { return mLastCap; }
    QComboBox* JoinMenu() const { return mJoin; }

private:
    // Which animatable value a key-frame marker stands for.
    using EnvelopOf = YKEnvelop* (*)(YKVectorEntity* entity);

    void SetKind(bool fill, int16 flag);
    void SetColor(bool fill, yk_color color);
    void SetPattern(bool fill, const QString& name);
    void SetWidth(double width);
    void SetCaps(int32 firstCap, int32 lastCap, int32 join);
    // Sets a key frame at the current frame on that value of every selected object, or removes
    // the one there (a value keeps at least one).
    void ToggleKey(EnvelopOf envelopOf, bool keyed);
    void OpenComposer();

    QLabel* mNothing;
    QWidget* mControls;
    YKPaintEditor* mFill;
    YKPaintEditor* mStroke;
    QDoubleSpinBox* mWidth;
    YKKeyFrameButton* mWidthKey;
    QComboBox* mDash;
    QComboBox* mFirstCap;
    QComboBox* mLastCap;
    QComboBox* mJoin;
    QDoubleSpinBox* mMiter;
};
