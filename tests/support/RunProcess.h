// Runs a program and captures its standard output and exit status.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// A program's output as lines, without their line ends (LF or CR LF).
std::vector<std::string> outputLines(const std::string& text);

// Runs program with arguments in folder (the current one when empty).
ProcessResult runProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                         const std::filesystem::path& folder = {});

} // namespace testing_support
