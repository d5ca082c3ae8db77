; Relinka's installer, per user: into the user's own programs folder, which Relinka can write, so that
; amigos.txt lives beside relinka.exe; with the Start-menu shortcut and, if chosen, the Startup shortcut
; an operator would otherwise make by hand. cmake/windows.cmake builds it (makensis) and gives:
;   TARGET   the stub: x86-unicode for the 32-bit build operators get, amd64-unicode for the 64-bit one
;   VERSION  the project's version, as 1.2.3
;   PROGRAM, GUIDE, ICON   relinka.exe, LEIAME.txt and relinka.ico
;   OUTFILE  the installer
Target ${TARGET}
SetCompressor /SOLID lzma
; No build times in the installer: the same sources give the same bytes.
SetDateSave off
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Relinka"
!define DESCRIPTION "Mantém o EchoLink conectado às estações amigas"
!define PUBLISHER "Tal Sistemas"

Name "Relinka"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Relinka"
; An upgrade goes where the installed one is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Relinka ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1046 "ProductName" "Relinka"
VIAddVersionKey /LANG=1046 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1046 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1046 "FileDescription" "Instalador do Relinka"
VIAddVersionKey /LANG=1046 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1046 "LegalCopyright" "© Fulano de Tal, ${PUBLISHER}"

!include MUI2.nsh
!include LogicLib.nsh
!include Sections.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_COMPONENTSPAGE_TEXT_TOP "Serão instalados o Relinka, o guia LEIAME.txt e um atalho no menu Iniciar. Marque abaixo se o Relinka deve abrir sozinho, minimizado, quando você entrar no Windows: ele vigia desde o primeiro segundo."
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_DIRECTORYPAGE_TEXT_TOP "O Relinka guarda a lista de estações (amigos.txt) na pasta em que é instalado; a pasta sugerida é só sua, e o Windows deixa o Relinka gravar nela. Se o Relinka já está instalado nesta pasta, ele é atualizado e a lista fica como está."
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_UNCONFIRMPAGE_TEXT_TOP "O Relinka, o guia e os atalhos serão removidos. A lista de estações (amigos.txt) e os outros arquivos que o Relinka gravou ficam na pasta."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "PortugueseBR"

; Windows refuses to open a running program's file for writing (the program's image is mapped from it),
; so a relinka.exe here that cannot be opened so is a Relinka running from this folder. The operator is
; asked to close it: ending it from here would stop a supervision. Silent, the installer gives up.
!macro WAIT_UNTIL_RELINKA_CLOSED un
Function ${un}WaitUntilRelinkaClosed
    IfFileExists "$INSTDIR\relinka.exe" 0 closed
  retry:
    ClearErrors
    FileOpen $0 "$INSTDIR\relinka.exe" a
    IfErrors 0 closing
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "O Relinka está aberto a partir da pasta $INSTDIR.$\r$\n$\r$\nFeche o Relinka (botão $\"Encerrar$\") e clique em Repetir." /SD IDCANCEL IDRETRY retry
    Abort "O Relinka está aberto: nada foi mudado."
  closing:
    FileClose $0
  closed:
FunctionEnd
!macroend
!insertmacro WAIT_UNTIL_RELINKA_CLOSED ""
!insertmacro WAIT_UNTIL_RELINKA_CLOSED "un."

; The files the installer puts, the only ones its uninstaller removes: whatever else is in the folder
; (amigos.txt, and any other file Relinka keeps) is the operator's.
Section "Relinka (o programa e o guia)" program_section
    SectionIn RO
    Call WaitUntilRelinkaClosed
    SetOutPath "$INSTDIR"
    File "/oname=relinka.exe" "${PROGRAM}"
    File "/oname=LEIAME.txt" "${GUIDE}"
    WriteUninstaller "$INSTDIR\desinstalar.exe"
    ; A shortcut's "Iniciar em" is the output folder: the install folder, where amigos.txt is.
    CreateShortcut "$SMPROGRAMS\Relinka.lnk" "$INSTDIR\relinka.exe" "" "$INSTDIR\relinka.exe" 0 \
        SW_SHOWNORMAL "" "${DESCRIPTION}"
SectionEnd

; NSIS's SW_SHOWMINIMIZED is the shortcut's "Minimizada" (SW_SHOWMINNOACTIVE): opened minimized,
; without taking the place of the operator's window.
Section "Iniciar o Relinka junto com o Windows (minimizado)" startup_section
    CreateShortcut "$SMSTARTUP\Relinka.lnk" "$INSTDIR\relinka.exe" "" "$INSTDIR\relinka.exe" 0 \
        SW_SHOWMINIMIZED "" "${DESCRIPTION}"
SectionEnd

Section "-registration"
    ; Unticked this time: an earlier installation's Startup shortcut goes too.
    ${IfNot} ${SectionIsSelected} ${startup_section}
        Delete "$SMSTARTUP\Relinka.lnk"
    ${EndIf}
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Relinka"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\relinka.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\desinstalar.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\desinstalar.exe" /S'
    SectionGetSize ${program_section} $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    Call un.WaitUntilRelinkaClosed
    Delete "$INSTDIR\relinka.exe"
    Delete "$INSTDIR\LEIAME.txt"
    Delete "$SMPROGRAMS\Relinka.lnk"
    Delete "$SMSTARTUP\Relinka.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    Delete "$INSTDIR\desinstalar.exe"
    ; Only an empty folder is removed.
    RMDir "$INSTDIR"
    ${If} ${FileExists} "$INSTDIR\*.*"
        DetailPrint "Ficaram em $INSTDIR: amigos.txt e os arquivos que o Relinka gravou."
        MessageBox MB_OK|MB_ICONINFORMATION "O Relinka foi removido.$\r$\n$\r$\nA lista de estações (amigos.txt) e os outros arquivos que o Relinka gravou ficaram na pasta $INSTDIR. Apague a pasta se não precisar mais deles." /SD IDOK
    ${EndIf}
SectionEnd
