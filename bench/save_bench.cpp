// Saving the default kov.ini the way OK does: the store's text, written safely to disk.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include "config_file.h"
#include "configuration_store.h"
#include "file_messages.h"
#include "settings.h"

namespace {

class NoPanel : public kov::SettingsPanel {
public:
    void SetListPosition(int32_t, int32_t) override {}
    int32_t GetListPosition(int32_t) override { return 0; }
    void SetCheck(int32_t, int32_t) override {}
    int32_t GetCheck(int32_t) override { return 0; }
    void SetEnabled(int32_t, bool) override {}
    void Redraw() override {}
};

void SaveDefaultFile(benchmark::State& state) {
    const QString previous = QDir::currentPath();
    QTemporaryDir folder(previous + QStringLiteral("/save-bench-XXXXXX"));  // on disk, not in memory
    QDir::setCurrent(folder.path());
    kov::ConfigFile file;
    kov::ConfigurationStore store;
    NoPanel panel;
    kov::LoadSettings(store, panel);
    for (auto _ : state) {
        const kov::SaveResult result = file.Save(store.WriteToString());
        if (!result.saved())
            state.SkipWithError(kov::ReasonWords(result.reason, {file.DisplayName(), file.System()}, true).c_str());
    }
    QDir::setCurrent(previous);
}
BENCHMARK(SaveDefaultFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
