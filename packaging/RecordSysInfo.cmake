# Run at install time: records the desktop's system-information program, if
# the machine has one, as the PATH value that "System Info..." of the About
# box starts. Variables: REGISTRY_FILE (the registry.ini to write) and,
# optionally, SYSINFO_PROGRAMS (names or paths to look for, best first).
if(NOT SYSINFO_PROGRAMS)
    set(SYSINFO_PROGRAMS hardinfo2 hardinfo kinfocenter gnome-system-monitor)
endif()
set(found "")
foreach(candidate IN LISTS SYSINFO_PROGRAMS)
    if(IS_ABSOLUTE "${candidate}")
        if(EXISTS "${candidate}" AND NOT IS_DIRECTORY "${candidate}")
            set(found "${candidate}")
        endif()
    else()
        find_program(program_${candidate} NAMES ${candidate} NO_CACHE)
        if(program_${candidate})
            set(found "${program_${candidate}}")
        endif()
    endif()
    if(found)
        break()
    endif()
endforeach()

if(NOT found)
    message(STATUS "No system-information program found; System Info will say it is unavailable")
    return()
endif()
string(REPLACE "\\" "\\\\" escaped "${found}")
string(REPLACE "\"" "\\\"" escaped "${escaped}")
# Listed with the installed files, so that an uninstall removes it too.
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${REGISTRY_FILE}")
file(WRITE "${REGISTRY_FILE}"
    "; Written when Borvessa was installed: the program that System Info starts.\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n"
    "PATH=\"${escaped}\"\n")
message(STATUS "System Info will start ${found} (${REGISTRY_FILE})")
