// Ptr<T> semantics, checked with a small counted object of our own.
#include <Core/CoreAll.h>

#include <gtest/gtest.h>

#include <cstring>
#include <typeinfo>

namespace {

using adsk::core::Ptr;

struct Counter {
    int refs = 0;
};

class FakeControl final : public adsk::core::CommandControl {
public:
    explicit FakeControl(Counter& counter) : counter_(counter) {}
    void addref() override { ++counter_.refs; }
    void release() override { --counter_.refs; }
    int refcount() const override { return counter_.refs; }
    const char* objectType() const override { return classType(); }
    bool isValid() const override { return true; }
    bool castable = true;

protected:
    using CommandControl::queryInterface;
    void* queryInterface(const char* id) const override
    {
        if (std::strcmp(id, adsk::core::ToolbarControl::interfaceId()) == 0) {
            return const_cast<adsk::core::ToolbarControl*>(static_cast<const adsk::core::ToolbarControl*>(this));
        }
        if (castable && std::strcmp(id, adsk::core::CommandControl::interfaceId()) == 0) {
            return const_cast<FakeControl*>(this);
        }
        return nullptr;
    }

private:
    bool deleteMe_raw() override { return true; }
    char* id_raw() const override { return nullptr; }
    adsk::core::CommandDefinition* commandDefinition_raw() const override { return nullptr; }
    Counter& counter_;
};

TEST(Ptr, AttachAdoptsCopyAddsDestructorReleases)
{
    Counter counter;
    FakeControl object(counter);
    counter.refs = 1; // the reference a host operation hands out
    {
        Ptr<FakeControl> adopted(&object);
        EXPECT_EQ(counter.refs, 1);
        {
            const Ptr<FakeControl> copy = adopted; // NOLINT(performance-unnecessary-copy-initialization)
            EXPECT_EQ(counter.refs, 2);
        }
        EXPECT_EQ(counter.refs, 1);
        Ptr<FakeControl> moved = std::move(adopted);
        EXPECT_EQ(counter.refs, 1);
        EXPECT_FALSE(adopted); // NOLINT(bugprone-use-after-move)
        moved = nullptr;
        EXPECT_EQ(counter.refs, 0);
    }
    EXPECT_EQ(counter.refs, 0);
    {
        const Ptr<FakeControl> shared(&object, false);
        EXPECT_EQ(counter.refs, 1);
    }
    EXPECT_EQ(counter.refs, 0);
}

// The host's reset: the object already held stays as it is; another is adopted (attach) or given
// a reference of its own, and the old one released.
TEST(Ptr, ResetToTheHeldObjectChangesNothing)
{
    Counter first;
    Counter second;
    FakeControl one(first);
    FakeControl other(second);
    Ptr<FakeControl> held(&one, false);
    held.reset(&one);
    EXPECT_EQ(first.refs, 1);
    held.reset(&one, true);
    EXPECT_EQ(first.refs, 1);
    held.reset(&other);
    EXPECT_EQ(first.refs, 0);
    EXPECT_EQ(second.refs, 1);
    first.refs = 1; // a reference handed over by a host operation
    held.reset(&one, true);
    EXPECT_EQ(second.refs, 0);
    EXPECT_EQ(first.refs, 1);
    held.reset(nullptr);
    EXPECT_FALSE(held);
    EXPECT_EQ(first.refs, 0);
}

TEST(Ptr, DetachHandsTheReferenceOver)
{
    Counter counter;
    FakeControl object(counter);
    Ptr<FakeControl> held(&object, false);
    FakeControl* raw = held.detach();
    EXPECT_EQ(raw, &object);
    EXPECT_EQ(counter.refs, 1);
    EXPECT_FALSE(held);
    raw->release();
}

TEST(Ptr, CallingThroughAnEmptyPtrThrowsAPlainStdException)
{
    const Ptr<adsk::core::Application> empty;
    EXPECT_EQ(empty, nullptr);
    try {
        (void)empty->isOffLine();
        FAIL() << "no exception";
    } catch (const std::exception& error) {
        EXPECT_EQ(typeid(error), typeid(std::exception));
    }
}

TEST(Ptr, CastsThroughQueryInterface)
{
    Counter counter;
    FakeControl object(counter);
    const Ptr<adsk::core::ToolbarControl> control(&object, false);
    {
        const Ptr<adsk::core::CommandControl> commandControl = control->cast<adsk::core::CommandControl>();
        EXPECT_EQ(commandControl.get(), &object);
        EXPECT_EQ(counter.refs, 2);
        const Ptr<adsk::core::CommandControl> converted(control);
        EXPECT_EQ(counter.refs, 3);
    }
    object.castable = false;
    EXPECT_FALSE(control->cast<adsk::core::CommandControl>());
    EXPECT_FALSE(Ptr<adsk::core::CommandControl>(control));
    EXPECT_EQ(counter.refs, 1);
}

} // namespace
