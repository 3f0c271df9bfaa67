// Converter throughput: a settings file of the old release with 100 full lists
// (25 600 entries) converted into list files, end to end.
// Target on the project's 2-core machines: under 1 s per conversion; from a
// 17 MB settings file (paths near the reader's 511 bytes) under 2 s.

#include "converter/Converter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <stdlib.h>

namespace {

struct Folder {
    // `pathPadding` lengthens every stored path, to reach a settings file of a given size.
    explicit Folder(std::size_t pathPadding = 0) {
        std::string tmpl = (std::filesystem::temp_directory_path() / "vistrova-bench-XXXXXX").string();
        path = ::mkdtemp(tmpl.data());
        paths = converter::pathsOf(path);
        const std::string padding = pathPadding ? std::string(pathPadding, 'p') + "\\" : std::string();
        std::string settings = "[VISTROVA]\r\nINTERVAL=5\r\n";
        for (int i = 0; i < converter::kListCount; ++i) {
            settings += "[FILE" + std::to_string(i) + "]\r\n";
            for (int j = 0; j < converter::kEntryCount; ++j) {
                char key[16];
                std::snprintf(key, sizeof key, "LIST%03d", j);
                const std::string name = "holiday_" + std::to_string(i) + "_" + std::to_string(j) + ".jpg";
                settings += std::string(key) + "=" + name + "|C:\\My Documents\\Pictures\\Holidays\\" +
                            padding + name + "\r\n";
            }
            settings += "LISTNAME=list " + std::to_string(i) + "\r\n";
        }
        std::ofstream(paths.settingsFile, std::ios::binary) << settings;
        settingsBytes = settings.size();
    }
    ~Folder() { std::filesystem::remove_all(path); }
    void removeLists() const {
        for (int i = 0; i < converter::kListCount; ++i) std::filesystem::remove(converter::listFileOf(paths.listPrefix, i));
    }
    std::string path;
    converter::Paths paths;
    std::size_t settingsBytes = 0;
};

void BM_ConvertHundredFullListsIntoNewFiles(benchmark::State& state) {
    Folder folder;
    for (auto _ : state) {
        state.PauseTiming();
        folder.removeLists();
        state.ResumeTiming();
        const auto result = converter::ChgINI(folder.paths, [](int i) { benchmark::DoNotOptimize(i); });
        if (!result || result->listsWritten != converter::kListCount) state.SkipWithError("not every list was written");
    }
}
BENCHMARK(BM_ConvertHundredFullListsIntoNewFiles)->Unit(benchmark::kMillisecond);

void BM_ConvertHundredFullListsIntoExistingFiles(benchmark::State& state) {
    Folder folder;
    converter::ChgINI(folder.paths);
    for (auto _ : state) {
        const auto result = converter::ChgINI(folder.paths);
        if (!result || result->listsWritten != converter::kListCount) state.SkipWithError("not every list was written");
    }
}
BENCHMARK(BM_ConvertHundredFullListsIntoExistingFiles)->Unit(benchmark::kMillisecond);

void BM_ConvertHundredFullListsFrom17MBSettings(benchmark::State& state) {
    Folder folder(600);
    for (auto _ : state) {
        state.PauseTiming();
        folder.removeLists();
        state.ResumeTiming();
        const auto result = converter::ChgINI(folder.paths);
        if (!result || result->listsWritten != converter::kListCount) state.SkipWithError("not every list was written");
    }
    state.counters["settings_MB"] = static_cast<double>(folder.settingsBytes) / 1e6;
}
BENCHMARK(BM_ConvertHundredFullListsFrom17MBSettings)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
