# One static library per source folder. A library sees the headers of its own folder and
# of the libraries it uses, and no others: each folder is staged under the build tree as a
# link of its own, and only that staged folder is on the include path. So an include of a
# folder the library does not use fails to build, and the allowed direction is the only
# one that builds:
#
#   module/                       the entry point, dispatch, the function table
#     -> files/ image/ interact/  the functions (features)
#        -> platform/paths/ platform/media/ platform/win32/ core/   shared services
#
# korvane_folder_library(NAME FOLDER [PORTABLE sources...] [WIN32 sources...]
#                        [USES libraries...] [SYSTEM_LIBS libraries...])
# FOLDER is relative to the source root; PORTABLE sources build in both presets, WIN32
# sources only in the Win32 one. A folder without sources in a preset is an interface
# library: its headers, nothing to link.
function(korvane_folder_library name folder)
    cmake_parse_arguments(ARG "" "" "PORTABLE;WIN32;USES;SYSTEM_LIBS" ${ARGN})
    set(sources ${ARG_PORTABLE})
    if(WIN32)
        list(APPEND sources ${ARG_WIN32})
    endif()
    set(stage ${CMAKE_BINARY_DIR}/include/${name})
    get_filename_component(parent ${stage}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${stage}/${folder} SYMBOLIC)
    if(sources)
        add_library(${name} STATIC ${sources})
        target_include_directories(${name} PUBLIC ${stage})
        target_link_libraries(${name} PUBLIC ${ARG_USES})
        if(WIN32)
            target_link_libraries(${name} PUBLIC ${ARG_SYSTEM_LIBS})
        endif()
        target_compile_options(${name} PRIVATE ${KORVANE_WARNINGS})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${stage})
        target_link_libraries(${name} INTERFACE ${ARG_USES})
    endif()
endfunction()

# korvane_header_library(NAME FILE): one header (FILE, relative to the source root) as a
# library of its own, for a folder most of which no library may see.
function(korvane_header_library name file)
    set(stage ${CMAKE_BINARY_DIR}/include/${name})
    get_filename_component(parent ${stage}/${file} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${file} ${stage}/${file} SYMBOLIC)
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${stage})
endfunction()
