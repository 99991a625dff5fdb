// Linux stand-in for the Windows shell's "open" operation.
//
// The add-in calls shellstub_open where the Windows build calls ShellExecuteW. Nothing is
// started: the call goes to the recorder that the simulated host installed, which shows it in
// its trace. This library is apart from the host interface library so that the add-in imports
// from the latter only what an add-in imports from the real host.
#pragma once

#define SHELLSTUB_API __attribute__((visibility("default")))

extern "C" {

using ShellStubRecorder = void (*)(void* context, const char16_t* verb, const char16_t* file,
                                   const char16_t* parameters, const char16_t* directory, int show);

// Installs (or, with null, removes) the recorder. Not thread-safe; set it before the add-in runs.
SHELLSTUB_API void shellstub_set_recorder(ShellStubRecorder recorder, void* context);

// Hands the request to the recorder; returns 42 (success, as ShellExecuteW reports it) when one
// is installed, 2 (file not found) otherwise.
SHELLSTUB_API int shellstub_open(const char16_t* verb, const char16_t* file, const char16_t* parameters,
                                 const char16_t* directory, int show);
}
