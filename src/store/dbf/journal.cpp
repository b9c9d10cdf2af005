// Units of work and the rollback journal.
//
// PROTOCOL
//
// Locks, always taken in this order, each with a bounded wait:
//   1. record locks of the records a unit will edit (the lock phase: Table::lockRecord),
//      sorted by table and record number, taken before the unit starts;
//   2. the directory's writer lock: an exclusive OFD lock on byte kWriterByte of the
//      journal file "mostrador.jnl" of the data directory, held from the start of a unit
//      to its commit or rollback. Every change to a shared .dbf/.mdx of the directory
//      happens under it: an explicit unit (Transaction) or the one-change unit the table
//      engine opens itself for a post, append or delete made outside any unit. So there
//      is one writer per directory at a time, and the bytes a unit saw before changing
//      them are still the bytes to put back if it fails;
//   3. inside a unit: a table's header lock (appends), then the index's write lock.
//   Record locks taken or used inside a unit are kept to its end (a station editing the
//   same record waits instead of reading a change that may still be rolled back).
//   Exclusive handles and scratch tables (".db") take no writer lock and keep no journal:
//   nobody else can see them.
//
// Changes: a unit's writes to its directory's .dbf and .mdx files do not go to the files
//   while it runs. Each is kept in memory with the unit, by blocks of 512 bytes (the
//   bytes a write changes marked in each block), and every read of this process sees
//   them (file::readAt, file::sizeOf, the index's reads, the change counters through
//   peek): the unit reads what it wrote, other stations read the files as they were
//   before it. Past 32 MB held (a bulk job in one unit) the changes go out early, as at
//   a commit but without the syncs, once the table change in progress is whole with its
//   keys (atSafePoint), and the unit goes on. A write that goes around the
//   unit (a rebuilt index, a truncation) first sends out what the unit holds of the
//   file, so that it lands after it.
//
// Journal: the first time a unit changes a block of a file that existed when the unit
//   started, it makes a record of the block's bytes on disk (and, once per file, of the
//   file's size); the same read starts the block's copy in memory. Records stay in memory
//   too. New blocks beyond the original size need no copy: rollback truncates them away.
//
// Commit: 1. every record goes to the journal in one write, then one fdatasync of the
//   journal; 2. the files, in the order the unit first changed them: each table together
//   with its index, under the index's write lock (a reader under the shared lock sees a
//   table and its keys agree), the table's records before its first block (its count and
//   change counter), only the changed bytes, contiguous runs in one write each; the
//   index's header on disk is compared first with the one the unit started from, and an
//   index another program changed meanwhile (none of ours writes without the writer
//   lock) undoes the unit rather than mixing pages of two states; 3. writeback of every
//   file is started (sync_file_range), then each is synced (fdatasync): the flushes
//   overlap without a thread per commit; 4. the journal is truncated to 0 bytes: the
//   commit point. An empty journal means "nothing to undo". A write, truncation or sync
//   that fails before the commit point rolls the unit back and reaches the caller as an
//   Error; none is taken for done. A rollback drops what is held, puts back what reached
//   the files (only the files this unit wrote to) and moves on the change counter of
//   every table and the identity of every index whose changes a reader of this process
//   may have seen.
//
// Several directories (a transfer between companies, a catalogue apart from the data):
//   each directory keeps its own journal, so committing them one after the other would
//   let a death between two commits keep one side only. Such a unit is a group: before
//   its first write a marker file "mostrador-<id>.grp" is made (and synced) in the first
//   directory, and every journal of the group names it in an empty 'B' record right after
//   its header (older readers take that record for a no-op). Commit: sync the data of every
//   directory (Transaction::prepare), remove the marker (the group's commit point, with a
//   sync of its directory), then empty each journal. Recovery of a journal that names a
//   marker which no longer exists leaves the data as it is: the group had committed.
//
// Recovery: a journal that is not empty while nobody holds the writer lock belongs to a
//   station that died in the middle of a unit. Whoever meets it first rolls it back under
//   the writer lock: every table open (one stat of the journal), the table check
//   (verificaTabla), every unit start and the one-change units. Rollback opens every
//   file first, holds the write lock of each index it puts back (readers wait, then see
//   it whole), writes the saved blocks back (last first), truncates each file to its
//   saved size, gives every index a new identity (so no station keeps index pages cached
//   from the undone state), syncs every file, and only then empties the journal. Any
//   failure on the way leaves the journal whole for the next one to roll back again (a
//   unit's own rollback tries twice). A record whose checksum fails is where the dead
//   writer stopped: nothing after it was applied.
//
// Read rule: readers take no writer lock. They never see a unit in flight: its changes
//   reach the files at its commit only. An index read runs under the index's shared
//   lock, so it sees whole commits only, with the table's records that go with them; a
//   record read outside it sees the record as last written. Checks that compare tables
//   (verification) still re-read before calling a state damaged, for reads that straddle
//   a commit.
//
// FILE "mostrador.jnl"
//   OFFSET SIZE MEANING
//        0    8 magic "MOSTRJNL"
//        8    4 version (1)
//       12    4 process id of the writer (for the log only)
//       16    8 unit number: random, repeated in every record
//       24    8 zero
//   then records:
//        0    1 kind: 'S' original size of a file, 'B' original bytes of a block run
//        1    1 zero
//        2    2 length P of the file's local path
//        4    4 length L of the bytes that follow the path ('B'), 0 for 'S'
//        8    8 'B': offset of the bytes in the file; 'S': the file's size
//       16    8 unit number
//       24    P path
//     24+P    L bytes
//   24+P+L    8 checksum of the record's previous bytes

#include "store/dbf/journal.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <unordered_map>
#include <vector>

#include "base/rutas.h"
#include "store/dbf/dbf_file.h"
#include "store/dbf/dbf_table.h"
#include "store/dbf/locks.h"
#include "store/dbf/mdx_index.h"

namespace fs = std::filesystem;

namespace mostrador::dbf {
namespace journal {

// ---- the failing disk of the tests (journal.h) -------------------------------------------
namespace {
struct FaultState {
  std::mutex m;
  Fault f;
  std::string name, except;  // f.name and f.except in lower case
  long calls = 0, injected = 0;
};
FaultState& faultState() {
  static FaultState s;
  return s;
}
std::atomic<bool> faultArmed{false};
}  // namespace

void setFault(const Fault& f) {
  FaultState& s = faultState();
  std::lock_guard<std::mutex> g(s.m);
  s.f = f;
  s.name = f.name;
  s.except = f.except;
  for (auto& c : s.name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (auto& c : s.except) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  s.calls = s.injected = 0;
  faultArmed = true;
}
void clearFault() {
  FaultState& s = faultState();
  std::lock_guard<std::mutex> g(s.m);
  faultArmed = false;
  s.f = Fault{};
  s.calls = s.injected = 0;
}
long faultCalls() {
  FaultState& s = faultState();
  std::lock_guard<std::mutex> g(s.m);
  return s.calls;
}
long faultsInjected() {
  FaultState& s = faultState();
  std::lock_guard<std::mutex> g(s.m);
  return s.injected;
}
int injectedFault(const std::string& path, FaultOp op) {
  if (!faultArmed.load(std::memory_order_relaxed)) return 0;
  FaultState& s = faultState();
  std::lock_guard<std::mutex> g(s.m);
  if ((s.f.ops & op) == 0) return 0;
  if (!s.name.empty()) {
    const size_t barra = path.find_last_of('/');
    std::string nombre = path.substr(barra == std::string::npos ? 0 : barra + 1);
    for (auto& c : nombre) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (nombre.find(s.name) == std::string::npos) return 0;
  }
  if (!s.except.empty()) {
    const size_t barra = path.find_last_of('/');
    std::string nombre = path.substr(barra == std::string::npos ? 0 : barra + 1);
    for (auto& c : nombre) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (nombre.find(s.except) != std::string::npos) return 0;
  }
  const long n = ++s.calls;
  if (s.f.nth <= 0 || n < s.f.nth) return 0;
  if (s.f.times >= 0 && n >= s.f.nth + s.f.times) return 0;
  ++s.injected;
  return s.f.errnum;
}

namespace {

// This process's id, asked of the system once and again after a fork.
pid_t& pidPropio() {
  static pid_t p = ::getpid();
  return p;
}

constexpr char kMagic[8] = {'M', 'O', 'S', 'T', 'R', 'J', 'N', 'L'};
constexpr uint32_t kVersion = 1;
constexpr size_t kHeader = 32;
constexpr size_t kRecordFixed = 24;
constexpr off_t kBlock = 512;
constexpr off_t kWriterByte = off_t{1} << 52;

void put32(char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
void put64(char* p, uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
uint32_t get32(const char* p) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(p[i]);
  return v;
}
uint64_t get64(const char* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(p[i]);
  return v;
}
uint64_t checksum(const char* p, size_t n) {
  uint64_t h = 0xCBF29CE484222325ULL;
  for (size_t i = 0; i < n; ++i) {
    h ^= static_cast<unsigned char>(p[i]);
    h *= 0x100000001B3ULL;
  }
  return h;
}

bool syncing() {
  static const bool on = [] {
    const char* v = std::getenv("MOSTRADOR_SINCRONIZA");
    return !(v && (std::strcmp(v, "NO") == 0 || std::strcmp(v, "no") == 0 || std::strcmp(v, "0") == 0));
  }();
  return on;
}

SyncHook& syncHook() {
  static SyncHook h = nullptr;
  return h;
}
std::atomic<long> syncs{0};
int datasync(int fd, const std::string& path) {
  ++syncs;
  if (int e = injectedFault(path, kFaultSync)) {
    errno = e;
    return -1;
  }
  return syncHook() ? syncHook()(fd) : ::fdatasync(fd);
}

// A sync that fails means the bytes may not be on disk: never taken for done.
void syncFd(int fd, const std::string& path) {
  if (!syncing()) return;
  int r;
  do r = datasync(fd, path);
  while (r < 0 && errno == EINTR);
  if (r < 0) file::osError("No se pudo asegurar en disco " + path, "sync", path, errno);
}

WriteHook& writeHook() {
  static WriteHook h = nullptr;
  return h;
}

// The data files of a commit. Writeback of all of them is started first, so that the
// syncs that follow, one after the other in this thread, mostly find their pages on the
// way already; no thread is started per commit.
void syncAll(const std::vector<std::pair<int, std::string>>& files) {
  if (!syncing() || files.empty()) return;
  if (files.size() > 1)
    for (const auto& [fd, path] : files) (void)::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
  for (const auto& [fd, path] : files) {
    if (writeHook()) writeHook()(path, 0, 0);
    syncFd(fd, path);
  }
}

std::string key(const fs::path& localDir) {
  // Directories do not move while the program runs: each is resolved once.
  static std::map<std::string, std::string> resueltos;
  auto hit = resueltos.find(localDir.native());
  if (hit != resueltos.end()) return hit->second;
  std::error_code ec;
  fs::path p = fs::weakly_canonical(localDir, ec);
  if (ec) p = localDir.lexically_normal();
  std::string s = p.string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  if (resueltos.size() > 256) resueltos.clear();
  resueltos.emplace(localDir.native(), s);
  return s;
}

int openJournal(const fs::path& path) {
  int fd;
  do fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  while (fd < 0 && errno == EINTR);
  if (fd < 0)
    file::osError("No se pudo abrir el diario de cambios", "journal", path.string(), errno);
  return fd;
}

// A block of the unit's own bytes, as the unit sees it; dirty when not on disk yet.
struct Bloque {
  std::array<char, kBlock> b{};
  // The bytes changed, lo..hi: only those go out, so that the rest of the block on disk
  // is left exactly as it is.
  uint16_t lo = kBlock, hi = 0;
  bool dirty() const { return hi > lo; }
};

struct FileState {
  off_t originalSize = 0;
  int fd = -1;  // a duplicate of the writer's descriptor: the commit writes and syncs it
  std::set<off_t> blocks;  // kept in the journal
  // The unit's changes not written out yet (see "Changes" at the top of the file).
  bool overlay = false;
  off_t disk = 0;  // the file's size on disk when they started
  off_t size = 0;  // its size as the unit sees it
  std::map<off_t, Bloque> mem;
  size_t order = 0;  // of the file's first change in the unit: files go out in this order
  std::string base;  // an index's header as the unit first found it (see writeUnit)
};

struct Unit {
  std::string dir;
  fs::path path;
  int fd = -1;
  pid_t owner = 0;  // the process that opened fd: a forked child opens its own
  int depth = 0;
  uint64_t number = 0;
  off_t size = 0;     // bytes of journal made, written or still pending
  off_t written = 0;  // of those, the bytes in the file
  std::string pending;  // records made since the last data write, not written yet
  bool unsynced = false;
  bool doomed = false;  // an inner unit rolled back: the whole unit must
  bool durable = true;  // sync the journal before data writes and the data at commit
  std::string group;    // the group's marker file, when the unit spans directories
  bool prepared = false;  // its data is already synced (a group past prepare)
  std::map<std::string, FileState> files;
  std::vector<Participant*> participants;
  size_t memBytes = 0;  // held in the files' overlays
  bool spillWanted = false;  // past the memory limit: out at the next safe point
  size_t nextOrder = 0;
  std::set<std::string> touched;  // files this unit has written to: all a rollback puts back

  void append(const std::string& bytes) {
    if (size == 0) {
      char h[kHeader] = {};
      std::memcpy(h, kMagic, 8);
      put32(h + 8, kVersion);
      put32(h + 12, static_cast<uint32_t>(pidPropio()));
      put64(h + 16, number);
      pending.assign(h, kHeader);
      size = kHeader;
      if (!group.empty()) record('B', group, 0, nullptr, 0);
    }
    pending += bytes;
    size += static_cast<off_t>(bytes.size());
    unsynced = true;
  }
  // The records made since the last data write go out in one write: a record only has
  // to be in the file (and synced) before the bytes it keeps are overwritten.
  void writePending() {
    if (pending.empty()) return;
    file::writeAt(fd, pending.data(), pending.size(), written, path.string());
    written += static_cast<off_t>(pending.size());
    pending.clear();
  }
  void record(char kind, const std::string& file, off_t off, const char* data, size_t n) {
    std::string r(kRecordFixed, '\0');
    r[0] = kind;
    r[2] = static_cast<char>(file.size() & 0xFF);
    r[3] = static_cast<char>((file.size() >> 8) & 0xFF);
    put32(r.data() + 4, static_cast<uint32_t>(n));
    put64(r.data() + 8, static_cast<uint64_t>(off));
    put64(r.data() + 16, number);
    r += file;
    if (n) r.append(data, n);
    char c[8];
    put64(c, checksum(r.data(), r.size()));
    r.append(c, 8);
    append(r);
  }
};

std::map<std::string, Unit>& units() {
  static std::map<std::string, Unit> u;
  return u;
}

Unit* find(const fs::path& localDir) {
  auto& u = units();
  if (u.empty()) return nullptr;
  auto it = u.find(key(localDir));
  return it == u.end() || it->second.depth == 0 ? nullptr : &it->second;
}


LogSink& sink() {
  static LogSink s = nullptr;
  return s;
}

bool endsWith(const std::string& path, const char* ext) {
  if (path.size() < 4) return false;
  std::string e = path.substr(path.size() - 4);
  for (auto& c : e) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return e == ext;
}
bool isIndex(const std::string& path) { return endsWith(path, ".mdx"); }
bool isTable(const std::string& path) { return endsWith(path, ".dbf"); }

// ---- the units' changes held in memory ----------------------------------------------------

struct Enmemoria {
  Unit* unit;
  FileState* state;
};
// Every file with changes held, by its path: reads in this process see them.
std::unordered_map<std::string, Enmemoria>& overlays() {
  static std::unordered_map<std::string, Enmemoria> m;
  return m;
}
std::atomic<size_t> overlayCount{0};

// Past this, a unit's changes go out to the files before it goes on (a bulk job in one
// unit), as the journal then already holds their old bytes.
constexpr size_t kMemLimit = size_t{32} << 20;
size_t memLimit = kMemLimit;

void startOverlay(Unit& u, FileState& s, const std::string& f, std::optional<off_t> disk) {
  s.overlay = true;
  s.disk = disk ? *disk : static_cast<off_t>(file::sizeOf(s.fd, f));
  s.size = s.disk;
  s.order = u.nextOrder++;
  overlays()[f] = Enmemoria{&u, &s};
  overlayCount.store(overlays().size(), std::memory_order_relaxed);
}

void dropOverlay(Unit& u, FileState& s, const std::string& f) {
  if (!s.overlay) return;
  u.memBytes -= std::min(u.memBytes, s.mem.size() * static_cast<size_t>(kBlock));
  s.mem.clear();
  s.overlay = false;
  overlays().erase(f);
  overlayCount.store(overlays().size(), std::memory_order_relaxed);
}


// Writes the changed bytes of one file, contiguous runs in one write each. A table's first
// block (its record count and change counter) goes last, so that a reader who sees the
// new counter finds the records it stands for. The caller holds the index's write lock
// when one is needed (writeUnit).
void writeOut(Unit& u, FileState& s, const std::string& f) {
  struct Run {
    off_t from, to;
  };
  std::vector<Run> runs;
  const bool index = isIndex(f);
  for (auto& [b, bl] : s.mem) {
    if (!bl.dirty()) continue;
    const off_t from = b * kBlock + bl.lo, to = std::min(b * kBlock + bl.hi, s.size);
    if (to <= from) continue;
    if (!runs.empty() && runs.back().to == from && (index || runs.back().from >= kBlock))
      runs.back().to = to;
    else
      runs.push_back({from, to});
  }
  if (runs.empty()) return;
  if (!index && runs.front().from < kBlock) std::rotate(runs.begin(), runs.begin() + 1, runs.end());
  std::string buf;
  for (const Run& r : runs) {
    buf.resize(static_cast<size_t>(r.to - r.from));
    for (off_t at = r.from; at < r.to;) {
      const off_t k = at / kBlock, in = at % kBlock;
      const off_t len = std::min(kBlock - in, r.to - at);
      std::memcpy(buf.data() + (at - r.from), s.mem[k].b.data() + in, static_cast<size_t>(len));
      at += len;
    }
    if (writeHook()) writeHook()(f, r.from, buf.size());
    u.touched.insert(f);
    file::writeRaw(s.fd, buf.data(), buf.size(), r.from, f);
  }
  for (auto& [b, bl] : s.mem) bl.lo = kBlock, bl.hi = 0;
}

// The journal's records not written yet, in one write and one sync.
void journalOut(Unit& u) {
  if (!u.unsynced) return;
  const off_t at = u.written;
  u.writePending();
  if (writeHook()) writeHook()(u.path, at, static_cast<size_t>(u.written - at));
  if (u.durable) syncFd(u.fd, u.path.string());
  u.unsynced = false;
}

// Everything the unit holds goes to its files: the journal first (one write, one sync),
// then each file in the order it was first changed.
void writeUnit(Unit& u) {
  std::vector<std::pair<size_t, std::string>> orden;
  for (auto& [f, s] : u.files)
    if (s.overlay) orden.emplace_back(s.order, f);
  if (orden.empty()) return;
  journalOut(u);
  std::sort(orden.begin(), orden.end());
  // A table's records go out under its index's write lock, with the index: a reader
  // under the index's shared lock sees records and keys agree, as when the engine wrote
  // them (verificacion.cpp relies on it). One index lock at a time, as the engine takes.
  auto stem = [](const std::string& f) {
    const fs::path p(f);
    std::string n = p.filename().string();
    n = n.substr(0, n.find('.'));
    for (auto& c : n) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return p.parent_path().string() + "/" + n;
  };
  struct Par {
    std::string table, index, other;
  };
  std::vector<std::string> stems;  // in the order of each table's first change
  std::map<std::string, Par> pares;
  for (auto& [o, f] : orden) {
    const std::string k = isIndex(f) || isTable(f) ? stem(f) : f;
    auto [it, nuevo] = pares.try_emplace(k);
    if (nuevo) stems.push_back(k);
    (isIndex(f) ? it->second.index : isTable(f) ? it->second.table : it->second.other) = f;
  }
  for (const std::string& k : stems) {
    const Par& p = pares[k];
    FileState* ix = p.index.empty() ? nullptr : &u.files[p.index];
    // The table's header lock as an append takes it, then the index's: a check that
    // compares the count with the file's size under the header lock sees them agree.
    FileState* tb = p.table.empty() ? nullptr : &u.files[p.table];
    if (tb && !locks::lockWithRetry(tb->fd, locks::kHeaderByte, locks::Kind::Exclusive, p.table.c_str(),
                                    unitWaitMillis()))
      throw LockError("La tabla " + fs::path(p.table).filename().string() +
                          " está ocupada por otra estación; intente de nuevo",
                      "lock", p.table);
    struct SueltaCabecera {
      FileState* tb;
      ~SueltaCabecera() {
        if (tb) locks::unlock(tb->fd, locks::kHeaderByte);
      }
    } sueltaCabecera{tb};
    if (ix) MdxFile::lockForRestore(ix->fd, p.index, unitWaitMillis());
    try {
      if (!p.other.empty()) writeOut(u, u.files[p.other], p.other);
      if (ix && ix->base.size() >= 40) {
        // Every writer of ours holds the directory's writer lock; one that does not (another
        // program) changed the index since this unit read it, and pages of two states must
        // never mix in one tree: the unit is undone instead.
        char now[64] = {};
        const size_t n = file::readRaw(ix->fd, now, sizeof now, 0, p.index);
        if (n < 40 || std::memcmp(now + 24, ix->base.data() + 24, 16) != 0)
          throw Error("El índice " + fs::path(p.index).filename().string() +
                          " fue cambiado por otro programa durante el guardado; el guardado se deshizo",
                      "journal", p.index);
      }
      if (!p.table.empty()) writeOut(u, u.files[p.table], p.table);
      if (ix) {
        writeOut(u, *ix, p.index);
        auto b0 = ix->mem.find(0);
        if (b0 != ix->mem.end()) ix->base.assign(b0->second.b.data(), 64);
      }
    } catch (...) {
      if (ix) MdxFile::unlockAfterRestore(ix->fd);
      throw;
    }
    if (ix) MdxFile::unlockAfterRestore(ix->fd);
  }
  for (auto& [o, f] : orden) dropOverlay(u, u.files[f], f);
}

uint32_t stampOf(int fd, const std::string& path) {
  char b[4] = {0, 0, 0, 0};
  if (file::readAt(fd, b, 4, file::kStampOffset, path) != 4) return 0;
  return get32(b);
}

// Puts back what the journal open as fd records; returns the number of files touched.
// Runs under the writer lock.
size_t restore(int fd, const fs::path& journalPath, const std::set<std::string>* only = nullptr) {
  const uint64_t total = file::sizeOf(fd, journalPath.string());
  if (total == 0) return 0;
  std::string j(static_cast<size_t>(total), '\0');
  j.resize(file::readAt(fd, j.data(), j.size(), 0, journalPath.string()));
  struct Rec {
    char kind;
    std::string file;
    off_t off;
    size_t at, n;
  };
  std::vector<Rec> recs;
  std::string marker;
  if (j.size() >= kHeader && std::memcmp(j.data(), kMagic, 8) == 0 && get32(j.data() + 8) == kVersion) {
    const uint64_t number = get64(j.data() + 16);
    size_t p = kHeader;
    while (p + kRecordFixed + 8 <= j.size()) {
      const char* r = j.data() + p;
      const size_t plen = static_cast<unsigned char>(r[2]) | (static_cast<size_t>(static_cast<unsigned char>(r[3])) << 8);
      const size_t n = get32(r + 4);
      const size_t len = kRecordFixed + plen + n;
      if (p + len + 8 > j.size()) break;
      if (get64(r + 16) != number || get64(r + len) != checksum(r, len)) break;
      if (r[0] != 'S' && r[0] != 'B') break;
      if (r[0] == 'B' && n == 0 && endsWith(std::string(r + kRecordFixed, plen), ".grp")) {
        marker.assign(r + kRecordFixed, plen);
        p += len + 8;
        continue;
      }
      if (only && !only->count(std::string(r + kRecordFixed, plen))) {
        p += len + 8;  // never written by this unit: its bytes on disk are not ours to put back
        continue;
      }
      recs.push_back({r[0], std::string(r + kRecordFixed, plen), static_cast<off_t>(get64(r + 8)),
                      p + kRecordFixed + plen, n});
      p += len + 8;
    }
  }
  if (!marker.empty()) {
    struct stat ms {};
    if (::stat(marker.c_str(), &ms) != 0 && errno == ENOENT) {
      // The group reached its commit point: what this journal would undo is kept.
      recs.clear();
    }
  }
  // Every file is opened before anything is written back, so that a file that cannot be
  // opened stops the rollback while the journal still holds all of it.
  struct Abiertos {
    std::map<std::string, int> fds;
    ~Abiertos() {
      for (auto& [f, d] : fds) ::close(d);  // drops the index locks taken below
    }
  } abiertos;
  auto& fds = abiertos.fds;
  for (const Rec& r : recs) {
    if (fds.count(r.file)) continue;
    int d;
    do d = ::open(r.file.c_str(), O_RDWR | O_CLOEXEC);
    while (d < 0 && errno == EINTR);
    if (d < 0) {
      if (errno == ENOENT) continue;  // removed since (a table dropped): nothing to put back
      file::osError("No se pudo deshacer un guardado interrumpido", "journal", r.file, errno);
    }
    fds[r.file] = d;
  }
  // Readers of an index wait while its pages are put back, then see it whole: without
  // the index's write lock a walk could meet old and new pages side by side.
  for (auto& [f, d] : fds)
    if (isIndex(f)) MdxFile::lockForRestore(d, f, unitWaitMillis());
  // A table's change counter is raised past any value a reader may have seen during the
  // unit, not put back: a run of records read then must not pass for the state after.
  std::map<std::string, uint32_t> stamps;
  for (const Rec& r : recs)
    if (isTable(r.file) && fds.count(r.file) && !stamps.count(r.file)) stamps[r.file] = stampOf(fds[r.file], r.file);
  for (auto it = recs.rbegin(); it != recs.rend(); ++it) {
    auto f = fds.find(it->file);
    if (f == fds.end()) continue;
    const int d = f->second;
    if (it->kind == 'B') {
      file::writeAt(d, j.data() + it->at, it->n, it->off, it->file);
    } else {
      struct stat st {};
      if (::fstat(d, &st) != 0)
        file::osError("No se pudo deshacer un guardado interrumpido", "journal", it->file, errno);
      if (st.st_size > it->off && !file::setSize(d, it->off, it->file))
        file::osError("No se pudo deshacer un guardado interrumpido", "journal", it->file, errno);
    }
  }
  for (auto& [f, v] : stamps) {
    char b[4];
    put32(b, std::max(v, stampOf(fds[f], f)) + 1);
    file::writeAt(fds[f], b, 4, file::kStampOffset, f);
  }
  // The journal is emptied only once what it put back is on disk and no handle anywhere
  // can trust pages it cached from the undone state; any failure before that leaves the
  // journal whole, to be rolled back again by whoever comes next.
  for (auto& [f, d] : fds) {
    if (isIndex(f)) MdxFile::renewIdentityLocked(d, f);
    syncFd(d, f);
  }
  if (!file::setSize(fd, 0, journalPath.string()))
    file::osError("No se pudo vaciar el diario de cambios", "journal", journalPath.string(), errno);
  // The emptied journal not reaching the disk costs nothing: after a power cut it is
  // rolled back once more over the very bytes it already put back.
  if (syncing() && datasync(fd, journalPath.string()) < 0)
    log("El diario vaciado de " + journalPath.string() + " no pudo asegurarse en disco: " + std::strerror(errno));
  return std::max<size_t>(fds.size(), recs.empty() ? 0 : 1);
}

void logRestored(const std::string& dir, size_t files) {
  log("Se deshizo un guardado interrumpido en " + dir + " (" + std::to_string(files) + " archivos restituidos)");
}

void endUnit(Unit& u, bool committed) {
  std::vector<Participant*> ps;
  ps.swap(u.participants);
  for (auto& [f, s] : u.files) dropOverlay(u, s, f);
  for (Participant* p : ps) p->unitEnded(committed);
  for (auto& [f, s] : u.files)
    if (s.fd >= 0) ::close(s.fd);
  u.files.clear();
  u.depth = 0;
  u.size = 0;
  u.written = 0;
  u.pending.clear();
  u.unsynced = false;
  u.doomed = false;
  u.group.clear();
  u.prepared = false;
  u.memBytes = 0;
  u.spillWanted = false;
  u.nextOrder = 0;
  u.touched.clear();
  locks::unlock(u.fd, kWriterByte);
}

}  // namespace

void setLogSink(LogSink s) { sink() = s; }
void setWriteHook(WriteHook h) { writeHook() = h; }
void setSyncHook(SyncHook h) { syncHook() = h; }
long syncsMade() { return syncs.load(); }
void setMemoryLimit(size_t bytes) { memLimit = bytes ? bytes : kMemLimit; }
void log(const std::string& line) {
  if (sink()) sink()(line);
}

bool active(const fs::path& localDir) { return find(localDir) != nullptr; }

namespace {

// The state of a file in the unit, made (with its original size in the journal) at the
// unit's first look at it.
FileState& stateOf(Unit& u, int fd, const std::string& f) {
  auto it = u.files.find(f);
  if (it != u.files.end()) return it->second;
  FileState s;
  s.originalSize = static_cast<off_t>(file::sizeOf(fd, f));
  s.fd = ::dup(fd);
  if (s.fd < 0) file::osError("No se pudo preparar el guardado de " + f, "dup", f, errno);
  u.record('S', f, s.originalSize, nullptr, 0);
  return u.files.emplace(f, std::move(s)).first->second;
}

// Journals the blocks first..last of bytes not kept yet, reading them from disk; when the
// unit holds the file's changes, the bytes read also start the blocks' copies in memory.
void keepBlocks(Unit& u, FileState& s, const std::string& f, off_t first, off_t last) {
  std::string bytes;
  for (off_t b = first; b <= last;) {
    if (b * kBlock >= s.originalSize || s.blocks.count(b)) {
      ++b;
      continue;
    }
    off_t e = b;  // a run of blocks not kept yet
    while (e + 1 <= last && (e + 1) * kBlock < s.originalSize && !s.blocks.count(e + 1)) ++e;
    const off_t from = b * kBlock;
    const off_t to = std::min((e + 1) * kBlock, s.originalSize);
    bytes.resize(static_cast<size_t>(to - from));
    bytes.resize(file::readRaw(s.fd, bytes.data(), bytes.size(), from, f));
    u.record('B', f, from, bytes.data(), bytes.size());
    if (b == 0 && isIndex(f)) s.base.assign(bytes.data(), std::min<size_t>(bytes.size(), 64));
    for (off_t k = b; k <= e; ++k) {
      s.blocks.insert(k);
      const size_t at = static_cast<size_t>((k - b) * kBlock);
      if (at >= bytes.size() || !s.overlay || s.mem.count(k) || k * kBlock >= s.disk) continue;
      const size_t len = std::min<size_t>({static_cast<size_t>(kBlock), bytes.size() - at,
                                           static_cast<size_t>(s.disk - k * kBlock)});
      std::memcpy(s.mem[k].b.data(), bytes.data() + at, len);
      u.memBytes += kBlock;
    }
    b = e + 1;
  }
}

FileState* overlayOf(const std::string& path) {
  if (overlayCount.load(std::memory_order_relaxed) == 0) return nullptr;
  auto it = overlays().find(path);
  return it == overlays().end() ? nullptr : it->second.state;
}

}  // namespace

void keep(int fd, const fs::path& filePath, off_t off, size_t n) {
  Unit* u = find(filePath.parent_path());
  if (!u || n == 0) return;
  const std::string f = filePath.string();
  FileState& s = stateOf(*u, fd, f);
  keepBlocks(*u, s, f, off / kBlock, (off + static_cast<off_t>(n) - 1) / kBlock);
}

bool absorb(int fd, const fs::path& filePath, const char* buf, size_t n, off_t off) {
  Unit* u = find(filePath.parent_path());
  if (!u) return false;
  if (n == 0) return true;
  const std::string& f = filePath.native();
  const bool nuevo = u->files.find(f) == u->files.end();
  FileState& s = stateOf(*u, fd, f);
  // A file the unit meets for the first time has the size just read.
  if (!s.overlay) startOverlay(*u, s, f, nuevo ? std::optional<off_t>(s.originalSize) : std::nullopt);
  const off_t first = off / kBlock, last = (off + static_cast<off_t>(n) - 1) / kBlock;
  const off_t end = off + static_cast<off_t>(n);
  // Blocks new to the overlay: their bytes now on disk, unless the write covers them
  // whole; those the journal does not hold yet are kept there in the same read.
  keepBlocks(*u, s, f, first, last);
  for (off_t k = first; k <= last; ++k) {
    if (s.mem.count(k)) continue;
    Bloque& bl = s.mem[k];
    u->memBytes += kBlock;
    const off_t from = k * kBlock, to = from + kBlock;
    if (from < s.disk && !(off <= from && end >= to)) {
      const size_t want = static_cast<size_t>(std::min(to, s.disk) - from);
      if (file::readRaw(s.fd, bl.b.data(), want, from, f) != want)
        file::osError("No se pudo leer la tabla " + f, "read", f, EIO);
    }
  }
  for (off_t k = first; k <= last; ++k) {
    Bloque& bl = s.mem[k];
    const off_t from = std::max(off, k * kBlock), to = std::min(end, (k + 1) * kBlock);
    std::memcpy(bl.b.data() + (from - k * kBlock), buf + (from - off), static_cast<size_t>(to - from));
    bl.lo = static_cast<uint16_t>(std::min<off_t>(bl.lo, from - k * kBlock));
    bl.hi = static_cast<uint16_t>(std::max<off_t>(bl.hi, to - k * kBlock));
  }
  s.size = std::max(s.size, end);
  // Past the limit the changes go out at the next safe point (atSafePoint): not here, in
  // the middle of an index write whose header still carries its mark.
  if (u->memBytes > memLimit) u->spillWanted = true;
  return true;
}

bool overlaid() { return overlayCount.load(std::memory_order_relaxed) != 0; }

void atSafePoint(const fs::path& localDir) {
  Unit* u = find(localDir);
  if (!u || !u->spillWanted) return;
  u->spillWanted = false;
  writeUnit(*u);
}

namespace {
// A process forked in the middle of a unit (a station the tests start, a program the
// station runs) has no part in it: it reads the files, not the parent's changes, and
// its own writes open units of its own. The writer lock stays with the parent: the
// journal's descriptor is shared, so it is not unlocked here but replaced at the
// child's first unit.
void despuesDeFork() {
  pidPropio() = ::getpid();
  for (auto& [k, u] : units()) {
    for (auto& [f, s] : u.files)
      if (s.fd >= 0) ::close(s.fd);
    u.files.clear();
    u.participants.clear();
    u.depth = 0;
    u.size = u.written = 0;
    u.pending.clear();
    u.unsynced = u.doomed = u.prepared = false;
    u.group.clear();
    u.memBytes = 0;
    u.spillWanted = false;
    u.touched.clear();
  }
  overlays().clear();
  overlayCount.store(0, std::memory_order_relaxed);
}
const int alFork = ::pthread_atfork(nullptr, nullptr, despuesDeFork);
}  // namespace

bool readHeld(const std::string& path, int fd, char* buf, size_t n, off_t off, size_t& got) {
  FileState* s = overlayOf(path);
  if (!s) return false;
  if (off >= s->size || n == 0) {
    got = 0;
    return true;
  }
  const size_t len = std::min(n, static_cast<size_t>(s->size - off));
  const off_t first = off / kBlock, last = (off + static_cast<off_t>(len) - 1) / kBlock;
  auto lo = s->mem.lower_bound(first), hi = s->mem.upper_bound(last);
  if (static_cast<off_t>(std::distance(lo, hi)) != last - first + 1) {
    const size_t r = file::readRaw(fd, buf, len, off, path);
    if (r < len) std::memset(buf + r, 0, len - r);
  }
  for (auto it = lo; it != hi; ++it) {
    const off_t from = std::max(off, it->first * kBlock);
    const off_t to = std::min(off + static_cast<off_t>(len), (it->first + 1) * kBlock);
    std::memcpy(buf + (from - off), it->second.b.data() + (from - it->first * kBlock), static_cast<size_t>(to - from));
  }
  got = len;
  return true;
}

std::optional<uint64_t> heldSize(const std::string& path) {
  FileState* s = overlayOf(path);
  if (!s) return std::nullopt;
  return static_cast<uint64_t>(s->size);
}

bool peek(const std::string& path, off_t off, void* dst, size_t n) {
  FileState* s = overlayOf(path);
  if (!s || n == 0 || (off / kBlock) != (off + static_cast<off_t>(n) - 1) / kBlock) return false;
  auto it = s->mem.find(off / kBlock);
  if (it == s->mem.end()) return false;
  std::memcpy(dst, it->second.b.data() + off % kBlock, n);
  return true;
}

void flushHeld(const std::string& path) {
  if (overlayCount.load(std::memory_order_relaxed) == 0) return;
  auto it = overlays().find(path);
  if (it == overlays().end()) return;
  Unit& u = *it->second.unit;
  FileState& s = *it->second.state;
  journalOut(u);
  // The caller writes the file itself next, under its own lock when it takes one.
  writeOut(u, s, path);
  dropOverlay(u, s, path);
}

void join(const fs::path& localDir, Participant* p) {
  Unit* u = find(localDir);
  if (!u) return;
  if (std::find(u->participants.begin(), u->participants.end(), p) == u->participants.end())
    u->participants.push_back(p);
}

void leave(Participant* p) {
  for (auto& [k, u] : units())
    u.participants.erase(std::remove(u.participants.begin(), u.participants.end(), p), u.participants.end());
}

bool recoverIfDead(const fs::path& localDir) {
  const fs::path jp = localDir / kFileName;
  struct stat st {};
  if (::stat(jp.c_str(), &st) != 0 || st.st_size == 0) return false;
  if (find(localDir)) return false;  // ours, in progress
  int fd = ::open(jp.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return false;
  bool done = false;
  try {
    if (locks::tryLock(fd, kWriterByte, locks::Kind::Exclusive, jp.c_str())) {
      const size_t n = restore(fd, jp);
      locks::unlock(fd, kWriterByte);
      if (n) {
        logRestored(localDir.string(), n);
        done = true;
      }
    }
  } catch (...) {
    ::close(fd);
    throw;
  }
  ::close(fd);
  return done;
}

}  // namespace journal

// ---- Transaction ---------------------------------------------------------------------------

int unitWaitMillis() {
  const char* v = std::getenv("MOSTRADOR_ESPERA_MS");
  const int n = v ? std::atoi(v) : 0;
  return n > 0 ? n : 10000;
}

Transaction::Transaction(std::string_view dir, int waitMillis)
    : Transaction(base::resuelve(std::string(dir)), waitMillis, true) {}

Transaction::Transaction(const fs::path& local, int waitMillis, bool durable) {
  dir_ = journal::key(local);
  auto& u = journal::units()[dir_];
  if (u.depth > 0) {
    ++u.depth;
    return;
  }
  if (u.fd >= 0 && u.owner != journal::pidPropio()) {
    // Inherited through fork(): the open file description (and so its writer lock) is
    // shared with the parent, so this process needs a description of its own.
    ::close(u.fd);
    u.fd = -1;
    u.participants.clear();
    for (auto& [f, s] : u.files) journal::dropOverlay(u, s, f);
    u.files.clear();
  }
  if (u.fd < 0) {
    u.dir = dir_;
    u.path = fs::path(dir_) / journal::kFileName;
    u.fd = journal::openJournal(u.path);
    u.owner = journal::pidPropio();
  }
  if (waitMillis < 0) waitMillis = unitWaitMillis();
  if (!locks::lockWithRetry(u.fd, journal::kWriterByte, locks::Kind::Exclusive, u.path.c_str(), waitMillis))
    throw LockError("Los datos están ocupados por otra estación; intente de nuevo", "lock", u.path.string());
  try {
    if (file::sizeOf(u.fd, u.path.string()) > 0) {
      // We hold the writer lock: whoever wrote this journal is gone.
      if (size_t n = journal::restore(u.fd, u.path)) journal::logRestored(dir_, n);
    }
  } catch (...) {
    locks::unlock(u.fd, journal::kWriterByte);
    throw;
  }
  static std::mt19937_64 gen{std::random_device{}() ^ static_cast<uint64_t>(::getpid())};
  u.number = gen();
  u.durable = durable;
  u.depth = 1;
  u.size = 0;
  u.written = 0;
  u.pending.clear();
  u.unsynced = false;
  outer_ = true;
}

Transaction::~Transaction() {
  if (done_) return;
  try {
    rollback();
  } catch (const Error& e) {
    journal::log(std::string("No se pudo deshacer un guardado: ") + e.what());
  }
}

void Transaction::commit() {
  if (done_) return;
  done_ = true;
  auto& u = journal::units()[dir_];
  if (!outer_) {
    --u.depth;
    return;
  }
  if (u.doomed) {
    done_ = false;
    rollback();
    throw Error("El guardado no pudo completarse y se deshizo", "journal", u.path.string());
  }
  if (u.size > 0) {
    if (!u.prepared) {
      try {
        journal::writeUnit(u);
      } catch (const Error&) {
        // The journal holds the old bytes of whatever went out: all of it is put back.
        done_ = false;
        try {
          rollback();
        } catch (const Error& r) {
          journal::log(std::string("El diario de ") + dir_ + " queda para deshacerse de nuevo: " + r.what());
        }
        throw;
      }
    }
    if (u.durable && !u.prepared) {
      std::vector<std::pair<int, std::string>> datos;
      for (auto& [f, s] : u.files)
        if (s.fd >= 0) datos.emplace_back(s.fd, f);
      try {
        journal::syncAll(datos);
      } catch (const Error& e) {
        // Not on disk for sure: the journal puts the old bytes back, nothing is half kept.
        done_ = false;
        const std::string porque = e.what();
        try {
          rollback();
        } catch (const Error& r) {
          // The old bytes are back in place but not sure on disk either: the journal
          // stays whole, and whoever takes the writer lock next rolls it back again.
          journal::log(std::string("El diario de ") + dir_ + " queda para deshacerse de nuevo: " + r.what());
        }
        throw Error("El guardado no pudo asegurarse en disco y se deshizo: " + porque, "journal", u.path.string());
      }
    }
    // The truncation is the unit's commit point; a group's is the removal of its marker,
    // which came before.
    if (journal::writeHook() && !u.prepared) journal::writeHook()(u.path, 0, 0);
    if (!file::setSize(u.fd, 0, u.path.string())) {
      int e = errno;
      done_ = false;
      file::osError("No se pudo cerrar el diario de cambios", "journal", u.path.string(), e);
    }
  }
  journal::endUnit(u, true);
}

void Transaction::joinGroup(const fs::path& marker) {
  auto& u = journal::units()[dir_];
  if (outer_ && u.size == 0) u.group = marker.string();
}

void Transaction::prepare() {
  if (done_ || !outer_) return;
  auto& u = journal::units()[dir_];
  if (u.size == 0) return;
  journal::writeUnit(u);
  if (!u.durable) {
    u.prepared = true;
    return;
  }
  std::vector<std::pair<int, std::string>> datos;
  for (auto& [f, st] : u.files)
    if (st.fd >= 0) datos.emplace_back(st.fd, f);
  journal::syncAll(datos);
  u.prepared = true;  // the commit that follows the group's commit point syncs nothing again
}

void Transaction::rollback() {
  if (done_) return;
  done_ = true;
  auto& u = journal::units()[dir_];
  if (!outer_) {
    // An inner unit cannot undo alone: the outer one rolls everything back.
    u.doomed = true;
    --u.depth;
    return;
  }
  // Changes still held never reached the files: they are dropped. A reader of this
  // process may have seen them, so each such table's change counter and each index's
  // identity move on, as after a rollback on disk.
  struct Visto {
    std::string file;
    int fd;
    uint32_t stamp;
  };
  std::vector<Visto> vistos;
  for (auto& [f, s] : u.files) {
    if (!s.overlay) continue;
    if (!s.mem.empty()) {
      uint32_t stamp = 0;
      auto b0 = s.mem.find(0);
      if (b0 != s.mem.end()) stamp = journal::get32(b0->second.b.data() + file::kStampOffset);
      vistos.push_back({f, s.fd, stamp});
    }
    journal::dropOverlay(u, s, f);
  }
  std::exception_ptr err;
  // Once more when the first try fails (a write refused for a moment); when both fail
  // the journal stays whole and whoever takes the writer lock next rolls it back.
  for (int intento = 0; intento < 2 && u.size > 0; ++intento) {
    try {
      journal::restore(u.fd, u.path, &u.touched);
      err = nullptr;
      break;
    } catch (...) {
      err = std::current_exception();
    }
  }
  for (const Visto& v : vistos) {
    try {
      if (journal::isTable(v.file)) {
        char b[4] = {0, 0, 0, 0};
        file::readRaw(v.fd, b, 4, file::kStampOffset, v.file);
        journal::put32(b, std::max(journal::get32(b), v.stamp) + 1);
        file::writeRaw(v.fd, b, 4, file::kStampOffset, v.file);
      } else if (journal::isIndex(v.file)) {
        MdxFile::lockForRestore(v.fd, v.file, unitWaitMillis());
        MdxFile::renewIdentityLocked(v.fd, v.file);
        MdxFile::unlockAfterRestore(v.fd);
      }
    } catch (const Error& e) {
      if (journal::isIndex(v.file)) MdxFile::unlockAfterRestore(v.fd);
      journal::log(std::string("No se pudo renovar ") + v.file + " tras deshacer un guardado: " + e.what());
    }
  }
  journal::endUnit(u, false);
  if (err) std::rethrow_exception(err);
}

}  // namespace mostrador::dbf
