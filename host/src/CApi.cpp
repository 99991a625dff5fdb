// The C control API (simhost/simhost.h) over HostSession: every call contains what the host
// throws, as a status and a message, so that no C++ exception crosses to a driver of another
// toolchain.
#include <simhost/simhost.h>

#include "HostSession.h"

#include <string>
#include <string_view>
#include <variant>

struct simhost_session {
    explicit simhost_session(simhost::Options options) : host(std::move(options)) {}
    simhost::HostSession host;
    std::string libraryFolder;
};

namespace {

using simhost::HostSession;

std::string& lastError()
{
    static std::string message;
    return message;
}

std::string toString(simhost_text text) { return {text.data, text.size}; }

simhost_text toText(std::string_view text) { return {text.data(), text.size()}; }

std::vector<std::string> toStrings(const simhost_text* texts, std::size_t count)
{
    std::vector<std::string> strings;
    strings.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        strings.push_back(toString(texts[i]));
    }
    return strings;
}

void toSink(const std::vector<std::string>& items, simhost_text_sink sink, void* context)
{
    for (const std::string& item : items) {
        sink(context, toText(item));
    }
}

// Runs action, turning what it throws into a status and the message of simhost_last_error.
template <class Action> simhost_status contained(Action action)
{
    try {
        action();
        return SIMHOST_OK;
    } catch (const simhost::UsageError& error) {
        lastError() = error.what();
        return SIMHOST_USAGE_ERROR;
    } catch (const simhost::LoadError& error) {
        lastError() = error.what();
        return SIMHOST_LOAD_ERROR;
    } catch (const std::exception& error) {
        lastError() = error.what();
        return SIMHOST_FAILED;
    } catch (...) {
        lastError() = "unknown failure in the simulated host";
        return SIMHOST_FAILED;
    }
}

const simhost::TraceValue& traceValue(const simhost_session* session, std::size_t entry, std::size_t field)
{
    return session->host.trace().at(entry).fields.at(field).second;
}

} // namespace

extern "C" {

simhost_text simhost_last_error(void) { return toText(lastError()); }

void simhost_fault_points(simhost_text_sink sink, void* context) { toSink(HostSession::faultPoints(), sink, context); }

simhost_status simhost_session_create(const simhost_options* options, simhost_session** session)
{
    *session = nullptr;
    return contained([&] {
        simhost::Options host;
        host.language = options->language;
        if (options->has_entitlement != 0) {
            host.entitlement = toString(options->entitlement);
        }
        host.offline = options->offline != 0;
        host.faults = toStrings(options->faults, options->fault_count);
        *session = new simhost_session(std::move(host)); // NOLINT(cppcoreguidelines-owning-memory): C handle
    });
}

void simhost_session_destroy(simhost_session* session)
{
    delete session; // NOLINT(cppcoreguidelines-owning-memory): the C handle's end
}

simhost_status simhost_set_faults(simhost_session* session, const simhost_text* faults, size_t count)
{
    return contained([&] { session->host.setFaults(toStrings(faults, count)); });
}

simhost_status simhost_load(simhost_session* session, simhost_text library)
{
    return contained([&] { session->host.load(toString(library)); });
}

simhost_status simhost_run(simhost_session* session, int* result)
{
    return contained([&] { *result = session->host.run() ? 1 : 0; });
}

simhost_status simhost_stop(simhost_session* session, int* result)
{
    return contained([&] { *result = session->host.stop() ? 1 : 0; });
}

simhost_status simhost_click(simhost_session* session, simhost_text command_id)
{
    return contained([&] { session->host.click(toString(command_id)); });
}

simhost_status simhost_message(simhost_session* session, simhost_text text)
{
    return contained([&] { session->host.message(toString(text)); });
}

simhost_status simhost_close(simhost_session* session, simhost_text palette_id)
{
    return contained([&] { session->host.close(toString(palette_id)); });
}

simhost_status simhost_set_online(simhost_session* session, int online)
{
    return contained([&] { session->host.setOnline(online != 0); });
}

simhost_status simhost_unload(simhost_session* session)
{
    return contained([&] { session->host.unload(); });
}

int simhost_loaded(const simhost_session* session) { return session->host.loaded() ? 1 : 0; }

void simhost_compact(simhost_session* session) { session->host.compact(); }

size_t simhost_host_object_count(const simhost_session* session) { return session->host.hostObjectCount(); }

void simhost_note(simhost_session* session, simhost_text text) { session->host.note(toString(text)); }

size_t simhost_trace_size(const simhost_session* session) { return session->host.trace().size(); }

size_t simhost_trace_field_count(const simhost_session* session, size_t entry)
{
    return session->host.trace().at(entry).fields.size();
}

simhost_field simhost_trace_field(const simhost_session* session, size_t entry, size_t field)
{
    const auto& [name, value] = session->host.trace().at(entry).fields.at(field);
    simhost_field result{toText(name), SIMHOST_VALUE_BOOL, 0, {nullptr, 0}, 0};
    if (const auto* flag = std::get_if<bool>(&value)) {
        result.integer = *flag ? 1 : 0;
    } else if (const auto* number = std::get_if<std::int64_t>(&value)) {
        result.kind = SIMHOST_VALUE_INTEGER;
        result.integer = *number;
    } else if (const auto* text = std::get_if<std::string>(&value)) {
        result.kind = SIMHOST_VALUE_TEXT;
        result.text = toText(*text);
    } else if (const auto* list = std::get_if<std::vector<std::string>>(&value)) {
        result.kind = SIMHOST_VALUE_TEXT_LIST;
        result.list_size = list->size();
    }
    return result;
}

simhost_text simhost_trace_list_item(const simhost_session* session, size_t entry, size_t field, size_t item)
{
    return toText(std::get<std::vector<std::string>>(traceValue(session, entry, field)).at(item));
}

int simhost_outstanding_references(const simhost_session* session) { return session->host.outstandingReferences(); }

void simhost_held_objects(const simhost_session* session, simhost_text_sink sink, void* context)
{
    toSink(session->host.heldObjects(), sink, context);
}

void simhost_faults_never_fired(const simhost_session* session, simhost_text_sink sink, void* context)
{
    toSink(session->host.faultsNeverFired(), sink, context);
}

void simhost_violations(const simhost_session* session, simhost_text_sink sink, void* context)
{
    toSink(session->host.violations(), sink, context);
}

size_t simhost_journal_size(const simhost_session* session) { return session->host.journal().size(); }

simhost_text simhost_journal_line(const simhost_session* session, size_t line)
{
    return toText(session->host.journal().at(line));
}

int simhost_palette_exists(const simhost_session* session, simhost_text id)
{
    return session->host.paletteExists(toString(id)) ? 1 : 0;
}

int simhost_palette_visible(const simhost_session* session, simhost_text id)
{
    return session->host.paletteVisible(toString(id)) ? 1 : 0;
}

int simhost_definition_exists(const simhost_session* session, simhost_text id)
{
    return session->host.definitionExists(toString(id)) ? 1 : 0;
}

void simhost_toolbar_control_ids(const simhost_session* session, simhost_text_sink sink, void* context)
{
    toSink(session->host.toolbarControlIds(), sink, context);
}

int simhost_handler_count(const simhost_session* session, simhost_text event_name)
{
    return session->host.handlerCount(toString(event_name));
}

simhost_text simhost_library_folder(const simhost_session* session)
{
    auto* mutableSession = const_cast<simhost_session*>(session); // the text is kept beside the host
    mutableSession->libraryFolder = session->host.libraryFolder();
    return toText(mutableSession->libraryFolder);
}

void simhost_view(const simhost_session* session, void (*control)(void* context, const simhost_control_view* view),
                  void (*palette)(void* context, const simhost_palette_view* view), void* context)
{
    const simhost::HostView view = session->host.view();
    for (const simhost::ToolbarControlView& item : view.toolbar) {
        const simhost_control_view given{toText(item.id), item.ownedByHost ? 1 : 0, toText(item.name),
                                         toText(item.tooltip), toText(item.resourceFolder)};
        control(context, &given);
    }
    for (const simhost::PaletteView& item : view.palettes) {
        const simhost_palette_view given{toText(item.id),   toText(item.name), toText(item.url), item.visible ? 1 : 0,
                                         item.dockingState, item.width,        item.height};
        palette(context, &given);
    }
}

} // extern "C"
