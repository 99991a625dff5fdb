// The simulated host's objects as the host's manual describes them, driven directly through the
// host API: type names and casts, event names, toolbars, a command's end, and calls from another
// thread.
#include "support/TestHandlers.h"

#include <simhost/Session.h>

#include <Core/CoreAll.h>

#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace core = adsk::core;
using testing_support::CountingHandler;

namespace {

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

} // namespace
