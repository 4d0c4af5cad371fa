#include "pasted_table.h"

#include <QRegularExpression>
#include <algorithm>

namespace kelvo::ui {

namespace {

enum class Separator { Tab, Semicolon, Spaces };

// A label is text that is not even a number of another kind (2.5, 1,5 or
// 40%); such numbers are data that is stored as 0, not labels to skip.
bool IsLabel(const QString& field) {
    static const QRegularExpression numberLike(QStringLiteral("^[+-]?[0-9]+([.,][0-9]+)?%?$"));
    return !field.isEmpty() && !numberLike.match(field).hasMatch();
}

bool IsTotal(const QString& field) { return field.compare(QStringLiteral("Total"), Qt::CaseInsensitive) == 0; }

QString CleanField(QString field) {
    field = field.trimmed();
    if (field.size() >= 2 && field.startsWith(u'"') && field.endsWith(u'"')) field = field.mid(1, field.size() - 2).trimmed();
    // 12,345 or 12'345 or 12 345 (also with a no-break space) as one number.
    static const QRegularExpression grouped(QStringLiteral("^[+-]?[0-9]{1,3}([,' \\x{00A0}\\x{202F}][0-9]{3})+$"));
    if (grouped.match(field).hasMatch()) field.remove(QRegularExpression(QStringLiteral("[,' \\x{00A0}\\x{202F}]")));
    return field;
}

QStringList SplitLine(const QString& line, Separator separator) {
    QStringList fields;
    if (separator == Separator::Tab) fields = line.split(u'\t');
    else if (separator == Separator::Semicolon) fields = line.split(u';');
    else fields = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    for (QString& field : fields) field = CleanField(field);

    const auto isNumber = [](const QString& field) { return !IsLabel(field); };
    if (separator == Separator::Spaces && std::any_of(fields.begin(), fields.end(), isNumber)) {
        // The words before the first number are one label.
        const auto firstNumber = std::find_if(fields.begin(), fields.end(), isNumber);
        const qsizetype words = firstNumber - fields.begin();
        if (words > 1) {
            const QString label = QStringList(fields.mid(0, words)).join(u' ');
            fields = QStringList{label} + fields.mid(words);
        }
    }
    return fields;
}

}  // namespace

std::vector<QStringList> ParsePastedTable(const QString& text) {
    const Separator separator = text.contains(u'\t')  ? Separator::Tab
                                : text.contains(u';') ? Separator::Semicolon
                                                      : Separator::Spaces;
    QStringList lines = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).split(u'\n');
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty()) lines.removeLast();
    std::vector<QStringList> rows;
    for (const QString& line : lines) rows.push_back(SplitLine(line, separator));
    if (rows.empty()) return rows;

    // A cross table as spreadsheets copy it: an empty corner, then the
    // column labels, over rows that each start with their label. This also
    // catches labels that are numbers (years, codes).
    const QStringList& top = rows.front();
    const bool corner = rows.size() > 1 && top.size() > 1 && top.front().isEmpty() &&
                        std::none_of(top.begin() + 1, top.end(), [](const QString& f) { return f.isEmpty(); }) &&
                        std::none_of(rows.begin() + 1, rows.end(),
                                     [](const QStringList& row) { return row.isEmpty() || row.front().isEmpty(); });
    const bool header = corner || std::any_of(top.begin(), top.end(), IsLabel);
    const std::size_t firstData = header ? 1 : 0;
    bool labelColumn = corner || (header && top.size() > 1 && top.front().isEmpty());
    for (std::size_t r = firstData; r < rows.size(); ++r)
        if (!rows[r].isEmpty() && IsLabel(rows[r].front())) labelColumn = true;
    const bool totalColumn = header && !rows.front().isEmpty() && IsTotal(rows.front().back());
    const bool totalRow = labelColumn && rows.size() > firstData && !rows.back().isEmpty() && IsTotal(rows.back().front());

    std::vector<QStringList> cells(rows.begin() + static_cast<std::ptrdiff_t>(firstData),
                                   rows.end() - (totalRow ? 1 : 0));
    if (labelColumn)
        for (QStringList& row : cells)
            if (!row.isEmpty()) row.removeFirst();
    if (totalColumn) {
        qsizetype width = 0;
        for (const QStringList& row : cells) width = std::max(width, row.size());
        for (QStringList& row : cells)
            if (row.size() == width && width > 0) row.removeLast();
    }
    return cells;
}

bool IsCellBlock(const QString& text) {
    QString trimmed = text;
    while (trimmed.endsWith(u'\n') || trimmed.endsWith(u'\r')) trimmed.chop(1);
    if (trimmed.contains(u'\n') || trimmed.contains(u'\t') || trimmed.contains(u';')) return true;
    return SplitLine(trimmed, Separator::Spaces).size() > 1;
}

}  // namespace kelvo::ui
