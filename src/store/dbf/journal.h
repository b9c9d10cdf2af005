#pragma once
// Units of work over the shared tables of one directory: every change a unit makes to
// any .dbf or .mdx of that directory lands whole or not at all, whether the unit fails,
// the process is killed or the machine loses power. The protocol (locks, journal,
// recovery, read rule) is written at the top of journal.cpp.
//
// Use:
//   dbf::Transaction t(dirDatos);          // waits (bounded) for the directory's writer lock
//   productos.lockRecord(r, 10000);        // optional: the lock phase, before any write
//   ... edit / post / append / remove on any handle of tables in dirDatos ...
//   t.commit();                            // or let it go out of scope: rolled back
//
// Changes made outside a Transaction are units of their own (one record and its keys).

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace mostrador::dbf {

// How long a unit waits for the writer lock or a record another station holds: 10 s,
// or the milliseconds of $MOSTRADOR_ESPERA_MS.
int unitWaitMillis();

class Transaction {
 public:
  // Joins the unit this process already has open on dir, or starts one: takes the
  // directory's writer lock (waiting up to waitMillis; LockError when still held) and
  // rolls back a journal left by a station that died. dir is a stored path.
  explicit Transaction(std::string_view dir, int waitMillis = -1);  // -1: unitWaitMillis()
  // The table engine's one-change units of a single post: localDir is the local path
  // of the table's directory, already resolved. durable = false: the journal and the
  // data are not synced; still whole against a killed process, and after a power cut an
  // index left torn is rebuilt from its table when next opened.
  Transaction(const std::filesystem::path& localDir, int waitMillis, bool durable);
  ~Transaction();  // rolls back unless committed
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  // Makes the unit's changes permanent (data synced, journal emptied) and releases the
  // writer lock and every record lock taken inside it. A joined (inner) Transaction only
  // marks itself done; the outermost one commits.
  void commit();
  // Puts back every byte the unit changed, then releases its locks.
  void rollback();
  // A unit over several directories: names the group's marker file (before the unit's
  // first write) and, before the commit point, syncs the unit's data (Error when it
  // cannot). See "Several directories" at the top of journal.cpp.
  void joinGroup(const std::filesystem::path& marker);
  void prepare();
  bool active() const { return !done_; }

 private:
  std::string dir_;
  bool done_ = false;
  bool outer_ = false;
};

namespace journal {

// Name of the journal (and writer lock) file in a directory.
inline constexpr const char* kFileName = "mostrador.jnl";

// Rolls back a journal whose owner is gone. Returns true when it rolled one back.
// Cheap when there is none (one stat). Safe to call at any time from any station.
bool recoverIfDead(const std::filesystem::path& localDir);

// ---- hooks for the table engine -------------------------------------------------------

// True when a unit of this process is open on the directory.
bool active(const std::filesystem::path& localDir);
// A write of n bytes at off to the file open as fd, made inside a unit of this process on
// the file's directory: kept in memory with the unit (the bytes there now go to the
// journal, once per unit and block) and written to the file at commit. False, and
// nothing done, when no unit is open there: the caller writes itself.
bool absorb(int fd, const std::filesystem::path& file, const char* buf, size_t n, off_t off);
// Keeps the bytes now at off..off+n in the journal: a writer that knows several blocks
// it is about to change keeps them all first, and reads them in runs.
void keep(int fd, const std::filesystem::path& file, off_t off, size_t n);

// Called by the table engine once a change and its keys are whole: a unit past its
// memory limit sends its changes out here.
void atSafePoint(const std::filesystem::path& localDir);

// Reads see the changes a unit of this process holds. True when some unit holds any.
bool overlaid();
// When the file (by the path its handles use) has changes held: reads n bytes at off as
// the unit sees them into buf, sets got and returns true.
bool readHeld(const std::string& path, int fd, char* buf, size_t n, off_t off, size_t& got);
// The file's size as the unit sees it, when it holds changes to it.
std::optional<uint64_t> heldSize(const std::string& path);
// Copies n bytes at off from the changes held, when they are all there (one block).
bool peek(const std::string& path, off_t off, void* dst, size_t n);
// Writes the changes held for the file out now (the journal first): for a write that
// goes around the unit (a rebuilt index, a truncation), which must land after them.
void flushHeld(const std::string& path);

// A handle taking part in the current unit of a directory: told when the unit ends,
// so that it lets go of the record locks it kept.
class Participant {
 public:
  virtual ~Participant() = default;
  virtual void unitEnded(bool committed) = 0;
};
void join(const std::filesystem::path& localDir, Participant* p);
void leave(Participant* p);

// For tests that kill a writer at each of its writes: called right before every data
// write a unit makes (at its commit, or when its changes go out early), once the old
// bytes are in the journal on disk.
using WriteHook = void (*)(const std::filesystem::path& file, off_t off, size_t n);
void setWriteHook(WriteHook hook);
// For tests of a disk that fails: called instead of fdatasync with the file's descriptor;
// its result is the system's (0, or -1 with errno set).
using SyncHook = int (*)(int fd);
void setSyncHook(SyncHook hook);
// The fdatasync calls this process's units have made, for the benchmarks.
long syncsMade();
// How much a unit holds in memory before its changes go out early (32 MB; 0 puts that
// back), for the tests of a unit larger than it.
void setMemoryLimit(size_t bytes);

// For tests of a disk that fills up or fails at a chosen point. Every write-like call
// the engine makes (a write, a truncation or a sync of a table, an index, a journal or
// a group marker) is counted when the file's name contains `name` (without regard to
// case; empty: every file), does not contain `except` (when given) and its kind is in
// `ops`; the nth such call and the `times` - 1
// after it (-1: every one from the nth on, a disk that stays full) fail with errnum. A
// failing write puts out the first half of its bytes before it fails, as a disk that
// fills up in the middle of a write does.
enum FaultOp : unsigned { kFaultWrite = 1, kFaultTruncate = 2, kFaultSync = 4, kFaultAll = 7 };
struct Fault {
  std::string name;
  std::string except;
  long nth = 0;  // 1-based; 0: nothing fails, the calls are only counted
  int errnum = 28;  // ENOSPC
  long times = 1;
  unsigned ops = kFaultAll;
};
// Replaces the fault in force and starts counting again from zero.
void setFault(const Fault& f);
void clearFault();
// Matching calls seen since setFault, and how many of them were failed.
long faultCalls();
long faultsInjected();
// Asked by the engine right before each such call: 0, or the errno to fail it with.
int injectedFault(const std::string& path, FaultOp op);

// Records a line for the log ("Bitacora.txt") through the sink the program installs;
// the engine itself does not know where the log lives.
using LogSink = void (*)(const std::string& line);
void setLogSink(LogSink sink);
void log(const std::string& line);

}  // namespace journal
}  // namespace mostrador::dbf
