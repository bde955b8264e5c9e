// Waiting on the main thread for a media worker.
//
// The loop looks at the cancel request, then takes one wait step: the
// interpreter's (CommandContext::waitStep, one window message at a time) when
// the starter passes it, else the one below. Between steps it sleeps until new
// input arrives, the worker finishes or a short slice has passed, so a
// context whose wait step does nothing does not spin. The cancellation
// watchdog of the background window is started by the caller's onCancel.
#pragma once

#include <functional>

#include "engine/media/media_worker.h"

namespace kox::media {

// One turn of a waiting loop without the interpreter: handles one window
// message of this thread, or sleeps until one arrives, the worker finishes
// or a short slice has passed. Messages sent from other threads are handled
// while it sleeps.
void waitStep(const TMediaWorker& worker);

// Repeats wait steps until the started worker has finished. On every turn
// cancelRequested() is asked; the first time it says true the worker is told
// to terminate and onCancel runs (the caller copies the last-delegate tick
// and starts its watchdog there). Returns whether a cancel was seen, also
// one that came after the worker had finished on its own.
bool waitForWorker(TMediaWorker& worker, const std::function<bool()>& cancelRequested,
                   const std::function<void()>& onCancel = {}, const std::function<void()>& step = {});

// Waits until worker has finished, handling only messages sent to this
// thread's windows (no cancel checks, no posted messages taken).
void waitUntilFinished(const TMediaWorker& worker);

}  // namespace kox::media
