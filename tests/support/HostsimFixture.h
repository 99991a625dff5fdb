// hostsim run as a process on a copy of the add-in, for the tests of its command line.
#pragma once

#include "RunProcess.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

inline std::filesystem::path hostsim() { return hostsimProgram(); }

inline std::vector<std::string> lines(const std::string& text) { return outputLines(text); }

// The file name ending of a library the host loads.
inline std::string addinSuffix() { return addinLibrary().extension().string(); }

// A copy of the add-in in a fresh folder, so every test starts without a launch record.
class Hostsim : public ::testing::Test {
protected:
    Hostsim() : library_(scratch_.path() / addinLibrary().filename())
    {
        std::filesystem::copy_file(addinLibrary(), library_);
    }

    ProcessResult hostsimRun(std::vector<std::string> arguments, bool json = true)
    {
        std::vector<std::string> all;
        if (json) {
            all.emplace_back("--json");
        }
        all.push_back(library_.string());
        all.insert(all.end(), arguments.begin(), arguments.end());
        return runProcess(hostsim(), all);
    }

    ScratchFolder scratch_{"hostsim"};
    std::filesystem::path library_;
};

} // namespace testing_support
