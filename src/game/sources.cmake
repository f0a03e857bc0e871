# The game: well and pieces, statistics, main window, drawing, sounds.
# Included from the top-level CMakeLists.txt, so that the target and its
# source list share one directory and its code generators rerun when the
# list changes.
# The rules of a game without widgets: the well, the pieces, the
# statistics and the game object, and the language their texts are in.
target_sources(stakkorules PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Figur.cpp ${CMAKE_CURRENT_LIST_DIR}/Figur.h
    ${CMAKE_CURRENT_LIST_DIR}/Game.cpp ${CMAKE_CURRENT_LIST_DIR}/Game.h
    ${CMAKE_CURRENT_LIST_DIR}/GameSounds.cpp ${CMAKE_CURRENT_LIST_DIR}/GameSounds.h
    ${CMAKE_CURRENT_LIST_DIR}/ScoreObj.cpp ${CMAKE_CURRENT_LIST_DIR}/ScoreObj.h
    ${CMAKE_CURRENT_LIST_DIR}/UiLanguage.cpp ${CMAKE_CURRENT_LIST_DIR}/UiLanguage.h
)

# The canvas the pieces are drawn on, in a library of its own: the About
# box's picture generator draws with it too.
target_sources(stakkoboard PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/PaintBox.cpp ${CMAKE_CURRENT_LIST_DIR}/PaintBox.h
    ${CMAKE_CURRENT_LIST_DIR}/SysColors.h
)

target_sources(stakkogame PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/About1.cpp ${CMAKE_CURRENT_LIST_DIR}/About1.h
    ${CMAKE_CURRENT_LIST_DIR}/AccessibleControls.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AccessibleControls.h
    ${CMAKE_CURRENT_LIST_DIR}/ButtonGlyphs.cpp ${CMAKE_CURRENT_LIST_DIR}/ButtonGlyphs.h
    ${CMAKE_CURRENT_LIST_DIR}/ClickImage.cpp ${CMAKE_CURRENT_LIST_DIR}/ClickImage.h
    ${CMAKE_CURRENT_LIST_DIR}/GameClock.cpp ${CMAKE_CURRENT_LIST_DIR}/GameClock.h
    ${CMAKE_CURRENT_LIST_DIR}/HelpText.cpp ${CMAKE_CURRENT_LIST_DIR}/HelpText.h
    ${CMAKE_CURRENT_LIST_DIR}/GameInfo.cpp ${CMAKE_CURRENT_LIST_DIR}/GameInfo.h
    ${CMAKE_CURRENT_LIST_DIR}/PanelStyle.cpp ${CMAKE_CURRENT_LIST_DIR}/PanelStyle.h
    ${CMAKE_CURRENT_LIST_DIR}/PngPicture.cpp ${CMAKE_CURRENT_LIST_DIR}/PngPicture.h
    ${CMAKE_CURRENT_LIST_DIR}/RecordKeeping.cpp ${CMAKE_CURRENT_LIST_DIR}/RecordKeeping.h
    ${CMAKE_CURRENT_LIST_DIR}/ScorePanel.cpp ${CMAKE_CURRENT_LIST_DIR}/ScorePanel.h
    ${CMAKE_CURRENT_LIST_DIR}/SessionEnd.cpp ${CMAKE_CURRENT_LIST_DIR}/SessionEnd.h
    ${CMAKE_CURRENT_LIST_DIR}/Stakko.cpp ${CMAKE_CURRENT_LIST_DIR}/Stakko.h
    ${CMAKE_CURRENT_LIST_DIR}/Winner.cpp ${CMAKE_CURRENT_LIST_DIR}/Winner.h
    ${CMAKE_CURRENT_LIST_DIR}/resources/Stakko.ui
    ${CMAKE_CURRENT_LIST_DIR}/resources/Winner.ui
    ${CMAKE_CURRENT_LIST_DIR}/resources/stakko.qrc
)
set_property(TARGET stakkogame APPEND PROPERTY AUTOUIC_SEARCH_PATHS
    ${CMAKE_CURRENT_LIST_DIR}/resources)

# The game's recordings, synthesised at build time: ":/sounds/<name>.wav".
stakko_add_sounds(stakkogame gamesounds
    space ding xylophon nice klingel1 loser gefahr gewonn1)

# The application icon: its PNG sizes are rendered from the SVG at build
# time and built into the program; the same files are installed for the
# desktop (cmake/StakkoInstall.cmake).
set(STAKKO_ICON_SVG ${CMAKE_CURRENT_LIST_DIR}/resources/icons/stakko.svg)
set(STAKKO_ICON_SIZES 16 22 24 32 48 64 128 256)
set(STAKKO_ICON_DIR ${CMAKE_BINARY_DIR}/appicon)
set(STAKKO_ICON_PNGS)
foreach(size IN LISTS STAKKO_ICON_SIZES)
    list(APPEND STAKKO_ICON_PNGS ${STAKKO_ICON_DIR}/${size}.png)
endforeach()
# A tool built with the sanitizers runs at build time: leaks of the
# system's libraries at its exit must not fail the build.
add_custom_command(OUTPUT ${STAKKO_ICON_PNGS}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:IconRender> ${STAKKO_ICON_SVG} ${STAKKO_ICON_DIR} ${STAKKO_ICON_SIZES}
    DEPENDS IconRender ${STAKKO_ICON_SVG}
    COMMENT "Rendering the application icon")
qt_add_resources(stakkogame appicon PREFIX /appicon BASE ${STAKKO_ICON_DIR}
                 FILES ${STAKKO_ICON_PNGS})

# The About box's picture, drawn at build time by tools/infopic; the About
# box finds it as the bitmap resource "INFO_PIC" (Qt resources under
# /bitmaps). The offscreen platform lets the tool draw without a display.
set(STAKKO_BITMAPS_DIR ${CMAKE_CURRENT_BINARY_DIR}/generated/bitmaps)
add_custom_command(
    OUTPUT ${STAKKO_BITMAPS_DIR}/INFO_PIC.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${STAKKO_BITMAPS_DIR}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:stakko_infopic> ${STAKKO_BITMAPS_DIR}/INFO_PIC.png
    DEPENDS stakko_infopic
    COMMENT "Drawing the About box picture"
    VERBATIM)
qt_add_resources(stakkogame stakko_bitmaps
    PREFIX /bitmaps
    BASE ${STAKKO_BITMAPS_DIR}
    FILES ${STAKKO_BITMAPS_DIR}/INFO_PIC.png)
