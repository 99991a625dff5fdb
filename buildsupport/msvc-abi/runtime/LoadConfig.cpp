// The load configuration directory, which every Visual C++ image has (lld-link points the data
// directory at _load_config_used): here for the stack cookie's address, which the loader fills
// with a value of its own before the DLL's entry point runs. The layout is that of
// IMAGE_LOAD_CONFIG_DIRECTORY64 up to the SafeSEH fields; Size tells the loader how much of it
// there is.
#include <cstddef>
#include <cstdint>

extern "C" std::uintptr_t __security_cookie;

namespace {

struct LoadConfiguration {
    std::uint32_t size;
    std::uint32_t timeDateStamp;
    std::uint16_t majorVersion;
    std::uint16_t minorVersion;
    std::uint32_t globalFlagsClear;
    std::uint32_t globalFlagsSet;
    std::uint32_t criticalSectionDefaultTimeout;
    std::uint64_t deCommitFreeBlockThreshold;
    std::uint64_t deCommitTotalFreeThreshold;
    std::uint64_t lockPrefixTable;
    std::uint64_t maximumAllocationSize;
    std::uint64_t virtualMemoryThreshold;
    std::uint64_t processAffinityMask;
    std::uint32_t processHeapFlags;
    std::uint16_t csdVersion;
    std::uint16_t dependentLoadFlags;
    std::uint64_t editList;
    std::uintptr_t* securityCookie;
    std::uint64_t seHandlerTable; // x86 only
    std::uint64_t seHandlerCount; // x86 only
};
static_assert(sizeof(LoadConfiguration) == 0x70);
static_assert(offsetof(LoadConfiguration, securityCookie) == 0x58);

} // namespace

extern "C" const LoadConfiguration _load_config_used{
    sizeof(LoadConfiguration), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, &__security_cookie, 0, 0};
