// The viewer layer's bitmap selection and the crop of bitmap objects to it. The raster work is
// in YKSelectionMask.cpp.

#include "YKAutolock.h"
#include "YKBitmap.h"
#include "YKBitmapLayer.h"
#include "YKSelectionMask_internal.h"
#include "YKUndoCropObject.h"
#include "YKViewerLayer.h"
#include "YKViewerLayer_internal.h"

// --- The document's selection ---

void YKViewerLayer::ReplaceSelection(std::unique_ptr<YKBitmap> mask) {
    YKAutolock guard(mHierarchyLock);
    const YKRect<int32> before =
        mSelection != nullptr ? mSelection->Frame() : YKRect<int32>::None();
    mSelection = std::move(mask);
    for (bool& unseen : mSelectionUnseen) {
        unseen = true;
    }
    const YKRect<int32> after = mSelection != nullptr ? mSelection->Frame() : YKRect<int32>::None();
    // Not a full redraw: with no selection before or after, that would recompose every view.
    InvalidateSelection(before | after, false, this);
}

void YKViewerLayer::AddSelection(YKBitmap* mask) {
    if (mask != nullptr) {
        ReplaceSelection(yk_selection::Combine(mSelection.get(), mask, false, mCanvas));
    }
}

void YKViewerLayer::RemoveSelection(YKBitmap* mask) {
    if (mask != nullptr && mSelection != nullptr) {
        ReplaceSelection(yk_selection::Combine(mSelection.get(), mask, true, mCanvas));
    }
}

void YKViewerLayer::EraseSelection() {
    if (mSelection != nullptr) {
        ReplaceSelection(nullptr);
    }
}

void YKViewerLayer::OffSetSelectionBy(YKPoint<int32> offset) {
    YKAutolock guard(mHierarchyLock);
    if (mSelection == nullptr || (offset.x == 0 && offset.y == 0)) {
        return;
    }
    const YKRect<int32> before = mSelection->Frame();
    mSelection->MoveBy(offset);
    for (bool& unseen : mSelectionUnseen) {
        unseen = true;
    }
    InvalidateSelection(before | mSelection->Frame(), false, this);
}

bool YKViewerLayer::HasSelectionChanged(int32 view) {
    if (!IsSlot(view)) {
        return false;
    }
    YKAutolock guard(mHierarchyLock);
    return std::exchange(mSelectionUnseen[view], false);
}

void YKViewerLayer::SetSelectionRectangle(YKRect<int32> rect) {
    YKAutolock guard(mHierarchyLock);
    const YKRect<int32> before = mSelectionRect;
    mSelectionRect = rect;
    InvalidateSelection((before | rect) & mCanvas, false, this);
}

YKRect<int32> YKViewerLayer::SelectionFrame(int32 view) const {
    YKAutolock guard(mHierarchyLock);
    if (!IsSlot(view) || mViewers[view].composition == nullptr || mSelection == nullptr) {
        return YKRect<int32>::None();
    }
    const YKRect<int32> frame = mSelection->Frame() & mViewers[view].composition->Frame();
    return frame.IsValid() ? frame : YKRect<int32>::None();
}

// --- Lasso points ---

void YKViewerLayer::AddFreeHandSelectionPoint(YKPoint<double> point) {
    YKAutolock guard(mHierarchyLock);
    mFreeHandPoints.AddItem(point);
}

void YKViewerLayer::DeleteFreeHandSelectionPoints() {
    YKAutolock guard(mHierarchyLock);
    mFreeHandPoints.MakeEmpty();
}

// --- Building masks ---

std::unique_ptr<YKBitmap> YKViewerLayer::CreateRectangleSelection(YKRect<int32> rect) const {
    return yk_selection::Rectangle(rect, mCanvas);
}

std::unique_ptr<YKBitmap> YKViewerLayer::CreateEllipsisSelection(YKRect<int32> rect,
                                                                 bool antialias) const {
    return yk_selection::Ellipse(rect, mCanvas, antialias);
}

std::unique_ptr<YKBitmap> YKViewerLayer::CreateFreehandSelection(YKRect<int32>,
                                                                 bool antialias) const {
    YKAutolock guard(mHierarchyLock);
    std::vector<YKPoint<double>> points;
    points.reserve(static_cast<size_t>(mFreeHandPoints.CountItems()));
    for (int32 i = 0; i < mFreeHandPoints.CountItems(); ++i) {
        points.push_back(mFreeHandPoints.ItemAt(i));
    }
    return yk_selection::Polygon(points, mCanvas, antialias);
}

std::unique_ptr<YKBitmap> YKViewerLayer::CreateMagicWandSelection(YKPoint<int32> point,
                                                                  int32 tolerance) {
    YKAutolock guard(mHierarchyLock);
    return yk_selection::MagicWand(Bitmap(ViewerID()), point, tolerance, mCanvas);
}

void YKViewerLayer::FeatherSelection(int32 radius) {
    YKAutolock guard(mHierarchyLock);
    if (mSelection != nullptr && radius > 0) {
        ReplaceSelection(yk_selection::Feather(mSelection.get(), radius, mCanvas));
    }
}

void YKViewerLayer::FeatherSelection(std::unique_ptr<YKBitmap>& mask, int32 radius) const {
    if (mask != nullptr && radius > 0) {
        mask = yk_selection::Feather(mask.get(), radius, mCanvas);
    }
}

bool YKViewerLayer::ConvertObjectToSelection() {
    YKAutolock guard(mHierarchyLock);
    if (mCurrentUserLayer == nullptr) {
        return false;
    }
    YKBitmap pixels("objects");
    for (YKLayer* object : SelectedObjects(ViewerID(), mCurrentUserLayer)) {
        YKLayer* placed = Placed(object);
        placed->ComposeLayer(&pixels, placed->Frame() & mCanvas);
    }
    std::unique_ptr<YKBitmap> mask = yk_selection::AlphaOf(&pixels, mCanvas);
    if (mask == nullptr) {
        return false;
    }
    ReplaceSelection(std::move(mask));
    return true;
}

bool YKViewerLayer::ConvertLayerToSelection() {
    YKAutolock guard(mHierarchyLock);
    if (mCurrentUserLayer == nullptr) {
        return false;
    }
    YKBitmap pixels("layer");
    mCurrentUserLayer->ComposeLayer(&pixels, mCanvas);
    std::unique_ptr<YKBitmap> mask = yk_selection::AlphaOf(&pixels, mCanvas);
    if (mask == nullptr) {
        return false;
    }
    ReplaceSelection(std::move(mask));
    return true;
}

// --- Crop ---

bool YKViewerLayer::CropSelectedObject(int32 view) {
    YKViewerStep step(*this);
    if (mSelection == nullptr || mCurrentUserLayer == nullptr) {
        return false;
    }
    std::vector<YKUndoItem*> records;
    for (YKLayer* object : SelectedObjects(view, mCurrentUserLayer)) {
        if (!object->InheritsFrom("YKBitmapLayer")) {
            continue;
        }
        auto* bitmap = static_cast<YKBitmapLayer*>(object);
        if (std::unique_ptr<YKBitmapLayer::CropState> before =
                bitmap->CropToSelection(mSelection.get())) {
            records.push_back(new YKUndoCropObject(bitmap, std::move(before)));
        }
    }
    for (size_t i = 0; i < records.size(); ++i) {
        AddUndoItem(records[i], i + 1 == records.size());
    }
    return !records.empty();
}
