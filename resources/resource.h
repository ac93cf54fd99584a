/* Resource identifiers of Volane.exe, shared by Volane.rc and the C++ code. The node bitmaps
   are found by name (QE, ROOT, FOLDER, ...), so only the numbered resources are listed here. */
#ifndef VOLANE_RESOURCE_H
#define VOLANE_RESOURCE_H

/* The application icon: the one the desktop shows for the executable file. */
#define IDI_APP 1
/* The window icon of the main window and the About dialog (16 to 128 pixels, 256 colours). */
#define IDI_WINDOW 101
/* The About picture shown by picIcon: 50 x 120 pixels. */
#define IDB_ABOUT 201

#endif
