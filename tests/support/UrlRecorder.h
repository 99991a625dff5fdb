// The stand-in browser of the Windows tests: url_recorder.exe, registered for http and https.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

// Makes url_recorder.exe the handler of http and https links in the test prefix, appending to
// logFile (inherited by child processes through TRELVIK_URL_LOG). Windows only.
void registerUrlRecorder(const std::filesystem::path& logFile);

// The links in logFile once it holds at least atLeast of them (or after 30 s): the recorder
// runs in processes of its own, so the log fills asynchronously.
std::vector<std::string> readUrlLog(const std::filesystem::path& logFile, std::size_t atLeast);

} // namespace testing_support
