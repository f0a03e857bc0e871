# The game: well and pieces, statistics, main window, drawing, sounds.
# Included from the top-level CMakeLists.txt, so that the target and its
# source list share one directory and its code generators rerun when the
# list changes.
target_sources(stakkogame PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/About1.cpp ${CMAKE_CURRENT_LIST_DIR}/About1.h
    ${CMAKE_CURRENT_LIST_DIR}/ClickImage.cpp ${CMAKE_CURRENT_LIST_DIR}/ClickImage.h
    ${CMAKE_CURRENT_LIST_DIR}/Figur.cpp ${CMAKE_CURRENT_LIST_DIR}/Figur.h
    ${CMAKE_CURRENT_LIST_DIR}/GameSounds.cpp ${CMAKE_CURRENT_LIST_DIR}/GameSounds.h
    ${CMAKE_CURRENT_LIST_DIR}/GameInfo.cpp ${CMAKE_CURRENT_LIST_DIR}/GameInfo.h
    ${CMAKE_CURRENT_LIST_DIR}/PaintBox.cpp ${CMAKE_CURRENT_LIST_DIR}/PaintBox.h
    ${CMAKE_CURRENT_LIST_DIR}/ScoreObj.cpp ${CMAKE_CURRENT_LIST_DIR}/ScoreObj.h
    ${CMAKE_CURRENT_LIST_DIR}/Stakko.cpp ${CMAKE_CURRENT_LIST_DIR}/Stakko.h
    ${CMAKE_CURRENT_LIST_DIR}/SysColors.h
    ${CMAKE_CURRENT_LIST_DIR}/resources/Stakko.ui
    ${CMAKE_CURRENT_LIST_DIR}/resources/stakko.qrc
)
set_property(TARGET stakkogame APPEND PROPERTY AUTOUIC_SEARCH_PATHS
    ${CMAKE_CURRENT_LIST_DIR}/resources)

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
