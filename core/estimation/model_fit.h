// The model summary: how well the model fits each dependent category and
// which predictors matter, computed from the pair tables and the estimation's
// results alone. For dependent category d, y'y = n_d, so any least-squares
// solution b leaves the residual sum of squares RSS_d = n_d - b'X'y_d (taken
// from the solution of the reference coding, which keeps more digits); with
// TSS_d = N p_d (1 - p_d) and q = 1 + the sum of (K - 1) over the predictors
// (the rank of the design) this gives R squared, the classical standard
// errors and their t tests, and the F test of dropping each predictor, from
// the extra sum of squares of its contrasts in the full fit (the difference
// of the residual sums of the model with and without it, without a refit). The unadjusted deviations,
// eta and beta of each predictor make the classical multiple classification
// table.
#pragma once

#include "table_set.h"

namespace kelvo {

// Computes est.Summary for the current results of the selection `model` on
// the pair tables of `in`. When the results are not of
// the stored selection (ResultsCurrent is false) the summary is marked absent
// and nothing else happens. The estimation's own arrays are not changed.
//
// Degenerate values are NaN: with TSS_d = 0, R squared, adjusted R squared,
// eta, beta, F and the t and p values of column d; with a perfect fit (RSS_d
// not greater than 1e-12 x TSS_d) the t, F and p values; with N - q <= 0 every
// test, the adjusted R squared and the residual and classical standard errors.
void ComputeModelSummary(const InputSide& in, const ModelSelection& model, EstimationArrays& est);
inline void ComputeModelSummary(TableSet& ts) { ComputeModelSummary(ts, ts, ts); }

// Threshold below which a residual sum of squares counts as a perfect fit,
// relative to the total sum of squares.
inline constexpr double PerfectFitTolerance = 1e-12;

}  // namespace kelvo
