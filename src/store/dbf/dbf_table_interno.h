#pragma once
// Private to the table handle, for its two source files: dbf_table.cpp (life cycle and
// writes) and dbf_table_lectura.cpp (record reads, the change counter, cursor moves).
// It holds the handle's state (Table::Impl) and what both files need; each member
// function is defined in the file its group names below.

#include <sys/types.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "store/dbf/dbf_file.h"
#include "store/dbf/dbf_table.h"
#include "store/dbf/journal.h"
#include "store/dbf/key_expression.h"
#include "store/dbf/mdx_index.h"

namespace mostrador::dbf {
namespace detail {

// A little-endian 32-bit number of the header.
inline uint32_t le32(const char* b) {
  return static_cast<unsigned char>(b[0]) | (static_cast<uint32_t>(static_cast<unsigned char>(b[1])) << 8) |
         (static_cast<uint32_t>(static_cast<unsigned char>(b[2])) << 16) |
         (static_cast<uint32_t>(static_cast<unsigned char>(b[3])) << 24);
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

}  // namespace detail

struct Table::Impl : journal::Participant {
  detail::Fd fd;
  std::filesystem::path path;
  std::string name;  // file name on disk, for messages
  std::string dirArg, fileArg;
  file::Header h;
  bool isOpen = false, exclusive = false, readOnly = false, failed = false;
  uint32_t countLimit = UINT32_MAX;  // the whole records the file held at open
  mutable uint32_t knownCount = 0;   // the header's count as last read
  // In exclusive use the count this handle keeps is the count on disk: not read again.
  mutable bool countCached = false;
  std::string indexProblem;

  // Position: the current record (0 = none) and the end flags.
  uint32_t recno = 0;
  bool bof = true, eof = true;
  std::string rec;  // bytes of the current record, as read by the last move

  // The header mapped for its change counter, and the run of records last read (see the
  // top of dbf_table_lectura.cpp): runCount records from runFirst, read while the counter
  // was runStamp. Mapped at the second record read, so that an open that reads one record
  // pays nothing.
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
  int stampedDay = -1;  // yy*10000+mm*100+dd last written to the header by this handle
  std::filesystem::path dirLocal;  // the directory, whose unit (if any) this handle's writes join
  bool journaled = false;  // shared and writable: changes go through the directory's units

  // Production index: absent when the table has none or it could not be used.
  std::unique_ptr<MdxFile> mdx;
  std::filesystem::path mdxPath;
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

  // --- raw I/O (dbf_table_lectura.cpp) -------------------------------------------------
  uint32_t readCount(uint32_t* stamp = nullptr) const;
  bool withinCount(uint32_t r) const;
  bool readFresh(uint32_t r, std::string& out) const;
  bool readRecord(uint32_t r, std::string& out) const;
  static constexpr size_t kRunBytes = 65536;
  void forgetRun() const { runCount = 0; }
  uint32_t stampOnDisk();
  uint32_t stampWritten = 0;  // the counter as this handle last wrote it
  bool stampKnown = false;
  static void putLe32(char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  }
  void bumpStamp();
  bool live(const std::string& r) const { return !r.empty() && r[0] != file::kDeleted; }
  std::string blankRecord() const {
    std::string r(static_cast<size_t>(h.recordLength), ' ');
    for (size_t i = 0; i < h.fields.size(); ++i)
      if (h.fields[i].type == '@') file::value::setBlank(h.fields[i], r.data() + h.offsets[i]);
    return r;
  }

  // --- writes (dbf_table.cpp) ----------------------------------------------------------
  void put(const char* b, size_t n, off_t off);
  struct AutoUnit;
  bool inUnit() const { return journaled && journal::active(dirLocal); }
  void unitEnded(bool committed) override;
  std::string lastTagName;  // the tag selected when the index was given up
  template <typename F>
  void writing(F&& f);
  void stampDate();
  void writeCountAndDate(uint32_t count, std::optional<uint32_t> stampNow = std::nullopt);
  struct HeaderLock;
  uint32_t appendRecord(const std::string& record);
  uint32_t appendLocked(const std::string& record);

  // --- index maintenance (dbf_table.cpp) -----------------------------------------------
  template <typename F>
  void indexedWrite(F&& f);
  void abandonIndex();
  void updateKeys(const std::string* before, const std::string* after, uint32_t r);
  bool keysStay(const std::string& before, const std::string& after) const;
  void fillTag(int i);
  void rebuildAll();
  template <typename F>
  void forEachLive(F&& f) const;
  void writeIndexFlags();
  void openIndex();
  // ajena: the index is whole but the table was changed by another program: rebuilt
  // unless another station did it meanwhile, and the header's index mark put back.
  // seen: the identity of the file when a read found it damaged; rebuilt unless it
  // changed since (without it, unless the file now opens and reads well).
  bool repairIndex(const std::string& why, bool ajena = false, std::optional<uint64_t> seen = std::nullopt);
  bool repairing = false;
  // Index reads that rebuild a damaged index on the way (dbf_table_lectura.cpp).
  template <typename F>
  auto withIndex(F&& f) -> decltype(f());
  void reconcileCount();  // dbf_table.cpp

  // --- positioning, natural order (dbf_table_lectura.cpp) ------------------------------
  void clearPosition();
  void placeOn(uint32_t r, std::string&& bytes);
  void placeOn(const MdxFile::Entry& e, std::string&& bytes);

  // --- positioning, index order (dbf_table_lectura.cpp) --------------------------------
  bool aboveLo(const std::string& key) const { return !ranged || key.compare(0, lo.size(), lo) >= 0; }
  bool belowHi(const std::string& key) const { return !ranged || key.compare(0, hi.size(), hi) <= 0; }
  bool inRange(const std::string& key) const { return aboveLo(key) && belowHi(key); }
  bool liveEntry(const MdxFile::Entry& e, std::string& out) const;
  [[noreturn]] void badEntry(const std::string& what) const;
  mutable uint64_t visited = 0;  // entries walk() looked at in its last run
  // A walk in index order from the first entry on, without a range: the entries it met
  // and the index's change counter when it began (next() checks it at the end).
  struct WholeWalk {
    bool on = false;
    uint64_t seen = 0, counter = 0;
  } whole;
  bool incompleteWalk = false;  // the IndexDamaged in flight is a walk found short
  struct ReadSession;
  template <typename F>
  auto indexRead(F&& f) const -> decltype(f());
  std::optional<MdxFile::Entry> walk(std::optional<MdxFile::Entry> e, int step, std::string& out) const;
  std::optional<MdxFile::Entry> idxFirst(std::string& out) const;
  std::optional<MdxFile::Entry> idxLast(std::string& out) const;
  uint32_t scan(uint32_t from, int step, std::string& out) const;
  uint32_t scanWithin(uint32_t from, int step, uint32_t count, std::string& out) const;

  void first();
  void last();
  void next();
  void prior();
  void refreshCurrent();
  void settleAfterRemoval();

  // Posts a pending change before a move, as grids expect.
  void browseMode(Table& t) {
    if (change != Change::None) t.post();
  }

  const char* current() const { return change != Change::None ? buf.data() : rec.data(); }
  const char* fieldBytes(int field) const;  // dbf_table_lectura.cpp

  // --- editing (dbf_table.cpp) ---------------------------------------------------------
  char* editableField(int field);
  void releaseRecordLock();
  LockError recordHeld(uint32_t r, const char* op) const;
  void lockForChange(uint32_t r, const char* op);
};

}  // namespace mostrador::dbf
