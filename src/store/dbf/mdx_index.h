#pragma once
// The production index file (.mdx): every tag of one table as an on-disk B+tree.
// The byte layout is documented at the top of mdx_index.cpp.
//
// Entries of a tag are ordered by (encoded key, record number); duplicates are kept, one
// entry per record. Moves are stateless: next()/prior() take the entry the caller stands
// on and find its neighbour again, so a cursor stays valid while other handles or other
// processes change the tree.
//
// Sharing between processes: readers hold a shared OFD lock on the index lock byte
// while they walk the tree; a writer holds it exclusively between beginWrite() and
// endWrite(), during which the header's dirty mark is set. A dirty mark found when no
// writer holds the lock means a writer died mid-update: the file is torn and every
// operation throws IndexDamaged (as does a page whose entries are out of order or point
// outside the file) until the index is rebuilt; the table handle rebuilds it from its
// records. Pages are cached per handle and the cache is dropped whenever the header's
// change counter or identity moved.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/dbf/dbf_table.h"
#include "store/dbf/key_expression.h"

namespace mostrador::dbf {

class MdxFile {
 public:
  struct Entry {
    std::string key;
    uint32_t recno = 0;
    friend bool operator==(const Entry&, const Entry&) = default;
  };

  MdxFile();
  ~MdxFile();
  MdxFile(const MdxFile&) = delete;
  MdxFile& operator=(const MdxFile&) = delete;

  // Creates (replacing) an index file with empty trees for the tags.
  static void create(const std::filesystem::path& path, const std::vector<TagDef>& tags,
                     const RecordLayout& layout);
  // Throws Error when the file is missing, foreign (not ours), damaged or torn, or when a
  // tag's key does not compile against the layout.
  void open(const std::filesystem::path& path, const RecordLayout& layout);
  void close();
  bool isOpen() const;
  // Keeps the old bytes of every write in the directory's unit journal (shared tables).
  void setJournaled(bool on);
  // Puts the header into the open unit's journal ahead of the writes (see Table).
  void keepHeaderInUnit();

  // After a rollback put back old pages: a new identity, so that no handle anywhere
  // keeps pages it cached from the undone state.
  static void renewIdentity(const std::filesystem::path& path);
  // The same for the journal's rollback, which holds the file open as fd and its write
  // lock (lockForRestore, waiting up to waitMillis; Error when still held) while it puts
  // the old pages back; the lock goes with the descriptor. A file that is not an index
  // of ours is left alone.
  static void lockForRestore(int fd, const std::filesystem::path& path, int waitMillis);
  static void renewIdentityLocked(int fd, const std::filesystem::path& path);
  // Lets go of the write lock lockForRestore took through fd (a unit's commit holds it
  // while it writes the index, and keeps the descriptor).
  static void unlockAfterRestore(int fd);
  // The identity in a file's header (nullopt when it is not an index of ours): a new one
  // means the file was recreated, rebuilt or rolled back since it was last read.
  static std::optional<uint64_t> identityOf(const std::filesystem::path& path);
  // The tag definitions a file's header holds, read even when the file is torn.
  static std::vector<TagDef> storedTags(const std::filesystem::path& path);
  // Replaces the file's bytes by those of another index file, in place and under the
  // write lock, so that handles open on it see the new index at their next read.
  static void replaceContents(const std::filesystem::path& path, const std::filesystem::path& from);

  const std::vector<TagDef>& tags() const;
  int tagNumber(std::string_view name) const;  // case-insensitive; -1 when absent
  const KeyExpression& expression(int tag) const;

  // Writes happen between beginWrite() and endWrite() (nestable per handle). A change
  // called outside them makes a write of its own. A failure in the middle of a change
  // leaves the file torn and the handle refusing writes until reopened; endWrite() then
  // just releases the lock. Destroying a handle in the middle of a write leaves the file
  // torn, as a killed process would.
  void beginWrite();
  void endWrite();
  // Inside a write: the table's record count the index now reflects, kept in the header
  // by endWrite(). tableCount() answers the last one kept (nullopt for a file that never
  // kept one): a table whose count differs was changed by another program.
  void recordTableCount(uint32_t n);
  std::optional<uint32_t> tableCount() const;
  // Optional: holds the shared lock across several reads (nestable), so that a scan pays
  // for the lock and the header check once. Other stations' writes wait meanwhile, so
  // keep it short. beginWrite() is refused inside a read session (a lock upgrade could
  // deadlock); a read session inside a write is fine. Another handle of the same file
  // must not write from the same thread while this one reads (it would wait for ever).
  void beginRead() const;
  void endRead() const;
  // Optional, cheaper than a read session: true when this handle's cached pages are the
  // file as it stands now. Reads until endSnapshot() then come from the cache with no
  // lock, and one that needs a page not cached throws Stale (do it again inside
  // beginRead()/endRead()). endSnapshot() is true when still nothing has changed, so that
  // what was read beside the index (records) agrees with it. False without a map.
  struct Stale {};
  bool beginSnapshot() const;
  bool endSnapshot() const;
  void insert(int tag, std::string_view key, uint32_t recno);
  void erase(int tag, std::string_view key, uint32_t recno);  // no-op when absent
  int addTag(const TagDef& tag);  // empty tree; the caller fills it. Returns its number
  void deleteTag(std::string_view name);
  void clearTag(int tag);

  // Reads. Each returns nullopt past either end.
  std::optional<Entry> seek(int tag, std::string_view keyPrefix) const;  // first >= prefix
  std::optional<Entry> first(int tag) const;
  std::optional<Entry> last(int tag) const;
  std::optional<Entry> next(int tag, const Entry& at) const;
  std::optional<Entry> prior(int tag, const Entry& at) const;
  // Last entry whose key, cut to the prefix length, is <= prefix (range ends).
  std::optional<Entry> seekLast(int tag, std::string_view keyPrefix) const;
  uint64_t entryCount(int tag) const;

  // Bumped by every endWrite() of any handle.
  uint64_t changeCounter() const;

  struct Impl;  // opaque; named here so that the file's own helpers can hold one

 private:
  std::unique_ptr<Impl> d_;
};

// The rule every indexed read applies to an entry of a tag whose key expression is e,
// given its record's bytes as that reader sees them (null: it has no such record): an
// entry of record 0 or of a record that does not exist, or one that does not carry its
// record's key (the record is in the index twice, or changed outside it), is damage.
// Answers what is wrong, "" when the entry is sound. A deleted record's entry is sound:
// another program deletes by the flag alone and leaves the index as it was.
std::string problemaDeEntrada(const KeyExpression& e, const MdxFile::Entry& entrada, const char* registro);

}  // namespace mostrador::dbf
