#include "YKFontData.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace {

uint64 NextSerial() {
    static std::atomic<uint64> last{0};
    return ++last;
}

}  // namespace

YKFontData::YKFontData() : mSerial(NextSerial()) {}

void YKFontData::SetSize(double h, double v) {
    if (h != mSizeH || v != mSizeV) {
        ShapeChanged();
    }
    mSizeH = h;
    mSizeV = v;
}

void YKFontData::SetFlip(bool h, bool v) {
    if (h != mFlipH || v != mFlipV) {
        ShapeChanged();
    }
    mFlipH = h;
    mFlipV = v;
}

void YKFontData::SetShearing(double degrees) {
    if (degrees != mShearing) {
        ShapeChanged();
    }
    mShearing = degrees;
}

void YKFontData::SetRotation(double radians) {
    if (radians != mRotation) {
        ShapeChanged();
    }
    mRotation = radians;
}

bool YKFontData::PlaceGlyphs(const char*, YKPoint<double>, int32, const PlaceGlyph&) {
    return false;
}

void YKFontData::GetGlyphContours(YKList<YKList<YKPoint<double>>*>&, uint32, YKPoint<double>) {}

YKRect<double> YKFontData::GetBoundingBox(const char* text, YKPoint<double> origin,
                                          double reserved) {
    YKList<YKList<YKPoint<double>>*> contours;
    GetGlyphOutlines(contours, text, origin, 0, reserved);
    YKRect<double> box = YKRect<double>::None();
    for (int32 i = 0; i < contours.CountItems(); ++i) {
        YKList<YKPoint<double>>* contour = contours.ItemAt(i);
        for (int32 j = 0; j < contour->CountItems(); ++j) {
            const YKPoint<double> p = contour->ItemAt(j);
            if (!box.IsValid()) {
                box = {p.x, p.y, p.x, p.y};
            }
            box = {std::min(box.left, p.x), std::min(box.top, p.y), std::max(box.right, p.x),
                   std::max(box.bottom, p.y)};
        }
        delete contour;
    }
    return box;
}

void YKFontData::PrintToStream() const {
    std::printf("font <%s> file <%s> family <%s> style <%s>\n", mDescription.c_str(), mPath.c_str(),
                mFamily.c_str(), mStyle.c_str());
    std::printf("  size %g x %g, ascent %g, descent %g, height %g\n", mSizeH, mSizeV, mAscent,
                mDescent, mHeight);
    std::printf("  %s, flip %d/%d, shearing %g deg, spacing %g%%, rotation %g rad\n",
                mDirection ? "horizontal" : "vertical", mFlipH, mFlipV, mShearing, mSpacing,
                mRotation);
}
