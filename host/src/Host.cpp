#include "Host.h"

#include "AddinLibrary.h"
#include "Model.h"
#include "ShellRecorder.h"

namespace simhost {

namespace {

Host* g_current = nullptr;

#if defined(_WIN32)
constexpr const char* pathSeparators = "\\/";
#else
constexpr const char* pathSeparators = "/";
#endif

// The palette an add-in's page messages come from: the one it created last that still exists.
PaletteImpl* messagePalette(const Host& host)
{
    const auto& palettes = host.app().ui().palettes().list().items();
    return palettes.empty() ? nullptr : palettes.back();
}

} // namespace

Host* Host::current() { return g_current; }

Host::Host(Options options) : options_(std::move(options)), offline_(options_.offline)
{
    faults.set(options_.faults);
    if (g_current != nullptr) {
        throw UsageError("a host session is already running");
    }
    app_ = &make<AppImpl>();
    g_current = this;
    recordShellOpens(this);
}

Host::~Host()
{
    recordShellOpens(nullptr);
    // The library goes first so its handler objects can still reach the session; the objects
    // go before the connections that their events update.
    library_.reset();
    objects.clear();
    g_current = nullptr;
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

bool Host::unloading() const { return library_ != nullptr && library_->unloading(); }

namespace {

template <class Call> bool callEntry(Host& host, AddinLibrary* library, const char* name, Call call)
{
    if (library == nullptr) {
        throw UsageError(std::string("'") + name + "' needs a loaded add-in");
    }
    host.recorder.trace("action", name);
    bool result = false;
    try {
        result = call(*library);
    } catch (...) {
        host.recorder.trace("op", "exception").add("where", name);
    }
    host.recorder.trace("call", name).add("result", result);
    return result;
}

} // namespace

bool Host::run()
{
    return callEntry(*this, library_.get(), "run", [](AddinLibrary& library) { return library.run()(""); });
}

bool Host::stop()
{
    return callEntry(*this, library_.get(), "stop", [](AddinLibrary& library) { return library.stop()(""); });
}

void Host::click(const std::string& commandId)
{
    recorder.trace("action", "click").add("id", commandId);
    CommandDefinitionImpl* definition = app().ui().definitions().list().find(commandId);
    if (definition == nullptr) {
        recorder.trace("op", "note").add("text", "no command definition " + commandId);
        return;
    }
    auto& command = make<CommandImpl>(commandId);
    auto& created = make<CommandCreatedEventArgsImpl>(command, commandId);
    created.setOwner(command);
    definition->createdEvent().fire(created);
    if (command.executeEvent().handlerCount() > 0) {
        auto& executed = make<CommandEventArgsImpl>(command);
        executed.setOwner(command);
        command.executeEvent().fire(executed);
    }
    command.markFinished();
}

void Host::message(const std::string& text)
{
    recorder.trace("action", "message").add("text", text);
    PaletteImpl* palette = messagePalette(*this);
    if (palette == nullptr) {
        recorder.trace("op", "note").add("text", "no palette to send the message from");
        return;
    }
    auto& args = make<HTMLEventArgsImpl>(text);
    palette->htmlEvent().fire(args);
    args.markFinished();
}

void Host::close(const std::string& paletteId)
{
    recorder.trace("action", "close").add("id", paletteId);
    PaletteImpl* palette = app().ui().palettes().list().find(paletteId);
    if (palette == nullptr) {
        recorder.trace("op", "note").add("text", "no palette " + paletteId + " to close");
        return;
    }
    palette->closeByUser();
}

void Host::setOnline(bool online)
{
    recorder.trace("action", online ? "online" : "offline");
    offline_ = !online;
    auto& args = make<ApplicationEventArgsImpl>(!online);
    app().onlineEvent().fire(args);
    args.markFinished();
}

void Host::unload()
{
    if (library_ == nullptr) {
        throw UsageError("'unload' needs a loaded add-in");
    }
    recorder.trace("action", "unload");
    if (!library_->unload()) {
        recorder.violation("notUnloaded", "the system kept the add-in library mapped");
    }
    library_.reset();
    unloaded_ = true;
    auto& entry = recorder.trace("op", "references").add("outstanding", std::int64_t{objects.outstandingReferences()});
    if (const auto held = objects.held(); !held.empty()) {
        entry.add("held", held);
    }
}

void Host::compact()
{
    objects.compact();
    recorder.clear();
}

HostView Host::view() const
{
    HostView view;
    UserInterfaceImpl& ui = app().ui();
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
    view.onlineStatusHandlers = app().onlineEvent().handlerCount();
    return view;
}

void Host::deliver(const std::string& where, const std::function<void()>& notify)
{
    try {
        notify();
    } catch (...) {
        // A real host could terminate here and lose the user's work; we record it instead.
        recorder.trace("op", "exception").add("where", where);
    }
}

} // namespace simhost
