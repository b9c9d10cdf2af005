// The production index file: one B+tree per tag, in fixed-size pages.
//
// FILE: an 8192-byte header (the room of pages 0 and 1), then 4096-byte pages numbered
// from 2; page n starts at byte n * 4096. Integers are little-endian.
//
// HEADER
//   OFFSET SIZE MEANING
//        0    8 magic "MOSTRIDX"
//        8    4 format version (1)
//       12    4 page size (4096)
//       16    4 header size (8192)
//       20    4 page count: pages 0 .. count-1 exist (the header counts as pages 0, 1)
//       24    8 change counter, +1 at the end of every write
//       32    8 file identity, random, new at every create (a recreated file never
//             passes for the old one in a cache)
//       40    4 first free page (0: none)
//       44    4 free page count
//       48    4 tag count (at most 31)
//       52    1 dirty mark: 1 while a writer is updating the file
//       53    3 zero
//       56    8 checksum of bytes 0 .. 128 + 256 * tag count, this field read as 0
//       64    4 "TBLC" when the next field is set (older files: zero)
//       68    4 record count of the table (its header's count) at the last write that
//             set it: appends and rebuilds. Another program that adds or removes
//             records leaves the two apart, and the table rebuilds the index.
//       72   56 zero
//      128  256 tag directory, one entry per tag:
//                 +0  12 name, upper case, zero-padded
//                 +12  1 flags: 1 unique, 2 descending
//                 +13  1 key type: 'C', 'N' or 'D'
//                 +14  2 key length in bytes (1 .. 240)
//                 +16  4 root page
//                 +20  2 length of the key text
//                 +22  2 zero
//                 +24  8 entry count
//                 +32 224 key text as given ("CLDOC_F;CLPRO_F" or "*" + expression)
//
// PAGE (4096 bytes)
//   OFFSET SIZE MEANING
//        0    1 type: 1 leaf, 2 internal, 3 free
//        1    1 zero
//        2    2 entry count (leaf: entries; internal: separators)
//        4    2 entry size E = key length + 4
//        6    2 zero
//        8    4 leaf: next leaf (0: last); internal: child 0; free: next free page
//       12    4 leaf: previous leaf (0: first); otherwise zero
//       16    . leaf: entries of E bytes, key then record number (big-endian), sorted
//               bytewise, so by (key, record)
//             . internal: pairs (separator of E bytes, child page of 4 bytes); child
//               i holds the entries >= separator i-1 and < separator i
//
// WRITING. A writer takes the exclusive lock, writes the header with the dirty mark set,
// changes pages in its cache only, and at endWrite() writes the changed pages, then the
// header with the mark cleared and the counter bumped, then unlocks. A process killed
// in between leaves the mark set; whoever next holds a lock sees it and reports the file
// torn (IndexDamaged), and the table rebuilds it from its records. Inside a unit of work
// (journal.cpp) every page and the header are journaled before they are written, so a
// dead writer's changes are put back whole instead; the index syncs nothing itself.
//
// LOCKS. OFD locks (F_OFD_SETLKW) on the byte at 0x40000000, far beyond any data: shared
// for a read operation that needs the file, exclusive from beginWrite() to endWrite().
// A read that finds every page it needs in the handle's cache takes no lock when the
// header, seen through a shared read-only map of its first page, shows no write in
// progress and the counter and identity the cache was read at: the cache is then the
// file as it stands (a write bumps the counter in a write of its own before it clears
// the dirty mark, so a clear mark is never seen beside the old counter after a write).
// A page missing from the cache ends that attempt (Stale) and the read is done again
// under the lock. Without a map (a network drive) every read takes the lock. OFD locks
// belong to the open file description, so two handles of one process exclude each other, and
// closing another descriptor of the file does not drop them (the classic POSIX lock
// traps). A handle must not read through a second handle of the same file while the first
// one is writing in the same thread: the read would wait for ever.
//
// DELETIONS. An entry is removed in place; a leaf left empty is unlinked from its
// neighbours and its parent and goes to the free list; an internal page left without
// children goes too; a root with a single child hands the root over to the child. No
// merging of half-empty pages: pages are reused from the free list.
//
// DAMAGE. Every page read is checked (range, type, entry size, count); tree descents are
// bounded by a depth of 32 and leaf walks by the page count, so a damaged file gives
// Error("Índice dañado: …"), never a crash or an endless loop. A descent also checks that
// each page lies between the separators that led to it, and a step from leaf to leaf
// that the leaves link to each other and go on in order, so that a child or a link
// changed to another page of the file is found instead of skipping entries.

#include "store/dbf/mdx_index.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <random>
#include <unordered_map>
#include <unordered_set>

#include "base/texto_util.h"
#include "store/dbf/btree_page.h"
#include "store/dbf/dbf_file.h"
#include "store/dbf/journal.h"

namespace mostrador::dbf {

using namespace btree;

namespace {

constexpr char kMagic[8] = {'M', 'O', 'S', 'T', 'R', 'I', 'D', 'X'};
constexpr uint32_t kVersion = 1;
constexpr uint32_t kHeaderSize = 8192;
constexpr uint32_t kFirstPage = kHeaderSize / kPageSize;
constexpr uint32_t kDirOffset = 128;
constexpr uint32_t kDirEntry = 256;
constexpr int kMaxTags = int(kHeaderSize - kDirOffset) / int(kDirEntry);
constexpr size_t kMaxKeyText = kDirEntry - 32;
constexpr int kMaxNameLength = 10;
constexpr int kMaxDepth = 32;
constexpr int kMaxEntry = KeyExpression::kMaxLength + 4;
constexpr off_t kLockByte = 0x40000000;
constexpr size_t kCacheLimit = 4096;   // pages a handle keeps (16 MB)
constexpr size_t kDirtyLimit = 16384;  // a long write flushes its pages beyond this

// Header fields.
constexpr uint32_t hVersion = 8, hPageSize = 12, hHeaderSize = 16, hPageCount = 20,
                   hCounter = 24, hIdentity = 32, hFreeHead = 40, hFreeCount = 44,
                   hTagCount = 48, hDirty = 52, hChecksum = 56, hTableMark = 64, hTableCount = 68;
constexpr char kTableMark[4] = {'T', 'B', 'L', 'C'};
// Tag directory fields.
constexpr uint32_t tName = 0, tFlags = 12, tType = 13, tKeyLength = 14, tRoot = 16,
                   tTextLength = 20, tCount = 24, tText = 32;

uint64_t checksum(const uint8_t* p, size_t n) {
  uint64_t h = 0x9E3779B97F4A7C15ULL ^ n;
  for (size_t i = 0; i + 8 <= n; i += 8) {
    uint64_t w = i == hChecksum ? 0 : get64(p + i);
    h = (h ^ w) * 0xFF51AFD7ED558CCDULL;
    h ^= h >> 32;
  }
  return h;
}

uint64_t newIdentity() {
  std::random_device rd;
  uint64_t v = (uint64_t(rd()) << 32) ^ rd();
  v ^= uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
  v ^= uint64_t(getpid()) << 17;
  return v;
}

}  // namespace

struct MdxFile::Impl {
  struct Tag {
    TagDef def;
    KeyExpression expr;
    char keyType = 'C';
    int keyLength = 0;
    uint32_t root = 0;
    uint64_t count = 0;
  };
  struct Page {
    std::unique_ptr<uint8_t[]> data;
    bool dirty = false;
  };
  struct Step {
    uint32_t page;
    int child;
    bool rightmost;  // the node lies on the tree's rightmost path
  };

  int fd = -1;
  std::filesystem::path path;
  RecordLayout layout;
  bool readOnly = false;
  bool journaled = false;  // writes keep their old bytes in the directory's unit journal

  // The header as last read or written.
  bool known = false;
  uint64_t identity = 0, counter = 0;
  uint32_t pageCount = 0, freeHead = 0, freeCount = 0;
  std::optional<uint32_t> tableCount;  // see hTableCount
  std::vector<Tag> tags;
  std::vector<TagDef> defs;

  std::unordered_map<uint32_t, Page> cache;
  std::vector<uint32_t> dirtyPages;
  int writeDepth = 0;
  bool inUnitWrite = false;  // the write in progress holds no lock (beginWrite)
  int readDepth = 0;
  int snapshotDepth = 0;  // reads from the cache only, without the lock (see LOCKS)
  bool failed = false;
  // The header page, when the file system allows it; mapped at the first read after
  // open, so that an open with no index read pays nothing for it.
  mutable file::HeaderMap map;
  mutable bool mapTried = false;

  // The cache is the file as it stands now: no write in progress and the header's
  // counter and identity as they were when the cache was last brought up to date.
  bool current() const {
    if (!known || failed || fd < 0) return false;
    if (!map) {
      if (mapTried) return false;
      mapTried = true;
      map = file::HeaderMap(fd, kPageSize);
      if (!map) return false;
    }
    // This process's own unit may hold a newer header than the file has.
    uint8_t held[64];
    if (journal::overlaid() && journal::peek(path.native(), 0, held, sizeof held))
      return held[hDirty] == 0 && get64(held + hCounter) == counter && get64(held + hIdentity) == identity;
    if (map.load8(hDirty) != 0) return false;
    const bool same = map.load64(hCounter) == counter && map.load64(hIdentity) == identity;
    return same && !map.broken();
  }

  // Runs a read operation: from the cache alone when it is current (a page missing
  // there ends the attempt), else under the shared lock; inside a write, a read session
  // or a snapshot, as part of it.
  template <class F>
  auto read(F&& f) -> decltype(f()) {
    requireOpen();
    if (writeDepth > 0 || readDepth > 0 || snapshotDepth > 0) return f();
    if (current()) {
      ++snapshotDepth;
      try {
        auto r = f();
        --snapshotDepth;
        return r;
      } catch (const MdxFile::Stale&) {
        --snapshotDepth;
      } catch (...) {
        --snapshotDepth;
        throw;
      }
    }
    ReadScope scope(*this);
    return f();
  }

  // ---- errors ----------------------------------------------------------------------

  [[noreturn]] void damaged(const std::string& what) const {
    throw IndexDamaged("Índice dañado: " + what, "leer índice", path.string());
  }
  [[noreturn]] void ioError(const char* operation, int err) const {
    throw Error(std::string("Error al ") + operation + " el índice: " + std::strerror(err),
                operation, path.string(), err);
  }
  void requireOpen() const {
    if (fd < 0) throw Error("El índice no está abierto", "usar índice", path.string());
  }
  Tag& tagAt(int tag) {
    if (tag < 0 || tag >= int(tags.size()))
      throw Error("El índice no tiene la etiqueta número " + std::to_string(tag), "usar índice",
                  path.string());
    return tags[size_t(tag)];
  }
  void checkKey(const Tag& t, std::string_view key) const {
    if (int(key.size()) != t.keyLength)
      throw Error("Llave de " + std::to_string(key.size()) + " bytes para la etiqueta " +
                      t.def.name + ", que usa " + std::to_string(t.keyLength),
                  "usar índice", path.string());
  }

  // ---- raw I/O and locks -----------------------------------------------------------

  bool readAt(void* buf, size_t n, off_t at) const {
    if (journal::overlaid()) {
      size_t got = 0;
      if (journal::readHeld(path.native(), fd, static_cast<char*>(buf), n, at, got)) return got == n;
    }
    auto* p = static_cast<uint8_t*>(buf);
    while (n > 0) {
      ssize_t r = ::pread(fd, p, n, at);
      if (r < 0 && errno == EINTR) continue;
      if (r < 0) ioError("leer", errno);
      if (r == 0) return false;
      p += r;
      n -= size_t(r);
      at += r;
    }
    return true;
  }

  void writeAt(const void* buf, size_t n, off_t at) const {
    if (journaled && journal::absorb(fd, path, static_cast<const char*>(buf), n, at)) return;
    if (journal::overlaid()) journal::flushHeld(path.native());
    if (int err = journal::injectedFault(path.string(), journal::kFaultWrite)) {
      if (n > 1) (void)!::pwrite(fd, buf, n / 2, at);  // half of it gets out
      ioError("escribir", err);
    }
    auto* p = static_cast<const uint8_t*>(buf);
    while (n > 0) {
      ssize_t r = ::pwrite(fd, p, n, at);
      if (r < 0 && errno == EINTR) continue;
      if (r < 0) ioError("escribir", errno);
      p += r;
      n -= size_t(r);
      at += r;
    }
  }

  static int setLock(int fd, short type) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = kLockByte;
    fl.l_len = 1;
    int r;
    do r = ::fcntl(fd, F_OFD_SETLKW, &fl);
    while (r < 0 && errno == EINTR);
    return r < 0 ? errno : 0;
  }
  void lock(short type) const {
    if (int err = setLock(fd, type)) ioError("bloquear", err);
  }
  void unlock() const { setLock(fd, F_UNLCK); }

  // ---- header ----------------------------------------------------------------------

  // Brings the header (and the cache) up to date with the file. Runs under a lock.
  void refresh() {
    uint8_t fixed[64];
    if (!readAt(fixed, sizeof fixed, 0)) damaged("archivo demasiado corto");
    if (std::memcmp(fixed, kMagic, 8) != 0)
      throw Error("Índice ajeno: el archivo no es un índice de este sistema", "abrir índice",
                  path.string());
    if (get32(fixed + hVersion) != kVersion)
      throw Error("Índice de una versión no soportada (" + std::to_string(get32(fixed + hVersion)) +
                      ")",
                  "abrir índice", path.string());
    if (get32(fixed + hPageSize) != kPageSize || get32(fixed + hHeaderSize) != kHeaderSize)
      damaged("tamaño de página inválido");
    if (fixed[hDirty] != 0) damaged("escritura interrumpida");
    uint64_t id = get64(fixed + hIdentity), ctr = get64(fixed + hCounter);
    if (known && id == identity && ctr == counter) return;

    uint32_t tagCount = get32(fixed + hTagCount);
    if (tagCount > uint32_t(kMaxTags)) damaged("cabecera inválida");
    size_t used = kDirOffset + tagCount * kDirEntry;
    std::vector<uint8_t> h(used);
    if (!readAt(h.data(), used, 0)) damaged("archivo demasiado corto");
    if (get64(h.data() + hChecksum) != checksum(h.data(), used))
      damaged("la cabecera no cuadra con su suma de control");
    uint32_t pages = get32(h.data() + hPageCount);
    uint64_t size = 0;
    if (auto held = journal::overlaid() ? journal::heldSize(path.native()) : std::nullopt) {
      size = *held;
    } else {
      struct stat st {};
      if (::fstat(fd, &st) < 0) ioError("leer", errno);
      size = uint64_t(st.st_size);
    }
    if (pages < kFirstPage || size < uint64_t(pages) * kPageSize)
      damaged("archivo truncado");
    uint32_t fhead = get32(h.data() + hFreeHead);
    if (fhead != 0 && (fhead < kFirstPage || fhead >= pages)) damaged("lista de páginas libres inválida");

    std::vector<Tag> fresh;
    for (uint32_t i = 0; i < tagCount; ++i) {
      const uint8_t* e = h.data() + kDirOffset + i * kDirEntry;
      Tag t;
      t.def.name.assign(reinterpret_cast<const char*>(e + tName),
                        strnlen(reinterpret_cast<const char*>(e + tName), 12));
      size_t textLength = get16(e + tTextLength);
      if (textLength > kMaxKeyText) damaged("cabecera inválida");
      t.def.key.assign(reinterpret_cast<const char*>(e + tText), textLength);
      t.def.unique = (e[tFlags] & 1) != 0;
      t.def.descending = (e[tFlags] & 2) != 0;
      t.keyType = char(e[tType]);
      t.keyLength = get16(e + tKeyLength);
      t.root = get32(e + tRoot);
      t.count = get64(e + tCount);
      if (t.root < kFirstPage || t.root >= pages) damaged("raíz de " + t.def.name + " fuera del archivo");
      auto old = std::find_if(tags.begin(), tags.end(), [&](const Tag& o) { return o.def == t.def; });
      if (old != tags.end()) {
        t.expr = old->expr;
      } else {
        try {
          t.expr = KeyExpression::compile(t.def.key, layout, t.def.descending);
        } catch (const Error& err) {
          throw Error("La etiqueta " + t.def.name + " no corresponde a la tabla: " + err.what(),
                      "abrir índice", path.string());
        }
      }
      if (t.expr.length() != t.keyLength || t.expr.type() != t.keyType)
        throw Error("La etiqueta " + t.def.name + " no corresponde a la tabla: su llave cambió",
                    "abrir índice", path.string());
      fresh.push_back(std::move(t));
    }
    tags = std::move(fresh);
    defs.clear();
    for (const Tag& t : tags) defs.push_back(t.def);
    identity = id;
    counter = ctr;
    pageCount = pages;
    freeHead = fhead;
    freeCount = get32(h.data() + hFreeCount);
    if (std::memcmp(h.data() + hTableMark, kTableMark, 4) == 0)
      tableCount = get32(h.data() + hTableCount);
    else
      tableCount.reset();
    cache.clear();
    dirtyPages.clear();
    known = true;
  }

  void writeHeader(bool dirty) {
    size_t used = kDirOffset + tags.size() * kDirEntry;
    std::vector<uint8_t> h(used, 0);
    uint8_t* p = h.data();
    std::memcpy(p, kMagic, 8);
    put32(p + hVersion, kVersion);
    put32(p + hPageSize, kPageSize);
    put32(p + hHeaderSize, kHeaderSize);
    put32(p + hPageCount, pageCount);
    put64(p + hCounter, counter);
    put64(p + hIdentity, identity);
    put32(p + hFreeHead, freeHead);
    put32(p + hFreeCount, freeCount);
    put32(p + hTagCount, uint32_t(tags.size()));
    p[hDirty] = dirty ? 1 : 0;
    if (tableCount) {
      std::memcpy(p + hTableMark, kTableMark, 4);
      put32(p + hTableCount, *tableCount);
    }
    for (size_t i = 0; i < tags.size(); ++i) {
      const Tag& t = tags[i];
      uint8_t* e = p + kDirOffset + i * kDirEntry;
      std::memcpy(e + tName, t.def.name.data(), std::min<size_t>(t.def.name.size(), 12));
      e[tFlags] = uint8_t((t.def.unique ? 1 : 0) | (t.def.descending ? 2 : 0));
      e[tType] = uint8_t(t.keyType);
      put16(e + tKeyLength, uint32_t(t.keyLength));
      put32(e + tRoot, t.root);
      put16(e + tTextLength, uint32_t(t.def.key.size()));
      put64(e + tCount, t.count);
      std::memcpy(e + tText, t.def.key.data(), t.def.key.size());
    }
    put64(p + hChecksum, checksum(p, used));
    writeAt(p, used, 0);
  }

  // ---- page cache ------------------------------------------------------------------

  uint8_t* load(uint32_t pg) {
    if (pg < kFirstPage || pg >= pageCount) damaged("página " + std::to_string(pg) + " fuera del archivo");
    auto it = cache.find(pg);
    if (it != cache.end()) return it->second.data.get();
    if (snapshotDepth > 0 && writeDepth == 0 && readDepth == 0) throw MdxFile::Stale{};
    Page page;
    page.data = std::make_unique<uint8_t[]>(kPageSize);
    if (!readAt(page.data.get(), kPageSize, off_t(pg) * kPageSize))
      damaged("archivo truncado en la página " + std::to_string(pg));
    checkPage(pg, page.data.get());
    return cache.emplace(pg, std::move(page)).first->second.data.get();
  }

  // A tree page read from disk must hold its entries in order and point inside the file:
  // a page damaged by anything but our own writes is caught here, before a walk skips
  // or repeats entries without saying so.
  void checkPage(uint32_t pg, const uint8_t* p) const {
    const uint8_t t = type(p);
    if (t != kLeaf && t != kInternal) return;
    const int e = entrySize(p);
    if (e <= 4 || e > kMaxEntry || count(p) > capacity(t, e)) damaged("la página " + std::to_string(pg) + " no es del tipo esperado");
    const int n = count(p);
    if (t == kLeaf) {
      for (int i = 1; i < n; ++i)
        if (std::memcmp(entry(p, e, i - 1), entry(p, e, i), size_t(e)) >= 0)
          damaged("entradas fuera de orden en la página " + std::to_string(pg));
      return;
    }
    for (int i = 1; i < n; ++i)
      if (std::memcmp(separator(p, e, i - 1), separator(p, e, i), size_t(e)) > 0)
        damaged("separadores fuera de orden en la página " + std::to_string(pg));
    for (int i = 0; i <= n; ++i) {
      const uint32_t c = child(p, e, i);
      if (c < kFirstPage || c >= pageCount || c == pg)
        damaged("la página " + std::to_string(pg) + " apunta fuera del archivo");
    }
  }

  void markDirty(uint32_t pg) {
    Page& page = cache.find(pg)->second;
    if (!page.dirty) {
      page.dirty = true;
      dirtyPages.push_back(pg);
    }
  }

  uint8_t* writable(uint32_t pg) {
    uint8_t* p = load(pg);
    markDirty(pg);
    return p;
  }

  // A page whose old contents do not matter (freed, or newly appended).
  uint8_t* blank(uint32_t pg) {
    auto it = cache.find(pg);
    if (it == cache.end()) {
      Page page;
      page.data = std::make_unique<uint8_t[]>(kPageSize);
      it = cache.emplace(pg, std::move(page)).first;
    }
    markDirty(pg);
    return it->second.data.get();
  }

  [[noreturn]] void wrongType(uint32_t pg) const {
    damaged("la página " + std::to_string(pg) + " no es del tipo esperado");
  }

  // A page of a tree whose entries are e bytes long.
  uint8_t* treePage(uint32_t pg, int e) {
    uint8_t* p = load(pg);
    uint8_t t = type(p);
    if ((t != kLeaf && t != kInternal) || entrySize(p) != e || count(p) > capacity(t, e))
      wrongType(pg);
    return p;
  }
  uint8_t* leafPage(uint32_t pg, int e) {
    uint8_t* p = treePage(pg, e);
    if (type(p) != kLeaf) wrongType(pg);
    return p;
  }

  void flush() {
    std::sort(dirtyPages.begin(), dirtyPages.end());
    // Every page about to change goes to the unit's journal first: one sync for all.
    if (journaled)
      for (uint32_t pg : dirtyPages) journal::keep(fd, path, off_t(pg) * kPageSize, kPageSize);
    for (uint32_t pg : dirtyPages) {
      Page& page = cache.find(pg)->second;
      writeAt(page.data.get(), kPageSize, off_t(pg) * kPageSize);
      page.dirty = false;
    }
    dirtyPages.clear();
  }

  // Keeps the cache bounded: clean leaves go first, internal pages only when needed.
  void trimCache() {
    if (cache.size() <= kCacheLimit) return;
    for (auto it = cache.begin(); it != cache.end();) {
      if (!it->second.dirty && type(it->second.data.get()) != kInternal)
        it = cache.erase(it);
      else
        ++it;
    }
    if (cache.size() <= kCacheLimit) return;
    for (auto it = cache.begin(); it != cache.end();)
      it = it->second.dirty ? std::next(it) : cache.erase(it);
  }

  uint32_t allocPage() {
    if (freeHead != 0) {
      uint32_t pg = freeHead;
      uint8_t* p = load(pg);
      if (type(p) != kFree) wrongType(pg);
      uint32_t next = link(p);
      if (next != 0 && (next < kFirstPage || next >= pageCount)) damaged("lista de páginas libres inválida");
      freeHead = next;
      if (freeCount > 0) --freeCount;
      markDirty(pg);
      return pg;
    }
    if (pageCount == UINT32_MAX) throw Error("El índice está lleno", "escribir índice", path.string());
    uint32_t pg = pageCount++;
    blank(pg);
    return pg;
  }

  void freePage(uint32_t pg) {
    uint8_t* p = blank(pg);
    initPage(p, kFree, 0);
    setLink(p, freeHead);
    freeHead = pg;
    ++freeCount;
  }

  // ---- sessions --------------------------------------------------------------------

  // Holds the shared lock around one read operation (nothing when this handle writes).
  struct ReadScope {
    Impl& d;
    bool locked = false;
    explicit ReadScope(Impl& impl) : d(impl) {
      d.requireOpen();
      if (d.writeDepth > 0 || d.readDepth > 0) return;
      d.lock(F_RDLCK);
      locked = true;
      try {
        d.refresh();
        d.trimCache();
      } catch (...) {
        d.unlock();
        throw;
      }
    }
    ~ReadScope() {
      if (locked) d.unlock();
    }
    ReadScope(const ReadScope&) = delete;
    ReadScope& operator=(const ReadScope&) = delete;
  };

  void beginRead() {
    requireOpen();
    if (readDepth++ > 0 || writeDepth > 0) return;
    lock(F_RDLCK);
    try {
      refresh();
      trimCache();
    } catch (...) {
      readDepth = 0;
      unlock();
      throw;
    }
  }

  void endRead() {
    if (readDepth == 0 || --readDepth > 0 || writeDepth > 0) return;
    unlock();
  }

  void beginWrite() {
    requireOpen();
    if (readDepth > 0 && writeDepth == 0)
      throw Error("El índice no puede escribirse durante una lectura en curso", "escribir índice",
                  path.string());
    if (failed)
      throw Error("El índice quedó inválido tras un error de escritura: vuelva a abrirlo",
                  "escribir índice", path.string());
    if (readOnly)
      throw Error("El índice es de solo lectura", "escribir índice", path.string());
    if (writeDepth++ > 0) return;
    // Inside a unit of this process the pages written stay with the unit until its
    // commit, which writes them under this lock; every other writer of the file waits
    // for the directory's writer lock the unit holds. Nothing to lock the file for here.
    inUnitWrite = journaled && journal::active(path.parent_path());
    if (!inUnitWrite) lock(F_WRLCK);
    try {
      refresh();
      trimCache();
      writeHeader(true);
    } catch (...) {
      writeDepth = 0;
      if (!inUnitWrite) unlock();
      throw;
    }
  }

  void endWrite() {
    if (writeDepth == 0 || --writeDepth > 0) return;
    if (failed) {
      abandon();
      return;
    }
    try {
      flush();
      ++counter;
      // The counter goes out before the mark is cleared (see LOCKS). A handle that no
      // other station shares (exclusive use, scratch tables) has no reader to mind.
      if (journaled) {
        uint8_t c[8];
        put64(c, counter);
        writeAt(c, 8, hCounter);
      }
      writeHeader(false);
    } catch (...) {
      failed = true;
      abandon();
      throw;
    }
    if (readDepth > 0)
      lock(F_RDLCK);  // back to the read session it was opened in (no wait: we hold it)
    else if (!inUnitWrite)
      unlock();
  }

  // Gives up a write: the dirty mark stays on disk, so the file reads as torn.
  void abandon() {
    cache.clear();
    dirtyPages.clear();
    known = false;
    writeDepth = 0;
    readDepth = 0;
    unlock();
  }

  // Runs one change inside a write (its own when none is open). `check` may refuse the
  // change before anything is touched; a failure in the middle of `f` leaves the handle
  // failed and the file torn.
  template <class Check, class F>
  void change(Check&& check, F&& f) {
    bool own = writeDepth == 0;
    if (own)
      beginWrite();
    else if (failed)
      throw Error("El índice quedó inválido tras un error de escritura: vuelva a abrirlo",
                  "escribir índice", path.string());
    try {
      check();
    } catch (...) {
      if (own) endWrite();
      throw;
    }
    try {
      f();
      if (dirtyPages.size() > kDirtyLimit) {
        flush();
        trimCache();
      }
    } catch (...) {
      failed = true;
      if (own) endWrite();
      throw;
    }
    if (own) endWrite();
  }
  template <class F>
  void change(F&& f) {
    change([] {}, std::forward<F>(f));
  }

  // ---- reads -----------------------------------------------------------------------

  Entry makeEntry(const uint8_t* e, int keyLength) const {
    return Entry{std::string(reinterpret_cast<const char*>(e), size_t(keyLength)),
                 getBE32(e + keyLength)};
  }

  // Descends to the leaf where `before` turns false. `before` must hold for a leading run
  // of the tag's entries in order.
  // Every page on the way must lie between the separators that led to it: a child
  // pointer changed to another page of the file would otherwise send the read to entries
  // that are not there, and skip the ones that are.
  template <class Before>
  uint32_t descend(const Tag& t, Before& before) {
    int e = t.keyLength + 4;
    uint32_t pg = t.root;
    uint8_t lo[kMaxEntry], hi[kMaxEntry];
    bool hayLo = false, hayHi = false;
    for (int depth = 0;; ++depth) {
      if (depth > kMaxDepth) damaged("árbol demasiado profundo");
      const uint8_t* p = treePage(pg, e);
      const int n = count(p);
      const bool hoja = type(p) == kLeaf;
      if (n > 0) {
        const uint8_t* primero = hoja ? entry(p, e, 0) : separator(p, e, 0);
        const uint8_t* ultimo = hoja ? entry(p, e, n - 1) : separator(p, e, n - 1);
        if ((hayLo && std::memcmp(primero, lo, size_t(e)) < 0) || (hayHi && std::memcmp(ultimo, hi, size_t(e)) >= 0))
          damaged("la página " + std::to_string(pg) + " no está donde la ponen sus separadores");
      }
      if (hoja) return pg;
      int c = countBefore(n, [&](int i) { return before(separator(p, e, i)); });
      if (c > 0) {
        std::memcpy(lo, separator(p, e, c - 1), size_t(e));
        hayLo = true;
      }
      if (c < n) {
        std::memcpy(hi, separator(p, e, c), size_t(e));
        hayHi = true;
      }
      pg = child(p, e, c);
    }
  }

  // The leaf a walk steps to from leaf `from` must link back to it and go on in order:
  // a link changed to jump a leaf would skip its entries without a trace.
  const uint8_t* stepLeaf(uint32_t from, const uint8_t* p, uint32_t to, bool forward, int e) {
    const uint8_t* q = leafPage(to, e);
    if ((forward ? prevLeaf(q) : link(q)) != from)
      damaged("las hojas " + std::to_string(from) + " y " + std::to_string(to) + " no se enlazan entre sí");
    const int n = count(p), m = count(q);
    if (n > 0 && m > 0) {
      const int orden = std::memcmp(forward ? entry(p, e, n - 1) : entry(q, e, m - 1),
                                    forward ? entry(q, e, 0) : entry(p, e, 0), size_t(e));
      if (orden >= 0) damaged("entradas fuera de orden entre las páginas " + std::to_string(from) + " y " + std::to_string(to));
    }
    return q;
  }

  template <class Before>
  std::optional<Entry> firstNotBefore(int tag, Before before) {
    const Tag& t = tagAt(tag);
    int e = t.keyLength + 4;
    uint32_t pg = descend(t, before);
    const uint8_t* p = leafPage(pg, e);
    int i = countBefore(count(p), [&](int k) { return before(entry(p, e, k)); });
    for (uint32_t steps = 0; i >= count(p); ++steps) {
      const uint32_t to = link(p);
      if (to == 0) return std::nullopt;
      if (steps > pageCount) damaged("enlaces de páginas en ciclo");
      p = stepLeaf(pg, p, to, true, e);
      pg = to;
      i = 0;
    }
    const uint8_t* found = entry(p, e, i);
    if (before(found)) damaged("entradas fuera de orden en la página " + std::to_string(pg));
    return makeEntry(found, t.keyLength);
  }

  template <class Before>
  std::optional<Entry> lastBefore(int tag, Before before) {
    const Tag& t = tagAt(tag);
    int e = t.keyLength + 4;
    uint32_t pg = descend(t, before);
    const uint8_t* p = leafPage(pg, e);
    int i = countBefore(count(p), [&](int k) { return before(entry(p, e, k)); }) - 1;
    for (uint32_t steps = 0; i < 0; ++steps) {
      const uint32_t to = prevLeaf(p);
      if (to == 0) return std::nullopt;
      if (steps > pageCount) damaged("enlaces de páginas en ciclo");
      p = stepLeaf(pg, p, to, false, e);
      pg = to;
      i = count(p) - 1;
    }
    const uint8_t* found = entry(p, e, i);
    if (!before(found)) damaged("entradas fuera de orden en la página " + std::to_string(pg));
    return makeEntry(found, t.keyLength);
  }

  // The entry bytes (key, big-endian record number) of a position.
  void target(const Tag& t, const Entry& at, uint8_t* out) const {
    checkKey(t, at.key);
    std::memcpy(out, at.key.data(), at.key.size());
    putBE32(out + t.keyLength, at.recno);
  }

  // ---- changes ---------------------------------------------------------------------

  // Descends to the leaf that holds or would hold the entry, noting the path.
  uint32_t descendFor(const Tag& t, const uint8_t* ent, Step* path, int& depth) {
    int e = t.keyLength + 4;
    uint32_t pg = t.root;
    bool rightmost = true;
    depth = 0;
    while (true) {
      const uint8_t* p = treePage(pg, e);
      if (type(p) == kLeaf) return pg;
      if (depth >= kMaxDepth) damaged("árbol demasiado profundo");
      int n = count(p);
      int c = countBefore(n, [&](int i) { return std::memcmp(separator(p, e, i), ent, size_t(e)) <= 0; });
      path[depth++] = {pg, c, rightmost};
      rightmost = rightmost && c == n;
      pg = child(p, e, c);
    }
  }

  void insert(Tag& t, const uint8_t* ent) {
    int e = t.keyLength + 4;
    Step path[kMaxDepth];
    int depth = 0;
    uint32_t pg = descendFor(t, ent, path, depth);
    uint8_t* p = load(pg);
    int n = count(p);
    int pos = countBefore(n, [&](int i) { return std::memcmp(entry(p, e, i), ent, size_t(e)) < 0; });
    if (pos < n && std::memcmp(entry(p, e, pos), ent, size_t(e)) == 0) return;  // present
    markDirty(pg);
    ++t.count;
    if (n < leafCapacity(e)) {
      std::memmove(entry(p, e, pos + 1), entry(p, e, pos), size_t((n - pos) * e));
      std::memcpy(entry(p, e, pos), ent, size_t(e));
      setCount(p, n + 1);
      return;
    }
    uint32_t rpg = allocPage();
    uint8_t* r = blank(rpg);
    initPage(r, kLeaf, e);
    if (pos == n && link(p) == 0) {
      // Appending past the last leaf: start a new leaf rather than halve this one, so
      // ascending inserts leave full pages behind.
      std::memcpy(entry(r, e, 0), ent, size_t(e));
      setCount(r, 1);
    } else {
      int left = (n + 1) / 2;
      uint8_t* into;
      int at;
      if (pos < left) {
        int moved = n - (left - 1);
        std::memcpy(entry(r, e, 0), entry(p, e, left - 1), size_t(moved * e));
        setCount(r, moved);
        setCount(p, left - 1);
        into = p;
        at = pos;
      } else {
        int moved = n - left;
        std::memcpy(entry(r, e, 0), entry(p, e, left), size_t(moved * e));
        setCount(r, moved);
        setCount(p, left);
        into = r;
        at = pos - left;
      }
      int m = count(into);
      std::memmove(entry(into, e, at + 1), entry(into, e, at), size_t((m - at) * e));
      std::memcpy(entry(into, e, at), ent, size_t(e));
      setCount(into, m + 1);
      uint32_t next = link(p);
      if (next != 0) {
        uint8_t* q = leafPage(next, e);
        markDirty(next);
        setPrevLeaf(q, rpg);
      }
      setLink(r, next);
    }
    setLink(p, rpg);
    setPrevLeaf(r, pg);
    uint8_t sep[kMaxEntry];
    std::memcpy(sep, entry(r, e, 0), size_t(e));
    insertSeparator(t, path, depth, pg, sep, rpg);
  }

  // Puts (sep, right) into the parent of `left`, splitting upwards as needed.
  void insertSeparator(Tag& t, Step* path, int depth, uint32_t left, uint8_t* sep,
                       uint32_t right) {
    int e = t.keyLength + 4;
    while (true) {
      if (depth == 0) {  // `left` was the root
        uint32_t root = allocPage();
        uint8_t* q = blank(root);
        initPage(q, kInternal, e);
        setChild(q, e, 0, left);
        std::memcpy(pair(q, e, 0), sep, size_t(e));
        setChild(q, e, 1, right);
        setCount(q, 1);
        t.root = root;
        return;
      }
      Step s = path[--depth];
      uint8_t* p = writable(s.page);
      int n = count(p), pos = s.child;
      if (n < internalCapacity(e)) {
        std::memmove(pair(p, e, pos + 1), pair(p, e, pos), size_t((n - pos) * (e + 4)));
        std::memcpy(pair(p, e, pos), sep, size_t(e));
        setChild(p, e, pos + 1, right);
        setCount(p, n + 1);
        return;
      }
      uint32_t rpg = allocPage();
      uint8_t* r = blank(rpg);
      initPage(r, kInternal, e);
      if (s.rightmost && pos == n) {
        // The rightmost node of its level: the new node starts with the new child only.
        setChild(r, e, 0, right);
      } else {
        int total = n + 1;
        std::vector<uint8_t> seps(size_t(total * e));
        std::vector<uint32_t> kids(size_t(total + 1));
        for (int i = 0, k = 0; i < total; ++i)
          std::memcpy(&seps[size_t(i * e)], i == pos ? sep : separator(p, e, k++), size_t(e));
        for (int i = 0, k = 0; i <= total; ++i) kids[size_t(i)] = i == pos + 1 ? right : child(p, e, k++);
        int m = total / 2;
        setCount(p, m);
        for (int i = 0; i <= m; ++i) setChild(p, e, i, kids[size_t(i)]);
        for (int i = 0; i < m; ++i) std::memcpy(pair(p, e, i), &seps[size_t(i * e)], size_t(e));
        setChild(r, e, 0, kids[size_t(m + 1)]);
        for (int i = m + 1; i < total; ++i) {
          std::memcpy(pair(r, e, i - m - 1), &seps[size_t(i * e)], size_t(e));
          setChild(r, e, i - m, kids[size_t(i + 1)]);
        }
        setCount(r, total - m - 1);
        std::memcpy(sep, &seps[size_t(m * e)], size_t(e));
      }
      left = s.page;
      right = rpg;
    }
  }

  void erase(Tag& t, const uint8_t* ent) {
    int e = t.keyLength + 4;
    Step path[kMaxDepth];
    int depth = 0;
    uint32_t pg = descendFor(t, ent, path, depth);
    uint8_t* p = load(pg);
    int n = count(p);
    int pos = countBefore(n, [&](int i) { return std::memcmp(entry(p, e, i), ent, size_t(e)) < 0; });
    if (pos >= n || std::memcmp(entry(p, e, pos), ent, size_t(e)) != 0) return;  // absent
    markDirty(pg);
    std::memmove(entry(p, e, pos), entry(p, e, pos + 1), size_t((n - pos - 1) * e));
    setCount(p, n - 1);
    if (t.count > 0) --t.count;
    if (n - 1 == 0 && depth > 0) removeLeaf(t, path, depth, pg);
  }

  void removeLeaf(Tag& t, Step* path, int depth, uint32_t pg) {
    int e = t.keyLength + 4;
    const uint8_t* p = load(pg);
    uint32_t prev = prevLeaf(p), next = link(p);
    if (prev != 0) {
      uint8_t* q = leafPage(prev, e);
      markDirty(prev);
      setLink(q, next);
    }
    if (next != 0) {
      uint8_t* q = leafPage(next, e);
      markDirty(next);
      setPrevLeaf(q, prev);
    }
    freePage(pg);
    while (depth > 0) {
      Step s = path[--depth];
      uint8_t* q = writable(s.page);
      int n = count(q);
      if (n == 0) {  // its only child went away
        if (depth == 0) {
          initPage(q, kLeaf, e);  // the whole tree is empty: the root becomes a leaf
          return;
        }
        freePage(s.page);
        continue;
      }
      if (s.child == 0) {
        setChild(q, e, 0, child(q, e, 1));
        std::memmove(pair(q, e, 0), pair(q, e, 1), size_t((n - 1) * (e + 4)));
      } else {
        std::memmove(pair(q, e, s.child - 1), pair(q, e, s.child), size_t((n - s.child) * (e + 4)));
      }
      setCount(q, n - 1);
      break;
    }
    // A root left with a single child hands over to it.
    for (int guard = 0; guard <= kMaxDepth; ++guard) {
      const uint8_t* r = treePage(t.root, e);
      if (type(r) != kInternal || count(r) != 0) return;
      uint32_t only = child(r, e, 0);
      freePage(t.root);
      t.root = only;
    }
    damaged("árbol demasiado profundo");
  }

  // Every page of a tag's tree.
  std::vector<uint32_t> treePages(const Tag& t) {
    int e = t.keyLength + 4;
    std::vector<uint32_t> pages, stack{t.root};
    std::unordered_set<uint32_t> seen;
    while (!stack.empty()) {
      uint32_t pg = stack.back();
      stack.pop_back();
      if (!seen.insert(pg).second) damaged("página " + std::to_string(pg) + " enlazada dos veces");
      if (seen.size() > pageCount) damaged("enlaces de páginas en ciclo");
      const uint8_t* p = treePage(pg, e);
      pages.push_back(pg);
      if (type(p) == kInternal)
        for (int i = 0; i <= count(p); ++i) stack.push_back(child(p, e, i));
    }
    return pages;
  }

  void validateNewTag(const TagDef& tag) const {
    if (tag.name.empty() || tag.name.size() > size_t(kMaxNameLength) ||
        tag.name.find('\0') != std::string::npos)
      throw Error("Nombre de etiqueta inválido: '" + tag.name + "'", "crear etiqueta",
                  path.string());
    if (tag.key.size() > kMaxKeyText)
      throw Error("La llave de la etiqueta " + tag.name + " es demasiado larga: " +
                      std::to_string(tag.key.size()) + " caracteres, el máximo es " +
                      std::to_string(kMaxKeyText),
                  "crear etiqueta", path.string());
  }

  Tag makeTag(const TagDef& def) const {
    validateNewTag(def);
    Tag t;
    t.def = def;
    t.def.name = base::mayusculasAscii(def.name);
    t.expr = KeyExpression::compile(def.key, layout, def.descending);
    t.keyType = t.expr.type();
    t.keyLength = t.expr.length();
    return t;
  }
};

MdxFile::MdxFile() : d_(std::make_unique<Impl>()) {}

MdxFile::~MdxFile() {
  if (d_->fd >= 0) {
    if (d_->writeDepth > 0) d_->abandon();  // the file stays marked torn, as if killed
    ::close(d_->fd);
  }
}

void MdxFile::create(const std::filesystem::path& path, const std::vector<TagDef>& tags,
                     const RecordLayout& layout) {
  Impl d;
  d.path = path;
  d.layout = layout;
  if (tags.size() > size_t(kMaxTags))
    throw Error("Demasiadas etiquetas para un índice: el máximo es " + std::to_string(kMaxTags),
                "crear índice", path.string());
  for (const TagDef& def : tags) {
    Impl::Tag t = d.makeTag(def);
    for (const Impl::Tag& o : d.tags)
      if (o.def.name == t.def.name)
        throw Error("La etiqueta " + t.def.name + " está repetida", "crear índice", path.string());
    d.tags.push_back(std::move(t));
  }
  d.fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (d.fd < 0) d.ioError("crear", errno);
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{d.fd};
  d.lock(F_WRLCK);
  if (!file::setSize(d.fd, 0, d.path.string())) d.ioError("crear", errno);
  d.identity = newIdentity();
  d.counter = 1;
  d.pageCount = kFirstPage;
  for (Impl::Tag& t : d.tags) {
    t.root = d.allocPage();
    initPage(d.blank(t.root), kLeaf, t.keyLength + 4);
  }
  d.flush();
  d.writeHeader(false);
  d.unlock();
}

void MdxFile::open(const std::filesystem::path& path, const RecordLayout& layout) {
  close();
  Impl& d = *d_;
  d.path = path;
  d.layout = layout;
  d.readOnly = false;
  d.fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (d.fd < 0 && (errno == EACCES || errno == EROFS)) {
    d.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    d.readOnly = true;
  }
  if (d.fd < 0) {
    int err = errno;
    throw Error(err == ENOENT ? "No existe el índice" : std::string("Error al abrir el índice: ") + std::strerror(err),
                "abrir índice", path.string(), err);
  }
  try {
    Impl::ReadScope scope(d);
  } catch (...) {
    close();
    throw;
  }
}

void MdxFile::close() {
  Impl& d = *d_;
  if (d.fd >= 0) {
    if (d.writeDepth > 0) {
      d.writeDepth = 1;
      try {
        d.endWrite();
      } catch (...) {
        ::close(d.fd);
        d.fd = -1;
        throw;
      }
    }
    ::close(d.fd);
  }
  d.map = file::HeaderMap();
  d.mapTried = false;
  d.fd = -1;
  d.known = false;
  d.failed = false;
  d.writeDepth = 0;
  d.readDepth = 0;
  d.snapshotDepth = 0;
  d.tags.clear();
  d.defs.clear();
  d.cache.clear();
  d.dirtyPages.clear();
}

bool MdxFile::isOpen() const { return d_->fd >= 0; }

void MdxFile::setJournaled(bool on) { d_->journaled = on; }

void MdxFile::keepHeaderInUnit() {
  if (d_->fd >= 0 && d_->journaled) journal::keep(d_->fd, d_->path, 0, kHeaderSize);
}

namespace {

// A bare handle on an index file for the whole-file operations below; closed with it.
struct Bare {
  MdxFile::Impl& d;
  Bare(MdxFile::Impl& impl, const std::filesystem::path& path, int flags) : d(impl) {
    d.path = path;
    d.fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (d.fd < 0) d.ioError("abrir", errno);
  }
  ~Bare() { ::close(d.fd); }
};

}  // namespace

namespace {

// A new identity and a raised counter in the header of the index open as d.fd, under
// its write lock.
void renew(MdxFile::Impl& d);

}  // namespace

void MdxFile::renewIdentity(const std::filesystem::path& path) {
  Impl d;
  Bare bare(d, path, O_RDWR);
  d.lock(F_WRLCK);
  try {
    renew(d);
  } catch (...) {
    d.unlock();
    throw;
  }
  d.unlock();
}

void MdxFile::lockForRestore(int fd, const std::filesystem::path& path, int waitMillis) {
  const auto hasta = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMillis);
  for (;;) {
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = kLockByte;
    fl.l_len = 1;
    if (::fcntl(fd, F_OFD_SETLK, &fl) == 0) return;
    const int err = errno;
    if (err != EAGAIN && err != EACCES && err != EINTR)
      throw Error(std::string("Error al bloquear el índice: ") + std::strerror(err), "bloquear", path.string(), err);
    if (std::chrono::steady_clock::now() >= hasta)
      throw LockError("El índice " + path.filename().string() + " está ocupado; intente de nuevo", "bloquear",
                      path.string());
    ::usleep(2000);
  }
}

void MdxFile::unlockAfterRestore(int fd) { (void)Impl::setLock(fd, F_UNLCK); }

void MdxFile::renewIdentityLocked(int fd, const std::filesystem::path& path) {
  Impl d;
  d.fd = fd;
  d.path = path;
  try {
    renew(d);
  } catch (...) {
    d.fd = -1;
    throw;
  }
  d.fd = -1;
}

namespace {

void renew(MdxFile::Impl& d) {
  uint8_t fixed[64];
  if (!d.readAt(fixed, sizeof fixed, 0) || std::memcmp(fixed, kMagic, 8) != 0) return;
  const uint32_t tagCount = std::min<uint32_t>(get32(fixed + hTagCount), uint32_t(kMaxTags));
  const size_t used = kDirOffset + tagCount * kDirEntry;
  std::vector<uint8_t> h(used);
  if (d.readAt(h.data(), used, 0)) {
    put64(h.data() + hIdentity, newIdentity());
    put64(h.data() + hCounter, get64(h.data() + hCounter) + 1);
    put64(h.data() + hChecksum, checksum(h.data(), used));
    d.writeAt(h.data(), used, 0);
  }
}

}  // namespace

std::optional<uint64_t> MdxFile::identityOf(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  uint8_t fixed[64];
  ssize_t n;
  do n = ::pread(fd, fixed, sizeof fixed, 0);
  while (n < 0 && errno == EINTR);
  ::close(fd);
  if (n != ssize_t(sizeof fixed) || std::memcmp(fixed, kMagic, 8) != 0) return std::nullopt;
  return get64(fixed + hIdentity);
}

std::vector<TagDef> MdxFile::storedTags(const std::filesystem::path& path) {
  Impl d;
  Bare bare(d, path, O_RDONLY);
  uint8_t fixed[64];
  if (!d.readAt(fixed, sizeof fixed, 0) || std::memcmp(fixed, kMagic, 8) != 0)
    d.damaged("cabecera inválida");
  const uint32_t tagCount = get32(fixed + hTagCount);
  if (tagCount > uint32_t(kMaxTags)) d.damaged("cabecera inválida");
  const size_t used = kDirOffset + tagCount * kDirEntry;
  std::vector<uint8_t> h(used);
  if (!d.readAt(h.data(), used, 0) || get64(h.data() + hChecksum) != checksum(h.data(), used))
    d.damaged("la cabecera no cuadra con su suma de control");
  std::vector<TagDef> r;
  for (uint32_t i = 0; i < tagCount; ++i) {
    const uint8_t* e = h.data() + kDirOffset + i * kDirEntry;
    TagDef t;
    t.name.assign(reinterpret_cast<const char*>(e + tName), strnlen(reinterpret_cast<const char*>(e + tName), 12));
    const size_t textLength = std::min<size_t>(get16(e + tTextLength), kMaxKeyText);
    t.key.assign(reinterpret_cast<const char*>(e + tText), textLength);
    t.unique = (e[tFlags] & 1) != 0;
    t.descending = (e[tFlags] & 2) != 0;
    r.push_back(std::move(t));
  }
  return r;
}

void MdxFile::replaceContents(const std::filesystem::path& path, const std::filesystem::path& from) {
  Impl d;
  Bare bare(d, path, O_RDWR);
  int src = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (src < 0) d.ioError("abrir", errno);
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } srcCloser{src};
  struct stat st {};
  if (::fstat(src, &st) < 0) d.ioError("leer", errno);
  std::vector<uint8_t> bytes(size_t(st.st_size));
  size_t got = 0;
  while (got < bytes.size()) {
    ssize_t r = ::pread(src, bytes.data() + got, bytes.size() - got, off_t(got));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) d.ioError("leer", r < 0 ? errno : EIO);
    got += size_t(r);
  }
  // Readers wait on the lock meanwhile: they see the torn file or the whole new one.
  d.lock(F_WRLCK);
  try {
    // Written over, then cut to size: never shorter than its header meanwhile, as
    // handles read that header through a map.
    d.writeAt(bytes.data(), bytes.size(), 0);
    if (!file::setSize(d.fd, off_t(bytes.size()), d.path.string())) d.ioError("escribir", errno);
    // A rebuilt index that is not sure on disk is not taken for rebuilt.
    if (int err = journal::injectedFault(d.path.string(), journal::kFaultSync)) d.ioError("escribir", err);
    if (::fsync(d.fd) < 0) d.ioError("escribir", errno);
  } catch (...) {
    d.unlock();
    throw;
  }
  d.unlock();
}
const std::vector<TagDef>& MdxFile::tags() const { return d_->defs; }

int MdxFile::tagNumber(std::string_view name) const {
  std::string u = base::mayusculasAscii(name);
  for (size_t i = 0; i < d_->tags.size(); ++i)
    if (d_->tags[i].def.name == u) return int(i);
  return -1;
}

const KeyExpression& MdxFile::expression(int tag) const { return d_->tagAt(tag).expr; }

void MdxFile::beginRead() const { d_->beginRead(); }
void MdxFile::endRead() const { d_->endRead(); }
void MdxFile::beginWrite() { d_->beginWrite(); }
void MdxFile::endWrite() { d_->endWrite(); }
void MdxFile::recordTableCount(uint32_t n) { d_->tableCount = n; }
std::optional<uint32_t> MdxFile::tableCount() const {
  Impl& d = *d_;
  return d.read([&] { return d.tableCount; });
}

void MdxFile::insert(int tag, std::string_view key, uint32_t recno) {
  Impl& d = *d_;
  d.requireOpen();
  d.checkKey(d.tagAt(tag), key);
  uint8_t ent[kMaxEntry];
  std::memcpy(ent, key.data(), key.size());
  putBE32(ent + key.size(), recno);
  d.change([&] { d.insert(d.tagAt(tag), ent); });
}

void MdxFile::erase(int tag, std::string_view key, uint32_t recno) {
  Impl& d = *d_;
  d.requireOpen();
  d.checkKey(d.tagAt(tag), key);
  uint8_t ent[kMaxEntry];
  std::memcpy(ent, key.data(), key.size());
  putBE32(ent + key.size(), recno);
  d.change([&] { d.erase(d.tagAt(tag), ent); });
}

int MdxFile::addTag(const TagDef& tag) {
  Impl& d = *d_;
  d.requireOpen();
  Impl::Tag t = d.makeTag(tag);
  int number = -1;
  auto check = [&] {
    if (tagNumber(t.def.name) >= 0)
      throw Error("La etiqueta " + t.def.name + " ya existe", "crear etiqueta", d.path.string());
    if (d.tags.size() >= size_t(kMaxTags))
      throw Error("Demasiadas etiquetas para un índice: el máximo es " + std::to_string(kMaxTags),
                  "crear etiqueta", d.path.string());
  };
  d.change(check, [&] {
    t.root = d.allocPage();
    initPage(d.blank(t.root), kLeaf, t.keyLength + 4);
    d.tags.push_back(std::move(t));
    d.defs.push_back(d.tags.back().def);
    number = int(d.tags.size()) - 1;
  });
  return number;
}

void MdxFile::deleteTag(std::string_view name) {
  Impl& d = *d_;
  d.requireOpen();
  int n = -1;
  auto check = [&] {
    n = tagNumber(name);
    if (n < 0)
      throw Error("No existe la etiqueta " + base::mayusculasAscii(name), "borrar etiqueta", d.path.string());
  };
  d.change(check, [&] {
    for (uint32_t pg : d.treePages(d.tags[size_t(n)])) d.freePage(pg);
    d.tags.erase(d.tags.begin() + n);
    d.defs.erase(d.defs.begin() + n);
  });
}

void MdxFile::clearTag(int tag) {
  Impl& d = *d_;
  d.requireOpen();
  d.tagAt(tag);
  d.change([&] {
    Impl::Tag& t = d.tagAt(tag);
    for (uint32_t pg : d.treePages(t)) d.freePage(pg);
    t.root = d.allocPage();
    initPage(d.blank(t.root), kLeaf, t.keyLength + 4);
    t.count = 0;
  });
}

std::optional<MdxFile::Entry> MdxFile::seek(int tag, std::string_view prefix) const {
  Impl& d = *d_;
  return d.read([&] {
    size_t keyLength = size_t(d.tagAt(tag).keyLength);
    return d.firstNotBefore(tag, [&](const uint8_t* e) {
      int c = std::memcmp(e, prefix.data(), std::min(keyLength, prefix.size()));
      return c < 0 || (c == 0 && prefix.size() > keyLength);
    });
  });
}

std::optional<MdxFile::Entry> MdxFile::seekLast(int tag, std::string_view prefix) const {
  Impl& d = *d_;
  return d.read([&] {
    size_t keyLength = size_t(d.tagAt(tag).keyLength);
    return d.lastBefore(tag, [&](const uint8_t* e) {
      return std::memcmp(e, prefix.data(), std::min(keyLength, prefix.size())) <= 0;
    });
  });
}

std::optional<MdxFile::Entry> MdxFile::first(int tag) const {
  Impl& d = *d_;
  return d.read([&] { return d.firstNotBefore(tag, [](const uint8_t*) { return false; }); });
}

std::optional<MdxFile::Entry> MdxFile::last(int tag) const {
  Impl& d = *d_;
  return d.read([&] { return d.lastBefore(tag, [](const uint8_t*) { return true; }); });
}

std::optional<MdxFile::Entry> MdxFile::next(int tag, const Entry& at) const {
  Impl& d = *d_;
  return d.read([&] {
    const Impl::Tag& t = d.tagAt(tag);
    uint8_t target[kMaxEntry];
    d.target(t, at, target);
    size_t e = size_t(t.keyLength) + 4;
    return d.firstNotBefore(tag, [&](const uint8_t* x) { return std::memcmp(x, target, e) <= 0; });
  });
}

std::optional<MdxFile::Entry> MdxFile::prior(int tag, const Entry& at) const {
  Impl& d = *d_;
  return d.read([&] {
    const Impl::Tag& t = d.tagAt(tag);
    uint8_t target[kMaxEntry];
    d.target(t, at, target);
    size_t e = size_t(t.keyLength) + 4;
    return d.lastBefore(tag, [&](const uint8_t* x) { return std::memcmp(x, target, e) < 0; });
  });
}

uint64_t MdxFile::entryCount(int tag) const {
  Impl& d = *d_;
  return d.read([&] { return d.tagAt(tag).count; });
}

uint64_t MdxFile::changeCounter() const {
  Impl& d = *d_;
  return d.read([&] { return d.counter; });
}

bool MdxFile::beginSnapshot() const {
  Impl& d = *d_;
  if (d.fd < 0 || d.writeDepth > 0 || d.readDepth > 0 || d.snapshotDepth > 0 || !d.current()) return false;
  ++d.snapshotDepth;
  return true;
}

bool MdxFile::endSnapshot() const {
  Impl& d = *d_;
  if (d.snapshotDepth > 0) --d.snapshotDepth;
  return d.current();
}

std::string problemaDeEntrada(const KeyExpression& e, const MdxFile::Entry& entrada, const char* registro) {
  if (entrada.recno == 0 || !registro)
    return "entrada del registro " + std::to_string(entrada.recno) + ", que no existe";
  if (*registro == file::kDeleted) return std::string();
  std::optional<std::string> clave;
  try {
    clave = e.evaluate(registro);
  } catch (const Error&) {
    // A field that does not read: the record's own problem, reported when it is read.
  }
  if (clave && *clave != entrada.key)
    return "la entrada del registro " + std::to_string(entrada.recno) +
           " no lleva su clave (el registro está dos veces en el índice o cambió por fuera de él)";
  return std::string();
}

}  // namespace mostrador::dbf
