// Loads an add-in DLL beside a stand-in core.dll (tests/hostbuild/stubcore), calls run and stop,
// unloads it, and prints what the stand-in counted: proof that a DLL built in the host's ABI
// starts, runs, stops and ends its static objects under Windows (here Wine).
//
// Usage: load_addin ADDIN_DLL   Prints "loaded built=N alive=N", "run=0|1 stop=0|1" and
// "unloaded alive=N"; exit status 0 when every step could be taken.
//        load_addin --cookie PROBE_DLL    prints the probe DLL's stack cookie in this process
//        load_addin --overrun PROBE_DLL   overruns a buffer in the probe DLL; prints "returned"
//                                         only if the process was not ended there
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {
using EntryPoint = bool (*)(const char*);
using Counts = void (*)(int*, int*);
using Cookie = std::uintptr_t (*)();
using Overrun = int (*)(const char*, std::size_t);

template <class Function> Function symbol(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
} // namespace

namespace {

// The /GS probe (tests/hostbuild/stubcore/GuardProbe.cpp).
int probe(const std::string& mode, const std::string& path)
{
    const std::wstring wide(path.begin(), path.end());
    HMODULE dll = LoadLibraryW(wide.c_str());
    const auto cookie = dll != nullptr ? symbol<Cookie>(dll, "guardCookie") : nullptr;
    const auto overrun = dll != nullptr ? symbol<Overrun>(dll, "guardOverrun") : nullptr;
    if (cookie == nullptr || overrun == nullptr) {
        std::fprintf(stderr, "cannot load the probe %s\n", path.c_str());
        return 1;
    }
    if (mode == "--cookie") {
        std::printf("cookie=%llx\n", static_cast<unsigned long long>(cookie()));
    } else {
        static const char text[64] = "sixty-four bytes into a buffer of sixteen, over its frame";
        std::fflush(stdout);
        overrun(text, sizeof text);
        std::printf("returned\n");
    }
    FreeLibrary(dll);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3) {
        return probe(argv[1], argv[2]);
    }
    if (argc != 2) {
        std::fputs("usage: load_addin ADDIN_DLL\n", stderr);
        return 2;
    }
    const std::string path = argv[1];
    const std::wstring wide(path.begin(), path.end()); // the tests pass ASCII paths
    HMODULE addin = LoadLibraryExW(wide.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (addin == nullptr) {
        std::fprintf(stderr, "cannot load %s (error %lu)\n", path.c_str(), GetLastError());
        return 1;
    }
    const HMODULE core = GetModuleHandleW(L"core.dll");
    const auto counts = core != nullptr ? symbol<Counts>(core, "stubcoreHandlers") : nullptr;
    const auto run = symbol<EntryPoint>(addin, "run");
    const auto stop = symbol<EntryPoint>(addin, "stop");
    if (counts == nullptr || run == nullptr || stop == nullptr) {
        std::fputs("missing run, stop or the stand-in core.dll\n", stderr);
        return 1;
    }
    int built = 0;
    int alive = 0;
    counts(&built, &alive);
    std::printf("loaded built=%d alive=%d\n", built, alive);
    const bool ran = run("");
    const bool stopped = stop("");
    std::printf("run=%d stop=%d\n", ran ? 1 : 0, stopped ? 1 : 0);
    // The stand-in stays loaded while its function is held: load it once more, then count.
    const HMODULE held = LoadLibraryW(L"core.dll");
    FreeLibrary(addin);
    counts(&built, &alive);
    std::printf("unloaded alive=%d\n", alive);
    FreeLibrary(held);
    return 0;
}
