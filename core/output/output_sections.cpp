#include "output_sections.h"

#include <stdexcept>

#include "chart.h"
#include "number_format.h"
#include "odds_ratio_sections.h"
#include "significance.h"

namespace kelvo {

namespace {

const ShortString& DependentCategory(const ModelResults& r, int d) {
    return r.dependent.categories[static_cast<std::size_t>(d)];
}

const ModelSummary& SummaryOf(const ModelResults& r) {
    if (!r.summary) throw std::invalid_argument("no model summary: it has not been computed for these results");
    return *r.summary;
}

SectionInfo PredictorSectionInfo(PredictorValues values) {
    switch (values) {
        case PredictorValues::StandardErrors:
            return {SectionKind::StandardErrors, "Standard errors", {}};
        case PredictorValues::EnhancedCoefficients:
            return {SectionKind::EnhancedCoefficients, "Enhanced coefficients", "Bold values are significant", true};
        case PredictorValues::Coefficients:
            break;
    }
    return {SectionKind::Coefficients, "Coefficients", {}};
}

void BuildPredictorSection(const ModelResults& r, PredictorValues values, OutputDriver& driver) {
    const SectionInfo info = PredictorSectionInfo(values);
    driver.BeginSection(info);
    OutputTable table;
    for (int t = 1; t <= r.PredictorCount(); ++t) {
        BuildPredictorTable(r, t, values, table);
        driver.Table(table);
    }
    driver.EndSection(info);
}

}  // namespace

void BuildModelSection(const ModelResults& r, OutputDriver& driver) {
    const SectionInfo info{SectionKind::Model, "Model", {}};
    driver.BeginSection(info);
    OutputTable table;
    table.Reset("Model", 2, 0);
    table.Add(CellRole::RowLabel, "Indepedent variable");
    table.Add(CellRole::Text, r.dependent.name.str());
    std::string predictors;
    for (int t = 1; t <= r.PredictorCount(); ++t) {
        if (t > 1) predictors += ", ";
        predictors += r.Predictor(t).name.str();
    }
    table.Add(CellRole::RowLabel, "Predictor variables");
    table.Add(CellRole::Text, std::move(predictors));
    driver.Table(table);
    driver.EndSection(info);
}

void BuildPairTablesSection(const InputSide& ts, OutputDriver& driver) {
    const SectionInfo info{SectionKind::PairTables, "All tables", {}};
    driver.BeginSection(info);
    OutputTable table;
    for (int i = 2; i <= ts.VariableCount; ++i) {
        for (int j = 1; j < i; ++j) {
            const PairTable& cells = ts.PairTables[PairIndex(i, j)];
            const int rows = ts.CategoryCounts[i];
            const int columns = ts.CategoryCounts[j];
            const PairTableTotals totals = TotalsOf(cells, rows, columns);

            table.Reset("Table: " + ts.VariableNames[i] + " by " + ts.VariableNames[j], columns + 2);
            table.Add(CellRole::Corner, std::string_view());
            for (int c = 1; c <= columns; ++c) table.Add(CellRole::Heading, ts.CategoryNames[j][c].str());
            table.Add(CellRole::SummaryHeading, "Total");
            for (int r = 1; r <= rows; ++r) {
                table.Add(CellRole::RowLabel, ts.CategoryNames[i][r].str());
                for (int c = 1; c <= columns; ++c) table.AddCount(cells[r][c]);
                table.AddCount(static_cast<double>(totals.rows[r]));
            }
            table.Add(CellRole::RowLabel, "Total");
            for (int c = 1; c <= columns; ++c) table.AddCount(static_cast<double>(totals.columns[c]));
            table.AddCount(static_cast<double>(totals.grand));
            table.footerRows = 1;
            driver.Table(table);
        }
    }
    driver.EndSection(info);
}

void BuildPredictorTable(const ModelResults& r, int t, PredictorValues values, OutputTable& table) {
    const ModelVariable& predictor = r.Predictor(t);
    const int rows = r.DependentCategories();
    const int columns = predictor.Categories();
    const int base = r.BlockStart(t);
    const char* heading = "Coeficients for variable: ";
    if (values == PredictorValues::StandardErrors)
        heading = "Standard errors for variable: ";
    else if (values == PredictorValues::EnhancedCoefficients)
        heading = "Coefficients for variable: ";

    table.Reset(heading + predictor.name, columns + 2);
    table.Add(CellRole::Corner, r.dependent.name.str());
    table.Add(CellRole::SummaryHeading, "Average");
    for (int c = 1; c <= columns; ++c) table.Add(CellRole::Heading, predictor.categories[static_cast<std::size_t>(c)].str());
    const auto add = [&](int parameter, int d) {
        if (values == PredictorValues::StandardErrors) return table.AddPercent(r.standardErrors(parameter, d));
        const double coefficient = r.coefficients(parameter, d);
        const bool marked = values == PredictorValues::EnhancedCoefficients &&
                            IsSignificant(coefficient, r.standardErrors(parameter, d));
        table.AddPercent(100.0 * coefficient, marked ? CellRole::SignificantPercent : CellRole::Percent);
    };
    for (int d = 1; d <= rows; ++d) {
        table.Add(CellRole::RowLabel, DependentCategory(r, d).str());
        add(1, d);
        for (int c = 1; c <= columns; ++c) add(base + c, d);
    }
}

void BuildCoefficientsSection(const ModelResults& r, OutputDriver& driver) {
    BuildPredictorSection(r, PredictorValues::Coefficients, driver);
}

void BuildStandardErrorsSection(const ModelResults& r, OutputDriver& driver) {
    BuildPredictorSection(r, PredictorValues::StandardErrors, driver);
}

void BuildEnhancedCoefficientsSection(const ModelResults& r, OutputDriver& driver) {
    BuildPredictorSection(r, PredictorValues::EnhancedCoefficients, driver);
}

void BuildPredictionRangeTable(const ModelResults& r, OutputTable& table) {
    table.Reset("Predictions for the dependent variable", 3);
    table.Add(CellRole::Corner, "Category");
    table.Add(CellRole::Heading, "Minimum");
    table.Add(CellRole::Heading, "Maximum");
    for (int d = 1; d <= r.DependentCategories(); ++d) {
        table.Add(CellRole::RowLabel, DependentCategory(r, d).str());
        // Strictly outside, on the unrounded values: -0.04 shows as -0.0 and
        // is below 0; exactly 0 and exactly 100 are inside.
        const double low = r.minimumPrediction[static_cast<std::size_t>(d)];
        const double high = r.maximumPrediction[static_cast<std::size_t>(d)];
        table.AddPercent(low, low < 0.0 ? CellRole::OutOfRange : CellRole::Percent);
        table.AddPercent(high, high > 100.0 ? CellRole::OutOfRange : CellRole::Percent);
    }
}

void BuildPredictionRangeSection(const ModelResults& r, OutputDriver& driver) {
    const SectionInfo info{SectionKind::PredictionRange, "Prediction range", {}};
    driver.BeginSection(info);
    OutputTable table;
    BuildPredictionRangeTable(r, table);
    driver.Table(table);
    driver.EndSection(info);
}

void BuildModelFitTable(const ModelResults& r, OutputTable& table) {
    const ModelSummary& s = SummaryOf(r);
    std::string title = "Model fit for " + r.dependent.name + " (N = ";
    AppendFixed(title, s.totalCount, 0, 0);
    title += ", residual df ";
    AppendFixed(title, s.residualDf, 0, 0);
    table.Reset(title + ")", 5);
    table.Add(CellRole::Corner, r.dependent.name.str());
    for (const char* heading : {"Cases", "R squared", "Adj. R sq.", "Resid. SE"}) table.Add(CellRole::Heading, heading);
    for (int d = 1; d <= r.DependentCategories(); ++d) {
        table.Add(CellRole::RowLabel, DependentCategory(r, d).str());
        table.AddCount(static_cast<double>(r.dependent.cases[static_cast<std::size_t>(d)]));
        table.AddStatistic(s.rSquared[d], 4);
        table.AddStatistic(s.adjustedRSquared[d], 4);
        table.AddPercent(s.residualStandardError[d]);
    }
}

void BuildPredictorTestsTable(const ModelResults& r, int d, OutputTable& table) {
    const ModelSummary& s = SummaryOf(r);
    table.Reset("Tests of the predictors for " + CategoryOfDependent(r, d), 7);
    table.Add(CellRole::Corner, "Predictor");
    for (const char* heading : {"Eta", "Beta", "F", "df1", "df2", "p value"}) table.Add(CellRole::Heading, heading);
    for (int t = 1; t <= static_cast<int>(s.predictors.size()); ++t) {
        const PredictorSummary& predictor = s.predictors[static_cast<std::size_t>(t) - 1];
        table.Add(CellRole::RowLabel, r.Predictor(t).name.str());
        table.AddStatistic(predictor.eta[d], 4);
        table.AddStatistic(predictor.beta[d], 4);
        table.AddStatistic(predictor.fValue[d], 2);
        table.AddStatistic(predictor.df1, 0);
        table.AddStatistic(s.residualDf, 0);
        table.AddPValue(predictor.pValue[d]);
    }
}

void BuildDeviationsTable(const ModelResults& r, int t, int d, OutputTable& table) {
    const ModelSummary& s = SummaryOf(r);
    if (t < 1 || t > static_cast<int>(s.predictors.size())) throw std::invalid_argument("no such predictor");
    const PredictorSummary& summary = s.predictors[static_cast<std::size_t>(t) - 1];
    const ModelVariable& predictor = r.Predictor(t);
    const int base = r.BlockStart(t);
    table.Reset(CategoryOfDependent(r, d) + " by " + predictor.name, 7);
    table.Add(CellRole::Corner, predictor.name.str());
    for (const char* heading : {"Cases", "Unadjusted", "Adjusted", "SE (classical)", "t", "p value"})
        table.Add(CellRole::Heading, heading);
    const auto addRow = [&](std::string_view label, double cases, double unadjusted, int parameter) {
        table.Add(CellRole::RowLabel, label);
        table.AddCount(cases);
        table.AddPercent(100.0 * unadjusted);
        table.AddPercent(100.0 * r.coefficients(parameter, d));
        table.AddPercent(s.classicalStandardErrors(parameter, d));
        table.AddStatistic(s.tValues(parameter, d), 2);
        table.AddPValue(s.pValues(parameter, d));
    };
    const auto dependentCases = r.dependent.cases[static_cast<std::size_t>(d)];
    addRow("Average", static_cast<double>(static_cast<std::int64_t>(s.totalCount)),
           static_cast<double>(dependentCases) / s.totalCount, 1);
    for (int k = 1; k <= predictor.Categories(); ++k)
        addRow(predictor.categories[static_cast<std::size_t>(k)].str(),
               static_cast<double>(predictor.cases[static_cast<std::size_t>(k)]), summary.unadjusted(k, d), base + k);
}

void BuildModelSummarySection(const ModelResults& r, OutputDriver& driver) {
    SummaryOf(r);
    const SectionInfo info{SectionKind::ModelSummary, "Model summary", {}};
    driver.BeginSection(info);
    OutputTable table;
    BuildModelFitTable(r, table);
    driver.Table(table);
    for (int d = 1; d <= r.DependentCategories(); ++d) {
        BuildPredictorTestsTable(r, d, table);
        driver.Table(table);
        for (int t = 1; t <= r.PredictorCount(); ++t) {
            BuildDeviationsTable(r, t, d, table);
            driver.Table(table);
        }
    }
    driver.EndSection(info);
}

void BuildChartsSection(const ModelResults& r, OutputDriver& driver) {
    const SectionInfo info{SectionKind::CoefficientCharts, "Coefficient charts", {}};
    driver.BeginSection(info);
    for (int t = 1; t <= r.PredictorCount(); ++t)
        for (int d = 1; d <= r.DependentCategories(); ++d) {
            CoefficientChart chart = BuildCoefficientChart(r, d, t);
            std::string title = chart.title;
            driver.Figure({std::move(title), std::move(chart)});
        }
    driver.EndSection(info);
}

void BuildSection(SectionKind kind, const InputSide& tables, const ModelResults& r, OutputDriver& driver) {
    switch (kind) {
        case SectionKind::Model:
            return BuildModelSection(r, driver);
        case SectionKind::PairTables:
            return BuildPairTablesSection(tables, driver);
        case SectionKind::Coefficients:
            return BuildCoefficientsSection(r, driver);
        case SectionKind::StandardErrors:
            return BuildStandardErrorsSection(r, driver);
        case SectionKind::EnhancedCoefficients:
            return BuildEnhancedCoefficientsSection(r, driver);
        case SectionKind::PredictionRange:
            return BuildPredictionRangeSection(r, driver);
        case SectionKind::ModelSummary:
            return BuildModelSummarySection(r, driver);
        case SectionKind::CoefficientCharts:
            return BuildChartsSection(r, driver);
        case SectionKind::OddsRatios:
            return BuildOddsRatioSection(r, driver);
    }
}

}  // namespace kelvo
