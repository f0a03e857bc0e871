# Resources made at build time by the generators under tools/.

# stakko_add_sounds(<target> <set> <name>...)
# Synthesises <name>.wav for every name into the build tree and embeds them
# in <target> as the resources ":/sounds/<name>.wav". They are made again
# only when the synthesiser changes.
function(stakko_add_sounds target set)
    set(folder ${CMAKE_CURRENT_BINARY_DIR}/sounds/${set})
    list(TRANSFORM ARGN PREPEND ${folder}/ OUTPUT_VARIABLE files)
    list(TRANSFORM files APPEND .wav)
    add_custom_command(OUTPUT ${files}
        COMMAND soundsynth ${folder} ${ARGN}
        DEPENDS soundsynth
        COMMENT "Synthesising the ${set} sounds"
        VERBATIM)
    qt_add_resources(${target} ${set} PREFIX /sounds BASE ${folder} FILES ${files})
endfunction()
