// Runs kelvo-cli as a user would and captures what it prints.
#pragma once

#include <string>
#include <vector>

namespace kelvo::test {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs `program` (a path, or a name looked up in PATH) with `arguments` (no
// shell involved), in `directory` when it is not empty.
CliResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& directory = {});

#ifdef KELVO_CLI_PATH
// Runs kelvo-cli itself.
inline CliResult RunCli(const std::vector<std::string>& arguments, const std::string& directory = {}) {
    return RunProgram(KELVO_CLI_PATH, arguments, directory);
}
#endif

}  // namespace kelvo::test
