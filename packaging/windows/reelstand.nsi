; Installer of Reelstand for Windows: Start-menu entry, uninstaller, "Open with" for .avi.
;   makensis -DVERSION=0.1.0 -DARCH=x86_64|i686 -DEXE=reelstand.exe -DICON=reelstand.ico
;            -DREADME=README.txt -DSAMPLE=reelstand-sample.avi -DOUTFILE=reelstand-setup.exe
;            reelstand.nsi
; /S installs silently, /D=DIR (last on the command line) chooses the folder.

Unicode true
!if "${ARCH}" == "x86_64"
    Target amd64-unicode
    !define PROGRAMS "$PROGRAMFILES64"
!else
    Target x86-unicode
    !define PROGRAMS "$PROGRAMFILES"
!endif

!define KEY_UNINSTALL "Software\Microsoft\Windows\CurrentVersion\Uninstall\Reelstand"
!define KEY_APP "Software\Classes\Applications\reelstand.exe"

Name "Reelstand"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "${PROGRAMS}\Reelstand"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Reelstand"
VIAddVersionKey "FileDescription" "Reelstand Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Reelstand developers"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Registry views and shortcuts of every user, in the installer and the uninstaller alike.
!macro Scope
    SetShellVarContext all
    !if "${ARCH}" == "x86_64"
        SetRegView 64
    !endif
!macroend

Section "Reelstand"
    !insertmacro Scope
    SetOutPath "$INSTDIR"
    File "/oname=reelstand.exe" "${EXE}"
    File "/oname=README.txt" "${README}"
    File "/oname=reelstand-sample.avi" "${SAMPLE}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Reelstand.lnk" "$INSTDIR\reelstand.exe"

    ; "Open with" for .avi: the program's registration and its entry in the list of .avi files.
    ; No default association: the user's choice of player stays. --open takes the file whatever
    ; its name (a bare argument counts only when it ends in lower-case .avi, and CLIP.AVI would
    ; start an empty window).
    WriteRegStr HKLM "${KEY_APP}" "FriendlyAppName" "Reelstand"
    WriteRegStr HKLM "${KEY_APP}\SupportedTypes" ".avi" ""
    WriteRegStr HKLM "${KEY_APP}\shell\open\command" "" '"$INSTDIR\reelstand.exe" --open "%1"'
    WriteRegStr HKLM "Software\Classes\.avi\OpenWithList\reelstand.exe" "" ""

    WriteRegStr HKLM "${KEY_UNINSTALL}" "DisplayName" "Reelstand"
    WriteRegStr HKLM "${KEY_UNINSTALL}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${KEY_UNINSTALL}" "DisplayIcon" "$INSTDIR\reelstand.exe"
    WriteRegStr HKLM "${KEY_UNINSTALL}" "Publisher" "Reelstand developers"
    WriteRegStr HKLM "${KEY_UNINSTALL}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${KEY_UNINSTALL}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${KEY_UNINSTALL}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${KEY_UNINSTALL}" "NoModify" 1
    WriteRegDWORD HKLM "${KEY_UNINSTALL}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    !insertmacro Scope
    Delete "$SMPROGRAMS\Reelstand.lnk"
    DeleteRegKey HKLM "${KEY_APP}"
    DeleteRegKey HKLM "Software\Classes\.avi\OpenWithList\reelstand.exe"
    DeleteRegKey HKLM "${KEY_UNINSTALL}"
    Delete "$INSTDIR\reelstand.exe"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\reelstand-sample.avi"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
SectionEnd
