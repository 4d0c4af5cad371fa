// The estimation log: the matrices of one estimation, one row per line, each
// value right-aligned in a fixed field, each matrix followed by an empty line.
// Used only inside the estimation.
#pragma once

#include <string>

#include "number_format.h"
#include "text_file.h"

namespace kelvo::detail {

// Writes rows 1..rows of `value(row, column)`, columns 1..columns, each value
// as FormatFixed(value, decimals, width) writes it, then an empty line.
template <class ValueAt>
void WriteLogMatrix(OutputFile& log, int rows, int columns, int width, int decimals, ValueAt value) {
    if (!log.IsOpen()) return;  // an estimation without a log
    std::string line;
    for (int r = 1; r <= rows; ++r) {
        line.clear();
        for (int c = 1; c <= columns; ++c) AppendFixed(line, value(r, c), decimals, width);
        log.WriteLine(line);
    }
    log.WriteLine();
}

}  // namespace kelvo::detail
