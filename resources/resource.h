/* Resource and command identifiers of Volane.exe, shared by Volane.rc and the C++ code. The node
   bitmaps are found by name (QE, ROOT, FOLDER, ...), so only the numbered resources are listed
   here. */
#ifndef VOLANE_RESOURCE_H
#define VOLANE_RESOURCE_H

/* The application icon: the one the desktop shows for the executable file. */
#define IDI_APP 1
/* The window icon of the main window and the About dialog (16 to 128 pixels, 256 colours). */
#define IDI_WINDOW 101
/* The About picture shown by picIcon: 50 x 120 pixels. */
#define IDB_ABOUT 201

/* frmMain's menu: the commands, and the 文件 submenu that holds the first four. */
#define IDM_REFRESH 1000
#define IDM_TOP 1001
#define IDM_EXIT 1002
#define IDM_ABOUT 1003
#define IDM_EXP 1004
#define IDM_MAIN 1005

/* Controls. frmAbout's cmdOK has IDOK's number, so that Enter and Escape reach it. */
#define IDC_OK 1
#define IDC_TV1 100
#define IDC_PICTURE1 100
#define IDC_PICICON 1000
#define IDC_SYSINFO 1001
#define IDC_DESCRIPTION 1002
#define IDC_TITLE 1003
#define IDC_VERSION 1004
#define IDC_DISCLAIMER 1005

#endif
