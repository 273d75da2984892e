#pragma once

// The program's scale. Its own lengths are at 96 dots per inch; the peers give the native windows
// theirs at the monitor's, so that neither the program nor the native windows see the other's.

#include <windows.h>

namespace win32 {

// The dots per inch the program draws at (96 at 100 %): the system's, chosen once at start.
int ProgramDpi();
void SetProgramDpi(int dpi);
// A length at 96 dots per inch in the program's pixels, and back (each rounded to the nearest,
// so that a length survives the way there and back at every scale of 100 % and more).
int Scaled(int value);
int Unscaled(int value);

// The same for a rectangle: its corner and its size each converted.
RECT Unscaled(const RECT& r);
// The program's pixel that a position in the monitor's pixels lies in: a position inside a scaled
// pixel lies in the program's pixel it shows, and one left of or above the control stays outside.
int ProgramPixel(int value);

} // namespace win32
