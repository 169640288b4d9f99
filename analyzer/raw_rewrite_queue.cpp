#include "analyzer/raw_rewrite_queue.h"

#include <memory>
#include <mutex>

#include "analyzer/raw_test_data.h"
#include "analyzer/raw_test_data_rewrite.h"
#include "platform/sys/thread.h"

namespace analyzer {
namespace {

// One rewrite of a folder waiting for the worker, and whom to tell its outcome. Its keys wait
// with the raw files' writer (AddKeysToRemove), so that a record written again keeps its key.
struct Batch {
  std::string folder;
  std::vector<std::string> keys;  // taken when the rewrite begins
  std::vector<RawRewriteDone> done;
};

struct Queue {
  std::mutex lock;
  std::vector<Batch> waiting;
  bool active = false;  // a worker takes the waiting batches until none is left
  bool held = false;
  std::vector<std::unique_ptr<sys::Thread>> workers;  // the running one and any on their way out
};

// Lives for the whole process: the program's end finishes it, no static destructor does.
Queue& TheQueue() {
  static Queue* queue = new Queue;
  return *queue;
}

// Runs a batch whose keys have been taken, holding the raw files' lock.
void Run(Batch& batch) {
  std::string error;
  // Every key written again meanwhile: nothing is left to remove.
  const bool ok = batch.keys.empty() || RemoveRawRecords(batch.folder, batch.keys, &error);
  for (const RawRewriteDone& d : batch.done)
    if (d) d(ok, error);
}

// Takes the next batch with its keys (the caller holds the raw files' lock, so no writer comes
// between); false, and the worker ends, when there is none or the queue is held.
bool TakeNext(Queue& q, Batch& out) {
  std::lock_guard<std::mutex> g(q.lock);
  if (q.waiting.empty() || q.held) {
    q.active = false;
    return false;
  }
  out = std::move(q.waiting.front());
  q.waiting.erase(q.waiting.begin());
  out.keys = TakeKeysToRemove(out.folder);
  return true;
}

void Work() {
  Queue& q = TheQueue();
  for (;;) {
    std::lock_guard<std::recursive_mutex> pair(RawFilesLock());
    Batch batch;
    if (!TakeNext(q, batch)) return;
    Run(batch);
  }
}

// Starts a worker when none runs (the queue's lock held); false when no thread could start.
bool StartWorker(Queue& q) {
  if (q.active || q.held) return true;
  // Workers that have ended are let go; one on its way out ends in a moment on its own.
  std::erase_if(q.workers, [](const std::unique_ptr<sys::Thread>& t) { return !t->IsRunning(); });
  auto worker = std::make_unique<sys::Thread>();
  if (!worker->Start(Work)) return false;
  q.active = true;
  q.workers.push_back(std::move(worker));
  return true;
}

// Runs batches taken off the queue on this thread, in their order.
void RunHere(std::vector<Batch>& batches) {
  for (Batch& b : batches) {
    std::lock_guard<std::recursive_mutex> pair(RawFilesLock());
    b.keys = TakeKeysToRemove(b.folder);
    Run(b);
  }
}

}  // namespace

void QueueRawRemoval(const std::string& folder, std::vector<std::string> keys, RawRewriteDone done) {
  Queue& q = TheQueue();
  std::vector<Batch> here;
  {
    std::lock_guard<std::mutex> g(q.lock);
    AddKeysToRemove(folder, keys);
    Batch* batch = nullptr;
    for (Batch& b : q.waiting)
      if (b.folder == folder) batch = &b;
    if (!batch) {
      q.waiting.push_back(Batch{folder, {}, {}});
      batch = &q.waiting.back();
    }
    batch->done.push_back(std::move(done));
    if (!StartWorker(q)) here.swap(q.waiting);
  }
  // No thread could start: the waiting rewrites run here.
  RunHere(here);
}

void FinishRawRewrites() {
  Queue& q = TheQueue();
  for (;;) {
    std::vector<std::unique_ptr<sys::Thread>> workers;
    std::vector<Batch> left;
    {
      std::lock_guard<std::mutex> g(q.lock);
      if (q.workers.empty() && (q.waiting.empty() || !q.held)) return;
      workers.swap(q.workers);
      // Held by a test: what waits runs here.
      if (q.held) left.swap(q.waiting);
    }
    // A join on the screen's thread goes on handling what is sent to it meanwhile.
    for (auto& w : workers) w->Join();
    RunHere(left);
  }
}

void HoldRawRewrites(bool hold) {
  Queue& q = TheQueue();
  std::lock_guard<std::mutex> g(q.lock);
  q.held = hold;
  if (!hold && !q.waiting.empty()) StartWorker(q);
}

}  // namespace analyzer
