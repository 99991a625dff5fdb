// Host calls an add-in makes from a thread other than the host's. The host's manual forbids them,
// so none is carried out: each is noted here, from whatever thread makes it, and the host's thread
// takes the notes at its next step and records them as violations. Nothing else of the session
// is touched off the host's thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace adsk::core {
class EventHandler;
}

namespace simhost {

class ForeignCalls {
public:
    // The calling thread becomes the host's.
    ForeignCalls();

    [[nodiscard]] bool onHostThread() const;
    // Any thread: a call not carried out, as "LABEL.FUNCTION".
    void note(std::string call);
    // Any thread: a handler destroyed off the host's thread, let go of by the host's thread.
    void noteDestroyed(const adsk::core::EventHandler* handler);

    struct Notes {
        std::vector<std::string> calls;
        std::vector<const adsk::core::EventHandler*> destroyed;
    };
    // The host's thread: what was noted since it last asked.
    Notes take();

private:
    // A spin lock: the notes are few and short, and the run-time of the host's ABI build has no
    // mutex of the standard library.
    class Hold {
    public:
        explicit Hold(std::atomic_flag& flag) : flag_(flag)
        {
            while (flag_.test_and_set(std::memory_order_acquire)) {
            }
        }
        ~Hold() { flag_.clear(std::memory_order_release); }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        std::atomic_flag& flag_;
    };

    std::uint64_t hostThread_;
    std::atomic_flag busy_; // clear: C++20 starts it so
    Notes notes_;
};

} // namespace simhost
