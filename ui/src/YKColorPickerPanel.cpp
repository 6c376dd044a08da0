#include "YKColorPickerPanel.h"

#include <QColorDialog>
#include <QVBoxLayout>

#include "YKDocument.h"
#include "YKRasterLayer.h"
#include "YKVectorEntity.h"
#include "YKViewerLayer.h"

YKPanel* YKColorPickerPanel::Create(YKDocumentWindow* window) {
    return new YKColorPickerPanel(window);
}

YKColorPickerPanel::YKColorPickerPanel(YKDocumentWindow* window)
    : YKVectorPanel(window), mPicker(new QColorDialog(this)) {
    // A dialog made a plain child widget: it lives in the dock, without its buttons.
    mPicker->setWindowFlags(Qt::Widget);
    mPicker->setOptions(QColorDialog::NoButtons | QColorDialog::ShowAlphaChannel |
                        QColorDialog::DontUseNativeDialog);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(mPicker);
    connect(mPicker, &QColorDialog::currentColorChanged, this, [this](const QColor& picked) {
        if (mShowing) {
            return;
        }
        const yk_color color(static_cast<uint8>(picked.red()), static_cast<uint8>(picked.green()),
                             static_cast<uint8>(picked.blue()), static_cast<uint8>(picked.alpha()));
        ChangeSelection(
            "Fill Color",
            [color](YKVectorEntity* e) {
                Paint paint = ReadPaint(*e, true);
                paint.color = color;
                if (paint.flag == kColorFlagNone) {
                    paint.flag = kColorFlagColor;
                }
                WritePaint(e, true, paint);
            },
            true);
    });
}

void YKColorPickerPanel::Refresh() {
    const std::vector<YKRasterLayer*> objects = SelectedVectors();
    YKViewerLayer* viewer = Document()->ViewerLayer();
    if (objects.empty() || !viewer->LockHirarchy()) {
        return;
    }
    const yk_color color = ReadPaint(*objects.front()->Entity(), true).color;
    viewer->UnlockHirarchy();
    mShowing = true;
    mPicker->setCurrentColor(QColor(color.red, color.green, color.blue, color.alpha));
    mShowing = false;
}
