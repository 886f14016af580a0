# libdeflate, the archive library's inflater for whole entries. On Windows it is linked statically
# as scripts/build-libdeflate cross-builds it into a cache outside the build folders; elsewhere
# (native, sanitized and fuzz builds) Debian's libdeflate-dev is used.
if(WIN32)
    set(FENNIMARK_LIBDEFLATE_PREFIX ${fennimark_cache}/fennimark/libdeflate/${fennimark_triple}
        CACHE PATH "Where scripts/build-libdeflate installed libdeflate for this target")
    if(NOT EXISTS ${FENNIMARK_LIBDEFLATE_PREFIX}/lib/libdeflate.a)
        message(FATAL_ERROR "libdeflate for ${fennimark_triple} is missing from ${FENNIMARK_LIBDEFLATE_PREFIX}: "
                            "run scripts/build-libdeflate ${fennimark_triple}")
    endif()
    set(libdeflate_library ${FENNIMARK_LIBDEFLATE_PREFIX}/lib/libdeflate.a)
    set(libdeflate_include ${FENNIMARK_LIBDEFLATE_PREFIX}/include)
else()
    find_path(libdeflate_include libdeflate.h REQUIRED)
    find_library(libdeflate_library deflate REQUIRED)
endif()
add_library(libdeflate::libdeflate UNKNOWN IMPORTED)
set_target_properties(libdeflate::libdeflate PROPERTIES
    IMPORTED_LOCATION ${libdeflate_library}
    INTERFACE_INCLUDE_DIRECTORIES ${libdeflate_include})
