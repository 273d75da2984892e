# How our own targets are built. Compiler settings travel as interface targets that each of our
# targets links, so that code built in the tree that is not ours gets none of them.

add_library(rs_warnings INTERFACE)
target_compile_options(rs_warnings INTERFACE -Wall -Wextra -Wpedantic
                                             $<$<BOOL:${REELSTAND_WERROR}>:-Werror>)

add_library(rs_sanitizers INTERFACE)
if(REELSTAND_SANITIZE)
    target_compile_options(rs_sanitizers INTERFACE -fsanitize=address,undefined
                           -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(rs_sanitizers INTERFACE -fsanitize=address,undefined)
endif()

# ThreadSanitizer, for the video layer's worker: the program's layers and the tests only. The
# generators run at build time and need no checking (under it, Qt's own races stop the build).
add_library(rs_thread_sanitizer INTERFACE)
if(REELSTAND_TSAN)
    target_compile_options(rs_thread_sanitizer INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(rs_thread_sanitizer INTERFACE -fsanitize=thread)
endif()

# rs_own_code(<target>...): our warnings and sanitizers for these targets alone.
function(rs_own_code)
    foreach(target IN LISTS ARGN)
        target_link_libraries(${target} PRIVATE rs_warnings rs_sanitizers rs_thread_sanitizer)
    endforeach()
endfunction()

# rs_tool_code(<target>...): the same for a generator that runs at build time, without
# ThreadSanitizer.
function(rs_tool_code)
    foreach(target IN LISTS ARGN)
        target_link_libraries(${target} PRIVATE rs_warnings rs_sanitizers)
    endforeach()
endfunction()

# rs_include_root(<target> <folder> [<name>]): users of <target> include the files of <folder> as
# "<name>/File.h" (<name> is <folder> unless given), and no other folder of the repository comes
# with it. The root is a folder of the build tree holding a single link named <name>, so the
# spelling needs no file moves.
function(rs_include_root target folder)
    set(name ${folder})
    if(ARGC GREATER 2)
        set(name ${ARGV2})
    endif()
    string(REPLACE "/" "-" root_name ${folder})
    set(root ${CMAKE_BINARY_DIR}/include/${root_name})
    # Older Windows build folders hold a link to the layer's folder here: a link made through it
    # would land in the sources.
    if(IS_SYMLINK ${root})
        file(REMOVE ${root})
    endif()
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${name} SYMBOLIC)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE ${root})
    else()
        target_include_directories(${target} PUBLIC ${root})
    endif()
endfunction()

# rs_layer(<folder> SOURCES <file>... [BACKEND <folder>] [LINKS <link item>...] [TOOLS]): one
# layer of the program as the static library rs_<folder>, from exactly the sources listed,
# included as "<folder>/X.h". BACKEND: the port's back end, a folder inside the layer whose files
# are included as "<folder>/X.h" too, so that each back end provides the same header
# ("video/VFW.h" is video/ffmpeg/VFW.h or video/win32/VFW.h). LINKS takes target_link_libraries
# items (PUBLIC / PRIVATE keywords included): a layer reaches only the layers it links. TOOLS: the
# generators link it too, so it is built as they are (rs_tool_code).
function(rs_layer folder)
    cmake_parse_arguments(L "TOOLS" "BACKEND" "SOURCES;LINKS" ${ARGN})
    set(target rs_${folder})
    add_library(${target} STATIC ${L_SOURCES})
    rs_include_root(${target} ${folder})
    if(L_BACKEND)
        rs_include_root(${target} ${folder}/${L_BACKEND} ${folder})
    endif()
    if(L_LINKS)
        target_link_libraries(${target} ${L_LINKS})
    endif()
    if(L_TOOLS)
        rs_tool_code(${target})
    else()
        rs_own_code(${target})
    endif()
endfunction()
