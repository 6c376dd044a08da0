// The archive of a vector object: written by ArchiveIn, read by the message constructor.
// Archives come from files, so every count is checked against what the message holds and
// geometry that indexes outside its points is dropped whole.

#include <memory>

#include "YKBitmapRoster.h"
#include "YKDash.h"
#include "YKEnvelopKinds.h"
#include "YKGradientContainer.h"
#include "YKMessage.h"
#include "YKVectorEntity.h"
#include "yk_paint_setup_internal.h"
#include "yk_vector_archive_internal.h"

namespace {

// The index of `dash` among the predefined dashes (0 for a solid stroke), or -1.
int32 PredefinedIndex(const YKDash* dash) {
    if (dash == nullptr) {
        return 0;
    }
    YKDash::InitPredefDash();
    for (int32 i = 1; i < YKDash::kPredefCount; ++i) {
        if (*YKDash::PredefDash(i) == *dash) {
            return i;
        }
    }
    return -1;
}

constexpr const char* kCustomDashKey = "seg_dash_tab";
constexpr const char* kCustomDashOffsetKey = "seg_dash_offset";

}  // namespace

// --- Writing ---

void YKVectorEntity::ArchiveIn(YKMessage* archive) const {
    writeEntityKeys(archive, Type());
}

void YKVectorEntity::writeEntityKeys(YKMessage* archive, int32 type) const {
    archive->AddInt32("object_type", type);
    archive->AddInt32("pt_nbr", static_cast<int32>(mPoints.size()));
    for (const Point& p : mPoints) {
        archive->AddDouble("pt_x", p.x);
        archive->AddDouble("pt_y", p.y);
    }
    archive->AddInt32("seg_nbr", static_cast<int32>(mSegments.size()));
    YKBitmapRoster& roster = YKBitmapRoster::Default();
    for (const YKVectorSegment& segment : mSegments) {
        archive->AddInt32("seg_begPt", segment.begin);
        archive->AddInt32("seg_endPt", segment.end);
        if (mStroke == nullptr) {
            continue;
        }
        // Every segment shares one record, written once per segment all the same.
        archive->AddInt16("seg_color_flag", mStroke->colorFlag);
        yk_archive::WriteEnvelop(archive, "seg_color", mStroke->color.get());
        archive->AddString("seg_pattern_name", mStroke->patternName);
        yk_archive::WriteEnvelop(archive, "seg_pattern_alpha", mStroke->patternAlpha.get());
        archive->AddBool("seg_pattern_lock", mStroke->patternLock);
        YKMessage gradient;
        if (mStroke->gradient != nullptr) {
            mStroke->gradient->Archive(&gradient);
            archive->AddMessage("stroke_gradient", &gradient);
        }
        yk_archive::WriteEnvelop(archive, "seg_width", mStroke->width.get());
        const int32 dash = PredefinedIndex(mStroke->dash.get());
        if (dash >= 0) {
            archive->AddInt32("seg_dash", dash);
        }
    }
    if (mStroke != nullptr) {
        YKMessage buffer;
        if (roster.ArchiveOnce(mStroke->patternName.c_str(), &buffer)) {
            archive->AddMessage("stroke_pattern_buffer", &buffer);
        }
        // A dash of the user's own making is kept as its table.
        if (PredefinedIndex(mStroke->dash.get()) < 0) {
            for (int32 i = 0; i < mStroke->dash->CountTab(); ++i) {
                archive->AddDouble(kCustomDashKey, mStroke->dash->TabAt(i));
            }
            archive->AddDouble(kCustomDashOffsetKey, mStroke->dash->Offset());
        }
    }
    archive->AddInt16("fill_color_flag", mFillColorFlag);
    if (mFillColorFlag != kColorFlagNotFillable) {
        yk_archive::WriteEnvelop(archive, "fill_color", mFillColor.get());
        archive->AddString("fill_pattern_name", mFillPatternName);
        yk_archive::WriteEnvelop(archive, "fill_pattern_alpha", mFillPatternAlpha.get());
        archive->AddBool("fill_pattern_lock", mFillPatternLock);
        YKMessage buffer;
        if (roster.ArchiveOnce(mFillPatternName.c_str(), &buffer)) {
            archive->AddMessage("fill_pattern_buffer", &buffer);
        }
        YKMessage gradient;
        if (mFillGradient != nullptr) {
            mFillGradient->Archive(&gradient);
            archive->AddMessage("fill_gradient", &gradient);
        }
    }
    archive->AddInt32("join_flag", mJoin);
    archive->AddInt32("cap_first_flag", mFirstCap);
    archive->AddInt32("cap_last_flag", mLastCap);
    archive->AddDouble("miter_limit", mMiterLimit);
    archive->AddBool("locked_flag", mLocked);
    archive->AddDouble("rot_angle", mRotAngle);
    archive->AddDouble("transCenter_x", mTransCenter.x);
    archive->AddDouble("transCenter_y", mTransCenter.y);
    archive->AddDouble("glob_rot_angle", mGlobalAngle);
    archive->AddDouble("glob_rot_center_x", mGlobalCenter.x);
    archive->AddDouble("glob_rot_center_y", mGlobalCenter.y);
}

// --- Reading ---

void YKVectorEntity::readArchive(const YKMessage* archive) {
    if (archive == nullptr) {
        return;
    }
    int32 pointCount = 0;
    archive->FindInt32("pt_nbr", &pointCount);
    for (int32 i = 0; i < pointCount; ++i) {
        Point p;
        if (!archive->FindDouble("pt_x", i, &p.x) || !archive->FindDouble("pt_y", i, &p.y)) {
            break;
        }
        mPoints.push_back(p);
    }
    int32 segmentCount = 0;
    archive->FindInt32("seg_nbr", &segmentCount);
    for (int32 i = 0; i < segmentCount; ++i) {
        YKVectorSegment segment;
        if (!archive->FindInt32("seg_begPt", i, &segment.begin) ||
            !archive->FindInt32("seg_endPt", i, &segment.end)) {
            break;
        }
        mSegments.push_back(segment);
    }
    const int32 points = static_cast<int32>(mPoints.size());
    for (const YKVectorSegment& segment : mSegments) {
        if (segment.begin < 0 || segment.end < 0 || segment.begin >= points ||
            segment.end >= points) {
            // The outline cannot be trusted: the object keeps no geometry (and is refused).
            mPoints.clear();
            mSegments.clear();
            break;
        }
    }
    readStroke(archive);
    readFill(archive);
    archive->FindInt32("join_flag", &mJoin);
    archive->FindInt32("cap_first_flag", &mFirstCap);
    archive->FindInt32("cap_last_flag", &mLastCap);
    archive->FindDouble("miter_limit", &mMiterLimit);
    archive->FindBool("locked_flag", &mLocked);
    archive->FindDouble("rot_angle", &mRotAngle);
    archive->FindDouble("transCenter_x", &mTransCenter.x);
    archive->FindDouble("transCenter_y", &mTransCenter.y);
    archive->FindDouble("glob_rot_angle", &mGlobalAngle);
    archive->FindDouble("glob_rot_center_x", &mGlobalCenter.x);
    archive->FindDouble("glob_rot_center_y", &mGlobalCenter.y);
}

void YKVectorEntity::readStroke(const YKMessage* archive) {
    mStroke = std::make_unique<YKStrokeRecord>();
    YKStrokeRecord& stroke = *mStroke;
    archive->FindInt16("seg_color_flag", &stroke.colorFlag);
    stroke.color = yk_archive::ReadEnvelop<YKEnvelopColor>(archive, "seg_color", mID,
                                                           "stroke_color", yk_color{0, 0, 0, 255});
    archive->FindString("seg_pattern_name", &stroke.patternName);
    stroke.patternAlpha = yk_archive::ReadEnvelop<YKEnvelopDouble>(
        archive, "seg_pattern_alpha", mID, "stroke_pattern_alpha", 0.0);
    archive->FindBool("seg_pattern_lock", &stroke.patternLock);
    YKMessage part;
    if (archive->FindMessage("stroke_gradient", &part)) {
        stroke.gradient = std::make_unique<YKGradientContainer>(part);
    }
    stroke.width =
        yk_archive::ReadEnvelop<YKEnvelopDouble>(archive, "seg_width", mID, "width", 0.0);
    int32 dash = 0;
    if (archive->FindInt32("seg_dash", &dash)) {
        YKDash::InitPredefDash();
        const YKDash* predefined = YKDash::PredefDash(dash);
        if (predefined != nullptr) {
            stroke.dash = std::make_unique<YKDash>(*predefined);
        }
    } else if (archive->HasDouble(kCustomDashKey)) {
        YKList<double> tab;
        double length = 0;
        for (int32 i = 0; archive->FindDouble(kCustomDashKey, i, &length); ++i) {
            tab.AddItem(length);
        }
        stroke.dash = std::make_unique<YKDash>(&tab);
        double offset = 0;
        archive->FindDouble(kCustomDashOffsetKey, &offset);
        stroke.dash->SetOffset(offset);
    }
    const bool archived = archive->FindMessage("stroke_pattern_buffer", &part);
    holdPattern(stroke.patternName, archived ? &part : nullptr);
}

void YKVectorEntity::readFill(const YKMessage* archive) {
    archive->FindInt16("fill_color_flag", &mFillColorFlag);
    if (mFillColorFlag == kColorFlagNotFillable) {
        return;
    }
    mFillColor = yk_archive::ReadEnvelop<YKEnvelopColor>(archive, "fill_color", mID, "fill_color",
                                                         yk_color{255, 255, 255, 255});
    archive->FindString("fill_pattern_name", &mFillPatternName);
    mFillPatternAlpha = yk_archive::ReadEnvelop<YKEnvelopDouble>(archive, "fill_pattern_alpha", mID,
                                                                 "fill_pattern_alpha", 0.0);
    archive->FindBool("fill_pattern_lock", &mFillPatternLock);
    YKMessage part;
    mFillGradient = archive->FindMessage("fill_gradient", &part)
                        ? std::make_unique<YKGradientContainer>(part)
                        : std::make_unique<YKGradientContainer>();
    const bool archived = archive->FindMessage("fill_pattern_buffer", &part);
    holdPattern(mFillPatternName, archived ? &part : nullptr);
}

void YKVectorEntity::holdPattern(const std::string& name, const YKMessage* buffer) {
    if (yk_paint::HoldPattern(name, buffer)) {
        mRosterUsers.push_back(name);
    }
}
