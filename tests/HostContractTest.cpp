// The simulated host's own contract checks, driven directly through the host API.
#include <simhost/Session.h>

#include <Core/CoreAll.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <thread>

namespace core = adsk::core;

namespace {

class CountingHandler final : public core::ApplicationEventHandler {
public:
    void notify(const core::Ptr<core::ApplicationEventArgs>& /*eventArgs*/) override { ++calls; }
    int calls = 0;
};

class PageHandler final : public core::HTMLEventHandler {
public:
    void notify(const core::Ptr<core::HTMLEventArgs>& eventArgs) override
    {
        received.push_back(eventArgs->action() + " " + eventArgs->data());
    }
    std::vector<std::string> received;
};

class ThrowingHandler final : public core::ApplicationEventHandler {
public:
    void notify(const core::Ptr<core::ApplicationEventArgs>& /*eventArgs*/) override { throw std::exception(); }
};

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

class KeepingHandler final : public core::CommandCreatedEventHandler {
public:
    void notify(const core::Ptr<core::CommandCreatedEventArgs>& eventArgs) override { command = eventArgs->command(); }
    core::Ptr<core::Command> command;
};

// Objects as the host's manual describes them: each answers its class's type name, which the
// exported classType gives, and casts to every class it derives from; events have their names; the
// three toolbars are there; a command is destroyed when its click is over.
TEST(HostContract, ObjectsAnswerAsTheManualSays)
{
    simhost::Session session({});
    const core::Ptr<core::Application> app = core::Application::get();
    const core::Ptr<core::UserInterface> ui = app->userInterface();
    EXPECT_EQ(app->objectType(), core::Application::classType()); // one text, as in the host
    EXPECT_STREQ(core::Palette::classType(), "adsk::core::Palette");
    const core::Ptr<core::ApplicationEvent> online = app->onlineStatusChanged();
    EXPECT_EQ(online->name(), "OnlineStatusChanged");
    EXPECT_TRUE(online->cast<core::Event>());
    EXPECT_TRUE(online->cast<core::Base>());
    EXPECT_FALSE(online->cast<core::EventArgs>());
    for (const char* id : {"QAT", "QATRight", "NavToolbar"}) {
        const core::Ptr<core::Toolbar> toolbar = ui->toolbars()->itemById(id);
        ASSERT_TRUE(toolbar) << id;
        EXPECT_EQ(toolbar->id(), id);
    }

    const core::Ptr<core::CommandDefinition> definition =
        ui->commandDefinitions()->addButtonDefinition("kept", "Kept", "kept");
    const core::Ptr<core::ToolbarControl> control =
        ui->toolbars()->itemById("NavToolbar")->controls()->addCommand(definition);
    EXPECT_TRUE(control->cast<core::CommandControl>());
    EXPECT_TRUE(control->cast<core::ToolbarControl>());
    KeepingHandler handler;
    ASSERT_TRUE(definition->commandCreated()->add(&handler));
    session.click("kept"); // a button in any of the toolbars
    ASSERT_TRUE(handler.command);
    EXPECT_FALSE(handler.command->isValid());
    EXPECT_FALSE(handler.command->execute());
    EXPECT_EQ(session.violations(), std::vector<std::string>{"callThroughDeleted: Command kept.execute"});
    handler.command.reset();
    EXPECT_TRUE(control->deleteMe());
    EXPECT_THROW(session.click("kept"), simhost::UsageError); // its button is gone
}

// The host's manual forbids calls from another thread: none is carried out (no object made, no
// handler added, no reference counted) and each is recorded, by the host's thread.
TEST(HostContract, CallsFromAnotherThreadAreRecordedNotCarriedOut)
{
    simhost::Session session({});
    const core::Ptr<core::Application> app = core::Application::get();
    const core::Ptr<core::UserInterface> ui = app->userInterface();
    const core::Ptr<core::Palette> palette = ui->palettes()->add("p", "P", "https://x", true, true, true);
    CountingHandler handler;
    const core::Ptr<core::ApplicationEvent> event = app->onlineStatusChanged();
    const int references = session.outstandingReferences();
    // Each call, and whether it answered none.
    const std::vector<std::pair<std::string, std::function<bool()>>> calls{
        {"Application.get", [] { return !core::Application::get(); }},
        {"Application.userInterface", [&] { return !app->userInterface(); }},
        {"UserInterface.palettes", [&] { return !ui->palettes(); }},
        {"Palette p.isVisible", [&] { return !palette->isVisible(false); }},
        {"Palette p.objectType", [&] { return palette->objectType() == nullptr; }},
        {"Event onlineStatusChanged.add", [&] { return !event->add(&handler); }},
        {"Palette p.addref",
         [&] {
             palette->addref();
             return true;
         }},
    };
    std::vector<std::string> answeredNone;
    std::thread worker([&] {
        for (const auto& [call, answersNone] : calls) {
            if (answersNone()) {
                answeredNone.push_back(call);
            }
        }
    });
    worker.join();
    session.note("the host's next step"); // takes the notes
    EXPECT_EQ(answeredNone.size(), calls.size());
    EXPECT_TRUE(palette->isVisible());
    EXPECT_EQ(session.view().onlineStatusHandlers, 0);
    EXPECT_EQ(session.outstandingReferences(), references);
    std::vector<std::string> expected;
    expected.reserve(calls.size());
    for (const auto& [call, answersNone] : calls) {
        expected.push_back("wrongThread: " + call);
    }
    EXPECT_EQ(session.violations(), expected);
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
