#pragma once
// The temporary files of saves in progress, so that a signal that ends the program can remove
// them. Registration and removal are async-signal-safe: fixed slots, atomics and unlink() only.
namespace tonmira {

// Records path (copied; at most 4095 bytes) as a temporary file that exists or is about to.
// Returns the slot to pass to ForgetTempFile, or -1 when every slot is busy or the path is too
// long; the file is then only removed by the next save into its folder. Any thread.
int RegisterTempFile(const char* path);
// Ends the record of slot (-1 does nothing). Call once the file was renamed or removed.
void ForgetTempFile(int slot);
// Removes every registered file. Safe inside a signal handler.
void RemoveRegisteredTempFiles();
// Makes SIGINT, SIGTERM and SIGHUP remove the registered files before they end the program as
// they would have (the default action is taken again and the signal raised anew). For a
// program's main, before anything is saved; a later handler of its own replaces this one.
void RemoveTempFilesOnSignals();

}  // namespace tonmira
