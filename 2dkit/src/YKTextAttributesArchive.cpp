// The text attributes in an archive. The text at a point writes them under plain keys, the
// text along a path under keys prefixed "text_"; the font description is "text_break_font"
// for both.

#include "YKBitmapRoster.h"
#include "YKDash.h"
#include "YKEnvelopKinds.h"
#include "YKFontDataFreetype.h"
#include "YKGradientContainer.h"
#include "YKMessage.h"
#include "YKTextAttributes.h"
#include "YKVectorEntity.h"
#include "yk_vector_archive_internal.h"

namespace {

constexpr const char* kFontKey = "text_break_font";
// A font description longer than this is no path to a file.
constexpr size_t kMaxFontDescription = 1023;

std::string Key(const std::string& prefix, const char* name) {
    return prefix + name;
}

}  // namespace

// --- Writing ---

void YKTextAttributes::WriteSizes(YKMessage* archive, const std::string& prefix) const {
    yk_archive::WriteEnvelop(archive, Key(prefix, "horizontal_size").c_str(), sizeH.get());
    yk_archive::WriteEnvelop(archive, Key(prefix, "vertical_size").c_str(), sizeV.get());
}

void YKTextAttributes::WriteLook(YKMessage* archive, const std::string& prefix) const {
    yk_archive::WriteEnvelop(archive, Key(prefix, "horizontal_flip").c_str(), flipH.get());
    yk_archive::WriteEnvelop(archive, Key(prefix, "vertical_flip").c_str(), flipV.get());
    yk_archive::WriteEnvelop(archive, Key(prefix, "spacing").c_str(), spacing.get());
    yk_archive::WriteEnvelop(archive, Key(prefix, "shearing").c_str(), shearing.get());
    archive->AddString(kFontKey, FontDescription());
    YKBitmapRoster& roster = YKBitmapRoster::Default();
    archive->AddInt16(Key(prefix, "outline_color_flag").c_str(), outlineColorFlag);
    yk_archive::WriteEnvelop(archive, Key(prefix, "outline_color").c_str(), outlineColor.get());
    archive->AddString(Key(prefix, "outline_pattern_name").c_str(), outlinePatternName);
    yk_archive::WriteEnvelop(archive, Key(prefix, "outline_pattern_alpha").c_str(),
                             outlinePatternAlpha.get());
    archive->AddBool(Key(prefix, "outline_pattern_lock").c_str(), outlinePatternLock);
    YKMessage part;
    if (roster.ArchiveOnce(outlinePatternName.c_str(), &part)) {
        archive->AddMessage(Key(prefix, "outline_pattern_buffer").c_str(), &part);
    }
    if (strokeGradient != nullptr) {
        part.MakeEmpty();
        strokeGradient->Archive(&part);
        archive->AddMessage(Key(prefix, "stroke_gradient").c_str(), &part);
    }
    yk_archive::WriteEnvelop(archive, Key(prefix, "outline_width").c_str(), outlineWidth.get());
    const int32 dash = YKDash::PredefIndex(outlineDash.get());
    if (dash >= 0) {
        archive->AddInt32(Key(prefix, "outline_dash").c_str(), dash);
    }
    archive->AddInt16(Key(prefix, "fill_color_flag").c_str(), fillColorFlag);
    yk_archive::WriteEnvelop(archive, Key(prefix, "fill_color").c_str(), fillColor.get());
    archive->AddString(Key(prefix, "fill_pattern_name").c_str(), fillPatternName);
    yk_archive::WriteEnvelop(archive, Key(prefix, "fill_pattern_alpha").c_str(),
                             fillPatternAlpha.get());
    archive->AddBool(Key(prefix, "fill_pattern_lock").c_str(), fillPatternLock);
    part.MakeEmpty();
    if (roster.ArchiveOnce(fillPatternName.c_str(), &part)) {
        archive->AddMessage(Key(prefix, "fill_pattern_buffer").c_str(), &part);
    }
    if (fillGradient != nullptr) {
        part.MakeEmpty();
        fillGradient->Archive(&part);
        archive->AddMessage(Key(prefix, "fill_gradient").c_str(), &part);
    }
}

// --- Reading ---

YKTextAttributes::YKTextAttributes(const YKMessage* archive, const std::string& prefix, int32 id,
                                   YKEnvelopManager* manager)
    : mManager(manager) {
    YKMessage part;
    const std::string h = Key(prefix, "horizontal_size");
    const std::string v = Key(prefix, "vertical_size");
    if (archive->FindMessage(h.c_str(), &part) && archive->FindMessage(v.c_str(), &part)) {
        sizeH = yk_archive::ReadEnvelop<YKEnvelopDouble>(archive, h.c_str(), id, "fsize_h", 12.0);
        sizeV = yk_archive::ReadEnvelop<YKEnvelopDouble>(archive, v.c_str(), id, "fsize_v", 12.0);
    } else {
        // Written before the sizes could be animated.
        double sizeHValue = 12;
        double sizeVValue = 12;
        if (archive->FindDouble("text_break_size", &sizeHValue)) {
            sizeVValue = sizeHValue;
        }
        archive->FindDouble("text_break_size_h", &sizeHValue);
        archive->FindDouble("text_break_size_v", &sizeVValue);
        // Under the names new texts give them, so that the timeline lists every text alike.
        sizeH = std::make_unique<YKEnvelopDouble>(id, "fsize_h");
        sizeH->SetValue(sizeHValue, 1);
        sizeV = std::make_unique<YKEnvelopDouble>(id, "fsize_v");
        sizeV->SetValue(sizeVValue, 1);
    }
    flipH = yk_archive::ReadEnvelop<YKEnvelopBool>(archive, Key(prefix, "horizontal_flip").c_str(),
                                                   id, "flip_h", false);
    flipV = yk_archive::ReadEnvelop<YKEnvelopBool>(archive, Key(prefix, "vertical_flip").c_str(),
                                                   id, "flip_v", false);
    spacing = yk_archive::ReadEnvelop<YKEnvelopDouble>(archive, Key(prefix, "spacing").c_str(), id,
                                                       "spacing", 0.0);
    shearing = yk_archive::ReadEnvelop<YKEnvelopDouble>(archive, Key(prefix, "shearing").c_str(),
                                                        id, "shearing", 0.0);
    std::string description;
    if (archive->FindString(kFontKey, &description) && !description.empty() &&
        description.size() <= kMaxFontDescription) {
        font = std::make_unique<YKFontDataFreetype>(description.c_str());
    }
    readOutline(archive, prefix, id);
    readFill(archive, prefix, id);
    registerEnvelopes();
}

void YKTextAttributes::readOutline(const YKMessage* archive, const std::string& prefix, int32 id) {
    archive->FindInt16(Key(prefix, "outline_color_flag").c_str(), &outlineColorFlag);
    const bool paint = outlineColorFlag != kColorFlagNotFillable;
    // The envelopes exist whatever the flag: the attribute panels write into them.
    outlineColor = yk_archive::ReadEnvelop<YKEnvelopColor>(
        archive, paint ? Key(prefix, "outline_color").c_str() : "", id, "stroke_color",
        yk_color{0, 0, 0, 255});
    outlinePatternAlpha = yk_archive::ReadEnvelop<YKEnvelopDouble>(
        archive, paint ? Key(prefix, "outline_pattern_alpha").c_str() : "", id,
        "stroke_pattern_alpha", 0.0);
    if (paint) {
        archive->FindString(Key(prefix, "outline_pattern_name").c_str(), &outlinePatternName);
        outlinePatternName.resize(std::min(outlinePatternName.size(), kOutlinePatternNameSize - 1));
        archive->FindBool(Key(prefix, "outline_pattern_lock").c_str(), &outlinePatternLock);
        YKMessage part;
        if (archive->FindMessage(Key(prefix, "stroke_gradient").c_str(), &part)) {
            strokeGradient = std::make_unique<YKGradientContainer>(part);
        }
        const bool archived =
            archive->FindMessage(Key(prefix, "outline_pattern_buffer").c_str(), &part);
        holdPattern(outlinePatternName, archived ? &part : nullptr);
    }
    outlineWidth = yk_archive::ReadEnvelop<YKEnvelopDouble>(
        archive, Key(prefix, "outline_width").c_str(), id, "width", 0.0);
    int32 dash = 0;
    archive->FindInt32(Key(prefix, "outline_dash").c_str(), &dash);
    YKDash::InitPredefDash();
    if (const YKDash* predefined = YKDash::PredefDash(dash)) {
        outlineDash = std::make_unique<YKDash>(*predefined);
    }
}

void YKTextAttributes::readFill(const YKMessage* archive, const std::string& prefix, int32 id) {
    archive->FindInt16(Key(prefix, "fill_color_flag").c_str(), &fillColorFlag);
    fillColor = yk_archive::ReadEnvelop<YKEnvelopColor>(archive, Key(prefix, "fill_color").c_str(),
                                                        id, "fill_color", yk_color{0, 0, 0, 255});
    archive->FindString(Key(prefix, "fill_pattern_name").c_str(), &fillPatternName);
    fillPatternName.resize(std::min(fillPatternName.size(), kFillPatternNameSize - 1));
    fillPatternAlpha = yk_archive::ReadEnvelop<YKEnvelopDouble>(
        archive, Key(prefix, "fill_pattern_alpha").c_str(), id, "fill_pattern_alpha", 0.0);
    archive->FindBool(Key(prefix, "fill_pattern_lock").c_str(), &fillPatternLock);
    YKMessage part;
    if (archive->FindMessage(Key(prefix, "fill_gradient").c_str(), &part)) {
        fillGradient = std::make_unique<YKGradientContainer>(part);
    }
    const bool archived = archive->FindMessage(Key(prefix, "fill_pattern_buffer").c_str(), &part);
    holdPattern(fillPatternName, archived ? &part : nullptr);
}
