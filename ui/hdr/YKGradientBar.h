#pragma once

// YKGradientBar: a gradient drawn as a bar over a checkerboard, with a handle under every
// border between items (filled) and under every item's middle (hollow). A click selects the
// item under the pointer, a Shift-click stretches the selection run to it; dragging the bar
// moves the selection run, dragging a handle moves that border or middle. The bar edits the
// gradient it is given and reports each step; whoever owns the gradient makes it count.

#include <QWidget>

class YKGradient;
class YKGradientItem;

class YKGradientBar : public QWidget {
    Q_OBJECT

public:
    explicit YKGradientBar(QWidget* parent = nullptr);

    // The position of `item` among the gradient's items, from 0; -1 when it is not one of them.
    static int IndexOf(const YKGradient& gradient, const YKGradientItem* item);

    // The gradient shown and edited (not owned; null shows nothing).
    void SetGradient(YKGradient* gradient);
    // The position of parameter t across the bar, and back.
    int XOf(double t) const;
    double TOf(int x) const;

    QSize sizeHint() const override { return {260, 44}; }
    QSize minimumSizeHint() const override { return {120, 44}; }

Q_SIGNALS:
    // The selection run changed.
    void SelectionChanged();
    // A drag changed the gradient; `ongoing` is false on the step that ends the drag.
    void Edited(bool ongoing);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class Drag { kNone, kRun, kBorder, kMiddle };
    static constexpr int kMargin = 6;
    static constexpr int kBarHeight = 28;
    static constexpr int kGrab = 4;  // pixels within which a handle is taken

    // The item whose border or middle handle lies under x (the item left of a border).
    YKGradientItem* HandleAt(int x, Drag* kind) const;

    YKGradient* mGradient = nullptr;
    Drag mDrag = Drag::kNone;
    YKGradientItem* mDragged = nullptr;
    double mLastT = 0;
    bool mMoved = false;
};
