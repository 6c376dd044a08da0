#include "YKToolOptions.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "YKDash.h"
#include "YKObjectLayer.h"
#include "YKPaintLayer.h"
#include "YKRasterLayer.h"
#include "YKVectorAttributes.h"
#include "YKVectorEntity.h"
#include "yk_font_match.h"
#include "yk_sketch_modes.h"

namespace {

// A finite float of `options` clamped to [low, high], or `value` unchanged.
void ReadClamped(const YKMessage* options, const char* name, double low, double high,
                 double* value) {
    float found = 0;
    if (options->FindFloat(name, &found) && std::isfinite(found)) {
        *value = std::clamp(static_cast<double>(found), low, high);
    }
}

void ReadClamped(const YKMessage* options, const char* name, int32 low, int32 high, int32* value) {
    int32 found = 0;
    if (options->FindInt32(name, &found)) {
        *value = std::clamp(found, low, high);
    }
}

void ApplyToVector(const YKMessage* options, YKRasterLayer* layer) {
    YKVectorEntity* entity = layer->Entity();
    YKVectorAttributes a;
    entity->getAttributes(&a);
    ReadClamped(options, YKToolOptions::kWidth, 0.0, YKToolOptions::kMaxWidth, &a.width);
    yk_color color{};
    if (options->FindColor(YKToolOptions::kStrokeColor, &color)) {
        a.strokeColor = color;
        a.strokeColorFlag = kColorFlagColor;
    }
    bool filled = false;
    if (options->FindBool(YKToolOptions::kFilled, &filled) &&
        a.fillColorFlag != kColorFlagNotFillable) {
        a.fillColorFlag = filled ? kColorFlagColor : kColorFlagNone;
    }
    if (options->FindColor(YKToolOptions::kFillColor, &color)) {
        a.fillColor = color;
    }
    int32 dash = YKDash::PredefIndex(a.dash);
    ReadClamped(options, YKToolOptions::kDash, 0, YKDash::kPredefCount - 1, &dash);
    a.dash = YKDash::PredefDash(dash);
    ReadClamped(options, YKToolOptions::kFirstCap, YK_CAP_ROUND, YK_CAP_NAIL, &a.firstCap);
    ReadClamped(options, YKToolOptions::kLastCap, YK_CAP_ROUND, YK_CAP_NAIL, &a.lastCap);
    ReadClamped(options, YKToolOptions::kJoin, YK_JOIN_MITER, YK_JOIN_BEVEL, &a.join);
    double radius = a.rx;
    ReadClamped(options, YKToolOptions::kRadius, 0.0, YKToolOptions::kMaxRadius, &radius);
    a.rx = radius;
    a.ry = radius;
    if (entity->Type() == YKVectorEntity::kTypeText) {
        double size = a.textSizeH;
        ReadClamped(options, YKToolOptions::kFontSize, YKToolOptions::kMinFontSize,
                    YKToolOptions::kMaxFontSize, &size);
        a.textSizeH = size;
        a.textSizeV = size;
        // A text without a font would not show while it is typed, wherever it is made.
        if (!options->FindString(YKToolOptions::kFont, &a.fontDescription) ||
            a.fontDescription.empty()) {
            a.fontDescription = yk_fallback_font_path();
        }
    }
    entity->setAttributes(&a);
    layer->RedrawObject(false);
}

}  // namespace

void YKToolOptions::Apply(const YKMessage* options, YKObjectLayer* object) {
    if (object == nullptr) {
        return;
    }
    const YKMessage none;
    if (options == nullptr) {
        options = &none;
    }
    if (object->InheritsFrom("YKRasterLayer")) {
        auto* layer = static_cast<YKRasterLayer*>(object);
        if (layer->Entity() != nullptr) {
            ApplyToVector(options, layer);
        }
    } else if (object->InheritsFrom("YKPaintLayer") && options->HasMessage(kBrush)) {
        object->ExtractAttributes(options);
    }
}

void YKToolOptions::SetFloat(YKMessage* options, const char* name, float value) {
    options->RemoveName(name);
    options->AddFloat(name, value);
}

void YKToolOptions::SetInt32(YKMessage* options, const char* name, int32 value) {
    options->RemoveName(name);
    options->AddInt32(name, value);
}

void YKToolOptions::SetBool(YKMessage* options, const char* name, bool value) {
    options->RemoveName(name);
    options->AddBool(name, value);
}

void YKToolOptions::SetColor(YKMessage* options, const char* name, yk_color value) {
    options->RemoveName(name);
    options->AddColor(name, &value);
}

void YKToolOptions::SetString(YKMessage* options, const char* name, const char* value) {
    options->RemoveName(name);
    options->AddString(name, value);
}

void YKToolOptions::SetMessage(YKMessage* options, const char* name, const YKMessage& value) {
    options->RemoveName(name);
    options->AddMessage(name, &value);
}
