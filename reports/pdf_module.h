// The PDF report as a module that kelvo-cli loads only when a command writes
// a PDF (dlopen), so that its other commands start without loading Qt. The
// module and the program come from the same build: they pass the core's
// structures as they are, and the module refuses a program of another
// version. Nothing is thrown across: a failure comes back as its text.
#pragma once

#include <string>
#include <vector>

#include "model_results.h"
#include "output_model.h"
#include "table_set.h"

namespace kelvo::reports {

enum class PdfPaper : int { ByLocale, A4, Letter };

struct PdfModuleRequest {
    const char* version;  // the program's KelvoVersion
    const std::vector<SectionKind>* sections;
    const InputSide* tables;
    const ModelResults* results;
    const char* path;  // UTF-8
    PdfPaper paper;
};

// The module's one function: writes the report, 0 when written; otherwise
// leaves the message in `error` (the file is then as it was).
using PdfModuleFunction = int(const PdfModuleRequest& request, std::string& error);
constexpr const char* PdfModuleSymbol = "KelvoWritePdfReport";

}  // namespace kelvo::reports
