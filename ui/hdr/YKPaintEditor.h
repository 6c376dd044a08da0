#pragma once

// YKPaintEditor: the controls of one paint (the fill or the stroke) of the selected objects:
// its kind (none, colour, gradient, pattern), its colour with alpha and that colour's key-frame
// marker, the pattern from the bitmap roster, and a button that opens the gradient composer.
// It only shows values and reports what the user asks for; the inspector makes the changes.

#include <QWidget>
#include <string>
#include <vector>

#include "yk_color.h"
#include "yk_types.h"

class QComboBox;
class QPushButton;
class YKColorButton;
class YKKeyFrameButton;

class YKPaintEditor : public QWidget {
    Q_OBJECT

public:
    explicit YKPaintEditor(bool fill, QWidget* parent = nullptr);

    // What the selection has: its paint kind (a colour flag; -1 when the objects differ), its
    // colour (or that they differ on it), whether the colour is keyed at the current frame, its
    // pattern name.
    void Show(int16 flag, yk_color color, bool mixedColor, bool keyed, const std::string& pattern);
    // The patterns the roster holds; the menu is rebuilt only when they changed.
    void SetPatterns(const std::vector<std::string>& names);

    QComboBox* KindMenu() const { return mKind; }
    YKColorButton* ColorButton() const { return mColor; }
    YKKeyFrameButton* KeyButton() const { return mKey; }
    QComboBox* PatternMenu() const { return mPattern; }

Q_SIGNALS:
    void KindChosen(int16 flag);
    void ColorChosen(yk_color color);
    void KeyClicked();
    void PatternChosen(const QString& name);
    void GradientWanted();

private:
    QComboBox* mKind;
    YKColorButton* mColor;
    YKKeyFrameButton* mKey;
    QComboBox* mPattern;
    QPushButton* mGradient;
    std::vector<std::string> mPatterns;
};
