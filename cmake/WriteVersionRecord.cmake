# Writes the program's version record as a C++ source (run as a script at
# every build; the file changes only when the record does):
#   cmake -DOUTPUT=<file.cpp> -DVERSION=<x.y.z> -DSOURCE_DIR=<dir>
#         [-DGIT_EXECUTABLE=<git>] -P WriteVersionRecord.cmake
#
# The build time is SOURCE_DATE_EPOCH when it is set, else the time of the
# last commit of the source tree's own history, so that a rebuild of the
# same source gives the same program; a tree with neither (an unpacked
# source archive) is stamped with the real time of the build, which then
# changes the record at every build. The time is kept in UTC, wherever the
# program is built; the About box shows it in the viewer's local time. The fixed
# file version is major.minor.days.steps: the days since 1 January 2000 and
# the two-second steps since midnight of the build time, the encoding the
# About box reads its build date from.
#
# The record's byte layout is described in src/system/VersionInfo.h.

foreach(arg OUTPUT VERSION SOURCE_DIR)
    if(NOT DEFINED ${arg})
        message(FATAL_ERROR "WriteVersionRecord.cmake needs -D${arg}=...")
    endif()
endforeach()

# The time of the last commit when SOURCE_DIR is the top of a git work
# tree; "" otherwise. A source tree unpacked inside some other repository
# (a home folder under git, say) must not take that repository's time.
function(last_commit_time out)
    set(${out} "" PARENT_SCOPE)
    if(NOT GIT_EXECUTABLE)
        return()
    endif()
    execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" rev-parse --show-toplevel
                    OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE
                    ERROR_QUIET RESULT_VARIABLE result)
    file(REAL_PATH "${SOURCE_DIR}" source)
    if(NOT result EQUAL 0 OR top STREQUAL "")
        return()
    endif()
    file(REAL_PATH "${top}" top)
    if(NOT top STREQUAL source)
        return()
    endif()
    execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" log -1 --format=%ct
                    OUTPUT_VARIABLE time OUTPUT_STRIP_TRAILING_WHITESPACE
                    ERROR_QUIET RESULT_VARIABLE result)
    if(result EQUAL 0 AND time MATCHES "^[0-9]+$")
        set(${out} "${time}" PARENT_SCOPE)
    endif()
endfunction()

if(DEFINED ENV{SOURCE_DATE_EPOCH} AND "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
    set(epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
    last_commit_time(epoch)
    if(epoch STREQUAL "")
        # string(TIMESTAMP) would take a SOURCE_DATE_EPOCH that is set but
        # no number; without it, it is the time now.
        unset(ENV{SOURCE_DATE_EPOCH})
        string(TIMESTAMP epoch "%s" UTC)
    endif()
endif()

# 946684800 is 2000-01-01 00:00:00 UTC; earlier times count as that day.
math(EXPR since2000 "${epoch} - 946684800")
if(since2000 LESS 0)
    set(since2000 0)
endif()
math(EXPR days "${since2000} / 86400")
math(EXPR steps "(${since2000} % 86400) / 2")

# string(TIMESTAMP) reads SOURCE_DATE_EPOCH: the year of the build time.
set(ENV{SOURCE_DATE_EPOCH} ${epoch})
string(TIMESTAMP year "%Y" UTC)

string(REPLACE "." ";" parts "${VERSION}")
list(GET parts 0 major)
list(LENGTH parts count)
set(minor 0)
if(count GREATER 1)
    list(GET parts 1 minor)
endif()

set(fixed "${major}.${minor}.${days}.${steps}")
set(company "Vomb")
set(copyright "© 1996-${year} Vomb Spielwerkstatt")
set(names CompanyName FileDescription FileVersion InternalName LegalCopyright
          LegalTradeMarks OriginalFileName ProductName ProductVersion)
set(de_CompanyName "${company}")
set(de_FileDescription "Stakko, ein Spiel mit fallenden Steinen")
set(de_FileVersion "${VERSION}")
set(de_InternalName "stakko")
set(de_LegalCopyright "${copyright}")
set(de_LegalTradeMarks "Stakko ist ein Name der Vomb Spielwerkstatt")
set(de_OriginalFileName "stakko")
set(de_ProductName "Stakko")
set(de_ProductVersion "${VERSION}")
# The English block differs where the words do; readers take the German one first.
foreach(name IN LISTS names)
    set(en_${name} "${de_${name}}")
endforeach()
set(en_FileDescription "Stakko, a game of falling blocks")
set(en_LegalTradeMarks "Stakko is a name of Vomb Spielwerkstatt")

# A C string literal of `text` followed by its closing 0 byte.
function(record_text out text)
    string(REPLACE "\\" "\\\\" text "${text}")
    string(REPLACE "\"" "\\\"" text "${text}")
    set(${out} "    \"${text}\" \"\\0\"\n" PARENT_SCOPE)
endfunction()

set(body "")
record_text(line "\\")
string(APPEND body "${line}")
record_text(line "${fixed}")
string(APPEND body "${line}")
foreach(block de:040704E4 en:040904E4)
    string(REPLACE ":" ";" block "${block}")
    list(GET block 0 lang)
    list(GET block 1 code)
    foreach(name IN LISTS names)
        record_text(line "StringFileInfo\\${code}\\${name}")
        string(APPEND body "${line}")
        record_text(line "${${lang}_${name}}")
        string(APPEND body "${line}")
    endforeach()
endforeach()

set(content "// The program's version record, written by cmake/WriteVersionRecord.cmake
// at build time: version ${VERSION}, built ${fixed}. Do not edit.
// Its own section lets ReadVersionInfo find it in the program file.

[[gnu::used, gnu::section(\".stakko_version\")]] static const char StakkoVersionRecord[] =
    \"QZVERSIONRECORD\" \"\\0\"
${body}    \"\"; // the closing empty path is the literal's own 0
")

file(WRITE "${OUTPUT}.tmp" "${content}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
