// KELVO's own files on the user's side of the system: the freedesktop state
// folder $XDG_STATE_HOME/kelvo (by default ~/.local/state/kelvo), private to
// the user. The desktop program writes there what it keeps on its own, such
// as its estimation log, and never into the folder it was started from,
// which is often the home folder itself.
#pragma once

#include <filesystem>

namespace kelvo {

// KELVO's state folder for these values of XDG_STATE_HOME and HOME (either
// may be null or empty; a relative XDG_STATE_HOME is ignored, as the
// freedesktop rules say). Empty when neither gives an absolute folder.
std::filesystem::path StateFolderFor(const char* stateHome, const char* home);

// The desktop program's estimation log, "log" in the state folder of this
// process's environment; empty when there is no state folder.
std::filesystem::path EstimationLogPath();

// Makes `folder` and every missing folder above it, each private to the
// user (mode 0700) as it is made; folders that exist are left as they are.
// Throws IoError with the reason when one cannot be made.
void MakePrivateFolders(const std::filesystem::path& folder);

}  // namespace kelvo
