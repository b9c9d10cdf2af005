#pragma once
// Byte-range locks between stations on a table file.
//
// Every lock is a POSIX open-file-description lock (F_OFD_SETLK / F_OFD_GETLK). Classic
// POSIX record locks (F_SETLK) are owned by the process, which makes them useless here:
//   * closing ANY descriptor of the file in the process drops every lock the process
//     holds on it, so a second handle on the same table (or a library that opens and
//     closes the file to peek at it) silently unlocks the first handle;
//   * two handles of one process never conflict with each other, so a record held by one
//     window could be edited by another window of the same station;
//   * a fork()ed child does not inherit them, while it does inherit the descriptor.
// OFD locks belong to the open file description: they conflict between handles of one
// process, survive the closing of unrelated descriptors and go away when the handle's
// own descriptor is closed (or its process dies), which is what a station needs.
// Descriptors are opened O_CLOEXEC so that companion programs started by the station do
// not keep a table's locks alive.
//
// Locks sit on bytes far beyond any real data (a .dbf is limited to 2^32 records of at
// most 64 KiB, about 2^48 bytes), so they never block plain reads and writes and other
// dBASE programs, which lock below that, never meet them:
//
//   OFFSET               SIZE  MEANING
//   kBase                1     "open" byte: shared by every open handle, exclusive for an
//                              exclusive open
//   kBase + 1            1     header lock: appends, header and count updates
//   kBase + 16 + recno   1     record lock of record recno (1-based), held while editing

#include <sys/types.h>

#include <cstdint>

namespace mostrador::dbf::locks {

constexpr off_t kBase = off_t{1} << 52;
constexpr off_t kOpenByte = kBase;
constexpr off_t kHeaderByte = kBase + 1;
inline off_t recordByte(uint32_t recno) { return kBase + 16 + static_cast<off_t>(recno); }

enum class Kind { Shared, Exclusive };

// Non-blocking: true when taken, false when another description holds a conflicting
// lock. Any other failure throws Error (operation "lock").
bool tryLock(int fd, off_t offset, Kind kind, const char* path);
// Retries a non-blocking lock for a short, bounded time (for locks held only for the
// few system calls of an append). False when still held by another description.
bool lockWithRetry(int fd, off_t offset, Kind kind, const char* path, int maxMillis = 3000);
void unlock(int fd, off_t offset);

}  // namespace mostrador::dbf::locks
