// The simulated host's objects (in the host's ABI, in simhost.dll) called at run time through
// the slot numbers of the host's own layout (tests/abi/HostSlots.txt), not through our headers:
// what a DLL built from the host's headers does when it runs in the simulated host. On x64 a
// member function's `this` and arguments go where a free function's do, in both ABIs.
#include "support/TestPaths.h"

#include <simhost/Session.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <map>
#include <sstream>
#include <string>

namespace {

const char* const hostSlotsTable =
#include "HostSlots.inc"
    ;

// "Class function" of the table, to its slot.
std::map<std::string, int> readSlots()
{
    std::map<std::string, int> slots;
    std::istringstream lines(hostSlotsTable);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string className;
        int slot = -1;
        if (line.empty() || line[0] == '#' || !(words >> className >> slot)) {
            continue; // comments and "CLASS slots COUNT"
        }
        std::string function;
        std::getline(words >> std::ws, function);
        slots[className + " " + function] = slot;
    }
    return slots;
}

class HostSlots : public ::testing::Test {
protected:
    void SetUp() override
    {
        simhost::Options options;
        options.language = 2;
        options.entitlement = "lic-1";
        host_ = std::make_unique<simhost::Session>(options);
        const HMODULE library = GetModuleHandleW(L"simhost.dll");
        ASSERT_NE(library, nullptr);
        getRaw_ = reinterpret_cast<GetRaw>(
            reinterpret_cast<void*>(GetProcAddress(library, "?get_raw@Application@core@adsk@@CAPEAV123@XZ")));
        deallocate_ = reinterpret_cast<Deallocate>(
            reinterpret_cast<void*>(GetProcAddress(library, "?DeallocateArrayInternal@core@adsk@@YAXPEAD@Z")));
        ASSERT_NE(getRaw_, nullptr);
        ASSERT_NE(deallocate_, nullptr);
    }

    // Calls the function at the host's slot of "Class function" on object.
    template <class Result, class... Arguments>
    Result call(void* object, const std::string& function, Arguments... arguments)
    {
        const auto found = slots_.find(function);
        if (found == slots_.end()) {
            ADD_FAILURE() << "no slot for " << function << " in the host's table";
            return Result();
        }
        return callSlot<Result>(object, found->second, arguments...);
    }
    template <class Result, class... Arguments> static Result callSlot(void* object, int slot, Arguments... arguments)
    {
        using Function = Result (*)(void*, Arguments...);
        void* const* const vtable = *static_cast<void* const* const*>(object);
        return reinterpret_cast<Function>(vtable[slot])(object, arguments...);
    }

    // An object a host operation handed out: of the expected class, and released at the end.
    void* kept(void* object, const char* classType)
    {
        EXPECT_NE(object, nullptr) << classType;
        if (object != nullptr) {
            EXPECT_STREQ(call<const char*>(object, "Base objectType() const"), classType);
            held_.push_back(object);
        }
        return object;
    }
    std::string text(char* hostText)
    {
        std::string copy = hostText != nullptr ? hostText : "";
        deallocate_(hostText);
        return copy;
    }
    void releaseAll()
    {
        for (void* object : held_) {
            call<void>(object, "ReferenceCounted release()");
        }
        held_.clear();
    }

    using GetRaw = void* (*)();
    using Deallocate = void (*)(char*);
    std::unique_ptr<simhost::Session> host_;
    std::map<std::string, int> slots_ = readSlots();
    std::vector<void*> held_;
    GetRaw getRaw_ = nullptr;
    Deallocate deallocate_ = nullptr;
};

TEST_F(HostSlots, ApplicationPreferencesAndEventsAnswerAtTheHostsSlots)
{
    void* app = kept(getRaw_(), "adsk::core::Application");
    void* preferences = kept(call<void*>(app, "Application preferences_raw() const"), "adsk::core::Preferences");
    void* general =
        kept(call<void*>(preferences, "Preferences generalPreferences_raw() const"), "adsk::core::GeneralPreferences");
    EXPECT_EQ(call<int>(general, "GeneralPreferences userLanguage_raw() const"), 2);
    EXPECT_FALSE(call<bool>(app, "Application isOffLine_raw() const"));
    EXPECT_EQ(
        text(call<char*>(app, "Application executeTextCommand_raw(const char *) const", "Debug.EntitlementString")),
        "lic-1");
    void* online =
        kept(call<void*>(app, "Application onlineStatusChanged_raw() const"), "adsk::core::ApplicationEvent");
    EXPECT_FALSE(call<bool>(online, "ApplicationEvent add_raw(ApplicationEventHandler *)", nullptr));
    EXPECT_NE(call<void*>(app, "Base queryInterface(const char *) const", "adsk::core::Application"), nullptr);
    releaseAll();
    EXPECT_EQ(host_->outstandingReferences(), 0);
    EXPECT_TRUE(host_->violations().empty());
}

TEST_F(HostSlots, ToolbarCommandsAndPalettesAnswerAtTheHostsSlots)
{
    void* app = kept(getRaw_(), "adsk::core::Application");
    void* ui = kept(call<void*>(app, "Application userInterface_raw() const"), "adsk::core::UserInterface");
    void* toolbars = kept(call<void*>(ui, "UserInterface toolbars_raw() const"), "adsk::core::Toolbars");
    void* toolbar =
        kept(call<void*>(toolbars, "Toolbars itemById_raw(const char *) const", "QATRight"), "adsk::core::Toolbar");
    void* controls = kept(call<void*>(toolbar, "Toolbar controls_raw() const"), "adsk::core::ToolbarControls");
    void* definitions =
        kept(call<void*>(ui, "UserInterface commandDefinitions_raw() const"), "adsk::core::CommandDefinitions");
    void* definition =
        kept(call<void*>(definitions,
                         "CommandDefinitions addButtonDefinition_raw(const char *, const char *, const char *, const "
                         "char *)",
                         "slotProbe", "name", "tooltip", "resources/Trelvik"),
             "adsk::core::CommandDefinition");
    EXPECT_EQ(kept(call<void*>(definitions, "CommandDefinitions itemById_raw(const char *) const", "slotProbe"),
                   "adsk::core::CommandDefinition"),
              definition);
    void* created = kept(call<void*>(definition, "CommandDefinition commandCreated_raw() const"),
                         "adsk::core::CommandCreatedEvent");
    EXPECT_FALSE(call<bool>(created, "CommandCreatedEvent add_raw(CommandCreatedEventHandler *)", nullptr));
    kept(call<void*>(controls, "ToolbarControls addCommand_raw(CommandDefinition *, const char *, bool)", definition,
                     "HelpGroupCommand", false),
         "adsk::core::CommandControl");
    void* control = kept(call<void*>(controls, "ToolbarControls itemById_raw(const char *) const", "slotProbe"),
                         "adsk::core::CommandControl");
    EXPECT_NE(call<void*>(control, "Base queryInterface(const char *) const", "adsk::core::CommandControl"), nullptr);
    EXPECT_TRUE(call<bool>(control, "ToolbarControl deleteMe_raw()"));
    EXPECT_TRUE(call<bool>(definition, "CommandDefinition deleteMe_raw()"));

    void* palettes = kept(call<void*>(ui, "UserInterface palettes_raw() const"), "adsk::core::Palettes");
    void* palette = kept(call<void*>(palettes,
                                     "Palettes add_raw(const char *, const char *, const char *, bool, bool, bool, "
                                     "int, int, bool)",
                                     "slotPalette", "title", "https://example.com/", false, true, true, 300, 400, true),
                         "adsk::core::Palette");
    EXPECT_EQ(
        kept(call<void*>(palettes, "Palettes itemById_raw(const char *) const", "slotPalette"), "adsk::core::Palette"),
        palette);
    EXPECT_FALSE(call<bool>(palette, "Palette isVisible_raw() const"));
    EXPECT_TRUE(call<bool>(palette, "Palette isVisible_raw(bool)", true));
    EXPECT_TRUE(call<bool>(palette, "Palette isVisible_raw() const"));
    EXPECT_TRUE(call<bool>(palette, "Palette dockingState_raw(PaletteDockingStates)", 3));
    EXPECT_EQ(call<int>(palette, "Palette dockingState_raw() const"), 3);
    void* messages = kept(call<void*>(palette, "Palette incomingFromHTML_raw() const"), "adsk::core::HTMLEvent");
    EXPECT_FALSE(call<bool>(messages, "HTMLEvent add_raw(HTMLEventHandler *)", nullptr));
    EXPECT_TRUE(call<bool>(palette, "Palette deleteMe_raw()"));
    releaseAll();
    EXPECT_EQ(host_->outstandingReferences(), 0);
    EXPECT_TRUE(host_->violations().empty()) << testing::PrintToString(host_->violations());
}

// A slot the simulated host does not model answers none and is recorded by the host's name for
// it, rather than crashing the host: the first and last of a class, and a placeholder.
TEST_F(HostSlots, SlotTheHostDoesNotModelAnswersNoneAndIsRecorded)
{
    void* app = kept(getRaw_(), "adsk::core::Application");
    EXPECT_EQ(callSlot<void*>(app, 24), nullptr);
    EXPECT_EQ(callSlot<void*>(app, 76), nullptr);
    callSlot<void>(app, 8);
    EXPECT_EQ(host_->violations(),
              (std::vector<std::string>{"notModelled: Application.documents", "notModelled: Application.fontNames",
                                        "notModelled: Base.placeholderBase0"}));
    releaseAll();
}

} // namespace
