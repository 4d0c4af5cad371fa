// The dense matrices of the estimation and its summary.
#pragma once

#include <cstddef>
#include <vector>

namespace kelvo {

// A dense matrix of doubles addressed (row, column) from 1, sized to the model
// at hand. Storage is row after row.
class Matrix {
public:
    Matrix() = default;
    Matrix(int rows, int columns) { resize(rows, columns); }
    void resize(int rows, int columns) {
        m_rows = rows;
        m_columns = columns;
        m_data.assign(static_cast<std::size_t>(rows + 1) * (columns + 1), 0.0);
    }
    int rows() const { return m_rows; }
    int columns() const { return m_columns; }
    double& operator()(int row, int column) { return m_data[index(row, column)]; }
    double operator()(int row, int column) const { return m_data[index(row, column)]; }
    // Pointer to element (row, 0): element (row, c) is at [c].
    double* row(int r) { return m_data.data() + index(r, 0); }
    const double* row(int r) const { return m_data.data() + index(r, 0); }

private:
    std::size_t index(int row, int column) const {
        return static_cast<std::size_t>(row) * (m_columns + 1) + column;
    }
    int m_rows = 0;
    int m_columns = 0;
    std::vector<double> m_data;
};

}  // namespace kelvo
