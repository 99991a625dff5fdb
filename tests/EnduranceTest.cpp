// Long runs in one process: memory must stay flat and every reference must come back.
#include "support/AddinSession.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>

using testing_support::AddinSession;

// With AddressSanitizer, freed memory is normally held back in a quarantine that grows for a
// long time; without it, this test measures the program's own memory.
extern "C" const char* __asan_default_options() // NOLINT(bugprone-reserved-identifier)
{
    return "quarantine_size_mb=0:thread_local_quarantine_size_kb=0";
}

namespace {

// Peak resident set of this process, in KiB.
long peakRssKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

// Every run after a stop loads the add-in anew, as the host does. AddressSanitizer keeps part of
// what each load maps, so its builds check the cycles but measure only the page messages.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool loadsAreMeasured = false;
#else
constexpr bool loadsAreMeasured = true;
#endif

constexpr int cycles = loadsAreMeasured ? 10000 : 2000;
constexpr int firstMark = 1000;
constexpr int compactEvery = 100;
// Allowed growth of the peak between the first mark and the end.
constexpr long toleranceKiB = 4096;

TEST(Endurance, RunStopCyclesAndPageMessagesInConstantMemory)
{
    AddinSession addin({}, testing_support::Order::Host); // every stop unloads, every run loads anew
    simhost::Session& host = addin.host();
    long peakAtMark = 0;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        ASSERT_TRUE(host.run()) << cycle;
        ASSERT_TRUE(host.stop()) << cycle;
        if (cycle % compactEvery == 0) {
            host.compact();
        }
        if (cycle == firstMark) {
            peakAtMark = peakRssKiB();
        }
    }
    const long peakAfterCycles = peakRssKiB();

    ASSERT_TRUE(host.run());
    host.click("runTeachPalette"); // the palette is there for the messages
    long messagePeakAtMark = 0;
    for (int message = 1; message <= cycles; ++message) {
        host.message("\"https://www.trelvik.cz/kurzy/" + std::to_string(message) + "\"");
        if (message % compactEvery == 0) {
            host.compact();
        }
        if (message == firstMark) {
            messagePeakAtMark = peakRssKiB();
        }
    }
    const long peakAfterMessages = peakRssKiB();
    ASSERT_TRUE(host.stop());
    host.compact();
    const std::size_t objectsLeft = host.hostObjectCount();
    host.unload();

    std::cout << "run/stop: peak RSS " << peakAtMark << " KiB after " << firstMark << " cycles, " << peakAfterCycles
              << " KiB after " << cycles << "\n"
              << "page messages: peak RSS " << messagePeakAtMark << " KiB after " << firstMark << ", "
              << peakAfterMessages << " KiB after " << cycles << "\n"
              << "host objects left before unload: " << objectsLeft << "\n";
    if (loadsAreMeasured) {
        EXPECT_LE(peakAfterCycles - peakAtMark, toleranceKiB);
    }
    EXPECT_LE(peakAfterMessages - messagePeakAtMark, toleranceKiB);
    EXPECT_EQ(host.outstandingReferences(), 0);
    EXPECT_TRUE(host.violations().empty());
    EXPECT_TRUE(addin.ops("exception").empty());
}

} // namespace
