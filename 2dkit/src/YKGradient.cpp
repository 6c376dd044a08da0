#include "YKGradient.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <utility>

#include "YKMessage.h"

// Sections: colour models and curves; construction and the item list; colour; archive.

namespace {

using Color = YKGradientItem::Color;

constexpr const char* kCountKey = "grad_num_item";
constexpr const char* kLeftKey = "grad_item_left";
constexpr const char* kMiddleKey = "grad_item_middle";
constexpr const char* kRightKey = "grad_item_right";
constexpr const char* kColorKeys[8] = {"grad_item_r0", "grad_item_g0", "grad_item_b0",
                                       "grad_item_a0", "grad_item_r1", "grad_item_g1",
                                       "grad_item_b1", "grad_item_a1"};
constexpr const char* kTypeKey = "grad_type";
constexpr const char* kColorTypeKey = "grad_color";

// --- Colour models and curves ---

struct Hsv {
    double h = 0.0;  // 0..1
    double s = 0.0;
    double v = 0.0;
};

// The hexcone model; grey has hue 0.
Hsv ToHsv(const Color& c) {
    const double high = std::max({c.r, c.g, c.b});
    const double delta = high - std::min({c.r, c.g, c.b});
    Hsv out{0.0, high > 0.0 ? delta / high : 0.0, high};
    if (delta > 0.0) {
        double h = 0.0;
        if (high == c.r) {
            h = (c.g - c.b) / delta;
        } else if (high == c.g) {
            h = 2.0 + (c.b - c.r) / delta;
        } else {
            h = 4.0 + (c.r - c.g) / delta;
        }
        h /= 6.0;
        out.h = h < 0.0 ? h + 1.0 : h;
    }
    return out;
}

void FromHsv(const Hsv& in, double* r, double* g, double* b) {
    if (!(in.s > 0.0)) {
        *r = *g = *b = in.v;
        return;
    }
    double h6 = (in.h - std::floor(in.h)) * 6.0;
    if (!(h6 >= 0.0)) {
        h6 = 0.0;  // NaN from a damaged archive must not reach the integer conversion
    }
    const int32 sector = std::min(static_cast<int32>(h6), 5);
    const double f = h6 - sector;
    const double v = in.v;
    const double p = v * (1.0 - in.s);
    const double q = v * (1.0 - in.s * f);
    const double t = v * (1.0 - in.s * (1.0 - f));
    const double rgb[6][3] = {{v, t, p}, {q, v, p}, {p, v, t}, {p, q, v}, {t, p, v}, {v, p, q}};
    *r = rgb[sector][0];
    *g = rgb[sector][1];
    *b = rgb[sector][2];
}

// Counter-clockwise hue runs upwards from h0, wrapping past 1; clockwise runs downwards.
double InterpolateHue(double h0, double h1, double f, bool counterClockwise) {
    if (counterClockwise) {
        if (h0 < h1) {
            return h0 + (h1 - h0) * f;
        }
        const double h = h0 + (1.0 - (h0 - h1)) * f;
        return h > 1.0 ? h - 1.0 : h;
    }
    if (h1 < h0) {
        return h0 - (h0 - h1) * f;
    }
    const double h = h0 - (1.0 - (h1 - h0)) * f;
    return h < 0.0 ? h + 1.0 : h;
}

double LinearFactor(double p, double m) {
    if (p <= m) {
        return m < 0.01 ? 0.0 : 0.5 * p / m;
    }
    return 1.0 - m < 0.01 ? 1.0 : 0.5 + 0.5 * (p - m) / (1.0 - m);
}

// False for a curve this system does not know (the factor is then 0).
bool CurveFactor(grad_type type, double p, double m, double* f) {
    constexpr double kPi = 3.14159265358979323846;
    const double l = LinearFactor(p, m);
    switch (type) {
        case GRAD_LINEAR:
            *f = l;
            return true;
        case GRAD_CURVED: {
            // The power curve through (m, 0.5); m = 1 would divide by ln 1 = 0.
            const double mc = std::clamp(m, 0.01, 0.99);
            *f = std::pow(p, std::log(0.5) / std::log(mc));
            return true;
        }
        case GRAD_SINUSOIDAL:
            *f = (1.0 + std::sin(kPi * l - kPi / 2.0)) / 2.0;
            return true;
        case GRAD_CIRCULAR_INCREASING:
            *f = std::sqrt(1.0 - (l - 1.0) * (l - 1.0));
            return true;
        case GRAD_CIRCULAR_DECREASING:
            *f = 1.0 - std::sqrt(1.0 - l * l);
            return true;
    }
    *f = 0.0;
    return false;
}

// NaN and out-of-range channels of a damaged gradient must not reach the pixels.
float UnitChannel(double value) {
    return value > 0.0 ? static_cast<float>(std::min(value, 1.0)) : 0.0f;
}

}  // namespace

// --- Construction and the item list ---

YKGradient::YKGradient() {
    create_default_gradient();
}

YKGradient::YKGradient(const YKMessage& archive) {
    int32 count = 0;
    archive.FindInt32(kCountKey, &count);
    // The count never promises more items than the archive holds.
    uint32 type = 0;
    int32 present = 0;
    if (!archive.GetInfo(kLeftKey, &type, &present)) {
        present = 0;
    }
    count = std::clamp(count, 0, present);
    for (int32 i = 0; i < count; ++i) {
        const YKGradientItem defaults;
        double left = defaults.GetLeft();
        double middle = defaults.GetMiddle();
        double right = defaults.GetRight();
        archive.FindDouble(kLeftKey, i, &left);
        archive.FindDouble(kMiddleKey, i, &middle);
        archive.FindDouble(kRightKey, i, &right);
        const Color c0 = defaults.GetLC();
        const Color c1 = defaults.GetRC();
        double channels[8] = {c0.r, c0.g, c0.b, c0.a, c1.r, c1.g, c1.b, c1.a};
        for (int32 k = 0; k < 8; ++k) {
            archive.FindDouble(kColorKeys[k], i, &channels[k]);
        }
        int32 curve = defaults.GetType();
        int32 model = defaults.GetColorType();
        archive.FindInt32(kTypeKey, i, &curve);
        archive.FindInt32(kColorTypeKey, i, &model);
        AddItem(left, middle, right, {channels[0], channels[1], channels[2], channels[3]},
                {channels[4], channels[5], channels[6], channels[7]}, static_cast<grad_type>(curve),
                static_cast<grad_color>(model));
    }
}

YKGradient::YKGradient(const YKGradient& other) : mName(other.mName) {
    CopyItems(other);
}

YKGradient& YKGradient::operator=(const YKGradient& other) {
    if (this != &other) {
        Eraze();
        mName = other.mName;
        CopyItems(other);
        mTableFilled = false;
    }
    return *this;
}

YKGradient::YKGradient(YKGradient&& other) noexcept {
    *this = std::move(other);
}

YKGradient& YKGradient::operator=(YKGradient&& other) noexcept {
    if (this != &other) {
        Eraze();
        mName = std::move(other.mName);
        mFirst = std::exchange(other.mFirst, nullptr);
        mLast = std::exchange(other.mLast, nullptr);
        mSelLeft = std::exchange(other.mSelLeft, nullptr);
        mSelRight = std::exchange(other.mSelRight, nullptr);
        mCount = std::exchange(other.mCount, 0);
        other.mCursor = nullptr;
        mTableFilled = false;
    }
    return *this;
}

YKGradient::~YKGradient() {
    Eraze();
}

bool YKGradient::operator==(const YKGradient& other) const {
    if (mCount != other.mCount) {
        return false;
    }
    for (const YKGradientItem *a = mFirst, *b = other.mFirst; a != nullptr;
         a = a->Next(), b = b->Next()) {
        if (*a != *b) {
            return false;
        }
    }
    return true;
}

void YKGradient::CopyItems(const YKGradient& other) {
    for (const YKGradientItem* item = other.mFirst; item != nullptr; item = item->Next()) {
        AddItem(0.0, 0.0, 0.0, {}, {})->Copy(*item);
    }
}

void YKGradient::create_default_gradient() {
    Eraze();
    const YKGradientItem defaults;
    AddItem(defaults.GetLeft(), defaults.GetMiddle(), defaults.GetRight(), defaults.GetLC(),
            defaults.GetRC());
}

YKGradientItem* YKGradient::AddItem(double left, double middle, double right, Color leftColor,
                                    Color rightColor, grad_type type, grad_color colorType) {
    auto* item = new YKGradientItem(mLast, nullptr, left, middle, right, leftColor, rightColor,
                                    type, colorType);
    if (mLast != nullptr) {
        mLast->SetNext(item);
    } else {
        mFirst = item;
    }
    mLast = item;
    ++mCount;
    return item;
}

YKGradientItem* YKGradient::InsertAfter(YKGradientItem* item, YKGradientItem* newItem) {
    YKGradientItem* next = item->Next();
    newItem->SetPrev(item);
    newItem->SetNext(next);
    item->SetNext(newItem);
    if (next != nullptr) {
        next->SetPrev(newItem);
    } else {
        mLast = newItem;
    }
    ++mCount;
    return newItem;
}

void YKGradient::DestroyRun(YKGradientItem* first, YKGradientItem* last) {
    YKGradientItem* item = first;
    while (item != nullptr) {
        YKGradientItem* next = item->Next();
        for (YKGradientItem** ref : {&mCursor, &mSelLeft, &mSelRight}) {
            if (*ref == item) {
                *ref = nullptr;
            }
        }
        const bool done = item == last;
        delete item;
        --mCount;
        if (done) {
            break;
        }
        item = next;
    }
}

void YKGradient::Eraze() {
    DestroyRun(mFirst, mLast);
    mFirst = mLast = nullptr;
}

void YKGradient::Trunc(YKGradientItem* item) {
    if (item == nullptr || item == mLast) {
        return;
    }
    DestroyRun(item->Next(), mLast);
    item->SetNext(nullptr);
    mLast = item;
}

void YKGradient::CutHead(YKGradientItem* item) {
    if (item == nullptr || item == mFirst) {
        return;
    }
    DestroyRun(mFirst, item->Prev());
    item->SetPrev(nullptr);
    mFirst = item;
}

// --- Colour ---

YKGradientItem* YKGradient::get_item_at(double t) {
    YKGradientItem* item = mCursor != nullptr ? mCursor : mFirst;
    while (item != nullptr && item->GetLeft() > t) {
        item = item->Prev();
    }
    while (item != nullptr && t > item->GetRight()) {
        item = item->Next();
    }
    if (item == nullptr) {
        printf("YKGradient: no item at %f\n", t);
        PrintToStream();
        return nullptr;
    }
    mCursor = item;
    return item;
}

void YKGradient::get_color_at(double t, double* r, double* g, double* b, double* a) {
    *r = *g = *b = *a = 0.0;
    if (mFirst == nullptr) {
        return;
    }
    if (t <= 0.0) {
        t = 0.01;
    } else if (t >= 1.0) {
        t = 0.99;
    }
    const YKGradientItem* item = get_item_at(t);
    if (item == nullptr) {
        return;
    }
    const double width = item->GetRight() - item->GetLeft();
    double p = 0.5;
    double m = 0.5;
    if (!(width < 0.01)) {
        m = (item->GetMiddle() - item->GetLeft()) / width;
        p = (t - item->GetLeft()) / width;
    }
    double f = 0.0;
    if (!CurveFactor(item->GetType(), p, m, &f)) {
        printf("YKGradient: unknown curve %d\n", static_cast<int>(item->GetType()));
        PrintToStream();
    }
    const Color c0 = item->GetLC();
    const Color c1 = item->GetRC();
    *a = c0.a + (c1.a - c0.a) * f;
    if (item->GetColorType() != GRAD_HSV_CCW && item->GetColorType() != GRAD_HSV_CW) {
        *r = c0.r + (c1.r - c0.r) * f;
        *g = c0.g + (c1.g - c0.g) * f;
        *b = c0.b + (c1.b - c0.b) * f;
        return;
    }
    const Hsv h0 = ToHsv(c0);
    const Hsv h1 = ToHsv(c1);
    const Hsv mixed{InterpolateHue(h0.h, h1.h, f, item->GetColorType() == GRAD_HSV_CCW),
                    h0.s + (h1.s - h0.s) * f, h0.v + (h1.v - h0.v) * f};
    FromHsv(mixed, r, g, b);
}

void YKGradient::FillTables() {
    for (int32 i = 0; i < kTableSize; ++i) {
        double r = 0.0;
        double g = 0.0;
        double b = 0.0;
        double a = 0.0;
        get_color_at(static_cast<double>(i) / (kTableSize - 1), &r, &g, &b, &a);
        mTable[i] = {UnitChannel(r), UnitChannel(g), UnitChannel(b), UnitChannel(a)};
    }
    static std::atomic<uint64> fillings{0};
    mTableStamp = ++fillings;
    mTableFilled = true;
}

// --- Archive ---

void YKGradient::Archive(YKMessage* archive) const {
    archive->AddInt32(kCountKey, mCount);
    for (const YKGradientItem* item = mFirst; item != nullptr; item = item->Next()) {
        archive->AddDouble(kLeftKey, item->GetLeft());
        archive->AddDouble(kMiddleKey, item->GetMiddle());
        archive->AddDouble(kRightKey, item->GetRight());
        const Color c0 = item->GetLC();
        const Color c1 = item->GetRC();
        const double channels[8] = {c0.r, c0.g, c0.b, c0.a, c1.r, c1.g, c1.b, c1.a};
        for (int32 k = 0; k < 8; ++k) {
            archive->AddDouble(kColorKeys[k], channels[k]);
        }
        archive->AddInt32(kTypeKey, item->GetType());
        archive->AddInt32(kColorTypeKey, item->GetColorType());
    }
}

void YKGradient::PrintToStream() const {
    printf("YKGradient '%s': %d items\n", mName.c_str(), static_cast<int>(mCount));
    for (const YKGradientItem* item = mFirst; item != nullptr; item = item->Next()) {
        const Color c0 = item->GetLC();
        const Color c1 = item->GetRC();
        printf(
            "\t[%.4f %.4f %.4f] (%.3f %.3f %.3f %.3f) -> (%.3f %.3f %.3f %.3f) curve %d "
            "model %d\n",
            item->GetLeft(), item->GetMiddle(), item->GetRight(), c0.r, c0.g, c0.b, c0.a, c1.r,
            c1.g, c1.b, c1.a, static_cast<int>(item->GetType()),
            static_cast<int>(item->GetColorType()));
    }
}
