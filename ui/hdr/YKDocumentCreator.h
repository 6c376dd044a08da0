#pragma once

// YKDocumentCreator: the new-document dialog. It lists the templates, fills the size and colour
// fields from the one picked, and on "OK" asks the application ('grCd') for a document of the
// fields' size. Templates are added, edited (in YKTemplateEditorWindow) and deleted here; every
// change goes straight into the preferences. While the dialog is shown, its size-update thread
// checks the typed size and reports under the fields.

#include <QDialog>
#include <QPointer>
#include <functional>
#include <memory>

#include "YKDocTemplates.h"
#include "YKSizeUpdateThread.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class YKColorButton;
class YKMessage;
class YKPrefSetting;
class YKTemplateEditorWindow;

class YKDocumentCreator : public QDialog {
    Q_OBJECT

public:
    using Post = std::function<void(const YKMessage&)>;

    // Templates from `preferences` (not owned), which also keep the changes; `post` carries the
    // create request to the application.
    YKDocumentCreator(YKPrefSetting* preferences, Post post, QWidget* parent = nullptr);
    ~YKDocumentCreator() override;

    const YKDocTemplates& Templates() const { return mTemplates; }
    int SelectedTemplate() const;
    void SelectTemplate(int index);

    QLineEdit* NameField() const { return mName; }
    QLineEdit* WidthField() const { return mWidth; }
    QLineEdit* HeightField() const { return mHeight; }
    YKColorButton* ColorButton() const { return mColor; }
    // The size-update thread's last line.
    QString SizeStatus() const;

    // "OK": sends the request and hides the dialog; a size that is refused stays, with its
    // reason.
    void Confirm();
    // Asks first; true when the selected template was deleted.
    bool DeleteSelected();
    // Opens the editor on the selected template, or on a new one.
    YKTemplateEditorWindow* EditSelected();
    YKTemplateEditorWindow* NewTemplate();

Q_SIGNALS:
    // "Cancel", Escape or the window closed: no document is asked for.
    void Cancelled();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void FillList();
    void SubmitSize();
    void StoreTemplates();
    YKTemplateEditorWindow* OpenEditor(const YKDocTemplate& start, int index);

    YKPrefSetting* mPreferences;
    Post mPost;
    YKDocTemplates mTemplates;
    QListWidget* mList;
    QLineEdit* mName;
    QLineEdit* mWidth;
    QLineEdit* mHeight;
    YKColorButton* mColor;
    QLabel* mSizeStatus;
    QPushButton* mOk;
    QPointer<YKTemplateEditorWindow> mEditor;
    // Runs while the dialog is shown.
    std::unique_ptr<YKSizeUpdateThread> mSizeThread;
    uint64_t mLatestSize = 0;
};
