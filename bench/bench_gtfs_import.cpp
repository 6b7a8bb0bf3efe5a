// The import of a GTFS feed into a new SQLite file, against reading the same
// CSV files alone (every record of every file through the feed's CSV
// reader): the real feed of the shared data, and a feed ten times bigger
// made from it by repeating its trips with new trip_ids. Each run is a child
// process, so that its peak memory is its own: the import streams
// stop_times.txt, so its memory grows with the trips and routes, not with the
// stop times.
// Usage: bench_gtfs_import [repeats]   (default 1; the best run counts)

#include "SqliteBenchSupport.h"
#include "core/OperationFeedback.h"
#include "gtfs/CsvReader.h"
#include "gtfs/FeedReading.h"
#include "gtfs/GtfsImport.h"
#include "support/FeedChecks.h"
#include "support/RecordingMessageSink.h"

#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

using namespace korvan;
using namespace korvan::bench;
namespace fs = std::filesystem;

namespace {

struct Measure {
    double seconds = 1e30;
    long peakKb = 0;
};

// Runs `work` in a child process; its time (the child writes it) and peak
// memory. Exits when the child fails.
Measure inChild(const std::function<bool()>& work)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        std::exit(1);
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        const Stopwatch watch;
        const bool done = work();
        const double seconds = watch.seconds();
        if (write(pipeEnds[1], &seconds, sizeof seconds) != sizeof seconds)
            _exit(3);
        _exit(done ? 0 : 2);
    }
    close(pipeEnds[1]);
    Measure measure;
    if (read(pipeEnds[0], &measure.seconds, sizeof measure.seconds) != sizeof measure.seconds)
        measure.seconds = 1e30;
    close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "a measured run failed (status %d)\n", status);
        std::exit(1);
    }
    measure.peakKb = usage.ru_maxrss;
    return measure;
}

bool readAllCsv(const std::string& folder)
{
    long fields = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".txt")
            continue;
        gtfs::CsvReader csv(gtfs::openFile(entry.path().string(), entry.path().filename().string()),
                            entry.path().filename().string());
        while (csv.next())
            fields += static_cast<long>(csv.field(0).size());
    }
    return fields > 0;
}

bool importFeed(const std::string& folder, const std::string& target)
{
    test::RecordingMessageSink sink;
    SilentFeedback feedback;
    fs::remove(target);
    const bool done = gtfs::importIntoNewFile({folder, ""}, target, true, sink, feedback);
    if (!done)
        std::fprintf(stderr, "%s\n", sink.lastText().c_str());
    return done;
}

// The whole feed read, checked and numbered, nothing written: the memory
// the import holds besides the database engine's page cache.
bool readFeedOnly(const std::string& folder)
{
    SilentFeedback feedback;
    return gtfs::readFeed(folder, "", feedback)->network->runs().size() > 0;
}

// The feed with its trips repeated `times` times, the copies' trip_ids
// ending "~2", "~3", ...; each copy's stop times follow the original's, so
// the file stays grouped by trip. Counts the trips and stop times written.
void repeatedFeed(const std::string& from, const std::string& to, int times, long& trips, long& stopTimes)
{
    fs::create_directories(to);
    trips = stopTimes = 0;
    for (const auto& entry : fs::directory_iterator(from)) {
        const std::string name = entry.path().filename().string();
        if (name != "trips.txt" && name != "stop_times.txt") {
            fs::copy_file(entry.path(), fs::path(to) / name, fs::copy_options::overwrite_existing);
            continue;
        }
        // trip_id is the third column of trips.txt and the first of stop_times.txt.
        const size_t tripColumn = name == "trips.txt" ? 2 : 0;
        std::ofstream out(fs::path(to) / name, std::ios::binary);
        for (int copy = 1; copy <= times; ++copy) {
            std::ifstream in(entry.path(), std::ios::binary);
            std::string line;
            bool header = true;
            while (std::getline(in, line)) {
                if (header) {
                    if (copy == 1)
                        out << line << '\n';
                    header = false;
                    continue;
                }
                if (copy > 1) {
                    size_t at = 0;
                    for (size_t c = 0; c < tripColumn; ++c)
                        at = line.find(',', at) + 1;
                    const size_t end = line.find(',', at);
                    line.insert(end, "~" + std::to_string(copy));
                }
                out << line << '\n';
                ++(name == "stop_times.txt" ? stopTimes : trips);
            }
        }
    }
}

void printRun(const char* what, long stopTimes, const Measure& measure, const Measure& baseline, double goalSeconds)
{
    std::printf("measured  %-36s %9ld stop times %7.3f s  ratio %5.2f  peak %7.1f MB  (goal <= %.0f s) %s\n", what,
                stopTimes, measure.seconds, measure.seconds / baseline.seconds,
                static_cast<double>(measure.peakKb) / 1024.0, goalSeconds,
                measure.seconds <= goalSeconds ? "met" : "NOT MET");
}

} // namespace

int main(int argc, char** argv)
{
    const int repeats = argc > 1 ? std::max(1, static_cast<int>(parseIntegerText(argv[1]))) : 1;
    const std::string feed = test::realFeedFolder();
    if (feed.empty()) {
        std::printf("bench_gtfs_import: the shared data (../shared/data/gtfs/trento-urbano) are not there\n");
        return 0;
    }
    const std::string work = freshDatabase("gtfs-bench");
    removeDatabase(work);
    const fs::path folder = fs::path(work).parent_path() / (fs::path(work).stem().string() + "-feeds");
    fs::create_directories(folder);
    const std::string ten = (folder / "ten").string();
    long trips10 = 0, stopTimes10 = 0;
    repeatedFeed(feed, ten, 10, trips10, stopTimes10);
    const long stopTimes1 = stopTimes10 / 10;
    const std::string target = (folder / "runs.sqlite").string();

    Measure read1, read10, import1, import10, model1, model10;
    auto best = [](Measure& kept, const Measure& measure) {
        if (measure.seconds < kept.seconds)
            kept.seconds = measure.seconds;
        kept.peakKb = std::max(kept.peakKb, measure.peakKb);
    };
    for (int repeat = 0; repeat < repeats; ++repeat) {
        best(read1, inChild([&] { return readAllCsv(feed); }));
        best(import1, inChild([&] { return importFeed(feed, target); }));
        best(read10, inChild([&] { return readAllCsv(ten); }));
        best(import10, inChild([&] { return importFeed(ten, target); }));
        best(model1, inChild([&] { return readFeedOnly(feed); }));
        best(model10, inChild([&] { return readFeedOnly(ten); }));
    }
    std::printf("baseline  %-36s %9ld stop times %7.3f s               peak %7.1f MB\n", "reading the feed's CSV files",
                stopTimes1, read1.seconds, static_cast<double>(read1.peakKb) / 1024.0);
    printRun("import-gtfs, the feed", stopTimes1, import1, read1, 2.0);
    std::printf("baseline  %-36s %9ld stop times %7.3f s               peak %7.1f MB\n",
                "reading the CSV files, ten times", stopTimes10, read10.seconds,
                static_cast<double>(read10.peakKb) / 1024.0);
    printRun("import-gtfs, ten times the trips", stopTimes10, import10, read10, 15.0);
    // Nine times more trips (and their months) held, and nine times more
    // stop times streamed. The import's peak adds the database engine's page
    // cache (at most 64 MB, the connection's cache_size) to the feed's model.
    const double modelGrowth = static_cast<double>(model10.peakKb - model1.peakKb) * 1024.0;
    std::printf("memory    feed read and numbered, nothing written: %.1f MB, ten times the trips %.1f MB\n",
                static_cast<double>(model1.peakKb) / 1024.0, static_cast<double>(model10.peakKb) / 1024.0);
    std::printf("memory    %.1f MB more for %ld more stop times: %.1f bytes per stop time, %.0f bytes per added trip "
                "(its own records); the import adds at most the 64 MB page cache of the database engine\n",
                modelGrowth / 1048576.0, stopTimes10 - stopTimes1,
                modelGrowth / static_cast<double>(stopTimes10 - stopTimes1),
                modelGrowth / (0.9 * static_cast<double>(trips10)));
    fs::remove_all(folder);
    return 0;
}
