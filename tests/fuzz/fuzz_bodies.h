// The bodies of KELVO's fuzz targets. Each takes any bytes and must neither
// crash nor break an invariant; the fuzzers call them, and a regular test
// runs them over the seed corpus and over every input that once failed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kelvo::fuzz {

using FuzzBody = void (*)(const std::uint8_t* data, std::size_t size);

// Reads the bytes as a table-set file; what is accepted must write and read
// back unchanged.
void TableSetReader(const std::uint8_t* data, std::size_t size);

// Imports the bytes as CSV, fed in pieces whose sizes come from the input.
void CsvImport(const std::uint8_t* data, std::size_t size);

// The first bytes choose a model (dependent variable and predictors), the
// rest is read as a table-set file; the whole estimation runs on it.
void Estimation(const std::uint8_t* data, std::size_t size);

// A table set and a model as for Estimation, and result arrays filled from
// the input's bytes (any double, NaN and infinities included); both report
// types are written with every section.
void ReportWriters(const std::uint8_t* data, std::size_t size);

struct FuzzTarget {
    const char* name;  // also the folder name under tests/fuzz/corpus and tests/fuzz/regressions
    FuzzBody body;
};

// Every target, for the regression test.
const std::vector<FuzzTarget>& AllTargets();

}  // namespace kelvo::fuzz
