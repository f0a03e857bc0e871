# The common library for other programs of its makers, as the install
# component "qzcommon-dev" (never part of a plain install of the game):
#   cmake --install build --component qzcommon-dev --prefix /usr/local
# gives
#   include/qz/<layer>/*.h      the public headers (no _p.h)
#   lib/libqz*.a                the static libraries (and the object
#                               files of their embedded resources)
#   lib/cmake/QzCommon/         find_package(QzCommon): one imported
#                               target a library, QzCommon::qztext, ...
#   lib/pkgconfig/qzcommon.pc   the Qt-Core-only part (platform, text,
#                               settings) for builds without CMake
include(CMakePackageConfigHelpers)

set(QZ_COMMON_COMPONENT qzcommon-dev)
set(QZ_COMMON_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/QzCommon)

stakko_libraries(QZ_COMMON_LIBRARIES COMMON)
foreach(library IN LISTS QZ_COMMON_LIBRARIES)
    # A static library keeps its embedded resources (recordings,
    # translations) in object libraries of their own, which go with it.
    get_target_property(links ${library} INTERFACE_LINK_LIBRARIES)
    foreach(link IN LISTS links)
        if(TARGET ${link})
            get_target_property(type ${link} TYPE)
            if(type STREQUAL "OBJECT_LIBRARY")
                install(TARGETS ${link} EXPORT QzCommonTargets
                        OBJECTS DESTINATION ${CMAKE_INSTALL_LIBDIR}/qz-resources
                        COMPONENT ${QZ_COMMON_COMPONENT} EXCLUDE_FROM_ALL)
            endif()
        endif()
    endforeach()
    # Public headers keep their place below src/, so that the includes
    # between them ("text/TEncoding.h") hold below include/qz.
    get_target_property(sources ${library} SOURCES)
    foreach(source IN LISTS sources)
        if(source MATCHES "\\.h$" AND NOT source MATCHES "_p\\.h$")
            cmake_path(RELATIVE_PATH source BASE_DIRECTORY ${PROJECT_SOURCE_DIR}/src
                       OUTPUT_VARIABLE relative)
            cmake_path(GET relative PARENT_PATH folder)
            install(FILES ${source} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/qz/${folder}
                    COMPONENT ${QZ_COMMON_COMPONENT} EXCLUDE_FROM_ALL)
        endif()
    endforeach()
endforeach()

install(TARGETS ${QZ_COMMON_LIBRARIES} EXPORT QzCommonTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        COMPONENT ${QZ_COMMON_COMPONENT} EXCLUDE_FROM_ALL)
install(EXPORT QzCommonTargets NAMESPACE QzCommon:: DESTINATION ${QZ_COMMON_CMAKE_DIR}
        COMPONENT ${QZ_COMMON_COMPONENT} EXCLUDE_FROM_ALL)

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/QzCommonConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/QzCommonConfig.cmake
                              INSTALL_DESTINATION ${QZ_COMMON_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/QzCommonConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/QzCommonConfig.cmake
              ${PROJECT_BINARY_DIR}/QzCommonConfigVersion.cmake
        DESTINATION ${QZ_COMMON_CMAKE_DIR}
        COMPONENT ${QZ_COMMON_COMPONENT} EXCLUDE_FROM_ALL)

# pkg-config: the libraries in link order, the lowest last. The prefix is
# found from where the file lies, so that any --prefix of the install holds.
file(RELATIVE_PATH QZ_COMMON_PC_TO_PREFIX /root/${CMAKE_INSTALL_LIBDIR}/pkgconfig /root)
configure_file(${PROJECT_SOURCE_DIR}/cmake/qzcommon.pc.in ${PROJECT_BINARY_DIR}/qzcommon.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/qzcommon.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT ${QZ_COMMON_COMPONENT} EXCLUDE_FROM_ALL)
