# Warnings and sanitizers for the project's own targets. Sanitizers go on
# every target (tests and third-party test mains included) so that the
# runtime is linked consistently.

if(STAKKO_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

function(stakko_configure_target target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(STAKKO_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
