#include "LaunchRecord.h"

#include <cstdio>
#include <vector>

namespace trelvik {

namespace {

#if defined(_WIN32)
constexpr std::string_view platformLibrarySuffix = ".dll";
#else
constexpr std::string_view platformLibrarySuffix = ".so";
#endif

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Lines without their ends; CR LF and LF end a line, and the end of the content right after a
// line end yields no further line.
std::vector<std::string_view> splitLines(std::string_view content)
{
    std::vector<std::string_view> lines;
    while (!content.empty()) {
        const std::size_t end = content.find('\n');
        std::string_view line = content.substr(0, end);
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
    }
    return lines;
}

} // namespace

std::filesystem::path launchRecordPath(const std::filesystem::path& library)
{
    const std::string extension = library.extension().string();
    const bool known =
        equalsIgnoringAsciiCase(extension, ".dll") || equalsIgnoringAsciiCase(extension, platformLibrarySuffix);
    std::filesystem::path name = known ? library.stem() : library.filename();
    name += "_Info.txt";
    return library.parent_path() / name;
}

std::string newRecordText(const platform::LocalDate& today)
{
    char date[32];
    std::snprintf(date, sizeof date, "%02d.%02d.%04d", today.day, today.month, today.year);
    return std::string(date) + "\r\n1";
}

std::int32_t parseCounter(std::string_view line)
{
    std::size_t i = 0;
    while (i < line.size() && isSpace(line[i])) {
        ++i;
    }
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) {
        negative = line[i] == '-';
        ++i;
    }
    std::int64_t magnitude = 0;
    bool digits = false;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        digits = true;
        if (magnitude <= INT64_C(0x80000000)) { // stop growing once out of range for good
            magnitude = magnitude * 10 + (line[i] - '0');
        }
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (!digits || value < INT32_MIN || value > INT32_MAX) {
        return 0;
    }
    return static_cast<std::int32_t>(value);
}

RecordUpdate advanceRecordText(std::string_view content)
{
    std::vector<std::string_view> lines = splitLines(content);
    RecordUpdate update{1, {}};
    std::string counter = "1";
    if (lines.size() >= 2) {
        update.launchCount = parseCounter(lines[1]);
        // Two's-complement step: the counter after 2147483647 is -2147483648.
        const auto next = static_cast<std::int32_t>(static_cast<std::uint32_t>(update.launchCount) + 1U);
        counter = std::to_string(next);
        lines[1] = counter;
    } else {
        lines.emplace_back(counter);
    }
    update.text.reserve(content.size() + 2 * lines.size() + 12);
    for (const std::string_view line : lines) {
        update.text.append(line).append("\r\n");
    }
    return update;
}

std::int32_t advanceLaunchRecord(const std::filesystem::path& library, const platform::LocalDate& today,
                                 platform::FileSystem& files) noexcept
{
    try {
        if (library.empty()) {
            return -1; // our own path is unknown: touch nothing
        }
        const std::filesystem::path record = launchRecordPath(library);
        if (!files.exists(record)) {
            // The count is 1 whether or not the record could be created.
            platform::writeAtomically(files, record, newRecordText(today));
            return 1;
        }
        const std::optional<std::string> content = files.readAll(record);
        if (!content) {
            return -1;
        }
        const RecordUpdate update = advanceRecordText(*content);
        // A read-only record stays as it is, even where a rename could replace it.
        if (files.writable(record)) {
            platform::writeAtomically(files, record, update.text);
        }
        return update.launchCount;
    } catch (...) {
        return -1;
    }
}

} // namespace trelvik
