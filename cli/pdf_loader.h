// kelvo-cli writes a PDF through the module that holds Qt (pdf_module.h),
// loaded at the first PDF: the other commands never load Qt.
#pragma once

#include <filesystem>
#include <vector>

#include "model_results.h"
#include "output_model.h"
#include "pdf_module.h"
#include "table_set.h"

namespace kelvo::cli {

// Where the module is: beside the program's folder, as installed and in the
// build tree.
std::filesystem::path PdfModulePath();

// Loads the module and writes the report. Throws IoError with the module's
// message, or with why the module could not be loaded.
void WritePdfReport(const std::vector<SectionKind>& sections, const InputSide& tables, const ModelResults& results,
                    const std::filesystem::path& path, reports::PdfPaper paper);

}  // namespace kelvo::cli
