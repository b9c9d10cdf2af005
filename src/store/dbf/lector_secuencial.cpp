#include "store/dbf/lector_secuencial.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "base/rutas.h"
#include "store/dbf/locks.h"

namespace mostrador::dbf {
namespace {

// The longest header the format allows, as the table handle reads it.
constexpr size_t kMaxHeader = 65536 + 68;

// A file name without extension is a .dbf, as for the table handle.
std::string conExtension(std::string_view file) {
  std::string f(file);
  size_t barra = f.find_last_of("\\/");
  size_t punto = f.find('.', barra == std::string::npos ? 0 : barra + 1);
  if (punto == std::string::npos) f += ".dbf";
  return f;
}

}  // namespace

struct LectorSecuencial::Impl {
  struct Bloque {
    std::string datos;
    uint32_t completos = 0;  // whole records read
    bool cargado = false;
  };

  int fd = -1;
  std::string ruta, nombre;
  file::Header h;
  uint32_t cuenta = 0;
  size_t largo = 1;         // record length
  uint32_t porBloque = 1;   // records per block
  bool retener = false;
  std::vector<Bloque> bloques;  // every block of the snapshot, when kept
  Bloque flujo;                 // the one block in memory otherwise
  uint32_t numFlujo = UINT32_MAX;
  std::string suelto;           // a record lee() read on its own

  uint32_t actual = 0;
  const char* rec = nullptr;
  bool terminado = false;

  ~Impl() {
    if (fd >= 0) ::close(fd);  // drops the "open" lock with the descriptor
  }

  uint32_t primeroDe(uint32_t b) const { return b * porBloque + 1; }

  void carga(Bloque& bl, uint32_t b) {
    const uint32_t primero = primeroDe(b);
    const uint32_t n = std::min(porBloque, cuenta - primero + 1);
    bl.datos.resize(static_cast<size_t>(n) * largo);
    const size_t leidos = file::readAt(fd, bl.datos.data(), bl.datos.size(), h.recordOffset(primero), ruta);
    bl.completos = static_cast<uint32_t>(leidos / largo);
    bl.cargado = true;
  }

  const Bloque& bloque(uint32_t b) {
    if (retener) {
      Bloque& bl = bloques[b];
      if (!bl.cargado) carga(bl, b);
      return bl;
    }
    if (numFlujo != b) {
      numFlujo = UINT32_MAX;  // a failed read leaves no stale block behind
      carga(flujo, b);
      numFlujo = b;
    }
    return flujo;
  }

  // Records the file holds after the header (a partial trailing record does not count).
  uint32_t enDisco() const {
    const uint64_t tamano = file::sizeOf(fd, ruta);
    const uint64_t hl = static_cast<uint64_t>(h.headerLength);
    const uint64_t n = tamano > hl ? (tamano - hl) / largo : 0;
    return static_cast<uint32_t>(std::min<uint64_t>(n, UINT32_MAX));
  }

  // The count the table handle would settle on at open, without writing it.
  void reconcilia(uint64_t tamano) {
    const uint64_t hl = static_cast<uint64_t>(h.headerLength);
    const uint32_t porTamano =
        static_cast<uint32_t>(std::min<uint64_t>(tamano > hl ? (tamano - hl) / largo : 0, UINT32_MAX));
    cuenta = h.recordCount;
    if (cuenta == porTamano) return;
    // An append writes the record before the count: wait for one in progress to finish.
    // What remains is a station that died mid-append, which the engine settles in favour
    // of the file size.
    if (locks::lockWithRetry(fd, locks::kHeaderByte, locks::Kind::Shared, ruta.c_str(), 500)) {
      try {
        cuenta = enDisco();
      } catch (...) {
        locks::unlock(fd, locks::kHeaderByte);
        throw;
      }
      locks::unlock(fd, locks::kHeaderByte);
    } else {
      cuenta = std::min(cuenta, porTamano);
    }
  }

  const char* campo(int i) const {
    if (!rec) throw Error("La lectura de la tabla " + nombre + " no está en un registro", "read", ruta);
    if (i < 0 || static_cast<size_t>(i) >= h.fields.size())
      throw Error("La tabla " + nombre + " no tiene el campo número " + std::to_string(i), "field");
    return rec + h.offsets[static_cast<size_t>(i)];
  }
  const FieldDef& def(int i) const { return h.fields[static_cast<size_t>(i)]; }
};

LectorSecuencial::LectorSecuencial(std::string_view dir, std::string_view file)
    : d_(std::make_unique<Impl>()) {
  Impl& d = *d_;
  const std::string f = conExtension(file);
  const std::filesystem::path ruta = dir.empty() ? base::resuelve(f) : base::resuelve(base::une(dir, f));
  d.ruta = ruta.string();
  d.nombre = ruta.filename().string();
  do {
    d.fd = ::open(d.ruta.c_str(), O_RDONLY | O_CLOEXEC);
  } while (d.fd < 0 && errno == EINTR);
  if (d.fd < 0) {
    const int e = errno;
    if (e == ENOENT) throw Error("No existe la tabla " + d.nombre, "open", d.ruta, e);
    file::osError("No se pudo abrir la tabla " + d.nombre, "open", d.ruta, e);
  }
  if (!locks::tryLock(d.fd, locks::kOpenByte, locks::Kind::Shared, d.ruta.c_str()))
    throw LockError("La tabla " + d.nombre + " está abierta en exclusiva por otra estación", "open",
                    d.ruta);
  const uint64_t tamano = file::sizeOf(d.fd, d.ruta);
  std::string head(static_cast<size_t>(std::min<uint64_t>(tamano, kMaxHeader)), '\0');
  head.resize(file::readAt(d.fd, head.data(), head.size(), 0, d.ruta));
  d.h = file::parseHeader(head, tamano, d.nombre);
  d.largo = static_cast<size_t>(d.h.recordLength);
  d.porBloque = static_cast<uint32_t>(std::max<size_t>(1, kBloque / d.largo));
  d.reconcilia(tamano);
  const uint64_t bytes = static_cast<uint64_t>(d.cuenta) * d.largo;
  d.retener = bytes <= kRetenido;
  if (d.retener) d.bloques.resize((d.cuenta + d.porBloque - 1) / d.porBloque);
}

LectorSecuencial::~LectorSecuencial() = default;

const std::string& LectorSecuencial::ruta() const { return d_->ruta; }
const std::string& LectorSecuencial::nombre() const { return d_->nombre; }
const file::Header& LectorSecuencial::encabezado() const { return d_->h; }
const std::vector<FieldDef>& LectorSecuencial::campos() const { return d_->h.fields; }
uint32_t LectorSecuencial::registros() const { return d_->cuenta; }

void LectorSecuencial::reinicia() {
  d_->actual = 0;
  d_->rec = nullptr;
  d_->terminado = false;
}

bool LectorSecuencial::siguiente() {
  Impl& d = *d_;
  if (d.terminado) return false;
  uint32_t r = d.actual + 1;
  while (r <= d.cuenta) {
    const uint32_t b = (r - 1) / d.porBloque;
    const Impl::Bloque& bl = d.bloque(b);
    const uint32_t primero = d.primeroDe(b);
    for (uint32_t k = r - primero; k < bl.completos; ++k) {
      const char* p = bl.datos.data() + static_cast<size_t>(k) * d.largo;
      if (*p != file::kDeleted) {
        d.actual = primero + k;
        d.rec = p;
        return true;
      }
    }
    // A block cut short: the file ends before the snapshot's count.
    if (static_cast<size_t>(bl.completos) * d.largo < bl.datos.size()) break;
    r = primero + bl.completos;
  }
  d.terminado = true;
  d.actual = 0;
  d.rec = nullptr;
  return false;
}

uint32_t LectorSecuencial::recno() const { return d_->actual; }
const char* LectorSecuencial::registro() const { return d_->rec; }

const char* LectorSecuencial::lee(uint32_t r) {
  Impl& d = *d_;
  if (r == 0 || r > d.cuenta) return nullptr;
  const uint32_t b = (r - 1) / d.porBloque;
  const uint32_t k = r - d.primeroDe(b);
  if (d.retener || d.numFlujo == b) {
    const Impl::Bloque& bl = d.bloque(b);
    return k < bl.completos ? bl.datos.data() + static_cast<size_t>(k) * d.largo : nullptr;
  }
  // A large table read out of order: one record, leaving the scan's block in place.
  d.suelto.resize(d.largo);
  if (file::readAt(d.fd, d.suelto.data(), d.largo, d.h.recordOffset(r), d.ruta) != d.largo) return nullptr;
  return d.suelto.data();
}

const char* LectorSecuencial::campo(int i) const { return d_->campo(i); }
bool LectorSecuencial::esBlanco(int i) const {
  const char* p = d_->campo(i);
  return file::value::isBlank(d_->def(i), p);
}
std::string LectorSecuencial::texto(int i) const {
  const char* p = d_->campo(i);
  return file::value::text(d_->def(i), p);
}
double LectorSecuencial::numero(int i) const {
  const char* p = d_->campo(i);
  return file::value::number(d_->def(i), p, d_->nombre);
}
std::optional<Fecha> LectorSecuencial::fecha(int i) const {
  const char* p = d_->campo(i);
  return file::value::date(d_->def(i), p, d_->nombre);
}
bool LectorSecuencial::logico(int i) const {
  const char* p = d_->campo(i);
  return file::value::logical(d_->def(i), p);
}

}  // namespace mostrador::dbf
