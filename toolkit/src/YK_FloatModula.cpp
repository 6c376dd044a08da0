#include "YK_FloatModula.h"

#include <cmath>

double YK_FloatModula(double value, double step) {
    if (!(step > 0.0) || !std::isfinite(step) || !std::isfinite(value)) {
        return value;
    }
    const double snapped = std::round(value / step) * step;
    // A tiny step can overflow the quotient's product; the value itself is then the best answer.
    return std::isfinite(snapped) ? snapped : value;
}
