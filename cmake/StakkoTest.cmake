include(GoogleTest)

# stakko_add_test(<subsystem> <name> SOURCES <files...> [LIBS <targets...>])
# Builds test_<subsystem>_<name> against the shared test main (which creates
# the QApplication), discovers its cases as "<subsystem>.<Suite>.<Case>" and
# runs them on Qt's offscreen platform.
function(stakko_add_test subsystem name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    set(target test_${subsystem}_${name})
    add_executable(${target} ${ARG_SOURCES})
    target_link_libraries(${target} PRIVATE stakko_test_main ${ARG_LIBS})
    stakko_configure_target(${target})
    gtest_discover_tests(${target}
        TEST_PREFIX "${subsystem}."
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 120
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endfunction()
