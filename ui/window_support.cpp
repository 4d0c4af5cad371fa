#include "window_support.h"

#include <QAbstractItemView>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QScreen>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QWidget>

#include "latin1.h"
#include "name_rules.h"
#include "table_set.h"
#include "warnings.h"

namespace kelvo::ui {

void ApplyWindowColors(QWidget* window) {
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, WindowColor());
    palette.setColor(QPalette::Base, PanelColor());
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

void CenterOnScreen(QWidget* window) {
    QScreen* screen = window->screen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void ShowErrorBox(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("KELVO"), text, QMessageBox::Ok, parent);
    box.exec();
}

QString FromName(const std::string& name) { return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())); }

std::optional<std::string> ToName(const QString& text, char32_t* refused) {
    return kelvo::Utf8ToLatin1(text.toStdString(), refused);
}

std::optional<std::string> StoredName(const QString& typed, kelvo::WarningSink& warnings) {
    char32_t refused = 0;
    auto bytes = ToName(typed, &refused);
    if (!bytes) {
        warnings.ShowWarning(kelvo::RefusedCharacterWarning(refused));
        return std::nullopt;
    }
    if (bytes->size() > static_cast<std::size_t>(kelvo::MaxNameLength)) bytes->resize(kelvo::MaxNameLength);
    return bytes;
}

bool AcceptVariableName(const kelvo::InputSide& ts, const std::string& name, int self, kelvo::WarningSink& warnings) {
    const kelvo::VariableNameCheck check = kelvo::CheckVariableName(ts, name, self);
    if (!check) warnings.ShowWarning(kelvo::VariableNameWarning(check, name));
    return static_cast<bool>(check);
}

std::filesystem::path ToPath(const QString& path) { return std::filesystem::path(QFile::encodeName(path).toStdString()); }

QString FromPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

QPushButton* NamedButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QHBoxLayout* PagingButtonRow(QPushButton* previous, QPushButton* next, QPushButton* ok) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(previous);
    row->addWidget(next);
    row->addSpacing(24);
    row->addWidget(ok);
    return row;
}

}  // namespace kelvo::ui
