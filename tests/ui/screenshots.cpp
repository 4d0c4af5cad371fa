// Renders KELVO's windows to PNG files without a display, so that their look
// can be checked by eye (make screenshots). Usage: kelvo_screenshots DIR
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <cstdio>
#include <memory>

#include "about.h"
#include "app_windows.h"
#include "check_results.h"
#include "coefficient_chart.h"
#include "display_results.h"
#include "estimation_support.h"
#include "export_report.h"
#include "help_viewer.h"
#include "import_records.h"
#include "main_window.h"
#include "model_fit.h"
#include "model_summary.h"
#include "odds_ratios.h"
#include "recovery.h"
#include "select_model.h"
#include "specify_output.h"
#include "table_set.h"
#include "test_support.h"
#include "warning_message.h"

namespace {

bool Save(QWidget& window, const QDir& folder, const QString& name) {
    window.show();
    QApplication::processEvents();
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    const bool saved = window.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", path.toLocal8Bit().constData());
    window.hide();
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots"));
    if (!folder.exists() && !QDir().mkpath(folder.path())) return 1;

    auto ts = std::make_unique<kelvo::TableSet>();
    kelvo::ui::AppWindows windows(*ts);
    bool ok = true;

    // The main window with the example table set, read from a neutral place.
    const QString example = QDir::temp().filePath(QStringLiteral("kelvo-example/titanic.tbl"));
    QDir().mkpath(QFileInfo(example).path());
    QFile::remove(example);
    QFile::copy(QString::fromStdString(kelvo::test::SourcePath("examples/titanic.tbl").string()), example);
    kelvo::ui::TMain& main = windows.Main();
    main.seams.chooseOpenFile = [example] { return example; };
    main.ReadKELVOFile2Click();
    ok &= Save(main, folder, QStringLiteral("main_window"));
    // With the lines of recovered changes and of a journal that cannot be
    // written.
    main.RecoveredLine->show();
    main.ShowJournalProblem(QStringLiteral("Recovery file not written: Disk full"));
    ok &= Save(main, folder, QStringLiteral("main_window_unsaved"));
    main.RecoveredLine->hide();
    main.ShowJournalProblem(QString());

    // The main window with its File menu open.
    main.show();
    QApplication::processEvents();
    main.ReadKELVOfile1->popup(main.mapToGlobal(QPoint(0, main.menuBar()->height())));
    QApplication::processEvents();
    {
        QPixmap shot(main.size());
        shot.fill(Qt::transparent);
        QPainter painter(&shot);
        painter.drawPixmap(0, 0, main.grab());
        painter.drawPixmap(main.menuBar()->actionGeometry(main.ReadKELVOfile1->menuAction()).left(),
                           main.menuBar()->height(), main.ReadKELVOfile1->grab());
        painter.end();
        const QString path = folder.filePath(QStringLiteral("main_window_file_menu.png"));
        const bool saved = shot.save(path);
        std::printf("%s %s\n", saved ? "wrote" : "FAILED", path.toLocal8Bit().constData());
        ok &= saved;
    }
    main.ReadKELVOfile1->hide();
    main.hide();

    // The model windows with the example's model: Survived on Class and Sex.
    {
        kelvo::ui::TSelectModel& select = windows.SelectModel();
        for (int v = 1; v <= ts->VariableCount; ++v) ts->VariableRoles[v] = 0;
        ts->VariableRoles[kelvo::FindVariable(*ts, "Survived")] = 1;
        ts->VariableRoles[kelvo::FindVariable(*ts, "Class")] = 2;
        ok &= Save(select, folder, QStringLiteral("select_model"));

        kelvo::CollectingWarningSink quiet;
        const QString log = QDir::temp().filePath(QStringLiteral("kelvo-example/log"));
        kelvo::test::Estimate(*ts, kelvo::FindVariable(*ts, "Survived"),
                              {kelvo::FindVariable(*ts, "Class"), kelvo::FindVariable(*ts, "Sex")}, quiet,
                              log.toStdString());
        ts->ResultsAvailable = true;
        kelvo::ComputeModelSummary(*ts);
        ok &= Save(windows.CheckResults(), folder, QStringLiteral("check_results"));
        ok &= Save(windows.DisplayResults(), folder, QStringLiteral("display_results"));
        windows.DisplayResults().show();
        windows.DisplayResults().NextButtonClick();
        QApplication::processEvents();
        {
            const QString path = folder.filePath(QStringLiteral("display_results_page2.png"));
            const bool saved = windows.DisplayResults().grab().save(path);
            std::printf("%s %s\n", saved ? "wrote" : "FAILED", path.toLocal8Bit().constData());
            ok &= saved;
        }
        windows.DisplayResults().hide();
        ok &= Save(windows.SpecifyOutput(), folder, QStringLiteral("specify_output"));
        ok &= Save(windows.ModelSummary(), folder, QStringLiteral("model_summary"));
        ok &= Save(windows.ExportReport(), folder, QStringLiteral("export_report"));
        windows.CoefficientChart().SetPredictor(1);
        ok &= Save(windows.CoefficientChart(), folder, QStringLiteral("coefficient_chart"));
        ok &= Save(windows.OddsRatios(), folder, QStringLiteral("odds_ratios"));
        windows.CoefficientChart().SetOddsRatios(true, 2);
        ok &= Save(windows.CoefficientChart(), folder, QStringLiteral("odds_ratio_chart"));
        windows.CoefficientChart().SetOddsRatios(false);
    }

    kelvo::ui::TWarningMessage& warning = windows.WarningMessage();
    warning.Edit1->setText(QStringLiteral("Totals do not match for variable Class"));
    warning.Edit1->setCursorPosition(0);
    ok &= Save(warning, folder, QStringLiteral("warning_message"));

    ok &= Save(windows.About(), folder, QStringLiteral("about"));

    // The question after a crash, for a journal of the example from a fixed
    // time.
    {
        const auto box = kelvo::ui::RecoveryBox(
            &windows.Main(),
            kelvo::ui::RecoveryQuestion(QStringLiteral("/home/analyst/survey/titanic.tbl").toStdString(),
                                        1'765'200'000, kelvo::ui::JournalAge::Newer, 1'765'190'000));
        ok &= Save(*box, folder, QStringLiteral("recovery_question"));
    }

    // The import preview of the Titanic records, with Count proposed as the
    // weight.
    {
        kelvo::ui::TImportRecords& import = windows.ImportRecords();
        import.ReadPreview(QString::fromStdString(kelvo::test::SourcePath("examples/titanic.csv").string()));
        ok &= Save(import, folder, QStringLiteral("import_records"));
    }

    windows.Help().ShowContents();
    ok &= Save(windows.Help(), folder, QStringLiteral("help_viewer"));
    return ok ? 0 : 1;
}
