#include "table_set_file.h"

#include <charconv>
#include <cstring>
#include <memory>

#include "atomic_file.h"
#include "io_error.h"
#include "table_set_edit.h"

namespace kelvo {

namespace {

constexpr std::size_t MaxTokenLength = 32;

// A cursor over the file's bytes with the reading rules of the format. A line
// ends with LF or CR LF.
class Reader {
public:
    explicit Reader(std::string_view text) : m_text(text) {}

    bool AtEnd() const { return m_pos >= m_text.size(); }

    // Skips every byte with code 32 or less, then converts the next run of
    // non-blank bytes as a signed 32-bit decimal number. At the end of the
    // file the value is 0.
    std::int32_t ReadInteger() {
        while (!AtEnd() && static_cast<unsigned char>(m_text[m_pos]) <= 32) ++m_pos;
        if (AtEnd()) return 0;
        const std::size_t start = m_pos;
        while (!AtEnd() && static_cast<unsigned char>(m_text[m_pos]) > 32) ++m_pos;
        const std::string_view token = m_text.substr(start, m_pos - start);
        if (token.size() > MaxTokenLength) throw IoError("Invalid numeric input");
        // An optional sign, then decimal digits and nothing else.
        std::string_view digits = token;
        if (!digits.empty() && digits.front() == '+') {
            digits.remove_prefix(1);
            if (digits.empty() || digits.front() == '-') throw IoError("Invalid numeric input");
        }
        std::int32_t value = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (error != std::errc() || end != digits.data() + digits.size()) throw IoError("Invalid numeric input");
        return value;
    }

    // The bytes up to the line end, at most MaxNameLength of them; the line
    // end stays unread.
    std::string_view ReadName() {
        const std::string_view rest = LineRest();
        m_pos += std::min(rest.size(), static_cast<std::size_t>(MaxNameLength));
        return rest.substr(0, MaxNameLength);
    }

    // Discards everything up to and including the next line end.
    void SkipLine() {
        const std::size_t lf = m_text.find('\n', m_pos);
        m_pos = lf == std::string_view::npos ? m_text.size() : lf + 1;
    }

    // The whole line up to its end, which is consumed.
    std::string_view ReadLine() {
        const std::string_view line = LineRest();
        SkipLine();
        return line;
    }

private:
    std::string_view LineRest() const {
        const std::size_t lf = m_text.find('\n', m_pos);
        std::size_t end = lf == std::string_view::npos ? m_text.size() : lf;
        if (end > m_pos && lf != std::string_view::npos && m_text[end - 1] == '\r') --end;
        return m_text.substr(m_pos, end - m_pos);
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

// Reads into `ts` (a scratch copy). Returns true after a complete read, false
// when a header warning ended it.
bool ReadInto(InputSide& ts, Reader& in, WarningSink& warnings) {
    const std::int32_t count = in.ReadInteger();
    in.SkipLine();
    if (count < 0) throw IoError("Invalid number of variables in file: " + std::to_string(count));
    if (count > MaxVariables)
        throw IoError("Too many variables in file: " + std::to_string(count) + " (at most " +
                      std::to_string(MaxVariables) + ")");
    ts.VariableCount = count;

    for (int v = 1; v <= count; ++v) {
        ts.VariableNames[v] = in.ReadName();
        in.SkipLine();
        const std::int32_t categories = in.ReadInteger();
        in.SkipLine();
        if (categories < 0)
            throw IoError("Invalid number of categories for variable " + ts.VariableNames[v] + ": " +
                          std::to_string(categories));
        if (categories > MaxCategories)
            throw IoError("Too many categories for variable " + ts.VariableNames[v] + ": " +
                          std::to_string(categories) + " (at most " + std::to_string(MaxCategories) + ")");
        ts.CategoryCounts[v] = static_cast<std::uint8_t>(categories);
        for (int n = 1; n <= categories; ++n) {
            ts.CategoryNames[v][n] = in.ReadName();
            in.SkipLine();
        }
    }

    for (int i = 2; i <= count; ++i)
        for (int j = 1; j < i; ++j) {
            PairTable& table = ts.PairTables[PairIndex(i, j)];
            for (int x = 1; x <= ts.CategoryCounts[i]; ++x)
                for (int y = 1; y <= ts.CategoryCounts[j]; ++y) table[x][y] = 0;
        }

    while (!in.AtEnd()) {
        const std::string_view header = in.ReadLine();
        const std::size_t star = header.find('*');
        if (star == std::string_view::npos) {
            warnings.ShowWarning("Incorrect table specification: " + std::string(header));
            return false;
        }
        const std::string_view first = header.substr(0, star);
        const std::string_view second = header.substr(star + 1);
        const int a = FindVariable(ts, first);
        if (a == 0) {
            warnings.ShowWarning("Incorrect variable name in file: " + std::string(first));
            return false;
        }
        const int b = FindVariable(ts, second);
        if (b == 0) {
            warnings.ShowWarning("Incorrect variable name in file: " + std::string(second));
            return false;
        }
        if (a == b) {
            // No table pairs a variable with itself.
            warnings.ShowWarning("Incorrect table specification: " + std::string(header));
            return false;
        }
        PairTable& table = ts.PairTables[a > b ? PairIndex(a, b) : PairIndex(b, a)];
        for (int x = 1; x <= ts.CategoryCounts[a]; ++x) {
            for (int y = 1; y <= ts.CategoryCounts[b]; ++y) {
                const std::int32_t value = in.ReadInteger();
                if (a > b) table[x][y] = value;
                else table[y][x] = value;
            }
            in.SkipLine();
        }
    }
    return true;
}

// One row of a pair table: each cell right-aligned in 10 characters (more
// when a value needs them) and followed by one space, then CR LF. Built in
// one buffer and appended once: the rows are the bulk of the file.
void AppendRow(std::string& out, const std::int32_t* cells, int count) {
    // At most 11 characters a number ("-2147483648"), one space each.
    char line[MaxCategories * 12 + 2];
    char* at = line;
    for (int y = 0; y < count; ++y) {
        char digits[12];
        const char* end = std::to_chars(digits, digits + sizeof digits, cells[y]).ptr;
        const auto length = static_cast<std::size_t>(end - digits);
        if (length < 10) {
            std::memset(at, ' ', 10 - length);
            at += 10 - length;
        }
        std::memcpy(at, digits, length);
        at += length;
        *at++ = ' ';
    }
    *at++ = '\r';
    *at++ = '\n';
    out.append(line, static_cast<std::size_t>(at - line));
}

}  // namespace

bool ReadInputSide(InputSide& ts, std::string_view text, WarningSink& warnings) {
    // Read into a scratch copy so that a failure leaves `ts` as it was.
    auto scratch = std::make_unique<InputSide>(ts);
    Reader in(text);
    const bool complete = ReadInto(*scratch, in, warnings);
    ts = std::move(*scratch);
    return complete;
}

bool ReadTableSet(TableSet& ts, WarningSink& warnings) {
    const std::string text = ReadWholeFile(ts.FileName);
    const bool complete = ReadInputSide(ts, text, warnings);
    if (complete)
        for (int v = 1; v <= ts.VariableCount; ++v) ts.VariableRoles[v] = 0;
    return complete;
}

std::string TableSetText(const InputSide& ts) {
    std::string out;
    AppendTableSetText(ts, out);
    return out;
}

void AppendTableSetText(const InputSide& ts, std::string& out) {
    // Room for every cell in its usual 11 characters, and the names.
    std::size_t cells = 0;
    for (int i = 2; i <= ts.VariableCount && i <= MaxVariables; ++i)
        for (int j = 1; j < i; ++j) cells += std::size_t{ts.CategoryCounts[i]} * (ts.CategoryCounts[j] + 1u);
    out.reserve(out.size() + cells * 11 + 64 * 1024);
    const auto line = [&out](std::string_view text) {
        out.append(text);
        out.append("\r\n");
    };
    const int count = ts.VariableCount;
    line(std::to_string(count));
    for (int v = 1; v <= count; ++v) {
        line(ts.VariableNames[v].str());
        line(std::to_string(ts.CategoryCounts[v]));
        for (int n = 1; n <= ts.CategoryCounts[v]; ++n) line(ts.CategoryNames[v][n].str());
    }
    for (int i = 2; i <= count; ++i)
        for (int j = 1; j < i; ++j) {
            line(ts.VariableNames[i].str() + "*" + ts.VariableNames[j].str());
            const PairTable& table = ts.PairTables[PairIndex(i, j)];
            for (int x = 1; x <= ts.CategoryCounts[i]; ++x) AppendRow(out, &table[x][1], ts.CategoryCounts[j]);
        }
}

void WriteTableSet(const InputSide& ts) {
    const std::string text = TableSetText(ts);
    AtomicOutputFile file(ts.FileName);
    file.Write(text);
    file.Commit();
}

bool OpenTableSet(TableSet& ts, const std::string& path, WarningSink& warnings) {
    // The reader itself leaves the table set untouched when it fails; the
    // file names are put back here.
    const std::string oldFileName = ts.FileName;
    const std::string oldBaseName = ts.FileBaseName;
    ts.FileName = path;
    ts.FileBaseName = BaseNameOf(path);
    bool complete = false;
    try {
        complete = ReadTableSet(ts, warnings);
    } catch (...) {
        ts.FileName = oldFileName;
        ts.FileBaseName = oldBaseName;
        throw;
    }
    MarkOpened(ts, path, false);
    return complete;
}

}  // namespace kelvo
