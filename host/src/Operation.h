// One operation of the host's objects that the simulated host implements, as the host's API
// names it. sdk/abi/HostVtables.txt is where they come from: the generator writes a constant for
// each into generated/HostOperations.h, so an operation the model names is one of the table.
#pragma once

#include <string>

namespace simhost {

struct Operation {
    const char* className;
    const char* name;
    bool faultPoint; // can be made to answer none or refuse
    bool perCommand; // a fault point of each command: CLASS.NAME:COMMAND_ID

    // "CLASS.NAME", the fault point's name.
    [[nodiscard]] std::string point() const { return std::string(className) + "." + name; }
};

// A class of host objects, by the type name its classType() answers, and the class it derives
// from ("" for Base): what a cast to a class finds in an object of a class derived from it.
struct HostClass {
    const char* type;
    const char* base;
};

} // namespace simhost
