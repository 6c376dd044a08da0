#pragma once

// YKCanvasView: the canvas of a document window. It shows its own copy of the view's
// composition, zoomed, over the board of the document's background, and scrolls over it. The
// copy is taken when the core reports a damaged rectangle (on whichever thread finished the
// composition), so painting never waits for the layer tree's lock.
//
// Coordinates: the view shows the document point q at zoom(q) - origin, where the origin is
// the scroll bars' values (the zoomed document coordinate at the view's left-top). The centre,
// the document point at the middle of the view, is what zooming and resizing keep in place.

#include <QAbstractScrollArea>
#include <mutex>

#include "YKDrawBitmap.h"
#include "YKPoint.h"
#include "YKRect.h"
#include "yk_color.h"

class YKBitmap;
class YKGammaCorrection;

class YKCanvasView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit YKCanvasView(QWidget* parent = nullptr);

    // Copies `rect` (document coordinates, clipped to the composition) of the view's
    // composition into the shown bitmap. Any thread; the caller holds the hierarchy lock.
    void TakeComposition(YKBitmap* composition, YKRect<int32> rect);
    // The canvas rectangle; the view is centred on it again.
    void SetDocumentFrame(YKRect<int32> frame);
    YKRect<int32> DocumentFrame() const { return mFrame; }
    // The board under transparent pixels: the background, as a checkerboard where it is
    // translucent.
    void SetBoardColor(yk_color color);

    // z > 0 magnifies z + 1 times, z < 0 reduces 1 - z times; the centre stays.
    void SetZoom(int32 zoom);
    int32 Zoom() const { return mShown.Zoom(); }
    YKPoint<float> Centre() const { return mCentre; }

    // Document to view coordinates and back.
    YKPoint<float> BitmapToView(YKPoint<float> point) const;
    YKRect<float> BitmapToView(YKRect<float> rect) const;
    YKPoint<float> ViewToBitmap(YKPoint<float> point) const;
    // The view pixels the canvas covers.
    YKRect<int32> ShownFrame() const;

    // The monitor gamma every canvas is shown through (null: none); the application sets it.
    static void SetDisplayGamma(const YKGammaCorrection* gamma);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // The canvas in zoomed document coordinates, whole screen pixels only.
    YKRect<int32> ZoomedFrame() const;
    YKPoint<int32> Origin() const;
    // Sets the scroll ranges for the zoomed canvas and scrolls `centre` to the middle.
    void Recentre(YKPoint<float> centre);

    // Guards the shown bitmap between the composing thread's copies and painting.
    mutable std::mutex mLock;
    YKDrawBitmap mShown{"canvas"};
    YKRect<int32> mFrame = YKRect<int32>::None();
    YKPoint<float> mCentre{0.0f, 0.0f};
};
