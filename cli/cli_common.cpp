#include "cli_common.h"

#include <iostream>

#include "table_set_file.h"

namespace kelvo::cli {

void StderrWarningSink::ShowWarning(const std::string& text) {
    std::cerr << "warning: " << text << '\n';
    CollectingWarningSink::ShowWarning(text);
}

CLI::Option* AddOrderOption(CLI::App* command, CategoryOrder& order, const std::string& help) {
    static const std::map<std::string, CategoryOrder> names = {{"value", CategoryOrder::Value},
                                                               {"first-seen", CategoryOrder::FirstSeen}};
    return command->add_option("--order", order, help)
        ->transform(CLI::CheckedTransformer(names, CLI::ignore_case).description(""))
        ->type_name("value|first-seen");
}

std::unique_ptr<TableSet> ReadInput(const std::string& path, WarningSink& warnings, bool* complete) {
    auto ts = std::make_unique<TableSet>();
    const bool whole = OpenTableSet(*ts, path, warnings);
    if (complete != nullptr) *complete = whole;
    return ts;
}

int StatusAfterRead(bool complete, const std::string& path, int status) {
    if (complete) return status;
    std::cerr << "kelvo-cli: " << path
              << " was read only up to the faulty table header above; every later table counts as 0 here\n";
    return ExitPartialRead;
}

}  // namespace kelvo::cli
