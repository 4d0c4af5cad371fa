// The loglinear engine behind the odds-ratio model (used only inside the
// estimation): a model with every main effect and a chosen set of two-way
// associations on a joint table of up to 16 variables held in memory,
// fitted by maximum likelihood with Newton steps on the Poisson
// log-likelihood.
//
// The observed margins (the total, every variable's counts and the pair
// tables of the associations in the model) are the model's sufficient
// statistics. A margin cell without cases forces every cell of the joint
// table that falls into it to 0 (a structural zero); the parameters are then
// those of the model on the remaining cells, where a column of the design
// can vanish or depend on others. Such parameters are not estimable; the
// others, and the fitted table, are unique.
//
// Parameters are treatment contrasts: category 0 (the first) of every
// variable is the reference, so a column is the intercept, category a >= 1
// of one variable, or categories a, b >= 1 of two.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <stop_token>
#include <vector>

#include "table_limits.h"

namespace kelvo::detail {

// Thrown from the engine's loops when the stop token asks it to stop.
struct FitStopped {};

// The joint table: variables 0..V-1, the last one varying fastest.
struct JointLayout {
    int variables = 0;
    std::array<int, MaxVariables> categories{};
    std::array<std::int64_t, MaxVariables> strides{};  // cells between neighbouring categories
    std::array<std::int64_t, MaxVariables + 1> suffix{};  // cells of variables v..V-1 together; suffix[V] = 1
    std::int64_t cells = 1;

    explicit JointLayout(const std::vector<int>& categoryCounts);
    JointLayout() = default;
};

// The slot of the association of variables v < w among all pairs.
constexpr int PairSlot(int v, int w) { return w * (w - 1) / 2 + v; }
constexpr int PairSlots = MaxVariables * (MaxVariables - 1) / 2;

// A column of the design: the intercept (v = w = -1), category a of variable
// v (w = -1), or categories a and b of variables v < w.
struct Column {
    int v = -1, w = -1;
    int a = 0, b = 0;
    unsigned Mask() const { return (v >= 0 ? 1u << v : 0u) | (w >= 0 ? 1u << w : 0u); }
};

// Margins of a table over sets of variables (bit masks): each is a dense
// array over the categories of its variables in increasing order, the last
// varying fastest. Only the required ones are computed.
class Margins {
public:
    explicit Margins(const JointLayout& layout);
    void Require(unsigned mask);
    // Every required margin of `table`, summed in short sums (a table's cells
    // are added over one variable at a time). Throws FitStopped when `stop`
    // asks for it.
    void Compute(const double* table, const std::stop_token& stop);
    // The cell of margin `mask` at category[v] of each of its variables v.
    double At(unsigned mask, const int* category) const;
    const double* Of(unsigned mask) const { return m_values.data() + m_offset[mask]; }
    // The working memory beyond the joint table, in doubles.
    std::size_t WorkingSize() const;

private:
    void Expand(const double* node, unsigned kept, int count, int next, std::int64_t keptCells,
                const std::stop_token& stop);
    const JointLayout& m_layout;
    std::vector<std::int64_t> m_offset;  // by mask; -1 when not required
    std::vector<char> m_wanted;          // by mask: some required margin holds these variables
    std::vector<double> m_values;
    std::array<std::vector<double>, 5> m_buffers;  // one per depth of the expansion
};

// The terms of a table: log m(x) = constant + the sum over v of main[v][x_v]
// + the sum over the pairs v < w in the model of pair[slot][x_v K_w + x_w].
// minus infinity marks cells that are structurally zero.
struct LogLinearTerms {
    double constant = 0;
    std::array<std::vector<double>, MaxVariables> main;
    std::array<std::vector<double>, PairSlots> pair;  // empty for a pair outside the model
};

// Writes m(x) = exp(log m(x)) for every cell of the layout into `table`.
void FillTable(const JointLayout& layout, const LogLinearTerms& terms, double* table);

// A model and its observed margins.
struct LoglinearModel {
    JointLayout layout;
    std::vector<int> pairs;  // the slots of its associations, in the order of their columns
    double total = 0;
    std::array<std::vector<double>, MaxVariables> observedMain;   // [v][a]
    std::array<std::vector<double>, PairSlots> observedPair;      // [slot][a K_w + b], every slot of the layout
};

struct FitControl {
    int maxIterations = 10000;
    // Converged when every fitted margin cell of the model (the total, the
    // counts of each variable, every cell of its pair tables) is within
    // tolerance x N of the observed one.
    double tolerance = 1e-13;
    std::stop_token stop;
    // Called after each step of the fit with the steps taken so far.
    std::function<void(int)> stepped;
};

// The fit of one model, with its columns in order: the intercept, the main
// effects of variables 0..V-1, then the associations in the order of
// model.pairs, each with its categories a (outer) and b.
struct LoglinearFit {
    std::vector<Column> columns;
    std::vector<double> theta;      // [column]; 0 outside the basis
    std::vector<char> estimable;    // [column]
    std::vector<char> inBasis;      // [column]: the parameters that were fitted
    std::vector<double> observed;   // [column]: the sufficient statistic
    int iterations = 0;
    bool converged = false;
    double marginError = 0;         // the largest difference of a margin cell, relative to N
    // Some cells without a margin cell that forces them to 0 are 0 in the
    // fit (its maximum lies at infinity in some parameters, which are not
    // estimable); the fitted table holds them as 0, `terms` does not.
    bool boundary = false;
    LogLinearTerms terms;           // the fitted table's terms

    // For the warm start of a related model: the parameter of `column`, or 0.
    double Parameter(const Column& column) const;
};

// Fits `model` into `table` (layout.cells doubles, left holding the fitted
// table), starting from `start`'s parameters where it has them (columns it
// lacks start at 0) or from the table of independence. Throws FitStopped.
LoglinearFit FitLoglinear(const LoglinearModel& model, double* table, const FitControl& control,
                          const LoglinearFit* start = nullptr);

// The variances (the diagonal of the inverse Fisher information at the fit)
// of the parameters of columns first..columns.size()-1, which must be the
// last of the basis; NaN for those outside the basis or not estimable.
// `table` must hold the fitted table. Throws FitStopped.
std::vector<double> TailVariances(const LoglinearModel& model, const LoglinearFit& fit, const double* table,
                                  std::size_t first, const std::stop_token& stop);

}  // namespace kelvo::detail
