// Names and paths crossing between Qt and the core: names are single-byte
// (Latin-1) text in the table set, paths are the bytes the file system uses.
#pragma once

#include <QString>
#include <filesystem>
#include <optional>
#include <string>

namespace kelvo::ui {

QString FromName(const std::string& name);

// The Latin-1 bytes of `text`, or nothing when a character has no Latin-1
// form; `refused` then receives that character.
std::optional<std::string> ToName(const QString& text, char32_t* refused = nullptr);

// A path chosen in a dialog, as the core takes it (non-ASCII folders work).
std::filesystem::path ToPath(const QString& path);
QString FromPath(const std::string& path);

}  // namespace kelvo::ui
