// The simulated host's own contract checks, driven directly through the host API.
#include <simhost/Session.h>

#include <Core/CoreAll.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace core = adsk::core;

namespace {

class CountingHandler final : public core::ApplicationEventHandler {
public:
    void notify(const core::Ptr<core::ApplicationEventArgs>& /*eventArgs*/) override { ++calls; }
    int calls = 0;
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
    palette->isVisible(true);
    ASSERT_EQ(session.violations().size(), 1U);
    EXPECT_EQ(session.violations()[0], "callThroughDeleted: Palette p.isVisible");
    EXPECT_TRUE(traced(session, "violation"));
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
    session.setOnline(true);
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
    session.setOnline(true);
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

} // namespace
