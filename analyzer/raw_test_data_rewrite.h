#pragma once
// Rewriting the raw-data pair (TD.dat, TDI.dat; analyzer/raw_test_data.h) without some of its
// records, when results are deleted or purged.
//
// The kept records are copied into TDITemp.dat and TDTemp.dat, which are flushed to the disk;
// then the commit marker TDCommit.dat is made durable, and only then the index and after it the
// data file are renamed over the originals; the marker goes last. A rewrite cut off before the
// marker leaves the old pair (its temporary files are discarded at the next start-up); once the
// marker stands the new pair is the pair: the reader and the writer take each file from its
// temporary name until it is renamed (CurrentRawPair), the writer first finishes the renames,
// and every start-up finishes them before anything else uses the files.
#include <string>
#include <vector>

#include "analyzer/raw_test_data.h"

namespace analyzer {

// Rewrites the raw files of `folder` (ending in '/') without the records of `keys`. Missing
// files leave everything as it is (true). False with the reason when a file could not be
// read or written: before the commit the old pair stays; after it the renames are finished
// by the next writer or start-up, and readers already see the new pair.
bool RemoveRawRecords(const std::string& folder, const std::vector<std::string>& keys, std::string* error = nullptr,
                      int* removed = nullptr);

// At start-up, before anything reads or writes the pair: finishes a rewrite that got past its
// commit and discards the temporary files of one that did not. False with the reason when a
// rename could not be finished (the marker stays; readers and writers still find the pair).
bool RecoverRawRewrite(const std::string& folder, std::string* error = nullptr);

// Finishes the renames of a committed rewrite (nothing when there is none). Called by the
// writer; false with the reason when a rename failed (the marker stays).
bool FinishCommittedRewrite(const std::string& folder, std::string* error = nullptr);

// For a copy of the pair (a backup), with RawFilesLock held by the caller: finishes the renames
// of a committed rewrite and gives the pair to copy, TDI.dat and TD.dat, or while a rename still
// fails the files the program reads (CurrentRawPair).
RawPairPaths SettledRawPair(const std::string& folder);

// Empties both files (every result deleted). A rewrite left unfinished is settled first, so
// none of its records comes back afterwards. The index is emptied first.
bool ClearRawRecords(const std::string& folder, std::string* error = nullptr);

// Test hook: called between the steps of a rewrite ("temp-written", "committed",
// "index-renamed"); returning false stops the rewrite there, as a kill would.
void SetRawRewriteCheckpoint(bool (*checkpoint)(const char* step));

}  // namespace analyzer
