#include "output_model.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "number_format.h"

namespace kelvo {

void AppendCellText(std::string& out, const OutputCell& cell) {
    if (!IsNumber(cell.role)) {
        out += cell.text;
        return;
    }
    if (std::isnan(cell.value)) {
        out += '-';
        return;
    }
    if (cell.format.kind == NumberFormat::Kind::Whole) {
        char text[24];
        const char* end = std::to_chars(text, text + sizeof text, static_cast<std::int64_t>(cell.value)).ptr;
        out.append(text, static_cast<std::size_t>(end - text));
        return;
    }
    if (cell.format.kind == NumberFormat::Kind::PValue) return AppendPValue(out, cell.value);
    AppendFixed(out, cell.value, cell.format.decimals, 0);
}

std::string CellText(const OutputCell& cell) {
    std::string out;
    AppendCellText(out, cell);
    return out;
}

bool IsNumberColumn(const OutputTable& table, int column) {
    for (int r = table.headingRows; r < table.Rows(); ++r)
        if (IsNumber(table.At(column, r).role)) return true;
    return false;
}

}  // namespace kelvo
