#include "YKTextAttributes.h"

#include <algorithm>
#include <cmath>

#include "YKBitmapRoster.h"
#include "YKDash.h"
#include "YKEnvelopKinds.h"
#include "YKEnvelopManager.h"
#include "YKFontDataFreetype.h"
#include "YKGradientBuffer.h"
#include "YKGradientContainer.h"
#include "YKSketcher.h"
#include "YKVectorAttributes.h"
#include "YKVectorEntity.h"
#include "yk_paint_setup_internal.h"

namespace {

template <typename Envelop, typename Value>
std::unique_ptr<Envelop> NewEnvelop(int32 id, const char* name, const Value& value) {
    auto envelope = std::make_unique<Envelop>(id, name);
    envelope->SetValue(value, 1);
    return envelope;
}

template <typename Envelop>
std::unique_ptr<Envelop> Duplicate(const std::unique_ptr<Envelop>& envelope, int32 id) {
    if (envelope == nullptr) {
        return nullptr;
    }
    std::unique_ptr<Envelop> copy(envelope->Duplicate());
    copy->SetOwner(id);
    return copy;
}

template <typename Envelop, typename Value>
Value ValueOr(const std::unique_ptr<Envelop>& envelope, Value fallback) {
    return envelope != nullptr ? envelope->Value() : fallback;
}

// Writing an equal value would add a key frame at the current frame.
template <typename Envelop, typename Value>
void SetIfDiffers(Envelop* envelope, const Value& value) {
    if (!(envelope->Value() == value)) {
        envelope->SetValue(value);
    }
}

// Non-finite values count as `fallback`; the others are brought into [low, high].
double Clamped(double value, double low, double high, double fallback) {
    return std::isfinite(value) ? std::clamp(value, low, high) : fallback;
}

}  // namespace

YKTextAttributes::YKTextAttributes(int32 id, YKEnvelopManager* manager) : mManager(manager) {
    sizeH = NewEnvelop<YKEnvelopDouble>(id, "fsize_h", 12.0);
    sizeV = NewEnvelop<YKEnvelopDouble>(id, "fsize_v", 12.0);
    flipH = NewEnvelop<YKEnvelopBool>(id, "flip_h", false);
    flipV = NewEnvelop<YKEnvelopBool>(id, "flip_v", false);
    spacing = NewEnvelop<YKEnvelopDouble>(id, "spacing", 0.0);
    shearing = NewEnvelop<YKEnvelopDouble>(id, "shearing", 0.0);
    outlineColor = NewEnvelop<YKEnvelopColor>(id, "stroke_color", yk_color{0, 0, 0, 255});
    outlinePatternAlpha = NewEnvelop<YKEnvelopDouble>(id, "stroke_pattern_alpha", 0.0);
    outlineWidth = NewEnvelop<YKEnvelopDouble>(id, "width", 0.0);
    fillColor = NewEnvelop<YKEnvelopColor>(id, "fill_color", yk_color{0, 0, 0, 255});
    fillPatternAlpha = NewEnvelop<YKEnvelopDouble>(id, "fill_pattern_alpha", 0.0);
    registerEnvelopes();
}

std::unique_ptr<YKTextAttributes> YKTextAttributes::Clone(int32 id,
                                                          YKEnvelopManager* manager) const {
    std::unique_ptr<YKTextAttributes> copy(new YKTextAttributes());
    copy->mManager = manager;
    copy->sizeH = Duplicate(sizeH, id);
    copy->sizeV = Duplicate(sizeV, id);
    copy->breakRotation = breakRotation;
    copy->flipH = Duplicate(flipH, id);
    copy->flipV = Duplicate(flipV, id);
    copy->direction = direction;
    copy->spacing = Duplicate(spacing, id);
    copy->shearing = Duplicate(shearing, id);
    if (font != nullptr) {
        copy->font = std::make_unique<YKFontDataFreetype>(font->Description().c_str());
    }
    copy->outlineColorFlag = outlineColorFlag;
    copy->outlineColor = Duplicate(outlineColor, id);
    copy->outlinePatternName = outlinePatternName;
    copy->holdPattern(outlinePatternName, nullptr);
    copy->outlinePatternAlpha = Duplicate(outlinePatternAlpha, id);
    copy->outlinePatternLock = outlinePatternLock;
    if (strokeGradient != nullptr) {
        copy->strokeGradient = std::make_unique<YKGradientContainer>(*strokeGradient);
    }
    copy->outlineWidth = Duplicate(outlineWidth, id);
    if (outlineDash != nullptr) {
        copy->outlineDash = std::make_unique<YKDash>(*outlineDash);
    }
    copy->fillColorFlag = fillColorFlag;
    copy->fillColor = Duplicate(fillColor, id);
    copy->fillPatternName = fillPatternName;
    copy->holdPattern(fillPatternName, nullptr);
    copy->fillPatternAlpha = Duplicate(fillPatternAlpha, id);
    copy->fillPatternLock = fillPatternLock;
    if (fillGradient != nullptr) {
        copy->fillGradient = std::make_unique<YKGradientContainer>(*fillGradient);
    }
    copy->registerEnvelopes();
    return copy;
}

namespace {

template <typename Record, typename Visit>
void ForEachEnvelop(Record& r, Visit visit) {
    for (YKEnvelop* envelope :
         {static_cast<YKEnvelop*>(r.sizeH.get()), static_cast<YKEnvelop*>(r.sizeV.get()),
          static_cast<YKEnvelop*>(r.flipH.get()), static_cast<YKEnvelop*>(r.flipV.get()),
          static_cast<YKEnvelop*>(r.spacing.get()), static_cast<YKEnvelop*>(r.shearing.get()),
          static_cast<YKEnvelop*>(r.outlineColor.get()),
          static_cast<YKEnvelop*>(r.outlinePatternAlpha.get()),
          static_cast<YKEnvelop*>(r.outlineWidth.get()), static_cast<YKEnvelop*>(r.fillColor.get()),
          static_cast<YKEnvelop*>(r.fillPatternAlpha.get())}) {
        if (envelope != nullptr) {
            visit(envelope);
        }
    }
}

}  // namespace

void YKTextAttributes::registerEnvelopes() {
    if (mManager != nullptr) {
        ForEachEnvelop(*this, [this](YKEnvelop* envelope) { mManager->AddEnvelop(envelope); });
    }
}

YKTextAttributes::~YKTextAttributes() {
    for (const std::string& name : mRosterUsers) {
        YKBitmapRoster::Default().DeleteBitmap(name.c_str());
    }
    // The manager must not keep pointers to envelopes about to be deleted.
    if (mManager != nullptr) {
        ForEachEnvelop(*this, [this](YKEnvelop* envelope) { mManager->RemoveEnvelop(envelope); });
    }
}

void YKTextAttributes::holdPattern(const std::string& name, const YKMessage* buffer) {
    if (yk_paint::HoldPattern(name, buffer)) {
        mRosterUsers.push_back(name);
    }
}

// --- Values ---

double YKTextAttributes::SizeH() const {
    return Clamped(ValueOr(sizeH, 12.0), kMinSize, kMaxSize, 12.0);
}

double YKTextAttributes::SizeV() const {
    return Clamped(ValueOr(sizeV, 12.0), kMinSize, kMaxSize, 12.0);
}

double YKTextAttributes::Spacing() const {
    return Clamped(ValueOr(spacing, 0.0), -kMaxSpacing, kMaxSpacing, 0.0);
}

double YKTextAttributes::Shearing() const {
    return Clamped(ValueOr(shearing, 0.0), -kMaxShearing, kMaxShearing, 0.0);
}

double YKTextAttributes::OutlineWidth() const {
    // As wide as the largest em: a wider outline would only be a blot.
    return Clamped(ValueOr(outlineWidth, 0.0), 0.0, kMaxSize * 96 / 72, 0.0);
}

bool YKTextAttributes::FlipH() const {
    return ValueOr(flipH, false);
}

bool YKTextAttributes::FlipV() const {
    return ValueOr(flipV, false);
}

std::string YKTextAttributes::FontDescription() const {
    return font != nullptr ? font->Description() : std::string();
}

void YKTextAttributes::ApplyToFont(double rotation) const {
    if (font == nullptr) {
        return;
    }
    font->SetSize(SizeH(), SizeV());
    font->SetDirection(direction);
    font->SetSpacing(Spacing());
    font->SetShearing(Shearing());
    font->SetRotation(std::isfinite(rotation) ? rotation : 0.0);
}

// --- Paint ---

void YKTextAttributes::SetupPaint(YKSketcher* sketcher, YKRect<double> box, YKRect<double> bounds,
                                  double globalAngle, YKPoint<double> globalCenter,
                                  std::unique_ptr<YKGradientBuffer>* strokeBuffer,
                                  std::unique_ptr<YKGradientBuffer>* fillBuffer) const {
    // A locked pattern turns with the text about the centre of its box.
    const yk_paint::Placement placement{box,
                                        bounds,
                                        {(box.left + box.right) / 2, (box.top + box.bottom) / 2},
                                        globalAngle,
                                        globalCenter};
    const yk_paint::Side outline{outlineColorFlag,   ValueOr(outlineColor, yk_color{0, 0, 0, 255}),
                                 outlinePatternName, ValueOr(outlinePatternAlpha, 0.0),
                                 outlinePatternLock, strokeGradient.get()};
    sketcher->SetStrokeStyle(yk_paint::Apply(sketcher, outline, true, placement, strokeBuffer));
    const yk_paint::Side fill{fillColorFlag,   ValueOr(fillColor, yk_color{0, 0, 0, 255}),
                              fillPatternName, ValueOr(fillPatternAlpha, 0.0),
                              fillPatternLock, fillGradient.get()};
    sketcher->SetFillStyle(yk_paint::Apply(sketcher, fill, false, placement, fillBuffer));
    sketcher->SetStrokeDash(outlineDash.get());
    sketcher->SetWidth(OutlineWidth());
    sketcher->SetLineMode(4, 4, 3, 10.0);
}

bool YKTextAttributes::PatternLock() const {
    return !yk_paint::UnlockedPattern(outlineColorFlag, outlinePatternName, outlinePatternLock) &&
           !yk_paint::UnlockedPattern(fillColorFlag, fillPatternName, fillPatternLock);
}

// --- Attribute records ---

void YKTextAttributes::Get(YKVectorAttributes* a) const {
    a->strokeDiffers = false;
    a->widthDiffers = false;
    a->dashDiffers = false;
    a->fillDiffers = false;
    a->strokeColorFlag = outlineColorFlag;
    a->strokeColor = ValueOr(outlineColor, yk_color{0, 0, 0, 255});
    a->strokePatternName = outlinePatternName;
    a->strokePatternAlpha = ValueOr(outlinePatternAlpha, 0.0);
    a->strokePatternLock = outlinePatternLock;
    a->strokeGradient = strokeGradient.get();
    a->width = ValueOr(outlineWidth, 0.0);
    a->dash = outlineDash.get();
    a->fillColorFlag = fillColorFlag;
    a->fillColor = ValueOr(fillColor, yk_color{0, 0, 0, 255});
    a->fillPatternName = fillPatternName;
    a->fillPatternAlpha = ValueOr(fillPatternAlpha, 0.0);
    a->fillPatternLock = fillPatternLock;
    a->fillGradient = fillGradient.get();
    a->textFlipH = FlipH();
    a->textFlipV = FlipV();
    a->textDirection = direction;
    a->textSpacing = ValueOr(spacing, 0.0);
    a->textShearing = ValueOr(shearing, 0.0);
    a->textSizeH = ValueOr(sizeH, 12.0);
    a->textSizeV = ValueOr(sizeV, 12.0);
}

void YKTextAttributes::Set(const YKVectorAttributes& a) {
    outlineColorFlag = a.strokeColorFlag;
    SetIfDiffers(outlineColor.get(), a.strokeColor);
    if (a.strokePatternName != outlinePatternName) {
        outlinePatternName = a.strokePatternName.substr(0, kOutlinePatternNameSize - 1);
        holdPattern(outlinePatternName, nullptr);
    }
    SetIfDiffers(outlinePatternAlpha.get(), a.strokePatternAlpha);
    outlinePatternLock = a.strokePatternLock;
    strokeGradient = a.strokeGradient != nullptr
                         ? std::make_unique<YKGradientContainer>(*a.strokeGradient)
                         : nullptr;
    SetIfDiffers(outlineWidth.get(), a.width);
    outlineDash = a.dash != nullptr ? std::make_unique<YKDash>(*a.dash) : nullptr;
    fillColorFlag = a.fillColorFlag;
    SetIfDiffers(fillColor.get(), a.fillColor);
    if (a.fillPatternName != fillPatternName) {
        fillPatternName = a.fillPatternName.substr(0, kFillPatternNameSize - 1);
        holdPattern(fillPatternName, nullptr);
    }
    SetIfDiffers(fillPatternAlpha.get(), a.fillPatternAlpha);
    fillPatternLock = a.fillPatternLock;
    fillGradient = a.fillGradient != nullptr
                       ? std::make_unique<YKGradientContainer>(*a.fillGradient)
                       : nullptr;
    SetIfDiffers(flipH.get(), a.textFlipH);
    SetIfDiffers(flipV.get(), a.textFlipV);
    direction = a.textDirection;
    SetIfDiffers(spacing.get(), a.textSpacing);
    SetIfDiffers(shearing.get(), a.textShearing);
    SetIfDiffers(sizeH.get(), a.textSizeH);
    SetIfDiffers(sizeV.get(), a.textSizeV);
}
