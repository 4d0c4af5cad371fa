#include "recovery_journal.h"

#include <charconv>
#include <memory>
#include <optional>

#include "io_error.h"
#include "table_set.h"
#include "table_set_edit.h"
#include "table_set_file.h"
#include "warnings.h"

namespace kelvo {

namespace {

constexpr std::string_view Signature = "KELVO recovery journal 1\n";
constexpr const char* DamagedText = "Damaged recovery file";

// The path as one line of printable ASCII: every other byte, and "%" itself,
// as %XX. A path may hold any byte but NUL, a line end included.
std::string EncodePath(std::string_view path) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7F && byte != '%') {
            out.push_back(c);
        } else {
            out.push_back('%');
            out.push_back(Hex[byte >> 4]);
            out.push_back(Hex[byte & 15]);
        }
    }
    return out;
}

std::optional<std::string> DecodePath(std::string_view text) {
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out.push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = digit(text[i + 1]);
        const int low = digit(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return out;
}

// Takes "KEY VALUE\n" off the front of `text` and returns VALUE.
std::optional<std::string_view> TakeField(std::string_view& text, std::string_view key) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view line = text.substr(0, end);
    if (line.size() <= key.size() || line.substr(0, key.size()) != key || line[key.size()] != ' ')
        return std::nullopt;
    text.remove_prefix(end + 1);
    return line.substr(key.size() + 1);
}

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// The table set a journal holds, read as a file would be read; a warning
// means the text is not what KELVO wrote.
std::unique_ptr<InputSide> ReadJournalTableSet(const Journal& journal) {
    auto ts = std::make_unique<InputSide>();
    CollectingWarningSink warnings;
    try {
        ReadInputSide(*ts, journal.tableSetText, warnings);
    } catch (const IoError&) {
        throw IoError(DamagedText);
    }
    if (!warnings.warnings.empty()) throw IoError(DamagedText);
    return ts;
}

}  // namespace

std::string JournalHeader(const std::string& tableSetPath, std::int64_t time, std::size_t size) {
    std::string out(Signature);
    out += "path " + EncodePath(tableSetPath) + "\n";
    out += "time " + std::to_string(time) + "\n";
    out += "size " + std::to_string(size) + "\n";
    return out;
}

std::string JournalText(const Journal& journal) {
    return JournalHeader(journal.tableSetPath, journal.time, journal.tableSetText.size()) + journal.tableSetText;
}

Journal ParseJournal(std::string_view text) {
    if (text.substr(0, Signature.size()) != Signature) throw IoError(DamagedText);
    text.remove_prefix(Signature.size());
    Journal journal;
    const auto path = TakeField(text, "path");
    const auto decoded = path ? DecodePath(*path) : std::nullopt;
    const auto time = TakeField(text, "time");
    const auto timeValue = time ? ParseNumber<std::int64_t>(*time) : std::nullopt;
    const auto size = TakeField(text, "size");
    const auto sizeValue = size ? ParseNumber<std::size_t>(*size) : std::nullopt;
    // A journal cut short, or with bytes after its end, is not the one
    // KELVO wrote.
    if (!decoded || decoded->empty() || !timeValue || !sizeValue || *sizeValue != text.size())
        throw IoError(DamagedText);
    journal.tableSetPath = *decoded;
    journal.time = *timeValue;
    journal.tableSetText = std::string(text);
    ReadJournalTableSet(journal);
    return journal;
}

void RecoverTableSet(TableSet& ts, const Journal& journal) {
    std::unique_ptr<InputSide> read = ReadJournalTableSet(journal);
    // The journal's table set replaces the input side only: the report
    // settings of the session stay as they are.
    static_cast<InputSide&>(ts) = std::move(*read);
    ts.VariableRoles.fill(0);
    MarkOpened(ts, journal.tableSetPath, true);
}

}  // namespace kelvo
