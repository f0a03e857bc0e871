# The system layer: the facts the About box and the start-up tell (version
# code, 64-bit and admin checks, the system line, the start-up's folders)
# and the version record of a program file. Qt Core only, so that a
# console program can tell them too.
# Included from the top-level CMakeLists.txt, so that the target and its
# source list share one directory.
target_sources(qzsystem PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/QZ_Win_cmn.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QZ_Win_cmn.h
    ${CMAKE_CURRENT_LIST_DIR}/SystemFolders.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SystemFolders.h
    ${CMAKE_CURRENT_LIST_DIR}/VersionInfo.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VersionInfo.h
)
