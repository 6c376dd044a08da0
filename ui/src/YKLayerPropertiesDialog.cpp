#include "YKLayerPropertiesDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>

#include "YKDocument.h"
#include "YKUserLayer.h"
#include "YKViewerLayer.h"
#include "yk_composition.h"

YKLayerPropertiesDialog* YKLayerPropertiesDialog::Open(YKDocument* document, YKUserLayer* layer,
                                                       int32 view, QWidget* parent) {
    auto* dialog = new YKLayerPropertiesDialog(document, layer, view, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

YKLayerPropertiesDialog::YKLayerPropertiesDialog(YKDocument* document, YKUserLayer* layer,
                                                 int32 view, QWidget* parent)
    : QDialog(parent),
      mDocument(document),
      mLayer(layer),
      mView(view),
      mName(new QLineEdit(QString::fromUtf8(layer->Name() != nullptr ? layer->Name() : ""), this)),
      mOpacity(new QSpinBox(this)),
      mMerge(new QComboBox(this)),
      mVisible(new QCheckBox(tr("Visible"), this)),
      mLocked(new QCheckBox(tr("Locked"), this)) {
    setWindowTitle(tr("Layer Properties"));
    mOpacity->setRange(0, 255);
    mOpacity->setValue(layer->GlobalAlpha());
    // "Filter" needs a filter, which only the Filter menu gives.
    for (int32 method = 0; method < YK_COMPOSITION_MODE_COUNT; ++method) {
        if (method != YK_FILTER || layer->MergeMethod() == YK_FILTER) {
            mMerge->addItem(QString::fromUtf8(yk_composition_label[method]), method);
        }
    }
    mMerge->setCurrentIndex(mMerge->findData(layer->MergeMethod()));
    mVisible->setChecked(!layer->IsUserLayerHidden(view));
    mLocked->setChecked(layer->IsLocked());

    auto* form = new QFormLayout(this);
    form->addRow(tr("Name"), mName);
    form->addRow(tr("Opacity"), mOpacity);
    form->addRow(tr("Composite Method"), mMerge);
    form->addRow(mVisible);
    form->addRow(mLocked);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

void YKLayerPropertiesDialog::accept() {
    const std::string name = mName->text().toStdString();
    const int32 opacity = mOpacity->value();
    const int32 method = mMerge->currentData().toInt();
    const bool visible = mVisible->isChecked();
    const bool locked = mLocked->isChecked();
    // The layer may have left the tree meanwhile: the viewer layer checks before it is touched.
    mDocument->ViewerLayer()->ModifyLayer(mLayer, "Layer Properties", [&](YKLayer* changed) {
        auto* layer = static_cast<YKUserLayer*>(changed);
        // Renaming restarts the copy number: only a new name does.
        const char* was = layer->Name();
        if (was == nullptr ? !name.empty() : name != was) {
            layer->SetName(name.c_str());
        }
        if (opacity != layer->GlobalAlpha()) {
            layer->SetGlobalAlpha(opacity);
        }
        if (method != layer->MergeMethod()) {
            layer->SetMergeMethod(method, nullptr);
        }
        if (visible == layer->IsUserLayerHidden(mView)) {
            visible ? layer->ShowUserLayer(mView) : layer->HideUserLayer(mView);
        }
        layer->Lock(locked);
    });
    QDialog::accept();
}
