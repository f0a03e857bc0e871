# The ui layer: the windowed message box and its dialog, the sound player,
# the RTF reader, the About box, window placement and screen fitting. Qt
# Widgets and Multimedia.
# Included from the top-level CMakeLists.txt, so that the target and its
# source list share one directory and its code generators rerun when the
# list changes.
target_sources(qzui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/AboutBx.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AboutBx.h
    ${CMAKE_CURRENT_LIST_DIR}/AboutForm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AboutForm.h
    ${CMAKE_CURRENT_LIST_DIR}/AboutPictures.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AboutPictures.h
    ${CMAKE_CURRENT_LIST_DIR}/comvcl.cpp
    ${CMAKE_CURRENT_LIST_DIR}/comvcl.h
    ${CMAKE_CURRENT_LIST_DIR}/FormState.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FormState.h
    ${CMAKE_CURRENT_LIST_DIR}/MsgDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MsgDialog.h
    ${CMAKE_CURRENT_LIST_DIR}/RtfControlWords_p.h
    ${CMAKE_CURRENT_LIST_DIR}/RtfReader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RtfReader.h
    ${CMAKE_CURRENT_LIST_DIR}/ScreenFit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ScreenFit.h
    ${CMAKE_CURRENT_LIST_DIR}/SoundPlayer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SoundPlayer.h
    ${CMAKE_CURRENT_LIST_DIR}/TimerHold.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TimerHold.h
)

# The message boxes' recordings, synthesised at build time:
# ":/sounds/hinweis.wav" (a notice), "warnung" (a warning), "fehler" (an error).
stakko_add_sounds(qzui messagesounds hinweis warnung fehler)
