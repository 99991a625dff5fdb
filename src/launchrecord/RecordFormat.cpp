#include "RecordFormat.h"

#include <algorithm>
#include <vector>

namespace trelvik {

namespace {

using platform::NativePath;
using PathView = std::basic_string_view<platform::PathChar>;

#if defined(_WIN32)
constexpr std::string_view platformLibrarySuffix = ".dll";
#else
constexpr std::string_view platformLibrarySuffix = ".so";
#endif

// Compares path characters with lower-case ASCII, ignoring the case of ASCII letters.
bool equalsIgnoringAsciiCase(PathView text, std::string_view lowerAscii)
{
    return std::equal(text.begin(), text.end(), lowerAscii.begin(), lowerAscii.end(), [](auto c, char lower) {
        return (c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) == static_cast<unsigned char>(lower);
    });
}

// The decimal digits of value, at least width of them, a minus sign before them when negative.
std::string digits(std::int64_t value, int width = 1)
{
    std::string text;
    for (std::int64_t rest = value < 0 ? -value : value; rest > 0 || width > 0; rest /= 10, --width) {
        text.insert(text.begin(), static_cast<char>('0' + rest % 10));
    }
    return value < 0 ? "-" + text : text;
}

} // namespace

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

NativePath launchRecordPath(const NativePath& library)
{
    // Only the file name is looked at: folder names may contain anything, ".dll" included.
    const std::size_t dot = library.rfind('.');
    const PathView extension =
        dot != NativePath::npos && dot > platform::nameStart(library) ? PathView(library).substr(dot) : PathView();
    const bool isLibrary =
        equalsIgnoringAsciiCase(extension, ".dll") || equalsIgnoringAsciiCase(extension, platformLibrarySuffix);
    return library.substr(0, isLibrary ? dot : library.size()) + platform::asciiPath("_Info.txt");
}

// "dd.mm.yyyy" without the formatted-output machinery of the C library.
std::string newRecordText(const platform::LocalDate& today)
{
    return digits(today.day, 2)
        .append(1, '.')
        .append(digits(today.month, 2))
        .append(1, '.')
        .append(digits(today.year, 4))
        .append("\r\n1");
}

std::int32_t parseCounter(std::string_view line)
{
    std::size_t i = line.find_first_not_of(" \t\n\v\f\r"); // what strtol skips
    const bool negative = i < line.size() && line[i] == '-';
    i += i < line.size() && (line[i] == '+' || line[i] == '-') ? 1 : 0;
    const std::size_t first = i;
    std::int64_t magnitude = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9' && magnitude <= INT64_C(0x80000000); ++i) {
        magnitude = magnitude * 10 + (line[i] - '0'); // stops once out of range for good
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    return i == first || value < INT32_MIN || value > INT32_MAX ? 0 : static_cast<std::int32_t>(value);
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
        counter = digits(next);
        lines[1] = counter;
    } else {
        lines.push_back(counter);
    }
    update.text.reserve(content.size() + 2 * lines.size() + 12);
    for (const std::string_view line : lines) {
        update.text.append(line).append("\r\n");
    }
    return update;
}

} // namespace trelvik
