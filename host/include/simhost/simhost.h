/* The simulated host's control API, in C: what drives a session (hostsim, the tests) reaches the
 * host through one exported entry, simhost_entry, which answers a table of functions led by its
 * size and version. A driver loads the host's library by path and looks that one name up, so a
 * driver built with one toolchain can drive a host and add-in built with another (GCC's C++ ABI
 * and the Microsoft one do not meet otherwise). Nothing of a C++ library crosses: texts are UTF-8
 * with a counted length, lists are handed to a sink one item at a time, and every function
 * answers a status (nothing is thrown across; a request the host cannot serve, an index out of
 * range among them, is a usage error).
 *
 * Threading: one thread per session, as the real host calls an add-in from one thread. Only one
 * session runs at a time (the add-in reaches it through Application::get_raw).
 * Ownership: a sink gets texts valid only during its call; texts in an out-structure stay valid
 * until the next call on the same session. simhost/Session.h wraps this in C++.
 * Callbacks: a sink is called on the calling thread, during the call that was given it, and must
 * return normally: nothing may unwind through the host's frames (Session.h's sinks keep what
 * they throw and rethrow it once the host's call has returned, as CLAP hosts treat plug-in
 * callbacks).
 * Arguments: a null session, sink, result, structure or array (with items to read), a text with
 * bytes but no data, an unknown version, structure size or list answer SIMHOST_USAGE_ERROR. */
#ifndef SIMHOST_SIMHOST_H
#define SIMHOST_SIMHOST_H

/* NOLINTBEGIN(modernize-use-using, modernize-deprecated-headers): C, not C++ */
#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define SIMHOST_C_API __declspec(dllexport)
#else
#define SIMHOST_C_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The version of the table this header describes; a later version only adds to its end. */
#define SIMHOST_API_VERSION 2

typedef struct simhost_session simhost_session;

typedef struct simhost_text {
    const char* data;
    size_t size;
} simhost_text;

typedef enum simhost_status {
    SIMHOST_OK = 0,
    SIMHOST_USAGE_ERROR = 1, /* unknown fault point, second session, action in the wrong state, ... */
    SIMHOST_LOAD_ERROR = 2,  /* the add-in cannot be loaded or lacks an entry point */
    SIMHOST_FAILED = 3       /* anything else the host could not do (out of memory, say) */
} simhost_status;

typedef void (*simhost_text_sink)(void* context, simhost_text text);

typedef struct simhost_options {
    size_t size;                /* sizeof(simhost_options) as the caller knows it */
    int language;               /* host UI language (2 is Czech) */
    int has_entitlement;        /* whether "Debug.EntitlementString" returns a text */
    simhost_text entitlement;   /* that text */
    int offline;                /* host state when the add-in starts */
    const simhost_text* faults; /* fault points that yield none / refuse; "WHAT@N" only the Nth call */
    size_t fault_count;
    int from_dialog; /* the first run is the Scripts and Add-Ins dialog's, not the host's start-up */
    /* Run and stop in orders the host never makes (stop before run, either twice), which are
     * otherwise usage errors: they reach the library loaded now (a stop leaves it loaded, until
     * unload), and the trace marks them "outOfOrder". */
    int any_order;
} simhost_options;

/* How a session stands; the text stays valid until the next call on the session. */
typedef struct simhost_state {
    size_t size;                 /* set by the caller: sizeof(simhost_state) */
    int loaded;                  /* an add-in is loaded */
    int outstanding_references;  /* references the add-in holds now */
    size_t host_objects;         /* objects the host keeps (see compact) */
    simhost_text library_folder; /* the folder of the add-in loaded last (icon folders are relative to it) */
} simhost_state;

typedef enum simhost_list {
    SIMHOST_HELD_OBJECTS = 0,       /* a label for each object the add-in holds a reference to */
    SIMHOST_FAULTS_NEVER_FIRED = 1, /* the faults asked for that have not taken effect */
    SIMHOST_VIOLATIONS = 2          /* the contract violations seen so far */
} simhost_list;

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
    int64_t integer;           /* BOOL (0 or 1) and INTEGER */
    simhost_text text;         /* TEXT */
    const simhost_text* items; /* TEXT_LIST */
    size_t item_count;
} simhost_field;

typedef void (*simhost_entry_sink)(void* context, const simhost_field* fields, size_t count);

/* What the host shows and keeps now, one item at a time: the "QATRight" toolbar's controls in
 * order, the palettes that exist, the command definitions, and the application. */
typedef enum simhost_item_kind {
    SIMHOST_ITEM_CONTROL = 0,
    SIMHOST_ITEM_PALETTE = 1,
    SIMHOST_ITEM_DEFINITION = 2,
    SIMHOST_ITEM_APPLICATION = 3
} simhost_item_kind;

typedef struct simhost_view_item {
    simhost_item_kind kind;
    simhost_text id;              /* CONTROL, PALETTE, DEFINITION */
    int owned_by_host;            /* CONTROL: the host's own (an anchor), not one an add-in placed */
    simhost_text name;            /* CONTROL and DEFINITION: the button's name; PALETTE: its title */
    simhost_text tooltip;         /* CONTROL, DEFINITION */
    simhost_text resource_folder; /* CONTROL, DEFINITION: relative to the add-in's folder */
    simhost_text url;             /* PALETTE */
    int visible;                  /* PALETTE */
    int docking_state;            /* PALETTE */
    int width;                    /* PALETTE */
    int height;                   /* PALETTE */
    int handlers; /* PALETTE: page-message handlers; DEFINITION: command-created; APPLICATION: on-line status */
} simhost_view_item;

typedef void (*simhost_item_sink)(void* context, const simhost_view_item* item);

/* The host's functions. Those that take a session need one from create, not yet destroyed. */
typedef struct simhost_api {
    size_t size;      /* sizeof(simhost_api) of the host's version */
    uint32_t version; /* SIMHOST_API_VERSION of the host */

    /* Every fault point, as hostsim --list-faults prints them. */
    simhost_status (*fault_points)(simhost_text_sink sink, void* context);

    /* A new session in *session, also when the options are refused (a usage error): its last
     * error then says why, and it can only be destroyed. *session is null only when there was no
     * memory for it. */
    simhost_status (*create)(const simhost_options* options, simhost_session** session);
    simhost_status (*destroy)(simhost_session* session);
    /* The message of the session's last call that did not answer SIMHOST_OK. */
    simhost_status (*last_error)(const simhost_session* session, simhost_text* message);

    /* Replaces the active fault points and restarts the call counts that "WHAT@N" refers to. */
    simhost_status (*set_faults)(simhost_session* session, const simhost_text* faults, size_t count);
    /* The add-in: its path, UTF-8 (a relative one from the working folder: exactly that file). */
    simhost_status (*load)(simhost_session* session, simhost_text library);
    /* The entry points, as the host calls them: run once a load (again after stop or unload, the
     * library loaded anew), stop once after run, as the dialog's Stop; the host then unloads the
     * library. Another order is a usage error unless the options allow any order. */
    simhost_status (*run)(simhost_session* session, int* result);
    simhost_status (*stop)(simhost_session* session, int* result);
    /* A click on a toolbar button of that command; a usage error when no toolbar has one. */
    simhost_status (*click)(simhost_session* session, simhost_text command_id);
    simhost_status (*message)(simhost_session* session, simhost_text text);
    /* The user closes a shown palette that has a close button (otherwise a usage error). */
    simhost_status (*close)(simhost_session* session, simhost_text palette_id);
    simhost_status (*set_online)(simhost_session* session, int online);
    /* The host ends the add-in as when it exits: a running add-in stopped, the library unloaded,
     * what it left in the host recorded. Nothing once it is unloaded. */
    simhost_status (*unload)(simhost_session* session);
    /* Frees the objects nothing can reach any more and clears the trace and journal. */
    simhost_status (*compact)(simhost_session* session);
    /* Adds a note of the host's own to the trace ({"op":"note","text":...}). */
    simhost_status (*note)(simhost_session* session, simhost_text text);

    simhost_status (*state)(const simhost_session* session, simhost_state* state);
    /* which: a simhost_list (an int, so that any value a driver passes is one the host can refuse). */
    simhost_status (*list)(const simhost_session* session, int which, simhost_text_sink sink, void* context);
    /* The trace entries, and the journal lines, from the one numbered first on (counting from 0). */
    simhost_status (*trace)(const simhost_session* session, size_t first, simhost_entry_sink sink, void* context);
    simhost_status (*journal)(const simhost_session* session, size_t first, simhost_text_sink sink, void* context);
    simhost_status (*view)(const simhost_session* session, simhost_item_sink sink, void* context);

    /* Version 2. A page message, adsk.fusionSendData(action, text), from the shown palette with
     * that id (an empty id: the newest shown one); message above sends action "send". */
    simhost_status (*send_message)(simhost_session* session, simhost_text palette_id, simhost_text action,
                                   simhost_text text);
    /* The user switches workspace: the host deletes the palettes. */
    simhost_status (*switch_workspace)(simhost_session* session);
} simhost_api;

/* The one exported name: the host's table, or null when the host has no table of that version. */
typedef const simhost_api* (*simhost_entry_function)(uint32_t version);
#define SIMHOST_ENTRY_NAME "simhost_entry"
SIMHOST_C_API const simhost_api* simhost_entry(uint32_t version);

#ifdef __cplusplus
}
#endif
/* NOLINTEND(modernize-use-using, modernize-deprecated-headers) */

#endif
