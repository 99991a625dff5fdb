// The simulated host's own contract checks, driven directly through the host API.
#include "support/TestHandlers.h"

#include <simhost/Session.h>

#include <Core/CoreAll.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace core = adsk::core;
using testing_support::CountingHandler;
using testing_support::PageHandler;
using testing_support::ThrowingHandler;

namespace {

bool traced(const simhost::Session& session, const std::string& op)
{
    return std::ranges::any_of(session.trace(), [&](const simhost::TraceEntry& entry) { return entry.is("op", op); });
}

TEST(HostContract, ReferencesAreCountedPerObjectHandedOut)
{
    simhost::Session session({});
    {
        const core::Ptr<core::Application> app = core::Application::get();
        const core::Ptr<core::UserInterface> ui = app->userInterface();
        const core::Ptr<core::Toolbar> toolbar = ui->toolbars()->itemById("QATRight");
        EXPECT_EQ(toolbar->id(), "QATRight");
        EXPECT_EQ(session.outstandingReferences(), 3);
        EXPECT_FALSE(ui->toolbars()->itemById("NoSuchToolbar"));
    }
    EXPECT_EQ(session.outstandingReferences(), 0);
    EXPECT_TRUE(session.violations().empty());
}

TEST(HostContract, CallThroughADeletedObjectIsRecorded)
{
    simhost::Session session({});
    const core::Ptr<core::Application> app = core::Application::get();
    const core::Ptr<core::Palettes> palettes = app->userInterface()->palettes();
    const core::Ptr<core::Palette> palette = palettes->add("p", "P", "https://x", true, true, true);
    ASSERT_TRUE(palette->deleteMe());
    EXPECT_FALSE(palette->isValid());
    // No other functionality of a deleted object works: each call fails and is recorded.
    EXPECT_FALSE(palette->isVisible(true));
    EXPECT_FALSE(palette->isVisible());
    EXPECT_FALSE(palette->incomingFromHTML());
    EXPECT_EQ(palette->id(), "");
    EXPECT_FALSE(palette->deleteMe());
    ASSERT_EQ(session.violations().size(), 5U);
    EXPECT_EQ(session.violations()[0], "callThroughDeleted: Palette p.isVisible");
    EXPECT_EQ(session.view().palette("p"), nullptr);
    EXPECT_TRUE(traced(session, "violation"));
}

// What the host sends an add-in unasked, as it sends it: the on-line status event on a change
// only, a page message with its action from a shown palette (by id, else the newest shown), none from a
// hidden or deleted one; a command id outside [A-Za-z0-9_] refused.
TEST(HostContract, EventsComeAsTheHostSendsThem)
{
    simhost::Session session({});
    CountingHandler online;
    PageHandler first;
    PageHandler second;
    const core::Ptr<core::UserInterface> ui = core::Application::get()->userInterface();
    ASSERT_TRUE(core::Application::get()->onlineStatusChanged()->add(&online));
    const core::Ptr<core::Palette> older = ui->palettes()->add("a", "A", "https://a", true, true, true);
    const core::Ptr<core::Palette> newer = ui->palettes()->add("b", "B", "https://b", true, true, true);
    ASSERT_TRUE(older->incomingFromHTML()->add(&first));
    ASSERT_TRUE(newer->incomingFromHTML()->add(&second));

    for (const bool state : {true, false, false, true}) {
        session.setOnline(state);
    }
    EXPECT_EQ(online.calls, 2);

    session.message("x");
    session.message("y", "openLink", "a");
    newer->isVisible(false);
    session.message("z");              // the newest shown palette is the older one now
    session.message("u", "send", "b"); // a hidden page cannot send
    ASSERT_TRUE(older->deleteMe());
    session.message("v", "send", "a");
    session.message("w");
    EXPECT_EQ(second.received, std::vector<std::string>{"send x"});
    EXPECT_EQ(first.received, (std::vector<std::string>{"openLink y", "send z"}));

    const core::Ptr<core::CommandDefinitions> definitions = ui->commandDefinitions();
    EXPECT_TRUE(definitions->addButtonDefinition("good_Id9", "G", "g"));
    for (const char* refused : {"bad-id", "", "bad id", "čeština"}) {
        EXPECT_FALSE(definitions->addButtonDefinition(refused, "B", "b")) << refused;
    }
    EXPECT_EQ(
        std::ranges::count_if(session.violations(),
                              [](const std::string& violation) { return violation.starts_with("invalidArgument"); }),
        4);
}

TEST(HostContract, SecondAddOfTheSameHandlerIsRefusedAndDeliveredOnce)
{
    simhost::Session session({});
    CountingHandler handler;
    {
        const core::Ptr<core::ApplicationEvent> event = core::Application::get()->onlineStatusChanged();
        EXPECT_TRUE(event->add(&handler));
        EXPECT_FALSE(event->add(&handler));
    }
    session.setOnline(false); // a change: the host reports no other
    EXPECT_EQ(handler.calls, 1);
}

TEST(HostContract, DestroyedHandlerIsDisconnected)
{
    simhost::Session session({});
    {
        CountingHandler handler;
        EXPECT_TRUE(core::Application::get()->onlineStatusChanged()->add(&handler));
        EXPECT_EQ(session.view().onlineStatusHandlers, 1);
    }
    EXPECT_EQ(session.view().onlineStatusHandlers, 0);
    session.setOnline(true); // would call a destroyed object if it were still connected
}

TEST(HostContract, ExceptionEscapingANotificationIsContainedAndTraced)
{
    simhost::Session session({});
    ThrowingHandler handler;
    EXPECT_TRUE(core::Application::get()->onlineStatusChanged()->add(&handler));
    session.setOnline(false);
    EXPECT_TRUE(traced(session, "exception"));
}

TEST(HostContract, FaultsAreValidatedAndTraced)
{
    EXPECT_THROW(simhost::Session({3, {}, false, {"No.such"}}), simhost::UsageError);
    simhost::Session session({3, {}, false, {"Application.get"}});
    EXPECT_FALSE(core::Application::get());
    EXPECT_TRUE(traced(session, "fault"));
    EXPECT_THROW(simhost::Session({}), simhost::UsageError); // one session at a time
}

// "WHAT@N" refuses exactly the Nth call counted since the faults were set, and a fault counts as
// fired once its call was made, the last call made included.
TEST(HostContract, NthCallFaultsCountFromTheirSettingAndReportWhetherTheyFired)
{
    simhost::Session session({3, {}, false, {"Application.get@2"}});
    const auto gets = [](int calls) {
        std::string answered;
        for (int call = 0; call < calls; ++call) {
            answered += core::Application::get() ? '+' : '-';
        }
        return answered;
    };
    EXPECT_EQ(gets(1), "+");
    EXPECT_EQ(session.faultsNeverFired(), std::vector<std::string>{"Application.get@2"});
    EXPECT_EQ(gets(1), "-"); // the last call made is the one that fired
    EXPECT_TRUE(session.faultsNeverFired().empty());
    session.setFaults({"Application.get@2"});
    EXPECT_EQ(gets(3), "+-+");
    EXPECT_THROW(session.setFaults({"CommandEvent.add:"}), simhost::UsageError); // no command id
    EXPECT_THROW(session.setFaults({"Application.get:x"}), simhost::UsageError); // not per command
    EXPECT_NO_THROW(session.setFaults({"CommandEvent.add:anyCommand_1"}));
}

// compact frees a deleted object only with its parts, and never while the add-in holds a part.
TEST(HostContract, CompactKeepsADeletedObjectWhosePartIsHeld)
{
    simhost::Session session({});
    const core::Ptr<core::Palettes> palettes = core::Application::get()->userInterface()->palettes();
    core::Ptr<core::HTMLEvent> event;
    {
        const core::Ptr<core::Palette> palette = palettes->add("p", "P", "https://x", true, true, true);
        event = palette->incomingFromHTML();
        ASSERT_TRUE(palette->deleteMe());
    }
    const std::size_t before = session.hostObjectCount();
    session.compact();
    EXPECT_EQ(session.hostObjectCount(), before);
    EXPECT_EQ(std::ranges::count(session.heldObjects(), "Event incomingFromHTML:p x1"), 1);
    event.reset();
    session.compact();
    EXPECT_EQ(session.hostObjectCount(), before - 2); // the palette and its event
}

TEST(HostContract, LoadErrorsNameTheFileAndTheSymbol)
{
    simhost::Session session({});
    try {
        session.load("/no/such/addin.so");
        FAIL() << "loaded";
    } catch (const simhost::LoadError& error) {
        EXPECT_NE(std::string(error.what()).find("/no/such/addin.so"), std::string::npos);
    }
}

// The C entry as a driver of another toolchain meets it: every call answers a status, a request
// the host cannot serve (an entry past the end, an unknown list, options of an unknown size) is a
// usage error, and the message of a failure is the session's own.
TEST(HostContract, TheEntryAnswersAStatusAndEachSessionKeepsItsOwnError)
{
    const simhost::HostLibrary library;
    const simhost_api& api = library.api();
    EXPECT_EQ(api.version, static_cast<std::uint32_t>(SIMHOST_API_VERSION));
    const auto lastError = [&](const simhost_session* session) {
        simhost_text message{nullptr, 0};
        EXPECT_EQ(api.last_error(session, &message), SIMHOST_OK);
        return std::string(message.data, message.size);
    };
    const simhost_options options{sizeof(simhost_options), 3, 0, {nullptr, 0}, 0, nullptr, 0, 0, 0};
    simhost_session* session = nullptr;
    ASSERT_EQ(api.create(&options, &session), SIMHOST_OK);
    simhost_session* second = nullptr;
    EXPECT_EQ(api.create(&options, &second), SIMHOST_USAGE_ERROR); // one session at a time
    simhost_session* small = nullptr;
    simhost_options unknown = options;
    unknown.size = sizeof(std::size_t);
    EXPECT_EQ(api.create(&unknown, &small), SIMHOST_USAGE_ERROR);
    EXPECT_NE(lastError(small).find("size"), std::string::npos);
    EXPECT_EQ(api.run(small, nullptr), SIMHOST_USAGE_ERROR); // a refused session does nothing

    const auto ignore = [](void* /*context*/, const simhost_field* /*fields*/, std::size_t /*count*/) {};
    EXPECT_EQ(api.trace(session, 0, ignore, nullptr), SIMHOST_OK);
    EXPECT_EQ(api.trace(session, 1, ignore, nullptr), SIMHOST_USAGE_ERROR);
    const std::string pastTheEnd = lastError(session);
    EXPECT_EQ(api.list(
                  session, 7, [](void*, simhost_text) {}, nullptr),
              SIMHOST_USAGE_ERROR);
    int result = 0;
    EXPECT_EQ(api.stop(session, &result), SIMHOST_USAGE_ERROR); // nothing loaded
    EXPECT_NE(lastError(session), pastTheEnd);
    EXPECT_NE(lastError(second), lastError(session));
    EXPECT_EQ(lastError(second), "a host session is already running");
    for (simhost_session* each : {session, second, small}) {
        EXPECT_EQ(api.destroy(each), SIMHOST_OK);
    }
}

} // namespace
