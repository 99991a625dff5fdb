/* The simulated host's entry as a C driver meets it: every function, given each null argument, an
 * unknown version, structure size or list, answers SIMHOST_USAGE_ERROR and crashes nothing; the
 * last error stays the session's until another call fails; a field past the options' size is not
 * read. Usage: entry_contract_test ADDIN PROBE_ADDIN */
#include <simhost/simhost.h>

#include <stddef.h>
#include <stdio.h>
#include <string.h>

static int failures = 0;
static int checks = 0;

static void expect(int holds, const char* what)
{
    ++checks;
    if (!holds) {
        ++failures;
        fprintf(stderr, "failed: %s\n", what);
    }
}

static void textSink(void* context, simhost_text text)
{
    (void)context;
    (void)text;
}

static void entrySink(void* context, const simhost_field* fields, size_t count)
{
    (void)context;
    (void)fields;
    (void)count;
}

static void itemSink(void* context, const simhost_view_item* item)
{
    (void)context;
    (void)item;
}

/* The value of the first "startup" field in the trace (the run action's), or -1. */
static void startupSink(void* context, const simhost_field* fields, size_t count)
{
    int* startup = (int*)context;
    for (size_t i = 0; i < count && *startup == -1; ++i) {
        if (fields[i].name.size == 7 && memcmp(fields[i].name.data, "startup", 7) == 0) {
            *startup = (int)fields[i].integer;
        }
    }
}

static simhost_text text(const char* value)
{
    const simhost_text made = {value, value == NULL ? 0 : strlen(value)};
    return made;
}

/* The session's last error names the null argument. */
static int refusedAsNull(const simhost_api* api, const simhost_session* session, simhost_status status)
{
    simhost_text message = {NULL, 0};
    return status == SIMHOST_USAGE_ERROR && api->last_error(session, &message) == SIMHOST_OK && message.size > 0 &&
           strstr(message.data, "null") != NULL;
}

/* Options the host refuses. */
static void refusedOptions(const simhost_api* api, simhost_options options)
{
    simhost_session* refused = NULL;
    expect(api->create(&options, NULL) == SIMHOST_USAGE_ERROR, "create without a place for the session");
    expect(api->create(NULL, &refused) == SIMHOST_USAGE_ERROR && refused != NULL, "create without options");
    expect(api->destroy(refused) == SIMHOST_OK, "a refused session is destroyed");
    options.size = sizeof(size_t);
    expect(api->create(&options, &refused) == SIMHOST_USAGE_ERROR, "options of an unknown size");
    api->destroy(refused);
    options.size = sizeof(simhost_options);
    options.fault_count = 2;
    expect(api->create(&options, &refused) == SIMHOST_USAGE_ERROR, "fault points counted but not given");
    api->destroy(refused);
    options.fault_count = 0;
    options.has_entitlement = 1;
    options.entitlement.size = 4;
    expect(api->create(&options, &refused) == SIMHOST_USAGE_ERROR, "an entitlement with bytes but no data");
    api->destroy(refused);
}

/* Every function that takes a session, without one. (The add-in is loaded below but never run: a
 * start would write its launch record beside the built library.) */
static void withoutASession(const simhost_api* api, const char* addin)
{
    int result = 0;
    simhost_text message = {NULL, 0};
    simhost_state state = {sizeof(simhost_state), 0, 0, 0, {NULL, 0}};
    expect(api->destroy(NULL) == SIMHOST_USAGE_ERROR, "destroy without a session");
    expect(api->last_error(NULL, &message) == SIMHOST_USAGE_ERROR, "last_error without a session");
    expect(api->set_faults(NULL, NULL, 0) == SIMHOST_USAGE_ERROR, "set_faults without a session");
    expect(api->load(NULL, text(addin)) == SIMHOST_USAGE_ERROR, "load without a session");
    expect(api->run(NULL, &result) == SIMHOST_USAGE_ERROR, "run without a session");
    expect(api->stop(NULL, &result) == SIMHOST_USAGE_ERROR, "stop without a session");
    expect(api->click(NULL, text("openEshop")) == SIMHOST_USAGE_ERROR, "click without a session");
    expect(api->message(NULL, text("x")) == SIMHOST_USAGE_ERROR, "message without a session");
    expect(api->close(NULL, text("teachPalete")) == SIMHOST_USAGE_ERROR, "close without a session");
    expect(api->set_online(NULL, 1) == SIMHOST_USAGE_ERROR, "set_online without a session");
    expect(api->unload(NULL) == SIMHOST_USAGE_ERROR, "unload without a session");
    expect(api->compact(NULL) == SIMHOST_USAGE_ERROR, "compact without a session");
    expect(api->note(NULL, text("x")) == SIMHOST_USAGE_ERROR, "note without a session");
    expect(api->state(NULL, &state) == SIMHOST_USAGE_ERROR, "state without a session");
    expect(api->list(NULL, SIMHOST_VIOLATIONS, textSink, NULL) == SIMHOST_USAGE_ERROR, "list without a session");
    expect(api->trace(NULL, 0, entrySink, NULL) == SIMHOST_USAGE_ERROR, "trace without a session");
    expect(api->journal(NULL, 0, textSink, NULL) == SIMHOST_USAGE_ERROR, "journal without a session");
    expect(api->view(NULL, itemSink, NULL) == SIMHOST_USAGE_ERROR, "view without a session");
    expect(api->send_message(NULL, text(""), text("send"), text("x")) == SIMHOST_USAGE_ERROR,
           "send_message without a session");
    expect(api->switch_workspace(NULL) == SIMHOST_USAGE_ERROR, "switch_workspace without a session");
}

/* A session with the add-in loaded, and each other argument null or unknown. */
static void nullAndUnknownArguments(const simhost_api* api, const simhost_options* options, const char* addin)
{
    simhost_text message = {NULL, 0};
    int result = 0;
    simhost_session* session = NULL;
    expect(api->create(options, &session) == SIMHOST_OK && session != NULL, "a session");
    if (session == NULL) {
        return;
    }
    expect(api->load(session, text(addin)) == SIMHOST_OK, "the add-in loads");
    expect(api->last_error(session, NULL) == SIMHOST_USAGE_ERROR, "last_error without a place for it");
    expect(api->set_faults(session, NULL, 1) == SIMHOST_USAGE_ERROR, "set_faults counted but not given");
    expect(refusedAsNull(api, session, api->run(session, NULL)), "run without a place for its result");
    expect(refusedAsNull(api, session, api->stop(session, NULL)), "stop without a place for its result");
    const simhost_text nowhere = {NULL, 3};
    expect(api->click(session, nowhere) == SIMHOST_USAGE_ERROR, "click: an id with bytes but no data");
    expect(api->message(session, nowhere) == SIMHOST_USAGE_ERROR, "message: a text with bytes but no data");
    expect(api->close(session, nowhere) == SIMHOST_USAGE_ERROR, "close: an id with bytes but no data");
    expect(api->note(session, nowhere) == SIMHOST_USAGE_ERROR, "note: a text with bytes but no data");
    expect(api->send_message(session, nowhere, text("send"), text("x")) == SIMHOST_USAGE_ERROR,
           "send_message: a palette id with bytes but no data");
    expect(api->send_message(session, text(""), nowhere, text("x")) == SIMHOST_USAGE_ERROR,
           "send_message: an action with bytes but no data");
    expect(api->state(session, NULL) == SIMHOST_USAGE_ERROR, "state without a structure");
    simhost_state smaller = {sizeof(size_t), 0, 0, 0, {NULL, 0}};
    expect(api->state(session, &smaller) == SIMHOST_USAGE_ERROR, "a state of an unknown size");
    expect(refusedAsNull(api, session, api->list(session, SIMHOST_VIOLATIONS, NULL, NULL)), "list without a sink");
    expect(refusedAsNull(api, session, api->trace(session, 0, NULL, NULL)), "trace without a sink");
    expect(refusedAsNull(api, session, api->journal(session, 0, NULL, NULL)), "journal without a sink");
    expect(refusedAsNull(api, session, api->view(session, NULL, NULL)), "view without a sink");
    expect(api->list(session, 3, textSink, NULL) == SIMHOST_USAGE_ERROR, "an unknown list");
    expect(api->list(session, -1, textSink, NULL) == SIMHOST_USAGE_ERROR, "a negative list");

    /* The last error is the last failed call's, not cleared by one that succeeds. */
    expect(api->note(session, text("fine")) == SIMHOST_OK, "a call that succeeds");
    expect(api->last_error(session, &message) == SIMHOST_OK && message.size > 0 &&
               strstr(message.data, "no such list") != NULL,
           "the last error outlives a call that succeeds");
    expect(api->destroy(session) == SIMHOST_OK, "destroy, the add-in loaded");
}

/* The options of a driver of version 1 end before from_dialog: what lies past them is not its,
 * whatever it holds (here: the dialog's start and any order). The probe writes no record; it is
 * told to leave nothing behind. */
static void versionOneOptions(const simhost_api* api, const simhost_options* options, const char* probe)
{
    simhost_session* session = NULL;
    int result = 0;
    simhost_options early = *options;
    early.size = offsetof(simhost_options, from_dialog);
    early.has_entitlement = 1;
    early.entitlement = text("violation");
    early.from_dialog = 1;
    early.any_order = 1;
    int startup = -1;
    expect(api->create(&early, &session) == SIMHOST_OK && api->load(session, text(probe)) == SIMHOST_OK,
           "a session of version-1 options, the probe loaded");
    expect(api->stop(session, &result) == SIMHOST_USAGE_ERROR, "stop before run: any_order past the options unread");
    expect(api->run(session, &result) == SIMHOST_OK && api->trace(session, 0, startupSink, &startup) == SIMHOST_OK &&
               startup == 1,
           "the first run is the host's start-up: from_dialog past the options unread");
    expect(api->destroy(session) == SIMHOST_OK, "destroy the probe's session");
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        fputs("usage: entry_contract_test ADDIN PROBE_ADDIN\n", stderr);
        return 2;
    }
    const simhost_api* api = simhost_entry(SIMHOST_API_VERSION);
    expect(api != NULL && api->size == sizeof(simhost_api) && api->version == SIMHOST_API_VERSION,
           "this version's table");
    if (api == NULL) {
        return 1;
    }
    expect(simhost_entry(SIMHOST_API_VERSION + 1) == NULL, "a later version than the host's gets no table");
    expect(simhost_entry(0) == NULL, "version 0 gets no table");
    expect(api->fault_points(NULL, NULL) == SIMHOST_USAGE_ERROR, "fault_points without a sink");

    const simhost_options options = {sizeof(simhost_options), 3, 0, {NULL, 0}, 0, NULL, 0, 0, 0};
    refusedOptions(api, options);
    withoutASession(api, argv[1]);
    nullAndUnknownArguments(api, &options, argv[1]);
    versionOneOptions(api, &options, argv[2]);

    printf("%d passed, %d failed\n", checks - failures, failures);
    return failures == 0 ? 0 : 1;
}
