/* The simulated host's control API, in C: what drives a session (hostsim, the tests) reaches the
 * host through these functions only, so a driver built with one toolchain can drive a host and
 * add-in built with another (GCC's C++ ABI and the Microsoft one do not meet otherwise). Nothing
 * of a C++ library crosses: texts are UTF-8 with a counted length, lists are handed to a sink
 * one item at a time, errors are status codes with a message.
 *
 * Threading: one thread per session, as the real host calls an add-in from one thread. Only one
 * session exists at a time (the add-in reaches it through Application::get_raw).
 * Ownership: texts the host hands out (simhost_text) stay valid until the next call on the same
 * session; a sink gets texts valid only during its call. simhost/Session.h wraps this in C++. */
#ifndef SIMHOST_SIMHOST_H
#define SIMHOST_SIMHOST_H

/* NOLINTBEGIN(modernize-use-using, modernize-deprecated-headers): C, not C++ */
#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#if defined(XI_CORE_BUILD)
#define SIMHOST_C_API __declspec(dllexport)
#else
#define SIMHOST_C_API __declspec(dllimport)
#endif
#else
#define SIMHOST_C_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct simhost_session simhost_session;

typedef struct simhost_text {
    const char* data;
    size_t size;
} simhost_text;

typedef enum simhost_status {
    SIMHOST_OK = 0,
    SIMHOST_USAGE_ERROR = 1, /* unknown fault point, second session, action in the wrong state */
    SIMHOST_LOAD_ERROR = 2,  /* the add-in cannot be loaded or lacks an entry point */
    SIMHOST_FAILED = 3       /* anything else the host could not do (out of memory, say) */
} simhost_status;

/* The message of the last call that did not return SIMHOST_OK, on any session. */
SIMHOST_C_API simhost_text simhost_last_error(void);

typedef void (*simhost_text_sink)(void* context, simhost_text text);

/* Every fault point, as hostsim --list-faults prints them. */
SIMHOST_C_API void simhost_fault_points(simhost_text_sink sink, void* context);

typedef struct simhost_options {
    int language;               /* host UI language (2 is Czech) */
    int has_entitlement;        /* whether "Debug.EntitlementString" returns a text */
    simhost_text entitlement;   /* that text */
    int offline;                /* host state when the add-in starts */
    const simhost_text* faults; /* fault points that yield none / refuse; "WHAT@N" only the Nth call */
    size_t fault_count;
} simhost_options;

SIMHOST_C_API simhost_status simhost_session_create(const simhost_options* options, simhost_session** session);
SIMHOST_C_API void simhost_session_destroy(simhost_session* session);
/* Replaces the active fault points and restarts the call counts that "WHAT@N" refers to. */
SIMHOST_C_API simhost_status simhost_set_faults(simhost_session* session, const simhost_text* faults, size_t count);

/* The add-in: its path, UTF-8 (a relative one from the working folder: exactly that file). */
SIMHOST_C_API simhost_status simhost_load(simhost_session* session, simhost_text library);
SIMHOST_C_API simhost_status simhost_run(simhost_session* session, int* result);
SIMHOST_C_API simhost_status simhost_stop(simhost_session* session, int* result);
SIMHOST_C_API simhost_status simhost_click(simhost_session* session, simhost_text command_id);
SIMHOST_C_API simhost_status simhost_message(simhost_session* session, simhost_text text);
SIMHOST_C_API simhost_status simhost_close(simhost_session* session, simhost_text palette_id);
SIMHOST_C_API simhost_status simhost_set_online(simhost_session* session, int online);
SIMHOST_C_API simhost_status simhost_unload(simhost_session* session);
SIMHOST_C_API int simhost_loaded(const simhost_session* session);
SIMHOST_C_API void simhost_compact(simhost_session* session);
SIMHOST_C_API size_t simhost_host_object_count(const simhost_session* session);
SIMHOST_C_API void simhost_note(simhost_session* session, simhost_text text);

/* The trace: entries of named fields, in order. */
typedef enum simhost_value_kind {
    SIMHOST_VALUE_BOOL = 0,
    SIMHOST_VALUE_INTEGER = 1,
    SIMHOST_VALUE_TEXT = 2,
    SIMHOST_VALUE_TEXT_LIST = 3
} simhost_value_kind;

typedef struct simhost_field {
    simhost_text name;
    simhost_value_kind kind;
    int64_t integer;   /* BOOL (0 or 1) and INTEGER */
    simhost_text text; /* TEXT */
    size_t list_size;  /* TEXT_LIST: its items through simhost_trace_list_item */
} simhost_field;

SIMHOST_C_API size_t simhost_trace_size(const simhost_session* session);
SIMHOST_C_API size_t simhost_trace_field_count(const simhost_session* session, size_t entry);
SIMHOST_C_API simhost_field simhost_trace_field(const simhost_session* session, size_t entry, size_t field);
SIMHOST_C_API simhost_text simhost_trace_list_item(const simhost_session* session, size_t entry, size_t field,
                                                   size_t item);

/* References and contract checks. */
SIMHOST_C_API int simhost_outstanding_references(const simhost_session* session);
SIMHOST_C_API void simhost_held_objects(const simhost_session* session, simhost_text_sink sink, void* context);
SIMHOST_C_API void simhost_faults_never_fired(const simhost_session* session, simhost_text_sink sink, void* context);
SIMHOST_C_API void simhost_violations(const simhost_session* session, simhost_text_sink sink, void* context);
/* The journal from its line first on (handler construction and destruction, releases). */
SIMHOST_C_API size_t simhost_journal_size(const simhost_session* session);
SIMHOST_C_API simhost_text simhost_journal_line(const simhost_session* session, size_t line);

/* The object model, for tests and pictures. */
SIMHOST_C_API int simhost_palette_exists(const simhost_session* session, simhost_text id);
SIMHOST_C_API int simhost_palette_visible(const simhost_session* session, simhost_text id);
SIMHOST_C_API int simhost_definition_exists(const simhost_session* session, simhost_text id);
SIMHOST_C_API void simhost_toolbar_control_ids(const simhost_session* session, simhost_text_sink sink, void* context);
SIMHOST_C_API int simhost_handler_count(const simhost_session* session, simhost_text event_name);
SIMHOST_C_API simhost_text simhost_library_folder(const simhost_session* session);

typedef struct simhost_control_view {
    simhost_text id;
    int owned_by_host; /* the host's own control (an anchor), not one an add-in placed */
    simhost_text name;
    simhost_text tooltip;
    simhost_text resource_folder;
} simhost_control_view;

typedef struct simhost_palette_view {
    simhost_text id;
    simhost_text name;
    simhost_text url;
    int visible;
    int docking_state;
    int width;
    int height;
} simhost_palette_view;

/* What the host shows now: the "QATRight" controls in order, then the palettes that exist. */
SIMHOST_C_API void simhost_view(const simhost_session* session,
                                void (*control)(void* context, const simhost_control_view* view),
                                void (*palette)(void* context, const simhost_palette_view* view), void* context);

#ifdef __cplusplus
}
#endif
/* NOLINTEND(modernize-use-using, modernize-deprecated-headers) */

#endif
