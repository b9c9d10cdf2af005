// The table handle: its life cycle (create, open, close, drop) and its writes. States
// (see dbf_table.h): Closed, Browse, Editing and Failed; the Failed mark survives cancel()
// and is cleared by close()/open(), or by the rollback of the unit the failed write
// belonged to (the bytes are then as they were before it).
//
// The reads (the runs of records, the change counter they go by, the cursor's moves) are
// in dbf_table_lectura.cpp, whose notes say what a move trusts; what they ask of the
// writes here is that every change to the records raises the change counter once its
// record bytes are written. The state both files share is in dbf_table_interno.h.
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
#include "store/dbf/dbf_table_interno.h"
#include "store/dbf/journal.h"
#include "store/dbf/key_expression.h"
#include "store/dbf/locks.h"
#include "store/dbf/mdx_index.h"

namespace fs = std::filesystem;

namespace mostrador::dbf {
namespace {

using file::Header;
using detail::Fd;
using detail::le32;

// Header bytes worth reading at open: the longest header the format allows.
constexpr size_t kMaxHeader = 65536 + 68;

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
  // The table's directory is resolved already: only the name is looked for.
  return base::resuelveEn(dbf.parent_path(), base + (mayusculas ? ".MDX" : ".mdx"));
}

// Other files of a table that go with it when it is dropped (memo text).
fs::path memoPathFor(const fs::path& dbf) {
  std::string nombre = dbf.filename().string();
  return base::resuelveEn(dbf.parent_path(), nombre.substr(0, nombre.find('.')) + ".dbt");
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

// Every write to the .dbf: inside a unit, held with it until its commit (journal.cpp).
void Table::Impl::put(const char* b, size_t n, off_t off) {
  if (exclusive && runCount != 0) {
    // Only this handle writes: the records read last stay good once the write is in them.
    const off_t rl = h.recordLength, from = h.recordOffset(runFirst), to = from + static_cast<off_t>(runCount) * rl;
    const off_t a = std::max(off, from), z = std::min(off + static_cast<off_t>(n), to);
    if (a < z) std::memcpy(run.data() + (a - from), b + (a - off), static_cast<size_t>(z - a));
  } else {
    forgetRun();
  }
  if (journaled && journal::absorb(fd.get(), path, b, n, off)) return;
  file::writeAt(fd.get(), b, n, off, path.string());
}

// A change made outside any unit is a unit of its own: the writer lock for its
// duration, its old bytes journaled, committed at the end (rolled back on a throw).
struct Table::Impl::AutoUnit {
  std::optional<Transaction> t;
  explicit AutoUnit(Impl& i) {
    if (i.journaled && !journal::active(i.dirLocal)) t.emplace(i.dirLocal, -1, false);
    if (i.journaled) journal::join(i.dirLocal, &i);
  }
  void done() {
    if (t) t->commit();
  }
};

// The unit ended: let go of the locks kept for it. After a rollback the bytes on disk
// are sound again, so a handle a failed write had stopped may write again.
void Table::Impl::unitEnded(bool committed) {
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

// Marks the handle failed and rethrows: nothing more is written through it.
template <typename F>
void Table::Impl::writing(F&& f) {
  try {
    f();
  } catch (...) {
    failed = true;
    throw;
  }
}

void Table::Impl::stampDate() {
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
void Table::Impl::writeCountAndDate(uint32_t count, std::optional<uint32_t> stampNow) {
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
struct Table::Impl::HeaderLock {
  Impl& t;
  bool taken = false;
  explicit HeaderLock(Impl& table) : t(table) {
    // Inside a unit every other appender of a shared table waits for the directory's
    // writer lock this station holds; the count it reads is the unit's own.
    if (t.exclusive || t.inUnit()) return;
    taken = true;
    if (!locks::lockWithRetry(t.fd.get(), locks::kHeaderByte, locks::Kind::Exclusive, t.path.c_str()))
      throw LockError("La tabla " + t.name + " está ocupada por otra estación; intente de nuevo",
                      "lock", t.path.string());
  }
  ~HeaderLock() {
    if (taken) locks::unlock(t.fd.get(), locks::kHeaderByte);
  }
};

// Appends a record under the header lock; returns its number.
uint32_t Table::Impl::appendRecord(const std::string& record) {
  AutoUnit unit(*this);
  uint32_t r = appendLocked(record);
  unit.done();
  return r;
}
uint32_t Table::Impl::appendLocked(const std::string& record) {
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
    if (mdx) mdx->recordTableCount(r);
  });
  return r;
}

// --- index maintenance ---------------------------------------------------------------
// Runs a change of the table and its keys as one index write. When the index write
// cannot start nothing has been written; a failure after that leaves the handle Failed
// and the index marked torn (it is given up, not closed cleanly).
template <typename F>
void Table::Impl::indexedWrite(F&& f) {
  if (!mdx) {
    writing(f);
  } else {
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
  if (journaled) journal::atSafePoint(dirLocal);
}
void Table::Impl::abandonIndex() {
  if (tag >= 0 && mdx) lastTagName = mdx->tags()[static_cast<size_t>(tag)].name;
  mdx.reset();
  tag = -1;
  ranged = false;
  indexProblem = "El índice " + mdxPath.filename().string() +
                 " quedó incompleto por un error de escritura; hay que reconstruirlo";
}
// Moves the keys of record r from the old bytes to the new ones in every tag (either
// may be absent: an append has no old keys, a deletion no new ones).
void Table::Impl::updateKeys(const std::string* before, const std::string* after, uint32_t r) {
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
bool Table::Impl::keysStay(const std::string& before, const std::string& after) const {
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
void Table::Impl::fillTag(int i) {
  const KeyExpression& e = mdx->expression(i);
  std::vector<std::pair<std::string, uint32_t>> keys;
  forEachLive([&](uint32_t r, const char* bytes) { keys.emplace_back(e.evaluate(bytes), r); });
  std::sort(keys.begin(), keys.end());
  for (const auto& [k, r] : keys) mdx->insert(i, k, r);
}
void Table::Impl::rebuildAll() {
  if (!mdx) return;
  indexedWrite([&] {
    const int n = static_cast<int>(mdx->tags().size());
    for (int i = 0; i < n; ++i) {
      mdx->clearTag(i);
      fillTag(i);
    }
    mdx->recordTableCount(readCount());
  });
}
// Calls f(recno, bytes) for every live record, reading a block at a time.
template <typename F>
void Table::Impl::forEachLive(F&& f) const {
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
void Table::Impl::writeIndexFlags() {
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
void Table::Impl::openIndex() {
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
    // Another program (a spreadsheet saving the table as dBASE) rewrites the records and
    // leaves the index as it was: it clears the production-index mark of the header, or
    // adds and removes records behind the count the index was last written at. Every
    // indexed read would then be silently wrong, so the index is rebuilt first.
    std::optional<uint32_t> contado = m->tableCount();
    uint32_t registros = readCount();
    if (contado && *contado != registros && !exclusive &&
        locks::lockWithRetry(fd.get(), locks::kHeaderByte, locks::Kind::Shared, path.c_str())) {
      // An append of another station between the two reads: under the header lock the
      // count and its index agree again.
      try {
        registros = readCount();
        contado = m->tableCount();
      } catch (...) {
        locks::unlock(fd.get(), locks::kHeaderByte);
        throw;
      }
      locks::unlock(fd.get(), locks::kHeaderByte);
    }
    std::string ajena;
    if (!h.productionIndex)
      ajena = "la cabecera de la tabla perdió la marca de su índice";
    else if (contado && *contado != registros)
      ajena = "la tabla tiene " + std::to_string(registros) + " registros y el índice se hizo con " +
              std::to_string(*contado);
    // Inside a unit of its directory the index cannot be rebuilt (the journal would have
    // to hold it whole): it is used as it is, and the next open outside a unit rebuilds.
    if (!ajena.empty() && !readOnly && !(journaled && journal::active(dirLocal))) {
      m.reset();
      const std::string why = "la tabla fue cambiada por otro programa: " + ajena;
      indexProblem = "El índice " + archivo + " no corresponde a la tabla: " + why;
      if (repairIndex(why, true)) {
        h.productionIndex = true;
        openIndex();
      }
      return;
    }
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
bool Table::Impl::repairIndex(const std::string& why, bool ajena, std::optional<uint64_t> seen) {
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
    if (seen) {
      if (MdxFile::identityOf(mdxPath) != seen) {
        if (writer) writer->commit();
        return true;
      }
    } else try {
      MdxFile probe;
      probe.open(mdxPath, layout);
      probe.setJournaled(false);
      for (int i = 0; i < static_cast<int>(tags.size()); ++i) probe.entryCount(i);
      probe.first(0);
      char marca = 0;
      file::readAt(fd.get(), &marca, 1, file::kProductionFlagOffset, path.string());
      if (!ajena || (marca == 1 && probe.tableCount() == readCount())) {
        if (writer) writer->commit();
        return true;
      }
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
      fresh.recordTableCount(readCount());
      fresh.endWrite();
    }
    MdxFile::replaceContents(mdxPath, tmp);
    std::error_code ec;
    fs::remove(tmp, ec);
    if (ajena && !readOnly) {
      // The mark another program cleared, so that the next open does not rebuild again.
      char marca = 0;
      file::readAt(fd.get(), &marca, 1, file::kProductionFlagOffset, path.string());
      if (marca != 1) {
        const char uno = 1;
        put(&uno, 1, file::kProductionFlagOffset);
        h.productionIndex = true;
      }
    }
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

// A header whose count overstates the records on disk (a truncated file) is read only
// as far as the records go. Opening never writes: a table opened to be read stays
// byte for byte as it was, and an append writes the count it needs under its lock.
void Table::Impl::reconcileCount() {
  knownCount = 0;
  countLimit = 0;  // the first count read checks the file's size
  readCount();
  countLimit = knownCount;
}

char* Table::Impl::editableField(int field) {
  requireEditing();
  requireField(field);
  return buf.data() + h.offsets[static_cast<size_t>(field)];
}

// Ends the edit's hold on its record. Inside a unit the lock stays to the unit's end;
// a record locked beforehand (lockRecord) stays locked until released.
void Table::Impl::releaseRecordLock() {
  if (lockedRecord == 0) return;
  if (held.count(lockedRecord) || exclusive) {
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
LockError Table::Impl::recordHeld(uint32_t r, const char* op) const {
  return LockError("El registro " + std::to_string(r) + " de la tabla " + name + " está bloqueado por otra estación",
                   op, path.string());
}
void Table::Impl::lockForChange(uint32_t r, const char* op) {
  if (exclusive) {  // no other station has the table open: nothing to keep it from
    lockedRecord = r;
    return;
  }
  if (held.count(r)) {
    lockedRecord = r;
    return;
  }
  const bool ok = locks::tryLock(fd.get(), locks::recordByte(r), locks::Kind::Exclusive, path.c_str());
  if (!ok) throw recordHeld(r, op);
  lockedRecord = r;
}

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
  if (!file::setSize(fd.get(), 0, path.string()))
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
  t.countCached = false;
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
void Table::setDateTime(int field, std::optional<FechaHora> value) {
  char* p = d_->editableField(field);
  file::value::setDateTime(d_->h.fields[static_cast<size_t>(field)], p, value, d_->name);
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
      if (int e = journal::injectedFault(tmp.string(), journal::kFaultSync))
        file::osError("No se pudo compactar la tabla " + t.name, "pack", tmp.string(), e);
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
  t.countCached = false;
  t.readCount();
  t.rebuildAll();  // record numbers changed
  t.first();
}

void Table::emptyTable() {
  Impl& t = *d_;
  t.requireExclusive("vaciarla");
  t.change = Impl::Change::None;
  t.releaseRecordLock();
  t.forgetRun();
  t.indexedWrite([&] {
    t.writeCountAndDate(0);
    if (!file::setSize(t.fd.get(), t.h.headerLength, t.path.string()))
      file::osError("No se pudo vaciar la tabla " + t.name, "empty", t.path.string(), errno);
    const char fin = file::kEndOfFile;
    file::writeAt(t.fd.get(), &fin, 1, t.h.headerLength, t.path.string());
    if (t.mdx)
      for (int i = 0; i < static_cast<int>(t.mdx->tags().size()); ++i) t.mdx->clearTag(i);
  });
  t.countLimit = UINT32_MAX;
  t.countCached = false;
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
