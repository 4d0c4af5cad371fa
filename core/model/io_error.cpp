#include "io_error.h"

#include <cerrno>

namespace kelvo {

std::string IoErrorText(int error, IoOperation operation) {
    switch (error) {
    case ENOENT:
        // Opening a missing file for reading: the file is missing. Creating a
        // file fails with ENOENT only when its directory is missing.
        return operation == IoOperation::Read ? "File not found" : "Path not found";
    case ENOTDIR:
        return "Path not found";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return "File access denied";
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
        return "Disk full";
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
        return "Invalid filename";
    default:
        return "I/O error " + std::to_string(error);
    }
}

void ThrowIoError(int error, IoOperation operation) { throw IoError(IoErrorText(error, operation)); }

}  // namespace kelvo
