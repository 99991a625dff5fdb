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

// Runs program with arguments in folder (the current one when empty).
ProcessResult runProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                         const std::filesystem::path& folder = {});

} // namespace testing_support
