#include "Host.h"

#include "AddinLibrary.h"
#include "Model.h"
#include "ShellRecorder.h"

namespace simhost {

namespace {

#if defined(_WIN32)
constexpr const char* pathSeparators = "\\/";
#else
constexpr const char* pathSeparators = "/";
#endif

// The palette an add-in's page messages come from: the one it created last that still exists.
PaletteImpl* messagePalette(AppImpl& app)
{
    const auto& palettes = app.ui().palettes().list().items();
    return palettes.empty() ? nullptr : palettes.back();
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
    if (library_ || unloaded_) {
        throw UsageError("the add-in is already loaded");
    }
    library_ = std::make_unique<AddinLibrary>(library);
    // The path is absolute: its folder is all before the last separator.
    const std::string& loaded = library_->absolutePath();
    const std::size_t separator = loaded.find_last_of(pathSeparators);
    libraryFolder_ = separator == std::string::npos ? std::string() : loaded.substr(0, separator);
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

namespace {

template <class Call> bool callEntry(Recorder& recorder, AddinLibrary* library, const char* name, Call call)
{
    if (library == nullptr) {
        throw UsageError(std::string("'") + name + "' needs a loaded add-in");
    }
    recorder.trace("action", name);
    bool result = false;
    try {
        result = call(*library);
    } catch (...) {
        recorder.trace("op", "exception").add("where", name);
    }
    recorder.trace("call", name).add("result", result);
    return result;
}

} // namespace

bool Host::run()
{
    return callEntry(services_.recorder, library_.get(), "run",
                     [](AddinLibrary& library) { return library.run()(""); });
}

bool Host::stop()
{
    return callEntry(services_.recorder, library_.get(), "stop",
                     [](AddinLibrary& library) { return library.stop()(""); });
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
    command.markFinished();
}

void Host::message(const std::string& text)
{
    services_.recorder.trace("action", "message").add("text", text);
    PaletteImpl* palette = messagePalette(*app_);
    if (palette == nullptr) {
        services_.recorder.trace("op", "note").add("text", "no palette to send the message from");
        return;
    }
    auto& args = services_.make<HTMLEventArgsImpl>(text);
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
}

void Host::setOnline(bool online)
{
    services_.recorder.trace("action", online ? "online" : "offline");
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
    if (!unloadLibrary()) {
        services_.recorder.violation("notUnloaded", "the system kept the add-in library mapped");
    }
    unloaded_ = true;
    auto& entry = services_.recorder.trace("op", "references")
                      .add("outstanding", std::int64_t{services_.objects.outstandingReferences()});
    if (const auto held = services_.objects.held(); !held.empty()) {
        entry.add("held", held);
    }
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
