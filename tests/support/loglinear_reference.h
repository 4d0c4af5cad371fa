// The loglinear model fitted the textbook way, as the reference that the
// odds-ratio model from pair tables must agree with: a Poisson regression of
// the full table of counts on the design of the model (intercept, main
// effects and the chosen two-way associations, first categories as
// reference), by iteratively reweighted least squares in long double.
#pragma once

#include <map>
#include <tuple>
#include <utility>
#include <vector>

#include "least_squares_reference.h"
#include "table_set.h"

namespace kelvo::test {

// The joint table of counts of some variables, the last varying fastest.
struct JointCounts {
    std::vector<int> categories;  // [v], v = 0..V-1
    std::vector<double> counts;   // by cell
    std::vector<int> CellCategories(std::size_t cell) const;  // from 1
};

// The joint table of `variables` (numbers from 1) of the records.
JointCounts CountJoint(const Records& records, const std::vector<int>& variables);

// A table set of variables V1..VV (categories C1.., as many as the joint
// table has), with the pair tables of the joint table.
TableSet PairTablesOf(const JointCounts& joint);

// A parameter: (v, w, a, b) with v < w for an association, w = -1 for a
// main effect, v = w = -1 for the intercept; variables from 0, categories
// from 1 (a, b >= 2).
using ParameterKey = std::tuple<int, int, int, int>;

struct PoissonFit {
    std::map<ParameterKey, Real> beta, standardError;
    Real deviance = 0;  // 2 sum of n log(n / mu) - (n - mu)
};

// The model with every main effect and the associations `pairs` (v < w),
// fitted on the cells that can have cases: those not in an observed margin
// cell of the model without cases. Columns that vanish there are left out.
PoissonFit FitPoisson(const JointCounts& joint, const std::vector<std::pair<int, int>>& pairs);

// Every pair v < w of V variables.
std::vector<std::pair<int, int>> AllPairsOf(int V);

}  // namespace kelvo::test
