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

std::string Latin1ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out.push_back(c);
        } else {
            out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
    return out;
}

}  // namespace kelvo::cli
