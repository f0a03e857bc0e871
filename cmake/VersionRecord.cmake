# The program's version record (see cmake/WriteVersionRecord.cmake): an
# object library that the program and the tests reading their own record
# link. It belongs to a program, not to a layer library, so that a program
# without it has no record.
find_package(Git QUIET)
set(STAKKO_VERSION_RECORD_SOURCE ${CMAKE_BINARY_DIR}/generated/VersionRecord.cpp)
# Runs at every build, since the last commit may change without CMake
# knowing; the source is only rewritten when the record changes.
add_custom_target(stakko_version_record_source
    BYPRODUCTS ${STAKKO_VERSION_RECORD_SOURCE}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${STAKKO_VERSION_RECORD_SOURCE}
            -DVERSION=${PROJECT_VERSION} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
            -DGIT_EXECUTABLE=${GIT_EXECUTABLE}
            -P ${PROJECT_SOURCE_DIR}/cmake/WriteVersionRecord.cmake
    COMMENT "Version record"
    VERBATIM)
add_library(stakko_version_record OBJECT ${STAKKO_VERSION_RECORD_SOURCE})
add_dependencies(stakko_version_record stakko_version_record_source)
stakko_configure_target(stakko_version_record)
