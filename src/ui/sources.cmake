# The ui layer: the windowed message box, the sound player, the version
# record (later also the About box, system information and the RTF reader).
# Qt Widgets and Multimedia.
# Included from the top-level CMakeLists.txt, so that the target and its
# source list share one directory and its code generators rerun when the
# list changes.
target_sources(qzui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/comvcl.cpp
    ${CMAKE_CURRENT_LIST_DIR}/comvcl.h
    ${CMAKE_CURRENT_LIST_DIR}/SoundPlayer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SoundPlayer.h
    ${CMAKE_CURRENT_LIST_DIR}/VersionInfo.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VersionInfo.h
)
