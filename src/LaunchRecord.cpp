#include "LaunchRecord.h"

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
    if (text.size() != lowerAscii.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<platform::PathChar>(c - 'A' + 'a');
        }
        if (c != static_cast<platform::PathChar>(static_cast<unsigned char>(lowerAscii[i]))) {
            return false;
        }
    }
    return true;
}

// "dd.mm.yyyy" without the formatted-output machinery of the C library.
std::string formatDate(const platform::LocalDate& date)
{
    const auto digits = [](int value, int width) {
        std::string text = std::to_string(value < 0 ? 0 : value);
        return text.size() < static_cast<std::size_t>(width) ? std::string(width - text.size(), '0') + text : text;
    };
    return digits(date.day, 2) + "." + digits(date.month, 2) + "." + digits(date.year, 4);
}

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Creates the record or advances the one there; the launch count.
std::int32_t createOrAdvance(platform::FileSystem& files, const NativePath& record, const platform::LocalDate& today)
{
    switch (files.kind(record)) {
    case platform::FileKind::Missing:
        // The count is 1 whether or not the record could be created.
        platform::createContent(files, record, newRecordText(today));
        return 1;
    case platform::FileKind::Other:
        return -1; // a folder, FIFO or device is no record: never opened, never blocks
    case platform::FileKind::Regular:
        break;
    }
    // A read-only record stays as it is, even where a rename could replace it.
    std::optional<platform::FileEdit> edit = platform::FileEdit::begin(files, record, files.writable(record));
    if (!edit) {
        return -1; // unreadable, or held by another start's rewrite
    }
    const RecordUpdate update = advanceRecordText(edit->content());
    edit->commit(update.text);
    return update.launchCount;
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
    const std::size_t separator = library.find_last_of(platform::pathSeparators);
    const std::size_t nameStart = separator == NativePath::npos ? 0 : separator + 1;
    const std::size_t dot = library.rfind('.');
    std::size_t nameEnd = library.size();
    if (dot != NativePath::npos && dot > nameStart) {
        const PathView extension = PathView(library).substr(dot);
        if (equalsIgnoringAsciiCase(extension, ".dll") || equalsIgnoringAsciiCase(extension, platformLibrarySuffix)) {
            nameEnd = dot;
        }
    }
    return library.substr(0, nameEnd) + platform::asciiPath("_Info.txt");
}

std::string newRecordText(const platform::LocalDate& today) { return formatDate(today) + "\r\n1"; }

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

std::int32_t advanceLaunchRecord(const NativePath& library, const platform::LocalDate& today,
                                 platform::FileSystem& files) noexcept
{
    try {
        if (library.empty()) {
            return -1; // our own path is unknown: touch nothing
        }
        // A record that is a symbolic link stays one: its target is what advances (and what a
        // dangling link's first start creates). Links that loop name no file that could be made.
        const std::optional<NativePath> resolved = files.resolve(launchRecordPath(library));
        if (!resolved) {
            return 1;
        }
        const NativePath& record = *resolved;
        const std::int32_t count = createOrAdvance(files, record, today);
        // Litter of starts that died mid-update, beside the file that is actually written.
        platform::removeStaleTemporaries(files, record);
        return count;
    } catch (...) {
        return -1;
    }
}

} // namespace trelvik
