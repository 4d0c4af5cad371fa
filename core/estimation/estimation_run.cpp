// The whole estimation run: the operations of estimation.h in their order.
//
// The calling thread does everything that the table set, the warnings and
// the log see, in exactly the order of the operations one by one. The
// inversion, the coefficients and the variances are computed apart, from
// private copies, as soon as the cross products exist (NumericWork): for
// large models by a helper thread, while the calling thread formats and
// writes the log's large blocks 2 and 3, the variances then being shared
// between both threads; for small ones right there. The calling thread takes
// each result over at the point where the operations one by one would
// compute it, so after an error of the log the table set holds exactly what
// they would have left, and the numbers are the same to the last bit (each
// sum is computed by the same kernels, by one thread).
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "estimation.h"
#include "estimation_kernels.h"
#include "estimation_log.h"
#include "estimation_steps.h"

namespace kelvo {

namespace {

// The inversion, the coefficients and the variances, computed apart from the
// table set (by a helper thread or by the calling thread), and how far they
// got.
class NumericWork {
public:
    enum Stage { Started, Factored, Inverted, CoefficientsDone, VariancesStarted, Finished };

    // Copies what the helper needs from the table set (X'X as built, and its
    // lower triangle with the constraints added as AddIdentifyingConstraints
    // adds them), so that the calling thread may go on changing it.
    NumericWork(const InputSide& in, const ModelSelection& model, const EstimationArrays& est)
        : m_isa(detail::CurrentIsa()), m_m(est.ParameterCount), m_d(est.DependentCategoryCount),
          m_plain(m_m, detail::KernelMatrix::Fill::Unset), m_constrained(m_m, detail::KernelMatrix::Fill::Unset), m_rightHandSides(static_cast<std::size_t>(m_m) * static_cast<std::size_t>(m_d)),
          m_factor(m_m), m_inverse(m_m),
          m_coefficients(static_cast<std::size_t>(m_m) * static_cast<std::size_t>(m_d)),
          m_variances(static_cast<std::size_t>(m_m)) {
        for (int i = 0; i < m_m; ++i) {
            std::copy_n(est.CrossProducts.row(i + 1) + 1, m_m, m_plain.row(i));
            std::copy_n(est.CrossProducts.row(i + 1) + 1, i + 1, m_constrained.row(i));
            std::copy_n(est.RightHandSides.row(i + 1) + 1, m_d, m_rightHandSides.begin() + i * m_d);
        }
        detail::ForEachIdentifyingConstraint(
            in, model, est, [this](int i, int j, double product) { m_constrained(i - 1, j - 1) += product; });
    }

    // The work (on the helper thread, or on the calling one).
    void Run(const std::stop_token& stop) noexcept {
        try {
            m_singularRow =
                detail::FactorCholesky(m_isa, m_constrained.row(0), m_constrained.stride(), m_m, m_factor,
                                       detail::SingularPivot);
            Reach(Factored);
            if (m_singularRow >= 0 || stop.stop_requested()) return Reach(Finished);
            {
                detail::KernelMatrix inverseFactor(m_m);
                detail::InvertFactor(m_isa, m_factor, inverseFactor);
                detail::MultiplyTransposeByItself(m_isa, inverseFactor, m_inverse.row(0), m_inverse.stride());
            }
            Reach(Inverted);
            detail::MultiplySymmetric(m_isa, m_inverse, m_rightHandSides.data(), static_cast<std::size_t>(m_d), m_d,
                                      m_coefficients.data(), static_cast<std::size_t>(m_d));
            Reach(CoefficientsDone);
            if (stop.stop_requested()) return Reach(Finished);
            m_sums.emplace(m_isa, m_inverse, m_plain.row(0), m_plain.stride());
            Reach(VariancesStarted);
            m_sums->ComputeShared(m_nextBlock, m_variances.data());
        } catch (...) {
            const std::lock_guard lock(m_mutex);
            m_error = std::current_exception();
        }
        Reach(Finished);
    }

    // Waits until the helper got to `stage` (or stopped early); rethrows what
    // the helper failed with.
    void WaitFor(Stage stage) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_stage >= stage; });
        if (m_error) std::rethrow_exception(m_error);
    }

    // Makes the helper stop at its next chance: before its next stage, or
    // after the block of variances at hand.
    void Abandon() { m_nextBlock = 1 << 30; }

    // The variances: the calling thread takes blocks too, then waits for the
    // helper's last.
    const std::vector<double>& Variances() {
        WaitFor(VariancesStarted);
        m_sums->ComputeShared(m_nextBlock, m_variances.data());
        WaitFor(Finished);
        return m_variances;
    }

    int SingularRow() const { return m_singularRow; }
    const detail::KernelMatrix& Factor() const { return m_factor; }
    const detail::KernelMatrix& Inverse() const { return m_inverse; }
    double Coefficient(int p, int d) const { return m_coefficients[static_cast<std::size_t>(p) * m_d + d]; }

private:
    void Reach(Stage stage) {
        {
            const std::lock_guard lock(m_mutex);
            if (stage > m_stage) m_stage = stage;
        }
        m_changed.notify_all();
    }

    const detail::Isa m_isa;
    const int m_m;
    const int m_d;
    detail::KernelMatrix m_plain;        // the m x m entries only
    detail::KernelMatrix m_constrained;  // its lower triangle only
    std::vector<double> m_rightHandSides;  // [q * D + d], from 0
    detail::KernelMatrix m_factor;
    detail::KernelMatrix m_inverse;
    std::vector<double> m_coefficients;  // [p * D + d], from 0
    std::vector<double> m_variances;
    std::optional<detail::SandwichSums> m_sums;
    std::atomic<int> m_nextBlock = 0;
    int m_singularRow = -1;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    Stage m_stage = Started;
    std::exception_ptr m_error;
};

// The operations from log block 2 on, taking over the results of `work`;
// returns what ComputeEstimates returns. CrossProducts already holds X'X.
// Without a log (nullptr), its blocks are neither made nor written.
bool TakeOverInOrder(const InputSide& in, const ModelSelection& model, EstimationArrays& est, WarningSink& warnings, OutputFile* log,
                     NumericWork& work) {
    const int m = est.ParameterCount;
    const int D = est.DependentCategoryCount;
    // BuildCrossProducts' log block, then AddIdentifyingConstraints.
    if (log != nullptr) {
        detail::LogRows plain(est.LogText);
        detail::WriteCrossProductsLog(est, *log, plain);
        detail::AddConstraints(in, model, est);
        detail::WriteConstrainedLog(in, model, est, *log, plain);
    } else {
        detail::AddConstraints(in, model, est);
    }

    // InvertMatrix.
    work.WaitFor(NumericWork::Factored);
    if (work.SingularRow() >= 0) {
        detail::StopAtSingularRow(est, work.Factor(), work.SingularRow(), warnings, log);
        return false;
    }
    work.WaitFor(NumericWork::Inverted);
    Matrix& inverse = est.InverseMatrix;
    if (inverse.rows() != m || inverse.columns() != m) inverse.resize(m, m);
    for (int i = 0; i < m; ++i) std::copy_n(work.Inverse().row(i), m, inverse.row(i + 1) + 1);
    est.EstimationError = 0;
    detail::RestoreCrossProducts(est);

    // ComputeCoefficients.
    work.WaitFor(NumericWork::CoefficientsDone);
    for (int p = 1; p <= m; ++p)
        for (int d = 1; d <= D; ++d) est.Coefficients[p][d] = work.Coefficient(p - 1, d - 1);
    if (log != nullptr) detail::WriteCoefficientsLog(est, *log);

    // ComputeStandardErrors and ComputePredictionRange.
    detail::StandardErrorsFromVariances(model, est, work.Variances());
    ComputePredictionRange(in, model, est);
    return true;
}

// ComputeEstimates, with the log at logPath, or without a log (nullptr).
bool Estimate(const InputSide& in, const ModelSelection& model, EstimationArrays& est, WarningSink& warnings, const std::filesystem::path* logPath) {
    // Until this run succeeds the arrays hold no results of this selection.
    est.ResultsCurrent = false;
    est.Summary.present = false;
    if (const std::string problem = EstimationProblem(in, model); !problem.empty())
        throw std::invalid_argument(problem);
    OutputFile log;
    CheckMarginalTotals(in, est, warnings);
    if (logPath != nullptr) {
        BuildRightHandSides(in, model, est, log, *logPath);
    } else {
        detail::FillRightHandSides(in, model, est);
    }
    detail::FillCrossProducts(in, model, est);
    NumericWork work(in, model, est);
    std::jthread helper;  // goes (joining the thread) before `work`
    if (detail::UseTwoThreads(est.ParameterCount)) {
        try {
            helper = std::jthread([&work](const std::stop_token& stop) { work.Run(stop); });
        } catch (const std::system_error&) {
            // No thread to be had: the work is done here.
        }
    }
    if (!helper.joinable()) work.Run(std::stop_token());
    try {
        est.ResultsCurrent = TakeOverInOrder(in, model, est, warnings, logPath != nullptr ? &log : nullptr, work);
        return est.ResultsCurrent;
    } catch (...) {
        // The results of the work are dropped; a helper stops soon and is
        // joined on the way out.
        work.Abandon();
        helper.request_stop();
        throw;
    }
}

}  // namespace

bool ComputeEstimates(const InputSide& in, const ModelSelection& model, EstimationArrays& est, WarningSink& warnings,
                      const std::filesystem::path& logPath) {
    return Estimate(in, model, est, warnings, &logPath);
}

bool ComputeEstimatesWithoutLog(const InputSide& in, const ModelSelection& model, EstimationArrays& est, WarningSink& warnings) {
    return Estimate(in, model, est, warnings, nullptr);
}

}  // namespace kelvo
