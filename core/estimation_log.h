// The estimation log: the matrices of one estimation, one row per line, each
// value right-aligned in a fixed field, each matrix followed by an empty line.
// Used only inside the estimation.
#pragma once

#include <span>
#include <string>

#include "number_format.h"
#include "text_file.h"

namespace kelvo::detail {

// Writes rows 1..rows, each row the `columns` values from `rowAt(row)` on,
// every value as FormatFixed(value, decimals, width) writes it, then an empty
// line. The lines are gathered into pieces of some 64 KB, each written at once.
template <class RowAt>
void WriteLogMatrix(OutputFile& log, int rows, int columns, int width, int decimals, RowAt rowAt) {
    constexpr std::size_t PieceSize = 64 * 1024;
    std::string piece;
    piece.reserve(PieceSize + static_cast<std::size_t>(columns) * 40 + 2);
    for (int r = 1; r <= rows; ++r) {
        AppendFixedRow(piece, std::span<const double>(rowAt(r), static_cast<std::size_t>(columns)), decimals, width);
        piece += "\r\n";
        if (piece.size() >= PieceSize) {
            log.Write(piece);
            piece.clear();
        }
    }
    piece += "\r\n";
    log.Write(piece);
}

}  // namespace kelvo::detail
