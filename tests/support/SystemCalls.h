// The system calls under the Linux file primitives, seen and refused where they are made: the
// test program that links SystemCalls.cpp wraps them (ld --wrap), so a test learns which file or
// folder was synced, and makes a call fail as a full disk or a file system without the feature
// would make it fail.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace testing_support::system_calls {

// The errno that each named call ("fsync", "fallocate", "fstatfs") fails with from now on;
// absent or 0: the real call.
extern std::map<std::string, int> failures;
// The path of every descriptor given to fsync, in order.
extern std::vector<std::string> synced;

// Forgets both.
void reset();

} // namespace testing_support::system_calls
