// The bitmap selection tools: a rectangle, a lasso or an ellipse added to (Shift) or taken from
// (Command) the document's selection, or the existing selection moved when the drag starts on it.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "YKBitmap.h"
#include "YKDocument.h"
#include "YKEventManager.h"
#include "YKMessage.h"
#include "YKRaster.h"
#include "YKToolState.h"
#include "YKUndoSelection.h"
#include "YKViewerLayer.h"

namespace {

constexpr int32 kRectangleTool = 1;
constexpr int32 kLassoTool = 2;
constexpr int32 kEllipseTool = 3;

YKPoint<int32> Pixel(YKPoint<double> point) {
    return {static_cast<int32>(std::floor(point.x)), static_cast<int32>(std::floor(point.y))};
}

YKRect<int32> Span(YKPoint<int32> a, YKPoint<int32> b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

// Whether two selections (null or empty for none) select the same pixels equally.
bool SameSelection(const YKBitmap* a, const YKBitmap* b) {
    const bool noneA = a == nullptr || a->IsEmpty();
    const bool noneB = b == nullptr || b->IsEmpty();
    if (noneA || noneB) {
        return noneA == noneB;
    }
    const YKRect<int32> frame = a->Frame();
    if (frame != b->Frame()) {
        return false;
    }
    const std::unique_ptr<YKRaster> pixelsA(a->Raster(frame));
    const std::unique_ptr<YKRaster> pixelsB(b->Raster(frame));
    if (pixelsA == nullptr || pixelsB == nullptr) {
        return pixelsA == pixelsB;
    }
    return pixelsA->BitsLength() == pixelsB->BitsLength() &&
           std::memcmp(pixelsA->Bits(), pixelsB->Bits(),
                       static_cast<size_t>(pixelsA->BitsLength())) == 0;
}

}  // namespace

bool YKEventManager::SelectionCovers(YKPoint<int32> pixel) const {
    YKBitmap* selection = Viewer()->GetSelection();
    if (selection == nullptr || !selection->Frame().Contains(pixel)) {
        return false;
    }
    uint32 value = 0;
    selection->GetLineAt(pixel.y, pixel.x, pixel.x, false, &value);
    return (value >> 24) != 0;
}

YKRect<int32> YKEventManager::RubberBand() const {
    const bool bitmapBand = mMouseDown && !mMovingSelection &&
                            (mGestureTool == kRectangleTool || mGestureTool == kEllipseTool);
    return mTracking || bitmapBand ? mSelectionRect : YKRect<int32>::None();
}

void YKEventManager::MouseDownBitmap(YKPoint<double> point) {
    YKViewerLayer* viewer = Viewer();
    mFeather = 0;
    mAntialias = true;
    if (const YKMessage* options = mTools->GetOptionMessage()) {
        options->FindInt32("feather", &mFeather);
        options->FindBool("antialias", &mAntialias);
    }
    // A huge feather would only cost time: no selection is wider than the canvas.
    mFeather = std::clamp(mFeather, 0, 255);
    viewer->SetTemporarySelectionType(mGestureTool);
    // Kept for the gesture's undo record.
    const YKBitmap* before = viewer->GetSelection();
    mSelectionBefore = before != nullptr ? std::make_unique<YKBitmap>(*before) : nullptr;
    mSelectionRectBefore = viewer->SelectionRectangle();
    const YKPoint<int32> pixel = Pixel(point);
    mMovingSelection = false;
    if ((mModifiers & kShift) != 0) {
        mSelectionAdds = true;
    } else if ((mModifiers & kCommand) != 0) {
        mSelectionAdds = false;
    } else if (SelectionCovers(pixel)) {
        mMovingSelection = true;
    } else {
        viewer->EraseSelection();
        mSelectionAdds = true;
    }
    mSelectionStart = pixel;
    mSelectionLast = pixel;
    if (mGestureTool == kLassoTool && !mMovingSelection) {
        viewer->DeleteFreeHandSelectionPoints();
        viewer->AddFreeHandSelectionPoint(point);
    }
}

void YKEventManager::MouseMovedBitmap(YKPoint<double> point) {
    YKViewerLayer* viewer = Viewer();
    const YKPoint<int32> pixel = Pixel(point);
    if (mMovingSelection) {
        viewer->OffSetSelectionBy({pixel.x - mSelectionLast.x, pixel.y - mSelectionLast.y});
    } else if (mGestureTool == kLassoTool) {
        viewer->AddFreeHandSelectionPoint(point);
    } else {
        mSelectionRect = Span(mSelectionStart, pixel);
    }
    mSelectionLast = pixel;
}

void YKEventManager::MouseUpBitmap(YKPoint<double> point) {
    YKViewerLayer* viewer = Viewer();
    MouseMovedBitmap(point);
    if (!mMovingSelection) {
        std::unique_ptr<YKBitmap> mask;
        if (mGestureTool == kRectangleTool) {
            mask = viewer->CreateRectangleSelection(mSelectionRect);
        } else if (mGestureTool == kEllipseTool) {
            mask = viewer->CreateEllipsisSelection(mSelectionRect, mAntialias);
        } else if (mGestureTool == kLassoTool) {
            mSelectionRect = YKRect<int32>::None();
            const auto& points = viewer->FreeHandSelectionPoints();
            for (int32 i = 0; i < points.CountItems(); ++i) {
                const YKPoint<int32> p = Pixel(points.ItemAt(i));
                mSelectionRect =
                    mSelectionRect.IsValid() ? mSelectionRect | Span(p, p) : Span(p, p);
            }
            mask = viewer->CreateFreehandSelection(mSelectionRect, mAntialias);
            viewer->DeleteFreeHandSelectionPoints();
        }
        if (mask != nullptr) {
            viewer->FeatherSelection(mask, mFeather);
            if (mSelectionAdds) {
                viewer->AddSelection(mask.get());
            } else {
                viewer->RemoveSelection(mask.get());
            }
        }
        viewer->SetSelectionRectangle(mSelectionRect);
    }
    mMovingSelection = false;
    mSelectionRect = YKRect<int32>::None();
    viewer->SetTemporarySelectionType(-1);
    // A click on nothing or a move by no pixel leaves nothing to undo.
    if (!SameSelection(mSelectionBefore.get(), viewer->GetSelection())) {
        mDocument->AddUndoItem(
            new YKUndoSelection(std::move(mSelectionBefore), mSelectionRectBefore), true);
    }
}
