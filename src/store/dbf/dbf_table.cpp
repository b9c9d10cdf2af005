// The table handle. States (see dbf_table.h): Closed, Browse, Editing and Failed; the
// Failed mark survives cancel() and is cleared by close()/open(), or by the rollback of
// the unit the failed write belonged to (the bytes are then as they were before it).
//
// Reads never trust memory past a change: a move sees every change another station
// posted before it. Only the header's shape (fields, header and record lengths), which no
// station changes while the table is open by anybody else, is kept. Opening writes
// nothing. What a move pays for that:
//   * Records. Every change to the records (append, edit, delete, empty, pack, a unit put
//     back) bumps the table's change counter (header bytes 16..19, file::kStampOffset)
//     after its record bytes are written. A handle reads records a run at a time (one
//     record after a jump, a longer run each time a walk goes on past the last run) and
//     trusts the run while the counter stands as it stood *before* the run was read; a
//     change finished later moved it. On a local file system the counter is read through
//     a shared read-only map of the header (a load, no system call), so a walk pays one
//     pread per run. Elsewhere (a network drive, a station's scratch ".db" tables) there
//     is no map and every record is read with pread, as written. An exclusive handle
//     keeps its run with no counter at all: nobody else writes, and its own writes drop it.
//   * Index order. The index's pages are cached per handle and trusted while the index
//     header (mapped the same way) shows the counter and identity they were read at and
//     no write in progress (MdxFile::beginSnapshot): a move then takes no lock at all. The
//     records the move read are checked against the index by looking at its header again
//     at the end (endSnapshot): a write that began meanwhile may have changed a key, and
//     the move is done again under the index's shared lock, which is also the way when a
//     page is not cached or there is no map.
//   * A counter is only ever raised, never put back (a unit's rollback raises it past
//     what it undid), so a run read at one value never passes for a later state.
//
// Writes of a shared table belong to a unit of work (journal.h): the directory's writer
// lock is held and the old bytes are journaled before each write, so a failure or a dead
// station leaves every table of the unit as it was. A change made outside a unit is a
// unit of its own. Within one change, the order is still the one that leaves a readable
// table when nothing can be put back (exclusive and scratch tables):
//   append: header lock -> read the count -> write record + 0x1A -> write count and date
//           -> unlock. A death after the record write leaves a record beyond the count,
//           which reads as absent and which the next append overwrites.
//   edit:   record lock (held from edit() to post()/cancel(), or to the unit's end) ->
//           write the record.
//   delete: record lock -> write '*' over the deleted flag.
//   pack:   build the packed copy in a new file that is locked before it gets its name,
//           then rename it over the table.
// Every change that touches keys runs inside one index write (MdxFile::beginWrite ..
// endWrite) that starts before the .dbf is touched: the index's dirty mark covers the
// whole change, so a station dying half-way outside a unit leaves an index that reports
// itself torn (and is rebuilt from the records) instead of one that silently disagrees
// with them. An edit that changes no tag's key writes no index at all (keysStay). Locks
// are always taken: records, writer lock, .dbf header, .mdx.
//
// Index order: the position is the (key, record number) entry the cursor stands on; the
// index finds its neighbours again on every move, so other stations' changes to the tree
// never invalidate it. Entries whose record is deleted or beyond the count are skipped.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>

#include "base/rutas.h"
#include "store/dbf/dbf_file.h"
#include "store/dbf/journal.h"
#include "store/dbf/key_expression.h"
#include "store/dbf/locks.h"
#include "store/dbf/mdx_index.h"

namespace fs = std::filesystem;

namespace mostrador::dbf {
namespace {

using file::Header;

// Header bytes worth reading at open: the longest header the format allows.
constexpr size_t kMaxHeader = 65536 + 68;

// A little-endian 32-bit number of the header.
uint32_t le32(const char* b) {
  return static_cast<unsigned char>(b[0]) | (static_cast<uint32_t>(static_cast<unsigned char>(b[1])) << 8) |
         (static_cast<uint32_t>(static_cast<unsigned char>(b[2])) << 16) |
         (static_cast<uint32_t>(static_cast<unsigned char>(b[3])) << 24);
}

std::string withExtension(std::string_view file) {
  std::string f(file);
  size_t barra = f.find_last_of("\\/");
  size_t punto = f.find('.', barra == std::string::npos ? 0 : barra + 1);
  if (punto == std::string::npos) f += ".dbf";
  return f;
}

fs::path resolveTable(std::string_view dir, std::string_view file) {
  std::string f = withExtension(file);
  if (dir.empty()) return base::resuelve(f);
  return base::resuelve(base::une(dir, f));
}

// The production index of a table: its name up to the first "." plus ".mdx", found
// without regard to case; a new one takes the case of the table's extension.
fs::path indexPathFor(const fs::path& dbf) {
  std::string nombre = dbf.filename().string();
  size_t punto = nombre.find('.');
  std::string base = nombre.substr(0, punto);
  bool mayusculas = punto != std::string::npos && nombre.size() > punto + 1 &&
                    std::all_of(nombre.begin() + static_cast<long>(punto) + 1, nombre.end(),
                                [](char c) { return !std::islower(static_cast<unsigned char>(c)); });
  return base::resuelve((dbf.parent_path() / (base + (mayusculas ? ".MDX" : ".mdx"))).string());
}

// Other files of a table that go with it when it is dropped (memo text).
fs::path memoPathFor(const fs::path& dbf) {
  std::string nombre = dbf.filename().string();
  return base::resuelve((dbf.parent_path() / (nombre.substr(0, nombre.find('.')) + ".dbt")).string());
}

RecordLayout layoutOf(const Header& h) {
  RecordLayout l;
  l.fields = h.fields;
  l.offsets = h.offsets;
  l.recordLength = h.recordLength;
  return l;
}

RecordLayout layoutOf(const std::vector<FieldDef>& fields) {
  RecordLayout l;
  l.fields = fields;
  for (auto& f : l.fields)
    for (auto& c : f.name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const auto& f : fields) {
    l.offsets.push_back(l.recordLength);
    l.recordLength += f.length;
  }
  return l;
}

// The descriptor flag dBASE sets on a field that has a tag keyed on it alone.
std::vector<uint8_t> indexFlagsFor(const std::vector<FieldDef>& fields, const std::vector<TagDef>& tags) {
  std::vector<uint8_t> flags(fields.size(), 0);
  for (const auto& tag : tags) {
    if (tag.key.empty() || tag.key[0] == '*' || tag.key.find(';') != std::string::npos) continue;
    for (size_t i = 0; i < fields.size(); ++i)
      if (base::mismoNombre(fields[i].name, tag.key)) flags[i] = 1;
  }
  return flags;
}

// Refuses a tag whose name or key cannot be used, saying which and why.
void checkTag(const TagDef& tag, const RecordLayout& layout) {
  if (tag.name.empty() || tag.name.size() > 10)
    throw Error("El nombre del índice \"" + tag.name + "\" debe tener de 1 a 10 caracteres", "index");
  try {
    KeyExpression::compile(tag.key, layout, tag.descending);
  } catch (const Error& e) {
    throw Error("No se pudo crear el índice " + tag.name + ": " + e.what(), "index");
  }
}

class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() { reset(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  Fd(Fd&& o) noexcept : fd_(o.release()) {}
  Fd& operator=(Fd&& o) noexcept {
    if (this != &o) {
      reset();
      fd_ = o.release();
    }
    return *this;
  }
  int get() const { return fd_; }
  int release() {
    int f = fd_;
    fd_ = -1;
    return f;
  }
  void reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

Fd openFile(const fs::path& path, int flags, const std::string& name) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    int e = errno;
    if (e == ENOENT) throw Error("No existe la tabla " + name, "open", path.string(), e);
    file::osError("No se pudo abrir la tabla " + name, "open", path.string(), e);
  }
  return Fd(fd);
}

// Takes the exclusive "open" lock on a table file that may be in use, for the
// operations that replace or remove it.
Fd lockForReplace(const fs::path& path, const std::string& name) {
  Fd fd = openFile(path, O_RDWR, name);
  if (!locks::tryLock(fd.get(), locks::kOpenByte, locks::Kind::Exclusive, path.c_str()))
    throw LockError("La tabla " + name + " está en uso por otra estación", "open", path.string());
  return fd;
}

}  // namespace

struct Table::Impl : journal::Participant {
  Fd fd;
  fs::path path;
  std::string name;  // file name on disk, for messages
  std::string dirArg, fileArg;
  Header h;
  bool isOpen = false, exclusive = false, readOnly = false, failed = false;
  uint32_t countLimit = UINT32_MAX;  // the whole records the file held at open
  mutable uint32_t knownCount = 0;   // the header's count as last read
  std::string indexProblem;

  // Position: the current record (0 = none) and the end flags.
  uint32_t recno = 0;
  bool bof = true, eof = true;
  std::string rec;  // bytes of the current record, as read by the last move

  // The header mapped for its change counter, and the run of records last read (see the
  // top of the file): runCount records from runFirst, read while the counter was runStamp.
  // Mapped at the second record read, so that an open that reads one record pays nothing.
  mutable file::HeaderMap map;
  mutable bool mapTried = false;
  mutable int freshReads = 0;
  char reserved[4] = {0, 0, 0, 0};  // header bytes 12..15 as found at open
  mutable std::string run;
  mutable uint32_t runFirst = 0, runCount = 0, runStamp = 0, runAhead = 1;

  enum class Change { None, Append, Edit } change = Change::None;
  std::string buf, old;  // record being changed and its bytes before the change
  uint32_t lockedRecord = 0;
  std::set<uint32_t> held;  // record locks kept past their edit: lock phase, or a unit's
  int stampedDay = -1;
  fs::path dirLocal;      // the directory, whose unit (if any) this handle's writes join
  bool journaled = false; // shared and writable: changes go through the directory's units  // yy*10000+mm*100+dd last written to the header by this handle

  // Production index: absent when the table has none or it could not be used.
  std::unique_ptr<MdxFile> mdx;
  fs::path mdxPath;
  RecordLayout layout;
  int tag = -1;          // current tag, -1 for natural order
  MdxFile::Entry pos;    // entry of the current record in index order
  bool ranged = false;
  std::string lo, hi;    // encoded range ends (prefixes)

  // --- checks --------------------------------------------------------------------------
  void requireOpen() const {
    if (!isOpen) throw Error("La tabla no está abierta", "use");
  }
  void requireWritable() const {
    requireOpen();
    if (failed)
      throw Error("La tabla " + name +
                      " no admite más cambios después de un error de escritura; ciérrela y "
                      "vuelva a abrirla",
                  "write", path.string());
    if (readOnly) throw Error("La tabla " + name + " es de solo lectura", "write", path.string());
  }
  void requireExclusive(const char* para) const {
    requireWritable();
    if (!exclusive)
      throw Error("La tabla " + name + " debe abrirse en exclusiva para " + para, "exclusive",
                  path.string());
  }
  void requireEditing() const {
    requireOpen();
    if (change == Change::None) throw Error("La tabla " + name + " no está en edición", "write", path.string());
  }
  void requireField(int field) const {
    if (field < 0 || static_cast<size_t>(field) >= h.fields.size())
      throw Error("La tabla " + name + " no tiene el campo número " + std::to_string(field), "field");
  }

  bool indexed() const { return tag >= 0 && mdx; }
  void requireIndex(const char* op) const {
    requireOpen();
    if (!indexed()) throw Error("La tabla " + name + " no tiene un índice seleccionado", op, path.string());
  }
  const KeyExpression& expression() const { return mdx->expression(tag); }

  // --- raw I/O ---------------------------------------------------------------------------
  // The header's count, but never more records than the file holds whole (a truncated
  // copy). An append writes its record before the count, so while one is in flight the
  // file holds more than the header says and the header's count is the answer.
  // With `stamp`, the change counter comes in the same read.
  uint32_t readCount(uint32_t* stamp = nullptr) const {
    char b[16];
    const size_t want = stamp ? 16 : 4;
    if (file::readAt(fd.get(), b, want, file::kCountOffset, path.string()) != want) return 0;
    if (stamp) *stamp = le32(b + 12);
    uint32_t n = le32(b);
    if (n > knownCount || n > countLimit) {
      const uint64_t size = file::sizeOf(fd.get(), path.string());
      const uint64_t enteros = size < static_cast<uint64_t>(h.headerLength)
                                   ? 0
                                   : (size - static_cast<uint64_t>(h.headerLength)) / static_cast<uint64_t>(h.recordLength);
      if (enteros < n) n = static_cast<uint32_t>(enteros);
    }
    knownCount = n;
    return knownCount;
  }
  // True when record r is within the table. The count only grows while this handle has
  // the table open: its shared "open" lock keeps pack, empty and every other exclusive
  // change away. So a count once read stays valid, and only a record beyond it needs a
  // fresh look at the header.
  bool withinCount(uint32_t r) const { return r <= knownCount || r <= readCount(); }
  // Record r as on disk now, read with its own pread (edits start from this).
  bool readFresh(uint32_t r, std::string& out) const {
    out.resize(static_cast<size_t>(h.recordLength));
    return file::readAt(fd.get(), out.data(), out.size(), h.recordOffset(r), path.string()) ==
           out.size();
  }
  // Record r as a move sees it: from the run read last while the change counter has not
  // moved, else from disk, reading further ahead (or back) when the walk goes on.
  bool readRecord(uint32_t r, std::string& out) const {
    // In exclusive use only this handle writes, and each of its writes drops the run.
    uint32_t stamp = 0;
    if (!exclusive) {
      if (!map) {
        if (mapTried || freshReads++ == 0) return readFresh(r, out);
        mapTried = true;
        map = file::HeaderMap(fd.get(), static_cast<size_t>(h.headerLength));
        if (!map) return readFresh(r, out);
      }
      stamp = map.load32(file::kStampOffset);
      if (map.broken()) return readFresh(r, out);
    }
    const size_t rl = static_cast<size_t>(h.recordLength);
    if (runCount != 0 && stamp == runStamp && r >= runFirst && r - runFirst < runCount) {
      out.assign(run, static_cast<size_t>(r - runFirst) * rl, rl);
      return true;
    }
    const uint32_t longest = static_cast<uint32_t>(std::max<size_t>(1, kRunBytes / rl));
    uint32_t from = r, n = 1;
    if (runCount != 0 && r == runFirst + runCount) {
      runAhead = std::min(longest, runAhead * 2);
      n = runAhead;
    } else if (runCount != 0 && r + 1 == runFirst) {
      runAhead = std::min(longest, runAhead * 2);
      n = std::min(runAhead, r);
      from = r - n + 1;
    } else {
      runAhead = 1;
    }
    run.resize(static_cast<size_t>(n) * rl);
    const size_t got = file::readAt(fd.get(), run.data(), run.size(), h.recordOffset(from), path.string());
    const uint32_t whole = static_cast<uint32_t>(got / rl);
    if (r - from >= whole) {
      runCount = 0;
      return false;
    }
    runFirst = from;
    runCount = whole;
    runStamp = stamp;
    out.assign(run, static_cast<size_t>(r - from) * rl, rl);
    return true;
  }
  static constexpr size_t kRunBytes = 65536;
  void forgetRun() const { runCount = 0; }
  // The change counter as it stands: writers run one at a time (the directory's writer
  // lock, or exclusive use, where the value this handle wrote last is the value).
  uint32_t stampOnDisk() {
    if (exclusive && stampKnown) return stampWritten;
    if (map && !map.broken()) {
      const uint32_t v = map.load32(file::kStampOffset);
      if (!map.broken()) return v;
    }
    char b[4] = {0, 0, 0, 0};
    file::readAt(fd.get(), b, 4, file::kStampOffset, path.string());
    return le32(b);
  }
  uint32_t stampWritten = 0;  // the counter as this handle last wrote it
  bool stampKnown = false;
  static void putLe32(char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  }
  // After a change to the records: raise the change counter (see the top of the file).
  void bumpStamp() {
    char b[4];
    stampWritten = stampOnDisk() + 1;
    putLe32(b, stampWritten);
    put(b, 4, file::kStampOffset);
    stampKnown = true;
  }
  bool live(const std::string& r) const { return !r.empty() && r[0] != file::kDeleted; }
  std::string blankRecord() const { return std::string(static_cast<size_t>(h.recordLength), ' '); }

  // Every write to the .dbf: its old bytes go to the open unit's journal first.
  void put(const char* b, size_t n, off_t off) {
    forgetRun();
    if (journaled) journal::beforeWrite(fd.get(), path, off, n);
    file::writeAt(fd.get(), b, n, off, path.string());
  }

  // A change made outside any unit is a unit of its own: the writer lock for its
  // duration, its old bytes journaled, committed at the end (rolled back on a throw).
  struct AutoUnit {
    std::optional<Transaction> t;
    explicit AutoUnit(Impl& i) {
      if (i.journaled && !journal::active(i.dirLocal)) t.emplace(i.dirLocal, -1, false);
      if (i.journaled) journal::join(i.dirLocal, &i);
    }
    void done() {
      if (t) t->commit();
    }
  };
  bool inUnit() const { return journaled && journal::active(dirLocal); }

  // The unit ended: let go of the locks kept for it. After a rollback the bytes on disk
  // are sound again, so a handle a failed write had stopped may write again.
  void unitEnded(bool committed) override {
    for (uint32_t r : held)
      if (r != lockedRecord) locks::unlock(fd.get(), locks::recordByte(r));
    held.clear();
    if (!committed && isOpen) {
      forgetRun();
      failed = false;
      if (!mdx && !mdxPath.empty() && indexProblem.find("incompleto") != std::string::npos) {
        indexProblem.clear();
        const std::string tagName = lastTagName;
        openIndex();
        if (mdx && !tagName.empty()) tag = mdx->tagNumber(tagName);
      }
      refreshCurrent();
    }
  }
  std::string lastTagName;  // the tag selected when the index was given up

  // Marks the handle failed and rethrows: nothing more is written through it.
  template <typename F>
  void writing(F&& f) {
    try {
      f();
    } catch (...) {
      failed = true;
      throw;
    }
  }

  void stampDate() {
    int yy, mm, dd;
    file::today(yy, mm, dd);
    int dia = yy * 10000 + mm * 100 + dd;
    if (dia == stampedDay) return;
    char b[3] = {static_cast<char>(yy), static_cast<char>(mm), static_cast<char>(dd)};
    put(b, 3, 1);
    stampedDay = dia;
  }
  // Date, count and a raised change counter in one write (bytes 1..19: the lengths and
  // bytes 12..15 between them are written as they are).
  void writeCountAndDate(uint32_t count, std::optional<uint32_t> stampNow = std::nullopt) {
    int yy, mm, dd;
    file::today(yy, mm, dd);
    const uint32_t next = (stampNow ? *stampNow : stampOnDisk()) + 1;
    char b[19] = {static_cast<char>(yy), static_cast<char>(mm), static_cast<char>(dd)};
    putLe32(b + 3, count);
    b[7] = static_cast<char>(h.headerLength & 0xFF);
    b[8] = static_cast<char>((h.headerLength >> 8) & 0xFF);
    b[9] = static_cast<char>(h.recordLength & 0xFF);
    b[10] = static_cast<char>((h.recordLength >> 8) & 0xFF);
    std::memcpy(b + 11, reserved, 4);
    putLe32(b + 15, next);
    put(b, sizeof b, 1);
    stampWritten = next;
    stampKnown = true;
    stampedDay = yy * 10000 + mm * 100 + dd;
  }

  // The header lock, except in exclusive use, where no other station can append and the
  // count this handle keeps is the count on disk (two system calls saved per append).
  struct HeaderLock {
    Impl& t;
    explicit HeaderLock(Impl& table) : t(table) {
      if (t.exclusive) return;
      if (!locks::lockWithRetry(t.fd.get(), locks::kHeaderByte, locks::Kind::Exclusive, t.path.c_str()))
        throw LockError("La tabla " + t.name + " está ocupada por otra estación; intente de nuevo",
                        "lock", t.path.string());
    }
    ~HeaderLock() {
      if (!t.exclusive) locks::unlock(t.fd.get(), locks::kHeaderByte);
    }
  };

  // Appends a record under the header lock; returns its number.
  uint32_t appendRecord(const std::string& record) {
    AutoUnit unit(*this);
    uint32_t r = appendLocked(record);
    unit.done();
    return r;
  }
  uint32_t appendLocked(const std::string& record) {
    HeaderLock lock(*this);
    std::optional<uint32_t> stampNow;
    uint32_t count;
    if (exclusive) {
      count = knownCount;
    } else {
      uint32_t s = 0;
      count = readCount(&s);
      stampNow = s;
    }
    if (count == UINT32_MAX) throw Error("La tabla " + name + " está llena", "append", path.string());
    uint32_t r = count + 1;
    std::string bytes = record;
    bytes[0] = ' ';
    bytes.push_back(file::kEndOfFile);  // record and end mark in one write
    indexedWrite([&] {
      put(bytes.data(), bytes.size(), h.recordOffset(r));
      writeCountAndDate(r, stampNow);
      knownCount = r;
      updateKeys(nullptr, &bytes, r);
    });
    return r;
  }

  // --- index maintenance ---------------------------------------------------------------
  // Runs a change of the table and its keys as one index write. When the index write
  // cannot start nothing has been written; a failure after that leaves the handle Failed
  // and the index marked torn (it is given up, not closed cleanly).
  template <typename F>
  void indexedWrite(F&& f) {
    if (!mdx) return writing(f);
    mdx->beginWrite();
    try {
      f();
      mdx->endWrite();
    } catch (...) {
      failed = true;
      abandonIndex();
      throw;
    }
  }
  void abandonIndex() {
    if (tag >= 0 && mdx) lastTagName = mdx->tags()[static_cast<size_t>(tag)].name;
    mdx.reset();
    tag = -1;
    ranged = false;
    indexProblem = "El índice " + mdxPath.filename().string() +
                   " quedó incompleto por un error de escritura; hay que reconstruirlo";
  }
  // Moves the keys of record r from the old bytes to the new ones in every tag (either
  // may be absent: an append has no old keys, a deletion no new ones).
  void updateKeys(const std::string* before, const std::string* after, uint32_t r) {
    if (!mdx) return;
    const int n = static_cast<int>(mdx->tags().size());
    for (int i = 0; i < n; ++i) {
      const KeyExpression& e = mdx->expression(i);
      std::string ko = before ? e.evaluate(before->data()) : std::string();
      std::string kn = after ? e.evaluate(after->data()) : std::string();
      if (before && after && ko == kn) continue;
      if (before) mdx->erase(i, ko, r);
      if (after) mdx->insert(i, kn, r);
    }
  }
  // True when no tag's key of the record changes from `before` to `after`, by the tags
  // as they stand: an edit of other fields then leaves the index alone (no write, and
  // other stations keep the pages they cached). Asked under the writer lock (inside the
  // change's unit), so no station changes the index meanwhile; a tag added a moment ago
  // by another station shows as a moved counter, and then the answer is no.
  bool keysStay(const std::string& before, const std::string& after) const {
    if (!mdx) return true;
    if (!exclusive && !inUnit()) return false;
    if (!mdx->beginSnapshot()) return false;
    bool stay = true;
    const int n = static_cast<int>(mdx->tags().size());
    for (int i = 0; i < n && stay; ++i) {
      const KeyExpression& e = mdx->expression(i);
      stay = e.evaluate(before.data()) == e.evaluate(after.data());
    }
    return mdx->endSnapshot() && stay;
  }
  // Fills one tag (already empty) from every live record, keys sorted first so that the
  // tree is built left to right.
  void fillTag(int i) {
    const KeyExpression& e = mdx->expression(i);
    std::vector<std::pair<std::string, uint32_t>> keys;
    forEachLive([&](uint32_t r, const char* bytes) { keys.emplace_back(e.evaluate(bytes), r); });
    std::sort(keys.begin(), keys.end());
    for (const auto& [k, r] : keys) mdx->insert(i, k, r);
  }
  void rebuildAll() {
    if (!mdx) return;
    indexedWrite([&] {
      const int n = static_cast<int>(mdx->tags().size());
      for (int i = 0; i < n; ++i) {
        mdx->clearTag(i);
        fillTag(i);
      }
    });
  }
  // Calls f(recno, bytes) for every live record, reading a block at a time.
  template <typename F>
  void forEachLive(F&& f) const {
    const uint32_t count = readCount();
    const size_t rl = static_cast<size_t>(h.recordLength);
    const uint32_t porBloque = static_cast<uint32_t>(std::max<size_t>(1, (1 << 20) / rl));
    std::string in;
    for (uint32_t r = 1; r <= count; r += porBloque) {
      uint32_t n = std::min(porBloque, count - r + 1);
      in.resize(n * rl);
      size_t got = file::readAt(fd.get(), in.data(), in.size(), h.recordOffset(r), path.string());
      for (size_t k = 0; k + rl <= got; k += rl)
        if (in[k] != file::kDeleted) f(r + static_cast<uint32_t>(k / rl), in.data() + k);
      if (got < in.size()) break;
      if (count - r + 1 <= porBloque) break;
    }
  }
  // Header byte 28 and the descriptors' flags, after the tags changed.
  void writeIndexFlags() {
    std::vector<TagDef> tags = mdx ? mdx->tags() : std::vector<TagDef>{};
    std::vector<uint8_t> flags = indexFlagsFor(h.fields, tags);
    const bool production = mdx != nullptr;
    AutoUnit unit(*this);
    writing([&] {
      if (production != h.productionIndex) {
        const char b = production ? 1 : 0;
        put(&b, 1, file::kProductionFlagOffset);
        h.productionIndex = production;
      }
      for (size_t i = 0; i < flags.size(); ++i)
        if (flags[i] != h.indexFlags[i]) {
          const char b = static_cast<char>(flags[i]);
          put(&b, 1, h.indexFlagOffset(i));
          h.indexFlags[i] = flags[i];
        }
    });
    unit.done();
  }
  void openIndex() {
    mdxPath = indexPathFor(path);
    std::error_code ec;
    const std::string archivo = mdxPath.filename().string();
    if (!fs::exists(mdxPath, ec)) {
      if (h.productionIndex) indexProblem = "Falta el índice " + archivo + " de la tabla " + name;
      return;
    }
    auto m = std::make_unique<MdxFile>();
    try {
      m->open(mdxPath, layout);
      m->setJournaled(journaled);
      mdx = std::move(m);
    } catch (const IndexDamaged& e) {
      indexProblem = "El índice " + archivo + " está dañado: " + e.what();
      if (repairIndex(e.what())) return openIndex();
    } catch (const Error& e) {
      indexProblem = "El índice " + archivo + " está dañado: " + e.what();
    }
  }

  // Rebuilds a damaged index from the table, so that a write cut short (or a page
  // damaged on disk) does not stop the shop: a fresh index is built beside it from the
  // records and copied over it in place, under the directory's writer lock (no station
  // changes the table meanwhile) and the index's write lock (readers wait, then see the
  // whole new index). Not for read-only handles, nor while this process is inside a unit
  // of the directory (its journal would have to hold the whole index). True when rebuilt.
  bool repairIndex(const std::string& why) {
    if (readOnly || mdxPath.empty() || repairing) return false;
    if (journaled && journal::active(dirLocal)) return false;
    repairing = true;
    struct Reset {
      bool& b;
      ~Reset() { b = false; }
    } reset{repairing};
    std::optional<Transaction> writer;
    try {
      if (!exclusive) writer.emplace(dirLocal.string());
      std::vector<TagDef> tags = MdxFile::storedTags(mdxPath);
      // Another station may have rebuilt it while we waited for the lock.
      try {
        MdxFile probe;
        probe.open(mdxPath, layout);
        probe.setJournaled(false);
        for (int i = 0; i < static_cast<int>(tags.size()); ++i) probe.entryCount(i);
        probe.first(0);
        if (writer) writer->commit();
        return true;
      } catch (const Error&) {
      }
      const fs::path tmp = mdxPath.string() + ".nuevo";
      MdxFile::create(tmp, tags, layout);
      {
        MdxFile fresh;
        fresh.open(tmp, layout);
        fresh.beginWrite();
        for (int i = 0; i < static_cast<int>(tags.size()); ++i) {
          const KeyExpression& e = fresh.expression(i);
          std::vector<std::pair<std::string, uint32_t>> keys;
          forEachLive([&](uint32_t r, const char* bytes) { keys.emplace_back(e.evaluate(bytes), r); });
          std::sort(keys.begin(), keys.end());
          for (const auto& [k, r] : keys) fresh.insert(i, k, r);
        }
        fresh.endWrite();
      }
      MdxFile::replaceContents(mdxPath, tmp);
      std::error_code ec;
      fs::remove(tmp, ec);
      if (writer) writer->commit();
      journal::log("Se reconstruyó el índice " + mdxPath.filename().string() + " de la tabla " + name +
                   " (" + why + ")");
      indexProblem.clear();
      return true;
    } catch (const Error& e) {
      journal::log("No se pudo reconstruir el índice " + mdxPath.filename().string() + " de la tabla " +
                   name + ": " + e.what());
      return false;
    }
  }
  bool repairing = false;

  // Runs an index read; a damaged index found on the way is rebuilt from the table and
  // the read runs again. When it cannot be rebuilt the caller hears of it with the table
  // and the tag: a read never returns fewer rows without saying so.
  template <typename F>
  auto withIndex(F&& f) -> decltype(f()) {
    try {
      return f();
    } catch (const IndexDamaged& e) {
      const std::string tagName = tag >= 0 && mdx ? mdx->tags()[static_cast<size_t>(tag)].name : std::string();
      const std::string why = e.what();
      mdx.reset();
      tag = -1;
      if (repairIndex(why)) {
        openIndex();
        if (mdx && !tagName.empty()) tag = mdx->tagNumber(tagName);
        if (indexed()) return f();
      }
      indexProblem = "El índice " + mdxPath.filename().string() + " está dañado: " + why;
      throw Error("El índice " + tagName + " de la tabla " + name + " está dañado (" + why +
                      "); reconstruya los índices",
                  "index", path.string());
    }
  }

  // A header whose count overstates the records on disk (a truncated file) is read only
  // as far as the records go. Opening never writes: a table opened to be read stays
  // byte for byte as it was, and an append writes the count it needs under its lock.
  void reconcileCount() {
    knownCount = 0;
    countLimit = 0;  // the first count read checks the file's size
    readCount();
    countLimit = knownCount;
  }

  // --- positioning, natural order ----------------------------------------------------
  void clearPosition() {
    recno = 0;
    bof = eof = true;
    rec = blankRecord();
  }
  void placeOn(uint32_t r, std::string&& bytes) {
    recno = r;
    rec = std::move(bytes);
    bof = eof = false;
    if (indexed()) pos = {expression().evaluate(rec.data()), r};
  }
  void placeOn(const MdxFile::Entry& e, std::string&& bytes) {
    recno = e.recno;
    rec = std::move(bytes);
    bof = eof = false;
    pos = e;
  }

  // --- positioning, index order ------------------------------------------------------
  bool aboveLo(const std::string& key) const { return !ranged || key.compare(0, lo.size(), lo) >= 0; }
  bool belowHi(const std::string& key) const { return !ranged || key.compare(0, hi.size(), hi) <= 0; }
  bool inRange(const std::string& key) const { return aboveLo(key) && belowHi(key); }
  bool liveEntry(const MdxFile::Entry& e, std::string& out) const {
    return e.recno >= 1 && withinCount(e.recno) && readRecord(e.recno, out) && live(out);
  }
  // Holds the index's shared lock across the several reads of one move.
  struct ReadSession {
    const MdxFile* m;
    explicit ReadSession(const MdxFile* mdx) : m(mdx) {
      if (m) m->beginRead();
    }
    ~ReadSession() {
      if (m) m->endRead();
    }
  };
  // Runs one move's index reads and the record reads that go with them: first from the
  // pages this handle has cached, with no lock, when the index shows it has not changed
  // since and still had not by the end; else under the index's shared lock. f may run
  // twice, so it only computes (into its captures); the caller places the cursor after.
  template <typename F>
  auto indexRead(F&& f) const -> decltype(f()) {
    if (mdx->beginSnapshot()) {
      std::optional<decltype(f())> r;
      try {
        r.emplace(f());
      } catch (const MdxFile::Stale&) {
      } catch (...) {
        mdx->endSnapshot();
        throw;
      }
      if (mdx->endSnapshot() && r) return std::move(*r);
    }
    ReadSession rs(mdx.get());
    return f();
  }
  // From e, the first entry going by step (+1/-1) whose record is live, within the range.
  std::optional<MdxFile::Entry> walk(std::optional<MdxFile::Entry> e, int step, std::string& out) const {
    while (e) {
      if (step > 0 ? !belowHi(e->key) : !aboveLo(e->key)) return std::nullopt;
      if (liveEntry(*e, out)) return e;
      e = step > 0 ? mdx->next(tag, *e) : mdx->prior(tag, *e);
    }
    return std::nullopt;
  }
  std::optional<MdxFile::Entry> idxFirst(std::string& out) const {
    return walk(ranged ? mdx->seek(tag, lo) : mdx->first(tag), +1, out);
  }
  std::optional<MdxFile::Entry> idxLast(std::string& out) const {
    return walk(ranged ? mdx->seekLast(tag, hi) : mdx->last(tag), -1, out);
  }
  // First live record from `from` going by `step` (+1/-1) within 1..count; 0 when none.
  uint32_t scan(uint32_t from, int step, std::string& out) const {
    if (from == 0) return 0;
    if (step < 0) {
      const uint32_t count = from > knownCount ? readCount() : knownCount;
      return count == 0 ? 0 : scanWithin(std::min(from, count), step, count, out);
    }
    uint32_t count = knownCount;
    for (;;) {
      if (from <= count) {
        if (uint32_t r = scanWithin(from, step, count, out)) return r;
      }
      // Past the count last read: records other stations appended since.
      const uint32_t fresh = readCount();
      if (fresh <= count) return 0;
      from = std::max(from, count + 1);
      count = fresh;
    }
  }
  uint32_t scanWithin(uint32_t from, int step, uint32_t count, std::string& out) const {
    // Record by record first; runs of deleted records are read a block at a time.
    const size_t rl = static_cast<size_t>(h.recordLength);
    std::string block;
    for (uint32_t r = from; r >= 1 && r <= count;) {
      if (!readRecord(r, out)) return 0;
      if (live(out)) return r;
      uint32_t n = static_cast<uint32_t>(std::max<size_t>(1, 65536 / rl));
      uint32_t lo, hi;
      if (step > 0) {
        lo = r + 1;
        if (lo > count) return 0;
        hi = std::min<uint64_t>(count, static_cast<uint64_t>(lo) + n - 1);
      } else {
        if (r == 1) return 0;
        hi = r - 1;
        lo = hi > n ? hi - n + 1 : 1;
      }
      block.resize(static_cast<size_t>(hi - lo + 1) * rl);
      size_t got = file::readAt(fd.get(), block.data(), block.size(), h.recordOffset(lo), path.string());
      uint32_t completos = static_cast<uint32_t>(got / rl);
      if (step > 0) {
        for (uint32_t k = 0; k < completos; ++k)
          if (block[k * rl] != file::kDeleted) {
            out.assign(block, k * rl, rl);
            return lo + k;
          }
        if (completos < hi - lo + 1) return 0;
        r = hi + 1;
      } else {
        for (uint32_t k = completos; k-- > 0;)
          if (block[k * rl] != file::kDeleted) {
            out.assign(block, k * rl, rl);
            return lo + k;
          }
        if (lo == 1) return 0;
        r = lo - 1;
      }
    }
    return 0;
  }

  void first() {
    std::string out;
    if (indexed()) {
      auto e = indexRead([&] { return idxFirst(out); });
      if (!e) return clearPosition();
      placeOn(*e, std::move(out));
      bof = true;
      return;
    }
    uint32_t r = scan(1, +1, out);
    if (r == 0) return clearPosition();
    placeOn(r, std::move(out));
    bof = true;
  }
  void last() {
    std::string out;
    if (indexed()) {
      auto e = indexRead([&] { return idxLast(out); });
      if (!e) return clearPosition();
      placeOn(*e, std::move(out));
      eof = true;
      return;
    }
    uint32_t r = scan(UINT32_MAX, -1, out);
    if (r == 0) return clearPosition();
    placeOn(r, std::move(out));
    eof = true;
  }
  void next() {
    if (recno == 0) {
      first();
      bof = recno == 0;
      return;
    }
    std::string out;
    if (indexed()) {
      auto e = indexRead([&] { return walk(mdx->next(tag, pos), +1, out); });
      if (!e) {
        eof = true;
        bof = false;
        return refreshCurrent();
      }
      return placeOn(*e, std::move(out));
    }
    uint32_t r = recno == UINT32_MAX ? 0 : scan(recno + 1, +1, out);
    if (r == 0) {
      eof = true;
      bof = false;
      refreshCurrent();
      return;
    }
    placeOn(r, std::move(out));
  }
  void prior() {
    if (recno == 0) {
      last();
      eof = recno == 0;
      return;
    }
    std::string out;
    if (indexed()) {
      auto e = indexRead([&] { return walk(mdx->prior(tag, pos), -1, out); });
      if (!e) {
        bof = true;
        eof = false;
        return refreshCurrent();
      }
      return placeOn(*e, std::move(out));
    }
    uint32_t r = recno == 1 ? 0 : scan(recno - 1, -1, out);
    if (r == 0) {
      bof = true;
      eof = false;
      refreshCurrent();
      return;
    }
    placeOn(r, std::move(out));
  }
  // Re-reads the record the cursor stays on (a failed move still shows fresh data).
  void refreshCurrent() {
    std::string out;
    if (recno != 0 && readRecord(recno, out)) rec = std::move(out);
  }

  // Where the cursor goes after its record left the view: the next record, else the
  // prior one, else nowhere.
  void settleAfterRemoval() {
    std::string out;
    if (indexed()) {
      auto e = indexRead([&] {
        auto n = walk(mdx->next(tag, pos), +1, out);
        return n ? n : walk(mdx->prior(tag, pos), -1, out);
      });
      if (!e) return clearPosition();
      return placeOn(*e, std::move(out));
    }
    uint32_t r = scan(recno + 1, +1, out);
    if (r == 0) r = recno > 1 ? scan(recno - 1, -1, out) : 0;
    if (r == 0) return clearPosition();
    placeOn(r, std::move(out));
  }

  // Posts a pending change before a move, as grids expect.
  void browseMode(Table& t) {
    if (change != Change::None) t.post();
  }

  const char* current() const { return change != Change::None ? buf.data() : rec.data(); }
  const char* fieldBytes(int field) const {
    return current() + h.offsets[static_cast<size_t>(field)];
  }
  char* editableField(int field) {
    requireEditing();
    requireField(field);
    return buf.data() + h.offsets[static_cast<size_t>(field)];
  }

  // Ends the edit's hold on its record. Inside a unit the lock stays to the unit's end;
  // a record locked beforehand (lockRecord) stays locked until released.
  void releaseRecordLock() {
    if (lockedRecord == 0) return;
    if (held.count(lockedRecord)) {
    } else if (isOpen && inUnit()) {
      held.insert(lockedRecord);
      journal::join(dirLocal, this);
    } else {
      locks::unlock(fd.get(), locks::recordByte(lockedRecord));
    }
    lockedRecord = 0;
  }
  // Takes the lock of record r for an edit or a deletion, without waiting: a screen
  // tells its user at once, and a unit must not wait while it holds the writer lock the
  // other station needs to post (the waiting belongs to the lock phase, lockRecord).
  LockError recordHeld(uint32_t r, const char* op) const {
    return LockError("El registro " + std::to_string(r) + " de la tabla " + name + " está bloqueado por otra estación",
                     op, path.string());
  }
  void lockForChange(uint32_t r, const char* op) {
    if (held.count(r)) {
      lockedRecord = r;
      return;
    }
    const bool ok = locks::tryLock(fd.get(), locks::recordByte(r), locks::Kind::Exclusive, path.c_str());
    if (!ok) throw recordHeld(r, op);
    lockedRecord = r;
  }
};

// ---------------------------------------------------------------------------------------

Table::Table() : d_(std::make_unique<Impl>()) {}

Table::~Table() {
  try {
    close();
  } catch (const Error&) {
    // A destructor cannot report; the descriptor is closed by Fd either way.
  }
}

void Table::create(std::string_view dir, std::string_view file, const std::vector<FieldDef>& fields,
                   const std::vector<TagDef>& tags) {
  file::checkFields(fields);
  const RecordLayout layout = layoutOf(fields);
  for (const auto& tag : tags) checkTag(tag, layout);
  fs::path path = resolveTable(dir, file);
  std::string name = path.filename().string();
  Fd fd;
  std::error_code ec;
  if (fs::exists(path, ec))
    fd = lockForReplace(path, name);
  else
    fd = openFile(path, O_RDWR | O_CREAT, name);
  int yy, mm, dd;
  file::today(yy, mm, dd);
  std::vector<uint8_t> flags = indexFlagsFor(fields, tags);
  std::string bytes = file::buildHeader(fields, 0, !tags.empty(), flags, yy, mm, dd);
  bytes.push_back(file::kEndOfFile);
  if (ftruncate(fd.get(), 0) < 0)
    file::osError("No se pudo crear la tabla " + name, "create", path.string(), errno);
  file::writeAt(fd.get(), bytes.data(), bytes.size(), 0, path.string());
  fs::path mdx = indexPathFor(path);
  if (tags.empty())
    fs::remove(mdx, ec);
  else
    MdxFile::create(mdx, tags, layout);
}

std::vector<std::string> Table::listTables(std::string_view dir) {
  std::vector<std::string> r = base::lista(dir, "*.dbf");
  for (auto& n : base::lista(dir, "*.db")) r.push_back(std::move(n));
  auto pliega = [](std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  std::sort(r.begin(), r.end(), [&](const std::string& a, const std::string& b) {
    std::string fa = pliega(a), fb = pliega(b);
    return fa != fb ? fa < fb : a < b;
  });
  return r;
}

void Table::drop(std::string_view dir, std::string_view file) {
  fs::path path = resolveTable(dir, file);
  std::string name = path.filename().string();
  Fd fd = lockForReplace(path, name);
  std::error_code ec;
  fs::remove(indexPathFor(path), ec);
  fs::remove(memoPathFor(path), ec);
  if (!fs::remove(path, ec))
    file::osError("No se pudo borrar la tabla " + name, "drop", path.string(), ec.value());
}

void Table::open(std::string_view dir, std::string_view file, OpenMode mode) {
  close();
  Impl& t = *d_;
  t = Impl();
  t.path = resolveTable(dir, file);
  t.name = t.path.filename().string();
  t.dirArg = dir;
  t.fileArg = file;
  t.exclusive = mode == OpenMode::Exclusive;
  Fd fd;
  try {
    fd = openFile(t.path, O_RDWR, t.name);
  } catch (const Error& e) {
    if (t.exclusive || (e.errnum() != EACCES && e.errnum() != EROFS && e.errnum() != EPERM)) throw;
    fd = openFile(t.path, O_RDONLY, t.name);
    t.readOnly = true;
  }
  const char* p = t.path.c_str();
  t.dirLocal = t.path.parent_path();
  // A unit a dead station left half done is put back before anything here reads.
  journal::recoverIfDead(t.dirLocal);
  if (t.exclusive) {
    if (!locks::tryLock(fd.get(), locks::kOpenByte, locks::Kind::Exclusive, p))
      throw LockError("La tabla " + t.name + " está en uso por otra estación", "open", t.path.string());
  } else if (!locks::tryLock(fd.get(), locks::kOpenByte, locks::Kind::Shared, p)) {
    throw LockError("La tabla " + t.name + " está abierta en exclusiva por otra estación", "open",
                    t.path.string());
  }
  uint64_t size = file::sizeOf(fd.get(), t.path.string());
  std::string head(static_cast<size_t>(std::min<uint64_t>(size, kMaxHeader)), '\0');
  head.resize(file::readAt(fd.get(), head.data(), head.size(), 0, t.path.string()));
  t.h = file::parseHeader(head, size, t.name);
  if (head.size() >= 16) std::memcpy(t.reserved, head.data() + 12, 4);
  t.fd = std::move(fd);
  try {
    t.reconcileCount();
  } catch (...) {
    t.fd.reset();
    throw;
  }
  t.readCount();  // exclusive appends count on it from here on
  t.layout = layoutOf(t.h);
  {
    std::string ext = t.path.extension().string();
    for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    t.journaled = !t.exclusive && !t.readOnly && ext != ".db";
    // A station's scratch tables are its own: read as written, never mapped (a clean
    // copy may be laid over one with a plain file copy).
    t.mapTried = ext == ".db";
  }
  t.openIndex();
  t.isOpen = true;
  t.clearPosition();
  t.first();
}

void Table::close() {
  Impl& t = *d_;
  if (!t.isOpen) return;
  t.change = Impl::Change::None;
  t.releaseRecordLock();
  journal::leave(&t);
  t.held.clear();
  t.mdx.reset();
  t.tag = -1;
  t.ranged = false;
  t.map = file::HeaderMap();
  t.forgetRun();
  t.fd.reset();  // drops every OFD lock of the handle
  t.isOpen = false;
  t.clearPosition();
}

bool Table::isOpen() const { return d_->isOpen; }
bool Table::exclusive() const { return d_->isOpen && d_->exclusive; }
std::string Table::path() const { return d_->path.string(); }
const std::string& Table::indexProblem() const { return d_->indexProblem; }

std::vector<TagDef> Table::tags() const {
  return d_->mdx ? d_->mdx->tags() : std::vector<TagDef>{};
}

void Table::setIndex(std::string_view tag) {
  Impl& t = *d_;
  t.requireOpen();
  t.browseMode(*this);
  int n = -1;
  if (!tag.empty()) {
    n = t.mdx ? t.mdx->tagNumber(tag) : -1;
    if (n < 0) {
      std::string m = "La tabla " + t.name + " no tiene el índice " + std::string(tag);
      if (!t.indexProblem.empty()) m += " (" + t.indexProblem + ")";
      throw Error(m, "index", t.path.string());
    }
  }
  t.tag = n;
  t.ranged = false;
  t.lo.clear();
  t.hi.clear();
  // The cursor keeps its record, now placed in the new order.
  if (t.recno != 0) {
    std::string out;
    if (t.readRecord(t.recno, out) && t.live(out)) return t.placeOn(t.recno, std::move(out));
  }
  t.withIndex([&] { t.first(); });
}

std::string Table::index() const {
  return d_->indexed() ? d_->mdx->tags()[static_cast<size_t>(d_->tag)].name : std::string();
}

bool Table::findKey(const std::vector<KeyValue>& values) {
  Impl& t = *d_;
  t.requireIndex("find");
  t.browseMode(*this);
  return t.withIndex([&] {
    const std::string p = t.expression().encodePrefix(values);
    std::string out;
    auto found = t.indexRead([&]() -> std::optional<MdxFile::Entry> {
      for (auto e = t.mdx->seek(t.tag, p); e && e->key.compare(0, p.size(), p) == 0; e = t.mdx->next(t.tag, *e)) {
        if (!t.belowHi(e->key)) break;
        if (t.aboveLo(e->key) && t.liveEntry(*e, out)) return e;
      }
      return std::nullopt;
    });
    if (!found) return false;  // the cursor stays where it was
    t.placeOn(*found, std::move(out));
    return true;
  });
}

void Table::findNearest(const std::vector<KeyValue>& values) {
  Impl& t = *d_;
  t.requireIndex("find");
  t.browseMode(*this);
  t.withIndex([&] {
    std::string p = t.expression().encodePartial(values);
    if (t.ranged && p < t.lo) p = t.lo;
    std::string out;
    auto e = t.indexRead([&] { return t.walk(t.mdx->seek(t.tag, p), +1, out); });
    if (e) return t.placeOn(*e, std::move(out));
    t.last();  // nothing at or after the values: the end of the view
  });
}

void Table::setRange(const std::vector<KeyValue>& from, const std::vector<KeyValue>& to) {
  Impl& t = *d_;
  t.requireIndex("range");
  t.browseMode(*this);
  // Both ends are whole values (text padded to its width), so a range on "1" does not
  // take "10"; ends given for fewer fields than the key cover every later field.
  t.lo = t.expression().encodePrefix(from);
  t.hi = t.expression().encodePrefix(to);
  // A descending tag complements its keys: its range ends arrive swapped.
  if (!t.lo.empty() && !t.hi.empty() && t.lo > t.hi) std::swap(t.lo, t.hi);
  t.ranged = true;
  t.withIndex([&] { t.first(); });
}

void Table::cancelRange() {
  Impl& t = *d_;
  if (!t.isOpen || !t.ranged) return;
  t.browseMode(*this);
  t.ranged = false;
  t.lo.clear();
  t.hi.clear();
  if (t.recno == 0) t.first();
}

void Table::first() {
  d_->requireOpen();
  d_->browseMode(*this);
  d_->withIndex([&] { d_->first(); });
}
void Table::last() {
  d_->requireOpen();
  d_->browseMode(*this);
  d_->withIndex([&] { d_->last(); });
}
void Table::next() {
  d_->requireOpen();
  d_->browseMode(*this);
  d_->withIndex([&] { d_->next(); });
}
void Table::prior() {
  d_->requireOpen();
  d_->browseMode(*this);
  d_->withIndex([&] { d_->prior(); });
}
bool Table::eof() const { return d_->eof; }
bool Table::bof() const { return d_->bof; }

long Table::recordCount() const {
  const Impl& t = *d_;
  if (!t.isOpen) return 0;
  if (!t.indexed() || !t.ranged) return static_cast<long>(t.readCount());
  return const_cast<Impl&>(t).withIndex([&]() -> long {
    if (!t.indexed()) return static_cast<long>(t.readCount());
    return t.indexRead([&] {
      long n = 0;
      for (auto e = t.mdx->seek(t.tag, t.lo); e && t.belowHi(e->key); e = t.mdx->next(t.tag, *e)) ++n;
      return n;
    });
  });
}

uint32_t Table::recno() const { return d_->recno; }

bool Table::goTo(uint32_t r) {
  Impl& t = *d_;
  t.requireOpen();
  t.browseMode(*this);
  std::string out;
  if (r == 0 || !t.withinCount(r) || !t.readRecord(r, out) || !t.live(out)) return false;
  if (t.indexed() && t.ranged && !t.inRange(t.expression().evaluate(out.data()))) return false;
  t.placeOn(r, std::move(out));
  return true;
}

const std::vector<FieldDef>& Table::fieldDefs() const { return d_->h.fields; }

bool Table::isNull(int field) const {
  d_->requireField(field);
  return file::value::isBlank(d_->h.fields[static_cast<size_t>(field)], d_->fieldBytes(field));
}
std::string Table::asText(int field) const {
  d_->requireField(field);
  return file::value::text(d_->h.fields[static_cast<size_t>(field)], d_->fieldBytes(field));
}
double Table::asFloat(int field) const {
  d_->requireField(field);
  return file::value::number(d_->h.fields[static_cast<size_t>(field)], d_->fieldBytes(field), d_->name);
}
std::optional<Fecha> Table::asDate(int field) const {
  d_->requireField(field);
  return file::value::date(d_->h.fields[static_cast<size_t>(field)], d_->fieldBytes(field), d_->name);
}

void Table::append() {
  Impl& t = *d_;
  t.requireWritable();
  t.browseMode(*this);
  t.buf = t.old = t.blankRecord();
  t.change = Impl::Change::Append;
}

void Table::insert() { append(); }

void Table::edit() {
  Impl& t = *d_;
  t.requireWritable();
  if (t.change != Impl::Change::None) return;
  if (t.recno == 0) throw Error("La tabla " + t.name + " no tiene un registro actual", "edit", t.path.string());
  t.lockForChange(t.recno, "edit");
  // The edit starts from what is on disk now, not from what the last move read.
  std::string fresh;
  if (!t.readFresh(t.recno, fresh) || !t.live(fresh)) {
    t.releaseRecordLock();
    throw Error("El registro " + std::to_string(t.recno) + " de la tabla " + t.name +
                    " fue borrado por otra estación",
                "edit", t.path.string());
  }
  t.rec = fresh;
  t.buf = t.old = std::move(fresh);
  t.change = Impl::Change::Edit;
}

void Table::post() {
  Impl& t = *d_;
  t.requireEditing();
  t.requireWritable();
  if (t.change == Impl::Change::Append) {
    uint32_t r = t.appendRecord(t.buf);
    t.change = Impl::Change::None;
    t.buf[0] = ' ';
    t.placeOn(r, std::move(t.buf));
    return;
  }
  if (t.buf != t.old) {
    Impl::AutoUnit unit(t);
    auto escribe = [&] {
      t.put(t.buf.data(), t.buf.size(), t.h.recordOffset(t.recno));
      t.stampDate();
      t.bumpStamp();
    };
    if (t.keysStay(t.old, t.buf)) {
      t.writing(escribe);
    } else {
      t.indexedWrite([&] {
        escribe();
        t.updateKeys(&t.old, &t.buf, t.recno);
      });
    }
    unit.done();
  }
  t.change = Impl::Change::None;
  t.releaseRecordLock();
  t.placeOn(t.recno, std::move(t.buf));
}

void Table::cancel() {
  Impl& t = *d_;
  if (!t.isOpen || t.change == Impl::Change::None) return;
  t.change = Impl::Change::None;
  t.releaseRecordLock();
  t.refreshCurrent();
}

void Table::remove() {
  Impl& t = *d_;
  t.requireWritable();
  if (t.change == Impl::Change::Append) return cancel();
  if (t.recno == 0) throw Error("La tabla " + t.name + " no tiene un registro actual", "delete", t.path.string());
  bool teniaBloqueo = t.lockedRecord == t.recno;
  t.change = Impl::Change::None;
  if (!teniaBloqueo) t.lockForChange(t.recno, "delete");
  try {
    std::string actual;
    if (t.readFresh(t.recno, actual) && t.live(actual)) {
      Impl::AutoUnit unit(t);
      t.indexedWrite([&] {
        const char marca = file::kDeleted;
        t.put(&marca, 1, t.h.recordOffset(t.recno));
        t.stampDate();
        t.bumpStamp();
        t.updateKeys(&actual, nullptr, t.recno);
      });
      unit.done();
    }
  } catch (...) {
    t.releaseRecordLock();
    throw;
  }
  t.releaseRecordLock();
  t.settleAfterRemoval();
}

bool Table::editing() const { return d_->change != Impl::Change::None; }

void Table::keepLockedInUnit() {
  Impl& t = *d_;
  if (!t.isOpen || !t.inUnit()) return;
  journal::join(t.dirLocal, &t);
  journal::keep(t.fd.get(), t.path, 0, 8);
  if (t.mdx) t.mdx->keepHeaderInUnit();
  for (uint32_t r : t.held) journal::keep(t.fd.get(), t.path, t.h.recordOffset(r), static_cast<size_t>(t.h.recordLength));
}

void Table::lockRecord(uint32_t recno, int waitMillis) {
  Impl& t = *d_;
  t.requireWritable();
  if (recno == 0 || t.held.count(recno) || t.lockedRecord == recno) return;
  if (!locks::lockWithRetry(t.fd.get(), locks::recordByte(recno), locks::Kind::Exclusive, t.path.c_str(), waitMillis))
    throw t.recordHeld(recno, "lock");
  t.held.insert(recno);
  if (t.inUnit()) journal::join(t.dirLocal, &t);
}

void Table::setText(int field, std::string_view value) {
  char* p = d_->editableField(field);
  file::value::setText(d_->h.fields[static_cast<size_t>(field)], p, value, d_->name);
}
void Table::setFloat(int field, double value) {
  char* p = d_->editableField(field);
  file::value::setNumber(d_->h.fields[static_cast<size_t>(field)], p, value, d_->name);
}
void Table::setInteger(int field, long long value) { setFloat(field, static_cast<double>(value)); }
void Table::setDate(int field, std::optional<Fecha> value) {
  char* p = d_->editableField(field);
  file::value::setDate(d_->h.fields[static_cast<size_t>(field)], p, value, d_->name);
}
void Table::setBool(int field, bool value) {
  char* p = d_->editableField(field);
  file::value::setLogical(d_->h.fields[static_cast<size_t>(field)], p, value);
}
void Table::setNull(int field) {
  char* p = d_->editableField(field);
  file::value::setBlank(d_->h.fields[static_cast<size_t>(field)], p);
}

void Table::addTag(const TagDef& tag) {
  Impl& t = *d_;
  t.requireWritable();
  t.browseMode(*this);
  checkTag(tag, t.layout);
  int n;
  if (!t.mdx) {
    // Stations that have the table open without an index would not keep a new one.
    t.requireExclusive("crear su índice");
    MdxFile::create(t.mdxPath, {tag}, t.layout);
    auto m = std::make_unique<MdxFile>();
    m->open(t.mdxPath, t.layout);
    t.mdx = std::move(m);
    t.indexProblem.clear();
    n = 0;
  } else {
    try {
      n = t.mdx->addTag(tag);
    } catch (const Error& e) {
      throw Error("No se pudo crear el índice " + tag.name + ": " + e.what(), "index", t.mdxPath.string());
    }
  }
  {
    Impl::AutoUnit unit(t);
    t.indexedWrite([&] { t.fillTag(n); });
    unit.done();
  }
  t.writeIndexFlags();
}

void Table::deleteTag(std::string_view tag) {
  Impl& t = *d_;
  t.requireWritable();
  t.browseMode(*this);
  if (!t.mdx || t.mdx->tagNumber(tag) < 0)
    throw Error("La tabla " + t.name + " no tiene el índice " + std::string(tag), "index", t.path.string());
  const std::string actual = index();
  {
    Impl::AutoUnit unit(t);
    t.mdx->deleteTag(tag);
    unit.done();
  }
  t.tag = base::mismoNombre(actual, tag) ? -1 : t.mdx->tagNumber(actual);
  if (t.tag < 0) t.ranged = false;
  t.writeIndexFlags();
}

void Table::deleteIndexFile() {
  Impl& t = *d_;
  t.requireExclusive("borrar su índice");
  t.browseMode(*this);
  t.mdx.reset();
  t.tag = -1;
  t.ranged = false;
  std::error_code ec;
  fs::remove(t.mdxPath, ec);
  if (ec) file::osError("No se pudo borrar el índice de la tabla " + t.name, "index", t.mdxPath.string(), ec.value());
  t.indexProblem.clear();
  t.writeIndexFlags();
}

void Table::rebuildIndexes() {
  Impl& t = *d_;
  t.requireWritable();
  t.browseMode(*this);
  if (!t.mdx) {
    std::string m = "La tabla " + t.name + " no tiene índices que reconstruir";
    if (!t.indexProblem.empty()) m += " (" + t.indexProblem + ")";
    throw Error(m, "index", t.path.string());
  }
  t.rebuildAll();
  if (t.indexed() && t.recno != 0) t.placeOn(t.recno, std::string(t.rec));
}

void Table::pack() {
  Impl& t = *d_;
  t.requireExclusive("compactarla");
  t.browseMode(*this);
  const fs::path tmp = t.path.string() + ".pack";
  struct stat st{};
  fstat(t.fd.get(), &st);
  Fd nuevo = openFile(tmp, O_RDWR | O_CREAT | O_TRUNC, t.name);
  fchmod(nuevo.get(), st.st_mode & 07777);
  // Locked before it takes the table's name: a station opening the table after the
  // rename meets the exclusive lock just as it would have before.
  locks::tryLock(nuevo.get(), locks::kOpenByte, locks::Kind::Exclusive, tmp.c_str());
  uint32_t vivos = 0;
  t.writing([&] {
    try {
      std::string head(static_cast<size_t>(t.h.headerLength), '\0');
      file::readAt(t.fd.get(), head.data(), head.size(), 0, t.path.string());
      const uint32_t count = t.readCount();
      const size_t rl = static_cast<size_t>(t.h.recordLength);
      const uint32_t porBloque = static_cast<uint32_t>(std::max<size_t>(1, (1 << 20) / rl));
      std::string in, out;
      off_t destino = t.h.headerLength;
      for (uint32_t r = 1; r <= count; r += porBloque) {
        uint32_t n = std::min(porBloque, count - r + 1);
        in.resize(n * rl);
        size_t got = file::readAt(t.fd.get(), in.data(), in.size(), t.h.recordOffset(r), t.path.string());
        out.clear();
        for (size_t k = 0; k + rl <= got; k += rl)
          if (in[k] != file::kDeleted) {
            out.append(in, k, rl);
            ++vivos;
          }
        file::writeAt(nuevo.get(), out.data(), out.size(), destino, tmp.string());
        destino += static_cast<off_t>(out.size());
        if (got < in.size()) break;
      }
      const char fin = file::kEndOfFile;
      file::writeAt(nuevo.get(), &fin, 1, destino, tmp.string());
      int yy, mm, dd;
      file::today(yy, mm, dd);
      head[1] = static_cast<char>(yy);
      head[2] = static_cast<char>(mm);
      head[3] = static_cast<char>(dd);
      for (int i = 0; i < 4; ++i) head[4 + i] = static_cast<char>((vivos >> (8 * i)) & 0xFF);
      if (head.size() >= 20) Impl::putLe32(head.data() + 16, le32(head.data() + 16) + 1);
      file::writeAt(nuevo.get(), head.data(), head.size(), 0, tmp.string());
      if (fsync(nuevo.get()) < 0) file::osError("No se pudo compactar la tabla " + t.name, "pack", tmp.string(), errno);
      if (::rename(tmp.c_str(), t.path.c_str()) < 0)
        file::osError("No se pudo compactar la tabla " + t.name, "pack", t.path.string(), errno);
    } catch (...) {
      ::unlink(tmp.c_str());
      throw;
    }
  });
  t.map = file::HeaderMap();
  t.fd = std::move(nuevo);
  t.mapTried = false;
  t.freshReads = 0;
  t.stampKnown = false;
  t.forgetRun();
  t.countLimit = UINT32_MAX;
  t.stampedDay = -1;
  t.readCount();
  t.rebuildAll();  // record numbers changed
  t.first();
}

void Table::emptyTable() {
  Impl& t = *d_;
  t.requireExclusive("vaciarla");
  t.change = Impl::Change::None;
  t.releaseRecordLock();
  t.indexedWrite([&] {
    t.writeCountAndDate(0);
    if (ftruncate(t.fd.get(), t.h.headerLength) < 0)
      file::osError("No se pudo vaciar la tabla " + t.name, "empty", t.path.string(), errno);
    const char fin = file::kEndOfFile;
    file::writeAt(t.fd.get(), &fin, 1, t.h.headerLength, t.path.string());
    if (t.mdx)
      for (int i = 0; i < static_cast<int>(t.mdx->tags().size()); ++i) t.mdx->clearTag(i);
  });
  t.countLimit = UINT32_MAX;
  t.readCount();
  t.clearPosition();
}

void Table::releaseLocks() {
  Impl& t = *d_;
  if (!t.isOpen) return;
  // The lock of an edit in progress stays: post() still has to write under it. Locks a
  // unit keeps are its own to release.
  if (t.inUnit()) return;
  for (uint32_t r : t.held)
    if (r != t.lockedRecord) locks::unlock(t.fd.get(), locks::recordByte(r));
  t.held.clear();
  if (t.change != Impl::Change::Edit) t.releaseRecordLock();
}

void Table::refresh() {
  Impl& t = *d_;
  if (!t.isOpen) return;
  try {
    prior();
    const uint32_t r = t.recno;
    const std::string dir = t.dirArg, file = t.fileArg, tag = index();
    const bool ranged = t.ranged;
    const std::string lo = t.lo, hi = t.hi;
    const OpenMode mode = t.exclusive ? OpenMode::Exclusive : OpenMode::Shared;
    close();
    open(dir, file, mode);
    if (!tag.empty()) setIndex(tag);
    if (ranged && t.indexed()) {
      t.ranged = true;
      t.lo = lo;
      t.hi = hi;
    }
    if (r == 0 || !goTo(r)) first();
  } catch (const Error&) {
    // Screens refresh to pick up other stations' changes; a failure leaves the handle as
    // it ended up (open when reopening worked).
  }
}

void Table::copyTo(Table& dest) {
  Impl& s = *d_;
  Impl& o = *dest.d_;
  s.requireOpen();
  o.requireWritable();
  if (&dest == this) throw Error("No se puede copiar la tabla " + s.name + " sobre sí misma", "copy");
  dest.d_->browseMode(dest);
  // Destination field -> source field, by name.
  std::vector<int> desde(o.h.fields.size(), -1);
  for (size_t i = 0; i < o.h.fields.size(); ++i) desde[i] = fieldIndex(o.h.fields[i].name);
  const uint32_t count = s.readCount();
  std::string r;
  uint32_t ultimo = 0;
  for (uint32_t n = 1; n <= count; ++n) {
    if (!s.readRecord(n, r)) break;
    if (!s.live(r)) continue;
    std::string nuevo = o.blankRecord();
    for (size_t i = 0; i < desde.size(); ++i) {
      if (desde[i] < 0) continue;
      const size_t j = static_cast<size_t>(desde[i]);
      file::value::copy(s.h.fields[j], r.data() + s.h.offsets[j], o.h.fields[i],
                        nuevo.data() + o.h.offsets[i], o.name);
    }
    ultimo = o.appendRecord(nuevo);
  }
  if (ultimo != 0) dest.goTo(ultimo);
}

}  // namespace mostrador::dbf
