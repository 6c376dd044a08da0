#pragma once

// YKCanvasView: the canvas of a document window. It shows its own copy of the view's
// composition, zoomed, over the board of the document's background, and scrolls over it. The
// copy is taken when the core reports a damaged rectangle (on whichever thread finished the
// composition), so painting never waits for the layer tree's lock.
//
// The mouse and keys go, in document coordinates, to the window's event manager. Over the
// composition the canvas draws what the view's overlay holds: the selected objects' outlines and
// knobs, the object being drawn, the band being dragged, and the bitmap selection's outline with
// marching ants. The overlay too is gathered under the lock, and painted from the copy.
//
// Coordinates: the view shows the document point q at zoom(q) - origin, where the origin is
// the scroll bars' values (the zoomed document coordinate at the view's left-top). The centre,
// the document point at the middle of the view, is what zooming and resizing keep in place.

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <mutex>
#include <optional>

#include "YKDrawBitmap.h"
#include "YKPaletteDisplay.h"
#include "YKPoint.h"
#include "YKRect.h"
#include "YKViewOverlay.h"
#include "yk_color.h"

class QPainter;
class YKBitmap;
class YKPrefSetting;
class YKEventManager;
class YKGammaCorrection;
class YKToolState;
class YKViewerLayer;

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

    // Where the mouse and keys go (not owned; null: nowhere), with the tree and the view index
    // the overlay is gathered from. Set on the GUI thread.
    void SetEventManager(YKEventManager* events, YKToolState* tools, YKViewerLayer* viewer,
                         int32 view);
    // Under the hierarchy lock, any thread: takes the overlay of the view as it is now and has
    // the canvas repainted when it changed.
    void GatherOverlay();
    YKViewOverlay Overlay() const;
    // Scrolls by `delta` document units, respectively puts `point` in the middle.
    void ScrollBy(YKPoint<double> delta);
    void CentreOn(YKPoint<double> point);
    // Shows a YKToolState::Cursor.
    void ShowCursor(int32 cursor);

    // --- Display
    // The 8-bit display through palette `cmap` of the fixed palettes, dithered or not; -1 shows
    // true colour. The composition taken from then on is shown so: take all of it again.
    void SetDisplayPalette(int32 cmap, bool dither);
    int32 DisplayPalette() const;
    bool DisplayDithering() const;
    // The drawing limits: the canvas's edges outlined over the view. Locked, the pointer's
    // document point is held within them, so that nothing is drawn beyond the canvas.
    void SetDrawingAnchors(bool shown);
    bool DrawingAnchors() const { return mAnchorsShown; }
    void LockAnchors(bool locked) { mAnchorsLocked = locked; }
    bool AnchorsLocked() const { return mAnchorsLocked; }

    // The monitor gamma every canvas is shown through (null: none); the application sets it.
    static void SetDisplayGamma(const YKGammaCorrection* gamma);
    // The preferences that say whether a click on an inactive window also acts on the canvas
    // (null: it does). Read at each click, so a change holds at once.
    static void SetPreferences(const YKPrefSetting* preferences);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Whether a press only brings the window forward: the window is not active, or the press
    // is the one that just made it active.
    bool OnlyActivates() const;
    // The document point under a view position; during a hand-tool drag, as the view lay when
    // it began, so that the scrolling it asks for does not move the points under the pointer.
    YKPoint<double> EventPoint(QPointF position) const;
    void Press(QMouseEvent* event, uint32 clicks);
    // After an event: the overlay may have changed without any part of the tree redrawing.
    void EventDone();
    void PaintCanvas(QPainter& painter, const QRect& canvas);
    void PaintOverlay(QPainter& painter, const YKViewOverlay& overlay) const;
    QPointF ToView(YKPoint<double> point) const;
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
    YKPaletteDisplay mDisplay;  // guarded by mLock
    bool mAnchorsShown = false;
    bool mAnchorsLocked = false;

    std::atomic<YKEventManager*> mEvents{nullptr};
    YKToolState* mTools = nullptr;
    YKViewerLayer* mViewer = nullptr;
    int32 mView = 0;
    YKViewOverlay mOverlay;  // guarded by mLock
    // The scroll origin a hand-tool drag began with.
    std::optional<YKPoint<int32>> mGestureOrigin;
    YKPoint<double> mLastPoint;
    uint32 mButtons = 0;
    // Since the window last became active, and whether it was pressed since.
    QElapsedTimer mActivated;
    bool mPressedSinceActivation = true;
    // The press that only activated is still held: its moves and release go nowhere.
    bool mActivating = false;
    QElapsedTimer mOnlyActivated;
    // Mouse-held events while a button stays down, and the marching ants' steps.
    QTimer mHoldTimer;
    QTimer mAntsTimer;
    int mAntsPhase = 0;
};
