#pragma once
// The desktop program: application settings, the dialog font, the frame, and the command line
// (empty: a new document; a path: that file, and a file that cannot be opened ends the program).
namespace tonmira::ui {

int RunApplication(int argc, char** argv);

// The forms' font for the whole application (a Japanese gothic face, 9 points); after the
// QApplication exists.
void UseDialogFont();

// The program's icon (built into the program) for every window, and the name of its menu entry.
void UseProgramIcon();

}  // namespace tonmira::ui
