# The Windows packages of reelstand.exe, made by every Windows build: a portable zip and an NSIS
# installer, each holding the program, README.txt and the sample scene (their tests under Wine are
# in tests/smoke/).

# The sample in Cinepak, which a stock Windows decodes (the Linux sample is MJPEG, which needs a
# codec pack there).
set(RS_HOST_WINDOWS_SAMPLE ${REELSTAND_HOST_BUILD}/sample/reelstand-sample-cinepak.avi CACHE
    FILEPATH "scenegen's sample scene for Windows in the Linux build")
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(RS_ARCH_NAME "64-bit")
else()
    set(RS_ARCH_NAME "32-bit")
endif()
# CRLF, so that every editor on Windows shows the lines.
set(RS_WIN_README ${CMAKE_BINARY_DIR}/README.txt)
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt.in ${RS_WIN_README} @ONLY NEWLINE_STYLE CRLF)

# A release is signed with the project's certificate: this command, run with a file's path as its
# last argument, signs that file in place (see the README's Windows section). It signs the
# packages' reelstand.exe, the installer and its uninstaller. Empty: nothing is signed.
set(REELSTAND_SIGN_COMMAND "" CACHE STRING
    "Command that signs a Windows program in place, given its path as the last argument")
set(RS_SIGN)
if(REELSTAND_SIGN_COMMAND)
    separate_arguments(RS_SIGN NATIVE_COMMAND "${REELSTAND_SIGN_COMMAND}")
endif()

# The project's web address for the uninstall entry, where the AppStream metadata names one.
set(RS_METAINFO ${PROJECT_SOURCE_DIR}/packaging/org.reelstand.Reelstand.metainfo.xml)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${RS_METAINFO})
file(READ ${RS_METAINFO} metainfo)
set(RS_HOMEPAGE "")
if(metainfo MATCHES "<url type=\"homepage\">([^<]+)</url>")
    set(RS_HOMEPAGE ${CMAKE_MATCH_1})
endif()

# rs_win_installer(<target> <program.exe> <output.exe> DEPENDS ... [ALL]): the installer around a
# program file, with the README and the sample.
find_program(MAKENSIS makensis)
function(rs_win_installer target exe output)
    cmake_parse_arguments(I "ALL" "" "DEPENDS" ${ARGN})
    set(script ${PROJECT_SOURCE_DIR}/packaging/windows/reelstand.nsi)
    set(icon ${RS_HOST_SKINS}/icons/reelstand.ico)
    set(wizard ${RS_HOST_SKINS}/installer/wizard.bmp)
    set(options)
    if(RS_HOMEPAGE)
        list(APPEND options -DURL=${RS_HOMEPAGE})
    endif()
    if(REELSTAND_SIGN_COMMAND)
        list(APPEND options "-DSIGN=${REELSTAND_SIGN_COMMAND}")
    endif()
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${MAKENSIS} -V2 -WX -DVERSION=${PROJECT_VERSION} -DARCH=${CMAKE_SYSTEM_PROCESSOR}
                -DEXE=${exe} -DICON=${icon} -DWIZARD=${wizard} -DREADME=${RS_WIN_README}
                -DSAMPLE=${RS_HOST_WINDOWS_SAMPLE} -DOUTFILE=${output}
                "-DCOPYRIGHT=${RS_COPYRIGHT}" ${options} ${script}
        DEPENDS ${I_DEPENDS} ${script} ${icon} ${wizard} ${RS_WIN_README}
                ${RS_HOST_WINDOWS_SAMPLE}
        COMMENT "Building the installer ${output}"
        VERBATIM)
    set(all)
    if(I_ALL)
        set(all ALL)
    endif()
    add_custom_target(${target} ${all} DEPENDS ${output})
endfunction()

set(RS_WIN_PACKAGE reelstand-${PROJECT_VERSION}-windows-${CMAKE_SYSTEM_PROCESSOR})
set(RS_WIN_ZIP ${CMAKE_BINARY_DIR}/${RS_WIN_PACKAGE}.zip)
set(RS_WIN_SETUP ${CMAKE_BINARY_DIR}/${RS_WIN_PACKAGE}-setup.exe)
if(TARGET reelstand)
    # The packages' program without its debugging information (three quarters of the file).
    set(stage ${CMAKE_BINARY_DIR}/package/${RS_WIN_PACKAGE})
    set(exe ${CMAKE_BINARY_DIR}/package/reelstand.exe)
    set(sign)
    if(RS_SIGN)
        set(sign COMMAND ${RS_SIGN} ${exe})
    endif()
    add_custom_command(
        OUTPUT ${exe}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/package
        COMMAND ${CMAKE_STRIP} --strip-debug -o ${exe} $<TARGET_FILE:reelstand>
        ${sign}
        DEPENDS reelstand
        COMMENT "Stripping reelstand.exe for the packages"
        VERBATIM)
    # One folder in the zip, so that unpacking never scatters files; a fixed time, so that the
    # same program gives the same archive.
    add_custom_command(
        OUTPUT ${RS_WIN_ZIP}
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage} ${RS_WIN_ZIP}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
        COMMAND ${CMAKE_COMMAND} -E copy ${exe} ${RS_WIN_README} ${stage}
        COMMAND ${CMAKE_COMMAND} -E copy ${RS_HOST_WINDOWS_SAMPLE} ${stage}/reelstand-sample.avi
        COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/package
                ${CMAKE_COMMAND} -E tar cf ${RS_WIN_ZIP} --format=zip
                "--mtime=2026-01-01 00:00:00 UTC" ${RS_WIN_PACKAGE}
        DEPENDS ${exe} ${RS_WIN_README} ${RS_HOST_WINDOWS_SAMPLE}
        COMMENT "Packing ${RS_WIN_ZIP}"
        VERBATIM)
    add_custom_target(zip ALL DEPENDS ${RS_WIN_ZIP})
    if(MAKENSIS)
        rs_win_installer(installer ${exe} ${RS_WIN_SETUP} DEPENDS ${exe} ALL)
    endif()
endif()
