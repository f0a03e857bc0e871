include(GoogleTest)

# Every test runs on Qt's offscreen platform, in one locale and in one time
# zone, so that no result depends on the developer's own (QCollator and
# QLocale::system() follow LANG and LC_ALL, local times TZ).
set(STAKKO_TEST_ENVIRONMENT "QT_QPA_PLATFORM=offscreen" "LANG=C.UTF-8" "LC_ALL=C.UTF-8" "TZ=UTC")

# stakko_add_test(<subsystem> <name> [CORE] SOURCES <files...> [LIBS <targets...>])
# Builds test_<subsystem>_<name> against the shared test main (which creates
# the QApplication; with CORE a QCoreApplication only), discovers its cases as "<subsystem>.<Suite>.<Case>" and
# runs them in STAKKO_TEST_ENVIRONMENT.
function(stakko_add_test subsystem name)
    cmake_parse_arguments(ARG "CORE" "" "SOURCES;LIBS" ${ARGN})
    set(target test_${subsystem}_${name})
    set(main stakko_test_main)
    if(ARG_CORE)
        set(main stakko_core_test_main)
    endif()
    add_executable(${target} ${ARG_SOURCES})
    target_link_libraries(${target} PRIVATE ${main} ${ARG_LIBS})
    stakko_configure_target(${target})
    gtest_discover_tests(${target}
        TEST_PREFIX "${subsystem}."
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 120
        PROPERTIES TIMEOUT 300)
    # gtest_discover_tests drops the separators of a list given in
    # PROPERTIES, so the environment is set by a script that CTest runs
    # after the discovered tests are known.
    set(script "${CMAKE_CURRENT_BINARY_DIR}/${target}_environment.cmake")
    file(CONFIGURE OUTPUT "${script}" CONTENT [[
foreach(test IN LISTS @target@_TESTS)
    set_tests_properties("${test}" PROPERTIES ENVIRONMENT "@STAKKO_TEST_ENVIRONMENT@")
endforeach()
]] @ONLY)
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${script}")
endfunction()
