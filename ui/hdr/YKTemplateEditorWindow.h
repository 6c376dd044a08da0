#pragma once

// YKTemplateEditorWindow: edits one new-document template, or a new one, in a window of its
// own. "Save" hands the template to the owner, which may refuse it with a reason shown in the
// window; the window closes (and deletes itself) once it is taken or on "Cancel".

#include <QDialog>
#include <functional>
#include <string>

#include "YKDocTemplates.h"

class QLabel;
class QLineEdit;
class YKColorButton;

class YKTemplateEditorWindow : public QDialog {
    Q_OBJECT

public:
    // Returns "" when the template was taken, else why not.
    using Apply = std::function<std::string(const YKDocTemplate&)>;

    YKTemplateEditorWindow(const YKDocTemplate& start, const QString& title, Apply apply,
                           QWidget* parent = nullptr);

    QLineEdit* NameField() const { return mName; }
    QLineEdit* WidthField() const { return mWidth; }
    QLineEdit* HeightField() const { return mHeight; }
    YKColorButton* ColorButton() const { return mColor; }
    QString Problem() const;
    // "Save": the fields checked, then handed to the owner.
    void SaveTemplate();

private:
    Apply mApply;
    QLineEdit* mName;
    QLineEdit* mWidth;
    QLineEdit* mHeight;
    YKColorButton* mColor;
    QLabel* mProblem;
};
