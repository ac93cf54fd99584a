/* Volane's identity: names and the maker's web address. Shared by the C++ code, the resource
   script and the tests, so each fact lives here once (the version is the project's, in
   CMakeLists.txt). Plain ASCII on purpose: the resource compiler and the single-instance
   search both read these bytes. */
#ifndef VOLANE_IDENTITY_H
#define VOLANE_IDENTITY_H

#define VOLANE_WEB_ADDRESS "http://www.torlin.example"
/* Caption of the main window and the text a second instance searches for. */
#define VOLANE_WINDOW_TITLE "Torlin [" VOLANE_WEB_ADDRESS "]"
/* Application title shown by the About box: no blanks, begins with the program's name. */
#define VOLANE_APP_TITLE "Volane-Torlin@www.torlin.example"
#define VOLANE_EXE_NAME "Volane.exe"
#define VOLANE_INTERNAL_NAME "Volane"

/* The wide form of a narrow literal macro: VOLANE_WIDEN(VOLANE_APP_TITLE). */
#define VOLANE_WIDEN2(x) L##x
#define VOLANE_WIDEN(x) VOLANE_WIDEN2(x)

#endif
