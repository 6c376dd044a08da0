#pragma once

// YKLayerPropertiesDialog: "Layer Properties" of the current user layer: its name, opacity,
// merge method, visibility in the window's view and lock. "OK" makes every change at once, as
// one undoable action.

#include <QDialog>

#include "yk_types.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class YKDocument;
class YKUserLayer;

class YKLayerPropertiesDialog : public QDialog {
    Q_OBJECT

public:
    // Opens the dialog for `layer`, shown in view `view`, beside `parent`, which owns it; it
    // goes when closed.
    static YKLayerPropertiesDialog* Open(YKDocument* document, YKUserLayer* layer, int32 view,
                                         QWidget* parent);

    YKLayerPropertiesDialog(YKDocument* document, YKUserLayer* layer, int32 view, QWidget* parent);

    QLineEdit* NameField() const { return mName; }
    QSpinBox* OpacityField() const { return mOpacity; }
    // The merge methods by index; "Filter" is listed only for a layer that has one.
    QComboBox* MergeField() const { return mMerge; }
    QCheckBox* VisibleField() const { return mVisible; }
    QCheckBox* LockedField() const { return mLocked; }

    void accept() override;

private:
    YKDocument* mDocument;
    YKUserLayer* mLayer;
    const int32 mView;
    QLineEdit* mName;
    QSpinBox* mOpacity;
    QComboBox* mMerge;
    QCheckBox* mVisible;
    QCheckBox* mLocked;
};
