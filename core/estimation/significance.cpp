#include "significance.h"

namespace kelvo {

bool IsSignificant(double coefficient, double standardError) {
    // Two separate statements: each product is rounded to double before it is
    // compared (the build also forbids contracting them into fused operations).
    const double b = 100.0 * coefficient;
    const double s = 1.96 * standardError;
    return b - s > 0.0 || b + s < 0.0;
}

}  // namespace kelvo
