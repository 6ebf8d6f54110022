# One static library per subsystem folder, each seeing only the folders it depends on.
#
# Every library gets an include root of its own under the build tree that holds nothing but a
# link to its folder. A library compiles with its own root and the roots of the libraries it links,
# so `#include "render/view.h"` in a file of a library that does not depend on render finds no such
# file: a wrong-way include fails the build instead of waiting for a review to notice it.

set(QUENTAR_LAYER_ROOTS ${CMAKE_BINARY_DIR}/layers)

# quentar_layer(NAME <target> FOLDER <folder below src/> [SOURCES ...] [DEPENDS <targets>...])
# SOURCES defaults to the .cpp files directly in the folder.
function(quentar_layer)
    cmake_parse_arguments(L "" "NAME;FOLDER;KIND" "SOURCES;DEPENDS" ${ARGN})
    if(NOT L_SOURCES)
        file(GLOB L_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${L_FOLDER}/*.cpp)
    endif()
    set(root ${QUENTAR_LAYER_ROOTS}/${L_NAME})
    get_filename_component(parent ${root}/${L_FOLDER} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    if(NOT EXISTS ${root}/${L_FOLDER})
        file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${L_FOLDER} ${root}/${L_FOLDER} SYMBOLIC)
    endif()
    add_library(${L_NAME} STATIC ${L_SOURCES})
    target_include_directories(${L_NAME} PUBLIC ${root})
    if(L_DEPENDS)
        target_link_libraries(${L_NAME} PUBLIC ${L_DEPENDS})
    endif()
endfunction()

# A core library never sees Qt: no Qt target among its dependencies and no Qt header named in its
# sources. Checked when the build is configured, so it cannot be forgotten.
function(quentar_check_no_qt target)
    get_target_property(libs ${target} LINK_LIBRARIES)
    if(libs)
        foreach(lib IN LISTS libs)
            if(lib MATCHES "^Qt")
                message(FATAL_ERROR "${target} is part of the Qt-free core but links ${lib}")
            endif()
        endforeach()
    endif()
    get_target_property(sources ${target} SOURCES)
    foreach(src IN LISTS sources)
        get_filename_component(dir ${src} DIRECTORY)
        file(GLOB headers ${dir}/*.h)
        foreach(f ${src} ${headers})
            file(STRINGS ${f} hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]*|qt[a-z0-9]*/)")
            if(hits)
                message(FATAL_ERROR "${f} is part of the Qt-free core but includes Qt: ${hits}")
            endif()
        endforeach()
    endforeach()
endfunction()
