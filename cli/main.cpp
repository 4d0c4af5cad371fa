// kelvo-cli: KELVO's batch interface to table-set files.
#include <csignal>
#include <iostream>

#include "cli_common.h"
#include "io_error.h"
#include "version.h"

int main(int argc, char** argv) try {
    // A write beyond the file-size limit should fail with an error, not kill us.
    std::signal(SIGXFSZ, SIG_IGN);

    // Named, so that usage lines say kelvo-cli and not the path it was started by.
    CLI::App app{"kelvo-cli: batch interface to KELVO table-set files", "kelvo-cli"};
    app.set_version_flag("--version", std::string("kelvo-cli ") + kelvo::KelvoVersion);
    app.require_subcommand(1);
    int status = kelvo::cli::ExitOk;
    kelvo::cli::RegisterShowCommand(app, status);
    kelvo::cli::RegisterCopyCommand(app, status);
    kelvo::cli::RegisterCheckCommand(app, status);
    kelvo::cli::RegisterEstimateCommand(app, status);
    kelvo::cli::RegisterImportCommand(app, status);
    kelvo::cli::RegisterSqlCommands(app, status);
    kelvo::cli::RegisterReportCommand(app, status);
    kelvo::cli::RegisterChartCommand(app, status);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << "kelvo-cli: " << e.what() << '\n';
        return kelvo::cli::ExitUsage;
    } catch (const kelvo::cli::UsageError& e) {
        std::cerr << "kelvo-cli: " << e.what() << '\n';
        return kelvo::cli::ExitUsage;
    } catch (const kelvo::IoError& e) {
        std::cerr << "kelvo-cli: " << e.what() << '\n';
        return kelvo::cli::ExitUsage;
    } catch (const std::exception& e) {
        std::cerr << "kelvo-cli: " << e.what() << '\n';
        return kelvo::cli::ExitUsage;
    }
    return status;
} catch (const std::exception& e) {
    // Nothing may escape main; anything unforeseen is reported, not aborted on.
    std::cerr << "kelvo-cli: " << e.what() << '\n';
    return kelvo::cli::ExitUsage;
}
