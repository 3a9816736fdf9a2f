#include "checker/check_worker.h"

#include "checker/check_link.h"
#include "checker/run_event.h"
#include "checker/worker_control.h"
#include "model/app_state.h"
#include "model/item_text.h"

namespace {

// The next link to check, or null when the queue is exhausted.
BookmarkLink* TakeNextLink() {
  checkQueueLock.Enter();
  BookmarkLink* link = nullptr;
  if (checkQueue.nextIndex < checkQueue.links.size()) link = checkQueue.links[checkQueue.nextIndex++];
  checkQueueLock.Leave();
  return link;
}

}  // namespace

void CheckWorker(void*) {
  for (;;) {
    RunEvent->Wait();
    if (WorkerStopRequested()) return;
    BookmarkLink* link = TakeNextLink();
    if (!link) return;

    // A fresh session per link: nothing carries over from one check to the next.
    http::Handle session = http::InternetOpen(u"LNT 3.0", http::INTERNET_OPEN_TYPE_DIRECT);
    if (!session) return;
    if (!RegisterWorkerSession(session)) {
      http::InternetCloseHandle(session);
      return;
    }
    // The tree keeps a bookmark file's HREF as written; the request needs the
    // address it stands for ("&amp;" is "&").
    const LinkVerdict verdict = CheckUrl(session, LinkAddress(*link), actionFlags);
    UnregisterWorkerSession(session);
    http::InternetCloseHandle(session);
    if (!DeliverVerdict(*link, verdict)) return;
  }
}
