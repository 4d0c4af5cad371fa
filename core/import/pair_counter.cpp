#include "pair_counter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numeric>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "latin1.h"
#include "name_rules.h"
#include "source_columns.h"

namespace kelvo {

namespace {

// Most distinct values of one variable that are counted before a refusal
// says "more than".
constexpr std::size_t DistinctValueLimit = 100000;

// The number a value spells, when it is one (decimal, optional sign,
// fraction and exponent; finite).
std::optional<double> NumberOf(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, problem] = std::from_chars(text.data(), end, value);
    if (text.empty() || problem != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

// Lets the values seen be looked up by a view of the text at hand, without a
// copy of it.
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

}  // namespace

struct PairCounter::State {
    struct Value {
        std::string name;       // as the table set will hold it (cut to 12 characters)
        std::string full;       // before any cut
        bool isNull = false;
        std::int64_t rank = 0;  // for the first-seen order
        bool ranked = false;    // rank comes from NoteFirstRecord
    };
    struct Variable {
        std::string name;
        std::vector<Value> values;                   // the first 16 distinct values, as registered
        std::unordered_map<std::string, int, TextHash, std::equal_to<>> index;  // value text as given -> category (0: beyond 16)
        std::unordered_set<std::string> extra;       // distinct values beyond the 16th
        int nullCategory = -1;                       // category of NULL; -1 until one is seen
        bool extraNull = false;                      // a NULL beyond the 16th value
        std::size_t Distinct() const { return values.size() + extra.size() + (extraNull ? 1 : 0); }
    };

    PairCountOptions options;
    std::function<std::string()> where;
    std::vector<Variable> variables;  // [0] is variable 1
    bool anyData = false;
    // Counts per pair (i > j, variables numbered from 1), 64-bit while counting.
    std::vector<std::array<std::array<std::int64_t, MaxCategories + 1>, MaxCategories + 1>> counts;

    std::string Where() const { return where ? where() : std::string(); }
    // A name or value as the table set holds it: Latin-1, no control
    // characters, at most 12 characters (longer ones are refused or, with
    // truncate, cut).
    std::string Name(const std::string& full, const std::string& what) const;
    int Register(Variable& variable, const std::string& full, bool isNull);
};

std::string PairCounter::State::Name(const std::string& full, const std::string& what) const {
    // Cutting would not mend a control character: it is refused first.
    if (const auto control = FirstControlCharacter(full))
        throw ImportError(what + " " + Quoted(Printable(full)) + " holds " + ControlCharacterName(*control) + Where());
    if (full.size() <= static_cast<std::size_t>(MaxNameLength)) return full;
    if (!options.truncate)
        throw ImportError(what + " " + Quoted(full) + " is longer than " + std::to_string(MaxNameLength) +
                              " characters" + Where(),
                          true);
    return full.substr(0, MaxNameLength);
}

int PairCounter::State::Register(Variable& variable, const std::string& full, bool isNull) {
    const std::string name = Name(full, "Value in column " + Quoted(variable.name) + ":");
    for (std::size_t n = 0; n < variable.values.size(); ++n) {
        const Value& other = variable.values[n];
        if (other.name != name) continue;
        if (other.full == full && other.isNull == isNull) return static_cast<int>(n) + 1;
        if (other.isNull != isNull)
            throw ImportError("Column " + Quoted(variable.name) +
                              " holds both NULL and empty values, which would have the same name" + Where());
        throw ImportError("Cut to 12 characters, two values of column " + Quoted(variable.name) + " become " +
                          Quoted(name) + Where());
    }
    if (variable.values.size() < static_cast<std::size_t>(MaxCategories)) {
        const auto rank = static_cast<std::int64_t>(variable.values.size());
        variable.values.push_back({name, full, isNull, rank, false});
        return static_cast<int>(variable.values.size());
    }
    if (isNull) variable.extraNull = true;
    else variable.extra.insert(full);
    if (variable.Distinct() > DistinctValueLimit)
        throw ImportError("Column " + Quoted(variable.name) + " has more than " + std::to_string(DistinctValueLimit) +
                          " categories (at most " + std::to_string(MaxCategories) + ")");
    return 0;
}

PairCounter::PairCounter(const std::vector<std::string>& names, PairCountOptions options,
                         std::function<std::string()> where)
    : m_state(std::make_unique<State>()) {
    State& s = *m_state;
    s.options = options;
    s.where = std::move(where);
    if (names.size() > static_cast<std::size_t>(MaxVariables))
        throw ImportError("Too many variables: " + std::to_string(names.size()) + " (at most " +
                          std::to_string(MaxVariables) + ")");
    if (names.size() < 2)
        throw ImportError("At least two variables are needed, the data give " + std::to_string(names.size()));
    // The names so far, as the table set will hold them, for the one check
    // of the name rules that the editors use too.
    auto held = std::make_unique<InputSide>();
    std::vector<std::string> fullNames;
    for (std::size_t c = 0; c < names.size(); ++c) {
        const std::string full = AsLatin1(TrimBlanks(names[c]));
        const std::string name = s.Name(full, "Variable name");
        if (name.empty()) throw ImportError("Column " + std::to_string(c + 1) + " has no name");
        const VariableNameCheck check = CheckVariableName(*held, name, 0);
        if (check.problem == VariableNameCheck::ContainsStar)
            throw ImportError("Column " + Quoted(name) + ": " + VariableNameWarning(check, name));
        if (check.problem == VariableNameCheck::Taken) {
            const std::string& other = fullNames[static_cast<std::size_t>(check.other - 1)];
            throw ImportError(other == full ? "Two columns are named " + Quoted(full)
                                            : "Cut to 12 characters, two variable names become " + Quoted(name));
        }
        fullNames.push_back(full);
        held->VariableNames[++held->VariableCount] = name;
        s.variables.push_back({});
        s.variables.back().name = name;
    }
    s.counts.assign(MaxPairTables + 1, {});
}

PairCounter::~PairCounter() = default;

int PairCounter::VariableCount() const { return static_cast<int>(m_state->variables.size()); }

const std::string& PairCounter::VariableName(int v) const {
    return m_state->variables[static_cast<std::size_t>(v - 1)].name;
}

int PairCounter::Category(int v, std::string_view value) {
    State::Variable& variable = m_state->variables[static_cast<std::size_t>(v - 1)];
    const auto found = variable.index.find(value);
    if (found != variable.index.end()) return found->second;
    // A text not seen for this variable before: check it once.
    const int number = m_state->Register(variable, AsLatin1(TrimBlanks(value)), false);
    variable.index.emplace(std::string(value), number);
    return number;
}

int PairCounter::NullCategory(int v) {
    State::Variable& variable = m_state->variables[static_cast<std::size_t>(v - 1)];
    if (variable.nullCategory < 0) variable.nullCategory = m_state->Register(variable, std::string(), true);
    return variable.nullCategory;
}

void PairCounter::NoteFirstRecord(int v, int category, std::int64_t record) {
    if (category == 0) return;
    State::Value& value = m_state->variables[static_cast<std::size_t>(v - 1)].values[static_cast<std::size_t>(category - 1)];
    if (!value.ranked || record < value.rank) value.rank = record;
    value.ranked = true;
}

void PairCounter::AddRecord(const RecordCategories& categories, std::int64_t weight) {
    State& s = *m_state;
    s.anyData = true;
    if (weight == 0) return;
    const int count = static_cast<int>(s.variables.size());
    for (int i = 2; i <= count; ++i) {
        if (categories[i] == 0) continue;  // a variable past 16 categories: refused by Finish
        const auto first = static_cast<std::size_t>(PairIndex(i, 1));
        for (int j = 1; j < i; ++j)
            if (categories[j] != 0) s.counts[first + static_cast<std::size_t>(j - 1)][categories[i]][categories[j]] += weight;
    }
}

void PairCounter::AddCount(int a, int x, int b, int y, std::int64_t count) {
    State& s = *m_state;
    s.anyData = true;
    if (x == 0 || y == 0) return;  // a variable past 16 categories: refused by Finish
    if (a < b) {
        std::swap(a, b);
        std::swap(x, y);
    }
    s.counts[static_cast<std::size_t>(PairIndex(a, b))][x][y] += count;
}

bool PairCounter::AnyData() const { return m_state->anyData; }

void PairCounter::Finish(InputSide& ts) {
    State& s = *m_state;
    const int count = VariableCount();
    // The new number of each registered category, by variable.
    std::vector<std::array<int, MaxCategories + 1>> renumbered(static_cast<std::size_t>(count) + 1);
    for (int v = 1; v <= count; ++v) {
        const State::Variable& variable = s.variables[static_cast<std::size_t>(v - 1)];
        if (variable.Distinct() > static_cast<std::size_t>(MaxCategories))
            throw ImportError("Column " + Quoted(variable.name) + " has " + std::to_string(variable.Distinct()) +
                              " categories (at most " + std::to_string(MaxCategories) + ")");
        if (variable.values.size() < 2)
            throw ImportError("Column " + Quoted(variable.name) + " has only one category (at least 2)");
        const std::vector<State::Value>& values = variable.values;
        std::vector<int> order(values.size());
        std::iota(order.begin(), order.end(), 0);
        if (s.options.order == CategoryOrder::FirstSeen) {
            std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return values[a].rank < values[b].rank; });
        } else {
            std::vector<std::optional<double>> numbers;
            bool allNumbers = true;
            for (const State::Value& value : values) {
                numbers.push_back(NumberOf(value.full));
                if (!value.full.empty() && !numbers.back()) allNumbers = false;
            }
            std::sort(order.begin(), order.end(), [&](int a, int b) {
                const bool emptyA = values[a].full.empty(), emptyB = values[b].full.empty();
                if (emptyA != emptyB) return emptyA;
                if (allNumbers && !emptyA && *numbers[a] != *numbers[b]) return *numbers[a] < *numbers[b];
                return values[a].full < values[b].full;
            });
        }
        for (std::size_t n = 0; n < order.size(); ++n)
            renumbered[static_cast<std::size_t>(v)][static_cast<std::size_t>(order[n]) + 1] = static_cast<int>(n) + 1;
    }
    auto result = std::make_unique<InputSide>(ts);
    result->VariableCount = count;
    for (int v = 1; v <= count; ++v) {
        const State::Variable& variable = s.variables[static_cast<std::size_t>(v - 1)];
        result->VariableNames[v] = variable.name;
        result->CategoryCounts[v] = static_cast<std::uint8_t>(variable.values.size());
        for (std::size_t n = 0; n < variable.values.size(); ++n)
            result->CategoryNames[v][renumbered[static_cast<std::size_t>(v)][n + 1]] = variable.values[n].name;
    }
    for (int i = 2; i <= count; ++i)
        for (int j = 1; j < i; ++j) {
            const int k = PairIndex(i, j);
            const auto& rowsOf = renumbered[static_cast<std::size_t>(i)];
            const auto& columnsOf = renumbered[static_cast<std::size_t>(j)];
            for (int x = 1; x <= result->CategoryCounts[i]; ++x)
                for (int y = 1; y <= result->CategoryCounts[j]; ++y) {
                    const std::int64_t n = s.counts[static_cast<std::size_t>(k)][x][y];
                    const int row = rowsOf[static_cast<std::size_t>(x)];
                    const int column = columnsOf[static_cast<std::size_t>(y)];
                    if (n > std::numeric_limits<std::int32_t>::max())
                        throw ImportError("The count of " + result->CategoryNames[i][row] + " by " +
                                          result->CategoryNames[j][column] + " in table " + result->VariableNames[i] +
                                          " by " + result->VariableNames[j] + " is " + std::to_string(n) +
                                          ", more than a table cell holds (2147483647)");
                    result->PairTables[k][row][column] = static_cast<std::int32_t>(n);
                }
        }
    ts = std::move(*result);
}

}  // namespace kelvo
