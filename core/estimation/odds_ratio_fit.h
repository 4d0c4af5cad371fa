// The odds-ratio model of a selection (odds_ratio_model.h): the loglinear
// model of the joint table of the dependent variable D and the predictors
// X1..XP with every two-way association,
//   log m(d, x1..xP) = u + the main effects + every two-way association,
// fitted by maximum likelihood from the pair tables among those variables,
// which are exactly its sufficient statistics. With the first category of
// every variable as reference, the association of D = d with Xt = c is the
// log odds ratio of d against D's first category between c and Xt's first
// category, the other predictors held fixed (a baseline-category logit
// model of D).
//
// The fit starts from the table of independence (a uniform table scaled to
// every variable's counts) and takes Newton steps on the Poisson
// log-likelihood, each halved until the likelihood grows, until every
// fitted pair table is within 1e-13 x N of its table, at most 10,000 steps.
// Standard errors come from the inverse of the Fisher information at the
// fit; each predictor's association is tested by the likelihood ratio of
// the model refitted without it (G2 = 2 sum of m log(m / m without it)),
// with the nominal degrees of freedom (K_D - 1)(K_t - 1) and the
// chi-squared distribution.
//
// A pair table cell without cases forces the joint table's cells in it to
// 0; a parameter that then does not exist (an infinite log odds ratio, or
// one the remaining cells do not determine) is not estimable: NaN, with a
// warning naming the empty cell. The others are estimated as usual. Tables
// without an empty cell can still leave combinations of the variables
// without cases (the likelihood has its maximum only at infinity): those
// cells are then fitted as 0 and the odds ratios that lead there are not
// estimable either.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <stop_token>
#include <string>
#include <vector>

#include "table_set.h"

namespace kelvo {

// The joint table is held in memory up to this many cells.
inline constexpr std::int64_t MaxOddsRatioCells = std::int64_t{1} << 24;
inline constexpr int MaxOddsRatioIterations = 10000;

// The selection has no odds-ratio model; the text says why ("Model too
// large for the odds-ratio model: ...", tables that disagree, no cases).
class OddsRatioRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The fit was stopped through its stop token.
class OddsRatioCancelled : public std::runtime_error {
public:
    OddsRatioCancelled() : std::runtime_error("The odds-ratio model was cancelled") {}
};

struct OddsRatioControl {
    std::stop_token stop;
    // Called from the fitting thread with the share of the work done (0..1).
    std::function<void(double)> progress;
    int maxIterations = MaxOddsRatioIterations;
};

// The cells of the joint table of the selection's variables, or the largest
// int64 where there are more (16 variables of 16 categories make 2^64).
// Throws std::invalid_argument when the selection cannot be estimated
// (EstimationProblem).
std::int64_t OddsRatioCells(const InputSide& in, const ModelSelection& model);

// "Model too large for the odds-ratio model: N cells (at most 16,777,216)",
// N the exact count of the selection's joint table.
std::string OddsRatioTooLargeText(const InputSide& in, const ModelSelection& model);

// The selection and the pair tables among its variables, as the model
// keeps them to know whether it still belongs to the table set.
std::vector<std::int32_t> OddsRatioInputs(const InputSide& in, const ModelSelection& model);

// Fits the odds-ratio model of `model` on the pair tables of `in`.
// Throws std::invalid_argument when the selection cannot be estimated,
// OddsRatioRefused when the joint table would have more than
// MaxOddsRatioCells cells, when the model's tables disagree on a variable's
// totals, or when they hold no cases, and OddsRatioCancelled when the stop
// token asks for it. A fit that does not converge is returned with
// converged false and a warning.
OddsRatioModel FitOddsRatioModel(const InputSide& in, const ModelSelection& model,
                                 const OddsRatioControl& control = {});

// FitOddsRatioModel into est.OddsRatios (left as it was when it throws).
void ComputeOddsRatioModel(const InputSide& in, const ModelSelection& model, EstimationArrays& est,
                           const OddsRatioControl& control = {});
inline void ComputeOddsRatioModel(TableSet& ts, const OddsRatioControl& control = {}) {
    ComputeOddsRatioModel(ts, ts, ts, control);
}

// Whether est.OddsRatios is the model of the selection and the pair tables
// as they are now.
bool OddsRatiosCurrent(const InputSide& in, const ModelSelection& model, const EstimationArrays& est);
inline bool OddsRatiosCurrent(const TableSet& ts) { return OddsRatiosCurrent(ts, ts, ts); }

}  // namespace kelvo
