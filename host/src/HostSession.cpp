#include "HostSession.h"

#include "AddinLibrary.h"
#include "Model.h"
#include "SessionState.h"
#include "ShellRecorder.h"

namespace simhost {

namespace {

template <class Action> bool callEntry(SessionState& state, const char* name, Action action)
{
    if (state.library() == nullptr) {
        throw UsageError(std::string("'") + name + "' needs a loaded add-in");
    }
    state.trace("action", name);
    bool result = false;
    try {
        result = action(*state.library());
    } catch (...) {
        state.trace("op", "exception").add("where", name);
    }
    state.trace("call", name).add("result", result);
    return result;
}

// The palette an add-in's page messages come from: the one it created last that still exists.
PaletteImpl* messagePalette(SessionState& state)
{
    const auto& palettes = state.app().ui().palettes().list().items();
    return palettes.empty() ? nullptr : palettes.back();
}

} // namespace

HostSession::HostSession(Options options) : state_(std::make_unique<SessionState>(std::move(options)))
{
    recordShellOpens(state_.get());
}

HostSession::~HostSession() { recordShellOpens(nullptr); }

void HostSession::setFaults(const std::vector<std::string>& faults) { state_->setFaults(faults); }

void HostSession::load(const std::string& library) { state_->loadLibrary(library); }

bool HostSession::loaded() const { return state_->library() != nullptr; }

bool HostSession::run()
{
    return callEntry(*state_, "run", [](AddinLibrary& library) { return library.run()(""); });
}

bool HostSession::stop()
{
    return callEntry(*state_, "stop", [](AddinLibrary& library) { return library.stop()(""); });
}

void HostSession::click(const std::string& commandId)
{
    SessionState& s = *state_;
    s.trace("action", "click").add("id", commandId);
    CommandDefinitionImpl* definition = s.app().ui().definitions().list().find(commandId);
    if (definition == nullptr) {
        s.trace("op", "note").add("text", "no command definition " + commandId);
        return;
    }
    auto& command = s.make<CommandImpl>(commandId);
    auto& created = s.make<CommandCreatedEventArgsImpl>(command, commandId);
    created.setOwner(command);
    definition->createdEvent().fire(created);
    if (command.executeEvent().handlerCount() > 0) {
        auto& executed = s.make<CommandEventArgsImpl>(command);
        executed.setOwner(command);
        command.executeEvent().fire(executed);
    }
    command.markFinished();
}

void HostSession::message(const std::string& text)
{
    SessionState& s = *state_;
    s.trace("action", "message").add("text", text);
    PaletteImpl* palette = messagePalette(s);
    if (palette == nullptr) {
        s.trace("op", "note").add("text", "no palette to send the message from");
        return;
    }
    auto& args = s.make<HTMLEventArgsImpl>(text);
    palette->htmlEvent().fire(args);
    args.markFinished();
}

void HostSession::close(const std::string& paletteId)
{
    SessionState& s = *state_;
    s.trace("action", "close").add("id", paletteId);
    PaletteImpl* palette = s.app().ui().palettes().list().find(paletteId);
    if (palette == nullptr) {
        s.trace("op", "note").add("text", "no palette " + paletteId + " to close");
        return;
    }
    palette->closeByUser();
}

void HostSession::setOnline(bool online)
{
    SessionState& s = *state_;
    s.trace("action", online ? "online" : "offline");
    s.setOffline(!online);
    auto& args = s.make<ApplicationEventArgsImpl>(!online);
    s.app().onlineEvent().fire(args);
    args.markFinished();
}

void HostSession::unload()
{
    SessionState& s = *state_;
    if (s.library() == nullptr) {
        throw UsageError("'unload' needs a loaded add-in");
    }
    s.trace("action", "unload");
    if (!s.unloadLibrary()) {
        s.violation("notUnloaded", "the system kept the add-in library mapped");
    }
    auto& entry = s.trace("op", "references").add("outstanding", static_cast<std::int64_t>(s.outstandingReferences()));
    if (const auto held = s.heldObjects(); !held.empty()) {
        entry.add("held", held);
    }
}

void HostSession::compact() { state_->compact(); }

std::size_t HostSession::hostObjectCount() const { return state_->objectCount(); }

const std::vector<TraceEntry>& HostSession::trace() const { return state_->traceEntries(); }

int HostSession::outstandingReferences() const { return state_->outstandingReferences(); }

std::vector<std::string> HostSession::heldObjects() const { return state_->heldObjects(); }

std::vector<std::string> HostSession::violations() const { return state_->violations(); }

const std::vector<std::string>& HostSession::journal() const { return state_->journalLines(); }

std::vector<std::string> HostSession::faultsNeverFired() const { return state_->faultsNeverFired(); }

bool HostSession::paletteExists(const std::string& id) const
{
    return state_->app().ui().palettes().list().find(id) != nullptr;
}

bool HostSession::paletteVisible(const std::string& id) const
{
    const PaletteImpl* palette = state_->app().ui().palettes().list().find(id);
    return palette != nullptr && palette->visible();
}

bool HostSession::definitionExists(const std::string& id) const
{
    return state_->app().ui().definitions().list().find(id) != nullptr;
}

std::vector<std::string> HostSession::toolbarControlIds() const
{
    std::vector<std::string> ids;
    for (const CommandControlImpl* control :
         state_->app().ui().toolbars().quickAccessRight().controls().list().items()) {
        ids.push_back(control->id());
    }
    return ids;
}

HostView HostSession::view() const
{
    SessionState& s = *state_;
    HostView view;
    for (const CommandControlImpl* control : s.app().ui().toolbars().quickAccessRight().controls().list().items()) {
        ToolbarControlView item;
        item.id = control->id();
        item.ownedByHost = control->definitionId().empty();
        if (const CommandDefinitionImpl* definition = s.app().ui().definitions().list().find(control->definitionId())) {
            item.name = definition->look().name;
            item.tooltip = definition->look().tooltip;
            item.resourceFolder = definition->look().resourceFolder;
        }
        view.toolbar.push_back(std::move(item));
    }
    for (const PaletteImpl* palette : s.app().ui().palettes().list().items()) {
        const PaletteLook& look = palette->look();
        view.palettes.push_back(
            {palette->id(), look.name, look.url, palette->visible(), palette->docking(), look.width, look.height});
    }
    return view;
}

std::string HostSession::libraryFolder() const { return state_->libraryFolder(); }

void HostSession::note(const std::string& text) { state_->trace("op", "note").add("text", text); }

int HostSession::handlerCount(const std::string& eventName) const
{
    SessionState& s = *state_;
    if (eventName == "onlineStatusChanged") {
        return s.app().onlineEvent().handlerCount();
    }
    const std::string palettePrefix = "incomingFromHTML:";
    if (eventName.rfind(palettePrefix, 0) == 0) {
        PaletteImpl* palette = s.app().ui().palettes().list().find(eventName.substr(palettePrefix.size()));
        return palette != nullptr ? palette->htmlEvent().handlerCount() : 0;
    }
    const std::string createdPrefix = "commandCreated:";
    if (eventName.rfind(createdPrefix, 0) == 0) {
        CommandDefinitionImpl* definition =
            s.app().ui().definitions().list().find(eventName.substr(createdPrefix.size()));
        return definition != nullptr ? definition->createdEvent().handlerCount() : 0;
    }
    return 0;
}

} // namespace simhost
