#include "YKInfoCommand.h"

#include <cmath>
#include <cstring>
#include <optional>
#include <string>

#include "YKCliDocument.h"
#include "YKCliReport.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKJsonText.h"
#include "YKLayer.h"
#include "YKRasterLayer.h"
#include "YKStdoutAside.h"
#include "YKUserLayer.h"
#include "YKViewerLayer.h"

namespace {

// The most specific of the kinds this tool knows: each derived kind before its base.
const char* LayerClass(const YKLayer* layer) {
    for (const char* name : {"YKUserLayer", "YKCacheLayer", "YKRasterLayer", "YKBitmapLayer",
                             "YKPaintLayer", "YK3DLayer", "YKObjectLayer", "YKEffectLayer"}) {
        if (layer->InheritsFrom(name)) {
            return name;
        }
    }
    return "YKLayer";
}

// What a vector-object layer holds, as its tool names it ("Rectangle" …); null for other layers.
const char* LayerKind(const YKLayer* layer) {
    return layer->InheritsFrom("YKRasterLayer") ? static_cast<const YKRasterLayer*>(layer)->Type()
                                                : nullptr;
}

const char* LayerName(const YKLayer* layer) {
    return layer->InheritsFrom("YKUserLayer") ? static_cast<const YKUserLayer*>(layer)->Name()
                                              : nullptr;
}

std::string ColorText(yk_color color) {
    char text[9];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X", color.red, color.green, color.blue,
                  color.alpha);
    return text;
}

// Sizes count both edges; a canvas without area reads 0.
int64 Side(int32 low, int32 high) {
    return high >= low ? int64{high} - low + 1 : 0;
}

// A duration as a JSON number (a damaged file may hold one that JSON cannot write).
std::string NumberText(float value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

}  // namespace

int YKInfoCommand::Run(int argc, char** argv) {
    const char* path = nullptr;
    bool json = false;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) {
            json = true;
        } else if (path == nullptr && argv[i][0] != '-') {
            path = argv[i];
        } else {
            std::fprintf(mErr, "gravik-cli: info: unexpected argument \"%s\"\n", argv[i]);
            return 2;
        }
    }
    if (path == nullptr) {
        std::fputs("gravik-cli: info takes one FILE\n", mErr);
        return 2;
    }

    // The loaders' diagnostics must not land in the middle of the JSON.
    std::optional<YKStdoutAside> aside;
    if (json) {
        aside.emplace();
        mOut = aside->Stream();
    }
    YKDispatcher dispatcher;
    YKDocument* document = YKOpenForCommand(path, &dispatcher);
    if (document == nullptr) {
        return 1;
    }
    YKViewerLayer* root = document->ViewerLayer();
    root->LockHirarchy();
    if (json) {
        PrintJson(document);
    } else {
        PrintText(document);
    }
    root->UnlockHirarchy();
    return 0;
}

// --- Text ---

void YKInfoCommand::PrintText(YKDocument* document) const {
    const YKRect<int32> frame = document->Frame();
    const YKEnvelopManager* envelopes = document->EnvelopManager();
    std::fprintf(mOut, "name: %s\n", YKJsonQuoted(document->Name()).c_str());
    std::fprintf(mOut, "canvas: %d, %d, %d, %d (%lld x %lld)\n", frame.left, frame.top, frame.right,
                 frame.bottom, static_cast<long long>(Side(frame.left, frame.right)),
                 static_cast<long long>(Side(frame.top, frame.bottom)));
    std::fprintf(mOut, "background: %s\n", ColorText(document->BackgroundColor()).c_str());
    std::fprintf(mOut, "frames: %d\n", envelopes->MaxFrame());
    for (int32 frameNumber = 1; frameNumber <= envelopes->MaxFrame(); ++frameNumber) {
        std::fprintf(mOut, "  frame %d: %s/100 s\n", frameNumber,
                     NumberText(envelopes->FrameDuration(frameNumber)).c_str());
    }
    std::fprintf(mOut, "ids: object %d, layer %d, unique %d\n", document->LastObjectID(),
                 document->LastLayerID(), document->LastUniqueID());
    std::fputs("layers:\n", mOut);
    const YKLayer* root = document->ViewerLayer();
    for (int32 i = 0; i < root->CountChildren(); ++i) {
        PrintLayerText(root->ChildAt(i), 1);
    }
}

void YKInfoCommand::PrintLayerText(const YKLayer* layer, int depth) const {
    std::fprintf(mOut, "%*s%s id %d%s%s", depth * 2, "", LayerClass(layer), layer->ID(),
                 layer->IsHidden() ? " hidden" : "", layer->IsLocked() ? " locked" : "");
    if (const char* kind = LayerKind(layer)) {
        std::fprintf(mOut, " kind %s", YKJsonQuoted(kind).c_str());
    }
    if (const char* name = LayerName(layer)) {
        std::fprintf(mOut, " name %s", YKJsonQuoted(name).c_str());
    }
    std::fputc('\n', mOut);
    for (int32 i = 0; i < layer->CountChildren(); ++i) {
        PrintLayerText(layer->ChildAt(i), depth + 1);
    }
}

// --- JSON ---

void YKInfoCommand::PrintJson(YKDocument* document) const {
    const YKRect<int32> frame = document->Frame();
    const YKEnvelopManager* envelopes = document->EnvelopManager();
    std::fprintf(mOut, "{\"name\":%s,", YKJsonQuoted(document->Name()).c_str());
    std::fprintf(mOut,
                 "\"canvas\":{\"left\":%d,\"top\":%d,\"right\":%d,\"bottom\":%d,"
                 "\"width\":%lld,\"height\":%lld},",
                 frame.left, frame.top, frame.right, frame.bottom,
                 static_cast<long long>(Side(frame.left, frame.right)),
                 static_cast<long long>(Side(frame.top, frame.bottom)));
    std::fprintf(mOut, "\"background\":\"%s\",", ColorText(document->BackgroundColor()).c_str());
    std::fprintf(mOut, "\"frames\":{\"count\":%d,\"durations\":[", envelopes->MaxFrame());
    for (int32 frameNumber = 1; frameNumber <= envelopes->MaxFrame(); ++frameNumber) {
        std::fprintf(mOut, "%s%s", frameNumber > 1 ? "," : "",
                     NumberText(envelopes->FrameDuration(frameNumber)).c_str());
    }
    std::fprintf(mOut, "]},\"ids\":{\"object\":%d,\"layer\":%d,\"unique\":%d},\"layers\":[",
                 document->LastObjectID(), document->LastLayerID(), document->LastUniqueID());
    const YKLayer* root = document->ViewerLayer();
    for (int32 i = 0; i < root->CountChildren(); ++i) {
        if (i > 0) {
            std::fputc(',', mOut);
        }
        PrintLayerJson(root->ChildAt(i));
    }
    std::fputs("]}\n", mOut);
}

void YKInfoCommand::PrintLayerJson(const YKLayer* layer) const {
    std::fprintf(mOut, "{\"class\":\"%s\",\"id\":%d,\"hidden\":%s,\"locked\":%s,",
                 LayerClass(layer), layer->ID(), layer->IsHidden() ? "true" : "false",
                 layer->IsLocked() ? "true" : "false");
    if (const char* kind = LayerKind(layer)) {
        std::fprintf(mOut, "\"kind\":%s,", YKJsonQuoted(kind).c_str());
    }
    if (const char* name = LayerName(layer)) {
        std::fprintf(mOut, "\"name\":%s,", YKJsonQuoted(name).c_str());
    }
    std::fputs("\"children\":[", mOut);
    for (int32 i = 0; i < layer->CountChildren(); ++i) {
        if (i > 0) {
            std::fputc(',', mOut);
        }
        PrintLayerJson(layer->ChildAt(i));
    }
    std::fputs("]}", mOut);
}
