// The warning notice, the confirmation box and the About box.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QClipboard>
#include <QtTest>

#include "about.h"
#include "confirm_message.h"
#include "estimation.h"
#include "name_rules.h"
#include "table_set.h"
#include "warning_message.h"
#include "window_test_support.h"

using kelvo::test::WhenModalShown;
using kelvo::ui::TAbout;
using kelvo::ui::TConfirmMessage;
using kelvo::ui::TWarningMessage;

namespace {

bool HasCloseButton(const QWidget& window) {
    const Qt::WindowFlags flags = window.windowFlags();
    return !flags.testFlag(Qt::CustomizeWindowHint) || flags.testFlag(Qt::WindowCloseButtonHint) ||
           flags.testFlag(Qt::WindowSystemMenuHint);
}

}  // namespace

class MessageBoxesTest : public QObject {
    Q_OBJECT
private slots:
    void warningLooksAsDefined() {
        TWarningMessage box;
        QCOMPARE(box.windowTitle(), QStringLiteral(" Warning!"));
        QCOMPARE(box.size(), QSize(290, 83));
        QVERIFY(!HasCloseButton(box));
        QVERIFY(box.Edit1->isReadOnly());
        QCOMPARE(box.Edit1->palette().color(QPalette::Text), QColor(Qt::red));
        QCOMPARE(box.Edit1->palette().color(QPalette::Base), QColor(247, 251, 255));
        QCOMPARE(box.OKButton->text(), QStringLiteral("OK"));
    }

    // ShowWarning shows the text and returns only when OK was pressed.
    void showWarningWaitsForOk_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("message") << QByteArray("Error: Matrix is singular !");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("latin-1 name") << QByteArray("Incorrect variable name in file: Gr\xf6\xdf" "e");
        QTest::newRow("longer than the field")
            << QByteArray("Incorrect table specification: ") + QByteArray(200, 'x') + QByteArray("END");
    }
    void showWarningWaitsForOk() {
        QFETCH(QByteArray, text);
        TWarningMessage box;
        QString shown;
        int cursor = -1;
        bool okHadFocus = false;
        bool stayedOpen = false;
        QWidget* modal = nullptr;
        WhenModalShown([&](QWidget* active) {
            modal = active;
            shown = box.Edit1->text();
            cursor = box.Edit1->cursorPosition();
            okHadFocus = box.focusWidget() == box.OKButton;
            // Neither Escape nor a close request closes it.
            QTest::keyClick(&box, Qt::Key_Escape);
            box.close();
            stayedOpen = box.isVisible();
            // Enter presses OK, which has the focus.
            QTest::keyClick(box.focusWidget(), Qt::Key_Return);
        });
        box.ShowWarning(text.toStdString());
        QCOMPARE(modal, &box);
        QVERIFY(!box.isVisible());
        QCOMPARE(shown, QString::fromLatin1(text));
        QCOMPARE(cursor, 0);  // the beginning of a long text is shown
        QVERIFY(okHadFocus);
        QVERIFY(stayedOpen);
    }

    // The messages KELVO added to its original ones fit the field at the
    // default font, as the original ones do, with names of 12 characters.
    void ownMessagesFitTheField_data() {
        QTest::addColumn<QString>("text");
        const std::string name = "Abcdefghijkl";
        kelvo::TableSet ts;
        ts.VariableCount = 16;
        ts.VariableNames[16] = name;
        for (const std::string& text :
             {std::string(kelvo::NoResultsWarning), std::string("A table set holds at most 16 variables"),
              kelvo::VariableNameWarning(kelvo::CheckVariableName(ts, "A*B", 0), "A*B"),
              kelvo::VariableNameWarning(kelvo::CheckVariableName(ts, name, 0), name),
              kelvo::RefusedCharacterWarning(0x1F600), "Not a whole number, set to 0: " + name,
              std::string("Not whole numbers, set to 0: 289 cells")})
            QTest::newRow(text.c_str()) << QString::fromStdString(text);
        // The longest original one, for comparison.
        QTest::newRow("original") << QString::fromStdString("Incorrect variable name in file: " + name);
    }
    void ownMessagesFitTheField() {
        QFETCH(QString, text);
        TWarningMessage box;
        const QRect room = box.Edit1->contentsRect().marginsRemoved(box.Edit1->textMargins());
        QVERIFY2(box.Edit1->fontMetrics().horizontalAdvance(text) <= room.width() - 4, qPrintable(text));
    }

    // The whole text is the field's tooltip, and it can be selected and
    // copied; Enter still closes the notice.
    void textCanBeCopied() {
        TWarningMessage box;
        QString copied, tip;
        bool closedByEnter = false, clickFocuses = false;
        WhenModalShown([&](QWidget*) {
            tip = box.Edit1->toolTip();
            QTest::mouseClick(box.Edit1, Qt::LeftButton);
            clickFocuses = box.focusWidget() == box.Edit1;
            QTest::keyClick(box.Edit1, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(box.Edit1, Qt::Key_C, Qt::ControlModifier);
            copied = QApplication::clipboard()->text();
            QTest::keyClick(box.Edit1, Qt::Key_Return);
            closedByEnter = !box.isVisible();
            if (!closedByEnter) box.OKButton->click();
        });
        box.ShowWarning("Totals do not match for variable Class");
        QCOMPARE(tip, QStringLiteral("Totals do not match for variable Class"));
        QCOMPARE(copied, tip);
        QVERIFY(clickFocuses);
        QVERIFY(closedByEnter);
    }

    void laterWarningReplacesText() {
        TWarningMessage box;
        WhenModalShown([](QWidget* modal) { static_cast<TWarningMessage*>(modal)->OKButton->click(); });
        box.ShowWarning("No dependent variable specified");
        QStringList shown;
        WhenModalShown([&](QWidget* modal) {
            auto* warning = static_cast<TWarningMessage*>(modal);
            shown << warning->Edit1->text();
            warning->OKButton->click();
        });
        box.ShowWarning("No predictor variables specified");
        QCOMPARE(shown, QStringList{QStringLiteral("No predictor variables specified")});
    }

    void confirmRecordsTheAnswer_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("result");
        QTest::newRow("OK") << "ok" << true;
        QTest::newRow("Cancel") << "cancel" << false;
        QTest::newRow("close box") << "close" << false;
    }
    void confirmRecordsTheAnswer() {
        QFETCH(QString, how);
        QFETCH(bool, result);
        TConfirmMessage box;
        QCOMPARE(box.windowTitle(), QStringLiteral(" Warning!"));
        QVERIFY(!box.Edit1->isReadOnly());
        QCOMPARE(box.Edit1->palette().color(QPalette::Text), QColor(Qt::red));
        QVERIFY(box.CancelButton->x() < box.OKButton->x());
        box.ConfirmResult = !result;
        WhenModalShown([&](QWidget*) {
            if (how == QLatin1String("ok")) box.OKButton->click();
            else if (how == QLatin1String("cancel")) box.CancelButton->click();
            else box.close();
        });
        box.exec();
        QCOMPARE(box.ConfirmResult, result);
    }

    void aboutShowsVersionOnEveryActivation() {
        TAbout about;
        QCOMPARE(about.windowTitle(), QStringLiteral(" About KELVO"));
        QCOMPARE(about.size(), QSize(193, 293));
        QVERIFY(!HasCloseButton(about));
        QCOMPARE(about.Label1->text(), QStringLiteral("Quendar"));
        QCOMPARE(about.Label1->font().pixelSize(), 19);
        QCOMPARE(about.Label2->text(), QStringLiteral("Version: 0.0"));  // until it is shown
        for (int showing = 0; showing < 2; ++showing) {
            about.Label2->setText(QStringLiteral("Version: 0.0"));
            QString version;
            WhenModalShown([&](QWidget*) {
                version = about.Label2->text();
                about.OKButton->click();
            });
            about.exec();
            QCOMPARE(version, QStringLiteral("Version 7.0"));
        }
        for (QLabel* credit : {about.Label3, about.Label4, about.Label5, about.Label6})
            QVERIFY(!credit->text().isEmpty());
    }

    void aboutLogoComesFromTheResources() {
        TAbout about;
        const QPixmap logo = about.Image2->pixmap();
        QVERIFY(!logo.isNull());
        QCOMPARE(logo.deviceIndependentSize().toSize(), QSize(146, 77));
        QVERIFY(about.Image2->width() >= 145 && about.Image2->height() >= 77);
        // Drawn, not blank: the heading rows are coloured.
        const QImage image = logo.toImage();
        int coloured = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (std::abs(c.red() - c.green()) > 60 || std::abs(c.green() - c.blue()) > 60) ++coloured;
            }
        QVERIFY2(coloured > 300, qPrintable(QString::number(coloured)));
    }
};

QTEST_MAIN(MessageBoxesTest)
#include "message_boxes_test.moc"
