// Databases for the tests of the database importers: SQLite files made with
// the sqlite3 program, and a throwaway PostgreSQL server of the system's own
// packages, started by the test itself and stopped at its end.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "cli_runner.h"

namespace kelvo::test {

// The full path of a program found on PATH (empty when there is none).
std::string FindProgram(const std::string& name);

// Runs sqlite3 on `database` with `script` as its standard input.
CliResult RunSqlite(const std::filesystem::path& database, const std::string& script);

// A PostgreSQL server on a Unix socket in a fresh folder, for the life of the
// object. As root (as in CI) it runs as the postgres user, which PostgreSQL
// requires; otherwise as the current user. A watchdog process stops it and
// removes its folder should the test program die without its destructor.
class PostgresServer {
public:
    PostgresServer();  // throws std::runtime_error with the server's log when it cannot start
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    // libpq's connection text for the server's database "postgres".
    std::string Conninfo() const;
    // Runs psql with `script` as its standard input, stopping at the first error.
    CliResult Psql(const std::string& script) const;
    // Stops the server (the destructor does it too).
    void Stop();

private:
    // Runs a server program, as the postgres user when we are root.
    CliResult RunAsOwner(const std::string& program, const std::vector<std::string>& arguments) const;
    std::filesystem::path m_folder;
    std::string m_bin;
    int m_port = 0;
    bool m_running = false;
    int m_watchdog = -1;
};

}  // namespace kelvo::test
