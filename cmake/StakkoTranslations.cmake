# German is the source text; the English translations are built by lrelease
# into the library whose texts they hold, as ":/i18n/qz_en.qm" (the common
# library) and ":/i18n/stakko_en.qm" (the game). After a text changed,
# `cmake --build <dir> --target update_translations` brings the .ts files
# in translations/ up to date (without line numbers, which every edit of a
# source would change).
set(STAKKO_LUPDATE_OPTIONS -locations none -source-language de)

# stakko_add_translations(<target> <ts file> COMMON|GAME [SOURCES <more>...])
# Builds the translation into <target>; its texts are those of every
# library of that part (stakko_libraries) defined so far, and <more>.
function(stakko_add_translations target ts part)
    cmake_parse_arguments(PARSE_ARGV 3 ARG "" "" "SOURCES")
    stakko_libraries(libraries ${part})
    set(files ${ARG_SOURCES})
    foreach(library IN LISTS libraries)
        get_target_property(sources ${library} SOURCES)
        list(APPEND files ${sources})
    endforeach()
    list(FILTER files INCLUDE REGEX "^${PROJECT_SOURCE_DIR}/src/.*\\.(cpp|h|ui)$")
    qt_add_translations(${target} TS_FILES ${PROJECT_SOURCE_DIR}/translations/${ts}
                        SOURCES ${files} LUPDATE_OPTIONS ${STAKKO_LUPDATE_OPTIONS})
endfunction()
