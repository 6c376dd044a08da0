#pragma once

// The multiple of `step` nearest to `value`; halves round away from zero.
// A step that is not a positive finite number, or a non-finite value, returns `value` as is.
double YK_FloatModula(double value, double step);
