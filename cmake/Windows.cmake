# What only the Windows build has: the port win32 (the MinGW-w64 cross compilers of
# cmake/toolchain-*.cmake), the system's own libraries and no third-party one, tested under Wine.
# The layers describe their Win32 back ends in their own CMakeLists.txt. The generators (skingen,
# scenegen) are Linux programs, so their output comes from a Linux build folder:
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
set(REELSTAND_SKIN_DIR ${RS_HOST_SKINS})
set(REELSTAND_FIXTURE_DIR ${RS_HOST_FIXTURES})

# A program carries its C and C++ runtime, so it needs nothing but the system's DLLs.
add_link_options(-static -static-libgcc -static-libstdc++)

# Our code makes the wide calls, with the declarations of Windows 10 (the DPI calls); older
# systems are not excluded by this, only calls they lack would be.
target_compile_definitions(rs_warnings INTERFACE UNICODE _UNICODE _WIN32_WINNT=0x0A00)

# Tests run under 64-bit Wine, in a prefix of this build folder, where the Linux machine's files
# are on drive Z:. A 32-bit build cannot run here, so its tests are only built.
set(RS_WINE_RUN ${PROJECT_SOURCE_DIR}/tests/support/win32/wine-run.sh ${CMAKE_BINARY_DIR}/wine)
set(RS_WINE_DRIVE Z:)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(RS_WINE_TESTS ON)
endif()
