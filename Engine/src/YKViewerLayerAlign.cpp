// The viewer layer's alignment of the selected objects by their bounding boxes.

#include <vector>

#include "YKList.h"
#include "YKObjectLayer.h"
#include "YKViewerLayer.h"
#include "YKViewerLayer_internal.h"

namespace {

constexpr int32 kAlignSelectedModes = YKObjectLayer::kModeSelected | YKObjectLayer::kModePickable;

// The object layers under `userLayer` selected in `view`, in tree order.
std::vector<YKObjectLayer*> SelectedIn(YKLayer* userLayer, int32 view) {
    std::vector<YKObjectLayer*> selected;
    for (YKLayer* layer = userLayer->IterateHirarchyToNext("YKObjectLayer", userLayer);
         layer != nullptr; layer = layer->IterateHirarchyToNext("YKObjectLayer", userLayer)) {
        auto* object = static_cast<YKObjectLayer*>(layer);
        if ((object->ObjectMode(view) & kAlignSelectedModes) != 0) {
            selected.push_back(object);
        }
    }
    return selected;
}

// The move and resize one object gets from the lining-up bits. Later checks win on their axis.
void LineUp(YKObjectLayer* object, YKRect<double> united, int32 action) {
    const YKRect<double> box = object->BoundingBox();
    const double cx = (united.left + united.right) / 2;
    const double cy = (united.top + united.bottom) / 2;
    YKPoint<double> delta{0, 0};
    YKPoint<double> size{0, 0};
    if ((action & (kAlignLeft | kEnlargeHorizontal)) != 0) {
        delta.x = united.left - box.left;
    }
    if ((action & kAlignRight) != 0) {
        delta.x = united.right - box.right;
    }
    if ((action & (kAlignTop | kEnlargeVertical)) != 0) {
        delta.y = united.top - box.top;
    }
    if ((action & kAlignBottom) != 0) {
        delta.y = united.bottom - box.bottom;
    }
    if ((action & kCenterHorizontal) != 0) {
        delta.x = cx - (box.right - box.left) / 2 - box.left;
    }
    if ((action & kCenterVertical) != 0) {
        delta.y = cy - (box.bottom - box.top) / 2 - box.top;
    }
    if ((action & kEnlargeHorizontal) != 0 && box.right - box.left != united.right - united.left) {
        size.x = united.right - united.left;
    }
    if ((action & kEnlargeVertical) != 0 && box.bottom - box.top != united.bottom - united.top) {
        size.y = united.bottom - united.top;
    }
    if (delta.x != 0 || delta.y != 0) {
        object->MoveBoundingBoxBy(delta, false);
    }
    if (size.x != 0 || size.y != 0) {
        object->ResizeBoundingBoxTo(size);
    }
}

// Sets the objects edge to edge along one axis in the order of their near edges; the first
// one stays.
void Pack(const std::vector<YKObjectLayer*>& objects, bool horizontal) {
    struct Keyed {
        double key;
        YKObjectLayer* object;
    };
    std::vector<Keyed> keyed;
    for (YKObjectLayer* object : objects) {
        const YKRect<double> box = object->BoundingBox();
        keyed.push_back({horizontal ? box.left : box.top, object});
    }
    if (keyed.empty()) {
        return;
    }
    // Keys closer than 1/256 count as equal, as the list's integer comparison has them.
    YKList<Keyed>::Quicksort(
        keyed.data(), static_cast<int32>(keyed.size()),
        [](const Keyed& a, const Keyed& b) { return static_cast<int32>((a.key - b.key) * 256); });
    double running = keyed.front().key;
    for (const Keyed& item : keyed) {
        const YKRect<double> box = item.object->BoundingBox();
        const YKPoint<double> place =
            horizontal ? YKPoint<double>{running, box.top} : YKPoint<double>{box.left, running};
        if (place.x != box.left || place.y != box.top) {
            item.object->MoveBoundingBoxTo(place);
        }
        running += horizontal ? box.right - box.left : box.bottom - box.top;
    }
}

}  // namespace

void YKViewerLayer::AlignObjects(int32 view, int32 action) {
    YKViewerStep step(*this);
    if (mCurrentUserLayer == nullptr) {
        return;
    }
    const std::vector<YKObjectLayer*> selected = SelectedIn(mCurrentUserLayer, view);
    if (selected.empty()) {
        return;
    }
    YKRect<double> united = selected.front()->BoundingBox();
    std::vector<YKObjectLayer*> movable;
    for (YKObjectLayer* object : selected) {
        const YKRect<double> box = object->BoundingBox();
        united.left = std::min(united.left, box.left);
        united.top = std::min(united.top, box.top);
        united.right = std::max(united.right, box.right);
        united.bottom = std::max(united.bottom, box.bottom);
        if (!object->IsLocked()) {
            movable.push_back(object);
        }
    }
    if ((action & (kPackHorizontal | kPackVertical)) != 0) {
        Pack(movable, (action & kPackHorizontal) != 0);
    } else {
        for (YKObjectLayer* object : movable) {
            LineUp(object, united, action);
        }
    }
    BroadcastMessage('lUTN');
}
