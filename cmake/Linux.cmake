# The native build, which holds only the archive library and its tests: warnings, and optionally
# AddressSanitizer and UndefinedBehaviorSanitizer on everything built.
add_compile_options(-Wall -Wextra)

option(FENNIMARK_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(FENNIMARK_FUZZ "Build the libFuzzer targets (clang only), everything instrumented for them" OFF)
set(fennimark_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
if(FENNIMARK_FUZZ)
    # Coverage for libFuzzer on everything; fuzz/ links the fuzzer's own main into its targets.
    add_compile_options(-fsanitize=fuzzer-no-link ${fennimark_sanitizers})
    add_link_options(${fennimark_sanitizers})
elseif(FENNIMARK_SANITIZE)
    add_compile_options(${fennimark_sanitizers})
    add_link_options(${fennimark_sanitizers})
endif()
