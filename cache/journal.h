// The rollback journal of a save. Before a save overwrites any byte of a cache,
// the bytes it may change (the head, and everything from the first entry it
// writes again to the end) are copied into NAME.journal beside the cache and
// made durable; the save's last step, after the cache is synced, removes the
// journal. A journal that is present when the cache is opened belongs to a save
// that was cut off (the process died): its bytes are written back first, so the
// cache is exactly as it was before that save. A save that fails in the process
// plays its journal back at once.
//
// The journal is this library's own file, not part of the cache format:
//   0    8  "TVNJRNL1"
//   8    4  1 once complete; written, and synced, after everything else
//   12   4  S: the size of the cache before the save
//   16   4  H: the bytes of the head kept (the first min(19, S))
//   20   4  T: where the kept tail starts; it runs to S
//   24   H  the head, then S - T bytes of the tail (runs of zero bytes left as
//           holes where the file system keeps them)
#ifndef TIVORN_CACHE_JOURNAL_H
#define TIVORN_CACHE_JOURNAL_H

#include "tivorn/types.h"

namespace tvn {
namespace cache {

// Keeps the head and the bytes from tailStart on of the cache behind `cache`
// (oldSize bytes long) in the journal `name`, complete and synced. Throws
// failure::WriteFailed when it cannot; the cache is untouched then, and no
// journal is left.
void journalWrite(const char* name, HANDLE cache, TVN_DWORD oldSize, TVN_DWORD tailStart);

enum JournalState { JournalNone, JournalPlayedBack, JournalUnusable };
// Plays back the journal `name`, when there is one, into `cache` (open for
// writing): puts the kept bytes back, cuts the cache at its old size, syncs it
// and removes the journal. A journal that was never completed is only removed
// (its save had not touched the cache). JournalUnusable: a journal is there but
// could not be read or played back in full; it stays for the next open.
JournalState journalPlayBack(const char* name, HANDLE cache);

// Whether the journal `name` is there.
bool journalPresent(const char* name);

} // namespace cache
} // namespace tvn

#endif
