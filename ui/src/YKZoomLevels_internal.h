#pragma once

// The entries of the document window's zoom control, shared by the control and the Zoom menu.

#include <iterator>

#include "yk_types.h"

// An entry of the zoom control. The Zoom menu offers the entries that have a menu percent.
struct YKZoomLevel {
    const char* label;
    int32 zoom;
    int menuPercent;
};

// 25 % really shows a sixth: the users' habit, kept.
inline constexpr YKZoomLevel kYKZoomLevels[] = {
    {"1.5%", -63, 0}, {"3%", -31, 0},      {"6%", -15, 0},   {"12.5%", -7, 0}, {"25%", -5, 25},
    {"33%", -2, 0},   {"50%", -1, 50},     {"100%", 0, 100}, {"200%", 1, 200}, {"400%", 3, 400},
    {"800%", 7, 800}, {"1600%", 15, 1600}, {"3200%", 31, 0}, {"6400%", 63, 0},
};
inline constexpr int kYKZoomEntryCount = static_cast<int>(std::size(kYKZoomLevels));
inline constexpr int kYKActualSizeEntry = 7;
