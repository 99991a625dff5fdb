// The C entry (simhost/simhost.h): one table of functions over the session's actions. Every call
// contains what the host throws, as a status and the session's last error, so that nothing
// crosses to a driver of another toolchain.
#include <simhost/simhost.h>

#include "EntryRecords.h"
#include "FaultPlan.h"
#include "Host.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct simhost_session {
    std::unique_ptr<simhost::Host> host; // none when the options were refused
    // The session's own record, kept by every call, queries included.
    mutable std::string error;         // the last call's that failed
    mutable std::string libraryFolder; // held for simhost_state
};

namespace {

// A text a driver gave; a usage error when it points nowhere but claims bytes.
std::string toString(simhost_text text)
{
    if (text.data == nullptr && text.size != 0) {
        throw simhost::UsageError("a text without data");
    }
    return text.data == nullptr ? std::string() : std::string(text.data, text.size);
}
simhost_text toText(std::string_view text) { return {text.data(), text.size()}; }

std::vector<std::string> toStrings(const simhost_text* texts, std::size_t count)
{
    if (texts == nullptr && count != 0) {
        throw simhost::UsageError("a list without items");
    }
    std::vector<std::string> strings;
    strings.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        strings.push_back(toString(texts[i]));
    }
    return strings;
}

// Runs action, turning what it throws into a status and the session's last error.
template <class Action> simhost_status contained(const simhost_session* session, Action action) noexcept
{
    std::string& error = session->error;
    try {
        action();
        return SIMHOST_OK;
    } catch (const simhost::UsageError& failure) {
        error = failure.what();
        return SIMHOST_USAGE_ERROR;
    } catch (const simhost::LoadError& failure) {
        error = failure.what();
        return SIMHOST_LOAD_ERROR;
    } catch (const std::exception& failure) {
        error = failure.what();
        return SIMHOST_FAILED;
    } catch (...) {
        error = "unknown failure in the simulated host";
        return SIMHOST_FAILED;
    }
}

// What a driver must give: a usage error for each that is missing.
template <class... Given> void require(const Given&... given)
{
    if (((given == nullptr) || ...)) {
        throw simhost::UsageError("a required argument is null");
    }
}

// The session's host, for an action; a usage error when the session never had one.
simhost::Host& hostOf(const simhost_session* session)
{
    if (session->host == nullptr) {
        throw simhost::UsageError("this session was refused: " + session->error);
    }
    return *session->host;
}

// An action (or, on a const session, a query) of the session's host.
template <class Session, class Action> simhost_status act(Session* session, Action action) noexcept
{
    if (session == nullptr) {
        return SIMHOST_USAGE_ERROR;
    }
    return contained(session, [&] { action(hostOf(session)); });
}

void toSink(const std::vector<std::string>& items, simhost_text_sink sink, void* context)
{
    for (const std::string& item : items) {
        sink(context, toText(item));
    }
}

// The entries or lines from first on; a first past the end is a usage error.
template <class Item> auto from(const std::vector<Item>& items, std::size_t first)
{
    if (first > items.size()) {
        throw simhost::UsageError("no entry " + std::to_string(first) + ": there are " + std::to_string(items.size()));
    }
    return items.begin() + static_cast<std::ptrdiff_t>(first);
}

// The part of simhost_options every version has.
constexpr std::size_t optionsSize = offsetof(simhost_options, fault_count) + sizeof(std::size_t);

simhost_status create(const simhost_options* options, simhost_session** session) noexcept
{
    if (session == nullptr) {
        return SIMHOST_USAGE_ERROR;
    }
    try {
        *session = new simhost_session; // NOLINT(cppcoreguidelines-owning-memory): the C handle
    } catch (...) {
        *session = nullptr;
        return SIMHOST_FAILED;
    }
    return contained(*session, [&] {
        if (options == nullptr || options->size < optionsSize) {
            throw simhost::UsageError("no options, or options of an unknown size");
        }
        simhost::Options host;
        host.language = options->language;
        if (options->has_entitlement != 0) {
            host.entitlement = toString(options->entitlement);
        }
        host.offline = options->offline != 0;
        host.faults = toStrings(options->faults, options->fault_count);
        // A field past the size the driver gave is not the driver's: an earlier version's options.
        host.fromDialog =
            options->size >= offsetof(simhost_options, from_dialog) + sizeof(int) && options->from_dialog != 0;
        host.anyOrder = options->size >= offsetof(simhost_options, any_order) + sizeof(int) && options->any_order != 0;
        (*session)->host = std::make_unique<simhost::Host>(std::move(host));
    });
}

constexpr simhost_api table{
    sizeof(simhost_api),
    SIMHOST_API_VERSION,
    [](simhost_text_sink sink, void* context) noexcept {
        if (sink == nullptr) {
            return SIMHOST_USAGE_ERROR;
        }
        try {
            toSink(simhost::FaultPlan::listed(), sink, context);
            return SIMHOST_OK;
        } catch (...) {
            return SIMHOST_FAILED;
        }
    },
    &create,
    // The add-in is unloaded inside the guard, before the session goes.
    [](simhost_session* session) noexcept {
        if (session == nullptr) {
            return SIMHOST_USAGE_ERROR;
        }
        const simhost_status status = contained(session, [&] {
            if (session->host != nullptr && session->host->loaded()) {
                session->host->unload();
            }
        });
        delete session; // NOLINT(cppcoreguidelines-owning-memory): the C handle's end
        return status;
    },
    [](const simhost_session* session, simhost_text* message) noexcept {
        if (session == nullptr || message == nullptr) {
            return SIMHOST_USAGE_ERROR;
        }
        *message = toText(session->error);
        return SIMHOST_OK;
    },
    [](simhost_session* session, const simhost_text* faults, size_t count) noexcept {
        return act(session, [&](simhost::Host& host) { host.setFaults(toStrings(faults, count)); });
    },
    [](simhost_session* session, simhost_text library) noexcept {
        return act(session, [&](simhost::Host& host) { host.load(toString(library)); });
    },
    [](simhost_session* session, int* result) noexcept {
        return act(session, [&](simhost::Host& host) {
            require(result);
            *result = host.run() ? 1 : 0;
        });
    },
    [](simhost_session* session, int* result) noexcept {
        return act(session, [&](simhost::Host& host) {
            require(result);
            *result = host.stop() ? 1 : 0;
        });
    },
    [](simhost_session* session, simhost_text id) noexcept {
        return act(session, [&](simhost::Host& host) { host.click(toString(id)); });
    },
    [](simhost_session* session, simhost_text text) noexcept {
        return act(session, [&](simhost::Host& host) { host.message({}, "send", toString(text)); });
    },
    [](simhost_session* session, simhost_text id) noexcept {
        return act(session, [&](simhost::Host& host) { host.close(toString(id)); });
    },
    [](simhost_session* session, int online) noexcept {
        return act(session, [&](simhost::Host& host) { host.setOnline(online != 0); });
    },
    [](simhost_session* session) noexcept { return act(session, [](simhost::Host& host) { host.unload(); }); },
    [](simhost_session* session) noexcept { return act(session, [](simhost::Host& host) { host.compact(); }); },
    [](simhost_session* session, simhost_text text) noexcept {
        return act(session, [&](simhost::Host& host) { host.note(toString(text)); });
    },
    [](const simhost_session* session, simhost_state* state) noexcept {
        return act(session, [&](const simhost::Host& host) {
            if (state == nullptr || state->size < sizeof(simhost_state)) {
                throw simhost::UsageError("no state, or a state of an unknown size");
            }
            std::string& folder = session->libraryFolder; // held for the caller
            folder = host.libraryFolder();
            *state = {sizeof(simhost_state), host.loaded() ? 1 : 0, host.objects().outstandingReferences(),
                      host.objects().count(), toText(folder)};
        });
    },
    [](const simhost_session* session, int which, simhost_text_sink sink, void* context) noexcept {
        return act(session, [&](const simhost::Host& host) {
            require(sink);
            switch (which) {
            case SIMHOST_HELD_OBJECTS:
                return toSink(host.objects().held(), sink, context);
            case SIMHOST_FAULTS_NEVER_FIRED:
                return toSink(host.faultsNeverFired(), sink, context);
            case SIMHOST_VIOLATIONS:
                return toSink(host.record().violations(), sink, context);
            }
            throw simhost::UsageError("no such list");
        });
    },
    [](const simhost_session* session, size_t first, simhost_entry_sink sink, void* context) noexcept {
        return act(session, [&](const simhost::Host& host) {
            require(sink);
            const auto& entries = host.record().entries();
            for (auto entry = from(entries, first); entry != entries.end(); ++entry) {
                simhost::sendEntry(*entry, sink, context);
            }
        });
    },
    [](const simhost_session* session, size_t first, simhost_text_sink sink, void* context) noexcept {
        return act(session, [&](const simhost::Host& host) {
            require(sink);
            const auto& lines = host.record().journalLines();
            for (auto line = from(lines, first); line != lines.end(); ++line) {
                sink(context, toText(*line));
            }
        });
    },
    [](const simhost_session* session, simhost_item_sink sink, void* context) noexcept {
        return act(session, [&](const simhost::Host& host) {
            require(sink);
            simhost::sendView(host.view(), sink, context);
        });
    },
    [](simhost_session* session, simhost_text paletteId, simhost_text action, simhost_text text) noexcept {
        return act(session,
                   [&](simhost::Host& host) { host.message(toString(paletteId), toString(action), toString(text)); });
    },
    [](simhost_session* session) noexcept { return act(session, [](simhost::Host& host) { host.switchWorkspace(); }); },
};

} // namespace

// A driver asking for a later version than this host's gets none: a shorter table would be read
// past its end.
extern "C" const simhost_api* simhost_entry(uint32_t version)
{
    return version >= 1 && version <= SIMHOST_API_VERSION ? &table : nullptr;
}
