# The text layer: strings, numbers, paths and dates; encodings; detection;
# text-file loading; the window-less message box. Qt Core, zlib and
# libdeflate only.
# Included from the top-level CMakeLists.txt, so that the target and its
# source list share one directory and its code generators rerun when the
# list changes.
target_sources(qztext PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/BlockReading.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BlockReading_p.h
    ${CMAKE_CURRENT_LIST_DIR}/ChunkedEncoder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ChunkedEncoder.h
    ${CMAKE_CURRENT_LIST_DIR}/DateTime.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DateTime.h
    ${CMAKE_CURRENT_LIST_DIR}/Deciders.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DisplayText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DisplayText.h
    ${CMAKE_CURRENT_LIST_DIR}/EQZError.h
    ${CMAKE_CURRENT_LIST_DIR}/FileReading.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileReading_p.h
    ${CMAKE_CURRENT_LIST_DIR}/Inflate.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Inflate_p.h
    ${CMAKE_CURRENT_LIST_DIR}/InflateStreaming.cpp
    ${CMAKE_CURRENT_LIST_DIR}/InflateStreaming_p.h
    ${CMAKE_CURRENT_LIST_DIR}/MsgBox.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MsgBox.h
    ${CMAKE_CURRENT_LIST_DIR}/QZ_cmn.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QZ_cmn.h
    ${CMAKE_CURRENT_LIST_DIR}/QZ_Defs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QZ_Defs.h
    ${CMAKE_CURRENT_LIST_DIR}/QZ_Files.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QZ_Files.h
    ${CMAKE_CURRENT_LIST_DIR}/QZ_Unicd.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QZ_Unicd.h
    ${CMAKE_CURRENT_LIST_DIR}/QZ_Unicode.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QZ_Unicode.h
    ${CMAKE_CURRENT_LIST_DIR}/TEncoding.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TEncoding.h
    ${CMAKE_CURRENT_LIST_DIR}/Widening_p.h
    # UTF-8: encoding, decoding and the check, behind utf8/Utf8.h
    ${CMAKE_CURRENT_LIST_DIR}/utf8/Utf8.h
    ${CMAKE_CURRENT_LIST_DIR}/utf8/Utf8Avx2Validator.cpp
    ${CMAKE_CURRENT_LIST_DIR}/utf8/Utf8Avx2Validator_p.h
    ${CMAKE_CURRENT_LIST_DIR}/utf8/Utf8Content.cpp
    ${CMAKE_CURRENT_LIST_DIR}/utf8/Utf8Decoding.cpp
    ${CMAKE_CURRENT_LIST_DIR}/utf8/Utf8Encoding.cpp
    ${CMAKE_CURRENT_LIST_DIR}/utf8/Utf8Lead_p.h
    ${CMAKE_CURRENT_LIST_DIR}/utf8/Utf8LookupTables_p.h
    ${CMAKE_CURRENT_LIST_DIR}/utf8/Utf8PortableValidator.cpp
    ${CMAKE_CURRENT_LIST_DIR}/utf8/Utf8PortableValidator_p.h
    ${CMAKE_CURRENT_LIST_DIR}/utf8/Utf8VectorValidator.cpp
    ${CMAKE_CURRENT_LIST_DIR}/utf8/Utf8VectorValidator_p.h
)
