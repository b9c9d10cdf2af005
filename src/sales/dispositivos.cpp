#include "sales/dispositivos.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"

namespace mostrador::sales {
namespace {

std::string lineaDe(const std::optional<std::vector<std::string>>& lineas, size_t n) {
  if (!lineas || lineas->size() < n) return {};
  return base::recortaBlancos((*lineas)[n - 1]);
}

bool esDigito(char c) { return c >= '0' && c <= '9'; }

bool todoDigitos(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), esDigito);
}

// "COM3" and "COM3:" name the third port; "\\.\COM12" is how Windows spells ports
// above 9.
std::optional<int> numeroCom(std::string_view p) {
  if (p.starts_with("\\\\.\\")) p.remove_prefix(4);
  if (p.size() < 4 || base::mayusculasAscii(p.substr(0, 3)) != "COM") return std::nullopt;
  p.remove_prefix(3);
  if (p.ends_with(':')) p.remove_suffix(1);
  if (!todoDigitos(p) || p.size() > 3) return std::nullopt;
  const int n = std::stoi(std::string(p));
  if (n < 1) return std::nullopt;
  return n;
}

bool empiezaSinCaso(std::string_view texto, std::string_view prefijo) {
  return texto.size() >= prefijo.size() && base::igualesSinCasoAscii(texto.substr(0, prefijo.size()), prefijo);
}

}  // namespace

// ---------------------------------------------------------------------------------------

std::string dispositivoPuerto(std::string_view puerto) {
  const std::string p = base::recortaBlancos(puerto);
  if (p.empty()) return {};
  if (p.front() == '/') return p;
  if (auto n = numeroCom(p)) return "/dev/ttyS" + std::to_string(*n - 1);
  return "/dev/" + p;
}

int velocidadPuerto(std::string_view texto) {
  static constexpr std::array<int, 8> kUsuales = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
  const std::string t = base::recortaBlancos(texto);
  if (!todoDigitos(t) || t.size() > 6) return 9600;
  const int v = std::stoi(t);
  return std::find(kUsuales.begin(), kUsuales.end(), v) != kUsuales.end() ? v : 9600;
}

std::string mensajePuerto(std::string_view quien, const AjustePuerto& ajuste, const FalloPuerto& fallo) {
  const std::string dispositivo = dispositivoPuerto(ajuste.puerto);
  std::string nombre = ajuste.puerto.empty() ? std::string("(sin nombre)") : ajuste.puerto;
  if (!dispositivo.empty() && dispositivo != ajuste.puerto) nombre += " (" + dispositivo + ")";
  const std::string conectar = "No se pudo conectar " + std::string(quien) + ": ";
  switch (fallo.tipo) {
    case FalloPuerto::Ninguno:
      return {};
    case FalloPuerto::NoExiste:
      return conectar + "no existe el puerto serie " + nombre + ".";
    case FalloPuerto::Ocupado:
      return conectar + "el puerto serie " + nombre + " está ocupado por otro programa.";
    case FalloPuerto::SinPermiso:
      return conectar + "no tiene permiso para usar el puerto serie " + nombre + ".";
    case FalloPuerto::Perdido:
      return "Se perdió la conexión con " + std::string(quien) + " en el puerto serie " + nombre + ".";
    case FalloPuerto::Otro:
      break;
  }
  return conectar + "el puerto serie " + nombre + " no abrió (" + fallo.detalle + ").";
}

// ---------------------------------------------------------------------------------------

std::vector<std::string> MarcoCodigos::agrega(std::string_view bytes) {
  std::vector<std::string> codigos;
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\r' || c == '\n') {
      const bool segundaMitad = c == '\n' && trasCR_;
      trasCR_ = c == '\r';
      if (segundaMitad) continue;
      std::string codigo = base::recorta(pendiente_);
      if (!codigo.empty() && !descartando_) codigos.push_back(std::move(codigo));
      pendiente_.clear();
      descartando_ = false;
      continue;
    }
    trasCR_ = false;
    // Readers frame codes with STX/ETX or send NUL padding; a wrong speed shows as
    // bytes above 0x7E. None of it is part of a code.
    if (c < 0x20 || c > 0x7E || descartando_) continue;
    if (pendiente_.size() >= kLargoMaximoCodigo) {
      pendiente_.clear();
      descartando_ = true;
      continue;
    }
    pendiente_.push_back(ch);
  }
  return codigos;
}

void MarcoCodigos::reinicia() {
  pendiente_.clear();
  trasCR_ = false;
  descartando_ = false;
}

std::vector<double> MarcoBascula::agrega(std::string_view bytes) {
  std::vector<double> pesos;
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\r' || c == '\n') {
      const std::string marco = base::recorta(pendiente_);
      const bool habia = descartando_ || !marco.empty();
      pendiente_.clear();
      if (!habia) continue;
      if (descartando_) {
        descartando_ = false;
        ++rechazados_;
        continue;
      }
      // The scale's own word that the weight is not to be taken yet.
      if (empiezaSinCaso(marco, "US") || empiezaSinCaso(marco, "OL")) continue;
      if (auto v = valorNumero(marco)) {
        pesos.push_back(*v);
      } else {
        ++rechazados_;
      }
      continue;
    }
    if (c < 0x20 || c > 0x7E || descartando_) continue;
    if (pendiente_.size() >= kLargoMaximoMarco) {
      pendiente_.clear();
      descartando_ = true;
      continue;
    }
    pendiente_.push_back(ch);
  }
  return pesos;
}

std::string soloNumero(std::string_view texto) {
  std::string s;
  for (char c : texto)
    if (esDigito(c) || c == '.' || c == '-') s.push_back(c);
  return s;
}

std::optional<double> valorNumero(std::string_view texto) {
  const std::string s = soloNumero(texto);
  if (s.empty()) return std::nullopt;
  return base::leeNumero(s);
}

// ---------------------------------------------------------------------------------------

AjusteLectorSerial leeSerialCnf(std::string_view dirSistema) {
  const auto lineas = base::leeLineas(base::une(dirSistema, "Serial.cnf"));
  AjusteLectorSerial a;
  a.activo = lineaDe(lineas, 1) == "S";
  if (std::string p = lineaDe(lineas, 2); !p.empty()) a.puerto.puerto = p;
  a.puerto.velocidad = velocidadPuerto(lineaDe(lineas, 3));
  return a;
}

LectorSerial::LectorSerial(PuertoSerie& puerto, base::Interaccion& ui, AlCodigo alCodigo)
    : puerto_(puerto), ui_(ui), alCodigo_(std::move(alCodigo)) {}

LectorSerial::~LectorSerial() { cierra(); }

bool LectorSerial::abre(std::string_view dirSistema) {
  const AjusteLectorSerial a = leeSerialCnf(dirSistema);
  if (!a.activo) return false;
  return abre(a.puerto);
}

bool LectorSerial::abre(const AjustePuerto& ajuste) {
  cierra();
  ajuste_ = ajuste;
  marco_.reinicia();
  const FalloPuerto f = puerto_.abre(
      dispositivoPuerto(ajuste.puerto), ajuste.velocidad,
      [this](std::string_view bytes) {
        for (const std::string& codigo : marco_.agrega(bytes))
          if (alCodigo_) alCodigo_(codigo);
      },
      [this](const FalloPuerto& fallo) {
        puerto_.cierra();
        ui_.mensaje(mensajePuerto(kQuienLector, ajuste_, fallo));
      });
  if (f) {
    ui_.mensaje(mensajePuerto(kQuienLector, ajuste, f));
    return false;
  }
  return true;
}

void LectorSerial::cierra() {
  if (puerto_.abierto()) puerto_.cierra();
}

// ---------------------------------------------------------------------------------------

std::optional<std::string> lecturaBascula(std::string_view portapapeles) {
  std::string t = soloNumero(portapapeles);
  if (t.empty()) return std::nullopt;
  const std::optional<double> v = base::leeNumero(t);
  if (!v || !(*v > kPesoMinimo)) return std::nullopt;
  return t;
}

std::optional<std::string> SondeoBascula::sondea() const {
  if (!encendida_ || cerrando_) return std::nullopt;
  return lecturaBascula(portapapeles_.texto());
}

base::ResultadoPrograma SondeoBascula::iniciaPrograma(const base::TablaProgramas& programas,
                                                      base::Procesos& procesos, std::string_view dirSistema) {
  return programas.inicia(procesos, base::une(dirSistema, kProgramaBascula), "", dirSistema, false);
}

// ---------------------------------------------------------------------------------------

std::vector<int> leePrefijos(std::string_view linea) {
  std::vector<int> prefijos;
  auto agrega = [&](int a, int b) {
    if (a > b) std::swap(a, b);
    for (int p = std::max(a, 20); p <= std::min(b, 29); ++p) prefijos.push_back(p);
  };
  size_t i = 0;
  while (i <= linea.size()) {
    size_t fin = linea.find(',', i);
    if (fin == std::string_view::npos) fin = linea.size();
    const std::string parte = base::recortaBlancos(linea.substr(i, fin - i));
    const size_t guion = parte.find('-');
    const std::string a = base::recortaBlancos(parte.substr(0, guion));
    const std::string b = guion == std::string::npos ? a : base::recortaBlancos(parte.substr(guion + 1));
    if (todoDigitos(a) && todoDigitos(b) && a.size() <= 2 && b.size() <= 2) agrega(std::stoi(a), std::stoi(b));
    i = fin + 1;
  }
  std::sort(prefijos.begin(), prefijos.end());
  prefijos.erase(std::unique(prefijos.begin(), prefijos.end()), prefijos.end());
  return prefijos;
}

AjusteBascula leeBasculaCnf(std::string_view dirSistema) {
  const auto lineas = base::leeLineas(base::une(dirSistema, "Bascula.cnf"));
  AjusteBascula a;
  if (std::string p = lineaDe(lineas, 1); !p.empty()) a.puerto.puerto = p;
  a.puerto.velocidad = velocidadPuerto(lineaDe(lineas, 2));
  a.etiquetas = lineaDe(lineas, 3) == "S";
  const std::string peso = lineaDe(lineas, 4), precio = lineaDe(lineas, 5);
  a.prefijosPeso = leePrefijos(peso);
  a.prefijosPrecio = leePrefijos(precio);
  if (peso.empty() && precio.empty()) a.prefijosPeso = leePrefijos("20-29");
  return a;
}

int digitoControlEan13(std::string_view doce) {
  if (doce.size() != 12 || !todoDigitos(doce)) return -1;
  int suma = 0;
  for (size_t i = 0; i < 12; ++i) suma += (doce[i] - '0') * (i % 2 == 0 ? 1 : 3);
  return (10 - suma % 10) % 10;
}

double EtiquetaBascula::cantidadCon(double precioUnitario) const {
  if (esPeso) return cantidad;
  if (!(precioUnitario > 0)) return 0;
  // Divided as an amount first, so that 39.90 / 120 is 0.3325 and rounds up, as on paper.
  return base::redondea((importe / precioUnitario).aDouble(), 3);
}

LecturaEtiqueta leeEtiquetaBascula(std::string_view codigo, const AjusteBascula& ajuste) {
  LecturaEtiqueta r;
  if (!ajuste.etiquetas || codigo.size() != 13 || !todoDigitos(codigo)) return r;
  const int prefijo = (codigo[0] - '0') * 10 + (codigo[1] - '0');
  auto en = [prefijo](const std::vector<int>& v) { return std::find(v.begin(), v.end(), prefijo) != v.end(); };
  const bool peso = en(ajuste.prefijosPeso);
  if (!peso && !en(ajuste.prefijosPrecio)) return r;
  if (digitoControlEan13(codigo.substr(0, 12)) != codigo[12] - '0') {
    r.estado = LecturaEtiqueta::DigitoErroneo;
    r.mensaje = "La etiqueta de báscula " + std::string(codigo) +
                " no es válida: su dígito verificador no corresponde. Vuelva a leerla.";
    return r;
  }
  r.estado = LecturaEtiqueta::Etiqueta;
  r.etiqueta.clave = std::string(codigo.substr(2, 5));
  r.etiqueta.esPeso = peso;
  const int valor = std::stoi(std::string(codigo.substr(7, 5)));
  if (peso)
    r.etiqueta.cantidad = valor / 1000.0;
  else
    r.etiqueta.importe = base::Importe::deDiezmilesimos(int64_t{valor} * 100);
  return r;
}

// ---------------------------------------------------------------------------------------

std::string formateaPeso(double kilos) { return base::formateaMascara(kilos, kMascaraPeso); }

bool hayProgramaPuerto(const base::TablaProgramas& programas) {
  const auto c = programas.comando(kProgramaPuerto);
  return c && !c->empty();
}

std::string iniciaProgramaPuerto(const base::TablaProgramas& programas, base::Procesos& procesos,
                                 std::string_view dirSistema) {
  return programas.inicia(procesos, base::une(dirSistema, kProgramaPuerto), "", dirSistema, false).mensaje;
}

bool escribePeticionPuerto(std::string_view dirSistema, const AjustePuerto& ajuste) {
  const std::string lectura = base::une(dirSistema, kArchivoLecturaPuerto);
  if (base::existe(lectura) && !base::borra(lectura)) return false;
  return base::escribeLineas(base::une(dirSistema, kArchivoPeticionPuerto),
                             {ajuste.puerto, std::to_string(ajuste.velocidad)});
}

std::optional<AjustePuerto> leePeticionPuerto(std::string_view dirSistema) {
  const auto lineas = base::leeLineas(base::une(dirSistema, kArchivoPeticionPuerto));
  if (!lineas) return std::nullopt;
  return AjustePuerto{lineaDe(lineas, 1), velocidadPuerto(lineaDe(lineas, 2))};
}

bool escribeLecturaPuerto(std::string_view dirSistema, double kilos) {
  return base::escribeLineas(base::une(dirSistema, kArchivoLecturaPuerto), {formateaPeso(kilos)});
}

std::optional<double> leeLecturaPuerto(std::string_view dirSistema) {
  const auto lineas = base::leeLineas(base::une(dirSistema, kArchivoLecturaPuerto));
  if (!lineas || lineas->empty()) return std::nullopt;
  return valorNumero(lineas->front());
}

Tara::Tara(std::string dirSistema, Producto producto)
    : dirSistema_(std::move(dirSistema)), producto_(producto), ajuste_(leeBasculaCnf(dirSistema_)) {}

bool Tara::inicia() {
  ultima_.reset();
  return escribePeticionPuerto(dirSistema_, ajuste_.puerto);
}

std::optional<std::string> Tara::sondea() {
  const std::optional<double> v = leeLecturaPuerto(dirSistema_);
  if (!v || !(*v > kPesoMinimo) || (ultima_ && *ultima_ == *v)) return std::nullopt;
  ultima_ = v;
  return formateaPeso(*v);
}

std::string Tara::estado(int msEsperando, int rechazados) const {
  if (ultima_) return {};
  if (msEsperando < kEsperaBasculaMs) return std::string(kEsperandoBascula);
  return std::string(rechazados > 0 ? kBasculaIlegible : kBasculaMuda);
}

std::optional<double> Tara::acepta(std::string_view texto, base::Interaccion& ui) const {
  const std::optional<double> v = base::leeNumero(base::recortaBlancos(texto));
  if (!v || !std::isfinite(*v)) {
    ui.mensaje(kPesoNoValido);
    return std::nullopt;
  }
  if (!(*v > 0)) {
    ui.mensaje(kPesoCero);
    return std::nullopt;
  }
  return *v;
}

LectorPuertoBascula::LectorPuertoBascula(PuertoSerie& puerto, std::string dirSistema)
    : puerto_(puerto), dirSistema_(std::move(dirSistema)) {}

LectorPuertoBascula::~LectorPuertoBascula() { cierra(); }

std::string LectorPuertoBascula::abre() {
  cierra();
  fallo_.clear();
  const std::optional<AjustePuerto> a = leePeticionPuerto(dirSistema_);
  if (!a) return "No se encontró " + base::une(dirSistema_, kArchivoPeticionPuerto);
  ajuste_ = *a;
  const FalloPuerto f = puerto_.abre(
      dispositivoPuerto(ajuste_.puerto), ajuste_.velocidad,
      [this](std::string_view bytes) {
        for (double kilos : marco_.agrega(bytes)) {
          ++lecturas_;
          escribeLecturaPuerto(dirSistema_, kilos);
        }
      },
      [this](const FalloPuerto& fallo) {
        puerto_.cierra();
        fallo_ = mensajePuerto(kQuienBascula, ajuste_, fallo);
      });
  return f ? mensajePuerto(kQuienBascula, ajuste_, f) : std::string();
}

void LectorPuertoBascula::cierra() {
  if (puerto_.abierto()) puerto_.cierra();
}

}  // namespace mostrador::sales
