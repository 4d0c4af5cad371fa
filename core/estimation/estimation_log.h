// The estimation log: the matrices of one estimation, one row per line, each
// value right-aligned in a fixed field, each matrix followed by an empty line.
// Used only inside the estimation.
#pragma once

#include <span>
#include <string>

#include "number_format.h"
#include "text_file.h"

namespace kelvo::detail {

// Lines of a log block, gathered into pieces of some 64 KB, each written at
// once.
class LogPieces {
public:
    LogPieces(OutputFile& log, std::size_t lineLength) : m_log(log) { m_piece.reserve(PieceSize + lineLength + 4); }
    // The text of the line at hand, to append to.
    std::string& line() { return m_piece; }
    void EndLine() {
        m_piece += "\r\n";
        if (m_piece.size() >= PieceSize) {
            m_log.Write(m_piece);
            m_piece.clear();
        }
    }
    // The empty line after a matrix; writes what is left.
    void EndMatrix() {
        m_piece += "\r\n";
        m_log.Write(m_piece);
        m_piece.clear();
    }

private:
    static constexpr std::size_t PieceSize = 64 * 1024;
    OutputFile& m_log;
    std::string m_piece;
};

// Writes rows 1..rows, each row the `columns` values from `rowAt(row)` on,
// every value as FormatFixed(value, decimals, width) writes it, then an empty
// line.
template <class RowAt>
void WriteLogMatrix(OutputFile& log, int rows, int columns, int width, int decimals, RowAt rowAt) {
    LogPieces pieces(log, static_cast<std::size_t>(columns) * 40);
    for (int r = 1; r <= rows; ++r) {
        AppendFixedRow(pieces.line(), std::span<const double>(rowAt(r), static_cast<std::size_t>(columns)), decimals,
                       width);
        pieces.EndLine();
    }
    pieces.EndMatrix();
}

}  // namespace kelvo::detail
