#include <simhost/Session.h>

#include "AddinLibrary.h"
#include "Model.h"
#include "SessionState.h"

#if !defined(_WIN32)
#include "../shellstub/ShellStub.h"
#endif

#include <algorithm>
#include <map>
#include <numeric>

namespace simhost {

namespace {

#if !defined(_WIN32)
// UTF-16 to UTF-8 for the trace; unpaired surrogates become U+FFFD.
std::string toUtf8(const char16_t* text)
{
    std::string out;
    if (text == nullptr) {
        return out;
    }
    for (const char16_t* p = text; *p != 0; ++p) {
        char32_t cp = *p;
        if (cp >= 0xD800 && cp <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (p[1] - 0xDC00);
            ++p;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

void recordShellOpen(void* context, const char16_t* verb, const char16_t* file, const char16_t* parameters,
                     const char16_t* directory, int show)
{
    auto& entry = static_cast<SessionState*>(context)->trace("op", "shellOpen");
    entry.add("verb", toUtf8(verb)).add("file", toUtf8(file)).add("show", static_cast<std::int64_t>(show));
    if (parameters != nullptr) {
        entry.add("parameters", toUtf8(parameters));
    }
    if (directory != nullptr) {
        entry.add("directory", toUtf8(directory));
    }
}
#endif

template <class Action> bool callEntry(SessionState& state, const char* name, Action action)
{
    if (!state.library_) {
        throw UsageError(std::string("'") + name + "' needs a loaded add-in");
    }
    state.trace("action", name);
    bool result = false;
    try {
        result = action();
    } catch (...) {
        state.trace("op", "exception").add("where", name);
    }
    state.trace("call", name).add("result", result);
    return result;
}

} // namespace

Session::Session(Options options) : state_(std::make_unique<SessionState>(std::move(options)))
{
#if !defined(_WIN32)
    shellstub_set_recorder(&recordShellOpen, state_.get());
#endif
}

Session::~Session()
{
#if !defined(_WIN32)
    shellstub_set_recorder(nullptr, nullptr);
#endif
}

void Session::setFaults(const std::vector<std::string>& faults) { state_->setFaults(faults); }

void Session::load(const std::filesystem::path& library)
{
    if (state_->library_ || state_->unloaded_) {
        throw UsageError("the add-in is already loaded");
    }
    state_->library_ = std::make_unique<AddinLibrary>(library);
    state_->libraryFolder_ = std::filesystem::absolute(library).parent_path();
}

bool Session::loaded() const { return state_->library_ != nullptr; }

bool Session::run()
{
    return callEntry(*state_, "run", [&] { return state_->library_->run()(""); });
}

bool Session::stop()
{
    return callEntry(*state_, "stop", [&] { return state_->library_->stop()(""); });
}

void Session::click(const std::string& commandId)
{
    SessionState& s = *state_;
    s.trace("action", "click").add("id", commandId);
    CommandDefinitionImpl* definition = s.app().ui().definitions().find(commandId);
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

void Session::message(const std::string& text)
{
    SessionState& s = *state_;
    s.trace("action", "message").add("text", text);
    PaletteImpl* palette = s.app().ui().palettes().find("teachPalete");
    if (palette == nullptr) {
        s.trace("op", "note").add("text", "no palette teachPalete to send the message from");
        return;
    }
    auto& args = s.make<HTMLEventArgsImpl>(text);
    palette->htmlEvent().fire(args);
    args.markFinished();
}

void Session::close(const std::string& paletteId)
{
    SessionState& s = *state_;
    s.trace("action", "close").add("id", paletteId);
    PaletteImpl* palette = s.app().ui().palettes().find(paletteId);
    if (palette == nullptr) {
        s.trace("op", "note").add("text", "no palette " + paletteId + " to close");
        return;
    }
    palette->closeByUser();
}

void Session::setOnline(bool online)
{
    SessionState& s = *state_;
    s.trace("action", online ? "online" : "offline");
    s.setOffline(!online);
    auto& args = s.make<ApplicationEventArgsImpl>(!online);
    s.app().onlineEvent().fire(args);
    args.markFinished();
}

void Session::unload()
{
    SessionState& s = *state_;
    if (!s.library_) {
        throw UsageError("'unload' needs a loaded add-in");
    }
    s.trace("action", "unload");
    if (!s.library_->unload()) {
        s.violation("notUnloaded", "the system kept the add-in library mapped");
    }
    s.library_.reset();
    s.unloaded_ = true;
    auto& entry = s.trace("op", "references").add("outstanding", static_cast<std::int64_t>(outstandingReferences()));
    if (const auto held = heldObjects(); !held.empty()) {
        entry.add("held", held);
    }
}

void Session::compact()
{
    SessionState& s = *state_;
    auto& objects = s.objects_;
    // An object and its parts go together, and only when nobody holds any of them.
    std::map<const Tracked*, bool> collectable;
    for (const auto& object : objects) {
        if (object->owner() == nullptr && (object->deleted() || object->finished())) {
            collectable[object.get()] = object->references() == 0;
        }
    }
    for (const auto& object : objects) {
        if (const auto it = collectable.find(object->owner()); it != collectable.end() && object->references() > 0) {
            it->second = false;
        }
    }
    const auto goes = [&](const std::unique_ptr<Tracked>& object) {
        const Tracked* root = object->owner() != nullptr ? object->owner() : object.get();
        const auto it = collectable.find(root);
        return it != collectable.end() && it->second;
    };
    // Parts first: their destructors may still look at their owner.
    objects.erase(std::remove_if(objects.begin(), objects.end(),
                                 [&](const auto& object) { return object->owner() != nullptr && goes(object); }),
                  objects.end());
    objects.erase(std::remove_if(objects.begin(), objects.end(), goes), objects.end());
    s.trace_.clear();
    s.journal_.clear();
}

std::size_t Session::hostObjectCount() const { return state_->objects_.size(); }

const std::vector<TraceEntry>& Session::trace() const { return state_->trace_; }

int Session::outstandingReferences() const
{
    return std::accumulate(state_->objects_.begin(), state_->objects_.end(), 0,
                           [](int sum, const auto& object) { return sum + object->references(); });
}

std::vector<std::string> Session::heldObjects() const
{
    std::vector<std::string> held;
    for (const auto& object : state_->objects_) {
        if (object->references() > 0) {
            held.push_back(object->label() + " x" + std::to_string(object->references()));
        }
    }
    return held;
}

std::vector<std::string> Session::violations() const { return state_->violations_; }

const std::vector<std::string>& Session::journal() const { return state_->journal_; }

bool Session::paletteExists(const std::string& id) const { return state_->app().ui().palettes().find(id) != nullptr; }

bool Session::paletteVisible(const std::string& id) const
{
    const PaletteImpl* palette = state_->app().ui().palettes().find(id);
    return palette != nullptr && palette->visible();
}

bool Session::definitionExists(const std::string& id) const
{
    return state_->app().ui().definitions().find(id) != nullptr;
}

std::vector<std::string> Session::toolbarControlIds() const
{
    return state_->app().ui().toolbars().quickAccessRight().controls().ids();
}

HostView Session::view() const
{
    SessionState& s = *state_;
    HostView view;
    for (const CommandControlImpl* control : s.app().ui().toolbars().quickAccessRight().controls().controls()) {
        ToolbarControlView item;
        item.id = control->id();
        item.ownedByHost = control->definitionId().empty();
        if (const CommandDefinitionImpl* definition = s.app().ui().definitions().find(control->definitionId())) {
            item.name = definition->look().name;
            item.tooltip = definition->look().tooltip;
            item.resourceFolder = definition->look().resourceFolder;
        }
        view.toolbar.push_back(std::move(item));
    }
    for (const PaletteImpl* palette : s.app().ui().palettes().all()) {
        const PaletteLook& look = palette->look();
        view.palettes.push_back(
            {palette->id(), look.name, look.url, palette->visible(), palette->docking(), look.width, look.height});
    }
    return view;
}

std::filesystem::path Session::libraryFolder() const { return state_->libraryFolder_; }

void Session::note(const std::string& text) { state_->trace("op", "note").add("text", text); }

int Session::handlerCount(const std::string& eventName) const
{
    SessionState& s = *state_;
    if (eventName == "onlineStatusChanged") {
        return s.app().onlineEvent().handlerCount();
    }
    if (eventName == "incomingFromHTML:teachPalete") {
        const PaletteImpl* palette = s.app().ui().palettes().find("teachPalete");
        return palette != nullptr ? const_cast<PaletteImpl*>(palette)->htmlEvent().handlerCount() : 0;
    }
    const std::string prefix = "commandCreated:";
    if (eventName.rfind(prefix, 0) == 0) {
        CommandDefinitionImpl* definition = s.app().ui().definitions().find(eventName.substr(prefix.size()));
        return definition != nullptr ? definition->createdEvent().handlerCount() : 0;
    }
    return 0;
}

} // namespace simhost
