// Files replaced as a whole: written to a temporary file beside the target,
// synced and renamed over it, so that a failure or a crash part-way leaves
// the target as it was.
#pragma once

#include <cstdint>
#include <filesystem>

#include "text_file.h"

namespace kelvo {

// Removes the temporary files that killed writes of `target` left beside it
// (".NAME.XXXXXX", as AtomicOutputFile names them): plain files of this user,
// unchanged for at least `minimumAge` seconds. Returns how many went; a
// folder that cannot be read removes nothing.
int RemoveStaleTemporaryFiles(const std::filesystem::path& target, std::int64_t minimumAge = 60);

// A file that replaces its target only as a whole: everything is written to a
// temporary file in the target's directory, which Commit() syncs and renames
// over the target. Until then, and after any failure, the target is untouched
// and the temporary file is removed. Creating one also removes the stale
// temporary files of earlier, killed writes of the same target.
class AtomicOutputFile : public OutputFile {
public:
    explicit AtomicOutputFile(const std::filesystem::path& target);
    ~AtomicOutputFile();
    void Commit();

private:
    void Discard();
    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
};

}  // namespace kelvo
