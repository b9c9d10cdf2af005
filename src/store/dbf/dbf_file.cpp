// The .dbf table file, as every dBASE reader expects it. All numbers little-endian.
//
// File header, level 3/4 (version byte 0x03, 0x83 with memo, 0x8B dBASE IV with memo):
//   OFFSET SIZE MEANING
//   0      1    version
//   1      3    date of the last update: year - 1900, month, day
//   4      4    number of records (deleted ones included)
//   8      2    header length: bytes before the first record
//   10     2    record length: 1 (deleted flag) + the widths of the fields
//   12     2    reserved, 0
//   14     1    incomplete transaction flag, 0
//   15     1    encryption flag, 0
//   16     12   reserved for multi-user use, 0
//   28     1    1 when the table has a production index (.mdx), else 0
//   29     1    language driver: 0x03, Windows-1252
//   30     2    reserved, 0
//   32     32*n field descriptors
//   32+32n 1    0x0D, end of the descriptors
// Field descriptor, level 3/4:
//   0      11   name, upper case, NUL padded
//   11     1    type: C N F D L @ (M memo, read as empty text)
//   12     4    reserved, 0
//   16     1    width (a C field wider than 255 keeps its high byte in byte 17)
//   17     1    decimals
//   18     13   reserved, 0
//   31     1    1 when the field has a tag of its own in the production index
//
// Level 7 (version 0x04, 0x8C with memo): the header is 68 bytes (32 as above, then the
// language driver name at 32 and 4 reserved bytes) and descriptors are 48 bytes:
//   0 32 name; 32 1 type; 33 1 width; 34 1 decimals; 35 2 reserved; 37 1 index flag;
//   38 2 reserved; 40 4 next autoincrement value; 44 4 reserved.
// Bytes between the 0x0D and the header length (field properties of level 7, padding
// of other writers) are kept as they are and skipped. This engine writes level 7 only
// for a table with a date-time field, the one type level 4 does not have: the language
// driver name "DBWINUS0" (Windows-1252) at 32, no field properties after the 0x0D.
//
// Records follow the header, recordLength bytes each: byte 0 is ' ' for a live record
// and '*' for a deleted one, then the fields in descriptor order:
//   C  Windows-1252 text, left-aligned, blank-padded
//   N  ASCII number right-aligned with exactly `decimals` decimals, blank when empty
//   F  as N
//   D  "yyyymmdd", 8 blanks when empty
//   L  'T' or 'F' (read also 'Y'/'N' and lower case), '?' or blank when empty
//   @  date-time, 8 bytes: the Julian day number (days since 1 January 4713 BC of the
//      Julian calendar: 2451545 is 1 January 2000) and the milliseconds since midnight,
//      each a 32-bit little-endian integer; 8 zero bytes when empty (8 blanks, as a
//      careless writer leaves an appended record, read as empty too). Days are counted
//      on the Gregorian calendar all the way back, as every date here is.
// A 0x1A byte follows the last record.
//
// An append writes the record and the 0x1A first and the header count afterwards, so a
// station killed in between leaves one complete record more than the header says (or a
// partial record); opening reconciles the count with the file size.

#include "store/dbf/dbf_file.h"

#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>

#include "base/rutas.h"
#include "base/texto.h"
#include "store/dbf/journal.h"

namespace mostrador::dbf::file {
namespace {

uint16_t u16(std::string_view b, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) |
                               (static_cast<unsigned char>(b[at + 1]) << 8));
}

uint32_t u32(std::string_view b, size_t at) {
  uint32_t r = 0;
  for (int i = 3; i >= 0; --i) r = (r << 8) | static_cast<unsigned char>(b[at + i]);
  return r;
}

void put16(std::string& b, size_t at, uint32_t v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void put32(std::string& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

[[noreturn]] void danada(const std::string& name, const std::string& detalle) {
  throw Error("La tabla " + name + " está dañada: " + detalle, "open", name);
}

std::string_view trimmed(std::string_view s) {
  size_t a = 0, b = s.size();
  while (a < b && (s[a] == ' ' || s[a] == '\0')) ++a;
  while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\0')) --b;
  return s.substr(a, b - a);
}

std::string_view rightTrimmed(std::string_view s) {
  size_t b = s.size();
  while (b > 0 && (s[b - 1] == ' ' || s[b - 1] == '\0')) --b;
  return s.substr(0, b);
}

bool bisiesto(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

bool fechaValida(const Fecha& f) {
  static const int dias[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (f.anio < 1 || f.anio > 9999 || f.mes < 1 || f.mes > 12 || f.dia < 1) return false;
  int max = dias[f.mes - 1] + (f.mes == 2 && bisiesto(f.anio) ? 1 : 0);
  return f.dia <= max;
}

// Parses a whole number text (blanks around allowed, "+" allowed); nullopt when it is
// not one. Locale-independent: the screens run with the shop's locale.
std::optional<double> parseNumber(std::string_view s) {
  s = trimmed(s);
  if (s.empty()) return 0.0;
  if (s[0] == '+') s.remove_prefix(1);
  if (s.empty()) return std::nullopt;
  double v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::string describe(const FieldDef& f) {
  std::string r = f.name + " (" + std::string(1, f.type) + " " + std::to_string(f.length);
  if (f.type == 'N' || f.type == 'F') r += "," + std::to_string(f.decimals);
  return r + ")";
}

// Writes bytes into the field, blank-padded on the side the type pads.
void fill(const FieldDef& f, char* p, std::string_view bytes, bool rightAligned) {
  std::memset(p, ' ', static_cast<size_t>(f.length));
  size_t n = std::min(bytes.size(), static_cast<size_t>(f.length));
  if (rightAligned)
    std::memcpy(p + f.length - n, bytes.data(), n);
  else
    std::memcpy(p, bytes.data(), n);
}

// Shortest text of a number for a text field: no decimals when whole.
std::string numberAsText(double v) {
  char buf[64];
  if (std::fabs(v) < 1e15 && v == std::floor(v)) {
    auto r = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(v));
    return std::string(buf, r.ptr);
  }
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

// The number with exactly `decimals` decimals, rounded half away from zero on its
// shortest decimal form, as a person rounds what they typed: 2.675 -> "2.68", 1.25 ->
// "1.3" (rounding the binary value would give 2.67 and 1.2).
std::string fixedHalfUp(double v, int decimals) {
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::fixed);
  std::string s(buf, r.ptr);
  size_t punto = s.find('.');
  std::string entero = s.substr(0, punto);
  std::string fraccion = punto == std::string::npos ? std::string() : s.substr(punto + 1);
  bool sube = fraccion.size() > static_cast<size_t>(decimals) &&
              fraccion[static_cast<size_t>(decimals)] >= '5';
  fraccion.resize(static_cast<size_t>(decimals), '0');
  std::string digitos = entero + fraccion;
  if (sube) {
    size_t i = digitos.size();
    while (i > 0 && digitos[i - 1] == '9') digitos[--i] = '0';
    if (i == 0)
      digitos.insert(digitos.begin(), '1');
    else
      ++digitos[i - 1];
  }
  std::string res = digitos.substr(0, digitos.size() - static_cast<size_t>(decimals));
  if (decimals > 0) res += "." + digitos.substr(digitos.size() - static_cast<size_t>(decimals));
  if (v < 0 && res.find_first_not_of("0.") != std::string::npos) res.insert(res.begin(), '-');
  return res;
}

bool isNumeric(char t) { return t == 'N' || t == 'F'; }

constexpr uint32_t kMsPerDay = 86400000;

uint32_t le32(const char* p) {
  uint32_t r = 0;
  for (int i = 3; i >= 0; --i) r = (r << 8) | static_cast<unsigned char>(p[i]);
  return r;
}

void putLe32(char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

[[noreturn]] void fechaHoraInvalida(const FieldDef& f, const char* p, const std::string& table) {
  throw Error("El campo " + f.name + " de la tabla " + table +
                  " no tiene una fecha y hora válida (día " + std::to_string(le32(p)) + ", " +
                  std::to_string(le32(p + 4)) + " ms)",
              "read", table);
}

[[noreturn]] void noAdmite(const FieldDef& f, const std::string& table, const char* que) {
  throw Error("El campo " + f.name + " de la tabla " + table + " no admite " + que, "write",
              table);
}

}  // namespace

Header parseHeader(std::string_view b, uint64_t fileSize, const std::string& name) {
  if (fileSize == 0) danada(name, "el archivo está vacío");
  if (b.size() < 32) danada(name, "el encabezado está incompleto");
  Header h;
  h.version = static_cast<uint8_t>(b[0]);
  static const uint8_t versiones[] = {0x03, 0x04, 0x43, 0x63, 0x83, 0x8B, 0x8C, 0xCB};
  if (std::find(std::begin(versiones), std::end(versiones), h.version) == std::end(versiones))
    throw Error("El archivo " + name + " no es una tabla dBASE", "open", name);
  h.level7 = (h.version & 0x07) == 4;
  if (h.level7 && b.size() < 68) danada(name, "el encabezado está incompleto");
  h.recordCount = u32(b, 4);
  h.headerLength = u16(b, 8);
  h.recordLength = u16(b, 10);
  h.productionIndex = b[28] == 1;

  const int start = h.descriptorStart(), size = h.descriptorSize();
  if (h.headerLength < start + size + 1)
    danada(name, "la longitud del encabezado (" + std::to_string(h.headerLength) +
                     ") no deja lugar a ningún campo");
  if (static_cast<uint64_t>(h.headerLength) > fileSize)
    danada(name, "la longitud del encabezado (" + std::to_string(h.headerLength) +
                     ") excede el tamaño del archivo (" + std::to_string(fileSize) + ")");
  if (b.size() < static_cast<size_t>(h.headerLength)) danada(name, "el encabezado está incompleto");

  bool terminado = false;
  int offset = 1;
  for (int pos = start; pos < h.headerLength; pos += size) {
    if (b[pos] == 0x0D) {
      terminado = true;
      break;
    }
    if (pos + size > h.headerLength) break;
    std::string_view d = b.substr(static_cast<size_t>(pos), static_cast<size_t>(size));
    FieldDef f;
    const size_t nameLen = h.level7 ? 32 : 11;
    std::string_view n = d.substr(0, nameLen);
    n = n.substr(0, std::min(n.find('\0'), n.size()));
    f.name = std::string(rightTrimmed(n));
    f.type = d[h.level7 ? 32 : 11];
    f.length = static_cast<unsigned char>(d[h.level7 ? 33 : 16]);
    f.decimals = static_cast<unsigned char>(d[h.level7 ? 34 : 17]);
    if (f.type == 'C' && !h.level7 && f.decimals > 0) {
      // Character fields wider than 255 keep the high byte of the width in "decimals".
      f.length += 256 * f.decimals;
      f.decimals = 0;
    }
    const std::string numero = "el campo " + std::to_string(h.fields.size() + 1);
    if (f.name.empty()) danada(name, numero + " no tiene nombre");
    if (static_cast<unsigned char>(f.type) < 0x21 || static_cast<unsigned char>(f.type) > 0x7E)
      danada(name, numero + " tiene un tipo no válido");
    if (f.length == 0) danada(name, "el campo " + f.name + " tiene ancho 0");
    if (f.decimals > f.length) danada(name, "el campo " + f.name + " tiene más decimales que ancho");
    h.offsets.push_back(offset);
    offset += f.length;
    h.indexFlags.push_back(static_cast<uint8_t>(d[h.level7 ? 37 : 31]));
    h.fields.push_back(std::move(f));
  }
  if (!terminado) danada(name, "falta la marca de fin de los campos (0x0D)");
  if (h.fields.empty()) danada(name, "no tiene campos");
  if (offset != h.recordLength)
    danada(name, "la longitud de registro (" + std::to_string(h.recordLength) +
                     ") no coincide con la de sus campos (" + std::to_string(offset) + ")");
  return h;
}

void checkFields(const std::vector<FieldDef>& fields) {
  if (fields.empty()) throw Error("Una tabla necesita al menos un campo", "create");
  int total = 1;
  for (size_t i = 0; i < fields.size(); ++i) {
    const FieldDef& f = fields[i];
    auto malo = [&](const std::string& por) {
      throw Error("Definición no válida del campo " + (f.name.empty() ? std::to_string(i + 1) : f.name) +
                      ": " + por,
                  "create");
    };
    if (f.name.empty() || f.name.size() > 10) malo("el nombre debe tener de 1 a 10 caracteres");
    if (!std::isalpha(static_cast<unsigned char>(f.name[0]))) malo("el nombre debe empezar con una letra");
    for (char c : f.name)
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') malo("el nombre tiene caracteres no válidos");
    for (size_t j = 0; j < i; ++j)
      if (base::mismoNombre(fields[j].name, f.name)) malo("el nombre está repetido");
    switch (f.type) {
      case 'C':
        if (f.length < 1 || f.length > 254 || f.decimals != 0) malo("un texto mide de 1 a 254");
        break;
      case 'N':
      case 'F':
        if (f.length < 1 || f.length > 20) malo("un número mide de 1 a 20");
        if (f.decimals < 0 || (f.decimals > 0 && f.decimals > f.length - 2))
          malo("los decimales no caben en el ancho");
        break;
      case 'D':
        if (f.length != 8 || f.decimals != 0) malo("una fecha mide 8");
        break;
      case 'L':
        if (f.length != 1 || f.decimals != 0) malo("un lógico mide 1");
        break;
      case '@':
        if (f.length != 8 || f.decimals != 0) malo("una fecha y hora mide 8");
        break;
      default:
        malo(std::string("tipo ") + f.type + " no admitido");
    }
    total += f.length;
  }
  if (fields.size() > 255) throw Error("Una tabla admite hasta 255 campos", "create");
  if (total > 65535) throw Error("Los campos exceden el largo máximo de un registro", "create");
}

std::string buildHeader(const std::vector<FieldDef>& fields, uint32_t count, bool production,
                        const std::vector<uint8_t>& indexFlags, int yy, int mm, int dd) {
  const size_t n = fields.size();
  const bool level7 = std::any_of(fields.begin(), fields.end(), [](const FieldDef& f) { return f.type == '@'; });
  const size_t start = level7 ? 68 : 32, size = level7 ? 48 : 32;
  std::string h(start + size * n + 1, '\0');
  int recordLength = 1;
  for (const auto& f : fields) recordLength += f.length;
  h[0] = level7 ? 0x04 : 0x03;
  h[1] = static_cast<char>(yy);
  h[2] = static_cast<char>(mm);
  h[3] = static_cast<char>(dd);
  put32(h, 4, count);
  put16(h, 8, static_cast<uint32_t>(h.size()));
  put16(h, 10, static_cast<uint32_t>(recordLength));
  h[28] = production ? 1 : 0;
  h[29] = 0x03;
  if (level7) h.replace(32, 8, "DBWINUS0");
  for (size_t i = 0; i < n; ++i) {
    const FieldDef& f = fields[i];
    const size_t d = start + size * i;
    for (size_t k = 0; k < f.name.size() && k < 10; ++k)
      h[d + k] = static_cast<char>(std::toupper(static_cast<unsigned char>(f.name[k])));
    const uint8_t flag = i < indexFlags.size() ? indexFlags[i] : 0;
    if (level7) {
      h[d + 32] = f.type;
      h[d + 33] = static_cast<char>(f.length);
      h[d + 34] = static_cast<char>(f.decimals);
      h[d + 37] = static_cast<char>(flag);
    } else {
      h[d + 11] = f.type;
      h[d + 16] = static_cast<char>(f.length);
      h[d + 17] = static_cast<char>(f.decimals);
      h[d + 31] = static_cast<char>(flag);
    }
  }
  h[start + size * n] = 0x0D;
  return h;
}

void today(int& yy, int& mm, int& dd) {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  yy = tm.tm_year;
  mm = tm.tm_mon + 1;
  dd = tm.tm_mday;
}

void osError(const std::string& texto, const char* operation, const std::string& path, int errnum) {
  throw Error(texto + ": " + std::strerror(errnum), operation, path, errnum);
}

size_t readRaw(int fd, char* buf, size_t n, off_t offset, const std::string& path) {
  size_t done = 0;
  while (done < n) {
    ssize_t r = pread(fd, buf + done, n - done, offset + static_cast<off_t>(done));
    if (r < 0) {
      if (errno == EINTR) continue;
      osError("No se pudo leer la tabla " + path, "read", path, errno);
    }
    if (r == 0) break;
    done += static_cast<size_t>(r);
  }
  return done;
}

size_t readAt(int fd, char* buf, size_t n, off_t offset, const std::string& path) {
  size_t got = 0;
  if (journal::overlaid() && journal::readHeld(path, fd, buf, n, offset, got)) return got;
  return readRaw(fd, buf, n, offset, path);
}

void writeRaw(int fd, const char* buf, size_t n, off_t offset, const std::string& path) {
  if (int e = journal::injectedFault(path, journal::kFaultWrite)) {
    if (n > 1) (void)!::pwrite(fd, buf, n / 2, offset);  // half of it gets out
    osError("No se pudo escribir en la tabla " + path, "write", path, e);
  }
  size_t done = 0;
  while (done < n) {
    ssize_t r = pwrite(fd, buf + done, n - done, offset + static_cast<off_t>(done));
    if (r < 0) {
      if (errno == EINTR) continue;
      osError("No se pudo escribir en la tabla " + path, "write", path, errno);
    }
    if (r == 0) osError("No se pudo escribir en la tabla " + path, "write", path, EIO);
    done += static_cast<size_t>(r);
  }
}

void writeAt(int fd, const char* buf, size_t n, off_t offset, const std::string& path) {
  if (journal::overlaid()) journal::flushHeld(path);
  writeRaw(fd, buf, n, offset, path);
}

bool setSize(int fd, off_t size, const std::string& path) {
  if (journal::overlaid()) journal::flushHeld(path);
  if (int e = journal::injectedFault(path, journal::kFaultTruncate)) {
    errno = e;
    return false;
  }
  int r;
  do r = ::ftruncate(fd, size);
  while (r < 0 && errno == EINTR);
  return r == 0;
}

uint64_t sizeOf(int fd, const std::string& path) {
  if (journal::overlaid())
    if (auto held = journal::heldSize(path)) return *held;
  struct stat st{};
  if (fstat(fd, &st) < 0) osError("No se pudo consultar la tabla " + path, "stat", path, errno);
  return static_cast<uint64_t>(st.st_size);
}

namespace {

// File systems whose mapped pages are the very pages pread and pwrite use. Anything else
// (SMB, NFS, FUSE, 9P...) may keep a mapped page that another machine's write does not
// reach, so it is read with pread, as before.
bool localFileSystem(int fd) {
  const char* v = std::getenv("MOSTRADOR_MAPEO");
  if (v && (std::strcmp(v, "NO") == 0 || std::strcmp(v, "no") == 0)) return false;
  struct statfs s {};
  if (fstatfs(fd, &s) != 0) return false;
  switch (static_cast<unsigned long>(s.f_type)) {
    case 0xEF53UL:      // ext2, ext3, ext4
    case 0x58465342UL:  // xfs
    case 0x9123683EUL:  // btrfs
    case 0x01021994UL:  // tmpfs
    case 0x858458F6UL:  // ramfs
    case 0x794C7630UL:  // overlayfs
    case 0xF2F52010UL:  // f2fs
    case 0x2FC12FC1UL:  // zfs
    case 0x3153464AUL:  // jfs
    case 0x52654973UL:  // reiserfs
    case 0xCA451A4EUL:  // bcachefs
      return true;
    default:
      return false;
  }
}

// Every live map, for the SIGBUS handler: a load from a page the file no longer reaches
// gets that page replaced by zeros (and the map marked broken) instead of killing the
// process. Fixed slots and atomics only: the handler can neither lock nor allocate.
struct Zona {
  std::atomic<uintptr_t> inicio{0};
  std::atomic<size_t> largo{0};
  std::atomic<bool> rota{false};
};
constexpr int kZonas = 4096;
Zona zonas[kZonas];
struct sigaction busAnterior;

void alBus(int sig, siginfo_t* info, void* contexto) {
  const uintptr_t a = reinterpret_cast<uintptr_t>(info->si_addr);
  for (Zona& z : zonas) {
    const uintptr_t i = z.inicio.load(std::memory_order_acquire);
    if (i <= 1 || a < i || a >= i + z.largo.load(std::memory_order_relaxed)) continue;
    void* r = ::mmap(reinterpret_cast<void*>(i), z.largo.load(std::memory_order_relaxed), PROT_READ,
                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (r != MAP_FAILED) {
      z.rota.store(true, std::memory_order_release);
      return;  // the load runs again and reads zeros
    }
  }
  // Not one of ours: as it would have gone without us (the access faults again).
  ::sigaction(SIGBUS, &busAnterior, nullptr);
  (void)sig;
  (void)contexto;
}

int ocupaZona(const void* p, size_t largo) {
  static std::once_flag instalado;
  std::call_once(instalado, [] {
    struct sigaction sa {};
    sa.sa_sigaction = alBus;
    sa.sa_flags = SA_SIGINFO;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGBUS, &sa, &busAnterior);
  });
  for (int k = 0; k < kZonas; ++k) {
    uintptr_t libre = 0;
    // Taken (1) first, published with its address once its length is in place.
    if (!zonas[k].inicio.compare_exchange_strong(libre, 1, std::memory_order_acq_rel)) continue;
    zonas[k].largo.store(largo, std::memory_order_relaxed);
    zonas[k].rota.store(false, std::memory_order_relaxed);
    zonas[k].inicio.store(reinterpret_cast<uintptr_t>(p), std::memory_order_release);
    return k;
  }
  return -1;
}

void sueltaZona(int k) {
  if (k >= 0) zonas[k].inicio.store(0, std::memory_order_release);
}

}  // namespace

HeaderMap::HeaderMap(int fd, size_t length) {
  if (fd < 0 || length == 0 || !localFileSystem(fd)) return;
  const size_t pagina = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  const size_t largo = (length + pagina - 1) / pagina * pagina;
  void* m = ::mmap(nullptr, largo, PROT_READ, MAP_SHARED, fd, 0);
  if (m == MAP_FAILED) return;  // pread still works
  const int slot = ocupaZona(m, largo);
  if (slot < 0) {
    ::munmap(m, largo);
    return;
  }
  p_ = static_cast<const unsigned char*>(m);
  length_ = largo;
  slot_ = slot;
}
HeaderMap::~HeaderMap() {
  if (p_) {
    sueltaZona(slot_);
    ::munmap(const_cast<unsigned char*>(p_), length_);
  }
}
HeaderMap::HeaderMap(HeaderMap&& o) noexcept : p_(o.p_), length_(o.length_), slot_(o.slot_) {
  o.p_ = nullptr;
  o.length_ = 0;
  o.slot_ = -1;
}
HeaderMap& HeaderMap::operator=(HeaderMap&& o) noexcept {
  if (this != &o) {
    if (p_) {
      sueltaZona(slot_);
      ::munmap(const_cast<unsigned char*>(p_), length_);
    }
    p_ = o.p_;
    length_ = o.length_;
    slot_ = o.slot_;
    o.p_ = nullptr;
    o.length_ = 0;
    o.slot_ = -1;
  }
  return *this;
}
bool HeaderMap::broken() const {
  return slot_ >= 0 && zonas[slot_].rota.load(std::memory_order_acquire);
}
// The file's bytes are little-endian, as is every machine this runs on.
uint8_t HeaderMap::load8(size_t off) const { return __atomic_load_n(p_ + off, __ATOMIC_ACQUIRE); }
uint32_t HeaderMap::load32(size_t off) const {
  return __atomic_load_n(reinterpret_cast<const uint32_t*>(p_ + off), __ATOMIC_ACQUIRE);
}
uint64_t HeaderMap::load64(size_t off) const {
  return __atomic_load_n(reinterpret_cast<const uint64_t*>(p_ + off), __ATOMIC_ACQUIRE);
}

uint32_t julianDay(int anio, int mes, int dia) {
  const long long a = (14 - mes) / 12, y = anio + 4800LL - a, m = mes + 12LL * a - 3;
  return static_cast<uint32_t>(dia + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045);
}

Fecha fromJulianDay(uint32_t jd) {
  const long long a = jd + 32044LL, b = (4 * a + 3) / 146097, c = a - 146097 * b / 4;
  const long long d = (4 * c + 3) / 1461, e = c - 1461 * d / 4, m = (5 * e + 2) / 153;
  Fecha f;
  f.dia = static_cast<int>(e - (153 * m + 2) / 5 + 1);
  f.mes = static_cast<int>(m + 3 - 12 * (m / 10));
  f.anio = static_cast<int>(100 * b + d - 4800 + m / 10);
  return f;
}

namespace value {
namespace {

// The two numbers of a date-time field that is not blank; false when they are not a
// date and a time of day.
bool decodeDateTime(const char* p, FechaHora& out) {
  const uint32_t dia = le32(p), ms = le32(p + 4);
  if (dia == 0 || dia > kMaxJulianDay || ms >= kMsPerDay) return false;
  const Fecha d = fromJulianDay(dia);
  if (!fechaValida(d)) return false;
  out.fecha = base::Fecha{d.anio, d.mes, d.dia};
  out.hora = base::Hora{static_cast<int>(ms / 3600000), static_cast<int>(ms / 60000 % 60),
                        static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000)};
  return true;
}

}  // namespace

bool isBlank(const FieldDef& f, const char* p) {
  std::string_view s(p, static_cast<size_t>(f.length));
  if (f.type == '@')
    return std::all_of(s.begin(), s.end(), [](char c) { return c == '\0'; }) ||
           std::all_of(s.begin(), s.end(), [](char c) { return c == ' '; });
  if (std::string_view("CNFDL").find(f.type) == std::string_view::npos) return true;  // read as empty
  if (f.type == 'L') return s[0] == '?' || s[0] == ' ' || s[0] == '\0';
  if (f.type == 'D' && s == "00000000") return true;
  return trimmed(s).empty();
}

std::string text(const FieldDef& f, const char* p) {
  std::string_view s(p, static_cast<size_t>(f.length));
  switch (f.type) {
    case 'C':
      return base::aUtf8(rightTrimmed(s));
    case 'N':
    case 'F':
      return std::string(trimmed(s));
    case 'D': {
      if (isBlank(f, p)) return {};
      auto d = leeFecha(s);
      return d ? fechaCorta(*d) : base::aUtf8(trimmed(s));
    }
    case 'L':
      switch (s[0]) {
        case 'T': case 't': case 'Y': case 'y': return "T";
        case 'F': case 'f': case 'N': case 'n': return "F";
        default: return {};
      }
    case '@': {
      // As a date field shows what it holds when it is not a date: the two numbers.
      if (isBlank(f, p)) return {};
      FechaHora fh;
      if (decodeDateTime(p, fh)) return fechaHoraCorta(fh);
      return std::to_string(le32(p)) + " " + std::to_string(le32(p + 4));
    }
    default:
      return {};  // memo and other kinds this engine does not read
  }
}

double number(const FieldDef& f, const char* p, const std::string& table) {
  std::string_view s(p, static_cast<size_t>(f.length));
  switch (f.type) {
    case 'N':
    case 'F':
    case 'C': {
      auto v = parseNumber(s);
      if (!v)
        throw Error("El campo " + f.name + " de la tabla " + table + " no tiene un número válido: \"" +
                        base::aUtf8(trimmed(s)) + "\"",
                    "read", table);
      return *v;
    }
    case 'L':
      return text(f, p) == "T" ? 1 : 0;
    default:
      if (isBlank(f, p)) return 0;
      throw Error("El campo " + f.name + " de la tabla " + table + " no es numérico", "read", table);
  }
}

std::optional<Fecha> date(const FieldDef& f, const char* p, const std::string& table) {
  std::string_view s(p, static_cast<size_t>(f.length));
  if (f.type == 'C') return leeFecha(rightTrimmed(s));
  if (f.type == '@') {
    auto fh = dateTime(f, p, table);
    if (!fh) return std::nullopt;
    return Fecha{fh->fecha.anio, fh->fecha.mes, fh->fecha.dia};
  }
  if (f.type != 'D') {
    if (isBlank(f, p)) return std::nullopt;
    throw Error("El campo " + f.name + " de la tabla " + table + " no es una fecha", "read", table);
  }
  if (isBlank(f, p)) return std::nullopt;
  Fecha r;
  bool digitos = std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (digitos) {
    r.anio = (s[0] - '0') * 1000 + (s[1] - '0') * 100 + (s[2] - '0') * 10 + (s[3] - '0');
    r.mes = (s[4] - '0') * 10 + (s[5] - '0');
    r.dia = (s[6] - '0') * 10 + (s[7] - '0');
  }
  if (!digitos || !fechaValida(r))
    throw Error("El campo " + f.name + " de la tabla " + table + " no tiene una fecha válida: \"" +
                    base::aUtf8(s) + "\"",
                "read", table);
  return r;
}

std::optional<FechaHora> dateTime(const FieldDef& f, const char* p, const std::string& table) {
  switch (f.type) {
    case '@': {
      if (isBlank(f, p)) return std::nullopt;
      FechaHora r;
      if (!decodeDateTime(p, r)) fechaHoraInvalida(f, p, table);
      return r;
    }
    case 'D': {
      auto d = date(f, p, table);
      if (!d) return std::nullopt;
      return FechaHora{base::Fecha{d->anio, d->mes, d->dia}, {}};
    }
    case 'C': {
      std::string_view s(p, static_cast<size_t>(f.length));
      if (trimmed(s).empty()) return std::nullopt;
      auto fh = leeFechaHora(base::aUtf8(rightTrimmed(s)));
      if (!fh)
        throw Error("El campo " + f.name + " de la tabla " + table + " no tiene una fecha y hora válida: \"" +
                        base::aUtf8(trimmed(s)) + "\"",
                    "read", table);
      return fh;
    }
    default:
      if (isBlank(f, p)) return std::nullopt;
      throw Error("El campo " + f.name + " de la tabla " + table + " no es una fecha y hora", "read", table);
  }
}

bool logical(const FieldDef& f, const char* p) { return text(f, p) == "T"; }

void setBlank(const FieldDef& f, char* p) {
  std::memset(p, f.type == '@' ? '\0' : ' ', static_cast<size_t>(f.length));
}

void setText(const FieldDef& f, char* p, std::string_view utf8, const std::string& table) {
  switch (f.type) {
    case 'C':
      fill(f, p, base::aCp1252(base::cortaCp1252(utf8, static_cast<size_t>(f.length))), false);
      return;
    case 'N':
    case 'F': {
      if (trimmed(utf8).empty()) return setBlank(f, p);
      auto v = parseNumber(utf8);
      if (!v)
        throw Error("\"" + std::string(utf8) + "\" no es un número válido para el campo " + f.name,
                    "write", table);
      return setNumber(f, p, *v, table);
    }
    case 'D': {
      if (trimmed(utf8).empty()) return setBlank(f, p);
      auto d = leeFecha(utf8);
      if (!d)
        throw Error("\"" + std::string(utf8) + "\" no es una fecha válida para el campo " + f.name,
                    "write", table);
      return setDate(f, p, d, table);
    }
    case '@': {
      if (trimmed(utf8).empty()) return setBlank(f, p);
      auto fh = leeFechaHora(utf8);
      if (!fh)
        throw Error("\"" + std::string(utf8) + "\" no es una fecha y hora válida para el campo " + f.name,
                    "write", table);
      return setDateTime(f, p, fh, table);
    }
    case 'L': {
      std::string_view t = trimmed(utf8);
      if (t.empty()) return setBlank(f, p);
      char c = static_cast<char>(std::toupper(static_cast<unsigned char>(t[0])));
      if (c == 'T' || c == 'Y' || c == 'S' || c == '1') return setLogical(f, p, true);
      if (c == 'F' || c == 'N' || c == '0') return setLogical(f, p, false);
      throw Error("\"" + std::string(utf8) + "\" no es un valor lógico para el campo " + f.name,
                  "write", table);
    }
    default:
      noAdmite(f, table, "escritura");
  }
}

void setNumber(const FieldDef& f, char* p, double v, const std::string& table) {
  if (f.type == 'C') return setText(f, p, numberAsText(v), table);
  if (f.type == 'L') return setLogical(f, p, v != 0);
  if (!isNumeric(f.type)) noAdmite(f, table, "números");
  if (!std::isfinite(v)) throw Error("Valor no válido para el campo " + f.name, "write", table);
  std::string s = fixedHalfUp(v, f.decimals);
  if (s.size() > static_cast<size_t>(f.length))
    throw Error("El valor " + s + " no cabe en el campo " + describe(f) + " de la tabla " + table,
                "write", table);
  fill(f, p, s, true);
}

void setDate(const FieldDef& f, char* p, const std::optional<Fecha>& v, const std::string& table) {
  if (f.type == 'C') return setText(f, p, v ? fechaCorta(*v) : std::string(), table);
  if (f.type == '@') {
    if (!v) return setBlank(f, p);
    return setDateTime(f, p, FechaHora{base::Fecha{v->anio, v->mes, v->dia}, {}}, table);
  }
  if (f.type != 'D') noAdmite(f, table, "fechas");
  if (!v) return setBlank(f, p);
  if (!fechaValida(*v))
    throw Error("Fecha no válida para el campo " + f.name + " de la tabla " + table, "write", table);
  char buf[9];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d", v->anio, v->mes, v->dia);
  fill(f, p, std::string_view(buf, 8), false);
}

void setDateTime(const FieldDef& f, char* p, const std::optional<FechaHora>& v, const std::string& table) {
  if (f.type == 'C') return setText(f, p, v ? fechaHoraCorta(*v) : std::string(), table);
  if (f.type == 'D') return setDate(f, p, v ? std::optional<Fecha>(Fecha{v->fecha.anio, v->fecha.mes, v->fecha.dia}) : std::nullopt, table);
  if (f.type != '@') noAdmite(f, table, "fechas y horas");
  if (!v) return setBlank(f, p);
  const Fecha d{v->fecha.anio, v->fecha.mes, v->fecha.dia};
  const base::Hora& h = v->hora;
  if (!fechaValida(d) || h.hora < 0 || h.hora > 23 || h.minuto < 0 || h.minuto > 59 || h.segundo < 0 ||
      h.segundo > 59 || h.milisegundo < 0 || h.milisegundo > 999)
    throw Error("Fecha y hora no válida para el campo " + f.name + " de la tabla " + table, "write", table);
  putLe32(p, julianDay(d.anio, d.mes, d.dia));
  putLe32(p + 4, static_cast<uint32_t>(((h.hora * 60 + h.minuto) * 60 + h.segundo) * 1000 + h.milisegundo));
}

void setLogical(const FieldDef& f, char* p, bool v) {
  if (f.type == '@') throw Error("El campo " + f.name + " no admite valores lógicos", "write");
  if (f.type == 'N' || f.type == 'F') {
    setBlank(f, p);
    p[f.length - 1] = v ? '1' : '0';
    return;
  }
  setBlank(f, p);
  p[0] = v ? 'T' : 'F';
}

void copy(const FieldDef& from, const char* src, const FieldDef& to, char* dst,
          const std::string& table) {
  if (from.type == to.type && from.length == to.length && from.decimals == to.decimals) {
    std::memcpy(dst, src, static_cast<size_t>(to.length));
    return;
  }
  if (isBlank(from, src)) return setBlank(to, dst);
  switch (to.type) {
    case 'C':
      return setText(to, dst, text(from, src), table);
    case 'N':
    case 'F':
      return setNumber(to, dst, number(from, src, table), table);
    case 'D':
      return setDate(to, dst, date(from, src, table), table);
    case '@':
      return setDateTime(to, dst, dateTime(from, src, table), table);
    case 'L':
      return setText(to, dst, text(from, src), table);
    default:
      return setBlank(to, dst);
  }
}

}  // namespace value
}  // namespace mostrador::dbf::file
