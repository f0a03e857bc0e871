# Resources made at build time by the generators under tools/.

# stakko_add_sounds(<target> <set> <name>... [PACKED <name>...])
# Synthesises <name>.wav for every name into the build tree and embeds them
# in <target> as the resources ":/sounds/<name>.wav". They are made again
# only when the synthesiser changes. The PACKED ones are stored compressed:
# a sound not played at start should not make the program's image larger,
# since every page of it may be mapped with the pages around what is read;
# Qt inflates it when it is loaded, which copies it into memory anyway.
function(stakko_add_sounds target set)
    cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "PACKED")
    set(folder ${CMAKE_CURRENT_BINARY_DIR}/sounds/${set})
    set(names ${arg_UNPARSED_ARGUMENTS} ${arg_PACKED})
    list(TRANSFORM names PREPEND ${folder}/ OUTPUT_VARIABLE files)
    list(TRANSFORM files APPEND .wav)
    add_custom_command(OUTPUT ${files}
        COMMAND soundsynth ${folder} ${names}
        DEPENDS soundsynth
        COMMENT "Synthesising the ${set} sounds"
        VERBATIM)
    list(TRANSFORM arg_UNPARSED_ARGUMENTS PREPEND ${folder}/ OUTPUT_VARIABLE plain)
    list(TRANSFORM plain APPEND .wav)
    if(plain)
        qt_add_resources(${target} ${set} PREFIX /sounds BASE ${folder} FILES ${plain})
    endif()
    list(TRANSFORM arg_PACKED PREPEND ${folder}/ OUTPUT_VARIABLE packed)
    list(TRANSFORM packed APPEND .wav)
    if(packed)
        # The recordings shrink by about half: below rcc's default threshold.
        qt_add_resources(${target} ${set}_packed PREFIX /sounds BASE ${folder} FILES ${packed}
                         OPTIONS --compress-algo zlib --threshold 10)
    endif()
endfunction()
