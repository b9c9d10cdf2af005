#pragma once
// The .dbf byte layout: header parsing and building, raw record I/O, and the conversion
// of field values to and from their bytes in a record. The layout is documented at the
// top of dbf_file.cpp.

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/dbf/dbf_table.h"

namespace mostrador::dbf::file {

// What the header of a table file says.
struct Header {
  uint8_t version = 0x03;
  int headerLength = 0;  // bytes before the first record
  int recordLength = 1;  // deleted flag + field widths
  uint32_t recordCount = 0;
  bool productionIndex = false;  // byte 28
  bool level7 = false;           // version 4: 68-byte header, 48-byte descriptors
  std::vector<FieldDef> fields;
  std::vector<int> offsets;        // of each field in a record (0 is the deleted flag)
  std::vector<uint8_t> indexFlags; // production index flag of each descriptor

  int descriptorStart() const { return level7 ? 68 : 32; }
  int descriptorSize() const { return level7 ? 48 : 32; }
  // Offset in the file of the index flag byte of descriptor i.
  off_t indexFlagOffset(size_t i) const {
    return descriptorStart() + static_cast<off_t>(i) * descriptorSize() + (level7 ? 37 : 31);
  }
  off_t recordOffset(uint32_t recno) const {  // recno is 1-based
    return headerLength + static_cast<off_t>(recno - 1) * recordLength;
  }
};

constexpr off_t kCountOffset = 4;
constexpr off_t kProductionFlagOffset = 28;
constexpr char kEndOfFile = 0x1A;
constexpr char kDeleted = '*';

// Parses the first bytes of a file (at least the whole header when the file has one).
// fileSize is the size on disk. Throws Error with a Spanish text naming `name` when the
// bytes are not a table this engine reads, or the header contradicts itself.
Header parseHeader(std::string_view bytes, uint64_t fileSize, const std::string& name);

// Checks the definitions of a new table; throws Error naming the first bad one.
void checkFields(const std::vector<FieldDef>& fields);

// A level 4 header (version 0x03) for the fields, with the terminator 0x0D.
std::string buildHeader(const std::vector<FieldDef>& fields, uint32_t count, bool production,
                        const std::vector<uint8_t>& indexFlags, int yy, int mm, int dd);

// Today's date as the three header bytes (year - 1900, month, day).
void today(int& yy, int& mm, int& dd);

// Throws Error with the text followed by the system's reason for errnum.
[[noreturn]] void osError(const std::string& texto, const char* operation, const std::string& path,
                          int errnum);

// Whole-buffer reads and writes (EINTR and short transfers handled). read returns the
// bytes transferred (short only at end of file); write throws Error on any failure.
// They see the changes an open unit of this process holds for the file (journal.h);
// a write or a size change that goes around the unit lands after them.
size_t readAt(int fd, char* buf, size_t n, off_t offset, const std::string& path);
void writeAt(int fd, const char* buf, size_t n, off_t offset, const std::string& path);
uint64_t sizeOf(int fd, const std::string& path);
// Cuts or extends the file to `size` bytes; false, with errno set, when it cannot.
bool setSize(int fd, off_t size, const std::string& path);
// The disk alone, for the journal itself. writeRaw counts as a write for the failing
// disk of the tests (journal::setFault).
size_t readRaw(int fd, char* buf, size_t n, off_t offset, const std::string& path);
void writeRaw(int fd, const char* buf, size_t n, off_t offset, const std::string& path);

// The first bytes of a file mapped read-only and shared, so that a word another process
// writes there with pwrite is seen by a plain load, with no system call. Only on local
// file systems, where mapped pages and written bytes are one page cache; on a network
// drive (or with MOSTRADOR_MAPEO=NO) the map stays empty and callers read with pread.
// A file cut short under the map (copied over in place by another program) does not
// bring the process down: the load reads zeros and broken() turns true for good, and
// callers go back to pread.
class HeaderMap {
 public:
  HeaderMap() = default;
  HeaderMap(int fd, size_t length);
  ~HeaderMap();
  HeaderMap(HeaderMap&& o) noexcept;
  HeaderMap& operator=(HeaderMap&& o) noexcept;
  HeaderMap(const HeaderMap&) = delete;
  HeaderMap& operator=(const HeaderMap&) = delete;

  explicit operator bool() const { return p_ != nullptr; }
  bool broken() const;
  // Loads with acquire order; offsets must be aligned to the size and inside the file.
  uint8_t load8(size_t off) const;
  uint32_t load32(size_t off) const;
  uint64_t load64(size_t off) const;

 private:
  const unsigned char* p_ = nullptr;
  size_t length_ = 0;
  int slot_ = -1;  // in the table of maps the SIGBUS handler knows
};

// Change counter of a table: header bytes 16..19 (reserved for multi-user use in the
// format), little-endian, bumped after every change to the records. Zero in a new file.
constexpr off_t kStampOffset = 16;

// The Julian day number of a Gregorian date (2451545 for 1 January 2000), and back:
// the day part of a date-time field. kMaxJulianDay is 31 December 9999.
uint32_t julianDay(int anio, int mes, int dia);
Fecha fromJulianDay(uint32_t jd);
constexpr uint32_t kMaxJulianDay = 5373484;

// Field values inside a raw record. `f` is the field, `p` its first byte in the record.
namespace value {
bool isBlank(const FieldDef& f, const char* p);
std::string text(const FieldDef& f, const char* p);     // UTF-8, see Table::asText
double number(const FieldDef& f, const char* p, const std::string& table);
std::optional<Fecha> date(const FieldDef& f, const char* p, const std::string& table);
std::optional<FechaHora> dateTime(const FieldDef& f, const char* p, const std::string& table);
bool logical(const FieldDef& f, const char* p);

// Writers: throw Error when the value does not fit the field (nothing is written then).
void setText(const FieldDef& f, char* p, std::string_view utf8, const std::string& table);
void setNumber(const FieldDef& f, char* p, double v, const std::string& table);
void setDate(const FieldDef& f, char* p, const std::optional<Fecha>& v, const std::string& table);
void setDateTime(const FieldDef& f, char* p, const std::optional<FechaHora>& v, const std::string& table);
void setLogical(const FieldDef& f, char* p, bool v);  // Error for a date-time field
void setBlank(const FieldDef& f, char* p);  // blanks; zero bytes for a date-time field
// Copies a value between two records field by field, converting between types.
void copy(const FieldDef& from, const char* src, const FieldDef& to, char* dst,
          const std::string& table);
}  // namespace value

}  // namespace mostrador::dbf::file
