# Runs cmake/WriteVersionRecord.cmake the ways a build does and checks the
# fixed file version it writes (the build time: SOURCE_DATE_EPOCH, the last
# commit of the tree's own history, or the time of the build):
#   cmake -DWRITER=... -DWORK=<dir> -DSOURCE_DIR=... [-DGIT_EXECUTABLE=...] -P this
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

# write_record(<file> [<source dir>] [-D...]): the record the writer makes.
function(write_record out)
    set(source ${SOURCE_DIR})
    if(ARGC GREATER 1 AND NOT ARGV1 MATCHES "^-D")
        set(source ${ARGV1})
        list(REMOVE_AT ARGN 0)
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -DOUTPUT=${WORK}/${out} -DVERSION=2.5.1
                            -DSOURCE_DIR=${source} ${ARGN} -P ${WRITER}
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

# The build time a record holds, in seconds since 1970 (UTC).
function(record_time text out)
    if(NOT text MATCHES "\"2\\.5\\.([0-9]+)\\.([0-9]+)\" \"\\\\0\"")
        message(FATAL_ERROR "no fixed version in\n${text}")
    endif()
    math(EXPR time "946684800 + ${CMAKE_MATCH_1} * 86400 + ${CMAKE_MATCH_2} * 2")
    set(${out} ${time} PARENT_SCOPE)
endfunction()

# expect_build_time(<what> <git> [<source dir>]): without SOURCE_DATE_EPOCH
# and without a history of its own, the record holds the real time of the
# build (in two-second steps).
function(expect_build_time what git)
    unset(ENV{SOURCE_DATE_EPOCH})
    string(TIMESTAMP before "%s" UTC)
    write_record(${what}.cpp ${ARGN} -DGIT_EXECUTABLE=${git})
    string(TIMESTAMP after "%s" UTC)
    record_time("${text}" built)
    math(EXPR earliest "${before} - 1")
    if(built LESS earliest OR built GREATER after)
        message(FATAL_ERROR "${what}: built at ${built}, not between ${before} and ${after}")
    endif()
endfunction()

expect_build_time(no_git ${WORK}/no-such-git)

# A tree without history of its own inside someone else's repository,
# whose last commit is 2016-06-05 12:00:00 UTC: not that commit's time.
if(GIT_EXECUTABLE)
    set(outer ${WORK}/outer)
    file(MAKE_DIRECTORY ${outer}/unpacked)
    file(WRITE ${outer}/unpacked/CMakeLists.txt "")
    set(ENV{GIT_COMMITTER_DATE} "1465128000 +0000")
    set(ENV{GIT_AUTHOR_DATE} "1465128000 +0000")
    foreach(step "init -q" "add ." "-c user.name=Test -c user.email=test@example.com commit -q -m outer")
        separate_arguments(step)
        execute_process(COMMAND ${GIT_EXECUTABLE} -C ${outer} ${step} RESULT_VARIABLE result
                        OUTPUT_QUIET)
        if(NOT result EQUAL 0)
            message(FATAL_ERROR "git ${step} failed in ${outer}")
        endif()
    endforeach()
    unset(ENV{GIT_COMMITTER_DATE})
    unset(ENV{GIT_AUTHOR_DATE})
    expect_build_time(inside_another_repository ${GIT_EXECUTABLE} ${outer}/unpacked)
endif()

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
