#include "base/registros_fijos.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <cerrno>

#include "base/rutas.h"
#include "base/texto.h"

namespace mostrador::base {

size_t CampoFijo::tamano() const {
  switch (tipo) {
    case TipoCampoFijo::Cadena: return capacidad + 1;
    case TipoCampoFijo::Entero32: return 4;
    case TipoCampoFijo::Entero16: return 2;
    case TipoCampoFijo::Bytes: return capacidad;
  }
  return 0;
}

CampoFijo CampoFijo::cadena(std::string nombre, size_t desplazamiento, size_t capacidad) {
  assert(capacidad <= 255);  // one length byte
  return {std::move(nombre), TipoCampoFijo::Cadena, desplazamiento, capacidad};
}
CampoFijo CampoFijo::entero32(std::string nombre, size_t desplazamiento) {
  return {std::move(nombre), TipoCampoFijo::Entero32, desplazamiento, 4};
}
CampoFijo CampoFijo::entero16(std::string nombre, size_t desplazamiento) {
  return {std::move(nombre), TipoCampoFijo::Entero16, desplazamiento, 2};
}
CampoFijo CampoFijo::bytes(std::string nombre, size_t desplazamiento, size_t tamano) {
  return {std::move(nombre), TipoCampoFijo::Bytes, desplazamiento, tamano};
}

DisenoRegistro::DisenoRegistro(size_t tamano, std::vector<CampoFijo> campos)
    : tamano_(tamano), campos_(std::move(campos)) {
  assert(tamano_ > 0);
#ifndef NDEBUG
  for (size_t i = 0; i < campos_.size(); ++i) {
    const CampoFijo& a = campos_[i];
    assert(a.desplazamiento + a.tamano() <= tamano_);
    for (size_t j = i + 1; j < campos_.size(); ++j) {
      const CampoFijo& b = campos_[j];
      assert(a.nombre != b.nombre);
      assert(a.desplazamiento + a.tamano() <= b.desplazamiento ||
             b.desplazamiento + b.tamano() <= a.desplazamiento);
    }
  }
#endif
}

const CampoFijo& DisenoRegistro::campo(std::string_view nombre) const {
  for (const CampoFijo& c : campos_)
    if (c.nombre == nombre) return c;
  assert(!"campo inexistente en el diseño del registro");
  return campos_.front();
}

bool DisenoRegistro::tieneCampo(std::string_view nombre) const {
  return std::any_of(campos_.begin(), campos_.end(),
                     [&](const CampoFijo& c) { return c.nombre == nombre; });
}

RegistroFijo::RegistroFijo(const DisenoRegistro& diseno)
    : diseno_(&diseno), bytes_(diseno.tamano(), '\0') {}

RegistroFijo::RegistroFijo(const DisenoRegistro& diseno, std::string bytes)
    : diseno_(&diseno), bytes_(std::move(bytes)) {
  assert(bytes_.size() == diseno.tamano());
}

std::string RegistroFijo::texto(std::string_view nombre) const {
  const CampoFijo& c = diseno_->campo(nombre);
  assert(c.tipo == TipoCampoFijo::Cadena);
  size_t largo = static_cast<unsigned char>(bytes_[c.desplazamiento]);
  largo = std::min(largo, c.capacidad);
  return aUtf8(std::string_view(bytes_).substr(c.desplazamiento + 1, largo));
}

void RegistroFijo::ponTexto(std::string_view nombre, std::string_view utf8) {
  const CampoFijo& c = diseno_->campo(nombre);
  assert(c.tipo == TipoCampoFijo::Cadena);
  const std::string cp = aCp1252(cortaCp1252(utf8, c.capacidad));
  bytes_[c.desplazamiento] = static_cast<char>(cp.size());
  std::fill_n(bytes_.begin() + static_cast<long>(c.desplazamiento) + 1, c.capacidad, '\0');
  std::copy(cp.begin(), cp.end(), bytes_.begin() + static_cast<long>(c.desplazamiento) + 1);
}

int32_t RegistroFijo::entero(std::string_view nombre) const {
  const CampoFijo& c = diseno_->campo(nombre);
  auto b = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(bytes_[c.desplazamiento + i])); };
  if (c.tipo == TipoCampoFijo::Entero16)
    return static_cast<int16_t>(static_cast<uint16_t>(b(0) | b(1) << 8));
  assert(c.tipo == TipoCampoFijo::Entero32);
  return static_cast<int32_t>(b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24);
}

void RegistroFijo::ponEntero(std::string_view nombre, int32_t valor) {
  const CampoFijo& c = diseno_->campo(nombre);
  assert(c.tipo == TipoCampoFijo::Entero32 || c.tipo == TipoCampoFijo::Entero16);
  const auto u = static_cast<uint32_t>(valor);
  for (size_t i = 0; i < c.tamano(); ++i)
    bytes_[c.desplazamiento + i] = static_cast<char>((u >> (8 * i)) & 0xFF);
}

std::string RegistroFijo::crudo(std::string_view nombre) const {
  const CampoFijo& c = diseno_->campo(nombre);
  return bytes_.substr(c.desplazamiento, c.tamano());
}

void RegistroFijo::ponCrudo(std::string_view nombre, std::string_view bytes) {
  const CampoFijo& c = diseno_->campo(nombre);
  const size_t n = std::min(bytes.size(), c.tamano());
  std::fill_n(bytes_.begin() + static_cast<long>(c.desplazamiento), c.tamano(), '\0');
  std::copy_n(bytes.begin(), n, bytes_.begin() + static_cast<long>(c.desplazamiento));
}

namespace {

// A file descriptor closed on scope exit.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  bool valido() const { return fd_ >= 0; }

 private:
  int fd_;
};

long long tamanoArchivo(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return -1;
  return st.st_size;
}

bool escribeTodo(int fd, const char* datos, size_t n, off_t desde) {
  while (n > 0) {
    const ssize_t hecho = ::pwrite(fd, datos, n, desde);
    if (hecho < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    datos += hecho;
    n -= static_cast<size_t>(hecho);
    desde += hecho;
  }
  return true;
}

bool leeTodo(int fd, char* datos, size_t n, off_t desde) {
  while (n > 0) {
    const ssize_t hecho = ::pread(fd, datos, n, desde);
    if (hecho < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (hecho == 0) return false;
    datos += hecho;
    n -= static_cast<size_t>(hecho);
    desde += hecho;
  }
  return true;
}

}  // namespace

ArchivoFijo::ArchivoFijo(std::string ruta, const DisenoRegistro& diseno)
    : ruta_(std::move(ruta)), diseno_(&diseno) {}

bool ArchivoFijo::existe() const { return base::existe(ruta_) && !esDirectorio(ruta_); }

long ArchivoFijo::cuenta() const {
  Descriptor fd(::open(resuelve(ruta_).c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valido()) return 0;
  const long long n = tamanoArchivo(fd.get());
  return n < 0 ? 0 : static_cast<long>(n / static_cast<long long>(diseno_->tamano()));
}

std::optional<RegistroFijo> ArchivoFijo::lee(long posicion) const {
  if (posicion < 0) return std::nullopt;
  Descriptor fd(::open(resuelve(ruta_).c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valido()) return std::nullopt;
  std::string bytes(diseno_->tamano(), '\0');
  const auto desde = static_cast<off_t>(posicion) * static_cast<off_t>(diseno_->tamano());
  if (!leeTodo(fd.get(), bytes.data(), bytes.size(), desde)) return std::nullopt;
  return RegistroFijo(*diseno_, std::move(bytes));
}

std::vector<RegistroFijo> ArchivoFijo::leeTodos() const {
  std::vector<RegistroFijo> todos;
  const auto bytes = leeBytes(ruta_);
  if (!bytes) return todos;
  const size_t t = diseno_->tamano();
  for (size_t desde = 0; desde + t <= bytes->size(); desde += t)
    todos.emplace_back(*diseno_, bytes->substr(desde, t));
  return todos;
}

bool ArchivoFijo::escribe(long posicion, const RegistroFijo& registro) const {
  assert(registro.bytes().size() == diseno_->tamano());
  if (posicion < 0) return false;
  Descriptor fd(::open(resuelve(ruta_).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
  if (!fd.valido()) return false;
  const long long largo = tamanoArchivo(fd.get());
  if (largo < 0) return false;
  const auto t = static_cast<long long>(diseno_->tamano());
  const long long completos = largo / t;
  if (posicion > completos) {
    // Zeroed records up to the position, so that every earlier position reads back.
    const std::string ceros(static_cast<size_t>((posicion - completos) * t), '\0');
    if (!escribeTodo(fd.get(), ceros.data(), ceros.size(), static_cast<off_t>(completos * t)))
      return false;
  }
  return escribeTodo(fd.get(), registro.bytes().data(), registro.bytes().size(),
                     static_cast<off_t>(posicion * t));
}

bool ArchivoFijo::agrega(const RegistroFijo& registro) const { return escribe(cuenta(), registro); }

bool ArchivoFijo::reescribe(const std::vector<RegistroFijo>& registros) const {
  std::string todo;
  todo.reserve(registros.size() * diseno_->tamano());
  for (const RegistroFijo& r : registros) {
    assert(r.bytes().size() == diseno_->tamano());
    todo += r.bytes();
  }
  return escribeBytes(ruta_, todo);
}

}  // namespace mostrador::base
