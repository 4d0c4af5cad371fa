#include "output_sections.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "chart.h"
#include "estimation.h"
#include "number_format.h"
#include "significance.h"

namespace kelvo {

namespace {

void AddCount(OutputTable& table, std::int64_t value) {
    char text[24];
    const char* end = std::to_chars(text, text + sizeof text, value).ptr;
    table.Add(CellRole::Count, std::string_view(text, static_cast<std::size_t>(end - text)));
}

void AddPercent(OutputTable& table, double value, CellRole role = CellRole::Percent) {
    table.cells.push_back({role, {}});
    AppendFixed(table.cells.back().text, value, 1, 0);
}

// A number other than a percentage with `decimals` decimals, or "-" where
// the summary has none (NaN).
void AddStatistic(OutputTable& table, double value, int decimals) {
    if (std::isnan(value)) return table.Add(CellRole::Statistic, "-");
    table.cells.push_back({CellRole::Statistic, {}});
    AppendFixed(table.cells.back().text, value, decimals, 0);
}

void AddPercentOrNone(OutputTable& table, double value) {
    if (std::isnan(value)) return table.Add(CellRole::Statistic, "-");
    AddPercent(table, value);
}

std::string CategoryOfDependent(const TableSet& ts, int d) {
    return ts.CategoryNames[ts.DependentVariable][d] + " of " + ts.VariableNames[ts.DependentVariable];
}

SectionInfo PredictorSectionInfo(PredictorValues values) {
    switch (values) {
        case PredictorValues::StandardErrors:
            return {SectionKind::StandardErrors, "Standard errors", {}};
        case PredictorValues::EnhancedCoefficients:
            return {SectionKind::EnhancedCoefficients, "Enhanced coefficients", "Bold values are significant"};
        case PredictorValues::Coefficients:
            break;
    }
    return {SectionKind::Coefficients, "Coefficients", {}};
}

void BuildPredictorSection(const TableSet& ts, PredictorValues values, OutputDriver& driver) {
    const SectionInfo info = PredictorSectionInfo(values);
    driver.BeginSection(info);
    OutputTable table;
    for (int t = 1; t <= ts.PredictorCount; ++t) {
        BuildPredictorTable(ts, t, values, table);
        driver.Table(table);
    }
    driver.EndSection(info);
}

}  // namespace

const char* ModelSelectionProblem(const TableSet& ts) {
    if (ts.VariableCount < 0 || ts.VariableCount > MaxVariables) return "variable count out of range";
    for (int v = 1; v <= ts.VariableCount; ++v)
        if (ts.CategoryCounts[v] > MaxCategories) return "category count out of range";
    if (ts.DependentVariable < 1 || ts.DependentVariable > ts.VariableCount) return "no dependent variable";
    if (ts.PredictorCount < 1 || ts.PredictorCount > MaxVariables - 1) return "no predictor";
    int parameters = 1;
    for (int p = 1; p <= ts.PredictorCount; ++p) {
        const int v = ts.PredictorList[p];
        if (v < 1 || v > ts.VariableCount) return "predictor out of range";
        parameters += ts.CategoryCounts[v];
    }
    if (parameters > MaxParameters) return "too many parameters";
    return nullptr;
}

void BuildModelSection(const TableSet& ts, OutputDriver& driver) {
    const SectionInfo info{SectionKind::Model, "Model", {}};
    driver.BeginSection(info);
    OutputTable table;
    table.Reset("Model", 2, 0);
    table.Add(CellRole::RowLabel, "Indepedent variable");
    table.Add(CellRole::Text, ts.VariableNames[ts.DependentVariable].str());
    std::string predictors;
    for (int p = 1; p <= ts.PredictorCount; ++p) {
        if (p > 1) predictors += ", ";
        predictors += ts.VariableNames[ts.PredictorList[p]].str();
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
                for (int c = 1; c <= columns; ++c) AddCount(table, cells[r][c]);
                AddCount(table, totals.rows[r]);
            }
            table.Add(CellRole::RowLabel, "Total");
            for (int c = 1; c <= columns; ++c) AddCount(table, totals.columns[c]);
            AddCount(table, totals.grand);
            table.footerRows = 1;
            driver.Table(table);
        }
    }
    driver.EndSection(info);
}

void BuildPredictorTable(const TableSet& ts, int t, PredictorValues values, OutputTable& table) {
    const int dependent = ts.DependentVariable;
    const int rows = ts.CategoryCounts[dependent];
    const int v = ts.PredictorList[t];
    const int columns = ts.CategoryCounts[v];
    const int base = BlockStart(ts, t);
    const char* heading = "Coeficients for variable: ";
    if (values == PredictorValues::StandardErrors)
        heading = "Standard errors for variable: ";
    else if (values == PredictorValues::EnhancedCoefficients)
        heading = "Coefficients for variable: ";

    table.Reset(heading + ts.VariableNames[v], columns + 2);
    table.Add(CellRole::Corner, ts.VariableNames[dependent].str());
    table.Add(CellRole::SummaryHeading, "Average");
    for (int c = 1; c <= columns; ++c) table.Add(CellRole::Heading, ts.CategoryNames[v][c].str());
    const auto add = [&](int parameter, int r) {
        if (values == PredictorValues::StandardErrors) return AddPercent(table, ts.StandardErrors[parameter][r]);
        const double coefficient = ts.Coefficients[parameter][r];
        const bool marked = values == PredictorValues::EnhancedCoefficients &&
                            IsSignificant(coefficient, ts.StandardErrors[parameter][r]);
        AddPercent(table, 100.0 * coefficient, marked ? CellRole::SignificantPercent : CellRole::Percent);
    };
    for (int r = 1; r <= rows; ++r) {
        table.Add(CellRole::RowLabel, ts.CategoryNames[dependent][r].str());
        add(1, r);
        for (int c = 1; c <= columns; ++c) add(base + c, r);
    }
}

void BuildCoefficientsSection(const TableSet& ts, OutputDriver& driver) {
    BuildPredictorSection(ts, PredictorValues::Coefficients, driver);
}

void BuildStandardErrorsSection(const TableSet& ts, OutputDriver& driver) {
    BuildPredictorSection(ts, PredictorValues::StandardErrors, driver);
}

void BuildEnhancedCoefficientsSection(const TableSet& ts, OutputDriver& driver) {
    BuildPredictorSection(ts, PredictorValues::EnhancedCoefficients, driver);
}

void BuildPredictionRangeTable(const TableSet& ts, OutputTable& table) {
    const int dependent = ts.DependentVariable;
    table.Reset("Predictions for the dependent variable", 3);
    table.Add(CellRole::Corner, "Category");
    table.Add(CellRole::Heading, "Minimum");
    table.Add(CellRole::Heading, "Maximum");
    for (int r = 1; r <= ts.CategoryCounts[dependent]; ++r) {
        table.Add(CellRole::RowLabel, ts.CategoryNames[dependent][r].str());
        AddPercent(table, ts.MinimumPrediction[r]);
        AddPercent(table, ts.MaximumPrediction[r]);
    }
}

void BuildPredictionRangeSection(const TableSet& ts, OutputDriver& driver) {
    const SectionInfo info{SectionKind::PredictionRange, "Prediction range", {}};
    driver.BeginSection(info);
    OutputTable table;
    BuildPredictionRangeTable(ts, table);
    driver.Table(table);
    driver.EndSection(info);
}

void BuildModelFitTable(const TableSet& ts, OutputTable& table) {
    const ModelSummary& s = ts.Summary;
    const int dependent = ts.DependentVariable;
    std::string title = "Model fit for " + ts.VariableNames[dependent] + " (N = ";
    AppendFixed(title, s.totalCount, 0, 0);
    title += ", residual df ";
    AppendFixed(title, s.residualDf, 0, 0);
    table.Reset(title + ")", 5);
    table.Add(CellRole::Corner, ts.VariableNames[dependent].str());
    for (const char* heading : {"Cases", "R squared", "Adj. R sq.", "Resid. SE"}) table.Add(CellRole::Heading, heading);
    for (int d = 1; d <= ts.DependentCategoryCount; ++d) {
        table.Add(CellRole::RowLabel, ts.CategoryNames[dependent][d].str());
        AddCount(table, ts.MarginalTotals[dependent][d]);
        AddStatistic(table, s.rSquared[d], 4);
        AddStatistic(table, s.adjustedRSquared[d], 4);
        AddPercentOrNone(table, s.residualStandardError[d]);
    }
}

void BuildPredictorTestsTable(const TableSet& ts, int d, OutputTable& table) {
    const ModelSummary& s = ts.Summary;
    table.Reset("Tests of the predictors for " + CategoryOfDependent(ts, d), 7);
    table.Add(CellRole::Corner, "Predictor");
    for (const char* heading : {"Eta", "Beta", "F", "df1", "df2", "p value"}) table.Add(CellRole::Heading, heading);
    for (const PredictorSummary& predictor : s.predictors) {
        table.Add(CellRole::RowLabel, ts.VariableNames[predictor.variable].str());
        AddStatistic(table, predictor.eta[d], 4);
        AddStatistic(table, predictor.beta[d], 4);
        AddStatistic(table, predictor.fValue[d], 2);
        AddStatistic(table, predictor.df1, 0);
        AddStatistic(table, s.residualDf, 0);
        AddStatistic(table, predictor.pValue[d], 4);
    }
}

void BuildDeviationsTable(const TableSet& ts, int t, int d, OutputTable& table) {
    const ModelSummary& s = ts.Summary;
    const PredictorSummary& predictor = s.predictors[static_cast<std::size_t>(t) - 1];
    const int v = predictor.variable;
    const int base = BlockStart(ts, t);
    table.Reset(CategoryOfDependent(ts, d) + " by " + ts.VariableNames[v], 7);
    table.Add(CellRole::Corner, ts.VariableNames[v].str());
    for (const char* heading : {"Cases", "Unadjusted", "Adjusted", "Class. SE", "t", "p value"})
        table.Add(CellRole::Heading, heading);
    const auto addRow = [&](std::string_view label, std::int64_t cases, double unadjusted, int parameter) {
        table.Add(CellRole::RowLabel, label);
        AddCount(table, cases);
        AddPercent(table, 100.0 * unadjusted);
        AddPercent(table, 100.0 * ts.Coefficients[parameter][d]);
        AddPercentOrNone(table, s.classicalStandardErrors(parameter, d));
        AddStatistic(table, s.tValues(parameter, d), 2);
        AddStatistic(table, s.pValues(parameter, d), 4);
    };
    const auto dependentCases = ts.MarginalTotals[ts.DependentVariable][d];
    addRow("Average", static_cast<std::int64_t>(s.totalCount),
           static_cast<double>(dependentCases) / s.totalCount, 1);
    for (int k = 1; k <= ts.CategoryCounts[v]; ++k)
        addRow(ts.CategoryNames[v][k].str(), ts.MarginalTotals[v][k], predictor.unadjusted(k, d), base + k);
}

void BuildModelSummarySection(const TableSet& ts, OutputDriver& driver) {
    const SectionInfo info{SectionKind::ModelSummary, "Model summary", {}};
    driver.BeginSection(info);
    OutputTable table;
    BuildModelFitTable(ts, table);
    driver.Table(table);
    for (int d = 1; d <= ts.DependentCategoryCount; ++d) {
        BuildPredictorTestsTable(ts, d, table);
        driver.Table(table);
        for (int t = 1; t <= ts.PredictorCount; ++t) {
            BuildDeviationsTable(ts, t, d, table);
            driver.Table(table);
        }
    }
    driver.EndSection(info);
}

void BuildChartsSection(const TableSet& ts, OutputDriver& driver) {
    const SectionInfo info{SectionKind::CoefficientCharts, "Coefficient charts", {}};
    driver.BeginSection(info);
    ChartOptions options;
    options.standalone = false;
    for (int t = 1; t <= ts.PredictorCount; ++t)
        for (int d = 1; d <= ts.DependentCategoryCount; ++d) {
            const int v = ts.PredictorList[t];
            driver.Figure({ts.VariableNames[v] + ": " + ts.CategoryNames[ts.DependentVariable][d] + " of " +
                               ts.VariableNames[ts.DependentVariable],
                           CoefficientChartSvg(ts, d, t, options)});
        }
    driver.EndSection(info);
}

void BuildSection(SectionKind kind, const TableSet& ts, OutputDriver& driver) {
    switch (kind) {
        case SectionKind::Model:
            return BuildModelSection(ts, driver);
        case SectionKind::PairTables:
            return BuildPairTablesSection(ts, driver);
        case SectionKind::Coefficients:
            return BuildCoefficientsSection(ts, driver);
        case SectionKind::StandardErrors:
            return BuildStandardErrorsSection(ts, driver);
        case SectionKind::EnhancedCoefficients:
            return BuildEnhancedCoefficientsSection(ts, driver);
        case SectionKind::PredictionRange:
            return BuildPredictionRangeSection(ts, driver);
        case SectionKind::ModelSummary:
            return BuildModelSummarySection(ts, driver);
        case SectionKind::CoefficientCharts:
            return BuildChartsSection(ts, driver);
    }
}

}  // namespace kelvo
