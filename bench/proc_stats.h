// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <sys/types.h>

// What the kernel tells about a running process, read from /proc.
namespace ProcStats {

// A "Key:  123 kB" field of /proc/<pid>/status in KiB (VmRSS, VmHWM), or -1.
long statusKiB(pid_t pid, const char *key);

// Context switches, voluntary and not, of all the process's threads.
long contextSwitches(pid_t pid);

// Processor time of all the process's threads in nanoseconds, from schedstat
// (finer than the clock ticks of /proc/<pid>/stat).
long long cpuNanoseconds(pid_t pid);

} // namespace ProcStats
