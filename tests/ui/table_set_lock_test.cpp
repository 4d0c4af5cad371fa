// The lock that keeps one table-set file in one KELVO: held by a running
// process it is refused with its owner named; left by a killed one it is
// taken over; from another host it is never taken. The owner is a second
// process (this program, started with --hold-lock FILE), holding the lock
// until its standard input ends, or killed with SIGKILL.
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QtTest>
#include <cstdio>
#include <string_view>

#include "table_set_lock.h"
#include "test_support.h"

namespace fs = std::filesystem;
using kelvo::ui::TableSetLock;

namespace {

// The first line of a lock file: the process id of its owner.
qint64 OwnerIn(const fs::path& file) {
    return QByteArray::fromStdString(kelvo::test::ReadFile(file)).split('\n').value(0).toLongLong();
}

}  // namespace

class TableSetLockTest : public QObject {
    Q_OBJECT
private slots:
    void anotherOwner_data() {
        QTest::addColumn<QString>("owner");
        QTest::addColumn<bool>("taken");
        QTest::newRow("live owner") << "live" << false;
        QTest::newRow("dead owner") << "dead" << true;
        QTest::newRow("another host") << "elsewhere" << false;
    }
    void anotherOwner() {
        QFETCH(QString, owner);
        QFETCH(bool, taken);
        kelvo::test::TempDir dir;
        const fs::path file = dir / "state" / "recovery" / "survey.tbl-0123456789abcdef.lock";
        QProcess holder;
        holder.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--hold-lock"), QString::fromStdString(file.string())});
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("locked"));
        const qint64 pid = holder.processId();
        QCOMPARE(OwnerIn(file), pid);
        if (owner != QLatin1String("live")) {
            holder.kill();
            QVERIFY(holder.waitForFinished(10000));
            QVERIFY(fs::exists(file));
        }
        if (owner == QLatin1String("elsewhere")) {
            // Its host's name and machine id, the third and fourth lines.
            QList<QByteArray> lines = QByteArray::fromStdString(kelvo::test::ReadFile(file)).split('\n');
            QVERIFY(lines.size() >= 4);
            lines[2] = "elsewhere.example";
            lines[3] = "00000000000000000000000000000000";
            kelvo::test::WriteFile(file, lines.join('\n').toStdString());
        }

        TableSetLock lock(file);
        QCOMPARE(lock.Acquire() == TableSetLock::Result::Locked, taken);
        if (taken) {
            QCOMPARE(OwnerIn(file), QCoreApplication::applicationPid());
        } else {
            QCOMPARE(lock.owner().pid, pid);
            const QString process = owner == QLatin1String("elsewhere")
                                        ? QStringLiteral("process %1 on elsewhere.example").arg(pid)
                                        : QStringLiteral("process %1").arg(pid);
            QCOMPARE(kelvo::ui::OpenElsewhereText(QStringLiteral("/data/survey.tbl"), lock.owner()),
                     QStringLiteral("/data/survey.tbl is open in another KELVO window (%1)").arg(process));
            // Refused, the lock file stays its owner's.
            QCOMPARE(OwnerIn(file), pid);
        }
        holder.closeWriteChannel();
        holder.waitForFinished(10000);
    }

    // Within one process a second lock of the same file is refused as well
    // (two windows of the tests); the lock file goes with its holder, and
    // where no folder can be made there is no lock to take.
    void releasedWithItsHolder() {
        kelvo::test::TempDir dir;
        const fs::path file = dir / "recovery" / "a.lock";
        auto first = std::make_unique<TableSetLock>(file);
        QCOMPARE(first->Acquire(), TableSetLock::Result::Locked);
        TableSetLock second(file);
        QCOMPARE(second.Acquire(), TableSetLock::Result::Held);
        QCOMPARE(second.owner().pid, QCoreApplication::applicationPid());
        first.reset();
        QVERIFY(!fs::exists(file));
        QCOMPARE(second.Acquire(), TableSetLock::Result::Locked);

        kelvo::test::WriteFile(dir / "blocked", "a file where the folder should be");
        TableSetLock nowhere(dir / "blocked" / "recovery" / "a.lock");
        QCOMPARE(nowhere.Acquire(), TableSetLock::Result::Failed);
    }
};

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc == 3 && std::string_view(argv[1]) == "--hold-lock") {
        TableSetLock lock{fs::path(argv[2])};
        if (lock.Acquire() != TableSetLock::Result::Locked) return 1;
        std::puts("locked");
        std::fflush(stdout);
        char buffer[64];
        while (std::fread(buffer, 1, sizeof buffer, stdin) > 0) {
        }
        return 0;
    }
    TableSetLockTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "table_set_lock_test.moc"
