#include "yk_box_corners.h"

#include <cmath>

namespace {

int32 Opposite(int32 index) {
    return index - 2 < 0 ? index + 2 : index - 2;
}

}  // namespace

void YKFollowBoxCorner(std::vector<YKPoint<double>>* corners, int32 index) {
    if (corners->size() < 4 || index < 0 || index > 3) {
        return;
    }
    std::vector<YKPoint<double>>& c = *corners;
    const int32 opposite = Opposite(index);
    const int32 previous = index == 0 ? 3 : index - 1;
    const int32 next = index == 3 ? 0 : index + 1;
    c[previous] = {c[index].x, c[opposite].y};
    c[next] = {c[opposite].x, c[index].y};
}

void YKSquareBoxCorner(std::vector<YKPoint<double>>* corners, int32 index) {
    if (corners->size() < 4 || index < 0 || index > 3) {
        return;
    }
    std::vector<YKPoint<double>>& c = *corners;
    const YKPoint<double> origin = c[Opposite(index)];
    const double dx = c[index].x - origin.x;
    const double dy = c[index].y - origin.y;
    const double side = std::hypot(dx, dy) * std::sqrt(2.0) / 2;
    c[index] = {origin.x + std::copysign(side, dx), origin.y + std::copysign(side, dy)};
}
