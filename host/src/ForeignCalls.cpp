#include "ForeignCalls.h"

#include <utility>

#if defined(_WIN32)
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace simhost {

namespace {

std::uint64_t currentThread()
{
#if defined(_WIN32)
    return GetCurrentThreadId();
#else
    return static_cast<std::uint64_t>(pthread_self());
#endif
}

} // namespace

ForeignCalls::ForeignCalls() : hostThread_(currentThread()) {}

bool ForeignCalls::onHostThread() const { return currentThread() == hostThread_; }

void ForeignCalls::note(std::string call)
{
    const Hold hold(busy_);
    notes_.calls.push_back(std::move(call));
}

void ForeignCalls::noteDestroyed(const adsk::core::EventHandler* handler)
{
    const Hold hold(busy_);
    notes_.destroyed.push_back(handler);
}

ForeignCalls::Notes ForeignCalls::take()
{
    const Hold hold(busy_);
    return std::exchange(notes_, {});
}

} // namespace simhost
