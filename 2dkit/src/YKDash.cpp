#include "YKDash.h"

#include <array>
#include <cmath>
#include <initializer_list>
#include <mutex>

namespace {

std::array<std::unique_ptr<YKDash>, YKDash::kPredefCount> sPredef;
std::once_flag sPredefOnce;

std::unique_ptr<YKDash> MakeDash(std::initializer_list<double> lengths) {
    YKList<double> tab(16);
    for (double length : lengths) {
        tab.AddItem(length);
    }
    return std::make_unique<YKDash>(&tab);
}

}  // namespace

YKDash::YKDash(YKList<double>* tab) {
    if (tab != nullptr) {
        CopyTab(*tab);
        tab->MakeEmpty();
    }
}

YKDash::YKDash(const YKDash& other) : mOffset(other.mOffset) {
    CopyTab(other.mTab);
}

YKDash& YKDash::operator=(const YKDash& other) {
    if (this != &other) {
        mOffset = other.mOffset;
        mTab.MakeEmpty();
        CopyTab(other.mTab);
    }
    return *this;
}

bool YKDash::operator==(const YKDash& other) const {
    if (mOffset != other.mOffset || mTab.CountItems() != other.mTab.CountItems()) {
        return false;
    }
    for (int32 i = 0; i < mTab.CountItems(); ++i) {
        if (mTab.ItemAt(i) != other.mTab.ItemAt(i)) {
            return false;
        }
    }
    return true;
}

std::unique_ptr<YKList<double>> YKDash::Tab() const {
    auto copy = std::make_unique<YKList<double>>(16);
    for (int32 i = 0; i < mTab.CountItems(); ++i) {
        copy->AddItem(mTab.ItemAt(i));
    }
    return copy;
}

void YKDash::SetTab(const YKList<double>& tab) {
    mTab.MakeEmpty();
    CopyTab(tab);
}

double YKDash::PatternLen() const {
    double length = 0;
    for (int32 i = 0; i < mTab.CountItems(); ++i) {
        length += mTab.ItemAt(i);
    }
    return length;
}

void YKDash::Shift(double distance) {
    const double length = PatternLen();
    if (IsEmpty() || distance == 0 || !std::isfinite(distance) || !(length > 0)) {
        return;
    }
    mOffset += distance - length * std::round(distance / length);
}

void YKDash::CopyTab(const YKList<double>& from) {
    for (int32 i = 0; i < from.CountItems(); ++i) {
        mTab.AddItem(from.ItemAt(i));
    }
}

// --- Predefined dashes

void YKDash::InitPredefDash() {
    // Built once and kept for the life of the process: objects hold pointers into it.
    std::call_once(sPredefOnce, [] {
        sPredef[1] = MakeDash({5, 5});
        sPredef[2] = MakeDash({15, 15});
        sPredef[3] = MakeDash({20, 10, 10, 10});
        sPredef[4] = MakeDash({20, 5});
        sPredef[5] = MakeDash({20, 5, 5, 5});
        sPredef[6] = MakeDash({20, 5, 5, 5, 5, 5});
    });
}

YKDash* YKDash::PredefDash(int32 index) {
    return index >= 0 && index < kPredefCount ? sPredef[index].get() : nullptr;
}

int32 YKDash::PredefIndex(const YKDash* dash) {
    for (int32 i = 0; i < kPredefCount; ++i) {
        if (sPredef[i].get() == dash) {
            return i;
        }
    }
    return -1;
}
