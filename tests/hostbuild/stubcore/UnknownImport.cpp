// Test-only: a DLL of the host's ABI that imports from the host's interface library a name the
// host exports and one it does not, for hostsim to refuse by that name before loading it.
namespace adsk::core {

__declspec(dllimport) void DeallocateArrayInternal(char* array);

class Application {
public:
    __declspec(dllimport) static void notThere();
};

} // namespace adsk::core

extern "C" __declspec(dllexport) bool run(const char* /*context*/)
{
    adsk::core::Application::notThere();
    adsk::core::DeallocateArrayInternal(nullptr);
    return true;
}

extern "C" __declspec(dllexport) bool stop(const char* /*context*/) { return true; }
