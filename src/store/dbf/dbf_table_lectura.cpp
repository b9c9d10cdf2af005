// The table handle's reads: the runs of records a move reads, the change counter that
// says whether a run still holds, and the cursor's moves in natural and index order. The
// handle's life cycle and its writes are in dbf_table.cpp; the state both share is in
// dbf_table_interno.h.
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
// Index order: the position is the (key, record number) entry the cursor stands on; the
// index finds its neighbours again on every move, so other stations' changes to the tree
// never invalidate it. Entries whose record is deleted are skipped (another program
// deletes by the flag alone); an entry of record 0 or beyond the count, an entry whose key
// is not its record's, or a whole walk that met fewer entries than the tag counts is
// damage: the index is rebuilt from the records (with a log line) and the read done
// again, or, inside a unit or when the rows are already behind the walk, the read
// fails with an Error that says so. A read never returns fewer rows in silence.

#include <algorithm>
#include <optional>
#include <string>

#include "store/dbf/dbf_file.h"
#include "store/dbf/dbf_table_interno.h"
#include "store/dbf/journal.h"
#include "store/dbf/mdx_index.h"

namespace mostrador::dbf {

using detail::le32;

// --- raw I/O ---------------------------------------------------------------------------
// The header's count, but never more records than the file holds whole (a truncated
// copy). An append writes its record before the count, so while one is in flight the
// file holds more than the header says and the header's count is the answer.
// With `stamp`, the change counter comes in the same read.
uint32_t Table::Impl::readCount(uint32_t* stamp) const {
  if (exclusive && countCached && !stamp) return knownCount;
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
  countCached = exclusive;
  return knownCount;
}
// True when record r is within the table. The count only grows while this handle has
// the table open: its shared "open" lock keeps pack, empty and every other exclusive
// change away. So a count once read stays valid, and only a record beyond it needs a
// fresh look at the header.
bool Table::Impl::withinCount(uint32_t r) const { return r <= knownCount || r <= readCount(); }
// Record r as on disk now, read with its own pread (edits start from this).
bool Table::Impl::readFresh(uint32_t r, std::string& out) const {
  // In exclusive use the records read last are the records on disk (put keeps them so).
  if (exclusive && runCount != 0 && r >= runFirst && r - runFirst < runCount) {
    out.assign(run, static_cast<size_t>(r - runFirst) * static_cast<size_t>(h.recordLength),
               static_cast<size_t>(h.recordLength));
    return true;
  }
  out.resize(static_cast<size_t>(h.recordLength));
  return file::readAt(fd.get(), out.data(), out.size(), h.recordOffset(r), path.string()) ==
         out.size();
}
// Record r as a move sees it: from the run read last while the change counter has not
// moved, else from disk, reading further ahead (or back) when the walk goes on.
bool Table::Impl::readRecord(uint32_t r, std::string& out) const {
  // In exclusive use only this handle writes, and each of its writes drops the run.
  uint32_t stamp = 0;
  if (!exclusive) {
    if (!map) {
      if (mapTried || freshReads++ == 0) return readFresh(r, out);
      mapTried = true;
      map = file::HeaderMap(fd.get(), static_cast<size_t>(h.headerLength));
      if (!map) return readFresh(r, out);
    }
    char held[4];
    if (journal::overlaid() && journal::peek(path.native(), file::kStampOffset, held, 4))
      stamp = le32(held);  // this process's unit holds a newer header than the file has
    else
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
  if (exclusive && knownCount <= longest && r <= knownCount) {
    // A table of this station's own (the lines being typed): all of it in one read, kept
    // while this handle writes.
    from = 1;
    n = knownCount;
  } else if (runCount != 0 && r == runFirst + runCount) {
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
// The change counter as it stands: writers run one at a time (the directory's writer
// lock, or exclusive use, where the value this handle wrote last is the value).
uint32_t Table::Impl::stampOnDisk() {
  if (exclusive && stampKnown) return stampWritten;
  char held[4];
  if (journal::overlaid() && journal::peek(path.native(), file::kStampOffset, held, 4)) return le32(held);
  if (map && !map.broken()) {
    const uint32_t v = map.load32(file::kStampOffset);
    if (!map.broken()) return v;
  }
  char b[4] = {0, 0, 0, 0};
  file::readAt(fd.get(), b, 4, file::kStampOffset, path.string());
  return le32(b);
}
// After a change to the records: raise the change counter (see the top of the file).
void Table::Impl::bumpStamp() {
  char b[4];
  stampWritten = stampOnDisk() + 1;
  putLe32(b, stampWritten);
  put(b, 4, file::kStampOffset);
  stampKnown = true;
}

// Runs an index read; a damaged index found on the way is rebuilt from the table and
// the read runs again. When it cannot be rebuilt the caller hears of it with the table
// and the tag: a read never returns fewer rows without saying so.
template <typename F>
auto Table::Impl::withIndex(F&& f) -> decltype(f()) {
  incompleteWalk = false;
  try {
    return f();
  } catch (const IndexDamaged& e) {
    const std::string tagName = tag >= 0 && mdx ? mdx->tags()[static_cast<size_t>(tag)].name : std::string();
    const std::string why = e.what();
    const bool recorridoCorto = incompleteWalk;
    incompleteWalk = false;
    // The damage may lie anywhere a read goes (a bad entry, a page deep in the tree), so
    // a look at the file proves nothing: it is rebuilt unless its identity changed
    // meanwhile (another station rebuilt it, or rolled back the unit that tore it).
    const std::optional<uint64_t> vista = MdxFile::identityOf(mdxPath);
    mdx.reset();
    tag = -1;
    if (repairIndex(why, false, vista)) {
      openIndex();
      if (mdx && !tagName.empty()) tag = mdx->tagNumber(tagName);
      // Rows the walk should have given are behind it already: the index is whole
      // again, but this walk is not, and the caller must hear so.
      if (recorridoCorto)
        throw Error("El índice " + tagName + " de la tabla " + name + " estaba dañado y se reconstruyó (" + why +
                        "); vuelva a recorrer la tabla",
                    "index", path.string());
      if (indexed()) return f();
    }
    indexProblem = "El índice " + mdxPath.filename().string() + " está dañado: " + why;
    throw Error("El índice " + tagName + " de la tabla " + name + " está dañado (" + why +
                    "); reconstruya los índices",
                "index", path.string());
  }
}

// --- positioning, natural order ----------------------------------------------------
void Table::Impl::clearPosition() {
  whole.on = false;
  recno = 0;
  bof = eof = true;
  rec = blankRecord();
}
void Table::Impl::placeOn(uint32_t r, std::string&& bytes) {
  whole.on = false;
  recno = r;
  rec = std::move(bytes);
  bof = eof = false;
  if (indexed()) pos = {expression().evaluate(rec.data()), r};
}
void Table::Impl::placeOn(const MdxFile::Entry& e, std::string&& bytes) {
  whole.on = false;
  recno = e.recno;
  rec = std::move(bytes);
  bof = eof = false;
  pos = e;
}

// --- positioning, index order ------------------------------------------------------
// An entry must name a record that exists and carry that record's key (problemaDeEntrada);
// a damaged one is never a row to skip without saying so. Entries of deleted records are
// skipped.
bool Table::Impl::liveEntry(const MdxFile::Entry& e, std::string& out) const {
  const bool hay = e.recno != 0 && withinCount(e.recno) && readRecord(e.recno, out);
  const std::string mal = problemaDeEntrada(expression(), e, hay ? out.data() : nullptr);
  if (!mal.empty()) badEntry(mal);
  return live(out);
}
void Table::Impl::badEntry(const std::string& what) const {
  throw IndexDamaged("Índice dañado: " + what, "leer índice", mdxPath.string());
}
// Holds the index's shared lock across the several reads of one move.
struct Table::Impl::ReadSession {
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
// A damaged entry met in the snapshot is believed only when the index still had not
// changed by the end; else the move is done again under the lock.
template <typename F>
auto Table::Impl::indexRead(F&& f) const -> decltype(f()) {
  if (mdx->beginSnapshot()) {
    std::optional<decltype(f())> r;
    bool seguro = true;
    try {
      r.emplace(f());
    } catch (const MdxFile::Stale&) {
    } catch (const IndexDamaged&) {
      if (mdx->endSnapshot()) throw;
      seguro = false;
    } catch (...) {
      mdx->endSnapshot();
      throw;
    }
    if (seguro && mdx->endSnapshot() && r) return std::move(*r);
  }
  ReadSession rs(mdx.get());
  return f();
}
// From e, the first entry going by step (+1/-1) whose record is live, within the range.
std::optional<MdxFile::Entry> Table::Impl::walk(std::optional<MdxFile::Entry> e, int step,
                                                std::string& out) const {
  while (e) {
    if (step > 0 ? !belowHi(e->key) : !aboveLo(e->key)) return std::nullopt;
    ++visited;
    if (liveEntry(*e, out)) return e;
    e = step > 0 ? mdx->next(tag, *e) : mdx->prior(tag, *e);
  }
  return std::nullopt;
}
std::optional<MdxFile::Entry> Table::Impl::idxFirst(std::string& out) const {
  return walk(ranged ? mdx->seek(tag, lo) : mdx->first(tag), +1, out);
}
std::optional<MdxFile::Entry> Table::Impl::idxLast(std::string& out) const {
  return walk(ranged ? mdx->seekLast(tag, hi) : mdx->last(tag), -1, out);
}
// First live record from `from` going by `step` (+1/-1) within 1..count; 0 when none.
uint32_t Table::Impl::scan(uint32_t from, int step, std::string& out) const {
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
uint32_t Table::Impl::scanWithin(uint32_t from, int step, uint32_t count, std::string& out) const {
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

void Table::Impl::first() {
  std::string out;
  if (indexed()) {
    uint64_t contador = 0;
    auto e = indexRead([&] {
      visited = 0;
      contador = mdx->changeCounter();
      return idxFirst(out);
    });
    if (!e) return clearPosition();
    placeOn(*e, std::move(out));
    bof = true;
    whole = {!ranged, visited, contador};
    return;
  }
  uint32_t r = scan(1, +1, out);
  if (r == 0) return clearPosition();
  placeOn(r, std::move(out));
  bof = true;
}
void Table::Impl::last() {
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
void Table::Impl::next() {
  if (recno == 0) {
    first();
    bof = recno == 0;
    return;
  }
  std::string out;
  if (indexed()) {
    // A walk from the first entry to the last that the index did not change under must
    // have met every entry the tag counts: fewer means a page lost some of them (a count
    // or a link changed) and the caller was given fewer rows.
    const WholeWalk w = whole;
    uint64_t hay = 0;
    auto e = indexRead([&] {
      visited = 0;
      auto r = walk(mdx->next(tag, pos), +1, out);
      hay = !r && w.on && mdx->changeCounter() == w.counter ? mdx->entryCount(tag) : 0;
      return r;
    });
    if (!e) {
      if (hay != 0 && hay != w.seen + visited) {
        incompleteWalk = true;
        throw IndexDamaged("Índice dañado: la etiqueta " + mdx->tags()[static_cast<size_t>(tag)].name + " tiene " +
                               std::to_string(hay) + " entradas y su recorrido encontró " +
                               std::to_string(w.seen + visited),
                           "leer índice", mdxPath.string());
      }
      whole.on = false;
      eof = true;
      bof = false;
      return refreshCurrent();
    }
    placeOn(*e, std::move(out));
    if (w.on) whole = {true, w.seen + visited, w.counter};
    return;
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
void Table::Impl::prior() {
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
void Table::Impl::refreshCurrent() {
  std::string out;
  if (recno != 0 && readRecord(recno, out)) rec = std::move(out);
}

// Where the cursor goes after its record left the view: the next record, else the
// prior one, else nowhere.
void Table::Impl::settleAfterRemoval() {
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

const char* Table::Impl::fieldBytes(int field) const {
  return current() + h.offsets[static_cast<size_t>(field)];
}

// ---------------------------------------------------------------------------------------

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
std::optional<FechaHora> Table::asDateTime(int field) const {
  d_->requireField(field);
  return file::value::dateTime(d_->h.fields[static_cast<size_t>(field)], d_->fieldBytes(field), d_->name);
}

// The entry is checked by the same read the handle makes for its own moves, so a damaged
// one is healed (or refused) exactly as there: f runs a second time only after a rebuild.
bool Table::checkIndexEntry(std::string_view tagName, std::string_view key, uint32_t recno) {
  setIndex(tagName);
  Impl& t = *d_;
  int veces = 0;
  t.withIndex([&] {
    if (veces++ == 0) {
      std::string out;
      t.liveEntry(MdxFile::Entry{std::string(key), recno}, out);
    }
    return 0;
  });
  return veces == 1;
}

}  // namespace mostrador::dbf
