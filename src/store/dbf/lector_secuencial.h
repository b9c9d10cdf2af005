#pragma once
// A read-only reader of a table file (.dbf) for work that reads a table from end to end
// (SQL statements, reports): records stream in large blocks instead of one read per
// record, and nothing is locked per record.
//
// What it sees. The table handle re-reads every record on every move so that screens see
// other stations' posts at once; this reader instead reads the table as it is when it
// opens:
//   * The record count is fixed at open: records appended afterwards are not seen. The
//     count is reconciled with the file size as the table handle does (a station killed
//     mid-append leaves one complete record more than the header says, which counts, or
//     a partial trailing record, which is ignored), but nothing is written: when they
//     disagree the reader waits for any append in progress (the header lock, shared)
//     and, failing that, keeps only the records both agree on.
//   * Each block is read with one pread. A record is written with one pwrite, so a
//     record rewritten or deleted while the scan runs is normally read either before or
//     after the change. Linux does not make a buffered read atomic against a write to
//     the same bytes (the copy runs page by page without the page lock), so a record
//     being written at the very instant its block is copied can come out mixed; the
//     table handle's one-record reads carry the same exposure. Nothing else is torn: a
//     record is never seen twice or skipped while it stays live, and deleted records are
//     never returned by siguiente().
//   * When every record of the snapshot fits in kRetenido bytes the blocks read are kept
//     for the reader's life, so a second pass (and lee()) returns the very bytes the
//     first one saw; a larger table is read again on each pass, one block at a time.
//
// Locks: the reader takes the shared "open" lock like any handle (store/dbf/locks.h), so
// the exclusive work that rewrites a table file (pack, empty, structure changes) waits
// for it, and it refuses a table another station has open exclusively (LockError). It
// never takes a record lock and never writes, so posting stations are not slowed.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/dbf/dbf_file.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::dbf {

class LectorSecuencial {
 public:
  static constexpr size_t kBloque = 256 * 1024;        // bytes per read
  static constexpr size_t kRetenido = 16 * 1024 * 1024;  // tables up to this are kept

  // dir and file as Table::open takes them (a stored path resolved through rutas, or a
  // local path with an empty dir). Throws Error (missing, foreign or damaged file) or
  // LockError (open exclusively by another station).
  LectorSecuencial(std::string_view dir, std::string_view file);
  ~LectorSecuencial();
  LectorSecuencial(const LectorSecuencial&) = delete;
  LectorSecuencial& operator=(const LectorSecuencial&) = delete;

  const std::string& ruta() const;    // local path of the .dbf
  const std::string& nombre() const;  // file name, for messages
  const file::Header& encabezado() const;
  const std::vector<FieldDef>& campos() const;
  uint32_t registros() const;  // records of the snapshot, deleted ones included

  // In record order, deleted records skipped. siguiente() moves to the next live record
  // (the first after reinicia() or a fresh reader) and returns false past the last one.
  void reinicia();
  bool siguiente();
  uint32_t recno() const;        // 1-based; 0 before the first record and past the last
  const char* registro() const;  // raw bytes of the current record (deleted flag first)

  // Any record of the snapshot by number, deleted ones included (byte 0 is '*'), without
  // moving the sequential position; nullptr for 0, a number beyond the snapshot or a
  // record the file ends before. Valid until the next call to lee() or siguiente().
  const char* lee(uint32_t recno);

  // Fields of the current record, as Table reads them (file::value).
  const char* campo(int i) const;  // first byte of field i
  bool esBlanco(int i) const;
  std::string texto(int i) const;
  double numero(int i) const;
  std::optional<Fecha> fecha(int i) const;
  bool logico(int i) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace mostrador::dbf
