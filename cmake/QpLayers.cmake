# Each library sees only the headers of itself and of what it links: its headers are exposed
# through a folder of links of its own (build/include/<target>/<path from src>), and no include
# path points at src/ itself. A header of a layer above is then simply not found.

# qp_sources(<var> <folder>...): the sources directly in each folder under src/.
function(qp_sources var)
    set(result)
    foreach(folder ${ARGN})
        file(GLOB found CONFIGURE_DEPENDS
            ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp
            ${PROJECT_SOURCE_DIR}/src/${folder}/*.h
            ${PROJECT_SOURCE_DIR}/src/${folder}/*.qrc)
        list(APPEND result ${found})
    endforeach()
    set(${var} ${result} PARENT_SCOPE)
endfunction()

# qp_expose_headers(<target> <scope> <source>...): links every header among the sources into the
# target's own include folder.
function(qp_expose_headers target scope)
    set(root ${CMAKE_BINARY_DIR}/include/${target})
    file(REMOVE_RECURSE ${root})
    file(MAKE_DIRECTORY ${root})
    foreach(source ${ARGN})
        if(source MATCHES "\\.h$")
            file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR}/src ${source})
            get_filename_component(folder ${root}/${relative} DIRECTORY)
            file(MAKE_DIRECTORY ${folder})
            file(CREATE_LINK ${source} ${root}/${relative} SYMBOLIC)
        endif()
    endforeach()
    target_include_directories(${target} ${scope} ${root})
endfunction()

# qp_library(<target> SHARED|STATIC FOLDERS <folder>... [PUBLIC <lib>...] [PRIVATE <lib>...])
function(qp_library target type)
    cmake_parse_arguments(arg "" "" "FOLDERS;PUBLIC;PRIVATE" ${ARGN})
    qp_sources(sources ${arg_FOLDERS})
    add_library(${target} ${type} ${sources})
    qp_expose_headers(${target} PUBLIC ${sources})
    target_link_libraries(${target} PUBLIC ${arg_PUBLIC} PRIVATE ${arg_PRIVATE})
endfunction()

# qp_executable(<target> FOLDERS <folder>... [SOURCES <file>...] [LIBS <lib>...])
function(qp_executable target)
    cmake_parse_arguments(arg "" "" "FOLDERS;SOURCES;LIBS" ${ARGN})
    qp_sources(sources ${arg_FOLDERS})
    add_executable(${target} ${arg_SOURCES} ${sources})
    qp_expose_headers(${target} PRIVATE ${sources})
    target_link_libraries(${target} PRIVATE ${arg_LIBS})
endfunction()
