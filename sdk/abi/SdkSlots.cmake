# What the stand-in's headers and the host-build's import list get from the slot table (included by
# GenerateSlots.cmake, after SlotTable.cmake).

# The stand-in's declaration of a slot the simulated host does not model and the add-in cannot
# name: unusedSLOT, answering none of the kind the host's function answers (a double comes back in
# another register than the rest).
function(unnamed_declaration slot declaration name out)
    set(result "void*")
    if(declaration MATCHES "^double ${name}\\(")
        set(result "double")
    endif()
    set(${out} "virtual ${result} unused${slot}() const" PARENT_SCOPE)
endfunction()

# The virtual functions of one class, in the order that gives each its slot under the Microsoft
# ABI: overloads grouped at the first one's place, in reverse declaration order; an access label
# where the access changes, and private again at the end.
function(class_slots class out)
    set(text "")
    set(group "")
    set(group_name "")
    set(group_access private)
    set(last_access private)
    foreach(slot RANGE ${${class}_first} ${${class}_last})
        entry_parts("${${class}_${slot}}")
        if(kind STREQUAL "placeholder")
            set(line "    virtual void ${name}()")
        elseif(flags MATCHES "host")
            unnamed_declaration(${slot} "${declaration}" ${name} line)
            set(line "    ${line}")
            set(name "unused${slot}")
        elseif(name MATCHES "^~")
            set(line "    virtual ${declaration}")
            if(NOT flags MATCHES "defined")
                string(APPEND line " = default")
            endif()
        else()
            set(line "    virtual ${declaration}")
            if(modelled OR flags MATCHES "notification")
                string(APPEND line " = 0")
            endif()
        endif()
        set(line "${line}; // ${slot}\n")
        if(NOT name STREQUAL group_name)
            if(NOT group STREQUAL "" AND NOT group_access STREQUAL last_access)
                string(APPEND text "${group_access}:\n")
                set(last_access ${group_access})
            endif()
            string(APPEND text "${group}")
            set(group "")
        endif()
        set(group "${line}${group}") # reversed within an overload group
        set(group_name "${name}")
        set(group_access ${access})
    endforeach()
    if(NOT group_access STREQUAL last_access)
        string(APPEND text "${group_access}:\n")
        set(last_access ${group_access})
    endif()
    string(APPEND text "${group}")
    if(NOT last_access STREQUAL "private")
        string(APPEND text "private:\n")
    endif()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The names, decorated as the Microsoft ABI does, under which the host's interface library exports
# each host object class's type name: classType and the inline interfaceId over it.
function(class_exports out)
    set(text "")
    foreach(class IN LISTS classes)
        is_host_object(${class} object)
        if(object)
            string(APPEND text "    ?classType@${class}@core@adsk@@SAPEBDXZ\n"
                               "    ?interfaceId@${class}@core@adsk@@SAPEBDXZ\n")
        endif()
    endforeach()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()
