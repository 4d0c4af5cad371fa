// Table sets with results filled in by hand, for the report tests.
#pragma once

#include <functional>
#include <vector>
#include <memory>
#include <string>

#include "table_set.h"
#include "text_file.h"

namespace kelvo::test {

// Variables 1 Sex (Male, Female), 2 Vote (Yes, No), 3 Region (North, South,
// West) with consistent tables (N = 50); model Vote on Sex and Region with
// coefficients and standard errors set directly. Vote by Sex and the
// coefficients of Sex are the worked example of the text report.
std::unique_ptr<TableSet> VoteExample();

// A layout-breaking table set: names of 11 and 12 characters, "&", "<", ">"
// and a quote in names, values that print as -0.0, exact halves, one
// predictor, and a table whose totals need more than 10 digits.
std::unique_ptr<TableSet> EdgeCaseExample();

// The largest table set: 16 variables of 16 categories, all 120 tables, the
// last variable dependent on the 15 others, every result slot in use.
std::unique_ptr<TableSet> LargestExample();

// What `write` appends to a freshly created file.
std::string WrittenText(const std::function<void(OutputFile&)>& write);

// A section writer of the reports (WriteHtmlHeader, WriteTextTables, ...).
using SectionWriter = void (*)(const TableSet&, OutputFile&);

// The pieces of an HTML report as WriteReport writes them: the document start
// with the model, each section, the document end.
void WriteHtmlHeader(const TableSet& ts, OutputFile& file);
void WriteHtmlTables(const TableSet& ts, OutputFile& file);
void WriteHtmlCoefficients(const TableSet& ts, OutputFile& file);
void WriteHtmlStandardErrors(const TableSet& ts, OutputFile& file);
void WriteHtmlEnhancedCoefficients(const TableSet& ts, OutputFile& file);
void WriteHtmlFooter(const TableSet& ts, OutputFile& file);

// The pieces of a text report: title and model, then each section.
void WriteTextHeader(const TableSet& ts, OutputFile& file);
void WriteTextTables(const TableSet& ts, OutputFile& file);
void WriteTextCoefficients(const TableSet& ts, OutputFile& file);
void WriteTextStandardErrors(const TableSet& ts, OutputFile& file);

// What the section writers append, called one after the other.
std::string WrittenSections(const TableSet& ts, const std::vector<SectionWriter>& writers);

// Text with every "\n" turned into CR LF.
std::string Crlf(const std::string& text);

}  // namespace kelvo::test
