# The installer is built in layers, one static library per folder:
#   runtime  <-  extract, shell  <-  install  <-  app
# A layer's headers are reachable as "folder/name.h" only from the layer itself and the layers
# above it that link it: the project root is on no layer's include path, each layer gets a folder
# of its own in the build tree holding one link to its sources. So an include that points up the
# layers (install/ including "app/form1.h") does not compile.

# fennimark_layer(NAME FOLDER SOURCES ... [DEPENDS layer ...] [LIBS system-library ...])
function(fennimark_layer name)
    cmake_parse_arguments(arg "" "FOLDER" "SOURCES;DEPENDS;LIBS" ${ARGN})
    add_library(${name} STATIC ${arg_SOURCES})
    fennimark_layer_headers(${name} ${arg_FOLDER})
    target_link_libraries(${name} PUBLIC ${arg_DEPENDS} ${arg_LIBS})
endfunction()

# Makes "folder/..." reachable from `target` and whatever links it.
function(fennimark_layer_headers target folder)
    set(root ${CMAKE_BINARY_DIR}/layers/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE ${root})
    else()
        target_include_directories(${target} PUBLIC ${root})
    endif()
endfunction()
