#pragma once
// The rewrites of the raw-data pair that remove deleted results' records run on one worker, one
// after another, so that no screen waits for a rewrite to end. Rewrites of a folder that wait
// together for the worker are made as one, with their keys together. Until its rewrite has
// run, a removed result's record stays in the pair; no row refers to it any more, and a record
// written again under its key belongs to a result of its own and stays.
#include <functional>
#include <string>
#include <vector>

namespace analyzer {

// Told on the worker how the rewrite that carried one's keys ended (RemoveRawRecords' outcome);
// it must not wait for anything.
using RawRewriteDone = std::function<void(bool ok, const std::string& error)>;

// Queues the removal of the records of `keys` from the pair of `folder` (ending in '/') and
// returns at once. When no thread can be started the rewrite runs here before the call returns.
void QueueRawRemoval(const std::string& folder, std::vector<std::string> keys, RawRewriteDone done = {});

// Waits until every queued rewrite has ended and its worker is gone: the backup calls it before
// it copies the pair, the program before it ends. Never call it holding RawFilesLock.
void FinishRawRewrites();

// Test hook: while true the worker starts no further rewrite (one already running ends).
void HoldRawRewrites(bool hold);

}  // namespace analyzer
