#pragma once

// YKGradientComposer: the gradient of the selected objects' fill (or stroke) on a bar, with every
// editing operation on its selection run (flip, replicate, split, redistribute, blend, delete,
// copy and paste), the colours, curve and colour model of the selected items, the nine ways a
// gradient maps the object's pixels with a preview, and gradient files. It edits a working copy
// and gives it to every selected object after each step, as one undo action per gesture.

#include <QString>
#include <optional>

#include "YKGradientContainer.h"
#include "YKVectorPanel.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;
class YKColorButton;
class YKGradientBar;

class YKGradientComposer : public YKVectorPanel {
    Q_OBJECT

public:
    static YKPanel* Create(YKDocumentWindow* window);
    explicit YKGradientComposer(YKDocumentWindow* window);

    // Whether the fill's gradient is edited, or the stroke's.
    void SetTarget(bool stroke);
    void Refresh() override;

    // Reads a gradient file into the selection's gradient; a file that is none is refused with
    // a message and changes nothing.
    bool LoadGradient(const QString& path);
    bool SaveGradient(const QString& path);

    YKGradientBar* Bar() const { return mBar; }
    const YKGradientContainer& Working() const { return mWorking; }
    // The selection run as item indices (-1 without one).
    int SelectionStart() const;
    int SelectionEnd() const;
    // Selects items first..last of the working gradient, as clicks on the bar would.
    void Select(int first, int last);

private:
    // Runs `operation` on the working gradient and gives the result to the selection.
    void Operate(const char* name, const std::function<void(YKGradient*)>& operation);
    // Gives the working gradient to every selected object.
    void Apply(const char* name, bool ongoing);
    void ShowSelectionItems();
    void ShowPreview();
    void Load();
    void Save();

    bool mStroke = false;
    YKGradientContainer mWorking;
    std::optional<YKGradient> mCopied;
    QComboBox* mTarget;
    QLabel* mNone;
    QWidget* mControls;
    YKGradientBar* mBar;
    QSpinBox* mCount;
    YKColorButton* mLeftColor;
    YKColorButton* mRightColor;
    QComboBox* mCurve;
    QComboBox* mModel;
    QComboBox* mType;
    QLabel* mPreview;
    QDoubleSpinBox* mOffset;
    QDoubleSpinBox* mFrequency;
    QDoubleSpinBox* mAmplitude;
    QDoubleSpinBox* mStretch;
};
