// Fuzzes the launch-record reader and updater. Invariants: never crashes; the count follows the
// counter rules (checked against strtoll); line 2 becomes count + 1 in 32-bit arithmetic; lines 3
// and later come back unchanged; every line ends with CR LF.
#include <launchrecord/RecordFormat.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

// The record's own line splitter: what is checked here is the update, not the splitting, which
// the unit tests pin down.
std::vector<std::string> linesOf(std::string_view content)
{
    const std::vector<std::string_view> lines = trelvik::splitLines(content);
    return {lines.begin(), lines.end()};
}

// The counter as the C library reads it.
std::int32_t referenceCounter(const std::string& line)
{
    const std::string text = line.substr(0, line.find('\0'));
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (end == text.c_str() || errno == ERANGE || value < INT32_MIN || value > INT32_MAX) {
        return 0;
    }
    return static_cast<std::int32_t>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const trelvik::RecordUpdate update = trelvik::advanceRecordText(content);
    const std::vector<std::string> before = linesOf(content);
    const std::vector<std::string> after = linesOf(update.text);

    check(update.text.size() >= 3 && update.text.substr(update.text.size() - 2) == "\r\n");
    if (before.size() >= 2) {
        check(update.launchCount == referenceCounter(before[1]));
        check(after.size() == before.size());
        check(after[0] == before[0]);
        const auto next = static_cast<std::int32_t>(static_cast<std::uint32_t>(update.launchCount) + 1U);
        check(after[1] == std::to_string(next));
        for (std::size_t i = 2; i < before.size(); ++i) {
            check(after[i] == before[i]);
        }
    } else {
        check(update.launchCount == 1);
        check(after.size() == before.size() + 1 && after.back() == "1");
    }
    return 0;
}
