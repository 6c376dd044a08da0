#include "YKLayer.h"

#include <cstdint>
#include <cstring>

#include "YKDebug.h"
#include "YKEnvelopManager.h"
#include "YKMessage.h"

// Sections: construction and archive · invalidation and composition · flags and questions
// for the root · events and hit tests · frames · children · walks · frame changes,
// broadcasting and copying.

// -2 as an address: not aligned for a layer and at the very top of the address space, so no
// layer can live there, yet it is neither null nor a real layer when receivers compare.
YKLayer* const YKLayer::kRemovedMarker =
    reinterpret_cast<YKLayer*>(static_cast<std::uintptr_t>(-2));

// --- Construction and archive ---

YKLayer::YKLayer(int32 id) : mID(id) {}

YKLayer::YKLayer(const YKMessage* archive) {
    if (archive == nullptr) {
        return;
    }
    archive->FindInt32("YKL:ID", &mID);
    archive->FindBool("YKL:hidden", &mHidden);
    archive->FindBool("YKL:locked", &mLocked);
}

void YKLayer::Archive(YKMessage* message, bool deep) const {
    if (message == nullptr) {
        return;
    }
    message->AddString("Class", "YKLayer");
    message->AddInt32("YKL:ID", mID);
    message->AddBool("YKL:hidden", mHidden);
    message->AddBool("YKL:locked", mLocked);
    for (int32 i = 0; i < CountChildren(); ++i) {
        YKMessage childArchive;
        ChildAt(i)->Archive(&childArchive, deep);
        message->AddMessage("YKL:Child", &childArchive);
    }
}

YKLayer::~YKLayer() {
    // No hierarchy lock here: whoever destroys a layer owns it, and at this point the kinds'
    // overrides (the root's lock among them) are already gone.
    for (int32 i = CountChildren() - 1; i >= 0; --i) {
        delete DetachChildAt(i);
    }
}

bool YKLayer::InheritsFrom(const char* className) const {
    return className != nullptr && std::strcmp(className, "YKLayer") == 0;
}

void YKLayer::SetArchiveClass(YKMessage* message, const char* className) {
    if (message != nullptr && !message->ReplaceString("Class", className)) {
        message->AddString("Class", className);
    }
}

// --- Invalidation and composition ---

void YKLayer::InvalidateSelection(YKRect<int32> rect, bool flag, YKLayer* source) {
    if (mParent != nullptr) {
        mParent->InvalidateSelection(rect, flag, source != nullptr ? source : this);
    }
}

void YKLayer::InvalidateTopLayer(YKRect<int32> rect, bool flag, YKLayer* source) {
    if (mParent != nullptr) {
        mParent->InvalidateTopLayer(rect, flag, source != nullptr ? source : this);
    }
}

void YKLayer::InvalidateLayer(YKRect<int32> rect, bool flag, YKLayer* source) {
    TouchLayer(true);
    if (mParent != nullptr) {
        mParent->InvalidateLayer(rect, flag, source != nullptr ? source : this);
    }
}

void YKLayer::TouchLayer(bool touched) {
    mTouched = touched;
}

bool YKLayer::LayerTouched() const {
    return mTouched;
}

void YKLayer::ComposeLayer(YKBitmap* target, YKRect<int32> rect) {
    for (int32 i = 0; i < CountChildren(); ++i) {
        YKLayer* child = ChildAt(i);
        if (child->Frame().Intersects(rect)) {
            child->ComposeLayer(target, rect);
        }
    }
}

void YKLayer::SwitchFrame() {
    for (int32 i = 0; i < CountChildren(); ++i) {
        ChildAt(i)->SwitchFrame();
    }
    InvalidateLayer(Frame(), true, kRemovedMarker);
}

// --- Flags and questions for the root ---

bool YKLayer::SetFiltersOff(bool off) {
    return mParent != nullptr ? mParent->SetFiltersOff(off) : false;
}

bool YKLayer::SetFiltersOn() {
    return mParent != nullptr ? mParent->SetFiltersOn() : false;
}

void YKLayer::Hide(bool hidden) {
    mHidden = hidden;
}

bool YKLayer::IsHidden() const {
    return mHidden;
}

void YKLayer::Lock(bool locked) {
    mLocked = locked;
}

bool YKLayer::IsLocked() const {
    return mLocked || (mParent != nullptr && mParent->IsLocked());
}

YKEnvelopManager* YKLayer::EnvelopManager() const {
    return mParent != nullptr ? mParent->EnvelopManager() : nullptr;
}

int32 YKLayer::ViewerID() const {
    return mParent != nullptr ? mParent->ViewerID() : 0;
}

int32 YKLayer::PreviousFrame() const {
    return mParent != nullptr ? mParent->PreviousFrame() : 1;
}

YKLayer* YKLayer::TopParent() {
    return mParent != nullptr ? mParent->TopParent() : nullptr;
}

YKLayer* YKLayer::UserLayer() {
    return mParent != nullptr ? mParent->UserLayer() : nullptr;
}

bool YKLayer::IsUserLayerSelected(int32 viewer) const {
    return mParent != nullptr && mParent->IsUserLayerSelected(viewer);
}

bool YKLayer::IsUserLayerHidden(int32 viewer) const {
    return mParent != nullptr && mParent->IsUserLayerHidden(viewer);
}

double YKLayer::KnobSize() const {
    return mParent != nullptr ? mParent->KnobSize() : 0.0;
}

void YKLayer::SetObjectAdded() {
    if (mParent != nullptr) {
        mParent->SetObjectAdded();
    }
}

// --- Events and hit tests ---

void YKLayer::MousePoint(YKPoint<double> point, YKList<YKLayer*>* hits) {
    for (int32 i = CountChildren() - 1; i >= 0; --i) {
        if (YKLayer* destination = ChildAt(i)->MousePointDestination()) {
            destination->MousePoint(point, hits);
        }
    }
}

void YKLayer::MouseRectangle(YKRect<double> rect, YKList<YKLayer*>* hits) {
    for (int32 i = CountChildren() - 1; i >= 0; --i) {
        if (YKLayer* destination = ChildAt(i)->MouseRectangleDestination()) {
            destination->MouseRectangle(rect, hits);
        }
    }
}

bool YKLayer::MouseDown(YKPoint<double>, uint32, uint32, int32) {
    return false;
}

bool YKLayer::MouseMoved(YKPoint<double>, uint32, int32) {
    return false;
}

bool YKLayer::MouseHold(YKPoint<double>, uint32, int32) {
    return false;
}

bool YKLayer::MouseUp(YKPoint<double>, int32) {
    return false;
}

bool YKLayer::KeyDown(const char*, uint32, uint32, int32) {
    return false;
}

bool YKLayer::KeyUp(const char*, uint32, uint32, int32) {
    return false;
}

YKLayer* YKLayer::MousePointDestination() {
    return this;
}

YKLayer* YKLayer::MouseRectangleDestination() {
    return this;
}

YKLayer* YKLayer::MouseDownDestination() {
    return this;
}

YKLayer* YKLayer::MouseMovedDestination() {
    return this;
}

YKLayer* YKLayer::MouseHoldDestination() {
    return this;
}

YKLayer* YKLayer::MouseUpDestination() {
    return this;
}

YKLayer* YKLayer::KeyDownDestination() {
    return this;
}

YKLayer* YKLayer::KeyUpDestination() {
    return this;
}

// --- Frames ---

// YKRect's union skips empty operands, so starting from None() leaves None() when every
// child is empty.
YKRect<int32> YKLayer::Frame() const {
    YKRect<int32> frame = YKRect<int32>::None();
    for (int32 i = 0; i < CountChildren(); ++i) {
        frame = frame | ChildAt(i)->Frame();
    }
    return frame;
}

YKRect<int32> YKLayer::RealFrame() const {
    YKRect<int32> frame = YKRect<int32>::None();
    for (int32 i = 0; i < CountChildren(); ++i) {
        frame = frame | ChildAt(i)->RealFrame();
    }
    return frame;
}

// --- Children ---

bool YKLayer::LockHirarchy() {
    return mParent != nullptr ? mParent->LockHirarchy() : true;
}

void YKLayer::UnlockHirarchy() {
    if (mParent != nullptr) {
        mParent->UnlockHirarchy();
    }
}

bool YKLayer::AddChild(YKLayer* child, bool invalidate) {
    return AddChild(child, CountChildren(), invalidate);
}

bool YKLayer::AddChild(YKLayer* child, int32 index, bool invalidate) {
    YK_ASSERT(child != nullptr && child != this && child->mParent == nullptr);
    if (!LockHirarchy()) {
        return false;
    }
    if (!mChildren.AddItem(child, index)) {
        UnlockHirarchy();
        return false;
    }
    child->mParent = this;
    if (index == CountChildren() - 1) {
        SetObjectAdded();
    }
    if (invalidate) {
        InvalidateLayer(child->Frame(), true, child);
    }
    child->SelfAdded();
    UnlockHirarchy();
    return true;
}

YKLayer* YKLayer::DetachChildAt(int32 index) {
    YKLayer* child = mChildren.RemoveItem(index);
    if (child != nullptr) {
        // Told while still attached, so the child can reach the root (its envelope manager)
        // through this layer.
        child->SelfRemoved();
        child->mParent = nullptr;
    }
    return child;
}

YKLayer* YKLayer::RemoveChild(int32 index, bool invalidate) {
    if (!LockHirarchy()) {
        return nullptr;
    }
    YKLayer* child = DetachChildAt(index);
    if (child != nullptr && invalidate) {
        InvalidateLayer(child->Frame(), true, kRemovedMarker);
    }
    UnlockHirarchy();
    return child;
}

YKLayer* YKLayer::RemoveChild(YKLayer* child, bool invalidate) {
    // The lock is re-entrant: taking it here keeps the index valid until the removal.
    if (!LockHirarchy()) {
        return nullptr;
    }
    const int32 index = IndexOfChild(child);
    YKLayer* removed = index >= 0 ? RemoveChild(index, invalidate) : nullptr;
    UnlockHirarchy();
    return removed;
}

void YKLayer::SelfRemoved() {
    for (int32 i = 0; i < CountChildren(); ++i) {
        ChildAt(i)->SelfRemoved();
    }
}

void YKLayer::SelfAdded() {
    for (int32 i = 0; i < CountChildren(); ++i) {
        ChildAt(i)->SelfAdded();
    }
}

void YKLayer::MessageReceived(YKMessage*) {}

void YKLayer::PreSplit() {
    for (int32 i = 0; i < CountChildren(); ++i) {
        ChildAt(i)->PreSplit();
    }
}

void YKLayer::PostSplit() {
    for (int32 i = 0; i < CountChildren(); ++i) {
        ChildAt(i)->PostSplit();
    }
}

YKLayer* YKLayer::Replicate() const {
    return nullptr;
}

void YKLayer::ForwardMessage(YKLayer* source, YKMessage* message) {
    if (mParent != nullptr) {
        mParent->ForwardMessage(source, message);
    }
}

int32 YKLayer::IndexOfChild(const YKLayer* layer) const {
    return mChildren.IndexOf(const_cast<YKLayer*>(layer));
}

YKLayer* YKLayer::LayerByID(int32 id) {
    if (mID == id) {
        return this;
    }
    for (int32 i = 0; i < CountChildren(); ++i) {
        if (YKLayer* found = ChildAt(i)->LayerByID(id)) {
            return found;
        }
    }
    return nullptr;
}

void YKLayer::EmptyLayer(bool invalidate) {
    const YKRect<int32> former = Frame();
    for (int32 i = CountChildren() - 1; i >= 0; --i) {
        ChildAt(i)->EmptyLayer(false);
        delete RemoveChild(i, false);
    }
    if (invalidate && mParent != nullptr) {
        mParent->InvalidateLayer(former, true, this);
    }
}

// --- Walks ---

YKLayer* YKLayer::IterateHirarchyToNext(const YKLayer* root) {
    if (CountChildren() > 0) {
        return ChildAt(0);
    }
    for (YKLayer* layer = this; layer != root && layer->mParent != nullptr;
         layer = layer->mParent) {
        YKLayer* parent = layer->mParent;
        if (YKLayer* sibling = parent->ChildAt(parent->IndexOfChild(layer) + 1)) {
            return sibling;
        }
    }
    return nullptr;
}

YKLayer* YKLayer::IterateHirarchyToNext(const char* className, const YKLayer* root) {
    YKLayer* layer = IterateHirarchyToNext(root);
    if (className == nullptr) {
        return layer;
    }
    while (layer != nullptr && !layer->InheritsFrom(className)) {
        layer = layer->IterateHirarchyToNext(root);
    }
    return layer;
}

int32 YKLayer::CountHirarchyItems(const char* className, const YKLayer* root) {
    int32 count = 0;
    for (YKLayer* layer = this; layer != nullptr;
         layer = layer->IterateHirarchyToNext(className, root)) {
        ++count;
    }
    return count;
}

YKLayer* YKLayer::HirarchyItemAt(int32 index, const char* className, const YKLayer* root) {
    if (index < -1) {
        return nullptr;
    }
    YKLayer* layer = this;
    for (int32 i = -1; i < index && layer != nullptr; ++i) {
        layer = layer->IterateHirarchyToNext(className, root);
    }
    return layer;
}

bool YKLayer::HirarchyHasItem(const YKLayer* layer, const YKLayer* root) {
    if (layer == nullptr) {
        return false;
    }
    for (YKLayer* next = IterateHirarchyToNext(root); next != nullptr;
         next = next->IterateHirarchyToNext(root)) {
        if (next == layer) {
            return true;
        }
    }
    return false;
}

// --- Frame changes, broadcasting and copying ---

bool YKLayer::ChangeWithFrame() {
    YKEnvelopManager* manager = EnvelopManager();
    if (manager != nullptr && manager->IsObjectModified(mID, PreviousFrame(), nullptr)) {
        return true;
    }
    for (int32 i = 0; i < CountChildren(); ++i) {
        if (ChildAt(i)->ChangeWithFrame()) {
            return true;
        }
    }
    return false;
}

bool YKLayer::BroadcastMessage(YKMessage* message) {
    if (!LockHirarchy()) {
        return false;
    }
    ForwardMessage(this, message);
    UnlockHirarchy();
    return true;
}

bool YKLayer::BroadcastMessage(uint32 code) {
    YKMessage message(code);
    return BroadcastMessage(&message);
}

YKLayer& YKLayer::operator=(const YKLayer& other) {
    if (&other == this) {
        return *this;
    }
    EmptyLayer(false);
    for (int32 i = 0; i < other.CountChildren(); ++i) {
        YKLayer* copy = other.ChildAt(i)->Replicate();
        if (copy != nullptr && !AddChild(copy, false)) {
            delete copy;
        }
    }
    return *this;
}
