#include "odds_ratio_sections.h"

#include <limits>
#include <stdexcept>

#include "chart.h"
#include "number_format.h"

namespace kelvo {

namespace {

const OddsRatioModel& ModelOf(const ModelResults& r) {
    if (!r.oddsRatios) throw std::invalid_argument("no odds ratios: the odds-ratio model has not been fitted");
    return *r.oddsRatios;
}

const ShortString& Category(const ModelVariable& variable, int k) {
    return variable.categories[static_cast<std::size_t>(k)];
}

}  // namespace

void BuildOddsRatioTestsTable(const ModelResults& r, OutputTable& table) {
    const OddsRatioModel& model = ModelOf(r);
    std::string title = "Tests of the associations with " + r.dependent.name + " (N = ";
    AppendFixed(title, model.totalCount, 0, 0);
    table.Reset(title + ")", 4);
    table.Add(CellRole::Corner, "Predictor");
    for (const char* heading : {"G squared", "df", "p value"}) table.Add(CellRole::Heading, heading);
    for (const OddsRatioTest& test : model.tests) {
        table.Add(CellRole::RowLabel, r.Predictor(test.predictor).name.str());
        table.AddStatistic(test.g2, 3);
        table.AddStatistic(test.df, 0);
        table.AddPValue(test.pValue);
    }
    table.notes = model.fitWarnings;
}

void BuildOddsRatioTable(const ModelResults& r, int t, int d, OutputTable& table) {
    const OddsRatioModel& model = ModelOf(r);
    if (t < 1 || t > r.PredictorCount()) throw std::invalid_argument("no odds ratios: no such predictor");
    if (d < 2 || d > r.DependentCategories()) throw std::invalid_argument("no odds ratios: no such dependent category");
    const ModelVariable& predictor = r.Predictor(t);
    table.Reset("Odds of " + Category(r.dependent, d) + " against " + Category(r.dependent, 1) + " of " +
                    r.dependent.name + ", " + predictor.name + " against " + Category(predictor, 1),
                6);
    table.Add(CellRole::Corner, predictor.name.str());
    for (const char* heading : {"Log OR", "SE", "Odds ratio", "Lower 95 %", "Upper 95 %"})
        table.Add(CellRole::Heading, heading);
    for (const OddsRatioParameter& p : model.parameters) {
        if (p.predictor != t || p.dependentCategory != d) continue;
        table.Add(CellRole::RowLabel, Category(predictor, p.category).str());
        const bool estimable = p.Estimable();
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const CellRole marked = estimable && p.Significant() ? CellRole::SignificantPercent : CellRole::Statistic;
        table.AddNumber(marked, p.logOddsRatio, {NumberFormat::Kind::Fixed, 4});
        table.AddStatistic(p.standardError, 4);
        table.AddNumber(marked, estimable ? p.OddsRatio() : nan, {NumberFormat::Kind::Fixed, 3});
        table.AddStatistic(estimable ? p.Lower() : nan, 3);
        table.AddStatistic(estimable ? p.Upper() : nan, 3);
        if (!p.warning.empty()) table.notes.push_back(p.warning);
    }
}

void BuildOddsRatioPredictionTable(const ModelResults& r, bool largest, OutputTable& table) {
    const OddsRatioModel& model = ModelOf(r);
    table.Reset(std::string(largest ? "Largest" : "Smallest") + " predicted probabilities of " + r.dependent.name,
                3 + r.PredictorCount());
    table.Add(CellRole::Corner, r.dependent.name.str());
    table.Add(CellRole::Heading, "Odds model");
    table.Add(CellRole::Heading, "Linear");
    for (int t = 1; t <= r.PredictorCount(); ++t) table.Add(CellRole::Heading, r.Predictor(t).name.str());
    for (const OddsRatioPrediction& p : model.predictions) {
        table.Add(CellRole::RowLabel, Category(r.dependent, p.dependentCategory).str());
        table.AddPercent(largest ? p.maximum : p.minimum);
        const auto index = static_cast<std::size_t>(p.dependentCategory);
        double linear = std::numeric_limits<double>::quiet_NaN();
        if (r.current && index < r.minimumPrediction.size())
            linear = largest ? r.maximumPrediction[index] : r.minimumPrediction[index];
        const bool outside = largest ? linear > 100.0 : linear < 0.0;
        table.AddPercent(linear, outside ? CellRole::OutOfRange : CellRole::Percent);
        const std::vector<int>& at = largest ? p.maximumAt : p.minimumAt;
        for (int t = 1; t <= r.PredictorCount(); ++t)
            table.Add(CellRole::Text, at.empty() ? std::string("-") : Category(r.Predictor(t), at[static_cast<std::size_t>(t) - 1]).str());
    }
}

void BuildOddsRatioSection(const ModelResults& r, OutputDriver& driver) {
    ModelOf(r);
    const SectionInfo info{SectionKind::OddsRatios, "Odds ratios", {}};
    driver.BeginSection(info);
    OutputTable table;
    BuildOddsRatioTestsTable(r, table);
    driver.Table(table);
    for (int t = 1; t <= r.PredictorCount(); ++t)
        for (int d = 2; d <= r.DependentCategories(); ++d) {
            BuildOddsRatioTable(r, t, d, table);
            driver.Table(table);
            CoefficientChart chart = BuildOddsRatioChart(r, d, t);
            std::string title = chart.title;
            driver.Figure({std::move(title), std::move(chart)});
        }
    for (const bool largest : {false, true}) {
        BuildOddsRatioPredictionTable(r, largest, table);
        driver.Table(table);
    }
    driver.EndSection(info);
}

}  // namespace kelvo
