# Shared part of the MinGW-w64 toolchain files: compilers, binutils, and where to look for
# libraries (only in the cross sysroot, never on the build machine).
set(CMAKE_C_COMPILER ${REELSTAND_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${REELSTAND_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${REELSTAND_MINGW_TRIPLET}-windres)
set(CMAKE_OBJDUMP ${REELSTAND_MINGW_TRIPLET}-objdump)
set(CMAKE_FIND_ROOT_PATH /usr/${REELSTAND_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The port: the Win32 back ends of every layer (CMakeLists.txt).
set(REELSTAND_PORT win32)
