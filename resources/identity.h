/* Volane's identity: version numbers, names and the maker's web address. Shared by the C++
   code and the resource script, so each fact lives here once. Plain ASCII on purpose: the
   resource compiler and the single-instance search both read these bytes. */
#ifndef VOLANE_IDENTITY_H
#define VOLANE_IDENTITY_H

#define VOLANE_VERSION_MAJOR 1
#define VOLANE_VERSION_MINOR 0
#define VOLANE_VERSION_BUILD 0
#define VOLANE_VERSION_REVISION 64
/* The version record writes the numbers zero-padded. */
#define VOLANE_VERSION_TEXT "1.00.0064"

#define VOLANE_WEB_ADDRESS "http://www.torlin.example"
/* Caption of the main window and the text a second instance searches for. */
#define VOLANE_WINDOW_TITLE "Torlin [" VOLANE_WEB_ADDRESS "]"
/* Application title shown by the About box: no blanks, begins with the program's name. */
#define VOLANE_APP_TITLE "Volane-Torlin@www.torlin.example"
#define VOLANE_EXE_NAME "Volane.exe"
#define VOLANE_INTERNAL_NAME "Volane"

#endif
