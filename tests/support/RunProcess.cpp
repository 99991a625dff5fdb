#include "RunProcess.h"

#include "TestPaths.h"

#include <sstream>

#if defined(_WIN32)
#include <Utf8.h>

#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace testing_support {

#if defined(_WIN32)
namespace {
std::wstring widen(const std::string& text)
{
    const std::u16string wide = plumbing::utf8ToUtf16(text);
    return {wide.begin(), wide.end()};
}

// Quotes one argument so that CommandLineToArgvW gives it back unchanged.
std::wstring quote(const std::wstring& argument)
{
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}
} // namespace

ProcessResult runProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                         const std::filesystem::path& folder)
{
    const ScratchFolder scratch("proc");
    const auto outPath = scratch.path() / "out";
    const auto errPath = scratch.path() / "err";
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE out = CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    HANDLE err = CreateFileW(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    std::wstring commandLine = quote(program.wstring());
    for (const std::string& argument : arguments) {
        commandLine += L" " + quote(widen(argument));
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    ProcessResult result;
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        result.exitCode = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(out);
    CloseHandle(err);
    result.out = readBytes(outPath);
    result.err = readBytes(errPath);
    return result;
}
#else
ProcessResult runProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                         const std::filesystem::path& folder)
{
    const ScratchFolder scratch("proc");
    const auto outPath = scratch.path() / "out";
    const auto errPath = scratch.path() / "err";
    const pid_t child = fork();
    if (child == 0) {
        if (freopen(outPath.c_str(), "w", stdout) == nullptr || freopen(errPath.c_str(), "w", stderr) == nullptr ||
            (!folder.empty() && chdir(folder.c_str()) != 0)) {
            _exit(127);
        }
        std::vector<char*> argv;
        std::string name = program.string();
        argv.push_back(name.data());
        std::vector<std::string> copies = arguments;
        for (std::string& argument : copies) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        execv(name.c_str(), argv.data());
        _exit(127);
    }
    ProcessResult result;
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    }
    result.out = readBytes(outPath);
    result.err = readBytes(errPath);
    return result;
}
#endif

std::vector<std::string> outputLines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        result.push_back(line);
    }
    return result;
}

} // namespace testing_support
