#pragma once
// Background work nobody is waiting for at that moment (the pictures of the whole take) gives way
// to the window's own thread: the window goes on answering however busy its workers are.
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tonmira {

// Lowers the calling thread's priority (on Linux a thread has a nice value of its own). Best
// effort: where the system refuses, the thread runs as before.
inline void LowerThisThreadsPriority()
{
    constexpr int kBackgroundNice = 10;
    (void)::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), kBackgroundNice);
}

}  // namespace tonmira
