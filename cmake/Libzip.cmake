# libzip and zlib for the archive library. On Windows both are linked statically: libzip as
# scripts/build-libzip cross-builds it into a cache outside the build folders, zlib from Debian's
# MinGW package. Elsewhere Debian's own libzip and zlib are used, except in the fuzz build, whose
# libzip scripts/build-libzip builds instrumented like the rest (target `fuzz`).
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
elseif(FENNIMARK_FUZZ)
    set(FENNIMARK_LIBZIP_PREFIX ${fennimark_cache}/fennimark/libzip/fuzz
        CACHE PATH "Where scripts/build-libzip installed the instrumented libzip")
    if(NOT EXISTS ${FENNIMARK_LIBZIP_PREFIX}/lib/cmake/libzip/libzip-config.cmake)
        message(FATAL_ERROR "The instrumented libzip is missing from ${FENNIMARK_LIBZIP_PREFIX}: "
                            "run scripts/build-libzip fuzz")
    endif()
    find_package(ZLIB REQUIRED)
    find_package(libzip CONFIG REQUIRED PATHS ${FENNIMARK_LIBZIP_PREFIX} NO_DEFAULT_PATH)
else()
    # Debian's libzip-config.cmake also names libzip's tools, which come in other packages: find
    # the library itself instead.
    find_package(ZLIB REQUIRED)
    find_path(LIBZIP_INCLUDE_DIR zip.h REQUIRED)
    find_library(LIBZIP_LIBRARY zip REQUIRED)
    add_library(libzip::zip UNKNOWN IMPORTED)
    set_target_properties(libzip::zip PROPERTIES
        IMPORTED_LOCATION ${LIBZIP_LIBRARY}
        INTERFACE_INCLUDE_DIRECTORIES ${LIBZIP_INCLUDE_DIR})
endif()
