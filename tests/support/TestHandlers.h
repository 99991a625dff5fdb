// Handlers of the tests' own, given to the simulated host's events directly.
#pragma once

#include <Core/CoreAll.h>

#include <exception>
#include <string>
#include <vector>

namespace testing_support {

class CountingHandler final : public adsk::core::ApplicationEventHandler {
public:
    void notify(const adsk::core::Ptr<adsk::core::ApplicationEventArgs>& /*eventArgs*/) override { ++calls; }
    int calls = 0;
};

class PageHandler final : public adsk::core::HTMLEventHandler {
public:
    void notify(const adsk::core::Ptr<adsk::core::HTMLEventArgs>& eventArgs) override
    {
        received.push_back(eventArgs->action() + " " + eventArgs->data());
    }
    std::vector<std::string> received;
};

class ThrowingHandler final : public adsk::core::ApplicationEventHandler {
public:
    void notify(const adsk::core::Ptr<adsk::core::ApplicationEventArgs>& /*eventArgs*/) override
    {
        throw std::exception();
    }
};

} // namespace testing_support
