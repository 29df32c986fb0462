#pragma once

// The few Xlib types the backend's headers name. Xlib's own headers define
// macros (None, Bool, KeyPress, CursorShape, ...) that clash with Qt's, so
// headers declare these instead and only .cpp files include Xlib, after
// every Qt header.
typedef struct _XDisplay Display;
typedef union _XEvent XEvent;
typedef unsigned long XID;
typedef XID Window;
typedef XID KeySym;
typedef unsigned long Atom;
typedef unsigned long Time;
