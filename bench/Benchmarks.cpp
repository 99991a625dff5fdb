// Benchmarks: the launch-record update against the bare system calls of a durable, locked update,
// run + stop in the simulated host, and the page-link check. Ratios are printed at the end.
#include <launchrecord/RecordFile.h>
#include <palette/LinkPolicy.h>

#include <simhost/Session.h>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>

namespace {

namespace fs = std::filesystem;

const trelvik::platform::LocalDate today{7, 12, 2026};

// A scratch folder for one benchmark, removed afterwards.
struct Folder {
    Folder() : path(fs::temp_directory_path() / ("trelvik-bench-" + std::to_string(::getpid())))
    {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~Folder() { fs::remove_all(path); }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    fs::path path;
};

void writeRecord(const fs::path& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }

// The routine under test: open, lock, read, write the changed bytes in place, sync.
void recordUpdate(benchmark::State& state)
{
    const Folder folder;
    const fs::path library = folder.path / "TrelvikDizivoro360.so";
    writeRecord(folder.path / "TrelvikDizivoro360_Info.txt", "07.12.2026\r\n1\r\n");
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop idiom
        benchmark::DoNotOptimize(trelvik::advanceLaunchRecord(library.native(), today));
    }
}

// A durable, locked update of the same record with the bare system calls alone: read under a
// shared lock, a new file written and synced, renamed over the record, the folder synced.
void baselineUpdate(benchmark::State& state)
{
    const Folder folder;
    const fs::path record = folder.path / "TrelvikDizivoro360_Info.txt";
    const fs::path temporary = folder.path / "TrelvikDizivoro360_Info.txt.tmp";
    const std::string bytes = "07.12.2026\r\n2\r\n";
    writeRecord(record, bytes);
    char buffer[64];
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop idiom
        const int in = ::open(record.c_str(), O_RDONLY);
        ::flock(in, LOCK_SH | LOCK_NB);
        benchmark::DoNotOptimize(::read(in, buffer, sizeof buffer));
        ::close(in);
        const int out = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        benchmark::DoNotOptimize(::write(out, bytes.data(), bytes.size()));
        ::fsync(out);
        ::close(out);
        std::rename(temporary.c_str(), record.c_str());
        const int directory = ::open(folder.path.c_str(), O_RDONLY | O_DIRECTORY);
        ::fsync(directory);
        ::close(directory);
    }
}

// run + stop of the add-in in the simulated host (its launch record advancing each time).
void runStop(benchmark::State& state)
{
    const Folder folder;
    const fs::path library = folder.path / "TrelvikDizivoro360.so";
    fs::copy_file(fs::read_symlink("/proc/self/exe").parent_path() / "TrelvikDizivoro360.so", library);
    writeRecord(folder.path / "TrelvikDizivoro360_Info.txt", "07.12.2026\r\n100\r\n");
    simhost::Session host({});
    host.load(library);
    std::int64_t cycles = 0;
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop idiom
        benchmark::DoNotOptimize(host.run());
        benchmark::DoNotOptimize(host.stop());
        if (++cycles % 100 == 0) {
            state.PauseTiming();
            host.compact(); // the host's own history is not what is measured
            state.ResumeTiming();
        }
    }
}

void linkCheck(benchmark::State& state)
{
    const std::string message = "\"https://www.trelvik.cz/fusion360/kurzy/zaciname-s-modelovanim?lang=CSY&lic=x\"";
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop idiom
        benchmark::DoNotOptimize(trelvik::acceptLink(message));
    }
}

BENCHMARK(recordUpdate)->Unit(benchmark::kMicrosecond);
BENCHMARK(baselineUpdate)->Unit(benchmark::kMicrosecond);
BENCHMARK(runStop)->Unit(benchmark::kMicrosecond);
BENCHMARK(linkCheck)->Unit(benchmark::kNanosecond);

// Console output plus the ratios the targets are stated in. With repetitions the median counts.
class RatioReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& reports) override
    {
        for (const Run& run : reports) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const std::string& name = run.run_name.function_name;
            if (median || (run.run_type == Run::RT_Iteration && !medians_.contains(name))) {
                nanoseconds_[name] = run.GetAdjustedRealTime() * 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
                if (median) {
                    medians_.insert(name);
                }
            }
        }
        ConsoleReporter::ReportRuns(reports);
    }

    void printRatios() const
    {
        const auto time = [&](const char* name) {
            const auto it = nanoseconds_.find(name);
            return it != nanoseconds_.end() ? it->second : 0.0;
        };
        std::printf("\n");
        if (time("baselineUpdate") > 0 && time("recordUpdate") > 0) {
            std::printf("record update / durable locked update: %.2fx (target <= 0.75x)\n",
                        time("recordUpdate") / time("baselineUpdate"));
        }
        if (time("recordUpdate") > 0 && time("runStop") > 0) {
            std::printf("run + stop / record update:            %.2fx (target <= 1.2x)\n",
                        time("runStop") / time("recordUpdate"));
        }
        if (time("linkCheck") > 0) {
            std::printf("link check: %.0f ns per link (target <= 150 ns)\n", time("linkCheck"));
        }
    }

private:
    std::map<std::string, double> nanoseconds_;
    std::set<std::string> medians_;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
