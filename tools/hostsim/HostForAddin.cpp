#include "HostForAddin.h"

#include "ImportTable.h"

#include <simhost/Session.h>

#include <algorithm>
#include <random>

namespace hostsim {

namespace {

// A name of the host's interface library, as the Microsoft ABI decorates adsk::… names.
bool isHostName(const std::string& name) { return name.find("@adsk@@") != std::string::npos; }

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string utf8(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

} // namespace

HostForAddin::HostForAddin(const std::filesystem::path& addin) : path_(simhost::HostLibrary::besideThisProgram())
{
    std::optional<std::vector<ImportedLibrary>> imports;
    try {
        imports = readImports(addin);
    } catch (const MalformedDll& damaged) {
        throw simhost::LoadError("'" + utf8(addin) + "' is not a DLL hostsim can run: " + damaged.what());
    }
#if defined(_WIN32)
    if (!imports && std::filesystem::is_regular_file(addin)) {
        throw simhost::LoadError("'" + utf8(addin) + "' is not a DLL hostsim can run: not a PE file");
    }
#endif
    // None of this host's (or, elsewhere, no DLL at all): loaded as it is, with whatever it brings.
    if (!imports) {
        return;
    }
    const auto host = std::find_if(imports->begin(), imports->end(), [](const ImportedLibrary& library) {
        return std::any_of(library.functions.begin(), library.functions.end(), isHostName);
    });
    if (host == imports->end()) {
        return;
    }
    // The copy goes into hostsim's own folder, under that name and nowhere else.
    if (!isPlainFileName(host->name)) {
        throw simhost::LoadError("'" + utf8(addin) + "' imports the host's names from '" + host->name +
                                 "', which is not a plain file name");
    }
    const std::vector<std::string> exported = readExports(path_).value_or(std::vector<std::string>());
    std::string missing;
    for (const std::string& name : host->functions) {
        if (std::find(exported.begin(), exported.end(), name) == exported.end()) {
            missing += (missing.empty() ? " " : ", ") + name;
        }
    }
    if (!missing.empty()) {
        throw simhost::LoadError("'" + utf8(addin) + "' imports from " + host->name +
                                 " what the simulated host does not export:" + missing);
    }
    if (lowered(host->name) == lowered(simhost::HostLibrary::fileName)) {
        return;
    }
    std::random_device entropy;
    copyFolder_ = std::filesystem::temp_directory_path() / ("hostsim-" + std::to_string(entropy()));
    std::error_code failed;
    std::filesystem::create_directory(copyFolder_, failed);
    std::filesystem::copy_file(path_, copyFolder_ / host->name, failed);
    if (failed) {
        throw simhost::LoadError("cannot give the simulated host the name " + host->name + ": " + failed.message());
    }
    path_ = copyFolder_ / host->name;
}

HostForAddin::~HostForAddin()
{
    if (!copyFolder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(copyFolder_, ignored);
    }
}

} // namespace hostsim
