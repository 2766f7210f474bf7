#pragma once
// Ctrl-C (SIGINT), SIGTERM and SIGHUP for long-running commands: the first signal only sets a
// flag that the command's loop polls, so it can stop through its own stop command and finish its
// files. A second signal ends the program at once, removing the temporary file of a save in
// progress.
namespace tonmira::cli {

// Installs the handlers; call once before the loop starts.
void InstallInterruptHandler();
bool Interrupted();
// Ends the program as the first signal would have ended it (for a run that was cut short and so
// did not finish its work); stdout is flushed first.
[[noreturn]] void EndAsInterrupted();

}  // namespace tonmira::cli
