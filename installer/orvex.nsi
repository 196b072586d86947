; Setup program for Orvex ScreenSaver 2.0, built by makensis (see CMakeLists.txt
; beside this file, which passes the paths below with -D).
;
; It puts orvex.scr into the 64-bit system folder, where the display settings
; look for screen savers, and the maker folder "Halvorn ScreenSavers" into the
; 64-bit Program Files:
;
;   Halvorn ScreenSavers\ss_ca_02.ini                    settings, kept if already there
;   Halvorn ScreenSavers\Patterns2d\*.lif *.rle *.cells  sample patterns
;   Halvorn ScreenSavers\Pictures\*.bmp                  sample pictures
;   Halvorn ScreenSavers\Information\Orvex ScreenSaver\  the user guide
;   Halvorn ScreenSavers\Uninstall Orvex ScreenSaver.exe
;
; Ordinary users (the Users group, by its SID, as group names are localised)
; get modify rights on the maker folder and what is in it, so the
; configuration dialog can save the settings, which it does through a
; temporary file beside them, and users can add their own patterns and pictures.
;
; Running it again over an installed copy upgrades in place: the saver and the
; guide are replaced; the settings file and every file already present in
; Patterns2d and Pictures are left as they are.
;
; Command line: /S installs silently. The uninstaller takes /S too; silently it
; keeps a settings file that differs from the one installed, unless /PURGE is
; given as well.
;
; Defines expected: OUTFILE, SCR, ICON, SETTINGS, FILES_NSH (the sample files,
; from CMake); TARGET (amd64-unicode or x86-unicode) is optional.

!ifdef TARGET
Target ${TARGET}
!endif
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh
!include ${FILES_NSH}

!define PRODUCT "Orvex ScreenSaver"
!define VERSION "2.0"
!define MAKER "Halvorn ScreenSavers"
!define SCR_NAME "orvex.scr"
!define UNINSTALLER "Uninstall Orvex ScreenSaver.exe"
!define GUIDE_DIR "Information\Orvex ScreenSaver"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\OrvexScreenSaver"
!define DESKTOP_KEY "Control Panel\Desktop"
!define USERS_SID "S-1-5-32-545"
; FILE_GENERIC_READ | FILE_GENERIC_WRITE | FILE_GENERIC_EXECUTE | DELETE: "modify"
!define MODIFY_RIGHTS 0x1301bf

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${MAKER}"
BrandingText "${MAKER}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "2.0.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "${MAKER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${MAKER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "This will install ${PRODUCT} ${VERSION}, an OpenGL screen saver that grows \
cellular automata (Life and Generations rules) and can stretch pictures over them.$\r$\n$\r$\n\
The screen saver goes into the Windows system folder; its settings, sample patterns, sample \
pictures and user guide go into $\"${MAKER}$\" in Program Files.$\r$\n$\r$\n\
If it is installed already, your settings and your own patterns and pictures are kept.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!define MUI_FINISHPAGE_NOAUTOCLOSE  ; the list of what was installed stays until Next
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "${PRODUCT} is installed"
!define MUI_FINISHPAGE_TEXT "${PRODUCT} now appears in the list of screen savers.$\r$\n$\r$\n\
Your own pictures and patterns go into $\"${MAKER}$\" in Program Files."
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Make ${PRODUCT} the current screen saver"
!define MUI_FINISHPAGE_RUN_FUNCTION MakeCurrentScreenSaver
!define MUI_FINISHPAGE_SHOWREADME
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Open the screen saver settings"
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION OpenScreenSaverSettings
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_FINISHPAGE_LINK "Read the user guide"
!define MUI_FINISHPAGE_LINK_LOCATION "$INSTDIR\${GUIDE_DIR}\index.html"
!define MUI_FINISHPAGE_NOREBOOTSUPPORT
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Var purge_settings

; Both the 64-bit and the 32-bit build of this script install into the 64-bit
; system: a 32-bit setup program turns off the file system redirection, which
; would send $SYSDIR to SysWOW64, and works in the 64-bit registry view.
; (A 64-bit setup program has neither: it doesn't start on 32-bit Windows.)
!macro Use64BitSystem
  !if ${NSIS_PTR_SIZE} <= 4
    ${DisableX64FSRedirection}
  !endif
  SetRegView 64
!macroend

Function .onInit
  !if ${NSIS_PTR_SIZE} <= 4
    ${IfNot} ${RunningX64}
      MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} ${VERSION} needs 64-bit Windows." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
  !endif
  !insertmacro Use64BitSystem
FunctionEnd

Section "Orvex ScreenSaver" SecMain
  SectionIn RO
  SetOverwrite on
  SetOutPath "$SYSDIR"
  File "/oname=${SCR_NAME}" "${SCR}"

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  SetOverwrite off  ; an upgrade keeps the user's settings
  File "/oname=ss_ca_02.ini" "${SETTINGS}"
  !insertmacro OrvexInstallSamples  ; patterns and pictures already there stay (overwrite off)
  SetOverwrite on
  !insertmacro OrvexInstallGuide

  Call GrantUsersModify

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${MAKER}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$SYSDIR\${SCR_NAME},0"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegStr HKLM "${UNINST_KEY}" "HelpLink" "$INSTDIR\${GUIDE_DIR}\index.html"
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  SectionGetSize ${SecMain} $0  ; kilobytes of the files above
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

; Adds "Users: modify, inherited by files and folders" to the maker folder's
; access list, keeping its other entries. Windows applies it to what the folder
; already holds as well.
Function GrantUsersModify
  StrCpy $R9 "failed"
  System::Call 'advapi32::ConvertStringSidToSidW(w "${USERS_SID}", *p .r1) i .r0'
  ${If} $0 <> 0
    ; r2: the folder's access list, r3: its security descriptor (to free)
    System::Call 'advapi32::GetNamedSecurityInfoW(w "$INSTDIR", i 1, i 4, p 0, p 0, *p .r2, p 0, *p .r3) i .r0'
    ${If} $0 = 0
      ; EXPLICIT_ACCESS: rights, GRANT_ACCESS (1), OBJECT_INHERIT | CONTAINER_INHERIT (3),
      ; then the trustee, which starts at the first pointer-aligned offset.
      System::Alloc 64
      Pop $4
      System::Call '*$4(i ${MODIFY_RIGHTS}, i 1, i 3)'
      !if ${NSIS_PTR_SIZE} > 4
        IntPtrOp $5 $4 + 16
      !else
        IntPtrOp $5 $4 + 12
      !endif
      System::Call 'advapi32::BuildTrusteeWithSidW(p r5, p r1)'
      System::Call 'advapi32::SetEntriesInAclW(i 1, p r4, p r2, *p .r6) i .r0'
      ${If} $0 = 0
        System::Call 'advapi32::SetNamedSecurityInfoW(w "$INSTDIR", i 1, i 4, p 0, p 0, p r6, p 0) i .r0'
        ${If} $0 = 0
          StrCpy $R9 "ok"
        ${EndIf}
        System::Call 'kernel32::LocalFree(p r6)'
      ${EndIf}
      System::Free $4
      System::Call 'kernel32::LocalFree(p r3)'
    ${EndIf}
    System::Call 'kernel32::LocalFree(p r1)'
  ${EndIf}
  ${If} $R9 == "ok"
    DetailPrint "Users may change the settings, patterns and pictures in $INSTDIR"
  ${Else}
    DetailPrint "Could not give Users the right to change $INSTDIR (error $0)"
    MessageBox MB_OK|MB_ICONEXCLAMATION "Ordinary users could not be given the right to change \
      $\"$INSTDIR$\". The screen saver works, but only an administrator can save its settings." /SD IDOK
  ${EndIf}
FunctionEnd

Function MakeCurrentScreenSaver
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\${SCR_NAME}"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  ; Tell running programs that the desktop settings changed.
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:${DESKTOP_KEY}" /TIMEOUT=2000
FunctionEnd

Function OpenScreenSaverSettings
  Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
FunctionEnd

; ---- uninstaller ------------------------------------------------------------

Function un.onInit
  !insertmacro Use64BitSystem
  StrCpy $purge_settings 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/PURGE" $1
  ${IfNot} ${Errors}
    StrCpy $purge_settings 1
  ${EndIf}
FunctionEnd

; Pushes 1 when the two files hold the same lines, else 0.
; Usage: Push FILE_A, Push FILE_B, Call un.SameLines, Pop RESULT.
Function un.SameLines
  Exch $R0
  Exch
  Exch $R1
  Push $R2
  Push $R3
  Push $R4
  Push $R5
  StrCpy $R5 0
  ClearErrors
  FileOpen $R2 $R1 r
  ${IfNot} ${Errors}
    FileOpen $R3 $R0 r
    ${IfNot} ${Errors}
      ${Do}
        ClearErrors
        FileRead $R2 $R4
        ${If} ${Errors}  ; the first file ended: the same if the second ends too
          ClearErrors
          FileRead $R3 $R1
          ${If} ${Errors}
            StrCpy $R5 1
          ${EndIf}
          ${Break}
        ${EndIf}
        FileRead $R3 $R1
        ${If} ${Errors}
          ${Break}
        ${EndIf}
      ${LoopWhile} $R4 S== $R1
      FileClose $R3
    ${EndIf}
    FileClose $R2
  ${EndIf}
  StrCpy $R0 $R5
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
  Exch $R0
FunctionEnd

; The settings file goes unless the user changed it and wants to keep it.
Function un.RemoveSettings
  IfFileExists "$INSTDIR\ss_ca_02.ini" 0 done
  InitPluginsDir
  SetOutPath "$PLUGINSDIR"
  File "/oname=installed.ini" "${SETTINGS}"
  SetOutPath "$TEMP"
  Push "$INSTDIR\ss_ca_02.ini"
  Push "$PLUGINSDIR\installed.ini"
  Call un.SameLines
  Pop $0
  ${If} $0 = 0
  ${AndIf} $purge_settings = 0
    MessageBox MB_YESNO|MB_ICONQUESTION "You have changed the settings of ${PRODUCT}.$\r$\n$\r$\n\
      Keep them (the file ss_ca_02.ini in $\"$INSTDIR$\") for a later installation?" /SD IDYES IDNO remove
    DetailPrint "Kept: $INSTDIR\ss_ca_02.ini"
    Goto done
  ${EndIf}
  remove:
  Delete "$INSTDIR\ss_ca_02.ini"
  done:
  Delete "$INSTDIR\ss_ca_02.ini.tmp"  ; left behind only if a save was cut short
FunctionEnd

Section "Uninstall"
  ; A current screen saver that is about to disappear would leave Windows with
  ; a setting that points nowhere.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 == "$SYSDIR\${SCR_NAME}"
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}
  Delete /REBOOTOK "$SYSDIR\${SCR_NAME}"  ; still running (a preview), it goes at the next start

  Call un.RemoveSettings
  !insertmacro OrvexRemoveSamples
  !insertmacro OrvexRemoveGuide
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Folders go only when empty: files the user added stay, and so does the
  ; maker folder while other screen savers of the maker live in it.
  RMDir "$INSTDIR\Patterns2d"
  RMDir "$INSTDIR\Pictures"
  RMDir "$INSTDIR\${GUIDE_DIR}"
  RMDir "$INSTDIR\Information"
  RMDir "$INSTDIR"

  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
