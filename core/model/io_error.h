// I/O failures: one exception type whose message is the text shown to the
// user ("File not found", "Disk full", "Invalid numeric input", ...).
#pragma once

#include <stdexcept>
#include <string>

namespace kelvo {

class IoError : public std::runtime_error {
public:
    explicit IoError(const std::string& text) : std::runtime_error(text) {}
};

// How an operation on a path failed, to pick the right text for an errno.
enum class IoOperation { Read, Write };

// The user's text for a failed system call (errno value `error`).
std::string IoErrorText(int error, IoOperation operation);

// Throws IoError with the text for `error`.
[[noreturn]] void ThrowIoError(int error, IoOperation operation);

}  // namespace kelvo
