# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 Kelvara developers
#
# cmake -DLUPDATE=<lupdate> -DPROJECT=<lupdate project> -DGENERATE=<its generator>
#       -DROOT=<source dir> -DWORK=<scratch dir> -P translations.cmake:
# fails when a text of the program has no finished translation in one of
# translations/*.ts. lupdate reads the code afresh into a copy of each file,
# with the same project description (sources, include paths) that
# `make update-translations` uses, so a text added without that counts as
# unfinished, and one gone from the code as left over.
file(GLOB ts_files ${ROOT}/translations/*.ts)
if(NOT ts_files)
    message(FATAL_ERROR "no translations in ${ROOT}/translations")
endif()
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} -DIN_FILE=${PROJECT} -DOUT_FILE=${WORK}/project.json -P
                        ${GENERATE} RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "could not describe the project for lupdate")
endif()
set(problems "")
foreach(ts IN LISTS ts_files)
    get_filename_component(name ${ts} NAME)
    configure_file(${ts} ${WORK}/${name} COPYONLY)
    execute_process(COMMAND ${LUPDATE} -silent -locations none -project ${WORK}/project.json -ts
                            ${WORK}/${name}
                    RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "lupdate failed on ${name}")
    endif()
    file(READ ${WORK}/${name} text)
    string(REGEX MATCHALL "<source>[^<]*</source>[^<]*<translation type=\"(unfinished|vanished|obsolete)\""
           open "${text}")
    foreach(m IN LISTS open)
        string(REGEX REPLACE "<source>([^<]*)</source>.*type=\"([a-z]+)\"" "\\2: \\1" m "${m}")
        string(APPEND problems "${name}: ${m}\n")
    endforeach()
endforeach()
if(problems)
    message(FATAL_ERROR "${problems}Run `make update-translations` and translate these.")
endif()
