# The native build, which holds only the archive library and its tests: warnings, and optionally
# AddressSanitizer and UndefinedBehaviorSanitizer on everything built.
add_compile_options(-Wall -Wextra)

option(FENNIMARK_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(FENNIMARK_SANITIZE)
    set(fennimark_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_compile_options(${fennimark_sanitizers})
    add_link_options(${fennimark_sanitizers})
endif()
