#include <QtTest>

#include "names_and_paths.h"

using namespace kelvo::ui;

class NamesAndPathsTest : public QObject {
    Q_OBJECT
private slots:
    void namesCrossAsLatin1() {
        const std::string bytes = "Caf\xE9";
        QCOMPARE(FromName(bytes), QString::fromUtf8("Caf\u00e9"));
        const auto back = ToName(FromName(bytes));
        QVERIFY(back.has_value());
        QCOMPARE(*back, bytes);
    }
    void characterOutsideLatin1IsRefused() {
        char32_t refused = 0;
        QVERIFY(!ToName(QString::fromUtf8("Gr\u00fc\u00dfe \u20ac"), &refused).has_value());
        QCOMPARE(refused, char32_t(0x20AC));
    }
    void pathsKeepNonAsciiFolders() {
        const QString path = QString::fromUtf8("/tmp/d\u00e9j\u00e0/survey.tbl");
        QCOMPARE(FromPath(ToPath(path).string()), path);
    }
};

QTEST_MAIN(NamesAndPathsTest)
#include "names_and_paths_test.moc"
