#include "YKVectorTextBezier.h"

#include <cmath>
#include <limits>
#include <string>

#include "YKEnvelopManager.h"
#include "YKFontDataFreetype.h"
#include "YKGradientBuffer.h"
#include "YKMessage.h"
#include "YKSketcher.h"
#include "yk_vector_geometry.h"

namespace {

constexpr const char* kPrefix = "text_";
// Each cubic piece is measured as this many chords: plenty for a caret.
constexpr int32 kChordsPerPiece = 32;

YKMessage PathArchive(const YKVectorBezier& path) {
    YKMessage archive;
    path.ArchiveIn(&archive);
    return archive;
}

YKPoint<double> CubicAt(const YKPoint<double>* c, double t) {
    const double u = 1 - t;
    const double a = u * u * u;
    const double b = 3 * u * u * t;
    const double d = 3 * u * t * t;
    const double e = t * t * t;
    return {a * c[0].x + b * c[1].x + d * c[2].x + e * c[3].x,
            a * c[0].y + b * c[1].y + d * c[2].y + e * c[3].y};
}

}  // namespace

// --- Construction ---

YKVectorTextBezier::YKVectorTextBezier(Point start, int32 id, YKEnvelopManager* manager)
    : YKVectorBezier(start, id, manager), mAtt(std::make_unique<YKTextAttributes>(id, manager)) {}

YKVectorTextBezier::YKVectorTextBezier(const YKMessage* archive, int32 id,
                                       YKEnvelopManager* manager)
    : YKVectorBezier(archive, id, manager),
      mAtt(std::make_unique<YKTextAttributes>(archive, kPrefix, id, manager)) {
    const char* text = "";
    int32 size = 0;
    archive->FindString("text_buffer", &text);
    archive->FindInt32("buf_len", &size);
    if (!mText.Load(text, size)) {
        // Too long to edit: the object is refused.
        mPoints.clear();
        mSegments.clear();
    }
    archive->FindDouble("text_break_rotation", &mAtt->breakRotation);
    if (manager != nullptr) {
        manager->ObjectModified(id);
    }
    resetBounds();
}

YKVectorTextBezier::YKVectorTextBezier(const YKVectorBezier& path)
    : YKVectorTextBezier(PathArchive(path), path.ID(), path.EnvelopManager()) {}

YKVectorTextBezier::YKVectorTextBezier(const YKMessage& archive, int32 id,
                                       YKEnvelopManager* manager)
    : YKVectorTextBezier(&archive, id, manager) {}

YKVectorTextBezier::~YKVectorTextBezier() = default;

void YKVectorTextBezier::initCopy(const YKVectorEntity* source) {
    YKVectorBezier::initCopy(source);
    const auto* text = dynamic_cast<const YKVectorTextBezier*>(source);
    mAtt = text != nullptr ? text->mAtt->Clone(mID, mManager)
                           : std::make_unique<YKTextAttributes>(mID, mManager);
    if (text != nullptr) {
        mText = text->mText;
    }
}

// --- Archive ---

void YKVectorTextBezier::ArchiveIn(YKMessage* archive) const {
    writeEntityKeys(archive, kTypeTextBezier);
    archive->AddInt32("buf_len", mText.bufferSize());
    archive->AddString("text_buffer", mText.string());
    // The sizes too, or a reloaded text would lose them.
    mAtt->WriteSizes(archive, kPrefix);
    mAtt->WriteLook(archive, kPrefix);
}

// --- Font and measures ---

void YKVectorTextBezier::rawSetFont() {
    mAtt->breakRotation = mGlobalAngle;
    mAtt->direction = true;
    if (mAtt->font != nullptr) {
        mAtt->ApplyToFont(0);
        mAtt->font->SetFlip(mAtt->FlipH(), mAtt->FlipV());
        mAtt->font->GetHeight(mText.empty() ? "|" : mText.string(), mAtt->OutlineWidth());
    }
}

double YKVectorTextBezier::advanceOf(int32 count) {
    if (mAtt->font == nullptr || count <= 0) {
        return 0;
    }
    const std::string prefix(mText.string(), static_cast<size_t>(mText.stringLen(0, count)));
    return mAtt->font->StringWidth(prefix.c_str(), mAtt->OutlineWidth());
}

void YKVectorTextBezier::resetBounds() {
    YKVectorBezier::resetBounds();
    mBoundsWidth = mAtt != nullptr ? mAtt->OutlineWidth() : 0.0;
    if (mAtt == nullptr || mAtt->font == nullptr || !mBounds.IsValid()) {
        return;
    }
    rawSetFont();
    const double grow = mAtt->font->Ascent() + mAtt->font->Descent() + mBoundsWidth / 2;
    mBounds = {mBounds.left - grow, mBounds.top - grow, mBounds.right + grow,
               mBounds.bottom + grow};
}

// --- Positions along the path ---

double YKVectorTextBezier::arcLengthAt(Point p) const {
    const PointList controls = pieces();
    double best = std::numeric_limits<double>::infinity();
    double bestLength = 0;
    double length = 0;
    for (size_t i = 0; i + 3 < controls.size(); i += 4) {
        Point from = controls[i];
        for (int32 k = 1; k <= kChordsPerPiece; ++k) {
            const Point to = CubicAt(&controls[i], static_cast<double>(k) / kChordsPerPiece);
            const Point foot = YKPointOnSeg(from, to, p);
            const double distance = YKPtDist(foot, p);
            if (distance < best) {
                best = distance;
                bestLength = length + YKPtDist(from, foot);
            }
            length += YKPtDist(from, to);
            from = to;
        }
    }
    return bestLength;
}

int32 YKVectorTextBezier::bufferIndFromPoint(Point p) {
    const int32 count = mText.stringLen();
    if (count == 0 || mAtt->font == nullptr) {
        return 0;
    }
    if (hasGlobalRotation()) {
        p = rotatePt(p, -mGlobalAngle, mGlobalCenter);
    }
    rawSetFont();
    const double s = arcLengthAt(p);
    // The last character starting at or before s; advances grow with the index.
    int32 low = 0;
    int32 high = count + 1;
    while (high - low > 1) {
        const int32 mid = (low + high) / 2;
        if (advanceOf(mid) <= s) {
            low = mid;
        } else {
            high = mid;
        }
    }
    return low;
}

// --- Editing ---

void YKVectorTextBezier::beginEdit(Point p) {
    mText.stringLen();
    mText.placeCaret(bufferIndFromPoint(p));
}

void YKVectorTextBezier::setInsertPoint(Point p) {
    mText.placeCaret(bufferIndFromPoint(p));
}

void YKVectorTextBezier::selectUpToPoint(Point p) {
    mText.setSelectionEnd(bufferIndFromPoint(p));
}

void YKVectorTextBezier::selectWordAtPoint(Point p) {
    if (mText.count() > 0) {
        mText.selectWordAt(bufferIndFromPoint(p));
    }
}

YKVectorEntity* YKVectorTextBezier::endTextEdit() {
    if (mText.stringLen() == 0) {
        return nullptr;
    }
    mSelectionState = 0;
    mModificationMode = kModeIdle;
    resetBounds();
    if (mManager != nullptr) {
        mManager->ObjectModified(mID);
    }
    return this;
}

bool YKVectorTextBezier::keyStroke(const char* key, uint32 modifiers, int32& redrawFrom) {
    const bool changed = mText.keyStroke(key, modifiers, true, redrawFrom);
    if (changed) {
        resetBounds();
    }
    return changed;
}

// --- Attributes ---

void YKVectorTextBezier::getAttributes(YKVectorAttributes* a) const {
    mAtt->Get(a);
    a->fontDescription = mAtt->FontDescription();
}

void YKVectorTextBezier::setAttributes(const YKVectorAttributes* a) {
    if (a->fontDescription.empty()) {
        return;
    }
    mAtt->Set(*a);
    if (mAtt->FontDescription() != a->fontDescription) {
        mAtt->font = std::make_unique<YKFontDataFreetype>(a->fontDescription.c_str());
    }
    rawSetFont();
    resetBounds();
    resetKnobs();
}

// --- Drawing ---

void YKVectorTextBezier::drawIn(YKSketcher* sketcher, bool antialias) {
    YKVectorEntity::drawIn(sketcher, antialias);
    std::unique_ptr<YKGradientBuffer> strokeBuffer;
    std::unique_ptr<YKGradientBuffer> fillBuffer;
    mAtt->SetupPaint(sketcher, mBox, mBounds, mGlobalAngle, mGlobalCenter, &strokeBuffer,
                     &fillBuffer);
    if (!antialias) {
        // Quick drawing: plain glyphs, unless they are plainly coloured already.
        if (mAtt->fillColorFlag != kColorFlagColor) {
            sketcher->SetFillColor({0, 0, 0, 255});
            sketcher->SetFillStyle(1);
        }
        sketcher->SetStrokeStyle(0);
    }
    sketcher->SetAntgMode(1);
    sketcher->SetClosed(sketcher->StrokeDash() == nullptr);
    YKFontData* f = mAtt->font.get();
    const PointList controls = pieces();
    if (f == nullptr || controls.empty() || mText.empty()) {
        return;
    }
    rawSetFont();
    f->SetRotation(mGlobalAngle);
    sketcher->SetFontData(f);
    YKPointList path(static_cast<int32>(controls.size()));
    for (const Point& p : controls) {
        path.AddItem(rotated(p));
    }
    // DrawString takes a writable text.
    std::vector<char> text(mText.string(), mText.string() + mText.stringLen(0, mText.count()) + 1);
    sketcher->DrawString(text.data(), &path, 0, 0);
    sketcher->SetFontData(nullptr);
}

void YKVectorTextBezier::setStrokeAndColor(yk_color color, int16 flag,
                                           const YKGradientContainer* gradient, double patternAlpha,
                                           bool patternLock, const char* patternName) {
    editLook([&](YKVectorAttributes* a) {
        YKSetStrokePaint(a, color, flag, gradient, patternAlpha, patternLock, patternName);
    });
}

void YKVectorTextBezier::setFillAndColor(yk_color color, int16 flag,
                                         const YKGradientContainer* gradient, double patternAlpha,
                                         bool patternLock, const char* patternName) {
    editLook([&](YKVectorAttributes* a) {
        YKSetFillPaint(a, color, flag, gradient, patternAlpha, patternLock, patternName);
    });
}

void YKVectorTextBezier::setWidth(double width) {
    editLook([&](YKVectorAttributes* a) { a->width = width; });
}

void YKVectorTextBezier::setDash(const YKDash* dash) {
    editLook([&](YKVectorAttributes* a) { a->dash = dash; });
}
