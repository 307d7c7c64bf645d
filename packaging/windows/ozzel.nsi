; The per-user Windows installer: the program, its resources and fonts, and one demo medium in the
; language of Windows (Czech when we have none in it), registered as the suite's installer did.
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

!define MUI_ICON "${STAGE}\ozzel.ico"
!define MUI_UNICON "${STAGE}\ozzel.ico"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\ozzel.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Czech"
!insertmacro MUI_LANGUAGE "Slovak"
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "Polish"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Spanish"

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
  ; The display language's primary language: Czech 05, Slovak 1B, English 09, German 07, Polish 15,
  ; French 0C, Spanish 0A; anything else gets the Czech medium.
  System::Call 'kernel32::GetUserDefaultUILanguage() i .r0'
  IntOp $0 $0 & 0x3FF
  StrCpy $Chosen ${SecCs}
  ${If} $0 = 0x1B
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
  !insertmacro UnselectSection ${SecCs}
  !insertmacro UnselectSection ${SecSk}
  !insertmacro UnselectSection ${SecEn}
  !insertmacro UnselectSection ${SecDe}
  !insertmacro UnselectSection ${SecPl}
  !insertmacro UnselectSection ${SecFr}
  !insertmacro UnselectSection ${SecEs}
  !insertmacro SelectSection $Chosen
FunctionEnd

Function .onSelChange
  !insertmacro StartRadioButtons $Chosen
    !insertmacro RadioButton ${SecCs}
    !insertmacro RadioButton ${SecSk}
    !insertmacro RadioButton ${SecEn}
    !insertmacro RadioButton ${SecDe}
    !insertmacro RadioButton ${SecPl}
    !insertmacro RadioButton ${SecFr}
    !insertmacro RadioButton ${SecEs}
  !insertmacro EndRadioButtons
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

; Removes what was installed; the user's settings and counters (the rest of Software\Orvel Team and
; Software\Ozzel) stay. The data root goes only while it still names our medium.
Section "Uninstall"
  Delete "$SMPROGRAMS\${APP}.lnk"
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
  DeleteRegKey HKCU "${UNINST}"
SectionEnd
