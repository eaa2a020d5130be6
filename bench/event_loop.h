// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

// Runs the event loop for the given time, timers and all.
void runEventLoopFor(int ms);

// Runs the event loop, sleeping between events, until done() holds or the
// timeout passes. Returns whether done() held.
bool spinUntil(const std::function<bool()> &done, int timeoutMs);

// Wakes the main thread's event loop from any thread, so spinUntil() looks
// again at once.
void wakeMainThread();
