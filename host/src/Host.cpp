#include "Host.h"

#include "AddinLibrary.h"
#include "ShellRecorder.h"
#include "model/Application.h"

namespace simhost {

namespace {

#if defined(_WIN32)
constexpr const char* pathSeparators = "\\/";
#else
constexpr const char* pathSeparators = "/";
#endif

// The palette a page message comes from: the one with that id, or else the one the add-in created
// last; only a shown palette's page can send one.
PaletteImpl* messagePalette(AppImpl& app, const std::string& id)
{
    const auto& palettes = app.ui().palettes().list();
    PaletteImpl* palette =
        id.empty() ? (palettes.items().empty() ? nullptr : palettes.items().back()) : palettes.find(id);
    return palette != nullptr && palette->visible() ? palette : nullptr;
}

// An event of the host's that no row of the slot table lets an add-in handle (a palette's closed,
// a command's destroy): fired to no handler, and traced so that a script sees it happen.
void traceEvent(Recorder& recorder, const std::string& event)
{
    recorder.trace("op", "event").add("event", event).add("handlers", std::int64_t{0});
}

// The entry point's result is traced; an exception escaping it is contained and traced.
bool callEntry(Recorder& recorder, AddinLibrary::EntryPoint entry, const char* name, const std::string& context)
{
    bool result = false;
    try {
        result = entry(context.c_str());
    } catch (...) {
        recorder.trace("op", "exception").add("where", name);
    }
    recorder.trace("call", name).add("result", result);
    return result;
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
    services_.recorder.trace("op", "load").add("library", loaded.substr(separator + 1));
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

// The unload itself and the reference balance after it.
void Host::release()
{
    if (!unloadLibrary()) {
        services_.recorder.violation("notUnloaded", "the system kept the add-in library mapped");
    }
    auto& entry = services_.recorder.trace("op", "references")
                      .add("outstanding", std::int64_t{services_.objects.outstandingReferences()});
    if (const auto held = services_.objects.held(); !held.empty()) {
        entry.add("held", held);
    }
}

bool Host::run()
{
    // The first run of a session is the host's start-up, unless the add-in was started from the
    // dialog; every later one is the dialog's Run.
    const bool startup = !services_.options.fromDialog && !ran_;
    services_.recorder.trace("action", "run").add("startup", startup);
    if (stage_ == Stage::Stopped) {
        release(); // the dialog's Run after Stop loads the library anew
    }
    if (library_ == nullptr) {
        if (lastLibrary_.empty()) {
            throw UsageError("'run' needs a loaded add-in");
        }
        load(lastLibrary_);
    }
    ran_ = true;
    stage_ = Stage::Running;
    return callEntry(services_.recorder, library_->run(), "run",
                     std::string(R"({"IsApplicationStartup":)") + (startup ? "true" : "false") + "}");
}

bool Host::stop()
{
    if (library_ == nullptr) {
        throw UsageError("'stop' needs a loaded add-in");
    }
    services_.recorder.trace("action", "stop");
    return stopLibrary();
}

bool Host::stopLibrary()
{
    if (stage_ == Stage::Running) {
        stage_ = Stage::Stopped;
    }
    return callEntry(services_.recorder, library_->stop(), "stop", "");
}

void Host::click(const std::string& commandId)
{
    services_.recorder.trace("action", "click").add("id", commandId);
    CommandDefinitionImpl* definition = app_->ui().definitions().list().find(commandId);
    if (definition == nullptr) {
        services_.recorder.trace("op", "note").add("text", "no command definition " + commandId);
        return;
    }
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
    command.markFinished();
}

void Host::message(const std::string& paletteId, const std::string& action, const std::string& text)
{
    services_.recorder.trace("action", "message").add("pageAction", action).add("text", text);
    PaletteImpl* palette = messagePalette(*app_, paletteId);
    if (palette == nullptr) {
        services_.recorder.trace("op", "note")
            .add("text", "no shown palette " + paletteId + " to send the message from");
        return;
    }
    auto& args = services_.make<HTMLEventArgsImpl>(action, text);
    palette->htmlEvent().fire(args);
    args.markFinished();
}

void Host::close(const std::string& paletteId)
{
    services_.recorder.trace("action", "close").add("id", paletteId);
    PaletteImpl* palette = app_->ui().palettes().list().find(paletteId);
    if (palette == nullptr) {
        services_.recorder.trace("op", "note").add("text", "no palette " + paletteId + " to close");
        return;
    }
    palette->closeByUser();
    traceEvent(services_.recorder, "closed:" + paletteId);
}

void Host::switchWorkspace()
{
    services_.recorder.trace("action", "workspace");
    // The palettes go with the workspace the user leaves.
    const std::vector<PaletteImpl*> palettes = app_->ui().palettes().list().items();
    for (PaletteImpl* palette : palettes) {
        palette->deleteByHost();
    }
}

void Host::setOnline(bool online)
{
    services_.recorder.trace("action", online ? "online" : "offline");
    if (services_.offline == !online) {
        return; // the host reports changes only
    }
    services_.offline = !online;
    auto& args = services_.make<ApplicationEventArgsImpl>(!online);
    app_->onlineEvent().fire(args);
    args.markFinished();
}

void Host::unload()
{
    if (library_ == nullptr) {
        throw UsageError("'unload' needs a loaded add-in");
    }
    services_.recorder.trace("action", "unload");
    if (stage_ == Stage::Running) {
        stopLibrary(); // the host stops an add-in before it unloads it
    }
    release();
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
