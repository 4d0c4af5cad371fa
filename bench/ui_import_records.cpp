// The desktop program's import of 1,000,000 weighted records of 16 columns:
// the preview's reading of the file and the import, each on its own thread,
// and the longest wait between two movements of the progress bar (which must
// stay below 100 ms: the run fails otherwise).
#include <QComboBox>
#include <QElapsedTimer>
#include <QProgressBar>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>

#include "import_records.h"
#include "record_file.h"
#include "warnings.h"

namespace {

void BM_GuiImportMillionRecords(benchmark::State& state) {
    const auto path = kelvo::test::WeightedRecordFile(1000000);
    const auto target = std::filesystem::temp_directory_path() / "kelvo-bench-gui-import.tbl";
    kelvo::CollectingWarningSink warnings;
    kelvo::ui::TImportRecords window(warnings);
    window.seams.chooseTableFile = [&] { return QString::fromStdString(target.string()); };
    QElapsedTimer clock;
    qint64 last = 0, longest = 0;
    QObject::connect(window.ProgressBar, &QProgressBar::valueChanged, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    double preview = 0, import = 0;
    for (auto _ : state) {
        clock.start();
        last = 0;
        if (!window.ReadPreview(QString::fromStdString(path.string()))) return state.SkipWithError("preview failed");
        preview = static_cast<double>(clock.elapsed()) / 1000.0;
        window.WeightBox->setCurrentIndex(window.WeightBox->findText("Weight"));
        clock.start();
        last = 0;
        window.ImportButtonClick();
        import = static_cast<double>(clock.elapsed()) / 1000.0;
        if (!warnings.warnings.empty() || !std::filesystem::exists(target))
            return state.SkipWithError("the import failed");
    }
    std::filesystem::remove(target);
    state.counters["preview_s"] = preview;
    state.counters["import_s"] = import;
    state.counters["longest_progress_gap_ms"] = static_cast<double>(longest);
    if (longest > 100) state.SkipWithError("the progress bar stood still for more than 100 ms");
}
BENCHMARK(BM_GuiImportMillionRecords)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
