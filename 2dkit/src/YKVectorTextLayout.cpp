// Measuring, placing, drawing and transforming the text at a point. The font measures the
// text unturned (rotation 0); the global rotation is applied to the result like every other
// kind does, and to the glyphs when drawing.

#include <algorithm>
#include <cmath>
#include <string>

#include "YKEnvelopKinds.h"
#include "YKFontDataFreetype.h"
#include "YKGradientBuffer.h"
#include "YKSketcher.h"
#include "YKVectorText.h"
#include "YKVectorTextRun.h"

// --- Font and measures ---

void YKVectorText::rawSetFont() {
    // The font chosen while the text was empty applies once it has characters.
    if (!mPendingFont.empty() && !mText.empty()) {
        mAtt->font = std::make_unique<YKFontDataFreetype>(mPendingFont.c_str());
        mPendingFont.clear();
    }
    mAtt->breakRotation = mGlobalAngle;
    YKFontData* f = mAtt->font.get();
    if (f == nullptr) {
        return;
    }
    mAtt->ApplyToFont(0);
    f->SetFlip(mAtt->FlipH(), mAtt->FlipV());
    f->GetHeight(measured(), mAtt->OutlineWidth());
}

double YKVectorText::advanceOf(int32 count) {
    YKFontData* f = mAtt->font.get();
    if (f == nullptr || count <= 0) {
        return 0;
    }
    const std::string prefix(mText.string(), static_cast<size_t>(mText.stringLen(0, count)));
    return f->StringWidth(prefix.c_str(), mAtt->OutlineWidth());
}

void YKVectorText::updateTextBox() {
    rawSetFont();
    YKFontData* f = mAtt->font.get();
    if (f == nullptr) {
        return;
    }
    const Point o = origin();
    mTextBox.left = o.x;
    mTextBox.top = mAtt->direction ? o.y - f->Ascent() : o.y;
    mTextBox.right = mTextBox.left + f->StringWidth(mText.string(), mAtt->OutlineWidth());
    mTextBox.bottom = mTextBox.top + f->GetHeight(measured(), mAtt->OutlineWidth());
}

void YKVectorText::resetBox() {
    rawSetFont();
    const Point o = origin();
    YKFontData* f = mAtt->font.get();
    const double w = f != nullptr ? f->StringWidth(mText.string(), mAtt->OutlineWidth()) : 0.0;
    const double ascent = f != nullptr ? f->Ascent() : 0.0;
    const double descent = f != nullptr ? f->Descent() : 0.0;
    if (mAtt->direction) {
        mBox = {o.x, o.y - ascent, o.x + w, o.y + descent};
    } else {
        mBox = {o.x - ascent, o.y, o.x + descent, o.y + w};
    }
    if (mText.empty()) {
        mBox.right += 4;
    }
}

void YKVectorText::resetBounds() {
    rawSetFont();
    mBoundsWidth = mAtt->OutlineWidth();
    const Point o = origin();
    YKFontData* f = mAtt->font.get();
    YKRect<double> box = YKRect<double>::None();
    if (f != nullptr && !mText.empty()) {
        box = YKVectorTextRun(*f, mText.string(), mAtt->OutlineWidth()).bounds();
        box = {box.left + o.x, box.top + o.y, box.right + o.x, box.bottom + o.y};
    }
    // An empty text, or one of blanks only, is the caret's place.
    const double grow = box.IsValid() ? mBoundsWidth / 2 : 4.0;
    if (!box.IsValid()) {
        box = {o.x, o.y, o.x, o.y};
    }
    box = {box.left - grow, box.top - grow, box.right + grow, box.bottom + grow};
    // The box's corners are the knobs: they must lie within what is hit, also for a text
    // without ascenders or descenders.
    resetBox();
    box = {std::min(box.left, mBox.left), std::min(box.top, mBox.top),
           std::max(box.right, mBox.right), std::max(box.bottom, mBox.bottom)};
    if (hasGlobalRotation()) {
        // The font places turned glyphs half a pixel up and left without turning that shift.
        box = {box.left - 0.5, box.top - 0.5, box.right + 0.5, box.bottom + 0.5};
        makeBoundsFromRotatedRect(&box, mGlobalAngle, mGlobalCenter);
    }
    mBounds = box;
}

void YKVectorText::resetKnobs() {
    mKnobs.clear();
    for (const Point corner : {Point{mBox.left, mBox.top}, Point{mBox.right, mBox.top},
                               Point{mBox.right, mBox.bottom}, Point{mBox.left, mBox.bottom}}) {
        mKnobs.push_back(rotated(corner));
    }
}

// --- Positions ---

int32 YKVectorText::bufferIndFromPoint(Point p) {
    const int32 count = mText.stringLen();
    if (count == 0 || mAtt->font == nullptr) {
        return 0;
    }
    if (hasGlobalRotation()) {
        p = rotatePt(p, -mGlobalAngle, mGlobalCenter);
    }
    rawSetFont();
    YKFontData& f = *mAtt->font;
    const Point o = origin();
    const double width = mAtt->OutlineWidth();
    const double whole = f.StringWidth(mText.string(), width);
    const double target = mAtt->direction ? whole - (p.x - o.x) - 0.2 * mAtt->SizeH()
                                          : whole - (p.y - o.y) - 0.2 * mAtt->SizeV();
    // The widths of the tails grow as their start moves back: the last start whose tail is at
    // least the target is found by halving.
    int32 low = 0;  // its tail always counts (the answer falls back to 0)
    int32 high = count + 1;
    while (high - low > 1) {
        const int32 mid = (low + high) / 2;
        if (f.StringWidth(mText.stringAt(mid), width) >= target) {
            low = mid;
        } else {
            high = mid;
        }
    }
    return low;
}

YKVectorText::Selection YKVectorText::getSelection() {
    rawSetFont();
    Selection selection;
    YKFontData* f = mAtt->font.get();
    const double ascent = f != nullptr ? f->Ascent() : mAtt->SizeV();
    const double descent = f != nullptr ? f->Descent() : 0.0;
    const Point o = origin();
    // Along the writing direction from the origin to across it.
    const auto at = [&](double along, double across) {
        return mAtt->direction ? Point{o.x + along, o.y + across}
                               : Point{o.x + across, o.y + along};
    };
    const double caret = advanceOf(mText.caret());
    selection.caretTop = at(caret, -ascent);
    selection.caretBottom = at(caret, descent);
    if (mText.hasSelection()) {
        const Point a = at(advanceOf(mText.selectionStart()), -ascent);
        const Point b = at(advanceOf(mText.selectionStop()), descent);
        selection.rects.push_back(
            {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)});
    }
    return selection;
}

// --- Drawing ---

void YKVectorText::drawIn(YKSketcher* sketcher, bool antialias) {
    YKVectorEntity::drawIn(sketcher, antialias);
    std::unique_ptr<YKGradientBuffer> strokeBuffer;
    std::unique_ptr<YKGradientBuffer> fillBuffer;
    mAtt->SetupPaint(sketcher, mBox, mBounds, mGlobalAngle, mGlobalCenter, &strokeBuffer,
                     &fillBuffer);
    if (!antialias) {
        // Quick drawing while dragging: plain black glyphs edged in white.
        sketcher->SetFillColor({0, 0, 0, 255});
        sketcher->SetFillStyle(1);
        sketcher->SetStrokeColor({255, 255, 255, 255});
        sketcher->SetStrokeStyle(1);
        sketcher->SetStrokeDash(nullptr);
        sketcher->SetWidth(1);
    }
    sketcher->SetAntgMode(1);
    sketcher->SetClosed(sketcher->StrokeDash() == nullptr);
    // Setting the font up may replace it (a font chosen while the text was empty).
    rawSetFont();
    YKFontData* f = mAtt->font.get();
    if (f != nullptr && !mText.empty()) {
        const bool straight = std::fmod(mGlobalAngle, M_PI) <= 1e-6;
        int32 skip =
            mWriteMode && (straight || mAtt->FlipH() || mAtt->FlipV()) ? mText.redrawFrom() : 0;
        const int32 shown = visibleCharacters(sketcher->Frame(), &skip);
        // The font turns its glyphs the other way round from rotatePt.
        f->SetRotation(-mGlobalAngle);
        sketcher->SetFontData(f);
        if (skip < shown) {
            const std::string text(mText.string(), static_cast<size_t>(mText.stringLen(0, shown)));
            sketcher->DrawString(text.c_str(), rotated(origin()), skip);
        }
        sketcher->SetFontData(nullptr);
    }
    if (mRedrawPending) {
        mRedrawPending = false;
        mWriteMode = true;
    }
}

int32 YKVectorText::visibleCharacters(YKRect<int32> frame, int32* skip) {
    const int32 count = mText.count();
    if (!frame.IsValid()) {
        return count;
    }
    // The frame as the unturned text sees it, grown by the outline.
    const double margin = mAtt->OutlineWidth() + 1;
    YKRect<double> view{frame.left - margin, frame.top - margin, frame.right + 1 + margin,
                        frame.bottom + 1 + margin};
    if (hasGlobalRotation()) {
        makeBoundsFromRotatedRect(&view, -mGlobalAngle, mGlobalCenter);
    }
    const YKVectorTextRun run(*mAtt->font, mText.string(), mAtt->OutlineWidth());
    const Point o = origin();
    int32 first = count;
    int32 last = 0;
    for (int32 i = 0; i < run.count(); ++i) {
        const YKRect<double>& box = run.box(i);
        if (box.IsValid() && box.left + o.x <= view.right && box.right + o.x >= view.left &&
            box.top + o.y <= view.bottom && box.bottom + o.y >= view.top) {
            first = std::min(first, i);
            last = i + 1;
        }
    }
    *skip = std::max(*skip, first);
    return last;
}

// --- Transformations ---

void YKVectorText::draggingTo(Point point, bool flag) {
    if (mModificationMode != kModeDragging) {
        YKVectorEntity::draggingTo(point, flag);
    } else {
        Point ref;
        getDraggingRef(&ref);
        ref += mDraggingOffset;
        if (mSelectionState == 4 && !mText.empty()) {
            const Point c = mTransCenter;
            const auto scale = [](double to, double from, double center) {
                if (std::fabs(to - center) < 2) {
                    return 1.0;
                }
                const double s = (to - center) / (from - center);
                return std::isfinite(s) && s > 0 ? s : 1.0;
            };
            rawResize(scale(point.x, ref.x, c.x), scale(point.y, ref.y, c.y), false);
        } else {
            rawTranslation(point - ref);
        }
    }
    mWriteMode = false;
}

void YKVectorText::rawRotate(double angle) {
    // The glyphs only turn with the global rotation: the turn about the transformation centre
    // becomes a larger global angle, and the origin moves so that the text lands where the
    // turn takes it.
    const Point drawn = rotatePt(rotated(origin()), angle, mTransCenter);
    mGlobalAngle += angle;
    if (!mPoints.empty()) {
        mPoints[0] = rotatePt(drawn, -mGlobalAngle, mGlobalCenter);
    }
    rawSetFont();
}

void YKVectorText::rawResize(double sx, double sy, bool flag) {
    (void)flag;
    const auto scaled = [](YKEnvelopDouble* size, double s) {
        size->SetValue(
            std::clamp(size->Value() * s, YKTextAttributes::kMinSize, YKTextAttributes::kMaxSize));
    };
    if (std::isfinite(sx) && sx > 0) {
        scaled(mAtt->sizeH.get(), sx);
    }
    if (std::isfinite(sy) && sy > 0) {
        scaled(mAtt->sizeV.get(), sy);
    }
    rawSetFont();
}
