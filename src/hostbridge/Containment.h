// Exception containment at the add-in's boundary to the host.
//
// An exception that reached the host could end its process and lose the user's unsaved design,
// so every entry point and notification stops exceptions here. A plain std::exception is how
// the host API reports a missing object where the add-in used it without a test; catching it at
// the boundary ends the operation like a tested miss does. What was done before stays done.
#pragma once

namespace trelvik {

// Runs an entry point's steps; an exception ends it with false.
template <class Steps> bool containEntryPoint(Steps&& steps) noexcept
{
    try {
        return steps();
    } catch (...) {
        return false;
    }
}

// Runs a notification; an exception ends it without further effect.
template <class Body> void containNotification(Body&& body) noexcept
{
    try {
        body();
    } catch (...) { // NOLINT(bugprone-empty-catch): nothing to show or log; the add-in has neither
    }
}

} // namespace trelvik
