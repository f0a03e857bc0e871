# The game: well and pieces, statistics, main window, drawing, sounds.
# Included from the top-level CMakeLists.txt, so that the target and its
# source list share one directory and its code generators rerun when the
# list changes.
target_sources(stakkogame PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ClickImage.cpp ${CMAKE_CURRENT_LIST_DIR}/ClickImage.h
    ${CMAKE_CURRENT_LIST_DIR}/Figur.cpp ${CMAKE_CURRENT_LIST_DIR}/Figur.h
    ${CMAKE_CURRENT_LIST_DIR}/GameSounds.cpp ${CMAKE_CURRENT_LIST_DIR}/GameSounds.h
    ${CMAKE_CURRENT_LIST_DIR}/GameInfo.cpp ${CMAKE_CURRENT_LIST_DIR}/GameInfo.h
    ${CMAKE_CURRENT_LIST_DIR}/PaintBox.cpp ${CMAKE_CURRENT_LIST_DIR}/PaintBox.h
    ${CMAKE_CURRENT_LIST_DIR}/PanelStyle.cpp ${CMAKE_CURRENT_LIST_DIR}/PanelStyle.h
    ${CMAKE_CURRENT_LIST_DIR}/ScoreObj.cpp ${CMAKE_CURRENT_LIST_DIR}/ScoreObj.h
    ${CMAKE_CURRENT_LIST_DIR}/Stakko.cpp ${CMAKE_CURRENT_LIST_DIR}/Stakko.h
    ${CMAKE_CURRENT_LIST_DIR}/SysColors.h
    ${CMAKE_CURRENT_LIST_DIR}/Winner.cpp ${CMAKE_CURRENT_LIST_DIR}/Winner.h
    ${CMAKE_CURRENT_LIST_DIR}/resources/Stakko.ui
    ${CMAKE_CURRENT_LIST_DIR}/resources/Winner.ui
    ${CMAKE_CURRENT_LIST_DIR}/resources/stakko.qrc
)
set_property(TARGET stakkogame APPEND PROPERTY AUTOUIC_SEARCH_PATHS
    ${CMAKE_CURRENT_LIST_DIR}/resources)
