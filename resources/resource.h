// Control and resource ids shared by the .rc files and the code.
// The numbers are the installer's own and must not change: the dialog
// templates, painters and handlers all key on them.
#pragma once

// ---- Resources ------------------------------------------------------------
#define IDI_APP                 104   // application icon
#define IDD_MESSAGE             112   // message box dialog
#define IDD_WIZARD              114   // the wizard (modeless main dialog)
#define IDD_FOLDER_CHOOSER      168   // old-style open-file template

// Payload resources of type "TEXT" read outside the install manifest.
#define IDR_GLYPH_FONT          110   // bitmap glyph font (also manifest row 16)
#define IDR_LICENCE_CN          163   // Chinese licence, GB2312 (also installed)
#define IDR_LICENCE_EN          164   // English licence (also installed)
#define IDR_SPEECH_PACKAGE      1029  // speech-engine installer package

// ---- Wizard dialog (IDD_WIZARD) ---------------------------------------------
#define IDC_BACK                3
#define IDC_NEXT                1001  // Next / Agree-Install; Enter's command
#define IDC_PATH_EDIT           1002
#define IDC_BROWSE              1003
#define IDC_DESKTOP_ICON        1004
#define IDC_PAGE0_UNUSED        1005  // listed in the page table, no control
#define IDC_PATH_LABEL          1006
#define IDC_DISPLAY_OK          1007
#define IDC_DISPLAY_NOT_OK      1008
#define IDC_PANEL_TAVIK         1009
#define IDC_LICENCE_ENGLISH     1010
#define IDC_PANEL_EDITOR        1011
#define IDC_PANEL_SETUP         1012
#define IDC_LICENCE_EDIT        1014
#define IDC_DISPLAY_FRAME       1015
#define IDC_DISPLAY_QUESTION    1017
#define IDC_DISPLAY_SAMPLE      1018
#define IDC_LICENCE_LIST        1019
#define IDC_PANEL_BLANK         1020
#define IDC_BOTTOM_STRIP        1021
#define IDC_UNUSED_LABEL        1022
#define IDC_PROGRESS            1026
#define IDC_LANGUAGE_LABEL      1030
#define IDC_LANGUAGE_COMBO      1031
#define IDC_PANEL_ICON          102
#define IDC_RULE                108
#define IDC_PANEL_NAME          167
#define IDC_PANEL_INSTALLER     169
#define IDC_WEB_ADDRESS         172

// ---- Message box dialog (IDD_MESSAGE) ---------------------------------------
// IDOK (1), IDCANCEL (2), IDYES (6) and IDNO (7) are the platform's ids.
#define IDC_MESSAGE_CHINESE     1013
#define IDC_MESSAGE_ENGLISH     1028

// ---- Folder chooser (IDD_FOLDER_CHOOSER) ------------------------------------
// The standard old-style open-file ids (stc1, lst2, cmb2, ...) come from
// <dlgs.h>; these are the chooser's own owner-drawn labels.
#define IDC_CHOOSER_DIR_LABEL   1008
#define IDC_CHOOSER_DRIVE_LABEL 1010
