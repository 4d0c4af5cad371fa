// The odds-ratio model of a selection: the loglinear model of the joint
// table of the dependent variable and the predictors with every main effect
// and every two-way association, fitted by maximum likelihood from the pair
// tables (which are its sufficient statistics). Its associations of the
// dependent variable with each predictor are log odds ratios, with the first
// category of each variable as reference. Computed by FitOddsRatioModel
// (odds_ratio_fit.h); kept here so that the table set can hold it beside the
// linear model's results.
//
// Predictors are numbered t = 1..P in the selection's order, categories from
// 1. A number that does not exist (a parameter that is not estimable, a p
// value without degrees of freedom) is NaN.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace kelvo {

// The normal quantile of the 95 % intervals of the odds ratios.
inline constexpr double OddsRatioQuantile = 1.959963985;

// The association of dependent category `dependentCategory` (against
// category 1) with category `category` of predictor `predictor` (against its
// category 1), the other predictors held fixed.
struct OddsRatioParameter {
    int predictor = 0;
    int category = 0;           // 2..K of the predictor
    int dependentCategory = 0;  // 2..K of the dependent variable
    double logOddsRatio = std::numeric_limits<double>::quiet_NaN();
    double standardError = std::numeric_limits<double>::quiet_NaN();
    // When it is not estimable: the warning that says so and names the
    // empty cells.
    std::string warning;

    bool Estimable() const { return std::isfinite(logOddsRatio); }
    double OddsRatio() const { return std::exp(logOddsRatio); }
    double Lower() const { return std::exp(logOddsRatio - OddsRatioQuantile * standardError); }
    double Upper() const { return std::exp(logOddsRatio + OddsRatioQuantile * standardError); }
    // The interval leaves out 1 (strictly): |b| > 1.959963985 se.
    bool Significant() const {
        const double half = OddsRatioQuantile * standardError;
        return logOddsRatio - half > 0.0 || logOddsRatio + half < 0.0;
    }
};

// The likelihood-ratio test of dropping the association of the dependent
// variable with one predictor.
struct OddsRatioTest {
    int predictor = 0;
    double g2 = 0;
    int df = 0;  // (K_D - 1)(K_t - 1), also where zeros leave fewer parameters
    double pValue = std::numeric_limits<double>::quiet_NaN();
};

// The smallest and largest predicted probability of one dependent category
// over the combinations of predictor categories with a positive fitted
// count, in percent, and the combinations (a category per predictor, [t - 1])
// where they are reached; the first in the order of the combinations on ties.
struct OddsRatioPrediction {
    int dependentCategory = 0;
    double minimum = std::numeric_limits<double>::quiet_NaN();
    double maximum = std::numeric_limits<double>::quiet_NaN();
    std::vector<int> minimumAt, maximumAt;
};

struct OddsRatioModel {
    // Whether the table set holds a fitted model (EstimationArrays).
    bool present = false;
    std::int64_t cells = 0;     // of the joint table
    int iterations = 0;         // Newton steps of the fit
    bool converged = false;
    double totalCount = 0;      // N
    std::vector<OddsRatioTest> tests;            // [t - 1]
    // By predictor, then its category, then the dependent category.
    std::vector<OddsRatioParameter> parameters;
    std::vector<OddsRatioPrediction> predictions;  // [d - 1], d = 1..K_D
    // A fit (the model's, or one of a test) that did not converge.
    std::vector<std::string> fitWarnings;
    // The selection and the pair tables the model was fitted from: the
    // model belongs to the table set only while these are unchanged.
    std::vector<std::int32_t> inputs;

    // Everything the user should know: the fit's warnings, then those of
    // the parameters that are not estimable.
    std::vector<std::string> Warnings() const {
        std::vector<std::string> all = fitWarnings;
        for (const OddsRatioParameter& p : parameters)
            if (!p.warning.empty()) all.push_back(p.warning);
        return all;
    }
};

}  // namespace kelvo
