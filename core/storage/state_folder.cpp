#include "state_folder.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>

#include "io_error.h"

namespace kelvo {

std::filesystem::path StateFolderFor(const char* stateHome, const char* home) {
    if (stateHome != nullptr && stateHome[0] == '/') return std::filesystem::path(stateHome) / "kelvo";
    if (home != nullptr && home[0] == '/') return std::filesystem::path(home) / ".local" / "state" / "kelvo";
    return {};
}

std::filesystem::path EstimationLogPath() {
    const std::filesystem::path folder = StateFolderFor(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
    return folder.empty() ? folder : folder / "log";
}

void MakePrivateFolders(const std::filesystem::path& folder) {
    if (folder.empty()) return;
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) {
        if (!S_ISDIR(info.st_mode)) ThrowIoError(ENOTDIR, IoOperation::Write);
        return;
    }
    if (folder.has_parent_path() && folder.parent_path() != folder) MakePrivateFolders(folder.parent_path());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) ThrowIoError(errno, IoOperation::Write);
}

}  // namespace kelvo
