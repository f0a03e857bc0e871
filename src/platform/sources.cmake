# The platform layer: the few operating-system facilities (Linux), Qt Core only.
# Included from the top-level CMakeLists.txt, so that the target and its
# source list share one directory and its code generators rerun when the
# list changes.
target_sources(qzplatform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/AtomicFileWrite.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AtomicFileWrite.h
    ${CMAKE_CURRENT_LIST_DIR}/FileAccess.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileAccess.h
    ${CMAKE_CURRENT_LIST_DIR}/FileWriters.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileWriters.h
    ${CMAKE_CURRENT_LIST_DIR}/ProgramFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProgramFile.h
    ${CMAKE_CURRENT_LIST_DIR}/ProgramSections.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProgramSections.h
    ${CMAKE_CURRENT_LIST_DIR}/Registry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Registry.h
    ${CMAKE_CURRENT_LIST_DIR}/SystemFacts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SystemFacts.h
    ${CMAKE_CURRENT_LIST_DIR}/TerminationSignals.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TerminationSignals.h
    ${CMAKE_CURRENT_LIST_DIR}/UserFolders.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UserFolders.h
)
