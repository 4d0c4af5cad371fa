// Helpers for the tests of the model and results windows.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "table_set.h"

namespace kelvo::test {

// The colour that `paint` gives the top-left corner of a cell of 75 x 16
// pixels (text never reaches that corner). `paint` draws the cell into the
// rectangle it is given, as a grid's drawing function does.
QColor PaintedBackground(const std::function<void(QPainter*, const QRect&)>& paint);

// The model of one predictor with categories of 30 and 70 cases, 10 and 35
// of which fall into dependent category 1 (N = 100), estimated. Variable 1 is
// the dependent ("Outcome": "Yes", "No"), variable 2 the predictor ("Group":
// "Small", "Large").
std::unique_ptr<TableSet> ThirtySeventyModel();

// The Titanic example (examples/titanic.tbl), Survived on the predictors
// named, estimated with its model summary, its results available.
std::unique_ptr<TableSet> EstimatedTitanic(const std::vector<std::string>& predictors);

}  // namespace kelvo::test
