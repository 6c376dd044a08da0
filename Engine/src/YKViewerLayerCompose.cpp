// The viewer layer's compositions: one 32-bit bitmap per view over the canvas, the layers
// composed into it, and the copies handed to exports.

#include "YKAutolock.h"
#include "YKBitmap.h"
#include "YKCacheLayer.h"
#include "YKDrawBitmap.h"
#include "YKObjectLayer.h"
#include "YKRaster.h"
#include "YKViewerLayer.h"
#include "YKViewerLayer_internal.h"

YKRect<int32> YKViewerLayer::CanvasFrame() const {
    YKAutolock guard(mHierarchyLock);
    return mCanvas;
}

void YKViewerLayer::SetCanvasFrame(YKRect<int32> frame) {
    YKAutolock guard(mHierarchyLock);
    mCanvas = frame;
    for (Viewer& viewer : mViewers) {
        if (viewer.used) {
            viewer.composition = NewComposition();
        }
    }
    // Layers outside the old canvas may show now: everything is composed again.
    InvalidateLayer(frame, true, this);
}

std::unique_ptr<YKDrawBitmap> YKViewerLayer::NewComposition() const {
    auto bitmap = std::make_unique<YKDrawBitmap>("composition");
    // The frame stays the canvas, so merging a layer that reaches beyond it cannot grow it.
    bitmap->InitFrame(mCanvas);
    bitmap->LockFrame();
    return bitmap;
}

YKBitmap* YKViewerLayer::Bitmap(int32 index) const {
    if (!IsSlot(index)) {
        return nullptr;
    }
    YKAutolock guard(mHierarchyLock);
    return mViewers[index].composition.get();
}

void YKViewerLayer::ComposeLayers(YKRect<int32> rect, int32 view) {
    YKAutolock guard(mHierarchyLock);
    YKBitmap* composition = IsSlot(view) ? mViewers[view].composition.get() : nullptr;
    rect = rect & mCanvas;
    if (composition == nullptr || !rect.IsValid()) {
        return;
    }
    composition->Erase(rect);
    // Layers hidden in one view show in another: the question is asked for this view.
    const int32 current = mCurrentViewer;
    mCurrentViewer = view;
    ComposeInto(composition, rect);
    mCurrentViewer = current;
}

void YKViewerLayer::ComposeInto(YKBitmap* target, YKRect<int32> rect) {
    YKAutolock guard(mHierarchyLock);
    bool clear = true;
    for (int32 i = 0; i < CountChildren(); ++i) {
        YKLayer* layer = ChildAt(i);
        if (layer->IsHidden() || !layer->Frame().Intersects(rect)) {
            continue;
        }
        if (clear && layer->InheritsFrom("YKCacheLayer")) {
            static_cast<YKCacheLayer*>(layer)->ComposeLayerOntoClear(target, rect);
        } else {
            layer->ComposeLayer(target, rect);
        }
        clear = false;
    }
}

YKRaster* YKViewerLayer::RenderPicture(YKRect<int32> rect, uint32 background) {
    YKAutolock guard(mHierarchyLock);
    rect = rect & mCanvas;
    if (!rect.IsValid()) {
        return nullptr;
    }
    const std::unique_ptr<YKDrawBitmap> picture = NewComposition();
    ComposeInto(picture.get(), rect);
    // The pixels no layer covers stay 0, which the writers crop and key on.
    if ((background >> 24) == 0) {
        return picture->Raster(rect);
    }
    auto* raster = new YKRaster(rect, "picture");
    picture->SetBoardColor(background, false);
    picture->DrawIn(raster, rect);
    return raster;
}

void YKViewerLayer::SetPreviewMode(int32 mode) {
    YKViewerStep step(*this);
    for (YKLayer* layer = IterateHirarchyToNext("YKObjectLayer", this); layer != nullptr;
         layer = layer->IterateHirarchyToNext("YKObjectLayer", this)) {
        static_cast<YKObjectLayer*>(layer)->SetPreviewMode(mode);
    }
}

YKBitmap* YKViewerLayer::ExportBitmap(int32 view) const {
    YKAutolock guard(mHierarchyLock);
    const YKBitmap* composition = Bitmap(view);
    return composition != nullptr ? new YKBitmap(*composition) : nullptr;
}

YKRaster* YKViewerLayer::ExportRaster(int32 view) const {
    YKAutolock guard(mHierarchyLock);
    const YKBitmap* composition = Bitmap(view);
    return composition != nullptr && mCanvas.IsValid() ? composition->Raster(mCanvas) : nullptr;
}
