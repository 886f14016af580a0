# What every Windows target of the project shares: warnings, wide-character Win32, and static
# linking, so that programs and libraries import nothing but Windows' own system libraries.
add_compile_options(-Wall -Wextra)
add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601 WINVER=0x0601)
add_link_options(-static -static-libgcc $<$<LINK_LANGUAGE:CXX>:-static-libstdc++>)

# 32-bit stdcall entries are exported under their plain names, as callers look them up.
set(FENNIMARK_DLL_LINK_OPTIONS -Wl,--kill-at)
