// The one in-memory table set: variables, categories, pair tables, the model
// selection, the estimation results and the report settings.
//
// Every array is numbered from 1, as users and files number variables,
// categories, parameters and tables; slot 0 of each array exists but is never
// used. This keeps every loop in the code identical to the way the quantities
// are described to users (variable 1 is the first variable, table 1 the first
// pair table).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "matrix.h"
#include "odds_ratio_model.h"
#include "report_settings.h"
#include "short_string.h"
#include "table_limits.h"

namespace kelvo {

// One pair table: [row][column], rows and columns 1..16 (slot 0 unused).
using PairTable = std::array<std::array<std::int32_t, MaxCategories + 1>, MaxCategories + 1>;

// The fields are grouped by concern; a TableSet is all four groups together,
// so every field keeps its one name (ts.PairTables, ts.Coefficients, ...)
// while an operation that needs only one group can say so in its signature.

// The input side: variables, categories, pair tables, the file and the flags.
struct InputSide {
    std::int32_t VariableCount = 0;
    std::array<ShortString, MaxVariables + 1> VariableNames{};
    std::array<std::uint8_t, MaxVariables + 1> CategoryCounts{};
    std::array<std::array<ShortString, MaxCategories + 1>, MaxVariables + 1> CategoryNames{};
    std::array<PairTable, MaxPairTables + 1> PairTables{};
    std::string FileName;
    std::string FileBaseName;

    // State flags (0 or 1).
    bool TableSetModified = false;
    bool TableSetOpen = false;
};

// The model the user chose.
struct ModelSelection {
    // Role of each variable: 0 = not in the model, 1 = dependent, 2 = predictor.
    std::array<std::int32_t, MaxVariables + 1> VariableRoles{};
    std::int32_t DependentVariable = 0;
    std::int32_t PredictorCount = 0;
    std::array<std::int32_t, MaxVariables + 1> PredictorList{};
    // A model has been accepted since the table set was opened.
    bool ResultsAvailable = false;
};

// What the model summary adds to the results (computed by
// ComputeModelSummary, model_fit.h, from the pair tables and the
// results). Indices as in the results: parameters and dependent categories
// from 1. A value that cannot be computed for a column (no variance, a
// perfect fit, no residual degrees of freedom) is NaN.
struct PredictorSummary {
    int variable = 0;
    int df1 = 0;                     // K - 1
    Matrix unadjusted;               // (category, dependent category): n_kd / n_k - p_d
    std::vector<double> eta, beta;   // 1..D
    std::vector<double> fValue, pValue;  // the test of dropping the predictor, 1..D
};

struct ModelSummary {
    // The summary belongs to the current results; false whenever those are
    // not of the stored selection (before any estimation, after one that
    // failed).
    bool present = false;
    double totalCount = 0;   // N
    int rank = 0;            // q = 1 + the sum over predictors of (K - 1)
    double residualDf = 0;   // N - q
    std::vector<double> residualSumOfSquares, rSquared, adjustedRSquared, residualStandardError;  // 1..D
    Matrix classicalStandardErrors, tValues, pValues;  // (parameter, dependent category)
    std::vector<PredictorSummary> predictors;          // [t - 1], t = 1..PredictorCount
};

// The estimation's working arrays and its results.
struct EstimationArrays {
    // Marginal counts per (variable, category), as fixed by the consistency
    // check. 64-bit so that sums of 32-bit cells never wrap.
    std::array<std::array<std::int64_t, MaxCategories + 1>, MaxVariables + 1> MarginalTotals{};
    double TotalCount = 0.0;
    std::int32_t ParameterCount = 0;
    std::int32_t DependentCategoryCount = 0;
    Matrix RightHandSides;  // ParameterCount x DependentCategoryCount
    Matrix CrossProducts;   // ParameterCount x ParameterCount
    std::vector<double> DiagonalCopy;  // 1..ParameterCount
    Matrix InverseMatrix;   // ParameterCount x ParameterCount
    // Results keep a fixed size so that a reader using the current selection
    // never leaves them, even after a failed estimation that kept older values.
    std::array<std::array<double, MaxCategories + 1>, MaxParameters + 1> Coefficients{};
    std::array<std::array<double, MaxCategories + 1>, MaxParameters + 1> StandardErrors{};
    std::array<double, MaxCategories + 1> MinimumPrediction{};
    std::array<double, MaxCategories + 1> MaximumPrediction{};
    std::int32_t EstimationError = 0;

    // Beyond the arrays above: whether they hold the results of the stored
    // selection (false before any estimation and after one that stopped,
    // which keeps older values), and the summary of those results.
    bool ResultsCurrent = false;
    ModelSummary Summary;
    // The odds-ratio model of the stored selection, when it has been fitted
    // (it is fitted on demand, whether or not the linear model was
    // singular); it holds the inputs it was fitted from.
    OddsRatioModel OddsRatios;
    // Room for the text of the estimation log's largest block, used again
    // by the next estimation (its contents are of no meaning).
    std::string LogText;
};

struct TableSet : InputSide, ModelSelection, EstimationArrays, ReportSettings {};

// Number of the pair table of variables i and j, 1 <= j < i <= 16.
constexpr int PairIndex(int i, int j) { return (i - 1) * (i - 2) / 2 + j; }

// Number of the variable whose name equals `name` exactly (bytes, case and
// spaces count); the highest-numbered one when several match; 0 when none.
int FindVariable(const InputSide& ts, std::string_view name);

// Frequency of category x of variable a together with category y of variable
// b, for two distinct variables in either order.
std::int32_t PairCell(const InputSide& ts, int a, int x, int b, int y);

// The row, column and grand totals of a pair table, in 64 bits: the sum of
// 256 cells near the 32-bit limit exceeds any 32-bit total. Every place that
// shows or checks a table's totals takes them from here.
struct PairTableTotals {
    std::array<std::int64_t, MaxCategories + 1> rows{};     // per row, from 1
    std::array<std::int64_t, MaxCategories + 1> columns{};  // per column, from 1
    std::int64_t grand = 0;
};

// Totals of rows 1..rows and columns 1..columns of `table` (each clamped to
// 0..MaxCategories).
PairTableTotals TotalsOf(const PairTable& table, int rows, int columns);

// Totals of the pair table of variables i > j as the table set holds it:
// rows are the categories of i, columns those of j.
PairTableTotals PairTotals(const InputSide& ts, int i, int j);

// Sets every category name slot of every variable to its default "C1".."C16".
void ResetCategoryNames(InputSide& ts);

// The file-name part of a path (without directory) up to its first ".".
std::string BaseNameOf(std::string_view path);

}  // namespace kelvo
