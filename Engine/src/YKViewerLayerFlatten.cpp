// The viewer layer's flattening and merging of user layers and objects: a set of layers is
// replaced by one new layer in a single step, and the undo record swaps the two sets back.

#include <array>

#include "YKBitmap.h"
#include "YKBitmapLayer.h"
#include "YKMessage.h"
#include "YKUndoFlattenLayer.h"
#include "YKUndoFlattenObject.h"
#include "YKUndoMergeLayer.h"
#include "YKUserLayer.h"
#include "YKViewerLayer.h"
#include "YKViewerLayer_internal.h"

namespace {

using Range = YKViewerLayer::LayerRange;

const char* FlattenName(Range range) {
    static constexpr std::array<const char*, 7> kNames = {
        "Flatten layer",     "Flatten Up",    "Flatten Down",   "Flatten To Top",
        "Flatten To Bottom", "Flatten Image", "Flatten Visible"};
    return kNames[static_cast<std::size_t>(range)];
}

const char* MergeName(Range range) {
    static constexpr std::array<const char*, 7> kNames = {
        "Merge layer",     "Merge Up",    "Merge Down",   "Merge To Top",
        "Merge To Bottom", "Merge Image", "Merge Visible"};
    return kNames[static_cast<std::size_t>(range)];
}

}  // namespace

// --- Which layers ---

std::vector<YKUserLayer*> YKViewerLayer::ConcernedLayers(YKLayer* layer, LayerRange range) {
    const int32 count = CountChildren();
    const int32 index = IndexOfChild(AsUserLayer(layer));
    const bool whole = range == LayerRange::kImage || range == LayerRange::kVisible;
    if (!whole && index < 0) {
        return {};
    }
    int32 from = 0;
    int32 to = count - 1;
    switch (range) {
        case LayerRange::kLayer:
            from = to = index;
            break;
        case LayerRange::kUp:
            from = index, to = index + 1;
            break;
        case LayerRange::kDown:
            from = index - 1, to = index;
            break;
        case LayerRange::kToTop:
            from = index;
            break;
        case LayerRange::kToBottom:
            to = index;
            break;
        case LayerRange::kImage:
        case LayerRange::kVisible:
            break;
    }
    if (from < 0 || to >= count) {
        return {};
    }
    std::vector<YKUserLayer*> layers;
    for (int32 i = from; i <= to; ++i) {
        YKUserLayer* user = AsUserLayer(ChildAt(i));
        if (user != nullptr && !(range == LayerRange::kVisible && user->IsHidden())) {
            layers.push_back(user);
        }
    }
    return layers;
}

std::vector<YKViewerLayer::LayerPlace> YKViewerLayer::PlacesOf(
    const std::vector<YKUserLayer*>& layers) {
    std::vector<LayerPlace> places;
    for (YKUserLayer* layer : layers) {
        places.push_back({layer, this, IndexOfChild(layer)});
    }
    return places;
}

// --- Replacing ---

void YKViewerLayer::ReplaceLayers(const std::vector<LayerPlace>& out,
                                  const std::vector<LayerPlace>& in) {
    YKViewerStep step(*this);
    YKLayer* current = mCurrentUserLayer;
    // From the last index down, so each index still names its layer when it is taken out.
    for (auto place = out.rbegin(); place != out.rend(); ++place) {
        if (place->parent->RemoveChild(place->layer, true) != nullptr) {
            step.Removed(place->layer->ID());
        }
    }
    for (const LayerPlace& place : in) {
        if (place.parent->AddChild(place.layer, place.index, true)) {
            step.Added(place.layer->ID());
        }
    }
    // A user layer that left the tree cannot stay current: the first one coming in takes over.
    if (mCurrentUserLayer == nullptr && current != nullptr && !in.empty()) {
        mCurrentUserLayer = current->Parent() == this ? current : AsUserLayer(in.front().layer);
    }
}

// --- Flatten ---

YKUserLayer* YKViewerLayer::FlattenLayer(YKLayer* layer, LayerRange range) {
    YKViewerStep step(*this);
    const std::vector<YKUserLayer*> layers = ConcernedLayers(layer, range);
    if (layers.empty() || (range != LayerRange::kLayer && range != LayerRange::kImage &&
                           range != LayerRange::kVisible && layers.size() < 2)) {
        return nullptr;
    }
    YKBitmap pixels("flattened");
    for (YKUserLayer* user : layers) {
        if (!user->IsHidden()) {
            user->ComposeLayer(&pixels, mCanvas);
        }
    }
    const bool whole = range == LayerRange::kImage || range == LayerRange::kVisible;
    const char* name = whole ? "Flattened Image" : "flattened layer";
    auto* result = new YKUserLayer(GetUniqueID(), name);
    const std::vector<LayerPlace> out = PlacesOf(layers);
    const LayerPlace in{result, this, out.front().index};
    ReplaceLayers(out, {in});
    // Added once the layer is in the document, so the image takes its natural place there.
    if (!pixels.IsEmpty()) {
        result->AddChild(new YKBitmapLayer(GetUniqueID(), &pixels, name), true);
    }
    MakeCurrent(result, ViewerID());
    AddUndoItem(new YKUndoFlattenLayer(out, {in}, FlattenName(range)), true);
    BroadcastMessage('lBLT');
    return result;
}

// --- Merge ---

YKUserLayer* YKViewerLayer::MergeLayer(YKLayer* layer, LayerRange range) {
    YKViewerStep step(*this);
    const std::vector<YKUserLayer*> layers = ConcernedLayers(layer, range);
    if (layers.size() < 2) {
        return nullptr;
    }
    // The result is a copy with the same ids, so the replaced layers stay whole for the undo.
    YKLayer* merged = CopyOf(layers.front(), false);
    int32 expected = layers.front()->CountHirarchyItems(nullptr, layers.front());
    for (std::size_t i = 1; i < layers.size() && merged != nullptr; ++i) {
        expected += layers[i]->CountHirarchyItems(nullptr, layers[i]) - 1;
        for (int32 j = 0; j < layers[i]->CountChildren(); ++j) {
            if (YKLayer* object = CopyOf(layers[i]->ChildAt(j), false)) {
                merged->AddChild(object, false);
            }
        }
    }
    // Merging must not lose a kind that cannot be rebuilt from its archive.
    if (merged == nullptr || merged->CountHirarchyItems(nullptr, merged) != expected) {
        delete merged;
        return nullptr;
    }
    auto* result = static_cast<YKUserLayer*>(merged);
    const std::vector<LayerPlace> out = PlacesOf(layers);
    const LayerPlace in{result, this, out.front().index};
    ReplaceLayers(out, {in});
    YKRenderNewObjects(result);
    MakeCurrent(result, ViewerID());
    AddUndoItem(new YKUndoMergeLayer(out, {in}, MergeName(range)), true);
    BroadcastMessage('lBLT');
    return result;
}

// --- Flatten an object ---

YKLayer* YKViewerLayer::FlattenObject(YKLayer* object) {
    YKViewerStep step(*this);
    if (object == nullptr || !object->InheritsFrom("YKObjectLayer") ||
        !HirarchyHasItem(object, this)) {
        return nullptr;
    }
    YKLayer* placed = Placed(object);
    YKBitmap pixels("flattened");
    placed->ComposeLayer(&pixels, placed->Frame());
    if (pixels.IsEmpty()) {
        return nullptr;
    }
    auto* flat =
        new YKBitmapLayer(GetUniqueID(), &pixels, static_cast<YKObjectLayer*>(object)->Name());
    const LayerPlace old{placed, placed->Parent(), placed->Parent()->IndexOfChild(placed)};
    const LayerPlace flattened{flat, old.parent, old.index};
    ReplaceLayers({old}, {flattened});
    AddUndoItem(new YKUndoFlattenObject(old, flattened), true);
    YKMessage message('oBLT');
    message.AddPointer("old", placed);
    message.AddPointer("new", flat);
    ForwardMessage(flat, &message);
    return flat;
}
