// kelvo-cli chart: the coefficient chart of an estimated model as SVG.
#include <filesystem>
#include <iostream>
#include <memory>
#include <set>

#include "atomic_file.h"
#include "chart_svg.h"
#include "cli_common.h"
#include "estimation.h"
#include "model_fit.h"
#include "model_options.h"

namespace kelvo::cli {

namespace {

void WriteSvg(const std::filesystem::path& path, const std::string& svg) {
    AtomicOutputFile file(path);
    file.Write(svg);
    file.Commit();
}

// A file name made of a name: letters, digits, "-" and "_" as they are, every
// other character (a "/" above all) as "_".
std::string FileNamePart(const std::string& latin1) {
    std::string part;
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        part += std::isalnum(byte) != 0 && byte < 0x80 ? c : (c == '-' ? '-' : '_');
    }
    return part.empty() ? "_" : part;
}

int CategoryNamed(const TableSet& ts, const std::string& name) {
    const int dependent = ts.DependentVariable;
    const auto latin1 = Utf8ToLatin1(name);
    for (int d = 1; d <= ts.CategoryCounts[dependent]; ++d)
        if (ts.CategoryNames[dependent][d] == name || (latin1 && ts.CategoryNames[dependent][d] == *latin1)) return d;
    throw UsageError("the dependent variable has no category \"" + name + "\"");
}

int PredictorNamed(const TableSet& ts, const std::string& name) {
    const auto latin1 = Utf8ToLatin1(name);
    for (int t = 1; t <= ts.PredictorCount; ++t) {
        const ShortString& predictor = ts.VariableNames[ts.PredictorList[t]];
        if (predictor == name || (latin1 && predictor == *latin1)) return t;
    }
    throw UsageError("\"" + name + "\" is not one of the predictors");
}

}  // namespace

void RegisterChartCommand(CLI::App& app, int& status) {
    const ModelCommand model = AddModelCommand(
        app, "chart",
        "Estimate a model and draw its coefficients with their 95 % intervals as SVG (exit 1 when singular, 3 when "
        "the file was read only in part)");
    CLI::App* chart = model.command;
    auto category = std::make_shared<std::string>();
    auto predictor = std::make_shared<std::string>();
    auto output = std::make_shared<std::string>();
    auto classical = std::make_shared<bool>(false);
    chart->add_option("--category", *category,
                      "Category of the dependent variable to draw (default: the first; in a folder: every one)");
    chart->add_option("--predictor", *predictor, "Draw only this predictor (default: every predictor in one chart)");
    chart->add_flag("--classical", *classical, "Intervals from the classical standard errors of the model summary");
    chart->add_option("-o,--output", *output,
                      "SVG file to write, or an existing folder for one chart per predictor (and category)")
        ->required();
    chart->callback([=, &status] {
        StderrWarningSink warnings;
        const EstimatedModel estimated = EstimateForOutput(*model.path, *model.options, warnings, "chart", status);
        if (!estimated.computed) return;
        const TableSet* ts = estimated.ts.get();
        const ModelResults results = ResultsOf(*ts);
        ChartOptions chartOptions;
        chartOptions.classical = *classical;
        const int t = predictor->empty() ? 0 : PredictorNamed(*ts, *predictor);
        const int D = results.DependentCategories();
        const int chosen = category->empty() ? 0 : CategoryNamed(*ts, *category);
        if (!std::filesystem::is_directory(*output)) {
            WriteSvg(*output, CoefficientChartSvg(results, chosen == 0 ? 1 : chosen, t, chartOptions));
            status = StatusAfterRead(estimated.complete, *model.path, ExitOk);
            return;
        }
        // A folder: a chart per predictor (or the one asked for) and per
        // dependent category (or the one asked for), named after both.
        std::set<std::string> names;
        for (int p = t == 0 ? 1 : t; p <= (t == 0 ? results.PredictorCount() : t); ++p)
            for (int d = chosen == 0 ? 1 : chosen; d <= (chosen == 0 ? D : chosen); ++d) {
                std::string name = FileNamePart(results.Predictor(p).name) + "-" +
                                   FileNamePart(results.dependent.categories[static_cast<std::size_t>(d)]);
                for (int n = 2; names.contains(name); ++n) name += "-" + std::to_string(n);
                names.insert(name);
                const std::filesystem::path file = std::filesystem::path(*output) / (name + ".svg");
                WriteSvg(file, CoefficientChartSvg(results, d, p, chartOptions));
                std::cout << file.string() << '\n';
            }
        status = StatusAfterRead(estimated.complete, *model.path, ExitOk);
    });
}

}  // namespace kelvo::cli
