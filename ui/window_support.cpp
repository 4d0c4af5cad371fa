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

std::optional<std::string> ToName(const QString& text, QChar* refused) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        if (c.unicode() > 0xFF) {
            if (refused != nullptr) *refused = c;
            return std::nullopt;
        }
        bytes.push_back(static_cast<char>(c.unicode()));
    }
    return bytes;
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
