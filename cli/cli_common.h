// Shared pieces of kelvo-cli's commands.
#pragma once

#include <memory>
#include <string>

#include <CLI/CLI.hpp>

#include "latin1.h"
#include "pair_counter.h"
#include "table_set.h"
#include "warnings.h"

namespace kelvo::cli {

// Exit statuses of kelvo-cli.
constexpr int ExitOk = 0;
constexpr int ExitFindings = 1;  // the command ran and found something (a mismatch, a singular model)
constexpr int ExitUsage = 2;     // a usage error or unreadable input
// The table-set file was read only in part: a faulty table header stopped
// the reading (its warning is on stderr), so the results count every later
// table as 0. Given by the commands that estimate, in place of 0 or 1.
constexpr int ExitPartialRead = 3;

// A usage error found after parsing (an unknown variable, ...): one line on
// stderr and exit status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Prints every warning to stderr as "warning: TEXT" and keeps them.
class StderrWarningSink : public CollectingWarningSink {
public:
    void ShowWarning(const std::string& text) override;
};

// Reads a table-set file into a new table set as the desktop program
// opens one (exceptions as ReadTableSet). `complete`, when given, receives
// whether the whole file was read.
std::unique_ptr<TableSet> ReadInput(const std::string& path, WarningSink& warnings, bool* complete = nullptr);

// The exit status of a command that estimated from the file at `path`:
// `status`, or after an incomplete read ExitPartialRead, with a line on
// stderr that says what the results lack.
int StatusAfterRead(bool complete, const std::string& path, int status);


// Adds --order value|first-seen to a command that builds a table set.
CLI::Option* AddOrderOption(CLI::App* command, CategoryOrder& order, const std::string& help);

// Each command file registers its subcommand; the callback stores the exit
// status in `status`.
void RegisterShowCommand(CLI::App& app, int& status);
void RegisterCopyCommand(CLI::App& app, int& status);
void RegisterCheckCommand(CLI::App& app, int& status);
void RegisterEstimateCommand(CLI::App& app, int& status);
void RegisterImportCommand(CLI::App& app, int& status);
void RegisterReportCommand(CLI::App& app, int& status);
void RegisterChartCommand(CLI::App& app, int& status);
void RegisterSqlCommands(CLI::App& app, int& status);

}  // namespace kelvo::cli
