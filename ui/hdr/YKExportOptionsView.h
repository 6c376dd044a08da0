#pragma once

// YKExportOptionsView: the option groups of one export (YKRasterIOView) as its interface flags
// show them: "Information" with the live size estimate, "Generic Options", the format's own
// "Export Options", and "Color Reduction"; beside them a preview of the first frame as the
// writer encodes it. Previews and estimates are worked out off the GUI thread, a moment after
// the last change, so that typing and clicking never wait for a writer.

#include <QImage>
#include <QWidget>
#include <string>

#include "YKExportPreview.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;
class QTimer;
class QVBoxLayout;
class YKComputingRastersWindow;
class YKRasterIOView;

class YKExportOptionsView : public QWidget {
    Q_OBJECT

public:
    // `view` must outlive this widget.
    explicit YKExportOptionsView(YKRasterIOView* view, QWidget* parent = nullptr);

    YKRasterIOView* View() const { return mView; }

    // Renders the frames the export writes, once, for the preview, the estimates and the export
    // itself; false, with the reason, when a frame cannot be rendered.
    bool RenderFrames(std::string* error);
    // The window that shows the frames' rendering.
    YKComputingRastersWindow* Computing() const { return mComputing; }
    // "Update Size": estimates now, live update or not.
    void UpdateSize();
    void SetLiveUpdate(bool live);
    bool LiveUpdate() const;
    // "Live Update" as the user last left it in any export window (on when never set), and
    // keeping it in the preferences.
    static bool SavedLiveUpdate();
    static void KeepLiveUpdate(bool live);

    // The last preview shown; `encoded` false while it is the frame before encoding.
    const QImage& PreviewImage() const { return mPreviewImage; }
    bool PreviewEncoded() const { return mPreviewEncoded; }
    // The last estimate shown (-1 unknown) and its text.
    qint64 Estimate() const { return mEstimate; }
    QString EstimateText() const;

Q_SIGNALS:
    void FramesRendered();
    void PreviewShown();
    void EstimateShown(qint64 bytes);

private:
    QWidget* Information();
    QWidget* GenericOptions();
    QWidget* ColorReduction();
    QWidget* PreviewArea();
    // Every change of an option: a new preview (and estimate, when live) shortly.
    void Changed();
    void Submit();
    void FillQuantizers();
    void ShowPreview(const QImage& image, bool encoded);
    void ShowEstimate(qint64 bytes);

    YKRasterIOView* mView;
    YKExportPreview* mWorker;
    YKExportPreview::Frames mFrames;
    QTimer* mSettle;
    YKComputingRastersWindow* mComputing;
    bool mEstimateWanted = false;
    bool mEstimatePending = false;

    QLabel* mKind = nullptr;
    QLabel* mEstimateLabel = nullptr;
    QCheckBox* mLive = nullptr;
    QComboBox* mQuantizers = nullptr;
    QComboBox* mColors = nullptr;
    QSpinBox* mUserColors = nullptr;
    QLabel* mPreview = nullptr;
    QLabel* mPreviewNote = nullptr;
    QImage mPreviewImage;
    bool mPreviewEncoded = false;
    qint64 mEstimate = -1;
};
