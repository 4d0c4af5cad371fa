// The dialogs' common construction: how Enter presses their buttons, where
// and in which order they come up on every showing, the tab order and the
// client size.
#include "dialog_frame.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QVBoxLayout>
#include <QtTest>

#include "data_entry_test_support.h"

using namespace kelvo::ui;

Q_DECLARE_METATYPE(PressedByEnter)
Q_DECLARE_METATYPE(Activation)

namespace {

// The distance of the dialog's middle from the middle of the screen.
int OffCentre(const QWidget& dialog) {
    const QPoint middle = QApplication::primaryScreen()->availableGeometry().center();
    return (dialog.frameGeometry().center() - middle).manhattanLength();
}

}  // namespace

class DialogFrameTest : public QObject {
    Q_OBJECT
private slots:
    // A field, an auto-default button before the one tried, and the one
    // tried: which of the two buttons Enter presses.
    void enterPressesTheButtonAsItsRoleSays_data() {
        QTest::addColumn<PressedByEnter>("enter");
        QTest::addColumn<bool>("focusOnButton");
        QTest::addColumn<QString>("pressed");
        QTest::newRow("default, Enter in the field") << PressedByEnter::Always << false << "Tried";
        QTest::newRow("default, Enter on it") << PressedByEnter::Always << true << "Tried";
        // Without a default, the first auto-default button becomes it.
        QTest::newRow("auto-default, Enter in the field") << PressedByEnter::AutoDefault << false << "Earlier";
        QTest::newRow("auto-default, Enter on it") << PressedByEnter::AutoDefault << true << "Tried";
        QTest::newRow("never, Enter in the field") << PressedByEnter::Never << false << "Earlier";
        QTest::newRow("never, Enter on it") << PressedByEnter::Never << true << "Earlier";
    }
    void enterPressesTheButtonAsItsRoleSays() {
        QFETCH(PressedByEnter, enter);
        QFETCH(bool, focusOnButton);
        QFETCH(QString, pressed);
        QDialog dialog;
        auto* field = Named<QLineEdit>(&dialog, "Field");
        QStringList clicked;
        const auto click = [&clicked](const char* name) { return [&clicked, name] { clicked << name; }; };
        QPushButton* earlier = AddButton(&dialog, "Earlier", "&Earlier", PressedByEnter::AutoDefault, click("Earlier"));
        QPushButton* tried = AddButton(&dialog, "Tried", "&Tried", enter, click("Tried"));
        auto* layout = new QVBoxLayout(&dialog);
        for (QWidget* widget : QList<QWidget*>{field, earlier, tried}) layout->addWidget(widget);
        QVERIFY(kelvo::test::ShowActive(&dialog));
        QWidget* target = focusOnButton ? static_cast<QWidget*>(tried) : field;
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
        QCOMPARE(clicked.join(","), pressed);
    }

    // Content that grows when it is filled in is centred at its new size;
    // content filled in afterwards finds the dialog already in its place.
    // Both run again on every showing.
    void everyShowingActivatesAndCentres_data() {
        QTest::addColumn<Activation>("when");
        QTest::newRow("before placing") << Activation::BeforePlacing;
        QTest::newRow("after placing") << Activation::AfterPlacing;
    }
    void everyShowingActivatesAndCentres() {
        QFETCH(Activation, when);
        QWidget parent;
        parent.setGeometry(10, 10, 120, 90);  // far from the middle of the screen
        parent.show();
        QDialog dialog(&parent, TitleBarOnly);
        auto* text = new QLabel(QStringLiteral("short"), &dialog);
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(text);
        layout->setSizeConstraint(QLayout::SetFixedSize);
        int activations = 0;
        QPoint placeWhenActivated;
        CenterOnEveryShowing(
            &dialog,
            [&] {
                ++activations;
                placeWhenActivated = dialog.pos();
                if (when == Activation::BeforePlacing) text->setText(QString(20 * activations, u'W'));
            },
            when);
        for (int showing = 1; showing <= 2; ++showing) {
            dialog.move(0, 0);
            dialog.show();
            QApplication::processEvents();
            QCOMPARE(activations, showing);
            QVERIFY2(OffCentre(dialog) <= 4, qPrintable(QString::number(OffCentre(dialog))));
            QCOMPARE(placeWhenActivated == dialog.pos(), when == Activation::AfterPlacing);
            dialog.hide();
        }
    }

    // Three of four fields in an order of their own; the fourth, left out,
    // follows them.
    void tabFollowsTheGivenOrder() {
        QDialog dialog;
        auto* layout = new QVBoxLayout(&dialog);
        QList<QLineEdit*> fields;
        for (const char* name : {"First", "Second", "Third", "Fourth"}) {
            fields << Named<QLineEdit>(&dialog, name);
            layout->addWidget(fields.back());
        }
        SetTabOrder({fields[2], fields[0], fields[1]});
        QVERIFY(kelvo::test::ShowActive(&dialog));
        fields[3]->setFocus();
        QStringList walked;
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(walked, QStringList({"Third", "First", "Second", "Fourth"}));
    }

    // The designed size where the content fits, the content's size where it
    // needs more (a larger font); never resizable.
    void clientSizeGrowsOnlyForItsContent_data() {
        QTest::addColumn<int>("letters");
        QTest::addColumn<bool>("designed");
        QTest::newRow("content fits") << 4 << true;
        QTest::newRow("content wider") << 200 << false;
    }
    void clientSizeGrowsOnlyForItsContent() {
        QFETCH(int, letters);
        QFETCH(bool, designed);
        QDialog dialog;
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(new QLabel(QString(letters, u'W'), &dialog));
        const QSize design(200, 120);
        FixClientSize(&dialog, design);
        QCOMPARE(dialog.size() == design, designed);
        QVERIFY(dialog.width() >= dialog.sizeHint().width() && dialog.height() >= design.height());
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    }
};

QTEST_MAIN(DialogFrameTest)
#include "dialog_frame_test.moc"
