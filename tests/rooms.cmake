# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 Kelvara developers
#
# cmake -DROOT=<source dir> -P rooms.cmake: fails when a file of ui/ includes
# a header of a room above its own, when a file lies directly in ui/ beside
# the rooms, or when the window shell's header is included outside the
# window room, the program and what needs the whole window (tests, probe);
# and when the core goes the wrong way: sim/ or display/ including ui/ or
# Qt, or a file of sim/ other than the run loop (sim/run.cpp, which calls
# the displays) including display/.
set(rooms lang layout look paint run widgets form controls files teach window)

file(GLOB loose LIST_DIRECTORIES false RELATIVE ${ROOT}/ui ${ROOT}/ui/*)
list(REMOVE_ITEM loose CMakeLists.txt)
set(problems "")
foreach(f IN LISTS loose)
    string(APPEND problems "ui/${f} lies in no room\n")
endforeach()

file(GLOB_RECURSE sources RELATIVE ${ROOT} ${ROOT}/ui/*.h ${ROOT}/ui/*.cpp ${ROOT}/sim/*
     ${ROOT}/display/*)
foreach(f IN LISTS sources)
    file(STRINGS ${ROOT}/${f} includes REGEX "^#include \"ui/")
    string(REGEX MATCH "^ui/([a-z]+)/" own "${f}")
    set(own_room "${CMAKE_MATCH_1}")
    list(FIND rooms "${own_room}" own_level)
    foreach(line IN LISTS includes)
        string(REGEX MATCH "\"ui/([a-z]+)/" room "${line}")
        list(FIND rooms "${CMAKE_MATCH_1}" level)
        if(level LESS 0 OR own_level LESS 0 OR level GREATER own_level)
            string(APPEND problems "${f}: ${line} goes up or out of the rooms\n")
        endif()
    endforeach()
endforeach()

file(GLOB_RECURSE core RELATIVE ${ROOT} ${ROOT}/sim/* ${ROOT}/display/*)
foreach(f IN LISTS core)
    file(STRINGS ${ROOT}/${f} qt REGEX "^#include <Q")
    foreach(line IN LISTS qt)
        string(APPEND problems "${f}: ${line}: the core uses no Qt\n")
    endforeach()
    if(f MATCHES "^sim/" AND NOT f STREQUAL "sim/run.cpp")
        file(STRINGS ${ROOT}/${f} up REGEX "^#include \"display/")
        foreach(line IN LISTS up)
            string(APPEND problems "${f}: ${line}: only the run loop calls the displays\n")
        endforeach()
    endif()
endforeach()

file(GLOB_RECURSE all RELATIVE ${ROOT} ${ROOT}/ui/* ${ROOT}/bench/*.cpp ${ROOT}/packaging/*.cpp)
foreach(f IN LISTS all)
    if(f MATCHES "^ui/window/" OR f STREQUAL "bench/probe.cpp")
        continue()
    endif()
    file(STRINGS ${ROOT}/${f} shell REGEX "^#include \"ui/window/form1.h\"")
    if(shell)
        string(APPEND problems "${f} includes the window shell\n")
    endif()
endforeach()

if(problems)
    message(FATAL_ERROR "${problems}")
endif()
