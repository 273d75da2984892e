# The Windows build (MinGW-w64 cross compilers, see cmake/toolchain-*.cmake): the system's own
# libraries and no third-party one; the tests run under Wine. The generators (skingen, scenegen)
# are Linux programs, so their output comes from a Linux build folder:
#
#   cmake -S . -B build-win64 --toolchain cmake/toolchain-x86_64-w64-mingw32.cmake \
#         -DREELSTAND_HOST_BUILD=$PWD/build
enable_language(C)
enable_language(RC)

set(REELSTAND_HOST_BUILD "" CACHE PATH
    "Linux build folder that holds the generated skins, icon and test scenes")
if(NOT IS_DIRECTORY "${REELSTAND_HOST_BUILD}")
    message(FATAL_ERROR "REELSTAND_HOST_BUILD must name a Linux build folder "
                        "(its skins and fixtures are built with `make windows`)")
endif()
set(RS_HOST_SKINS ${REELSTAND_HOST_BUILD}/resources/skins CACHE PATH
    "skingen's output in the Linux build")
set(RS_HOST_FIXTURES ${REELSTAND_HOST_BUILD}/fixtures CACHE PATH
    "scenegen's test scenes in the Linux build")

# A program carries its C and C++ runtime, so it needs nothing but the system's DLLs.
add_link_options(-static -static-libgcc -static-libstdc++)

add_library(rs_win_warnings INTERFACE)
target_compile_options(rs_win_warnings INTERFACE -Wall -Wextra -Wpedantic
                       $<$<BOOL:${REELSTAND_WERROR}>:-Werror>)
# Wide calls everywhere, and the declarations of Windows 10 (the DPI calls); older systems are
# not excluded by this, only calls they lack would be.
target_compile_definitions(rs_win_warnings INTERFACE UNICODE _UNICODE _WIN32_WINNT=0x0A00)

# Include root of the Windows layers: links named as the code spells its includes, so that
# "video/VFW.h" is the system's AVIFile here, and the shared video sources, compiled through
# their links, see it too.
set(RS_WIN_INCLUDE ${CMAKE_BINARY_DIR}/include)
function(rs_win_link link target)
    get_filename_component(dir ${RS_WIN_INCLUDE}/${link} DIRECTORY)
    file(MAKE_DIRECTORY ${dir})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${target} ${RS_WIN_INCLUDE}/${link} SYMBOLIC)
endfunction()
rs_win_link(video/VFW.h video/win32/VFW.h)
foreach(shared VFWHandles.h ResultText.cpp)
    rs_win_link(video/${shared} video/${shared})
endforeach()
# The bottom layer and the program's own code are platform-neutral: the same folders on both
# systems. The toolkit's folder holds both back ends; this build compiles the Win32 one.
foreach(folder base toolkit controls app)
    rs_win_link(${folder} ${folder})
endforeach()

# A shared source is compiled through a one-line file that includes it by its link: ccache
# resolves a source file's links, and the shared file would then see the Linux VFW.h beside it.
set(RS_WIN_SHARED_SOURCES)
foreach(shared ResultText.cpp)
    file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/shared/video/${shared}
         CONTENT "#include \"video/${shared}\"\n")
    list(APPEND RS_WIN_SHARED_SOURCES ${CMAKE_BINARY_DIR}/shared/video/${shared})
endforeach()
add_library(rs_base STATIC base/Dib.cpp base/Dib.h base/ProcessMemory.h base/ProcessMemoryWin32.cpp)
target_include_directories(rs_base PUBLIC ${RS_WIN_INCLUDE})
target_link_libraries(rs_base PRIVATE rs_win_warnings)
add_library(rs_video STATIC ${RS_WIN_SHARED_SOURCES} video/win32/VFW.cpp video/win32/VFW.h
    video/win32/OtherWays.cpp video/win32/OtherWays.h
    video/win32/MediaFoundation.cpp video/win32/MediaFoundation.h
    video/win32/SceneStream.cpp video/win32/SceneStream.h
    video/win32/FrameConversion.cpp video/win32/FrameConversion.h)
target_link_libraries(rs_video PUBLIC rs_base)
target_include_directories(rs_video PUBLIC ${RS_WIN_INCLUDE})
# Media Foundation is loaded at run time (MediaFoundation.cpp); mfuuid only holds its GUIDs and
# imports no DLL.
target_link_libraries(rs_video PUBLIC avifil32 msvfw32 mfuuid rs_win_warnings)

# The Win32 components: windows and controls on user32, gdi32 and the common controls, UTF-8 at
# their interface.
add_library(rs_win_toolkit STATIC
    toolkit/win32/Text.cpp toolkit/win32/Text.h
    toolkit/win32/TrackBar.cpp toolkit/win32/TrackBar.h
    toolkit/win32/Window.cpp toolkit/win32/Window.h
    toolkit/win32/Controls.cpp toolkit/win32/Controls.h
    toolkit/win32/System.cpp toolkit/win32/System.h)
target_include_directories(rs_win_toolkit PUBLIC ${RS_WIN_INCLUDE})
target_link_libraries(rs_win_toolkit PUBLIC rs_base comctl32 user32 gdi32 shell32 ole32 comdlg32 rs_win_warnings)

# The toolkit's bitmaps on DIB sections, with the rules they share with the Qt back end. The
# toolkit's headers are seen through the include root, so that their "video/VFW.h" is the
# system's. Part of the toolkit layer below; a library of its own for its test.
add_library(rs_win_graphics STATIC
    toolkit/Graphics.cpp toolkit/Graphics.h
    toolkit/MemoryBudget.cpp toolkit/MemoryBudget.h
    toolkit/win32/Graphics.cpp toolkit/win32/Pixels.h)
target_include_directories(rs_win_graphics PUBLIC ${RS_WIN_INCLUDE})
target_link_libraries(rs_win_graphics PUBLIC rs_win_toolkit rs_video rs_base gdi32 user32 rs_win_warnings)

# The toolkit layer: the neutral interface with the Win32 back end, the peers of the components.
add_library(rs_toolkit STATIC
    toolkit/Application.cpp toolkit/Classes.cpp toolkit/Controls.cpp toolkit/Dialogs.cpp
    toolkit/Form.cpp toolkit/Image.cpp toolkit/Timer.cpp toolkit/TrackBar.cpp
    toolkit/win32/Peer.h toolkit/win32/Peers.h
    toolkit/win32/Application.cpp toolkit/win32/Control.cpp toolkit/win32/ControlPeers.cpp
    toolkit/win32/Dialogs.cpp toolkit/win32/Form.cpp toolkit/win32/Image.cpp
    toolkit/win32/Startup.cpp toolkit/win32/SysUtils.cpp toolkit/win32/Timer.cpp
    toolkit/win32/TrackBarPeer.cpp)
target_link_libraries(rs_toolkit PUBLIC rs_win_graphics rs_win_toolkit rs_video rs_win_warnings)

add_library(rs_controls STATIC controls/ImgBtn.cpp controls/ImgBtn.h)
target_link_libraries(rs_controls PUBLIC rs_toolkit)

add_library(rs_app STATIC app/Unit1.cpp app/Unit1.h app/CommandLine.cpp app/CommandLine.h)
target_link_libraries(rs_app PUBLIC rs_toolkit PRIVATE rs_controls rs_video)
set_property(SOURCE app/CommandLine.cpp APPEND PROPERTY
             COMPILE_DEFINITIONS REELSTAND_VERSION="${PROJECT_VERSION}")

# The executable's resources: icon, skin bitmaps, window-definition pictures, version, manifest.
set(RS_WIN_SKIN_BITMAPS)
foreach(symbol PLAY PAUSE)
    foreach(state UNPRESSED HIGHLIGHT PRESSED)
        list(APPEND RS_WIN_SKIN_BITMAPS ${symbol}_${state})
    endforeach()
endforeach()
set(RS_WIN_DEFINITION_PICTURES)
foreach(button ImgBtn12 ImgBtn13 ImgBtn14)
    foreach(kind Picture OverPict DownPict UpPict)
        list(APPEND RS_WIN_DEFINITION_PICTURES ${button}_${kind})
    endforeach()
endforeach()
set(RS_RC_BITMAPS "")
set(RS_RC_INPUTS ${RS_HOST_SKINS}/icons/reelstand.ico)
foreach(name ${RS_WIN_SKIN_BITMAPS})
    # skingen writes these as bare DIBs, the form of a bitmap resource: type 2 (RT_BITMAP) takes
    # them as they are, where BITMAP would expect a .bmp file header.
    string(APPEND RS_RC_BITMAPS "${name} 2 \"${RS_HOST_SKINS}/bitmaps/${name}\"\n")
    list(APPEND RS_RC_INPUTS ${RS_HOST_SKINS}/bitmaps/${name})
endforeach()
foreach(name ${RS_WIN_DEFINITION_PICTURES})
    string(APPEND RS_RC_BITMAPS "${name} BITMAP \"${RS_HOST_SKINS}/definition/${name}.bmp\"\n")
    list(APPEND RS_RC_INPUTS ${RS_HOST_SKINS}/definition/${name}.bmp)
endforeach()
configure_file(resources/win32/reelstand.manifest.in ${CMAKE_BINARY_DIR}/reelstand.manifest @ONLY)
configure_file(resources/win32/reelstand.rc.in ${CMAKE_BINARY_DIR}/reelstand.rc @ONLY)
add_library(rs_win_resources OBJECT ${CMAKE_BINARY_DIR}/reelstand.rc)
set_source_files_properties(${CMAKE_BINARY_DIR}/reelstand.rc PROPERTIES
    OBJECT_DEPENDS "${RS_RC_INPUTS};${CMAKE_BINARY_DIR}/reelstand.manifest")

# Every program this build makes, for the import check.
set(RS_WIN_PROGRAMS)

# rs_win_program(<name> SOURCES ... LIBS ...): a GUI program (no console window) carrying the
# resources.
function(rs_win_program name)
    cmake_parse_arguments(P "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} WIN32 ${P_SOURCES})
    target_link_libraries(${name} PRIVATE rs_win_resources rs_win_warnings ${P_LIBS})
    set(RS_WIN_PROGRAMS ${RS_WIN_PROGRAMS} ${name} PARENT_SCOPE)
endfunction()

# The player.
rs_win_program(reelstand SOURCES app/main.cpp LIBS rs_app rs_toolkit rs_video)

if(REELSTAND_TESTS)
    enable_testing()
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

    # Tests run under 64-bit Wine, in a prefix of this build folder; a 32-bit build cannot run
    # here, so its tests are only built.
    set(RS_WINE_RUN ${PROJECT_SOURCE_DIR}/tests/win32/wine-run.sh ${CMAKE_BINARY_DIR}/wine)
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
        set(RS_WINE_TESTS ON)
    endif()

    # rs_win_test(<name> SOURCES ... LIBS ... [DISPLAY] [NEUTRAL]): a console test program, one
    # CTest entry. NEUTRAL: built from the platform-neutral test sources, with the Win32 driving
    # API (tests/support/win32) and a main that starts COM.
    function(rs_win_test name)
        cmake_parse_arguments(T "DISPLAY;NEUTRAL" "" "SOURCES;LIBS" ${ARGN})
        add_executable(${name} ${T_SOURCES})
        if(T_NEUTRAL)
            target_link_libraries(${name} PRIVATE rs_win_testmain)
        else()
            target_link_libraries(${name} PRIVATE GTest::gtest_main)
        endif()
        target_link_libraries(${name} PRIVATE rs_win_warnings ${T_LIBS})
        target_compile_definitions(${name} PRIVATE RS_FIXTURES="Z:${RS_HOST_FIXTURES}")
        target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
        set(RS_WIN_PROGRAMS ${RS_WIN_PROGRAMS} ${name} PARENT_SCOPE)
        if(RS_WINE_TESTS)
            set(display)
            if(T_DISPLAY)
                set(display --display)
            endif()
            if(T_NEUTRAL)
                list(APPEND display --unmanaged) # many short-lived windows: see wine-run.sh
            endif()
            add_test(NAME ${name} COMMAND ${RS_WINE_RUN} ${display} $<TARGET_FILE:${name}>)
            set_tests_properties(${name} PROPERTIES TIMEOUT 300)
        endif()
    endfunction()

    # The tests of the toolkit, the controls and the window that Linux runs on Qt, from the same
    # sources, against the Win32 back end. Scenes are the uncompressed ones every system decodes
    # (tests/app/win32/Scenes.cpp); what needs FFmpeg's formats, a fork or Qt stays on Linux.
    if(TARGET rs_app)
        add_library(rs_win_testmain STATIC
            tests/support/win32/TestMain.cpp tests/support/win32/Ui.cpp
            tests/support/win32/Differences.cpp tests/support/Ui.h)
        target_link_libraries(rs_win_testmain PUBLIC GTest::gtest rs_toolkit ole32 rs_win_warnings)
        target_include_directories(rs_win_testmain PUBLIC tests/support)
        target_compile_definitions(rs_win_testmain PUBLIC
            RS_TEST_DATA="Z:${PROJECT_SOURCE_DIR}/tests/data")
        set(t ${PROJECT_SOURCE_DIR}/tests)
        rs_win_test(test_toolkit DISPLAY NEUTRAL
            SOURCES ${t}/toolkit/ApplicationTest.cpp ${t}/toolkit/GraphicsTest.cpp
                    ${t}/toolkit/ImageTest.cpp ${t}/toolkit/MemoryBudgetTest.cpp
                    ${t}/toolkit/TrackBarTest.cpp
            LIBS rs_toolkit rs_base rs_win_resources)
        rs_win_test(test_controls DISPLAY NEUTRAL
            SOURCES ${t}/controls/ImgBtnTest.cpp ${t}/controls/SkinsTest.cpp
            LIBS rs_controls rs_toolkit rs_win_resources)
        rs_win_test(test_app DISPLAY NEUTRAL
            SOURCES ${t}/app/win32/Scenes.cpp ${t}/app/ClockTest.cpp ${t}/app/CommandLineTest.cpp
                    ${t}/app/FullScreenTest.cpp ${t}/app/LoaderTest.cpp ${t}/app/StartupTest.cpp
                    ${t}/app/TransportTest.cpp ${t}/app/win32/WindowsScenesTest.cpp
            LIBS rs_app rs_controls rs_video rs_base rs_toolkit rs_win_resources)
        target_include_directories(test_app PRIVATE ${t}/app tools/scenegen)
        target_compile_definitions(test_app PRIVATE REELSTAND_TEST_VERSION="${PROJECT_VERSION}")
    endif()

    rs_win_test(rs_win_video_test SOURCES tests/win32/VideoTest.cpp LIBS rs_video gdi32 user32)
    target_include_directories(rs_win_video_test PRIVATE tools/scenegen) # frame colours
    # The ways in beyond AVIFile, from their conversions to a program without Media Foundation.
    rs_win_test(rs_win_other_ways_test SOURCES tests/video/win32/OtherWaysTest.cpp
                LIBS rs_video ole32 advapi32)
    target_include_directories(rs_win_other_ways_test PRIVATE tools/scenegen video/win32)
    rs_win_test(rs_win_window_test DISPLAY SOURCES tests/win32/WindowTest.cpp LIBS rs_win_toolkit)
    rs_win_test(rs_win_controls_test DISPLAY SOURCES tests/win32/ControlsTest.cpp
                LIBS rs_win_toolkit)
    rs_win_test(rs_win_system_test DISPLAY SOURCES tests/win32/SystemTest.cpp LIBS rs_win_toolkit)
    rs_win_test(rs_win_backend_test DISPLAY SOURCES tests/win32/BackEndTest.cpp LIBS rs_toolkit)
    rs_win_test(rs_win_base_test SOURCES tests/win32/ProcessMemoryTest.cpp LIBS rs_base)
    rs_win_test(rs_win_graphics_test DISPLAY SOURCES tests/win32/GraphicsTest.cpp
                tests/win32/GdiCount.h LIBS rs_win_graphics rs_win_resources)
    rs_win_test(rs_win_resource_test SOURCES tests/win32/ResourceTest.cpp LIBS rs_win_resources)
    target_compile_definitions(rs_win_resource_test PRIVATE
        RS_VERSION_MAJOR=${PROJECT_VERSION_MAJOR} RS_VERSION_MINOR=${PROJECT_VERSION_MINOR}
        RS_VERSION_PATCH=${PROJECT_VERSION_PATCH})

    list(TRANSFORM RS_WIN_PROGRAMS REPLACE "(.+)" "$<TARGET_FILE:\\1>" OUTPUT_VARIABLE files)
    add_test(NAME imports COMMAND ${PROJECT_SOURCE_DIR}/tests/win32/check-imports.sh
                                  ${CMAKE_OBJDUMP} ${files})
endif()

# The packages of reelstand.exe (portable zip, installer) and their tests under Wine.
include(packaging/windows/Packaging.cmake)
