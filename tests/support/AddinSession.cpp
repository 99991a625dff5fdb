#include "AddinSession.h"

#include "UrlRecorder.h"

namespace testing_support {

namespace {
std::filesystem::path copyAddin(const std::filesystem::path& folder)
{
    std::filesystem::create_directories(folder);
    auto target = folder / addinLibrary().filename();
    std::filesystem::copy_file(addinLibrary(), target, std::filesystem::copy_options::overwrite_existing);
    return target;
}

simhost::Options inOrder(simhost::Options options, Order order)
{
    options.anyOrder = order == Order::Any;
    return options;
}
} // namespace

AddinSession::AddinSession(const std::filesystem::path& folder, const simhost::Options& options, Order order)
    : shellLog_(std::make_unique<ScratchFolder>("shell")), library_(copyAddin(folder)),
      session_(inOrder(options, order))
{
#if defined(_WIN32)
    registerUrlRecorder(shellLog_->path() / "opened.txt");
#endif
    session_.load(library_);
}

AddinSession::AddinSession(const simhost::Options& options, Order order)
    : scratch_(std::make_unique<ScratchFolder>("addin")), shellLog_(std::make_unique<ScratchFolder>("shell")),
      library_(copyAddin(scratch_->path())), session_(inOrder(options, order))
{
#if defined(_WIN32)
    registerUrlRecorder(shellLog_->path() / "opened.txt");
#endif
    session_.load(library_);
}

std::filesystem::path AddinSession::record() const { return library_.parent_path() / "TrelvikDizivoro360_Info.txt"; }

std::vector<simhost::TraceEntry> AddinSession::entries(const std::string& kind, const std::string& value) const
{
    std::vector<simhost::TraceEntry> found;
    for (const auto& entry : session_.trace()) {
        if (entry.is(kind, value)) {
            found.push_back(entry);
        }
    }
    return found;
}

std::vector<simhost::TraceEntry> AddinSession::opsSince(std::size_t mark) const
{
    const auto& trace = session_.trace();
    std::vector<simhost::TraceEntry> found;
    for (std::size_t i = mark; i < trace.size(); ++i) {
        if (trace[i].find("op") != nullptr) {
            found.push_back(trace[i]);
        }
    }
    return found;
}

std::vector<std::string> AddinSession::shellOpens(std::size_t atLeast) const
{
    std::vector<std::string> opened;
#if defined(_WIN32)
    return readUrlLog(shellLog_->path() / "opened.txt", atLeast);
#else
    (void)atLeast;
    for (const auto& entry : ops("shellOpen")) {
        opened.push_back(entry.text("file"));
    }
    return opened;
#endif
}

void AddinSession::setLaunchCount(int launchCount) const
{
    writeBytes(record(), "01.01.2026\r\n" + std::to_string(launchCount) + "\r\n");
}

simhost::Options withFaults(std::vector<std::string> faults, bool offline)
{
    simhost::Options options;
    options.faults = std::move(faults);
    options.offline = offline;
    return options;
}

void reportOnline(simhost::Session& host)
{
    host.setOnline(false);
    host.setOnline(true);
}

std::vector<std::string> opNames(const std::vector<simhost::TraceEntry>& entries)
{
    std::vector<std::string> names;
    for (const auto& entry : entries) {
        std::string name = entry.text("op");
        for (const char* field : {"event", "kind", "id"}) {
            if (const std::string value = entry.text(field); !value.empty()) {
                name += ":" + value;
                break;
            }
        }
        names.push_back(name);
    }
    return names;
}

std::vector<std::string> paletteOps(const AddinSession& addin, std::size_t since)
{
    std::vector<std::string> names;
    for (const auto& name : opNames(addin.opsSince(since))) {
        if (name.find("teachPalete") != std::string::npos) {
            names.push_back(name);
        }
    }
    return names;
}

std::vector<std::string> messageHandlers(const AddinSession& addin, bool added)
{
    std::vector<std::string> names;
    for (const auto& entry : addin.ops("addHandler")) {
        const auto* value = entry.find("added");
        if (entry.text("event") == "incomingFromHTML:teachPalete" && value != nullptr &&
            std::get<bool>(*value) == added) {
            names.push_back(entry.text("handler"));
        }
    }
    return names;
}

} // namespace testing_support
