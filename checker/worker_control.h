// Starting the check workers and stopping them cooperatively: a stop aborts
// the transfers under way, wakes paused workers and joins every thread, and
// no worker stores a status or posts a result once the stop has begun.
#pragma once

#include "checker/check_link.h"
#include "model/bookmark_tree.h"
#include "platform/http.h"

inline constexpr int kCheckWorkerCount = 3;

// Dialog side. StartCheckWorkers needs RunEvent and resultsWindow set.
void StartCheckWorkers(int count);
// Returns once every worker has ended. Safe when none was started.
void StopCheckWorkers();

// Worker side. A session is registered for the time of one request so a stop
// can abort it; false when a stop has begun (the worker must then end).
bool RegisterWorkerSession(http::Handle session);
void UnregisterWorkerSession(http::Handle session);
bool WorkerStopRequested();
// Stores the verdict in the link and posts it to the results window, unless
// a stop has begun; false then.
bool DeliverVerdict(BookmarkLink& link, LinkVerdict verdict);
