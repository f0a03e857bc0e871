# The few operating-system facilities (Linux).
# Included from the top-level CMakeLists.txt, so that the target and its
# source list share one directory and its code generators rerun when the
# list changes.
target_sources(qzcommon PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/FileAccess.cpp ${CMAKE_CURRENT_LIST_DIR}/FileAccess.h
    ${CMAKE_CURRENT_LIST_DIR}/ProgramFile.cpp ${CMAKE_CURRENT_LIST_DIR}/ProgramFile.h
)
