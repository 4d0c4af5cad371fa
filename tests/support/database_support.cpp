#include "database_support.h"

#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>
#include <vector>

#include "test_support.h"

namespace kelvo::test {

namespace {

// Runs `program` with `input` on its standard input (through a file).
CliResult RunWithInput(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& input) {
    TempDir dir;
    WriteFile(dir / "input", input);
    std::vector<std::string> shell = {"-c", "exec \"$0\" \"$@\" < \"" + (dir / "input").string() + "\"", program};
    shell.insert(shell.end(), arguments.begin(), arguments.end());
    return RunProgram("/bin/sh", shell);
}

// The newest PostgreSQL server programs of the Debian packages.
std::string PostgresBin() {
    std::vector<std::filesystem::path> found;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/postgresql", ignored))
        if (std::filesystem::exists(entry.path() / "bin" / "initdb")) found.push_back(entry.path() / "bin");
    if (found.empty()) throw std::runtime_error("No PostgreSQL server programs in /usr/lib/postgresql (run scripts/install-deps)");
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return std::stoi(a.parent_path().filename().string()) < std::stoi(b.parent_path().filename().string());
    });
    return found.back().string();
}

}  // namespace

std::string FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const std::filesystem::path candidate = std::filesystem::path(folders.substr(start, end - start)) / name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
        start = end + 1;
    }
    return {};
}

CliResult RunSqlite(const std::filesystem::path& database, const std::string& script) {
    const std::string sqlite = FindProgram("sqlite3");
    if (sqlite.empty()) throw std::runtime_error("No sqlite3 program (run scripts/install-deps)");
    return RunWithInput(sqlite, {"-batch", "-bail", database.string()}, script);
}

CliResult PostgresServer::RunAsOwner(const std::string& program, const std::vector<std::string>& arguments) const {
    if (::geteuid() != 0) return RunProgram(m_bin + "/" + program, arguments);
    std::vector<std::string> runuser = {"-u", "postgres", "--", m_bin + "/" + program};
    runuser.insert(runuser.end(), arguments.begin(), arguments.end());
    return RunProgram(FindProgram("runuser"), runuser);
}

PostgresServer::PostgresServer() : m_bin(PostgresBin()) {
    std::random_device seed;
    for (;;) {
        m_folder = std::filesystem::temp_directory_path() / ("kelvo-postgres-" + std::to_string(seed()));
        if (std::filesystem::create_directory(m_folder)) break;
    }
    if (::geteuid() == 0) {
        // PostgreSQL refuses to run as root: the folder belongs to its own user.
        const passwd* owner = ::getpwnam("postgres");
        if (owner == nullptr || ::chown(m_folder.c_str(), owner->pw_uid, owner->pw_gid) != 0)
            throw std::runtime_error("No postgres user to run the server as");
    }
    // A port of its own, which names the socket: servers of tests that run
    // side by side do not meet.
    m_port = 20000 + static_cast<int>(seed() % 40000);
    const std::string data = (m_folder / "data").string();
    const CliResult init =
        RunAsOwner("initdb", {"-D", data, "-U", "kelvo", "--auth=trust", "-E", "UTF8", "--no-locale", "--no-sync"});
    if (init.status != 0) throw std::runtime_error("initdb failed: " + init.err);
    // The watchdog: once this process is gone, it stops the server and
    // removes the folder.
    const pid_t tester = ::getpid();
    m_watchdog = ::fork();
    if (m_watchdog == 0) {
        ::setsid();
        while (::kill(tester, 0) == 0) ::sleep(1);
        const std::string stop = (::geteuid() == 0 ? "runuser -u postgres -- " : "") + m_bin + "/pg_ctl -D '" + data +
                                 "' -m immediate stop >/dev/null 2>&1; rm -rf '" + m_folder.string() + "'";
        ::execl("/bin/sh", "sh", "-c", stop.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const CliResult start = RunAsOwner(
        "pg_ctl", {"-D", data, "-l", (m_folder / "log").string(), "-w", "-t", "60", "-o",
                   "-k " + m_folder.string() + " -p " + std::to_string(m_port) + " -c listen_addresses='' -c fsync=off", "start"});
    m_running = start.status == 0;
    if (!m_running) {
        std::ifstream log(m_folder / "log");
        const std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
        throw std::runtime_error("The PostgreSQL server did not start: " + start.err + text);
    }
}

void PostgresServer::Stop() {
    if (m_running) RunAsOwner("pg_ctl", {"-D", (m_folder / "data").string(), "-m", "fast", "-w", "stop"});
    m_running = false;
}

PostgresServer::~PostgresServer() {
    Stop();
    if (m_watchdog > 0) {
        ::kill(m_watchdog, SIGKILL);
        ::waitpid(m_watchdog, nullptr, 0);
    }
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

std::string PostgresServer::Conninfo() const {
    return "host=" + m_folder.string() + " port=" + std::to_string(m_port) + " user=kelvo dbname=postgres";
}

CliResult PostgresServer::Psql(const std::string& script) const {
    return RunWithInput(m_bin + "/psql", {"-X", "-q", "-v", "ON_ERROR_STOP=1", Conninfo()}, script);
}

}  // namespace kelvo::test
