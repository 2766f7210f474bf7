#pragma once
// Writes a file so that the target either gets the complete new contents or stays as it was,
// also across a crash or a power loss: the bytes go to a temporary file in the target's folder
// (".tonmira-save-PID-COUNT-SALT-PIDNS-BOOTID-HOST": the writer's process, its PID namespace,
// the kernel's boot id without dashes and the host name), which is locked (flock) while it is
// written, synced and then renamed over the target, and the folder is synced after the rename. A symbolic link is written through: the link stays, the file it
// points to is replaced. An existing target that is not a regular file (a device, a FIFO) is
// written into directly, as it cannot be replaced by a file. Temporary files whose writer is
// proven gone (a SIGKILL, a power loss) are removed by the first save of a process into their
// folder: unlocked, and either named by this machine and namespace with a PID that no longer
// runs, or unlocked and untouched for an hour (a writer on another host or in another container,
// whose PID means nothing here). The program's own are removed on SIGINT, SIGTERM and SIGHUP
// (see TempFileRegistry.h).
#include <functional>
#include <string>

#include "doc/Archive.h"

namespace tonmira {

// Calls write with a storing archive whose file name is path. Returns true when write
// returned true and the file is in place. On any failure the temporary file is removed and
// an existing target is untouched. The new file gets the target's permissions and owner (as
// far as the process may set them), or the usual ones (0666 less the umask) for a new file.
// A target that is a folder fails. On failure errno is the system's reason, or 0 when write
// returned false without one. Any thread; several saves may run at once.
bool WriteFileSafely(const std::string& path, const std::function<bool(CArchive&)>& write);

// As WriteFileSafely, but never replaces anything: the complete file takes the name path or,
// when that is taken, the first free one of "stem-2.ext", "stem-3.ext", ... (the suffix goes
// before the last extension). finalPath receives the name it got ("" on failure).
bool WriteNewFileSafely(const std::string& path, const std::function<bool(CArchive&)>& write,
                        std::string& finalPath);

// As WriteFileSafely, but only when nothing has the name path: false with errno EEXIST when it
// is taken (the file there is left alone). Of several processes making the same file at once,
// exactly one succeeds.
bool WriteFileIfAbsent(const std::string& path, const std::function<bool(CArchive&)>& write);

// Syncs the folder holding path, so that a rename or removal in it survives a power loss. Best
// effort: some file systems cannot sync a folder.
void SyncFolderOf(const std::string& path);

// Gives from the name to unless to exists (then fails and changes nothing); also on file
// systems without an atomic way (hard links, or a check before the rename).
bool RenameNoReplace(const std::string& from, const std::string& to);

// "stem-n.ext" for path "stem.ext" (n >= 2); the folder part is left alone.
std::string NumberedName(const std::string& path, int n);

}  // namespace tonmira
