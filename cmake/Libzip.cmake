# libzip and zlib for the archive library. libzip is always the one scripts/build-libzip builds,
# static, from Debian's source with our fixes, into a cache outside the build folders. On Windows
# zlib comes from Debian's MinGW package and is linked statically too; natively Debian's zlib is
# used, and libzip is built plainly (target `native`) or instrumented for the fuzz build (`fuzz`).
if(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
    set(fennimark_cache $ENV{XDG_CACHE_HOME})
else()
    set(fennimark_cache $ENV{HOME}/.cache)
endif()

if(WIN32)
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
        set(fennimark_triple i686-w64-mingw32)
    else()
        set(fennimark_triple x86_64-w64-mingw32)
    endif()
    set(FENNIMARK_LIBZIP_PREFIX ${fennimark_cache}/fennimark/libzip/${fennimark_triple}
        CACHE PATH "Where scripts/build-libzip installed libzip for this target")
    if(NOT EXISTS ${FENNIMARK_LIBZIP_PREFIX}/lib/cmake/libzip/libzip-config.cmake)
        message(FATAL_ERROR "libzip for ${fennimark_triple} is missing from ${FENNIMARK_LIBZIP_PREFIX}: "
                            "run scripts/build-libzip ${fennimark_triple}")
    endif()

    # libzip's exported target links ZLIB::ZLIB: name the static archive, not the import library.
    add_library(ZLIB::ZLIB STATIC IMPORTED)
    set_target_properties(ZLIB::ZLIB PROPERTIES
        IMPORTED_LOCATION /usr/${fennimark_triple}/lib/libz.a
        INTERFACE_INCLUDE_DIRECTORIES /usr/${fennimark_triple}/include)
    find_package(libzip CONFIG REQUIRED PATHS ${FENNIMARK_LIBZIP_PREFIX} NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
else()
    # Natively too libzip is the one scripts/build-libzip builds from Debian's source with our fixes:
    # instrumented for the fuzz build, plain for the others. Both use OpenSSL for WinZip AES.
    if(FENNIMARK_FUZZ)
        set(fennimark_libzip_target fuzz)
    else()
        set(fennimark_libzip_target native)
    endif()
    set(FENNIMARK_LIBZIP_PREFIX ${fennimark_cache}/fennimark/libzip/${fennimark_libzip_target}
        CACHE PATH "Where scripts/build-libzip installed libzip for this build")
    if(NOT EXISTS ${FENNIMARK_LIBZIP_PREFIX}/lib/cmake/libzip/libzip-config.cmake)
        message(FATAL_ERROR "libzip for this build is missing from ${FENNIMARK_LIBZIP_PREFIX}: "
                            "run scripts/build-libzip ${fennimark_libzip_target}")
    endif()
    find_package(ZLIB REQUIRED)
    find_package(OpenSSL REQUIRED COMPONENTS Crypto)
    find_package(libzip CONFIG REQUIRED PATHS ${FENNIMARK_LIBZIP_PREFIX} NO_DEFAULT_PATH)
endif()
