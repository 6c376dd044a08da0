// The gradient editor's operations. Most work on the selection, the run of items from the
// selection-left item S to the selection-right item E; L and R below are S.left and E.right.

#include <algorithm>
#include <utility>

#include "YKDebug.h"
#include "YKGradient.h"

namespace {

using Color = YKGradientItem::Color;

// Calls visit(item) for s..e; `visit` may replace or split the item it is given.
template <typename Visit>
void ForRun(YKGradientItem* s, YKGradientItem* e, Visit visit) {
    for (YKGradientItem* item = s; item != nullptr;) {
        YKGradientItem* next = item->Next();
        const bool last = item == e;
        visit(item);
        if (last) {
            break;
        }
        item = next;
    }
}

Color ColorAt(YKGradient& gradient, double t) {
    Color c;
    gradient.get_color_at(t, &c.r, &c.g, &c.b, &c.a);
    return c;
}

// Mirroring turns a curve and a hue direction into their counterparts.
grad_type MirroredCurve(grad_type type) {
    if (type == GRAD_CIRCULAR_INCREASING) {
        return GRAD_CIRCULAR_DECREASING;
    }
    return type == GRAD_CIRCULAR_DECREASING ? GRAD_CIRCULAR_INCREASING : type;
}

grad_color MirroredModel(grad_color model) {
    if (model == GRAD_HSV_CCW) {
        return GRAD_HSV_CW;
    }
    return model == GRAD_HSV_CW ? GRAD_HSV_CCW : model;
}

}  // namespace

// --- List helpers ---

int32 YKGradient::RunLength(const YKGradientItem* s, const YKGradientItem* e) const {
    YK_ASSERT(s != nullptr);
    int32 count = 1;
    for (const YKGradientItem* item = s; item != e; ++count) {
        item = item->Next();
        YK_ASSERT(item != nullptr);  // e does not follow s
    }
    return count;
}

void YKGradient::Splice(YKGradientItem* s, YKGradientItem* e, YKGradient&& chain) {
    YK_ASSERT(chain.mFirst != nullptr);
    YKGradientItem* prev = s->Prev();
    YKGradientItem* next = e->Next();
    DestroyRun(s, e);
    YKGradientItem* first = std::exchange(chain.mFirst, nullptr);
    YKGradientItem* last = std::exchange(chain.mLast, nullptr);
    mCount += std::exchange(chain.mCount, 0);
    chain.mCursor = chain.mSelLeft = chain.mSelRight = nullptr;
    first->SetPrev(prev);
    last->SetNext(next);
    if (prev != nullptr) {
        prev->SetNext(first);
    } else {
        mFirst = first;
    }
    if (next != nullptr) {
        next->SetPrev(last);
    } else {
        mLast = last;
    }
    mSelLeft = first;
    mSelRight = last;
    mCursor = nullptr;
}

YKGradientItem* YKGradient::SplitAt(YKGradientItem* item, double at, Color color) {
    auto* right =
        new YKGradientItem(nullptr, nullptr, at, (at + item->GetRight()) / 2.0, item->GetRight(),
                           color, item->GetRC(), item->GetType(), item->GetColorType());
    item->SetBounds(item->GetLeft(), (item->GetLeft() + at) / 2.0, at);
    item->SetRC(color);
    mCursor = nullptr;
    return InsertAfter(item, right);
}

// --- Moving and resizing ---

double YKGradient::move(YKGradientItem* s, YKGradientItem* e, double d) {
    RunLength(s, e);
    YKGradientItem* prev = s->Prev();
    YKGradientItem* next = e->Next();
    const double lo = (prev == nullptr ? s->GetLeft() : prev->GetMiddle()) + 0.01;
    const double hi = (next == nullptr ? e->GetRight() : next->GetMiddle()) - 0.01;
    if (d < 0.0) {
        if (prev == nullptr && s->GetMiddle() + d < lo) {
            d = lo - s->GetMiddle();
        } else if (prev != nullptr && s->GetLeft() + d < lo) {
            d = lo - s->GetLeft();
        }
    } else {
        if (next == nullptr && e->GetMiddle() + d > hi) {
            d = hi - e->GetMiddle();
        } else if (next != nullptr && e->GetRight() + d > hi) {
            d = hi - e->GetRight();
        }
    }
    // The ends of the ramp stay at 0 and 1.
    ForRun(s, e, [&](YKGradientItem* item) {
        item->SetBounds(item == s && prev == nullptr ? item->GetLeft() : item->GetLeft() + d,
                        item->GetMiddle() + d,
                        item == e && next == nullptr ? item->GetRight() : item->GetRight() + d);
    });
    if (prev != nullptr) {
        prev->SetRight(s->GetLeft());
    }
    if (next != nullptr) {
        next->SetLeft(e->GetRight());
    }
    mCursor = nullptr;
    return d;
}

double YKGradient::resize(YKGradientItem* item, double right) {
    mCursor = nullptr;
    YKGradientItem* next = item->Next();
    const double lo = item->GetLeft() + 0.01;
    const double hi = next != nullptr ? next->GetRight() - 0.01 : lo;
    if (next == nullptr || lo > hi) {
        return item->GetRight();
    }
    right = std::clamp(right, lo, hi);
    compress_range(item, item, item->GetLeft(), right);
    compress_range(next, next, right, next->GetRight());
    return right;
}

void YKGradient::compress_range(YKGradientItem* a, YKGradientItem* b, double newLeft,
                                double newRight) {
    RunLength(a, b);
    const double from = a->GetLeft();
    const double span = b->GetRight() - from;
    const double scale = span > 0.0 ? (newRight - newLeft) / span : 0.0;
    const auto map = [&](double p) { return newLeft + (p - from) * scale; };
    ForRun(a, b, [&](YKGradientItem* item) {
        item->SetBounds(map(item->GetLeft()), map(item->GetMiddle()), map(item->GetRight()));
    });
    a->SetLeft(newLeft);
    b->SetRight(newRight);
    mCursor = nullptr;
}

// --- Rearranging the selection ---

void YKGradient::flip() {
    if (!HasSelection()) {
        return;
    }
    YKGradientItem* s = mSelLeft;
    YKGradientItem* e = mSelRight;
    RunLength(s, e);
    const double mirror = s->GetLeft() + e->GetRight();
    YKGradient chain{EmptyTag{}};
    for (YKGradientItem* item = e;; item = item->Prev()) {
        chain.AddItem(mirror - item->GetRight(), mirror - item->GetMiddle(),
                      mirror - item->GetLeft(), item->GetRC(), item->GetLC(),
                      MirroredCurve(item->GetType()), MirroredModel(item->GetColorType()));
        if (item == s) {
            break;
        }
    }
    chain.mFirst->SetLeft(s->GetLeft());
    chain.mLast->SetRight(e->GetRight());
    Splice(s, e, std::move(chain));
}

void YKGradient::replicate(int32 n) {
    if (!HasSelection() || n < 1) {
        return;
    }
    YKGradientItem* s = mSelLeft;
    YKGradientItem* e = mSelRight;
    RunLength(s, e);
    const double lo = s->GetLeft();
    const double hi = e->GetRight();
    YKGradient chain{EmptyTag{}};
    for (int32 i = 0; i < n; ++i) {
        const auto map = [&](double p) { return (p - lo) / n + lo + i * (hi - lo) / n; };
        ForRun(s, e, [&](YKGradientItem* item) {
            // A copy starts exactly where the one before ends, whatever the rounding of map.
            const double left =
                chain.mLast != nullptr ? chain.mLast->GetRight() : map(item->GetLeft());
            chain.AddItem(left, map(item->GetMiddle()), map(item->GetRight()), item->GetLC(),
                          item->GetRC(), item->GetType(), item->GetColorType());
        });
    }
    chain.mFirst->SetLeft(lo);
    chain.mLast->SetRight(hi);
    Splice(s, e, std::move(chain));
}

void YKGradient::recenter() {
    if (!HasSelection()) {
        return;
    }
    RunLength(mSelLeft, mSelRight);
    ForRun(mSelLeft, mSelRight, [](YKGradientItem* item) {
        item->SetMiddle((item->GetLeft() + item->GetRight()) / 2.0);
    });
    mCursor = nullptr;
}

void YKGradient::redistribute() {
    if (!HasSelection()) {
        return;
    }
    const int32 count = RunLength(mSelLeft, mSelRight);
    const double lo = mSelLeft->GetLeft();
    const double hi = mSelRight->GetRight();
    const double width = (hi - lo) / count;
    int32 i = 0;
    ForRun(mSelLeft, mSelRight, [&](YKGradientItem* item) {
        const double left = lo + i * width;
        ++i;
        const double right = i == count ? hi : lo + i * width;
        item->SetBounds(left, (left + right) / 2.0, right);
    });
    mCursor = nullptr;
}

// --- Splitting ---

YKGradientItem* YKGradient::split_point(double t) {
    return split_point_color(t, ColorAt(*this, t));
}

YKGradientItem* YKGradient::split_point_color(double t, Color color) {
    YKGradientItem* item = t > 0.0 && t < 1.0 ? get_item_at(t) : nullptr;
    mCursor = nullptr;
    if (item == nullptr || !(t > item->GetLeft() && t < item->GetRight())) {
        return nullptr;
    }
    return SplitAt(item, t, color);
}

void YKGradient::split_midpoint() {
    if (!HasSelection()) {
        return;
    }
    RunLength(mSelLeft, mSelRight);
    YKGradientItem* last = nullptr;
    ForRun(mSelLeft, mSelRight, [&](YKGradientItem* item) {
        const double middle = item->GetMiddle();
        last = SplitAt(item, middle, ColorAt(*this, middle));
    });
    mSelRight = last;
}

void YKGradient::split_uniform(int32 n) {
    if (!HasSelection() || n < 1) {
        return;
    }
    RunLength(mSelLeft, mSelRight);
    YKGradientItem* first = nullptr;
    ForRun(mSelLeft, mSelRight, [&](YKGradientItem* item) {
        const double left = item->GetLeft();
        const double width = (item->GetRight() - left) / n;
        YKGradient chain{EmptyTag{}};
        Color from = item->GetLC();
        for (int32 k = 0; k < n; ++k) {
            const double a = left + k * width;
            const bool last = k == n - 1;
            const double b = last ? item->GetRight() : left + (k + 1) * width;
            // Read before the item is replaced, so the colours are the old gradient's.
            const Color to = last ? item->GetRC() : ColorAt(*this, b);
            chain.AddItem(a, (a + b) / 2.0, b, from, to, item->GetType(), item->GetColorType());
            from = to;
        }
        Splice(item, item, std::move(chain));
        if (first == nullptr) {
            first = mSelLeft;
        }
    });
    mSelLeft = first;
}

// --- Deleting and recolouring ---

void YKGradient::suppress() {
    if (!HasSelection()) {
        return;
    }
    YKGradientItem* s = mSelLeft;
    YKGradientItem* e = mSelRight;
    RunLength(s, e);
    YKGradientItem* prev = s->Prev();
    YKGradientItem* next = e->Next();
    if (prev == nullptr && next == nullptr) {
        return;
    }
    double x = (s->GetLeft() + e->GetRight()) / 2.0;
    if (prev == nullptr) {
        x = 0.0;
    } else if (next == nullptr) {
        x = 1.0;
    }
    if (prev != nullptr) {
        compress_range(prev, prev, prev->GetLeft(), x);
        prev->SetNext(next);
    } else {
        mFirst = next;
    }
    if (next != nullptr) {
        compress_range(next, next, x, next->GetRight());
        next->SetPrev(prev);
    } else {
        mLast = prev;
    }
    DestroyRun(s, e);
    mSelLeft = mSelRight = next != nullptr ? next : prev;
    mCursor = nullptr;
}

void YKGradient::blend_endpoints(double r0, double g0, double b0, double a0, double r1, double g1,
                                 double b1, double a1, bool colors, bool opacity) {
    if (!HasSelection()) {
        return;
    }
    RunLength(mSelLeft, mSelRight);
    const double lo = mSelLeft->GetLeft();
    const double span = mSelRight->GetRight() - lo;
    const auto blend = [&](Color c, double p) {
        const double f = span > 0.0 ? (p - lo) / span : 0.0;
        if (colors) {
            c.r = r0 + f * (r1 - r0);
            c.g = g0 + f * (g1 - g0);
            c.b = b0 + f * (b1 - b0);
        }
        if (opacity) {
            c.a = a0 + f * (a1 - a0);
        }
        return c;
    };
    ForRun(mSelLeft, mSelRight, [&](YKGradientItem* item) {
        item->SetLC(blend(item->GetLC(), item->GetLeft()));
        item->SetRC(blend(item->GetRC(), item->GetRight()));
    });
    mCursor = nullptr;
}

// --- Saving and restoring the selection ---

YKGradient YKGradient::save_selection() const {
    YKGradient run{EmptyTag{}};
    if (HasSelection()) {
        RunLength(mSelLeft, mSelRight);
        ForRun(mSelLeft, mSelRight, [&](const YKGradientItem* item) {
            run.AddItem(item->GetLeft(), item->GetMiddle(), item->GetRight(), item->GetLC(),
                        item->GetRC(), item->GetType(), item->GetColorType());
        });
    }
    return run;
}

void YKGradient::replace_selection(const YKGradient& run) {
    if (!HasSelection() || run.mFirst == nullptr) {
        return;
    }
    RunLength(mSelLeft, mSelRight);
    Splice(mSelLeft, mSelRight, YKGradient(run));
}
