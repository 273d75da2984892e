; Installer of Reelstand for Windows. By default for the current user, without administrator
; rights; an administrator may choose all users instead. Start-menu entry, uninstaller, and the
; scene types offered in "Open with" and under Default apps, without taking over any default.
;   makensis -DVERSION=0.1.0 -DARCH=x86_64|i686 -DEXE=reelstand.exe -DICON=reelstand.ico
;            -DWIZARD=wizard.bmp -DREADME=README.txt -DSAMPLE=reelstand-sample.avi
;            -DOUTFILE=reelstand-setup.exe;            "-DCOPYRIGHT=Copyright (c) ..." [-DURL=https://...] ["-DSIGN=command"]
;            reelstand.nsi
; /S installs silently; /CurrentUser (the default) or /AllUsers (administrators only) choose for
; whom; /D=DIR (last on the command line) chooses the folder. SIGN, when given, signs the
; installer and the uninstaller: it is run with the file's path as its last argument.

Unicode true
ManifestDPIAware true
!if "${ARCH}" == "x86_64"
    Target amd64-unicode
    !define MULTIUSER_USE_PROGRAMFILES64
!else
    Target x86-unicode
!endif

!define KEY_CLASSES "Software\Classes"
!define KEY_APPLICATIONS "${KEY_CLASSES}\Applications"
!define KEY_APP "${KEY_APPLICATIONS}\reelstand.exe"
!define KEY_UNINSTALLS "Software\Microsoft\Windows\CurrentVersion\Uninstall"
!define KEY_UNINSTALL "${KEY_UNINSTALLS}\Reelstand"
!define KEY_REGISTERED "Software\RegisteredApplications"
!define KEY_VENDOR "Software\Reelstand"
!define KEY_CAPABILITIES "${KEY_VENDOR}\Capabilities"
; The shared keys the install had to make, so that the uninstaller removes them again.
!define KEY_NEW_KEYS "${KEY_VENDOR}\NewKeys"

; Per user unless an administrator asks for all users: "Highest" asks an administrator's
; consent, since only then may the all-users choice be offered; everyone else installs as
; themselves.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "Reelstand"
; A second run installs into the folder of the first.
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${KEY_UNINSTALL}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INIT_TEXT_ALLUSERSNOTPOSSIBLE "$(AllUsersNeedAdministrator)"
!define MULTIUSER_MUI
!include MultiUser.nsh
!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include x64.nsh

Name "Reelstand"
OutFile "${OUTFILE}"
BrandingText "Reelstand ${VERSION}"
SetCompressor /SOLID lzma
!ifdef SIGN
    !finalize '${SIGN} "%1"' = 0
    !uninstfinalize '${SIGN} "%1"' = 0
!endif

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1031 "ProductName" "Reelstand"
VIAddVersionKey /LANG=1031 "CompanyName" "Reelstand developers"
VIAddVersionKey /LANG=1031 "FileDescription" "Reelstand-Installation"
VIAddVersionKey /LANG=1031 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "LegalCopyright" "${COPYRIGHT}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WIZARD}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(StartReelstand)"
!define MUI_FINISHPAGE_RUN_FUNCTION StartReelstand
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one the installer falls back on; .onInit picks it by the system's.
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "English"
LangString StartReelstand ${LANG_GERMAN} "Reelstand starten"
LangString StartReelstand ${LANG_ENGLISH} "Start Reelstand"
LangString WelcomeText ${LANG_GERMAN} "Dieser Assistent installiert Reelstand ${VERSION}. Reelstand spielt kurze Videoszenen nahtlos in Schleife ab und geht sie Bild für Bild durch.$\r$\n$\r$\nReelstand wird für Sie allein installiert und braucht dafür keine Administratorrechte. Ein Administrator kann es auch für alle Benutzer des Computers installieren.$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_ENGLISH} "This wizard installs Reelstand ${VERSION}. Reelstand loops short video scenes seamlessly and steps through them frame by frame.$\r$\n$\r$\nReelstand is installed for you alone and needs no administrator rights for it. An administrator may install it for all users of the computer instead.$\r$\n$\r$\n$_CLICK"
LangString Description ${LANG_GERMAN} "Kurze Videoszenen nahtlos in Schleife abspielen und Bild für Bild durchgehen"
LangString Description ${LANG_ENGLISH} "Loop short video scenes seamlessly and step through them frame by frame"
LangString AllUsersNeedAdministrator ${LANG_GERMAN} "Nur ein Administrator kann Reelstand für alle Benutzer installieren."
LangString AllUsersNeedAdministrator ${LANG_ENGLISH} "Only an administrator can install Reelstand for all users."
LangString RemovalNeedsAdministrator ${LANG_GERMAN} "Reelstand ist für alle Benutzer installiert: Nur ein Administrator kann es entfernen."
LangString RemovalNeedsAdministrator ${LANG_ENGLISH} "Reelstand is installed for all users: only an administrator can remove it."

; German on a German system (of any country), English on every other.
!macro PickLanguage
    System::Call 'kernel32::GetUserDefaultUILanguage() i .r0'
    IntOp $0 $0 & 0x3FF
    ${If} $0 = 0x07
        StrCpy $LANGUAGE ${LANG_GERMAN}
    ${Else}
        StrCpy $LANGUAGE ${LANG_ENGLISH}
    ${EndIf}
!macroend

; Notes a shared key (another program's, or the system's) that the install is about to make.
!macro NoteNewKey KEY
    ClearErrors
    EnumRegKey $0 SHCTX "${KEY}" 0
    ${If} ${Errors}
        WriteRegDWORD SHCTX "${KEY_NEW_KEYS}" "${KEY}" 1
    ${EndIf}
!macroend

; Removes a shared key that the install made, once nothing else is left in it.
!macro RemoveNewKey KEY
    ReadRegDWORD $0 SHCTX "${KEY_NEW_KEYS}" "${KEY}"
    ${If} $0 = 1
        DeleteRegKey /ifempty SHCTX "${KEY}"
    ${EndIf}
!macroend

!macro NoteNewTypeKeys EXT NAME
    !insertmacro NoteNewKey "${KEY_CLASSES}\${EXT}"
    !insertmacro NoteNewKey "${KEY_CLASSES}\${EXT}\OpenWithProgids"
!macroend

; The program's registration for one type: a ProgID of its own ("Reelstand.avi", used only when
; the user picks Reelstand for the type), its place in the type's "Open with" list and among the
; program's supported types, and its entry in the Default apps capabilities. The type's own
; default stays untouched. --open takes the file whatever its name, so that any file a user
; associates opens (a bare argument counts only as a scene or an existing video file).
!macro RegisterType EXT NAME
    WriteRegStr SHCTX "${KEY_CLASSES}\Reelstand${EXT}" "" "${NAME}"
    WriteRegStr SHCTX "${KEY_CLASSES}\Reelstand${EXT}\DefaultIcon" "" '"$INSTDIR\reelstand.exe",0'
    WriteRegStr SHCTX "${KEY_CLASSES}\Reelstand${EXT}\shell\open\command" "" '"$INSTDIR\reelstand.exe" --open "%1"'
    WriteRegNone SHCTX "${KEY_CLASSES}\${EXT}\OpenWithProgids" "Reelstand${EXT}"
    WriteRegStr SHCTX "${KEY_APP}\SupportedTypes" "${EXT}" ""
    WriteRegStr SHCTX "${KEY_CAPABILITIES}\FileAssociations" "${EXT}" "Reelstand${EXT}"
!macroend

; Takes back what RegisterType wrote, and the type's keys if the install made them.
!macro UnregisterType EXT NAME
    DeleteRegKey SHCTX "${KEY_CLASSES}\Reelstand${EXT}"
    DeleteRegValue SHCTX "${KEY_CLASSES}\${EXT}\OpenWithProgids" "Reelstand${EXT}"
    !insertmacro RemoveNewKey "${KEY_CLASSES}\${EXT}\OpenWithProgids"
    !insertmacro RemoveNewKey "${KEY_CLASSES}\${EXT}"
!macroend

; Every type the program opens on Windows.
!macro ForEachType MACRO
    !insertmacro ${MACRO} ".avi" "AVI-Video"
    !insertmacro ${MACRO} ".mp4" "MP4-Video"
    !insertmacro ${MACRO} ".m4v" "MPEG-4-Video"
    !insertmacro ${MACRO} ".mov" "QuickTime-Video"
    !insertmacro ${MACRO} ".3gp" "3GPP-Video"
    !insertmacro ${MACRO} ".mkv" "Matroska-Video"
    !insertmacro ${MACRO} ".wmv" "Windows-Media-Video"
!macroend

; Explorer reads the types anew.
!macro NotifyShell
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)' ; SHCNE_ASSOCCHANGED
!macroend

; Registry keys of the system's own view, also from the 32-bit installer on 64-bit Windows, so
; that Default apps finds the program.
!macro NativeRegView
    !if "${ARCH}" == "x86_64"
        SetRegView 64
    !else
        ${If} ${RunningX64}
            SetRegView 64
        ${EndIf}
    !endif
!macroend

Function .onInit
    !insertmacro NativeRegView
    StrCpy $1 $INSTDIR ; /D=, which the install mode would replace
    !insertmacro MULTIUSER_INIT
    ${If} $1 != ""
        StrCpy $INSTDIR $1
    ${EndIf}
    !insertmacro PickLanguage
FunctionEnd

; An installer started by an administrator runs elevated, and so would the program it starts;
; Windows then refuses files dropped on its window from Explorer. Explorer starts it as the
; user instead.
Function StartReelstand
    ${If} $MultiUser.Privileges == "Admin"
        Exec '"$WINDIR\explorer.exe" "$INSTDIR\reelstand.exe"'
    ${Else}
        Exec '"$INSTDIR\reelstand.exe"'
    ${EndIf}
FunctionEnd

Section "Reelstand"
    SetOutPath "$INSTDIR"
    File "/oname=reelstand.exe" "${EXE}"
    File "/oname=README.txt" "${README}"
    File "/oname=reelstand-sample.avi" "${SAMPLE}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Reelstand.lnk" "$INSTDIR\reelstand.exe"

    ; "Open with" and Default apps.
    !insertmacro NoteNewKey "${KEY_CLASSES}"
    !insertmacro NoteNewKey "${KEY_APPLICATIONS}"
    !insertmacro ForEachType NoteNewTypeKeys
    !insertmacro NoteNewKey "${KEY_REGISTERED}"
    !insertmacro NoteNewKey "${KEY_UNINSTALLS}"
    WriteRegStr SHCTX "${KEY_APP}" "FriendlyAppName" "Reelstand"
    WriteRegStr SHCTX "${KEY_APP}\shell\open\command" "" '"$INSTDIR\reelstand.exe" --open "%1"'
    WriteRegStr SHCTX "${KEY_CAPABILITIES}" "ApplicationName" "Reelstand"
    WriteRegStr SHCTX "${KEY_CAPABILITIES}" "ApplicationDescription" "$(Description)"
    WriteRegStr SHCTX "${KEY_CAPABILITIES}" "ApplicationIcon" '"$INSTDIR\reelstand.exe",0'
    !insertmacro ForEachType RegisterType
    WriteRegStr SHCTX "${KEY_REGISTERED}" "Reelstand" "${KEY_CAPABILITIES}"

    ; The entry under installed apps.
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegStr SHCTX "${KEY_UNINSTALL}" "DisplayName" "Reelstand"
    WriteRegStr SHCTX "${KEY_UNINSTALL}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${KEY_UNINSTALL}" "DisplayIcon" '"$INSTDIR\reelstand.exe",0'
    WriteRegStr SHCTX "${KEY_UNINSTALL}" "Publisher" "Reelstand developers"
    !ifdef URL
        WriteRegStr SHCTX "${KEY_UNINSTALL}" "URLInfoAbout" "${URL}"
    !endif
    WriteRegStr SHCTX "${KEY_UNINSTALL}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${KEY_UNINSTALL}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr SHCTX "${KEY_UNINSTALL}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD SHCTX "${KEY_UNINSTALL}" "EstimatedSize" $0
    WriteRegDWORD SHCTX "${KEY_UNINSTALL}" "NoModify" 1
    WriteRegDWORD SHCTX "${KEY_UNINSTALL}" "NoRepair" 1
    !insertmacro NotifyShell
SectionEnd

; The uninstaller removes the install it belongs to, whatever its command line says: the one
; whose folder it lies in.
Function un.onInit
    !insertmacro NativeRegView
    StrCpy $1 $INSTDIR ; the install mode would take the folder from the registry
    !insertmacro MULTIUSER_UNINIT
    !insertmacro PickLanguage
    ReadRegStr $0 HKLM "${KEY_UNINSTALL}" "InstallLocation"
    ${If} $0 == $1
        ${If} $MultiUser.Privileges != "Admin"
        ${AndIf} $MultiUser.Privileges != "Power"
            MessageBox MB_OK|MB_ICONSTOP "$(RemovalNeedsAdministrator)" /SD IDOK
            SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
            Quit
        ${EndIf}
        Call un.MultiUser.InstallMode.AllUsers
    ${Else}
        Call un.MultiUser.InstallMode.CurrentUser
    ${EndIf}
    StrCpy $INSTDIR $1
FunctionEnd

Section "Uninstall"
    Delete "$SMPROGRAMS\Reelstand.lnk"
    !insertmacro ForEachType UnregisterType
    DeleteRegKey SHCTX "${KEY_APP}"
    DeleteRegValue SHCTX "${KEY_REGISTERED}" "Reelstand"
    DeleteRegKey SHCTX "${KEY_UNINSTALL}"
    !insertmacro RemoveNewKey "${KEY_REGISTERED}"
    !insertmacro RemoveNewKey "${KEY_APPLICATIONS}"
    !insertmacro RemoveNewKey "${KEY_CLASSES}"
    !insertmacro RemoveNewKey "${KEY_UNINSTALLS}"
    DeleteRegKey SHCTX "${KEY_VENDOR}" ; last: it holds the notes
    Delete "$INSTDIR\reelstand.exe"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\reelstand-sample.avi"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    ; The per-user programs folder, when the install made it and nothing else lives there.
    ${If} $MultiUser.InstallMode == "CurrentUser"
        RMDir "$LOCALAPPDATA\Programs"
    ${EndIf}
    !insertmacro NotifyShell
SectionEnd
