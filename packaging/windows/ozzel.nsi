; The per-user Windows installer: the program, its resources and fonts, and one demo medium in the
; language of Windows (English when we have none in it), registered as the suite's installer did.
; An existing install is updated where it is.
; Built by scripts/build-windows --installer, which passes VERSION, STAGE (the staged files) and OUTFILE.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
SetCompressorDictSize 64
RequestExecutionLevel user  ; no administrator: everything goes into the user's own folders and keys

!include MUI2.nsh
!include Sections.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define APP "Ozzel"
!define ODKLON "Software\Orvel Team\BM4\Odklon"
!define UNINST "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ozzel"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Ozzel"
InstallDirRegKey HKCU "${UNINST}" "InstallLocation"
BrandingText "${APP} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${APP}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${APP} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "Ozzel developers"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Ozzel developers"

!define MUI_ICON "${STAGE}\ozzel.ico"
!define MUI_UNICON "${STAGE}\ozzel.ico"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipDirectoryWhenInstalled
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\ozzel.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The first is the installer's language on a Windows in none of these.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Czech"
!insertmacro MUI_LANGUAGE "Slovak"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "Polish"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Spanish"

; The Start-menu entry that opens the parents' page, named as the desktop action is on Linux.
LangString ParentsEntry ${LANG_ENGLISH} "Settings for parents"
LangString ParentsEntry ${LANG_CZECH} "Nastavení pro rodiče"
LangString ParentsEntry ${LANG_SLOVAK} "Nastavenia pre rodičov"
LangString ParentsEntry ${LANG_GERMAN} "Einstellungen für Eltern"
LangString ParentsEntry ${LANG_POLISH} "Ustawienia dla rodziców"
LangString ParentsEntry ${LANG_FRENCH} "Réglages pour les parents"
LangString ParentsEntry ${LANG_SPANISH} "Ajustes para padres"

Section "-Program"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${STAGE}\ozzel.exe"
  File "${STAGE}\ozzel.ico"
  SetOutPath "$INSTDIR\resources"
  File /r "${STAGE}\resources\*.*"
  SetOutPath "$INSTDIR\fonts"
  File /r "${STAGE}\fonts\*.*"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\ozzel.exe" "" "$INSTDIR\ozzel.exe" 0
  ; An update in another language leaves no entry of the old one behind.
  ReadRegStr $0 HKCU "${UNINST}" "ParentsShortcut"
  ${If} $0 != ""
    Delete "$0"
  ${EndIf}
  CreateShortCut "$SMPROGRAMS\${APP} - $(ParentsEntry).lnk" "$INSTDIR\ozzel.exe" "--parents" "$INSTDIR\ozzel.exe" 0
  WriteRegStr HKCU "${UNINST}" "ParentsShortcut" "$SMPROGRAMS\${APP} - $(ParentsEntry).lnk"
  ; The system's list of installed programs, for this user.
  WriteRegStr HKCU "${UNINST}" "DisplayName" "${APP}"
  WriteRegStr HKCU "${UNINST}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST}" "DisplayIcon" "$INSTDIR\ozzel.exe,0"
  WriteRegStr HKCU "${UNINST}" "Publisher" "Ozzel developers"
  WriteRegStr HKCU "${UNINST}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINST}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINST}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST}" "NoRepair" 1
SectionEnd

; One demo medium: the sections are a radio group, chosen from the display language in .onInit,
; on the components page, or with /LANG=xx on the command line (silent installs).
!macro MEDIUM id name lang
  Section "${name}" ${id}
    ; An update may bring another language: no files of the old medium stay among the new one's.
    RMDir /r "$INSTDIR\medium"
    SetOutPath "$INSTDIR\medium"
    File /r "${STAGE}\media\${lang}\*.*"
    ; The data root, as the suite's installer wrote it; the program reads \bm4\_ozzel below it.
    WriteRegStr HKCU "${ODKLON}" "kde_je_BM4" "$INSTDIR\medium"
    WriteRegStr HKCU "${UNINST}" "MediumLanguage" "${lang}"
  SectionEnd
!macroend
SectionGroup /e "Demo"
  !insertmacro MEDIUM SecCs "Čeština" cs
  !insertmacro MEDIUM SecSk "Slovenčina" sk
  !insertmacro MEDIUM SecEn "English" en
  !insertmacro MEDIUM SecDe "Deutsch" de
  !insertmacro MEDIUM SecPl "Polski" pl
  !insertmacro MEDIUM SecFr "Français" fr
  !insertmacro MEDIUM SecEs "Español" es
SectionGroupEnd

Section "-Size"
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINST}" "EstimatedSize" $0
SectionEnd

Var Chosen

Function .onInit
  SetShellVarContext current
  ; Installed already: the new version goes where the old one is (a second copy would be orphaned).
  ReadRegStr $0 HKCU "${UNINST}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\ozzel.exe"
    StrCpy $INSTDIR $0
  ${EndIf}
  ; The display language's primary language: Czech 05, Slovak 1B, English 09, German 07, Polish 15,
  ; French 0C, Spanish 0A; anything else gets the English medium.
  System::Call 'kernel32::GetUserDefaultUILanguage() i .r0'
  IntOp $0 $0 & 0x3FF
  StrCpy $Chosen ${SecEn}
  ${If} $0 = 0x05
    StrCpy $Chosen ${SecCs}
  ${ElseIf} $0 = 0x1B
    StrCpy $Chosen ${SecSk}
  ${ElseIf} $0 = 0x09
    StrCpy $Chosen ${SecEn}
  ${ElseIf} $0 = 0x07
    StrCpy $Chosen ${SecDe}
  ${ElseIf} $0 = 0x15
    StrCpy $Chosen ${SecPl}
  ${ElseIf} $0 = 0x0C
    StrCpy $Chosen ${SecFr}
  ${ElseIf} $0 = 0x0A
    StrCpy $Chosen ${SecEs}
  ${EndIf}
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/LANG=" $2
  ${IfNot} ${Errors}
    ${If} $2 == "cs"
      StrCpy $Chosen ${SecCs}
    ${ElseIf} $2 == "sk"
      StrCpy $Chosen ${SecSk}
    ${ElseIf} $2 == "en"
      StrCpy $Chosen ${SecEn}
    ${ElseIf} $2 == "de"
      StrCpy $Chosen ${SecDe}
    ${ElseIf} $2 == "pl"
      StrCpy $Chosen ${SecPl}
    ${ElseIf} $2 == "fr"
      StrCpy $Chosen ${SecFr}
    ${ElseIf} $2 == "es"
      StrCpy $Chosen ${SecEs}
    ${EndIf}
  ${EndIf}
  Call ShowChosen
FunctionEnd

; Exactly the chosen medium ticked.
Function ShowChosen
  ${For} $R0 ${SecCs} ${SecEs}
    !insertmacro UnselectSection $R0
  ${Next}
  !insertmacro SelectSection $Chosen
FunctionEnd

; One medium, as radio buttons: a click that ticks one other medium chooses it; a click on the group
; (ticking all or none) or on the chosen one leaves the choice as it was.
Function .onSelChange
  StrCpy $R2 0  ; other media ticked now
  StrCpy $R3 $Chosen
  ${For} $R0 ${SecCs} ${SecEs}
    ${If} $R0 <> $Chosen
    ${AndIf} ${SectionIsSelected} $R0
      IntOp $R2 $R2 + 1
      StrCpy $R3 $R0
    ${EndIf}
  ${Next}
  ${If} $R2 = 1
    StrCpy $Chosen $R3
  ${EndIf}
  Call ShowChosen
FunctionEnd

Function SkipDirectoryWhenInstalled
  ReadRegStr $0 HKCU "${UNINST}" "InstallLocation"
  ${If} $0 == $INSTDIR
  ${AndIf} ${FileExists} "$INSTDIR\ozzel.exe"
    Abort
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

; Removes what was installed; the user's settings and counters (the rest of Software\Orvel Team and
; Software\Ozzel) stay. The data root goes only while it still names our medium; the Start-menu entries
; and the entry in the list of installed programs only while they are this copy's (an older installer
; could leave a second copy, whose removal must not take the entries of the one in use).
Section "Uninstall"
  ReadRegStr $1 HKCU "${UNINST}" "InstallLocation"
  ${If} $1 == ""
  ${OrIf} $1 == $INSTDIR
    Delete "$SMPROGRAMS\${APP}.lnk"
    ReadRegStr $0 HKCU "${UNINST}" "ParentsShortcut"
    ${If} $0 != ""
      Delete "$0"
    ${EndIf}
    DeleteRegKey HKCU "${UNINST}"
  ${EndIf}
  ReadRegStr $0 HKCU "${ODKLON}" "kde_je_BM4"
  ${If} $0 == "$INSTDIR\medium"
    DeleteRegValue HKCU "${ODKLON}" "kde_je_BM4"
  ${EndIf}
  RMDir /r "$INSTDIR\medium"
  RMDir /r "$INSTDIR\resources"
  RMDir /r "$INSTDIR\fonts"
  Delete "$INSTDIR\ozzel.exe"
  Delete "$INSTDIR\ozzel.ico"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
