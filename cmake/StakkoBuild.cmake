# Warnings and sanitizers for the project's own targets. Sanitizers go on
# every target (tests and third-party test mains included) so that the
# runtime is linked consistently.

if(STAKKO_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# Every program is linked with full RELRO, as Debian hardens its packages
# (Qt and the other libraries the programs load come so): the dynamic
# linker binds all of a program's calls into shared libraries at the start
# and then makes their table read-only. Binding at the start costs the
# game's first frame nothing measurable, where binding each call on its
# first use put that work inside whatever made the call first, the first
# load of the settings file included.
add_link_options(LINKER:-z,relro LINKER:-z,now)

function(stakko_configure_target target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(STAKKO_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# One static library per folder under src/, each linking only the layers
# below it, and each linking only the Qt modules it needs:
#   qzplatform <- qztext <- qzsettings, qzsystem      Qt Core
#                 qzui (over settings and system)     Qt Widgets, Multimedia
#   qztext <- stakkoboard (the rules of a game)       Qt Core
#   stakkoboard, qzui <- stakkogame (and stakko)      Qt Widgets
# The five qz libraries are the makers' common library (namespace qz),
# which cmake/QzCommonInstall.cmake also installs for other programs; all
# but qzui serve a console program without widgets. A back include cannot link: every
# test program links its own layer alone, and tests/layers checks includes.
# The stakko_add_layer calls in the folders' CMakeLists.txt are the one list
# of the libraries: fuzz/, the include check, the translations and the
# install rules read it (STAKKO_LIBRARIES, in layer order).
include(GNUInstallDirs)
# stakko_add_layer(<target> <folder under src> [COMMON]): the library of
# one folder under src/; COMMON marks the makers' common library.
function(stakko_add_layer target folder)
    cmake_parse_arguments(PARSE_ARGV 2 ARG "COMMON" "" "")
    add_library(${target} STATIC)
    target_include_directories(${target} PUBLIC
        $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/src>
        $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/qz>)
    set_target_properties(${target} PROPERTIES STAKKO_FOLDER ${folder}
                                               STAKKO_COMMON ${ARG_COMMON})
    set_property(GLOBAL APPEND PROPERTY STAKKO_LIBRARIES ${target})
    stakko_configure_target(${target})
endfunction()
# stakko_libraries(<out> COMMON|GAME): those of the common library or of
# the game, in layer order.
function(stakko_libraries out part)
    get_property(all GLOBAL PROPERTY STAKKO_LIBRARIES)
    set(found)
    foreach(library IN LISTS all)
        get_target_property(common ${library} STAKKO_COMMON)
        if((part STREQUAL "COMMON") EQUAL (common))
            list(APPEND found ${library})
        endif()
    endforeach()
    set(${out} ${found} PARENT_SCOPE)
endfunction()
