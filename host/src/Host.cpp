#include "Host.h"

#include "AddinLibrary.h"
#include "ShellRecorder.h"
#include "model/Application.h"

#include <algorithm>

namespace simhost {

namespace {

#if defined(_WIN32)
constexpr const char* pathSeparators = "\\/";
#else
constexpr const char* pathSeparators = "/";
#endif

// The palette a page message comes from: the one with that id, or else the newest shown one;
// only a shown palette's page can send one.
PaletteImpl* messagePalette(AppImpl& app, const std::string& id)
{
    const auto& palettes = app.ui().palettes().list();
    if (!id.empty()) {
        PaletteImpl* palette = palettes.find(id);
        return palette != nullptr && palette->visible() ? palette : nullptr;
    }
    const auto shown =
        std::find_if(palettes.items().rbegin(), palettes.items().rend(), [](PaletteImpl* p) { return p->visible(); });
    return shown != palettes.items().rend() ? *shown : nullptr;
}

// An event of the host's that no row of the slot table lets an add-in handle (a palette's closed,
// a command's destroy): fired to no handler, and traced so that a script sees it happen.
void traceEvent(Recorder& recorder, const std::string& event)
{
    recorder.trace("op", "event").add("event", event).add("handlers", std::int64_t{0});
}

std::string context(const char* name, bool value)
{
    return std::string(R"({")") + name + R"(":)" + (value ? "true" : "false") + "}";
}

} // namespace

Host::Host(Options options) : services_(std::move(options)), app_(&services_.make<AppImpl>())
{
    recordShellOpens(&services_.recorder);
}

Host::~Host()
{
    recordShellOpens(nullptr);
    // The library goes first so its handler objects can still reach the session; the objects
    // go before the connections that their events update.
    unloadLibrary();
    services_.objects.clear();
}

TraceEntry& Host::step(const char* action)
{
    services_.settleForeignCalls();
    return services_.recorder.trace("action", action);
}

// The entry point's result is traced; an exception escaping it is contained and traced.
bool Host::callEntry(bool run, const std::string& given)
{
    const char* name = run ? "run" : "stop";
    bool result = false;
    try {
        result = (run ? library_->run() : library_->stop())(given.c_str());
    } catch (...) {
        services_.recorder.trace("op", "exception").add("where", name);
    }
    services_.settleForeignCalls();
    services_.recorder.trace("call", name).add("result", result);
    return result;
}

void Host::load(const std::string& library)
{
    if (library_ != nullptr) {
        throw UsageError("the add-in is already loaded");
    }
    library_ = std::make_unique<AddinLibrary>(library);
    stage_ = Stage::Loaded;
    // The path is absolute: its folder is all before the last separator.
    const std::string& loaded = library_->absolutePath();
    lastLibrary_ = loaded;
    const std::size_t separator = loaded.find_last_of(pathSeparators);
    libraryFolder_ = separator == std::string::npos ? std::string() : loaded.substr(0, separator);
    services_.settleForeignCalls(); // what its static objects did
    services_.recorder.trace("op", "load").add("library", loaded.substr(separator + 1));
}

// The library loaded last, loaded anew when it is not loaded now.
void Host::loadAgain()
{
    if (library_ == nullptr) {
        if (lastLibrary_.empty()) {
            throw UsageError("no add-in was loaded");
        }
        load(lastLibrary_);
    }
}

// Unloads the add-in, if one is loaded; false when the system kept it mapped.
bool Host::unloadLibrary()
{
    if (library_ == nullptr) {
        return true;
    }
    services_.unloading = true;
    const bool gone = library_->unload();
    services_.unloading = false;
    library_.reset();
    return gone;
}

bool Host::run()
{
    const bool again = library_ != nullptr && stage_ != Stage::Loaded;
    if (again && !services_.options.anyOrder) {
        throw UsageError("'run' while the add-in runs: the host runs an add-in once a load (--any-order allows it)");
    }
    // The first run of a session is the host's start-up, unless the add-in was started from the
    // dialog; every later one is the dialog's Run.
    const bool startup = !services_.options.fromDialog && !ran_;
    TraceEntry& marker = step("run").add("startup", startup);
    if (again) {
        marker.add("outOfOrder", true);
    }
    loadAgain(); // the dialog's Run after Stop loads the library anew
    ran_ = true;
    stage_ = Stage::Running;
    return callEntry(true, context("IsApplicationStartup", startup));
}

bool Host::stop()
{
    const bool running = library_ != nullptr && stage_ == Stage::Running;
    if (!running && !services_.options.anyOrder) {
        throw UsageError(ran_ ? "'stop' when the add-in is not running: the host stops it once after each run "
                                "(--any-order allows it)"
                              : "'stop' before 'run': the host stops only a running add-in (--any-order allows it)");
    }
    TraceEntry& marker = step("stop");
    if (!running) {
        marker.add("outOfOrder", true);
    }
    loadAgain();
    const bool result = callEntry(false, context("IsApplicationClosing", false));
    if (services_.options.anyOrder) {
        stage_ = Stage::Stopped; // the next run or stop reaches this same load
    } else {
        end(false); // the host unloads an add-in it has stopped
    }
    return result;
}

void Host::unload()
{
    if (library_ == nullptr) {
        return; // stopped, and so unloaded, already
    }
    step("unload");
    end(stage_ == Stage::Running);
}

// Stops the add-in as the host does when it exits (when asked), unloads the library, and records
// what it left in the host: handlers still added to events, objects it made, references.
void Host::end(bool stopFirst)
{
    if (stopFirst) {
        callEntry(false, context("IsApplicationClosing", true));
    }
    if (!unloadLibrary()) {
        services_.recorder.violation("notUnloaded", "the system kept the add-in library mapped");
    }
    services_.settleForeignCalls(); // what its static objects did as they ended
    // Never called again: the code they would run went with the library.
    for (const std::string& handler : services_.connections.dropAll()) {
        services_.recorder.violation("handlerLeftRegistered", handler);
    }
    for (const std::string& object : app_->ui().madeByAddin()) {
        services_.recorder.violation("leftInHost", object);
    }
    const int outstanding = services_.objects.outstandingReferences();
    const std::vector<std::string> held = services_.objects.held();
    if (outstanding > 0) {
        std::string objects;
        for (const std::string& object : held) {
            objects += (objects.empty() ? "" : ", ") + object;
        }
        services_.recorder.violation("referencesOutstanding", objects);
    }
    auto& entry = services_.recorder.trace("op", "references").add("outstanding", std::int64_t{outstanding});
    if (!held.empty()) {
        entry.add("held", held);
    }
}

void Host::click(const std::string& commandId)
{
    UserInterfaceImpl& ui = app_->ui();
    CommandDefinitionImpl* definition = ui.definitions().list().find(commandId);
    if (definition == nullptr || !ui.toolbars().hasButton(commandId)) {
        throw UsageError("'click " + commandId + "': no button of that command in the host's toolbars");
    }
    step("click").add("id", commandId);
    auto& command = services_.make<CommandImpl>(commandId);
    auto& created = services_.make<CommandCreatedEventArgsImpl>(command, commandId);
    created.setOwner(command);
    definition->createdEvent().fire(created);
    if (command.executeEvent().handlerCount() > 0) {
        auto& executed = services_.make<CommandEventArgsImpl>(command);
        executed.setOwner(command);
        command.executeEvent().fire(executed);
    }
    traceEvent(services_.recorder, "destroy:" + commandId);
    command.endByHost(); // a command lives for its one click
}

void Host::message(const std::string& paletteId, const std::string& action, const std::string& text)
{
    step("message").add("pageAction", action).add("text", text);
    PaletteImpl* palette = messagePalette(*app_, paletteId);
    if (palette == nullptr) {
        services_.recorder.trace("op", "note")
            .add("text", paletteId.empty() ? std::string("no shown palette to send the message from")
                                           : "no shown palette " + paletteId + " to send the message from");
        return;
    }
    auto& args = services_.make<HTMLEventArgsImpl>(action, text);
    palette->htmlEvent().fire(args);
    args.markFinished();
}

void Host::close(const std::string& paletteId)
{
    PaletteImpl* palette = app_->ui().palettes().list().find(paletteId);
    if (palette == nullptr || !palette->visible() || !palette->look().closeButton) {
        throw UsageError("'close " + paletteId + "': no shown palette of that id with a close button");
    }
    step("close").add("id", paletteId);
    palette->closeByUser();
    traceEvent(services_.recorder, "closed:" + paletteId);
}

void Host::switchWorkspace()
{
    step("workspace");
    // The palettes go with the workspace the user leaves.
    const std::vector<PaletteImpl*> palettes = app_->ui().palettes().list().items();
    for (PaletteImpl* palette : palettes) {
        palette->deleteByHost();
    }
}

void Host::setOnline(bool online)
{
    step(online ? "online" : "offline");
    if (services_.offline == !online) {
        return; // the host reports changes only
    }
    services_.offline = !online;
    auto& args = services_.make<ApplicationEventArgsImpl>(!online);
    app_->onlineEvent().fire(args);
    args.markFinished();
}

void Host::compact()
{
    services_.objects.compact();
    services_.recorder.clear();
}

HostView Host::view() const
{
    HostView view;
    UserInterfaceImpl& ui = app_->ui();
    for (const CommandControlImpl* control : ui.toolbars().quickAccessRight().controls().list().items()) {
        ToolbarControlView item{control->id(), control->definitionId().empty(), {}, {}, {}};
        if (const CommandDefinitionImpl* definition = ui.definitions().list().find(control->definitionId())) {
            item.name = definition->look().name;
            item.tooltip = definition->look().tooltip;
            item.resourceFolder = definition->look().resourceFolder;
        }
        view.toolbar.push_back(std::move(item));
    }
    for (PaletteImpl* palette : ui.palettes().list().items()) {
        const PaletteLook& look = palette->look();
        view.palettes.push_back({palette->id(), look.name, look.url, palette->visible(), palette->docking(), look.width,
                                 look.height, palette->htmlEvent().handlerCount()});
    }
    for (CommandDefinitionImpl* definition : ui.definitions().list().items()) {
        const ButtonLook& look = definition->look();
        view.definitions.push_back({definition->id(), look.name, look.tooltip, look.resourceFolder,
                                    definition->createdEvent().handlerCount()});
    }
    view.onlineStatusHandlers = app_->onlineEvent().handlerCount();
    return view;
}

} // namespace simhost
