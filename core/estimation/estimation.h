// The estimation: for every category of the dependent variable, a linear
// model of that category's indicator on the categories of the predictors,
// computed from the pair tables alone.
//
// In least-squares terms: X is the design of the (virtual) records, with a
// column of ones (parameter 1, the "Average") and one indicator column per
// predictor category; y(d) is the indicator of dependent category d. Every
// entry of X'X and X'y(d) is a cell, a marginal total or the grand total of
// some pair table. X'X is singular by construction (each predictor's columns
// add up to the constant), so each predictor's block gets the outer product of
// its marginal counts added; that picks the solution in which each predictor's
// coefficients, weighted by its category counts, sum to zero.
//
// The operations run in this order on one TableSet and read and write its
// estimation fields: CheckMarginalTotals, BuildRightHandSides,
// BuildCrossProducts, AddIdentifyingConstraints, InvertMatrix and, when the
// matrix was not singular, ComputeCoefficients, ComputeStandardErrors and
// ComputePredictionRange. ComputeEstimates runs them all.
//
// All arithmetic is in double, and every running sum adds its terms in one
// fixed index order, so results are reproducible to the last bit.
//
// Parameter numbering: parameter 1 is the constant; category k of the t-th
// entry of PredictorList is parameter BlockStart(in, model, t) + k.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "table_set.h"
#include "text_file.h"
#include "warnings.h"

namespace kelvo {

// Texts of the warnings the estimation shows.
inline constexpr const char* TotalsMismatchWarning = "Totals do not match for variable ";
inline constexpr const char* SingularMatrixWarning = "Error: Matrix is singular !";
// Shown instead of results when the last estimation stopped: the arrays then
// hold the numbers of an earlier model, which must not be shown under this
// model's names.
inline constexpr const char* NoResultsWarning = "No results: the last model was not estimated";

// A pivot of the factorisation counts as singular when it is not greater than
// this absolute bound ...
inline constexpr double AbsolutePivotThreshold = 1e-10;
// ... or not greater than this fraction of the diagonal entry of its row. The
// relative bound catches exactly collinear predictors in large table sets,
// where rounding leaves a pivot far above the absolute bound.
inline constexpr double RelativePivotThreshold = 1e-12;

// One pair table turned so that its rows are the categories of variable a and
// its columns those of variable b.
struct OrientedTable {
    int OrientedRows = 0;     // categories of a
    int OrientedColumns = 0;  // categories of b
    PairTable cells{};        // [row][column], from 1
    std::int32_t operator()(int row, int column) const { return cells[row][column]; }
};

// Runs the whole estimation of the selection `model` (DependentVariable,
// PredictorCount, PredictorList) on the pair tables of `in`, into the
// estimation arrays `est`; returns true when results were computed,
// false when the matrix was singular. Writes the estimation log to logPath.
// Throws IoError when the log cannot be written.
//
// Throws std::invalid_argument, changing nothing, when the stored selection
// is not a valid model (no dependent, no predictor, an unknown variable, the
// dependent among the predictors, predictors not in increasing order). After
// an IoError the estimation fields keep what was computed until then.
// ResultsAvailable is left to the caller, which sets it before the run.
// ResultsCurrent becomes false at the start and true only when results were
// computed; so does the summary's presence (false).
bool ComputeEstimates(const InputSide& in, const ModelSelection& model, EstimationArrays& est, WarningSink& warnings,
                      const std::filesystem::path& logPath);
// The same on the parts of one table set.
inline bool ComputeEstimates(TableSet& ts, WarningSink& warnings, const std::filesystem::path& logPath) {
    return ComputeEstimates(ts, ts, ts, warnings, logPath);
}

// ComputeEstimates without the estimation log (for estimations whose log
// nobody reads, such as refits of reduced models): the same results and
// warnings, no file, and no time spent on the log's texts. Throws as
// ComputeEstimates does, except for the log's IoError.
bool ComputeEstimatesWithoutLog(const InputSide& in, const ModelSelection& model, EstimationArrays& est,
                                WarningSink& warnings);
inline bool ComputeEstimatesWithoutLog(TableSet& ts, WarningSink& warnings) {
    return ComputeEstimatesWithoutLog(ts, ts, ts, warnings);
}

// Why the results of the selection cannot be read, or an empty text when
// they can: a dependent variable and 1 to 15 predictors, all variables of
// the table set with at most 16 categories. (Whatever can be estimated can
// be read.)
std::string SelectionProblem(const InputSide& in, const ModelSelection& model);

// Why the selection cannot be estimated, or an empty text when it can: the
// rules of SelectionProblem, and at least two variables, the predictors in
// variable order without the dependent variable, every variable of the
// model with at least one category. The desktop program shows the text in
// its error box.
std::string EstimationProblem(const InputSide& in, const ModelSelection& model);

// Turns the model roles (VariableRoles) into the selection, in variable
// order: DependentVariable is the (last) variable of role 1, PredictorList the
// variables of role 2. Both become 0 / empty when no variable has the role.
void SelectModelFromRoles(const InputSide& in, ModelSelection& model);

// Number of the parameter before the block of the t-th predictor (1 for t = 1).
int BlockStart(const InputSide& in, const ModelSelection& model, int t);

// ---- The operations, in the order ComputeEstimates runs them ----

// Visits every pair table (2,1), (3,1), (3,2), (4,1), ... and compares each
// variable's row or column totals with those of its first table, which become
// its MarginalTotals. After every pair, once some mismatch has been found, it
// warns "Totals do not match for variable " + the name of the variable of the
// most recent mismatch (EstimationError). Totals are summed in 64 bits.
void CheckMarginalTotals(const InputSide& in, EstimationArrays& est, WarningSink& warnings);

// Copies the table of variables a and b (a != b) into `table`, rows = a.
void GetOrientedTable(const InputSide& in, int a, int b, OrientedTable& table);

// Sizes the model (ParameterCount, DependentCategoryCount), fills
// RightHandSides (X'y, one column per dependent category) and TotalCount (the
// grand total of the first predictor's table with the dependent), clears
// CrossProducts, then creates the log at logPath and writes block 1.
void BuildRightHandSides(const InputSide& in, const ModelSelection& model, EstimationArrays& est, OutputFile& log,
                         const std::filesystem::path& logPath);

// Fills CrossProducts with X'X and DiagonalCopy with its diagonal; log block 2.
void BuildCrossProducts(const InputSide& in, const ModelSelection& model, EstimationArrays& est, OutputFile& log);

// Adds n(k) x n(k') to the lower triangle and diagonal of each predictor's
// block (n = its marginal counts); the upper triangle keeps X'X. Log block 3.
void AddIdentifyingConstraints(const InputSide& in, const ModelSelection& model, EstimationArrays& est, OutputFile& log);

// Inverts the constrained matrix (its lower triangle) by a Cholesky
// factorisation into InverseMatrix, and restores CrossProducts to X'X.
// EstimationError becomes 0, or 1 when a pivot is singular: then the warning
// "Error: Matrix is singular !" is shown, an empty line ends the log, the log
// is closed, and InverseMatrix and CrossProducts are left mid-way.
void InvertMatrix(EstimationArrays& est, WarningSink& warnings, OutputFile& log);

// Coefficients = InverseMatrix x RightHandSides (proportions); writes log
// block 4 and closes the log.
void ComputeCoefficients(EstimationArrays& est, OutputFile& log);

// StandardErrors in percentage points: 100 x sqrt(V(i) p (1 - p)), where V is
// the diagonal of M X'X M (M = InverseMatrix) and p the proportion of the
// dependent category. A variance that rounding makes negative gives 0.
void ComputeStandardErrors(const ModelSelection& model, EstimationArrays& est);

// MinimumPrediction and MaximumPrediction (percent): the average plus, per
// predictor, its smallest (largest) coefficient.
void ComputePredictionRange(const InputSide& in, const ModelSelection& model, EstimationArrays& est);

}  // namespace kelvo
