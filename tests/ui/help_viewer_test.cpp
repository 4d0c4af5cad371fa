// The help pages built into the program and the help window.
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QtTest>

#include "help_viewer.h"

using kelvo::ui::HelpViewer;

namespace {

QString PageText(const QString& name) {
    QFile file(QStringLiteral(":/help/") + name);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

QStringList Pages() { return QDir(QStringLiteral(":/help")).entryList({QStringLiteral("*.html")}); }

}  // namespace

class HelpViewerTest : public QObject {
    Q_OBJECT
private slots:
    void pagesAreBuiltIn() {
        const QStringList pages = Pages();
        for (const char* topic : {"index.html", "create_file.html", "edit_tables.html", "edit_variables.html",
                                  "specify_model.html", "prediction_check.html", "results.html", "significance.html",
                                  "reports.html", "file_format.html"})
            QVERIFY2(pages.contains(QString::fromLatin1(topic)), topic);
        QVERIFY(QFile::exists(QStringLiteral(":/help/help.css")));
    }

    // Every link leads to a page (and an anchor) that exists, and every page
    // can be reached from the contents.
    void linksResolve() {
        const QRegularExpression href(QStringLiteral("href=\"([^\"]+)\""));
        QSet<QString> reached{QStringLiteral("index.html")};
        QStringList queue{QStringLiteral("index.html")};
        while (!queue.isEmpty()) {
            const QString page = queue.takeFirst();
            const QString text = PageText(page);
            QVERIFY2(!text.isEmpty(), qPrintable(page));
            for (const QRegularExpressionMatch& match : href.globalMatch(text)) {
                const QString link = match.captured(1);
                if (link.startsWith(QLatin1String("http"))) continue;
                const QString target = link.section(QLatin1Char('#'), 0, 0);
                const QString anchor = link.section(QLatin1Char('#'), 1);
                const QString where = page + QStringLiteral(" -> ") + link;
                QVERIFY2(QFile::exists(QStringLiteral(":/help/") + target), qPrintable(where));
                if (!anchor.isEmpty())
                    QVERIFY2(PageText(target).contains(QStringLiteral("name=\"%1\"").arg(anchor)), qPrintable(where));
                if (target.endsWith(QLatin1String(".html")) && !reached.contains(target)) {
                    reached.insert(target);
                    queue << target;
                }
            }
        }
        for (const QString& page : Pages()) QVERIFY2(reached.contains(page), qPrintable(page + " is not linked"));
    }

    // Escape closes the help, and so does its Close button's key.
    void closesFromTheKeyboard_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier);
        QTest::newRow("Alt+L") << int(Qt::Key_L) << int(Qt::AltModifier);
    }
    void closesFromTheKeyboard() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        HelpViewer viewer;
        viewer.ShowContents();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        QTest::keyClick(viewer.Browser, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTRY_VERIFY(!viewer.isVisible());
    }

    void opensAtContentsEveryTime() {
        HelpViewer viewer;
        viewer.ShowContents();
        QVERIFY(viewer.isVisible());
        QCOMPARE(viewer.Browser->source(), HelpViewer::ContentsUrl());
        QCOMPARE(viewer.Browser->documentTitle(), QStringLiteral("KELVO help"));
        viewer.Browser->setSource(QUrl(QStringLiteral("qrc:/help/significance.html")));
        QVERIFY(viewer.BackButton->isEnabled());
        QCOMPARE(viewer.Browser->documentTitle(), QStringLiteral("Significance"));
        viewer.ShowContents();
        QCOMPARE(viewer.Browser->source(), HelpViewer::ContentsUrl());
        QVERIFY(!viewer.BackButton->isEnabled());
    }
};

QTEST_MAIN(HelpViewerTest)
#include "help_viewer_test.moc"
