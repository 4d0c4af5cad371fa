// Record-level data becomes pair tables here, whatever it comes from: the CSV
// reader feeds whole records, a database or a big engine feeds the counts it
// computed per pair of values. Either way the same rules apply: at most 16
// variables named by the name rules, 2 to 16 categories each, names and
// values without control characters (line ends, tabs, NUL) and of at most 12
// characters (or cut with the truncate option), a NULL as a category of its
// own named as an empty field is, and every cell within the 32-bit range. Every refusal is an ImportError whose message says why.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "import_error.h"
#include "table_set.h"

namespace kelvo {

// The order of a variable's categories.
enum class CategoryOrder {
    FirstSeen,  // in order of first appearance among the records
    Value,      // by value: numerically when every value is a number, else by text; the empty value first
};

struct PairCountOptions {
    bool truncate = false;  // cut names and values to 12 characters instead of refusing
    CategoryOrder order = CategoryOrder::FirstSeen;
};

// Category numbers of one record, by variable number from 1; 0 for a value
// beyond a variable's 16th.
using RecordCategories = std::array<int, MaxVariables + 1>;

class PairCounter {
public:
    // Checks the variable names, as the source spells them (UTF-8 is taken
    // as Latin-1 where it can be). `where` adds the place of the data being
    // read to a refusal (" (line 3)"); it may be empty.
    PairCounter(const std::vector<std::string>& names, PairCountOptions options,
                std::function<std::string()> where = {});
    ~PairCounter();
    PairCounter(const PairCounter&) = delete;
    PairCounter& operator=(const PairCounter&) = delete;

    int VariableCount() const;
    const std::string& VariableName(int v) const;

    // The category of a value of variable v, registering a value not seen
    // before: 1..16, or 0 once the variable has more than 16 values (the
    // table set is then refused by Finish). The value is trimmed of blanks.
    int Category(int v, std::string_view value);
    // The category of a NULL, which is named as an empty value is.
    int NullCategory(int v);
    // For the first-seen order of counted data: category `category` of v
    // occurs in record number `record` (the smallest one noted counts).
    void NoteFirstRecord(int v, int category, std::int64_t record);

    // Counts one record (or `weight` identical ones).
    void AddRecord(const RecordCategories& categories, std::int64_t weight);
    // Adds `count` records that have category x of variable a and category y
    // of variable b (a != b, in either order).
    void AddCount(int a, int x, int b, int y, std::int64_t count);
    // Whether any record or count was added.
    bool AnyData() const;

    // Fills `ts` with the variables, their categories in the chosen order
    // and the pair tables. Throws ImportError; `ts` is changed only on
    // success.
    void Finish(InputSide& ts);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace kelvo
