// Least squares computed from record-level data, as the reference that the
// estimation from pair tables must agree with.
#pragma once

#include <ostream>
#include <vector>

#include "table_set.h"

namespace kelvo::test {

using Real = long double;
using RealMatrix = std::vector<std::vector<Real>>;

// Records of categorical variables: rows[n][v] is the category (from 1) of
// variable v (from 1) in record n.
struct Records {
    std::vector<int> categories;  // [v], slot 0 unused
    std::vector<std::vector<int>> rows;
};

// Draws records whose variables depend on one another through a hidden class,
// so that the predictors are correlated and the dependent variable depends on
// them.
Records DrawRecords(unsigned seed, const std::vector<int>& categories, int count);

// A model on random records, for data-driven tests: the records drawn with
// `seed` (variables of these category counts) and the model estimated on
// them.
struct RecordModel {
    const char* name;
    unsigned seed;
    std::vector<int> categories;
    int records;
    int dependent;
    std::vector<int> predictors;
};
inline void PrintTo(const RecordModel& model, std::ostream* os) { *os << model.name; }

// The table set of variables V1, V2, ... with the pair tables counted from the
// records.
TableSet CountPairTables(const Records& records);

// The least-squares fit of each dependent category's indicator on the
// predictors, computed from the records with the first category of every
// predictor as reference, then expressed as the estimation reports it: each
// predictor's coefficients shifted so that their count-weighted sum is zero,
// the constant shifted to match. Standard errors from the covariance of the
// fit, with the indicator's total variance p (1 - p).
// Also, from the records' residuals, the residual sum of squares of each
// dependent category and the classical standard errors, with the residual
// variance RSS / (N - q), q the number of reference columns.
struct Fit {
    RealMatrix coefficients;    // [parameter][dependent category], from 1
    RealMatrix standardErrors;  // percentage points
    std::vector<Real> residualSums;       // [dependent category], from 1
    RealMatrix classicalStandardErrors;   // percentage points
};
// With no predictors the fit is the constant alone.
Fit ReferenceFit(const Records& records, int dependent, const std::vector<int>& predictors);

}  // namespace kelvo::test
