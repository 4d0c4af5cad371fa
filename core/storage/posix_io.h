// The system calls of the storage, with the retries that signals call for.
// Used only inside the storage.
#pragma once

#include <cerrno>
#include <fcntl.h>
#include <sys/types.h>

namespace kelvo::detail {

// open(2) with O_CLOEXEC, tried again when a signal interrupted it.
inline int RetryOpen(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path, flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

}  // namespace kelvo::detail
