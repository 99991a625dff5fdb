// The Linux stand-in for the shell's "open": links the add-in hands to the shell are recorded
// in the session's trace ({"op":"shellOpen",…}) rather than opened.
#pragma once

namespace simhost {

class Recorder;

// Records into recorder from now on; null stops recording. No-op on Windows, where the real shell
// opens links.
void recordShellOpens(Recorder* recorder);

} // namespace simhost
