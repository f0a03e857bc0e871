# Runs cmake/WriteVersionRecord.cmake the ways a build does and checks the
# fixed file version it writes:
#   cmake -DWRITER=... -DWORK=<dir> -DSOURCE_DIR=... [-DGIT_EXECUTABLE=...] -P this
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

function(write_record out)
    execute_process(COMMAND ${CMAKE_COMMAND} -DOUTPUT=${WORK}/${out} -DVERSION=2.5.1
                            -DSOURCE_DIR=${SOURCE_DIR} ${ARGN} -P ${WRITER}
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "the writer failed for ${out}")
    endif()
    file(READ ${WORK}/${out} text)
    set(text "${text}" PARENT_SCOPE)
endfunction()

function(expect_fixed text fixed what)
    string(FIND "${text}" "\"${fixed}\" \"\\0\"" at)
    if(at LESS 0)
        message(FATAL_ERROR "${what}: no fixed version ${fixed} in\n${text}")
    endif()
endfunction()

# 2016-06-05 12:00:00 UTC: 6000 days after 1 January 2000, 21600 two-second steps.
set(ENV{SOURCE_DATE_EPOCH} 1465128000)
write_record(epoch.cpp -DGIT_EXECUTABLE=${GIT_EXECUTABLE})
expect_fixed("${text}" "2.5.6000.21600" "SOURCE_DATE_EPOCH")
string(FIND "${text}" "\"© 1996-2016 Vomb Spielwerkstatt\"" at)
if(at LESS 0)
    message(FATAL_ERROR "the copyright does not end in the build year:\n${text}")
endif()
set(first "${text}")
write_record(again.cpp -DGIT_EXECUTABLE=${GIT_EXECUTABLE})
if(NOT first STREQUAL text)
    message(FATAL_ERROR "the same build time gave another record")
endif()

# Without SOURCE_DATE_EPOCH and without git: the documented fixed time,
# 2025-01-01 00:00:00 UTC.
unset(ENV{SOURCE_DATE_EPOCH})
write_record(nogit.cpp -DGIT_EXECUTABLE=${WORK}/no-such-git)
expect_fixed("${text}" "2.5.9132.0" "no git")

# With git: the time of the last commit.
if(GIT_EXECUTABLE)
    execute_process(COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} log -1 --format=%ct
                    OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE git_result)
    if(git_result EQUAL 0 AND commit MATCHES "^[0-9]+$")
        math(EXPR days "(${commit} - 946684800) / 86400")
        math(EXPR steps "((${commit} - 946684800) % 86400) / 2")
        write_record(git.cpp -DGIT_EXECUTABLE=${GIT_EXECUTABLE})
        expect_fixed("${text}" "2.5.${days}.${steps}" "last commit")
    endif()
endif()
message(STATUS "version record build times: PASS")
