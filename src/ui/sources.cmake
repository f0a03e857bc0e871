# Message boxes (later also the About box and system information).
# Included from the top-level CMakeLists.txt, so that the target and its
# source list share one directory and its code generators rerun when the
# list changes.
target_sources(qzcommon PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/MsgBox.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MsgBox.h
    ${CMAKE_CURRENT_LIST_DIR}/comvcl.cpp
    ${CMAKE_CURRENT_LIST_DIR}/comvcl.h
    ${CMAKE_CURRENT_LIST_DIR}/RtfControlWords_p.h
    ${CMAKE_CURRENT_LIST_DIR}/RtfReader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RtfReader.h
    ${CMAKE_CURRENT_LIST_DIR}/SoundPlayer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SoundPlayer.h
)
