#include "YKComputingRastersWindow.h"

#include <QProgressBar>
#include <QVBoxLayout>

YKComputingRastersWindow::YKComputingRastersWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool), mBar(new QProgressBar(this)) {
    setWindowTitle(QStringLiteral("Computing rasters..."));
    setWindowModality(Qt::WindowModal);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    column->addWidget(mBar);
    resize(200, 40);
}

void YKComputingRastersWindow::SetStepCount(int32 count) {
    mBar->setRange(0, count);
    mBar->setValue(0);
    show();
    raise();
}

void YKComputingRastersWindow::ShowStep(int32 step, const char* /*text*/) {
    mBar->setValue(step);
    // Paints now: the frames are rendered on this thread, and running the event loop here
    // would let other windows read the document half-way between frames.
    repaint();
}

void YKComputingRastersWindow::ShowResult(const char* /*text*/) {}

void YKComputingRastersWindow::Finish() {
    mBar->setValue(mBar->maximum());
    hide();
}
