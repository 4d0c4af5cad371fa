#include "cli_common.h"

#include <iostream>

#include "table_set_file.h"

namespace kelvo::cli {

void StderrWarningSink::ShowWarning(const std::string& text) {
    std::cerr << "warning: " << text << '\n';
    CollectingWarningSink::ShowWarning(text);
}

std::unique_ptr<TableSet> ReadInput(const std::string& path, WarningSink& warnings) {
    auto ts = std::make_unique<TableSet>();
    ts->FileName = path;
    ts->FileBaseName = BaseNameOf(path);
    ReadTableSet(*ts, warnings);
    ts->TableSetOpen = true;
    return ts;
}

}  // namespace kelvo::cli
