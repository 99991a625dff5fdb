// Following a chain of symbolic links by hand, the same way on every platform: a link whose
// target does not exist yet still names the file that a write should create (a resolver of the
// system refuses it), and the links themselves stay in place.
#pragma once

#include "NativePath.h"

#include <optional>

namespace trelvik::platform {

// What one step of the chain found at a path.
struct LinkStep {
    enum class Kind {
        End,        // no link: a file, a folder, or nothing at all; the chain ends here
        Link,       // a symbolic link to target (relative ones from the link's own folder)
        Unreadable, // a link whose target cannot be read
    };
    Kind kind = Kind::End;
    NativePath target;
};

// As many links as the Linux kernel itself follows before it reports a loop.
inline constexpr int maximumLinks = 40;

// The path the chain of links from path finally names; none when the links loop (or are more
// than maximumLinks) or one cannot be read. readLink(path) gives the LinkStep at path.
template <class ReadLink> std::optional<NativePath> followLinks(NativePath path, ReadLink readLink)
{
    for (int links = 0; links <= maximumLinks; ++links) {
        LinkStep step = readLink(path);
        if (step.kind == LinkStep::Kind::End) {
            return path;
        }
        if (step.kind == LinkStep::Kind::Unreadable || step.target.empty()) {
            return std::nullopt;
        }
        if (!isAbsolutePath(step.target)) {
            step.target.insert(0, folderOf(path)); // relative to the link's own folder
        }
        path = std::move(step.target);
    }
    return std::nullopt;
}

} // namespace trelvik::platform
