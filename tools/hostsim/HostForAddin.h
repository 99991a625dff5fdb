// The simulated host an add-in library runs with, as the add-in names its host. On Windows a DLL
// built for the host imports the host's names from the host's interface library, under whatever
// name the host's import library gives it (a build of ours: simhost.dll): the simulated host is
// loaded under that name, so the system's loader binds the add-in's imports to it. Elsewhere the
// simulated host beside hostsim.
#pragma once

#include <filesystem>

namespace hostsim {

class HostForAddin {
public:
    // Throws simhost::LoadError when the add-in imports host names the simulated host does not
    // export (the message lists them), or when the simulated host cannot be given that name.
    explicit HostForAddin(const std::filesystem::path& addin);
    // Removes the private copy.
    ~HostForAddin();
    HostForAddin(const HostForAddin&) = delete;
    HostForAddin& operator=(const HostForAddin&) = delete;

    // The simulated host's library to load: beside hostsim, or its private copy under the name
    // the add-in imports (in a temporary folder of its own, never beside the add-in).
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::filesystem::path copyFolder_; // empty without a copy
};

} // namespace hostsim
