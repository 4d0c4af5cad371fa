// Helpers shared by KELVO's tests.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "table_set.h"

namespace kelvo::test {

// A fresh directory under the system's temporary directory, removed (with
// everything in it) when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& contents);

// Compares `actual` with tests/golden/NAME byte for byte. With the
// environment variable KELVO_UPDATE_GOLDEN=1 the golden file is rewritten
// instead (and the test reports that it did so).
::testing::AssertionResult MatchesGolden(const std::string& name, const std::string& actual);

// |actual - expected| <= tolerance * max(1, |expected|).
::testing::AssertionResult NearRelative(double actual, double expected, double tolerance);

// An example table set of examples/ (for example "titanic.tbl"), read as the
// Read file command reads it: open, roles cleared, no results.
std::unique_ptr<TableSet> ReadExample(const std::string& name);

// A variable for MakeTableSet: its name and category names.
struct VariableSpec {
    std::string name;
    std::vector<std::string> categories;
};

// A table set with these variables and every pair table zero.
TableSet MakeTableSet(std::initializer_list<VariableSpec> variables);

// Sets the table of variables a and b (any order) from rows of a by columns
// of b.
void SetTable(TableSet& ts, int a, int b, const std::vector<std::vector<std::int32_t>>& rows);

// Limits the size of files this process may write, and makes exceeding it an
// error (EFBIG, "Disk full") instead of a fatal signal, while the object lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(unsigned long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    unsigned long m_oldCurrent = 0;
    void (*m_oldHandler)(int) = nullptr;
};

// Path of a file in the source tree (for example "examples/titanic.tbl").
std::filesystem::path SourcePath(const std::string& relative);

}  // namespace kelvo::test
