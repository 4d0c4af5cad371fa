// The one significance test of KELVO, shared by the HTML report and the
// results browser so that both mark exactly the same values.
#pragma once

namespace kelvo {

// True when a coefficient (a proportion) differs from 0 at the 95 % level:
// with b = 100 x coefficient and s = 1.96 x standardError (percentage
// points), each rounded to double, the value is significant if b - s > 0 or
// b + s < 0. Both comparisons are strict, so an interval that just touches 0
// is not significant; a NaN on either side is never significant.
bool IsSignificant(double coefficient, double standardError);

}  // namespace kelvo
