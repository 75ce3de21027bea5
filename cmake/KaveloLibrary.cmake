# Every folder is one library. Its headers are included as "folder/header.h" from the project
# root, but the root itself is never an include directory: each library exposes only its own
# folder, through a directory in the build tree that holds a link to it. A target therefore
# finds the headers of exactly the folders it links, and an include of any other folder fails
# to compile.

# kavelo_expose_folder(TARGET SCOPE): makes the current source folder includable, by its path
# from the project root, for TARGET (and, with PUBLIC or INTERFACE, for whatever links TARGET).
function(kavelo_expose_folder target scope)
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    set(root ${PROJECT_BINARY_DIR}/include/${target})
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
    target_include_directories(${target} ${scope} ${root})
endfunction()

# kavelo_folder_library(NAME [LIBRARIES...] [EXCEPT FILES...]): one library of all the .cpp files
# of the current folder but FILES (a program's own), exposing the folder and linking LIBRARIES, the
# folders and packages it uses.
function(kavelo_folder_library name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "EXCEPT")
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    foreach(file IN LISTS arg_EXCEPT)
        list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${file})
    endforeach()
    if(sources)
        add_library(${name} STATIC ${sources})
        kavelo_expose_folder(${name} PUBLIC)
        target_link_libraries(${name} PUBLIC ${arg_UNPARSED_ARGUMENTS} PRIVATE kavelo_flags)
    else()
        add_library(${name} INTERFACE)
        kavelo_expose_folder(${name} INTERFACE)
        target_link_libraries(${name} INTERFACE ${arg_UNPARSED_ARGUMENTS})
    endif()
endfunction()

# kavelo_program(NAME SOURCES...): a program of the project, built with the project's flags.
function(kavelo_program name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE kavelo_flags)
endfunction()
