#pragma once
// The desktop program: application settings, the dialog font, the frame, and the command line
// (empty: a new document; a path: that file, and a file that cannot be opened ends the program).
namespace tonmira::ui {

int RunApplication(int argc, char** argv);

}  // namespace tonmira::ui
