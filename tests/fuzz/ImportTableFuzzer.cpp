// Fuzzes hostsim's DLL reader. Invariants: never crashes, hangs or reads outside the file; a file
// is read or refused with a reason; whatever it reads stays within its bounds.
#include <ImportTable.h>

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        const auto imports = hostsim::importsOf(std::string_view(reinterpret_cast<const char*>(data), size));
        if (imports && imports->size() > hostsim::maximumLibraries) {
            std::abort();
        }
        for (const hostsim::ImportedLibrary& library : imports.value_or(std::vector<hostsim::ImportedLibrary>{})) {
            if (library.name.size() > hostsim::maximumNameBytes) {
                std::abort();
            }
        }
    } catch (const hostsim::MalformedDll&) {
        // refused, with its reason
    }
    return 0;
}
