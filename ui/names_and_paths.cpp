#include "names_and_paths.h"

#include <QFile>

#include "latin1.h"

namespace kelvo::ui {

QString FromName(const std::string& name) {
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

std::optional<std::string> ToName(const QString& text, char32_t* refused) {
    return kelvo::Utf8ToLatin1(text.toStdString(), refused);
}

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString FromPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace kelvo::ui
