// The formats a report can be written in and what each of them can show; the
// sections of a report in a format, in their fixed order.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "output_model.h"
#include "report_settings.h"

namespace kelvo {

enum class ReportFormat : std::uint8_t { Html, Text, Pdf, Odt, Markdown, Latex, Csv };

struct ReportFormatInfo {
    ReportFormat format;
    const char* name;         // as kelvo-cli's --format names it: "html", "md", ...
    const char* extension;    // of a file of this format, without the dot
    const char* description;  // for a file dialog's filter: "PDF document"
    bool pictures;            // can hold the coefficient charts
    bool marks;               // can mark the significant values (the enhanced coefficients)
};

// Every format, HTML and text first.
std::span<const ReportFormatInfo> ReportFormats();
const ReportFormatInfo& InfoOf(ReportFormat format);
// The format of that --format name; nothing for another name.
std::optional<ReportFormat> ReportFormatNamed(std::string_view name);

// The sections of a report in `format`: the model always, then those chosen
// (by OutputSection) that the format can show, in this order: tables,
// coefficients, standard errors, enhanced coefficients, the model summary,
// the coefficient charts.
std::vector<SectionKind> ReportSections(ReportFormat format, const SectionChoice& chosen);

}  // namespace kelvo
