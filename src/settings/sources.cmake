# The settings layer, in two libraries: qzsettings (INI document and file,
# user settings, settings location; Qt Core only) and qzsettingsgui (window
# placement and screen fitting, which need Qt Widgets).
# Included from the top-level CMakeLists.txt, so that the target and its
# source list share one directory and its code generators rerun when the
# list changes.
target_sources(qzsettings PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/DamagedCopy.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DamagedCopy_p.h
    ${CMAKE_CURRENT_LIST_DIR}/IniBackgroundSave.cpp
    ${CMAKE_CURRENT_LIST_DIR}/IniBackgroundSave_p.h
    ${CMAKE_CURRENT_LIST_DIR}/IniChangeLog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/IniCollation.cpp
    ${CMAKE_CURRENT_LIST_DIR}/IniCollation_p.h
    ${CMAKE_CURRENT_LIST_DIR}/IniDocument.cpp
    ${CMAKE_CURRENT_LIST_DIR}/IniDocument.h
    ${CMAKE_CURRENT_LIST_DIR}/IniLines.cpp
    ${CMAKE_CURRENT_LIST_DIR}/IniLines_p.h
    ${CMAKE_CURRENT_LIST_DIR}/IniSaveEncoding.cpp
    ${CMAKE_CURRENT_LIST_DIR}/IniSaveEncoding_p.h
    ${CMAKE_CURRENT_LIST_DIR}/IniSavedText_p.h
    ${CMAKE_CURRENT_LIST_DIR}/IniSection.cpp
    ${CMAKE_CURRENT_LIST_DIR}/IniSectionCollector.cpp
    ${CMAKE_CURRENT_LIST_DIR}/IniSectionCollector_p.h
    ${CMAKE_CURRENT_LIST_DIR}/IniSectionList.cpp
    ${CMAKE_CURRENT_LIST_DIR}/IniSectionStore.cpp
    ${CMAKE_CURRENT_LIST_DIR}/IniSectionStore_p.h
    ${CMAKE_CURRENT_LIST_DIR}/IniValueSyntax.cpp
    ${CMAKE_CURRENT_LIST_DIR}/IniFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/IniFile.h
    ${CMAKE_CURRENT_LIST_DIR}/QZINI.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QZINI.h
    ${CMAKE_CURRENT_LIST_DIR}/QZ_UsrSettings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QZ_UsrSettings.h
    ${CMAKE_CURRENT_LIST_DIR}/SettingsLocation.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SettingsLocation.h
    ${CMAKE_CURRENT_LIST_DIR}/SettingsLog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SettingsLog.h
)
target_sources(qzsettingsgui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/FormState.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FormState.h
    ${CMAKE_CURRENT_LIST_DIR}/ScreenFit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ScreenFit.h
)
