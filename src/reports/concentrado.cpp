#include "reports/concentrado.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <set>

#include "reports/columnas_reporte.h"
#include "base/expresion.h"
#include "base/fechas.h"
#include "base/moneda.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"

namespace mostrador::reports {

using base::CampoFijo;
using base::DisenoRegistro;

const DisenoRegistro& disenoConcentrado() {
  static const DisenoRegistro d = [] {
    std::vector<CampoFijo> c = {CampoFijo::cadena("clave", 0, 100), CampoFijo::cadena("clave2", 101, 100)};
    for (size_t k = 0; k < 8; ++k) c.push_back(CampoFijo::cadena("v" + std::to_string(k + 1), 202 + 26 * k, 25));
    return DisenoRegistro(kTamanoConcentrado, c);
  }();
  return d;
}

const DisenoRegistro& disenoEtiquetas() {
  static const DisenoRegistro d = [] {
    std::vector<CampoFijo> c;
    for (size_t k = 0; k < 10; ++k) c.push_back(CampoFijo::cadena("s" + std::to_string(k + 1), 26 * k, 25));
    return DisenoRegistro(kTamanoEtiquetas, c);
  }();
  return d;
}

const DisenoRegistro& disenoAnchos() {
  static const DisenoRegistro d = [] {
    std::vector<CampoFijo> c;
    for (size_t k = 0; k < 10; ++k) c.push_back(CampoFijo::entero16("a" + std::to_string(k + 1), 2 * k));
    return DisenoRegistro(kTamanoAnchos, c);
  }();
  return d;
}

// The record is written and read byte by byte here rather than through the field
// layout: the generator moves every source record through it, several times.
namespace {

void ponCadena(std::string& b, size_t desplazamiento, size_t capacidad, std::string_view utf8) {
  const std::string t = base::cortaCp1252(utf8, capacidad);
  const std::string cp = base::aCp1252(t);
  b[desplazamiento] = static_cast<char>(cp.size());
  std::copy(cp.begin(), cp.end(), b.begin() + static_cast<long>(desplazamiento) + 1);
}

std::string leeCadena(std::string_view b, size_t desplazamiento, size_t capacidad) {
  const size_t n = std::min<size_t>(static_cast<unsigned char>(b[desplazamiento]), capacidad);
  return base::aUtf8(b.substr(desplazamiento + 1, n));
}

}  // namespace

std::string aBytes(const RegistroConcentrado& r) {
  std::string b(kTamanoConcentrado, '\0');
  ponCadena(b, 0, 100, r.clave);
  ponCadena(b, 101, 100, r.clave2);
  for (size_t k = 0; k < 8; ++k) ponCadena(b, 202 + 26 * k, 25, r.valores[k]);
  return b;
}

RegistroConcentrado deBytes(std::string_view bytes) {
  RegistroConcentrado r;
  r.clave = leeCadena(bytes, 0, 100);
  r.clave2 = leeCadena(bytes, 101, 100);
  for (size_t k = 0; k < 8; ++k) r.valores[k] = leeCadena(bytes, 202 + 26 * k, 25);
  return r;
}

bool CondicionesConcentrado::alguna() const {
  for (const auto& c : condiciones)
    if (!c.campo.empty() && c.campo != "X") return true;
  return false;
}

namespace {

char letraDeCampo(const dbf::FieldDef& f) {
  switch (f.type) {
    case 'N': return f.decimals > 0 ? 'f' : 'e';
    case 'F': return 'f';
    case 'D': return 'd';
    default: return 'c';
  }
}

// "%" + digit + field.
bool formaPorcentaje(std::string_view c, int& n, std::string& campo) {
  if (c.size() < 3 || c[0] != '%' || !std::isdigit(static_cast<unsigned char>(c[1]))) return false;
  n = c[1] - '0';
  campo = std::string(c.substr(2));
  return true;
}

std::string primeros(std::string_view utf8, size_t n) {
  size_t i = 0, k = 0;
  while (i < utf8.size() && k < n) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    i += c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    ++k;
  }
  return std::string(utf8.substr(0, std::min(i, utf8.size())));
}

char tipoColumna(const dbf::Cursor& t, const std::string& c) {
  if (c.empty() || c == "x" || c == "X") return 'x';
  if (c[0] == '&') return 'f';
  int n;
  std::string campo = c;
  if (formaPorcentaje(c, n, campo)) {}
  const int i = t.fieldIndex(campo);
  if (i < 0) return 'x';
  return letraDeCampo(t.fieldDefs()[static_cast<size_t>(i)]);
}

std::string valorColumna(const dbf::Cursor& t, const std::string& c) {
  if (c.empty() || c == "x" || c == "X") return "0";
  if (c[0] == '&') return EvaluaColumna(t, c);
  int n;
  std::string campo;
  if (formaPorcentaje(c, n, campo)) {
    const int i = t.fieldIndex(campo);
    return i < 0 ? "0" : primeros(t.asText(i), static_cast<size_t>(n));
  }
  const int i = t.fieldIndex(c);
  return i < 0 ? "0" : t.asText(i);
}

std::string valorClave(const dbf::Cursor& t, const std::string& c) {
  std::string r;
  if (c.size() > 2 && c[0] == '@') {
    const int i = t.fieldIndex(c.substr(2));
    auto f = i < 0 ? std::nullopt : t.asDate(i);
    if (f) {
      char b[16];
      if (c[1] == 'A') std::snprintf(b, sizeof b, "%04d", f->anio);
      else if (c[1] == 'M') std::snprintf(b, sizeof b, "%04d/%02d", f->anio, f->mes);
      else std::snprintf(b, sizeof b, "%04d/%02d/%02d", f->anio, f->mes, f->dia);
      r = b;
    }
  } else if (!c.empty() && c[0] == '&') {
    r = EvaluaColumna(t, c);
  } else {
    int n;
    std::string campo;
    if (formaPorcentaje(c, n, campo)) {
      const int i = t.fieldIndex(campo);
      if (i >= 0) r = primeros(t.asText(i), static_cast<size_t>(n));
    } else {
      const int i = t.fieldIndex(c);
      if (i >= 0) r = t.asText(i);
    }
  }
  if (r.empty()) r = "N.A.";
  return r;
}

std::optional<base::Fecha> fecha(std::string_view s) { return base::leeFechaCorta(s); }

bool pasaFecha(const dbf::Cursor& t, const ParametrosConcentrado& p) {
  if ((p.fechaDesde.empty() && p.fechaHasta.empty()) || p.campoFecha == "f" || p.campoFecha.empty()) return true;
  const int i = t.fieldIndex(p.campoFecha);
  if (i < 0) return false;
  auto d = fecha(t.asText(i)), a = fecha(p.fechaDesde), b = fecha(p.fechaHasta);
  if (!d || !a || !b) return false;
  return *a <= *d && *d <= *b;
}

// -1, 0, 1 comparing the record's field with the value by the field's kind.
std::optional<int> compara(const dbf::Cursor& t, int i, const std::string& valor) {
  const char tipo = t.fieldDefs()[static_cast<size_t>(i)].type;
  auto signo = [](auto a, auto b) { return a < b ? -1 : a > b ? 1 : 0; };
  if (tipo == 'N' || tipo == 'F') return signo(t.asFloat(i), base::numeroSeguro(valor));
  if (tipo == 'D') {
    auto d = t.asDate(i);
    auto v = fecha(valor);
    if (!d || !v) return std::nullopt;
    return signo(base::Fecha{d->anio, d->mes, d->dia}, *v);
  }
  return signo(t.asText(i), valor);
}

bool cumple(const dbf::Cursor& t, const CondicionConcentrado& c) {
  const int i = t.fieldIndex(c.campo);
  if (i < 0) return false;
  const char op = codigoOperador(c.operador, '=');
  const std::string texto = t.asText(i);
  switch (op) {
    case 'W':
    case 'U': return texto.find(c.valor) != std::string::npos;
    case 'I': return texto.rfind(c.valor, 0) == 0;
    case 'T': return texto.size() >= c.valor.size() && texto.compare(texto.size() - c.valor.size(), c.valor.size(), c.valor) == 0;
    default: break;
  }
  auto r = compara(t, i, c.valor);
  if (!r) return false;
  switch (op) {
    case '=': return *r == 0;
    case '<': return *r < 0;
    case '>': return *r > 0;
    case 'X': return *r != 0;
    case 'Y': return *r <= 0;
    case 'Z': return *r >= 0;
    default: return true;
  }
}

bool pasaCondiciones(const dbf::Cursor& t, const CondicionesConcentrado& c) {
  if (!c.alguna()) return true;
  const bool cualquiera = c.conector == "O";
  bool alguna = false, todas = true;
  for (const auto& x : c.condiciones) {
    if (x.campo.empty() || x.campo == "X") continue;
    const bool ok = cumple(t, x);
    alguna = alguna || ok;
    todas = todas && ok;
  }
  return cualquiera ? alguna : todas;
}

bool pasaEstado(const dbf::Cursor& t, const ParametrosConcentrado& p) {
  if (p.campoEstado.empty() || p.operadorEstado == 'X') return true;
  const int i = t.fieldIndex(p.campoEstado);
  const std::string v = i < 0 ? std::string() : t.asText(i);
  switch (p.operadorEstado) {
    case '=': return v == p.valorEstado;
    case '!': return v != p.valorEstado;
    case '>': return v > p.valorEstado;
    case '<': return v < p.valorEstado;
    default: return true;
  }
}

std::string textoNumero(double v) { return base::Decimal::deDouble(base::redondea(v, 4)).texto(); }

RegistroConcentrado cierre() {
  RegistroConcentrado r;
  r.clave = "*";
  r.valores.fill("0");
  return r;
}

// Progress in steps of about one per cent, so that a long run does not flood the screen.
class Avance {
 public:
  Avance(base::Interaccion& ui, std::string_view titulo, long total, const std::function<bool()>& cancelado)
      : ui_(ui), cancelado_(cancelado), paso_(std::max(1L, total / 100)) {
    ui_.iniciaProgreso(titulo, static_cast<int>(std::min<long>(total / paso_, 100)));
  }
  ~Avance() { ui_.terminaProgreso(); }
  // false when the user cancelled.
  bool uno() {
    if (++cuenta_ % paso_ == 0) {
      ui_.avanzaProgreso(1);
      if (cancelado_ && cancelado_()) return false;
    }
    return true;
  }

 private:
  base::Interaccion& ui_;
  const std::function<bool()>& cancelado_;
  long paso_, cuenta_ = 0;
};

struct Salida {
  std::ofstream f;
  explicit Salida(const std::string& ruta) : f(base::resuelve(ruta), std::ios::binary | std::ios::trunc) {}
  void escribe(const RegistroConcentrado& r) {
    const std::string b = aBytes(r);
    f.write(b.data(), static_cast<std::streamsize>(b.size()));
  }
  bool cierra() {
    f.close();
    return !f.fail();
  }
};

// Reading a scratch file: records by number (pread, so that a jump costs one record and
// not a refilled buffer) or in order through a buffer of a thousand records.
class Entrada {
 public:
  explicit Entrada(const std::string& ruta) : fd_(::open(base::resuelve(ruta).c_str(), O_RDONLY | O_CLOEXEC)) {
    if (fd_ >= 0) {
      struct stat st {};
      if (::fstat(fd_, &st) == 0) registros_ = static_cast<long>(st.st_size / static_cast<off_t>(kTamanoConcentrado));
    }
  }
  ~Entrada() {
    if (fd_ >= 0) ::close(fd_);
  }
  Entrada(const Entrada&) = delete;
  Entrada& operator=(const Entrada&) = delete;
  explicit operator bool() const { return fd_ >= 0; }
  long registros() const { return registros_; }
  std::optional<std::string> lee(long i) {
    if (fd_ < 0 || i < 0 || i >= registros_) return std::nullopt;
    std::string b(kTamanoConcentrado, '\0');
    const off_t pos = static_cast<off_t>(i) * static_cast<off_t>(kTamanoConcentrado);
    if (::pread(fd_, b.data(), b.size(), pos) != static_cast<ssize_t>(b.size())) return std::nullopt;
    return b;
  }
  std::optional<std::string> siguiente() {
    if (pos_ >= buffer_.size()) {
      if (fd_ < 0 || siguiente_ >= registros_) return std::nullopt;
      const long n = std::min<long>(1000, registros_ - siguiente_);
      buffer_.assign(static_cast<size_t>(n) * kTamanoConcentrado, '\0');
      const off_t desde = static_cast<off_t>(siguiente_) * static_cast<off_t>(kTamanoConcentrado);
      if (::pread(fd_, buffer_.data(), buffer_.size(), desde) != static_cast<ssize_t>(buffer_.size())) return std::nullopt;
      siguiente_ += n;
      pos_ = 0;
    }
    std::string r = buffer_.substr(pos_, kTamanoConcentrado);
    pos_ += kTamanoConcentrado;
    return r;
  }

 private:
  int fd_;
  long registros_ = 0;
  long siguiente_ = 0;
  std::string buffer_;
  size_t pos_ = 0;
};

long long diezmilesimos(std::string_view texto) { return std::llround(base::numeroSeguro(texto) * 10000.0); }

}  // namespace

std::array<char, 8> tiposDeColumnas(const dbf::Cursor& fuente, const std::array<std::string, 8>& columnas) {
  std::array<char, 8> r{};
  for (size_t k = 0; k < 8; ++k) r[k] = tipoColumna(fuente, columnas[k]);
  return r;
}

std::string EvaluaColumna(const dbf::Cursor& t, std::string_view e) {
  std::string aritmetica, nombre;
  auto cierra = [&] {
    if (nombre.empty()) return;
    if (base::leeNumero(nombre)) {
      aritmetica += nombre;
    } else {
      const int i = t.fieldIndex(nombre);
      const double v = i < 0 ? 0.0 : t.asFloat(i);
      aritmetica += v < 0 ? "(" + textoNumero(v) + ")" : textoNumero(v);
    }
    nombre.clear();
  };
  for (char c : e) {
    if (c == '&' || c == '%' || c == ' ') {
      cierra();
    } else if (c == '*' || c == '+' || c == '-' || c == '/' || c == '(' || c == ')') {
      cierra();
      aritmetica += c;
    } else {
      nombre += c;
    }
  }
  cierra();
  char b[64];
  std::snprintf(b, sizeof b, "%.4f", base::evaluaValor(aritmetica, true));
  return b;
}

namespace {

ResultadoConcentrado genera(const std::vector<dbf::Table*>& fuentes, const ParametrosConcentrado& p,
                            std::string_view sistema, std::string_view datos, base::Interaccion& ui) {
  const std::string concen = base::une(sistema, kArchivoConcen);
  const std::string orden = base::une(sistema, kArchivoOrden);
  const std::string final_ = base::une(sistema, kArchivoFinal);
  const std::string parcial = base::une(sistema, "tempo\\final.par");
  base::creaDirectorios(base::une(sistema, "tempo"));
  base::borra(final_);
  base::borra(parcial);
  auto abandona = [&](ResultadoConcentrado r) {
    base::borra(concen);
    base::borra(orden);
    base::borra(parcial);
    base::borra(final_);
    return r;
  };

  long total = 0;
  for (auto* t : fuentes) {
    if (p.rangoInicio.empty() || p.rangoFin.empty() || p.rangoInicio > p.rangoFin) t->cancelRange();
    else t->setRange({dbf::KeyValue{p.rangoInicio}}, {dbf::KeyValue{p.rangoFin}});
    if (!t->isEmpty()) total += t->recordCount();
  }
  if (total == 0 || fuentes.empty()) {
    // Nothing to read: an empty result.
    base::borra(concen);
    base::borra(orden);
    return base::escribeBytes(final_, "") ? ResultadoConcentrado::Hecho : ResultadoConcentrado::Fallo;
  }

  // Rates of the currencies, read once.
  std::vector<base::Moneda> monedas;
  for (const auto& c : p.conversiones)
    if (c.operador) {
      monedas = base::leeMonedas(datos);
      break;
    }
  auto tasa = [&](const std::string& nombre) {
    for (const auto& m : monedas)
      if (m.nombre == nombre) return base::numeroSeguro(m.valor);
    return 0.0;
  };

  // 1. Reading.
  RegistroConcentrado tipos;
  const std::array<char, 8> letras = tiposDeColumnas(*fuentes.front(), p.columnas);
  for (size_t k = 0; k < 8; ++k) tipos.valores[k] = std::string(1, letras[k]);
  long leidos = 0;
  {
    Salida s(concen);
    if (!s.f) return abandona(ResultadoConcentrado::Fallo);
    s.escribe(tipos);
    Avance avance(ui, kLeyendoDatos, total, p.cancelado);
    // The keys of every source some later source copies, gathered while it is read.
    auto copia = [&](size_t n) { return n < p.copiaDe.size() && p.copiaDe[n] >= 0 && static_cast<size_t>(p.copiaDe[n]) < n ? p.copiaDe[n] : -1; };
    std::vector<std::set<std::string>> originales(fuentes.size());
    std::vector<bool> esOriginal(fuentes.size(), false);
    for (size_t n = 0; n < fuentes.size(); ++n)
      if (copia(n) >= 0) esOriginal[static_cast<size_t>(copia(n))] = true;
    for (size_t n = 0; n < fuentes.size(); ++n) {
      dbf::Table* t = fuentes[n];
      const auto& columnas = n < p.columnasPorFuente.size() ? p.columnasPorFuente[n] : p.columnas;
      if (t->isEmpty()) continue;
      const int campoCopia = copia(n) >= 0 || esOriginal[n] ? t->fieldIndex(p.campoCopia) : -1;
      for (t->first(); !t->eof(); t->next()) {
        if (!avance.uno()) return abandona(ResultadoConcentrado::Cancelado);
        if (campoCopia >= 0) {
          const std::string clave = t->asText(campoCopia);
          if (esOriginal[n]) originales[n].insert(clave);
          if (copia(n) >= 0 && originales[static_cast<size_t>(copia(n))].count(clave)) continue;
        }
        if (!pasaFecha(*t, p) || !pasaCondiciones(*t, p.condiciones) || !pasaEstado(*t, p)) continue;
        RegistroConcentrado r;
        r.clave = primeros(valorClave(*t, p.clave), 100);
        if (!p.segundaClave.empty()) {
          const int i = t->fieldIndex(p.segundaClave);
          if (i >= 0) r.clave2 = primeros(t->asText(i), 100);
        }
        for (size_t k = 0; k < 8; ++k) {
          std::string v = valorColumna(*t, columnas[k]);
          const auto& c = p.conversiones[k];
          if (c.operador) {
            const double x = base::numeroSeguro(v);
            const int im = t->fieldIndex(c.campoMoneda);
            const double rate = im < 0 ? 0.0 : tasa(t->asText(im));
            double y = x;
            switch (c.operador) {
              case '*': y = x * rate; break;
              case '+': y = x + rate; break;
              case '-': y = x - rate; break;
              case '/': y = rate == 0 ? 0 : x / rate; break;
              default: break;
            }
            v = textoNumero(y);
          }
          r.valores[k] = primeros(v, 25);
        }
        s.escribe(r);
        ++leidos;
      }
    }
    s.escribe(cierre());
    if (!s.cierra()) return abandona(ResultadoConcentrado::Fallo);
  }

  if (p.opcion == "D") {
    if (!base::renombra(concen, final_)) return abandona(ResultadoConcentrado::Fallo);
    return ResultadoConcentrado::Hecho;
  }

  // 2. Sorting: by key, ignoring case; records of one key keep their reading order.
  {
    Entrada e(concen);
    std::vector<std::pair<std::string, long>> claves;
    claves.reserve(static_cast<size_t>(leidos));
    Avance avance(ui, kOrdenandoDatos, leidos * 2 + 1, p.cancelado);
    e.siguiente();  // the type record
    for (long i = 1; i <= leidos; ++i) {
      auto b = e.siguiente();
      if (!b) {
        ui.mensaje("Registro fuera del archivo: " + std::to_string(i));
        break;
      }
      claves.emplace_back(base::mayusculasAscii(base::aCp1252(leeCadena(*b, 0, 100))), i);
      if (!avance.uno()) return abandona(ResultadoConcentrado::Cancelado);
    }
    std::stable_sort(claves.begin(), claves.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    Salida s(orden);
    if (!s.f) return abandona(ResultadoConcentrado::Fallo);
    s.escribe(tipos);
    for (const auto& [clave, i] : claves) {
      auto b = e.lee(i);
      if (!b) continue;
      s.f.write(b->data(), static_cast<std::streamsize>(b->size()));
      if (!avance.uno()) return abandona(ResultadoConcentrado::Cancelado);
    }
    for (int k = 0; k < 3; ++k) s.escribe(cierre());
    if (!s.cierra()) return abandona(ResultadoConcentrado::Fallo);
  }
  if (p.opcion == "DC") {
    if (!base::renombra(orden, final_)) return abandona(ResultadoConcentrado::Fallo);
    return ResultadoConcentrado::Hecho;
  }

  // 3. Concentrating.
  {
    Entrada e(orden);
    Salida s(parcial);
    if (!s.f) return abandona(ResultadoConcentrado::Fallo);
    auto primero = e.siguiente();
    if (!primero) return abandona(ResultadoConcentrado::Fallo);
    const RegistroConcentrado tiposLeidos = deBytes(*primero);
    s.escribe(tiposLeidos);
    std::array<bool, 8> suma{};
    for (size_t k = 0; k < 8; ++k) suma[k] = tiposLeidos.valores[k] == "f" || tiposLeidos.valores[k] == "$";
    Avance avance(ui, kConcentrandoDatos, leidos, p.cancelado);
    std::optional<RegistroConcentrado> grupo;
    std::string claveGrupo;
    std::array<long long, 8> sumas{};
    auto termina = [&] {
      if (!grupo) return;
      for (size_t k = 0; k < 8; ++k)
        if (suma[k]) grupo->valores[k] = primeros(base::Decimal::deDiezmilesimos(sumas[k]).texto(), 25);
      s.escribe(*grupo);
      grupo.reset();
    };
    while (auto b = e.siguiente()) {
      RegistroConcentrado r = deBytes(*b);
      if (r.clave == "*") break;
      if (!avance.uno()) return abandona(ResultadoConcentrado::Cancelado);
      const std::string clave = base::mayusculasAscii(base::aCp1252(r.clave));
      if (!grupo || clave != claveGrupo) {
        termina();
        grupo = r;
        claveGrupo = clave;
        sumas.fill(0);
      }
      for (size_t k = 0; k < 8; ++k)
        if (suma[k]) sumas[k] += diezmilesimos(r.valores[k]);
    }
    termina();
    s.escribe(cierre());
    if (!s.cierra()) return abandona(ResultadoConcentrado::Fallo);
  }
  if (!base::renombra(parcial, final_)) return abandona(ResultadoConcentrado::Fallo);
  return ResultadoConcentrado::Hecho;
}

}  // namespace

ResultadoConcentrado GeneraConcentrado(const std::vector<dbf::Table*>& fuentes, const ParametrosConcentrado& p,
                                       std::string_view sistema, std::string_view datos, base::Interaccion& ui) {
  try {
    return genera(fuentes, p, sistema, datos, ui);
  } catch (const dbf::Error& e) {
    // A table that cannot be read (a range on a table without index, a damaged record):
    // the message, and no result at all.
    ui.mensaje(e.what());
    for (auto a : {kArchivoConcen, kArchivoOrden, kArchivoFinal}) base::borra(base::une(sistema, a));
    base::borra(base::une(sistema, "tempo\\final.par"));
    return ResultadoConcentrado::Fallo;
  }
}

bool TitulosConcentrado(std::string_view sistema, const std::array<std::string, 10>& titulos, std::string_view opcion,
                        const std::array<char, 8>& tipos, const CondicionesConcentrado& cond) {
  base::creaDirectorios(base::une(sistema, "tempo"));
  base::ArchivoFijo a(base::une(sistema, kArchivoEtiquetas), disenoEtiquetas());
  std::vector<base::RegistroFijo> rs(3, base::RegistroFijo(disenoEtiquetas()));
  for (size_t k = 0; k < 10; ++k) rs[0].ponTexto("s" + std::to_string(k + 1), titulos[k]);
  rs[1].ponTexto("s1", opcion);
  for (size_t k = 0; k < 8; ++k) rs[1].ponTexto("s" + std::to_string(k + 3), std::string(1, tipos[k]));
  const auto& c = cond.condiciones;
  rs[2].ponTexto("s1", c[0].campo);
  rs[2].ponTexto("s3", c[1].campo);
  rs[2].ponTexto("s4", c[2].campo);
  for (size_t k = 0; k < 3; ++k) {
    rs[2].ponTexto("s" + std::to_string(k + 5), std::string(1, codigoOperador(c[k].operador, '=')));
    rs[2].ponTexto("s" + std::to_string(k + 8), c[k].valor);
  }
  return a.reescribe(rs);
}

bool AnchosConcentrado(std::string_view sistema, const std::array<int, 10>& anchos) {
  base::creaDirectorios(base::une(sistema, "tempo"));
  base::ArchivoFijo a(base::une(sistema, kArchivoAnchos), disenoAnchos());
  base::RegistroFijo r(disenoAnchos());
  for (size_t k = 0; k < 10; ++k) r.ponEntero("a" + std::to_string(k + 1), anchos[k]);
  return a.reescribe({r});
}

ResultadoConcentrado ejecutaConcentrado(const DefinicionConcentrado& c, std::string_view sistema, std::string_view datos,
                                        base::Interaccion& ui) {
  std::vector<std::unique_ptr<dbf::Table>> tablas;
  std::vector<dbf::Table*> fuentes;
  ParametrosConcentrado p = c.parametros;
  std::vector<std::array<std::string, 8>> columnas;
  std::vector<int> abierta(c.tablas.size(), -1);  // a table's place among the sources
  for (size_t i = 0; i < c.tablas.size(); ++i) {
    if (!base::existe(base::une(datos, c.tablas[i]))) continue;
    abierta[i] = static_cast<int>(fuentes.size());
    auto t = std::make_unique<dbf::Table>();
    try {
      t->open(datos, c.tablas[i]);
    } catch (const dbf::Error& e) {
      ui.mensaje(e.what());
      return ResultadoConcentrado::Fallo;
    }
    fuentes.push_back(t.get());
    tablas.push_back(std::move(t));
    columnas.push_back(i < p.columnasPorFuente.size() ? p.columnasPorFuente[i] : p.columnas);
  }
  p.columnasPorFuente = columnas;
  // A copy whose original is missing is read whole.
  p.copiaDe.assign(fuentes.size(), -1);
  for (size_t i = 0; i < c.tablas.size(); ++i) {
    if (abierta[i] < 0 || i >= c.parametros.copiaDe.size()) continue;
    const int o = c.parametros.copiaDe[i];
    if (o >= 0 && static_cast<size_t>(o) < abierta.size()) p.copiaDe[static_cast<size_t>(abierta[i])] = abierta[static_cast<size_t>(o)];
  }
  const auto r = GeneraConcentrado(fuentes, p, sistema, datos, ui);
  if (r != ResultadoConcentrado::Hecho) return r;
  std::array<char, 8> tipos{'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
  if (!fuentes.empty()) tipos = tiposDeColumnas(*fuentes.front(), p.columnas);
  TitulosConcentrado(sistema, c.titulos, p.opcion, tipos, p.condiciones);
  AnchosConcentrado(sistema, c.anchos);
  return r;
}

}  // namespace mostrador::reports
