; Setup program for Orvex ScreenSaver 2.0, built by makensis (see CMakeLists.txt
; beside this file, which passes the paths below with -D). It is a 64-bit
; program (NSIS target amd64-unicode): it puts orvex.scr into the 64-bit system
; folder, where the display settings look for screen savers, and the maker
; folder "Halvorn ScreenSavers" into the 64-bit Program Files.
;
; Who may do what. Each folder of ours gets Administrators (S-1-5-32-544) as
; its owner and an access list of its own, not inherited from Program Files
; (so an older, broader grant cannot survive an upgrade), both in one call on a
; handle to the folder itself (never through a link), and without rewriting
; the lists of what the folder holds (SetSecurityInfo would: a file there may
; be a hard link a user made to a file elsewhere). The owner matters for an
; upgrade of the first layout, where any user could make Uninstall\ or
; Information\ and own it: an owner may always rewrite the list. (The setup
; program enables the administrators' restore privilege for this, so that a
; list such a user set to keep administrators out does not stop it.) Each file
; the setup program writes there gets the same: Administrators as its owner and
; a list of its own, set on the handle of the file it has just made, before its
; bytes (PlaceNewFile); a file the settings dialog or a user makes later gets
; the list its folder hands down. SYSTEM and Administrators have full control of
; every folder and what it holds. Users (by SID S-1-5-32-545; group names are
; localised) get:
;
;   path in the maker folder    Users may                      why
;   .  (the folder itself)      list, read, create files       the settings dialog creates ss_ca_02.ini.*.tmp
;                               (0x1200ab, not inherited);     and renames it over ss_ca_02.ini; no user can
;                               no folders, no deleting or     add, rename or replace a folder here
;                               renaming of the folder
;   ss_ca_02.ini, its .tmp      read, change, delete           every user saves over the file that the
;   (each file directly in .)   (modify 0x1301bf: handed down  installer or another user wrote; nothing
;                               by the folder to files one     elevated runs or loads a file from here
;                               level down, set on the one
;                               the setup program writes)
;   Patterns2d\, Pictures\      as ".": create files only      the saver reads them; users add patterns and
;   their files                 modify, as for ss_ca_02.ini    pictures, change and remove them
;   Uninstall\ and the          read and run (0x1200a9, set    Add/Remove Programs runs the uninstaller
;   uninstaller in it           on the folder and on the       elevated: no one may replace it, or plant
;                               uninstaller itself)            a DLL beside it
;   Information\, Information\  read (0x1200a9, set on the     the setup program opens the guide from its
;   Orvex ScreenSaver\ (guide)  folders and on each file)      last page, elevated
;   System32\orvex.scr          read and run (System32's own)  the display settings run it
;
; Nothing is written into or deleted from a folder by a path that was checked
; earlier. The setup program and the uninstaller open each folder as itself
; (FILE_FLAG_OPEN_REPARSE_POINT), check on that handle that it is a folder and
; not a junction or other link (else the folder is left alone; a maker folder
; that is one stops them), and keep the handle open while they write into the
; folder or delete from it, sharing it for reading only. While it is open no
; one can rename or delete the folder (that needs DELETE access, not shared),
; nor open it for writing, which making a junction of an empty folder needs
; (FILE_WRITE_DATA, not shared; Users never have FILE_WRITE_ATTRIBUTES on a
; folder of ours), so the checked folder is the one the paths reach: the
; maker folder stays open until the end, and Program Files above it belongs to
; the administrators. A program that holds a folder open for writing or
; deleting makes the open fail, and the folder is treated as unsound.
;
; Every file the setup program writes under the maker folder is made new: its
; bytes are unpacked (the uninstaller written) into the setup program's own
; temporary folder first, then copied into a file created with CREATE_NEW,
; which fails where any file or link of that name exists, so nothing is ever
; written through one; it is opened for no one else, gets its owner and list on
; that handle, and is refused (deleted again, and the setup program stops) when
; it has a second name, a hard link to it. The settings file and the samples
; are written only where no file of that name exists; the guide and the
; uninstaller, whose names any user could take in the first layout, are deleted
; first, and so is everything else in Uninstall\ and the first layout's
; uninstaller. Each of those deletes is checked: a name that is still there
; (another program holds the file open without sharing its deletion, or it is
; a folder) stops the setup program with status 2 before anything is written
; in its place or the registry names it.
;
;   Halvorn ScreenSavers\ss_ca_02.ini                    settings, kept if already there
;   Halvorn ScreenSavers\Patterns2d\*.lif *.rle *.cells  sample patterns
;   Halvorn ScreenSavers\Pictures\*.bmp                  sample pictures
;   Halvorn ScreenSavers\Information\Orvex ScreenSaver\  the user guide
;   Halvorn ScreenSavers\Uninstall\Uninstall Orvex ScreenSaver.exe
;
; Running it again over an installed copy upgrades in place: the saver and the
; guide are replaced; the settings file and every file already present in
; Patterns2d and Pictures are left as they are. An installation of the first
; layout (the uninstaller in the maker folder, Users allowed to change
; everything there) loses its uninstaller and its broad grant.
;
; "Make current" (the last page, or /CURRENT with /S) changes the screen saver
; of the user logged on to this session, who started the setup program, and
; not the administrator whose rights it runs with. The values it replaces are
; kept in the Add/Remove Programs key (only administrators write there); the
; uninstaller puts them back for every such user whose settings still name
; orvex.scr and who is logged on.
;
; Command line: /S installs silently, /CURRENT then makes it the current screen
; saver. The uninstaller takes /S too; silently it keeps a settings file that
; differs from the one installed, unless /PURGE is given as well.
;
; Defines expected: OUTFILE, SCR, ICON, SETTINGS, FILES_NSH (the sample files,
; from CMake); SIGN optional.

Target amd64-unicode
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include ${FILES_NSH}

!define PRODUCT "Orvex ScreenSaver"
!define VERSION "2.0"
!define MAKER "Halvorn ScreenSavers"
!define SCR_NAME "orvex.scr"
!define UNINSTALLER "Uninstall Orvex ScreenSaver.exe"
!define GUIDE_DIR "Information\Orvex ScreenSaver"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\OrvexScreenSaver"
!define DESKTOP_KEY "Control Panel\Desktop"
!define UNINSTALL_DIR "Uninstall"
!define OLD_UNINSTALLER "$INSTDIR\${UNINSTALLER}"  ; where the first layout had it
!define PREVIOUS_KEY "${UNINST_KEY}\Previous screen saver"  ; a subkey per user SID
; Well-known SIDs: SYSTEM (S-1-5-18), Administrators (S-1-5-32-544), Users (S-1-5-32-545)
!define SYSTEM_SID 22
!define ADMINS_SID 26
!define USERS_SID 27
; Rights: full control; modify (FILE_GENERIC_READ | WRITE | EXECUTE | DELETE);
; read and execute (list and traverse on folders); that and FILE_ADD_FILE.
!define FULL_RIGHTS 0x1f01ff
!define MODIFY_RIGHTS 0x1301bf
!define READ_RIGHTS 0x1200a9
!define ADD_FILE_RIGHTS 0x1200ab
; Inheritance: the folder and all below it (OBJECT_INHERIT | CONTAINER_INHERIT);
; only the files directly in it (OBJECT_INHERIT | NO_PROPAGATE | INHERIT_ONLY).
!define TREE 3
!define FILES_ONLY 0xd
!define FILE_ATTRIBUTE_DIRECTORY 0x10
!define EXISTS_ALREADY "exists already"  ; PlaceNewFile's answer when the name is taken

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
; SIGN, when defined (a certificate was given), signs the file named after it in
; place: the uninstaller before it is packed into the setup program, and the
; setup program once it is written.
!ifdef SIGN
  !uninstfinalize '${SIGN} "%1"' = 0
  !finalize '${SIGN} "%1"' = 0
!endif
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
Var make_current
; Handles on our folders, held while files are written into or deleted from them.
Var maker_folder
Var uninstall_folder
Var patterns_folder
Var pictures_folder
Var information_folder
Var guide_folder

!macro OrvexNothing
!macroend
!macro OrvexRemoveUninstaller
  Delete "$INSTDIR\${UNINSTALL_DIR}\${UNINSTALLER}"
!macroend

; Pushes 1 when HANDLE is open on a folder itself, not on a junction, mount
; point or other link to one, nor on a file, and PATH, looked up while the
; handle holds the folder, is a folder too (Wine opens through a link even when
; asked not to, but shows the link in the path's attributes); else 0.
; Usage: Push PATH, Push HANDLE, Call IsPlainFolder, Pop RESULT.
!macro IsPlainFolderFunction UN
Function ${UN}IsPlainFolder
  Exch $0
  Exch
  Exch $1
  Push $2
  Push $3
  System::Alloc 52  ; BY_HANDLE_FILE_INFORMATION, dwFileAttributes first
  Pop $3
  System::Call 'kernel32::GetFileInformationByHandle(p r0, p r3) i .r2'
  System::Call '*$3(i .r0)'
  System::Free $3
  ${If} $2 = 0
    StrCpy $0 -1  ; INVALID_FILE_ATTRIBUTES: every bit
  ${EndIf}
  System::Call 'kernel32::GetFileAttributesW(w r1) i .r1'
  IntOp $0 $0 | $1
  IntOp $0 $0 & 0x410  ; FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY
  ${If} $0 = ${FILE_ATTRIBUTE_DIRECTORY}
    StrCpy $0 1
  ${Else}
    StrCpy $0 0
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro IsPlainFolderFunction ""
!insertmacro IsPlainFolderFunction "un."

; Opens the folder at the path on the stack as itself and pushes the handle: 0
; when the path is a junction, mount point or other link to a folder, a file in
; a folder's place, missing, or held by another program for writing or
; deleting. Until the handle is closed (CloseFolder) no one can delete or rename
; the folder, nor open it to write, so it cannot become a junction either:
; deleting from it by path stays inside it.
!macro HoldFolderFunction UN
Function ${UN}HoldFolder
  Exch $0
  Push $1
  ; FILE_READ_ATTRIBUTES, shared for reading only;
  ; FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT
  System::Call 'kernel32::CreateFileW(w r0, i 0x80, i 1, p 0, i 3, i 0x02200000, p 0) p .r1'
  ${If} $1 P= -1
    StrCpy $0 0
  ${Else}
    Push $0
    Push $1
    Call ${UN}IsPlainFolder
    Pop $0
    ${If} $0 = 1
      StrCpy $0 $1
    ${Else}
      System::Call 'kernel32::CloseHandle(p r1)'
      StrCpy $0 0
    ${EndIf}
  ${EndIf}
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro HoldFolderFunction "un."

; Closes a folder handle of HoldFolder or MakeOwnFolder, if there is one.
!macro CloseFolder HANDLE
  ${If} ${HANDLE} P<> 0
    System::Call 'kernel32::CloseHandle(p ${HANDLE})'
    StrCpy ${HANDLE} 0
  ${EndIf}
!macroend

; The SID in register SID as text (S-1-5-...) into OUT; OUT stays as it is on failure.
!macro SidText SID OUT
  System::Call 'advapi32::ConvertSidToStringSidW(p ${SID}, *p .r3) i .r2'
  ${If} $2 <> 0
    System::Call '*$3(&w256 .s)'
    Pop ${OUT}
    System::Call 'kernel32::LocalFree(p r3)'
  ${EndIf}
!macroend

; Pushes the SID (as text) of the user logged on to this session, who started
; this program also when it runs with the rights of another, administrator
; account; else the SID of this process's own user; "" if neither is found.
!macro StartingUserFunction UN
Function ${UN}StartingUser
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  StrCpy $4 ""
  ; WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION; WTSUserName (5), WTSDomainName (7)
  System::Call 'wtsapi32::WTSQuerySessionInformationW(p 0, i -1, i 5, *p .r0, *i .r1) i .r2'
  ${If} $2 <> 0
    System::Call 'wtsapi32::WTSQuerySessionInformationW(p 0, i -1, i 7, *p .r1, *i .r3) i .r2'
    ${If} $2 <> 0
      System::Call '*$1(&w256 .r3)'
      System::Call 'wtsapi32::WTSFreeMemory(p r1)'
      System::Call '*$0(&w256 .r2)'
      ${If} $2 != ""  ; none in a service's session
        StrCpy $3 "$3\$2"
        System::Alloc 68  ; SECURITY_MAX_SID_SIZE
        Pop $5
        System::Call 'advapi32::LookupAccountNameW(p 0, w r3, p r5, *i 68, w .r1, *i ${NSIS_MAX_STRLEN}, *i .r2) i .r2'
        ${If} $2 <> 0
          !insertmacro SidText $5 $4
        ${EndIf}
        System::Free $5
      ${EndIf}
    ${EndIf}
    System::Call 'wtsapi32::WTSFreeMemory(p r0)'
  ${EndIf}
  ${If} $4 == ""
    System::Call 'kernel32::GetCurrentProcess() p .r0'
    System::Call 'advapi32::OpenProcessToken(p r0, i 8, *p .r1) i .r2'  ; TOKEN_QUERY
    ${If} $2 <> 0
      System::Alloc 256
      Pop $5
      System::Call 'advapi32::GetTokenInformation(p r1, i 1, p r5, i 256, *i .r0) i .r2'  ; TokenUser
      ${If} $2 <> 0
        System::Call '*$5(p .r0)'
        !insertmacro SidText $0 $4
      ${EndIf}
      System::Free $5
      System::Call 'kernel32::CloseHandle(p r1)'
    ${EndIf}
  ${EndIf}
  StrCpy $0 $4
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro StartingUserFunction ""
!insertmacro StartingUserFunction "un."

Function .onInit
  StrCpy $make_current 0
  ; The restore privilege of the administrator's token, enabled: see MakeOwnFolder.
  System::Call 'kernel32::GetCurrentProcess() p .r0'
  System::Call 'advapi32::OpenProcessToken(p r0, i 0x20, *p .r1) i .r2'  ; TOKEN_ADJUST_PRIVILEGES
  ${If} $2 <> 0
    System::Call '*(i 1, i 0, i 0, i 2) p .r2'  ; TOKEN_PRIVILEGES: one LUID, SE_PRIVILEGE_ENABLED
    IntPtrOp $3 $2 + 4
    System::Call 'advapi32::LookupPrivilegeValueW(p 0, w "SeRestorePrivilege", p r3) i .r0'
    ${If} $0 <> 0
      System::Call 'advapi32::AdjustTokenPrivileges(p r1, i 0, p r2, i 0, p 0, p 0)'
    ${EndIf}
    System::Free $2
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/CURRENT" $1
  ${IfNot} ${Errors}
    StrCpy $make_current 1
  ${EndIf}
FunctionEnd

; One entry of an EXPLICIT_ACCESS_W array at $3 (48 bytes each): grant RIGHTS
; with INHERIT to the SID in register SID.
!macro GrantEntry OFFSET RIGHTS INHERIT SID
  IntPtrOp $5 $3 + ${OFFSET}
  System::Call '*$5(i ${RIGHTS}, i 1, i ${INHERIT})'  ; GRANT_ACCESS
  IntPtrOp $5 $5 + 16
  System::Call 'advapi32::BuildTrusteeWithSidW(p r5, p ${SID})'
!macroend

; Sets, on the handle $R2 and on nothing else, Administrators as the owner and
; an access list of its own, nothing inherited: SYSTEM and Administrators full
; control, Users what the table at the top says for $R1 ("user" or "read") on
; a $R3 ("folder", whose entries are inherited by what is made in it as the
; table says, or "file"). SetSecurityInfo would rewrite the lists of what a
; folder holds, and a file there may be a hard link a user made to a file
; elsewhere. $9: 1 when both are set, else 0. Uses $0 to $9.
Function SetOwnSecurity
  StrCpy $9 0
  System::Alloc 204  ; three SIDs of SECURITY_MAX_SID_SIZE
  Pop $6
  IntPtrOp $7 $6 + 68
  IntPtrOp $8 $7 + 68
  System::Call 'advapi32::CreateWellKnownSid(i ${SYSTEM_SID}, p 0, p r6, *i 68) i .r0'
  System::Call 'advapi32::CreateWellKnownSid(i ${ADMINS_SID}, p 0, p r7, *i 68) i .r1'
  System::Call 'advapi32::CreateWellKnownSid(i ${USERS_SID}, p 0, p r8, *i 68) i .r2'
  ${If} $0 <> 0
  ${AndIf} $1 <> 0
  ${AndIf} $2 <> 0
    System::Alloc 192
    Pop $3
    StrCpy $2 0  ; a file's entries have nothing to be inherited by
    ${If} $R3 == "folder"
      StrCpy $2 ${TREE}
    ${EndIf}
    !insertmacro GrantEntry 0 ${FULL_RIGHTS} $2 r6
    !insertmacro GrantEntry 48 ${FULL_RIGHTS} $2 r7
    StrCpy $4 3
    ${If} $R1 == "read"
      !insertmacro GrantEntry 96 ${READ_RIGHTS} $2 r8
    ${ElseIf} $R3 == "folder"
      StrCpy $4 4
      !insertmacro GrantEntry 96 ${ADD_FILE_RIGHTS} 0 r8
      !insertmacro GrantEntry 144 ${MODIFY_RIGHTS} ${FILES_ONLY} r8
    ${Else}
      !insertmacro GrantEntry 96 ${MODIFY_RIGHTS} 0 r8
    ${EndIf}
    System::Call 'advapi32::SetEntriesInAclW(i r4, p r3, p 0, *p .r4) i .r0'
    ${If} $0 = 0
      System::Alloc 64  ; SECURITY_DESCRIPTOR
      Pop $2
      System::Call 'advapi32::InitializeSecurityDescriptor(p r2, i 1)'
      System::Call 'advapi32::SetSecurityDescriptorOwner(p r2, p r7, i 0)'
      System::Call 'advapi32::SetSecurityDescriptorDacl(p r2, i 1, p r4, i 0)'
      System::Call 'advapi32::SetSecurityDescriptorControl(p r2, i 0x1000, i 0x1000)'  ; SE_DACL_PROTECTED
      ; OWNER_ and DACL_SECURITY_INFORMATION on the handle's object alone.
      System::Call 'advapi32::SetKernelObjectSecurity(p R2, i 5, p r2) i .r0'
      ${If} $0 <> 0
        StrCpy $9 1
      ${EndIf}
      System::Free $2
      System::Call 'kernel32::LocalFree(p r4)'
    ${EndIf}
    System::Free $3
  ${EndIf}
  System::Free $6
FunctionEnd

; Creates the folder $R0 if it is missing, opens it as itself (a junction, a
; link or a file in its place is refused, not followed) and sets, on that
; handle, Administrators as its owner and the access list $R1 ("user" or
; "read", see SetOwnSecurity). Both are set together, so a user who made the
; folder in the first layout is no longer its owner and cannot give the list
; back to himself; what the folder holds keeps its own lists. $R9: "ok", or
; what the path is instead. $R8: on "ok" the handle, held open (see
; HoldFolder) until the caller is done in the folder and closes it
; (CloseFolder); else 0. Uses $0 to $9, $R2 and $R3.
Function MakeOwnFolder
  StrCpy $R8 0
  StrCpy $R9 "not a folder: a junction, a link or a file, or one that another program holds open"
  CreateDirectory $R0
  ; WRITE_OWNER | WRITE_DAC | FILE_READ_ATTRIBUTES, shared for reading only;
  ; FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT. With backup
  ; semantics the restore privilege (see .onInit) grants the first two also
  ; when the folder's list, set by a user who owned it, keeps administrators out.
  System::Call 'kernel32::CreateFileW(w R0, i 0xc0080, i 1, p 0, i 3, i 0x02200000, p 0) p .R8'
  ${If} $R8 P= -1
    StrCpy $R8 0
    Return
  ${EndIf}
  Push $R0
  Push $R8
  Call IsPlainFolder
  Pop $0
  ${If} $0 <> 1
    StrCpy $R9 "not a folder: a junction, a link or a file"
    !insertmacro CloseFolder $R8
    Return
  ${EndIf}
  StrCpy $R9 "a folder whose owner and access list could not be set"
  StrCpy $R2 $R8
  StrCpy $R3 "folder"
  Call SetOwnSecurity
  ${If} $9 = 1
    StrCpy $R9 "ok"
  ${Else}
    !insertmacro CloseFolder $R8
  ${EndIf}
FunctionEnd

; Writes the file $R4 new with the bytes of the file $R5. It is created only
; where no file of that name exists (CREATE_NEW: nothing is written through a
; file or a link already there) and opened for no one else; on that handle it
; gets Administrators as its owner and the access list $R1 (see
; SetOwnSecurity), is refused when it has another name as well (a hard link to
; it), and only then gets its bytes. $R7: "ok"; "${EXISTS_ALREADY}" when a file
; of that name is there (nothing is written); else what went wrong, and the new
; file is gone again. Uses $0 to $9 and $R2 to $R7.
Function PlaceNewFile
  ; GENERIC_WRITE | WRITE_OWNER | WRITE_DAC | DELETE | FILE_READ_ATTRIBUTES,
  ; shared with no one; CREATE_NEW, FILE_ATTRIBUTE_NORMAL
  System::Call 'kernel32::CreateFileW(w R4, i 0x400d0080, i 0, p 0, i 1, i 0x80, p 0) p .R2'
  ${If} $R2 P= -1
    StrCpy $R7 "could not be created"
    ${If} ${FileExists} $R4
      StrCpy $R7 "${EXISTS_ALREADY}"
    ${EndIf}
    Return
  ${EndIf}
  StrCpy $R7 "has another name as well (a hard link), or its names could not be counted"
  System::Alloc 52  ; BY_HANDLE_FILE_INFORMATION
  Pop $0
  System::Call 'kernel32::GetFileInformationByHandle(p R2, p r0) i .r1'
  IntPtrOp $2 $0 + 40
  System::Call '*$2(i .r2)'  ; nNumberOfLinks
  System::Free $0
  ${If} $1 <> 0
  ${AndIf} $2 = 1
    StrCpy $R7 "could not be given its owner and access list"
    StrCpy $R3 "file"
    Call SetOwnSecurity
    ${If} $9 = 1
      StrCpy $R7 "could not be written"
      System::Call 'kernel32::CreateFileW(w R5, i 0x80000000, i 1, p 0, i 3, i 0, p 0) p .R6'  ; GENERIC_READ
      ${If} $R6 P<> -1
        System::Alloc 65536
        Pop $3
        ${Do}
          System::Call 'kernel32::ReadFile(p R6, p r3, i 65536, *i .r4, p 0) i .r0'
          ${IfThen} $0 = 0 ${|} ${ExitDo} ${|}
          ${If} $4 = 0
            StrCpy $R7 "ok"
            ${ExitDo}
          ${EndIf}
          System::Call 'kernel32::WriteFile(p R2, p r3, i r4, *i .r5, p 0) i .r0'
          ${IfThen} $5 <> $4 ${|} StrCpy $0 0 ${|}
        ${LoopWhile} $0 <> 0
        System::Free $3
        System::Call 'kernel32::CloseHandle(p R6)'
      ${EndIf}
    ${EndIf}
  ${EndIf}
  ${If} $R7 != "ok"
    System::Call '*(i 1) p .r0'  ; FILE_DISPOSITION_INFO: delete once closed
    System::Call 'kernel32::SetFileInformationByHandle(p R2, i 4, p r0, i 4)'
    System::Free $0
  ${EndIf}
  System::Call 'kernel32::CloseHandle(p R2)'
FunctionEnd

; Stops the installation with TEXT in the list of what was done and, unless
; silent, in a message box; the setup program ends with status 2.
!macro OrvexStop TEXT
  DetailPrint "Stopped: ${TEXT}"
  MessageBox MB_OK|MB_ICONSTOP "${TEXT} Nothing more is installed; an administrator should look at this." /SD IDOK
  SetErrorLevel 2
  Abort
!macroend

; Deletes the file PATH, and stops the installation if the name is still there:
; another program holds the file open without sharing its deletion, or it is a
; folder. Written by that path, the file would stay someone else's, and so would
; every other name it has.
!macro OrvexCheckedDelete PATH
  Delete "${PATH}"
  ${If} ${FileExists} "${PATH}"
    !insertmacro OrvexStop "$\"${PATH}$\" could not be deleted (another program holds it open, or it is a folder)."
  ${EndIf}
!macroend

; Deletes every file in FOLDER, and stops the installation unless the folder is
; empty then (see OrvexCheckedDelete). Uses $0 to $2.
!macro OrvexCheckedEmpty FOLDER
  Delete "${FOLDER}\*"
  StrCpy $2 ""
  FindFirst $0 $1 "${FOLDER}\*"
  ${DoWhile} $1 != ""
    ${If} $1 != "."
    ${AndIf} $1 != ".."
      StrCpy $2 $1
      ${ExitDo}
    ${EndIf}
    FindNext $0 $1
  ${Loop}
  FindClose $0
  ${If} $2 != ""
    !insertmacro OrvexStop "$\"${FOLDER}\$2$\" could not be deleted (another program holds it open, or it is a folder)."
  ${EndIf}
!macroend

; FROM, a file of the setup program's own, becomes TARGET in a held folder of
; ours, written new by PlaceNewFile with the access list RIGHTS. MODE: "keep"
; leaves a file already there as it is; "replace" deletes it first
; (OrvexCheckedDelete); "new" wants none there. Any other failure stops the
; installation. Uses $0 to $9 and $R1 to $R7.
!macro OrvexPlaceNew FROM TARGET RIGHTS MODE
  !if "${MODE}" == "replace"
    !insertmacro OrvexCheckedDelete "${TARGET}"
  !endif
  StrCpy $R5 "${FROM}"
  StrCpy $R4 "${TARGET}"
  StrCpy $R1 ${RIGHTS}
  Call PlaceNewFile
  !if "${MODE}" == "keep"
    ${If} $R7 == "${EXISTS_ALREADY}"
      DetailPrint "Kept: ${TARGET}"
      StrCpy $R7 "ok"
    ${EndIf}
  !endif
  ${If} $R7 != "ok"
    !insertmacro OrvexStop "$\"${TARGET}$\" $R7."
  ${EndIf}
!macroend

; The same for SOURCE, a file of the build (sample files, the guide, the
; settings), unpacked first into the setup program's own temporary folder.
!macro OrvexPlaceFile SOURCE TARGET RIGHTS MODE
  File "/oname=$PLUGINSDIR\new" "${SOURCE}"
  !insertmacro OrvexPlaceNew "$PLUGINSDIR\new" "${TARGET}" ${RIGHTS} ${MODE}
!macroend

; A folder of ours that must be sound for the installation to go on; HANDLE
; receives its handle.
!macro NeedOwnFolder PATH RIGHTS HANDLE
  StrCpy $R0 "${PATH}"
  StrCpy $R1 ${RIGHTS}
  Call MakeOwnFolder
  ${If} $R9 != "ok"
    DetailPrint "Stopped: $R0 is $R9"
    MessageBox MB_OK|MB_ICONSTOP "$\"$R0$\" is $R9. Nothing more is installed; \
      an administrator should look at this folder." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  StrCpy ${HANDLE} $R8
!macroend

; A folder of ours that is left alone, and its files not installed, when it
; isn't sound; HANDLE receives its handle, or 0.
!macro InstallInto PATH RIGHTS FILES HANDLE
  StrCpy $R0 "${PATH}"
  StrCpy $R1 ${RIGHTS}
  Call MakeOwnFolder
  StrCpy ${HANDLE} $R8
  ${If} $R9 == "ok"
    !insertmacro ${FILES}
  ${Else}
    DetailPrint "Left alone: $R0 is $R9"
  ${EndIf}
!macroend

Section "Orvex ScreenSaver" SecMain
  SectionIn RO
  InitPluginsDir
  SetOverwrite on  ; the saver, and the files unpacked into $PLUGINSDIR
  SetOutPath "$SYSDIR"
  File "/oname=${SCR_NAME}" "${SCR}"

  ; The maker folder first: from then on no user can add or rename a folder in
  ; it. Each folder stays open, as checked, until the files are in (see the top).
  !insertmacro NeedOwnFolder "$INSTDIR" user $maker_folder
  !insertmacro NeedOwnFolder "$INSTDIR\${UNINSTALL_DIR}" read $uninstall_folder
  !insertmacro OrvexCheckedEmpty "$INSTDIR\${UNINSTALL_DIR}"  ; the uninstaller, and what a user left beside it
  WriteUninstaller "$PLUGINSDIR\${UNINSTALLER}"
  !insertmacro OrvexPlaceNew "$PLUGINSDIR\${UNINSTALLER}" "$INSTDIR\${UNINSTALL_DIR}\${UNINSTALLER}" read new
  !insertmacro OrvexCheckedDelete "${OLD_UNINSTALLER}"

  ; An upgrade keeps the user's settings, patterns and pictures.
  !insertmacro OrvexPlaceFile "${SETTINGS}" "$INSTDIR\ss_ca_02.ini" user keep
  !insertmacro InstallInto "$INSTDIR\Patterns2d" user OrvexInstallPatterns $patterns_folder
  !insertmacro InstallInto "$INSTDIR\Pictures" user OrvexInstallPictures $pictures_folder
  !insertmacro InstallInto "$INSTDIR\Information" read OrvexNothing $information_folder
  ${If} $R9 == "ok"
    !insertmacro InstallInto "$INSTDIR\${GUIDE_DIR}" read OrvexInstallGuide $guide_folder
  ${EndIf}
  !insertmacro CloseFolder $guide_folder
  !insertmacro CloseFolder $information_folder
  !insertmacro CloseFolder $pictures_folder
  !insertmacro CloseFolder $patterns_folder
  !insertmacro CloseFolder $uninstall_folder
  !insertmacro CloseFolder $maker_folder

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${MAKER}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$SYSDIR\${SCR_NAME},0"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALL_DIR}\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALL_DIR}\${UNINSTALLER}" /S'
  WriteRegStr HKLM "${UNINST_KEY}" "HelpLink" "$INSTDIR\${GUIDE_DIR}\index.html"
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  SectionGetSize ${SecMain} $0  ; kilobytes of the files above
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Function .onInstSuccess
  ${If} ${Silent}
  ${AndIf} $make_current = 1
    Call MakeCurrentScreenSaver
  ${EndIf}
FunctionEnd

; The screen saver of the user who started the setup program becomes ours; what
; it was is kept for the uninstaller (once: making it current again over an
; upgrade keeps the first record).
Function MakeCurrentScreenSaver
  Call StartingUser
  Pop $R0
  StrCpy $R1 "$R0\${DESKTOP_KEY}"
  ${If} $R0 != ""
    ReadRegStr $0 HKU $R1 "SCRNSAVE.EXE"
    ${If} $0 != "$SYSDIR\${SCR_NAME}"
      ReadRegStr $1 HKU $R1 "ScreenSaveActive"
      WriteRegStr HKLM "${PREVIOUS_KEY}\$R0" "SCRNSAVE.EXE" $0
      WriteRegStr HKLM "${PREVIOUS_KEY}\$R0" "ScreenSaveActive" $1
    ${EndIf}
    WriteRegStr HKU $R1 "SCRNSAVE.EXE" "$SYSDIR\${SCR_NAME}"
    WriteRegStr HKU $R1 "ScreenSaveActive" "1"
    ; Tell running programs that the desktop settings changed.
    SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:${DESKTOP_KEY}" /TIMEOUT=2000
  ${EndIf}
FunctionEnd

Function OpenScreenSaverSettings
  Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
FunctionEnd

; ---- uninstaller ------------------------------------------------------------

Function un.onInit
  ${GetParent} "$INSTDIR" $INSTDIR  ; the uninstaller lives in the maker folder's Uninstall
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
  Delete "$INSTDIR\ss_ca_02.ini.*.tmp"  ; left behind only by saves cut short
FunctionEnd

; The screen saver of the user with SID $R0 goes back to what it was before
; "make current", if it still names ours and the user is logged on; with no
; record only the name of the saver that goes is removed.
Function un.PutBackScreenSaver
  StrCpy $R1 "$R0\${DESKTOP_KEY}"
  ReadRegStr $0 HKU $R1 "SCRNSAVE.EXE"
  ${If} $0 != "$SYSDIR\${SCR_NAME}"
    Return
  ${EndIf}
  ClearErrors
  ReadRegStr $0 HKLM "${PREVIOUS_KEY}\$R0" "SCRNSAVE.EXE"
  ReadRegStr $1 HKLM "${PREVIOUS_KEY}\$R0" "ScreenSaveActive"
  ${If} ${Errors}
    DeleteRegValue HKU $R1 "SCRNSAVE.EXE"
    Return
  ${EndIf}
  ${If} $0 == ""
    DeleteRegValue HKU $R1 "SCRNSAVE.EXE"
  ${Else}
    WriteRegStr HKU $R1 "SCRNSAVE.EXE" $0
  ${EndIf}
  ${If} $1 == ""
    DeleteRegValue HKU $R1 "ScreenSaveActive"
  ${Else}
    WriteRegStr HKU $R1 "ScreenSaveActive" $1
  ${EndIf}
  DetailPrint "The screen saver of $R0 is again $\"$0$\""
FunctionEnd

; Removes FILES from FOLDER, held open as checked (see HoldFolder) while they
; go, then the folder if it is empty: files the user added stay.
!macro RemoveFrom FOLDER FILES
  Push "${FOLDER}"
  Call un.HoldFolder
  Pop $0
  ${If} $0 P<> 0
    Push $0
    !insertmacro ${FILES}
    Pop $0
    System::Call 'kernel32::CloseHandle(p r0)'
    RMDir "${FOLDER}"
  ${Else}
    DetailPrint "Left alone: ${FOLDER} is not a folder (a junction, a link or a file), \
      or another program holds it open"
  ${EndIf}
!macroend
!macro OrvexRemoveInformation
  !insertmacro RemoveFrom "$INSTDIR\${GUIDE_DIR}" OrvexRemoveGuide
!macroend

Section "Uninstall"
  Push "$INSTDIR"
  Call un.HoldFolder
  Pop $maker_folder
  ${If} $maker_folder P= 0
    MessageBox MB_OK|MB_ICONSTOP "$\"$INSTDIR$\" is not a folder (a junction, a link or a file), \
      or another program holds it open. Nothing is removed; an administrator should look at it." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}

  ; A current screen saver that is about to disappear would leave Windows with
  ; a setting that points nowhere: every user it was made current for gets the
  ; previous one back, so does the user who runs the uninstaller.
  StrCpy $R5 0
  ${Do}
    EnumRegKey $R0 HKLM "${PREVIOUS_KEY}" $R5
    ${IfThen} $R0 == "" ${|} ${ExitDo} ${|}
    Call un.PutBackScreenSaver
    IntOp $R5 $R5 + 1
  ${Loop}
  Call un.StartingUser
  Pop $R0
  ${If} $R0 != ""
    Call un.PutBackScreenSaver
  ${EndIf}
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:${DESKTOP_KEY}" /TIMEOUT=2000
  Delete /REBOOTOK "$SYSDIR\${SCR_NAME}"  ; still running (a preview), it goes at the next start

  Call un.RemoveSettings
  !insertmacro RemoveFrom "$INSTDIR\Patterns2d" OrvexRemovePatterns
  !insertmacro RemoveFrom "$INSTDIR\Pictures" OrvexRemovePictures
  !insertmacro RemoveFrom "$INSTDIR\Information" OrvexRemoveInformation
  !insertmacro RemoveFrom "$INSTDIR\${UNINSTALL_DIR}" OrvexRemoveUninstaller
  Delete "${OLD_UNINSTALLER}"
  !insertmacro CloseFolder $maker_folder
  RMDir "$INSTDIR"  ; stays while other screen savers of the maker live in it

  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
