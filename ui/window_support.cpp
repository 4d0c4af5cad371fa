#include "window_support.h"

#include <QAbstractItemView>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QVariant>
#include <QWidget>
#include <algorithm>

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

namespace {

// Moves the window's content into a scroll area that fills the window, so
// that a window smaller than its content still shows all of it.
void MakeScrollable(QWidget* window) {
    QLayout* content = window->layout();
    if (content == nullptr || window->property("kelvoScrollable").toBool()) return;
    window->setProperty("kelvoScrollable", true);
    auto* inner = new QWidget;
    inner->setObjectName(QStringLiteral("ScrolledContent"));
    inner->setLayout(content);  // takes the layout and its widgets from the window
    ApplyWindowColors(inner);
    auto* area = new QScrollArea(window);
    area->setObjectName(QStringLiteral("WindowScrollArea"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(inner);
    area->viewport()->setAutoFillBackground(false);
    auto* outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(area);
}

}  // namespace

void FitOnScreen(QWidget* window, const QRect& available) {
    // The frame the window manager adds (nothing before the first showing).
    const QSize frame = window->frameGeometry().size() - window->geometry().size();
    const QSize room = available.size() - frame;
    const QSize size = window->size();
    if (size.width() <= room.width() && size.height() <= room.height()) return;
    // Smaller than its content allows: the content scrolls.
    const QSize needed = window->layout() != nullptr ? window->layout()->totalMinimumSize() : window->minimumSizeHint();
    if (needed.width() > room.width() || needed.height() > room.height()) MakeScrollable(window);
    const QSize fitted = size.boundedTo(room);
    window->setMinimumSize(window->minimumSize().boundedTo(fitted));
    window->setMaximumSize(window->maximumSize().expandedTo(fitted).boundedTo(room));
    window->resize(fitted);
}

void CenterOnScreen(QWidget* window) {
    QScreen* screen = window->screen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect available = screen->availableGeometry();
    // The size the content asks for now, not after the next layout pass.
    if (window->layout() != nullptr) window->layout()->activate();
    FitOnScreen(window, available);
    QRect frame = window->frameGeometry();
    frame.moveCenter(available.center());
    // Never beyond the top or left edge, where the title bar and the first
    // controls are.
    frame.moveLeft(std::max(frame.left(), available.left()));
    frame.moveTop(std::max(frame.top(), available.top()));
    window->move(frame.topLeft());
}

void ShowErrorBox(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("KELVO"), text, QMessageBox::Ok, parent);
    box.exec();
}

QString FromName(const std::string& name) {
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

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
    // A pasted text may bring line ends and tabs along.
    if (const auto control = kelvo::FirstControlCharacter(*bytes)) {
        warnings.ShowWarning(kelvo::ControlCharacterWarning(*control));
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

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString FromPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

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
