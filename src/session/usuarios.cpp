#include "session/usuarios.h"

#include <array>
#include <charconv>

#include "base/interaccion.h"
#include "base/registros_fijos.h"
#include "base/rutas.h"
#include "base/texto.h"

namespace mostrador::session {
namespace {

// 52 letters, 10 digits, "Ñ", "ñ", the space and 21 punctuation marks ("&", "[", "\",
// "]", "^", "_", "`", "{", "|", "}" and "~" are left out), in a fixed shuffled order.
// Never reorder it: every users file ever written depends on it.
constexpr char kAlfabeto[] =
    "skb4f)WAMGLB<Kg;ShzCP0ui@$eJX*,ErZp3tl-\":w"
    "\xD1"
    "F'9H/TUYRyxDIn%"
    "\xF1"
    "5ao!6=(>j2c8.?V7mQv q#+1NOd";
static_assert(sizeof(kAlfabeto) - 1 == 86);

constexpr int kDesplazamiento = 30;  // position p is stored as p + 30
constexpr int kFuera = 19;           // bytes outside the alphabet move by 19

// Byte -> 1-based alphabet position, 0 when absent.
constexpr std::array<int, 256> posiciones() {
  std::array<int, 256> p{};
  for (int i = 0; i < 86; ++i) p[static_cast<unsigned char>(kAlfabeto[i])] = i + 1;
  return p;
}
constexpr auto kPosicion = posiciones();

const base::DisenoRegistro& diseno() {
  static const base::DisenoRegistro d(kTamRegistroUsuario,
                                {base::CampoFijo::entero32("numero", 0), base::CampoFijo::bytes("reservado", 4, 3),
                                 base::CampoFijo::cadena("nombre", 7, kCapacidadNombre),
                                 base::CampoFijo::cadena("clave", 68, kCapacidadClave),
                                 base::CampoFijo::cadena("derechos", 79, kCapacidadDerechos)});
  return d;
}

// A length-prefixed string's bytes, without the Windows-1252 conversion (the scrambled
// bytes are not text).
std::string bytesCadena(const base::RegistroFijo& r, std::string_view campo, size_t capacidad) {
  std::string crudo = r.crudo(campo);
  size_t n = crudo.empty() ? 0 : static_cast<unsigned char>(crudo[0]);
  if (n > capacidad) n = capacidad;
  return crudo.substr(1, n);
}

void ponBytesCadena(base::RegistroFijo& r, std::string_view campo, std::string bytes, size_t capacidad) {
  if (bytes.size() > capacidad) bytes.resize(capacidad);
  std::string crudo(1, static_cast<char>(bytes.size()));
  crudo += bytes;
  r.ponCrudo(campo, crudo);
}

base::ArchivoFijo archivo(std::string_view directorio) {
  return base::ArchivoFijo(archivoUsuarios(directorio), diseno());
}

std::optional<long> numeroDe(std::string_view texto) {
  long n = 0;
  auto [p, ec] = std::from_chars(texto.data(), texto.data() + texto.size(), n);
  if (ec != std::errc() || p != texto.data() + texto.size() || texto.empty()) return std::nullopt;
  return n;
}

}  // namespace

std::string_view alfabetoRevuelto() { return {kAlfabeto, 86}; }

std::string revuelve(std::string_view utf8) {
  std::string r = base::aCp1252(utf8);
  for (char& c : r) {
    const unsigned char b = static_cast<unsigned char>(c);
    const int p = kPosicion[b];
    c = static_cast<char>(p ? p + kDesplazamiento : (b + kFuera) % 256);
  }
  return r;
}

std::string desrevuelve(std::string_view almacenado) {
  std::string r(almacenado);
  for (char& c : r) {
    const int b = static_cast<unsigned char>(c);
    if (b > kDesplazamiento && b <= kDesplazamiento + 86)
      c = kAlfabeto[b - kDesplazamiento - 1];
    else
      c = static_cast<char>((b - kFuera + 256) % 256);
  }
  return base::aUtf8(r);
}

std::string codificaUsuario(const Usuario& u) {
  base::RegistroFijo r(diseno());
  r.ponEntero("numero", u.numero);
  // Cut in Windows-1252 bytes before scrambling, which keeps one byte per character.
  ponBytesCadena(r, "nombre", revuelve(base::cortaCp1252(u.nombre, kCapacidadNombre)), kCapacidadNombre);
  ponBytesCadena(r, "clave", revuelve(base::cortaCp1252(u.clave, kCapacidadClave)), kCapacidadClave);
  r.ponTexto("derechos", u.derechos);
  return r.bytes();
}

Usuario decodificaUsuario(std::string_view registro) {
  base::RegistroFijo r(diseno(), std::string(registro));
  Usuario u;
  u.numero = r.entero("numero");
  u.nombre = desrevuelve(bytesCadena(r, "nombre", kCapacidadNombre));
  u.clave = desrevuelve(bytesCadena(r, "clave", kCapacidadClave));
  u.derechos = r.texto("derechos");
  return u;
}

std::string archivoUsuarios(std::string_view directorio) { return base::une(directorio, "usuarios.def"); }

std::optional<std::vector<Usuario>> leeUsuarios(std::string_view directorio) {
  base::ArchivoFijo a = archivo(directorio);
  if (!a.existe()) return std::nullopt;
  std::vector<Usuario> r;
  for (const base::RegistroFijo& reg : a.leeTodos()) r.push_back(decodificaUsuario(reg.bytes()));
  return r;
}

long cuentaUsuarios(std::string_view directorio) { return archivo(directorio).cuenta(); }

std::optional<Usuario> leeUsuario(std::string_view directorio, long posicion) {
  auto reg = archivo(directorio).lee(posicion);
  if (!reg) return std::nullopt;
  return decodificaUsuario(reg->bytes());
}

bool escribeUsuario(std::string_view directorio, long posicion, const Usuario& u) {
  return archivo(directorio).escribe(posicion, base::RegistroFijo(diseno(), codificaUsuario(u)));
}

bool agregaUsuario(std::string_view directorio, const Usuario& u) {
  return archivo(directorio).agrega(base::RegistroFijo(diseno(), codificaUsuario(u)));
}

bool escribeUsuarios(std::string_view directorio, std::vector<Usuario> usuarios) {
  std::vector<base::RegistroFijo> regs;
  for (size_t i = 0; i < usuarios.size(); ++i) {
    usuarios[i].numero = static_cast<int>(i);
    regs.emplace_back(diseno(), codificaUsuario(usuarios[i]));
  }
  return archivo(directorio).reescribe(regs);
}

Usuario administradorInicial(std::string_view nombre, std::string_view clave) {
  return Usuario{0, std::string(nombre), std::string(clave), std::string(kDerechosPagina, 's')};
}

std::string nombreUsuario(base::Interaccion& ui, std::string_view directorioSistema,
                          std::string_view numero) {
  auto usuarios = leeUsuarios(directorioSistema);
  if (!usuarios) {
    ui.mensaje(kSinArchivoUsuarios);
    return "";
  }
  if (auto n = numeroDe(numero)) {
    for (const Usuario& u : *usuarios)
      if (u.numero == *n) return u.nombre;
  }
  return std::string(kNoRegistrado);
}

int usuarioPorClave(base::Interaccion& ui, std::string_view directorioSistema,
                    std::string_view directorioDatos, std::string_view clave) {
  // A company may carry its own users: its copy replaces the station's at every lookup.
  const std::string deEmpresa = archivoUsuarios(directorioDatos);
  const std::string propio = archivoUsuarios(directorioSistema);
  if (!directorioDatos.empty() && base::existe(deEmpresa) && !base::esDirectorio(deEmpresa) &&
      base::resuelve(deEmpresa) != base::resuelve(propio))
    base::copia(deEmpresa, propio);
  auto usuarios = leeUsuarios(directorioSistema);
  if (!usuarios) {
    ui.mensaje(kSinArchivoUsuarios);
    return -1;
  }
  for (size_t i = 0; i < usuarios->size(); ++i)
    if ((*usuarios)[i].clave == clave) return static_cast<int>(i);
  return -1;
}

bool esClaveAdministrador(base::Interaccion& ui, std::string_view directorioSistema,
                          std::string_view clave) {
  base::ArchivoFijo a = archivo(directorioSistema);
  if (!a.existe()) {
    ui.mensaje(kSinArchivoUsuarios);
    return false;
  }
  auto reg = a.lee(0);
  return reg && decodificaUsuario(reg->bytes()).clave == clave;
}

// --- Users page ---

PaginaUsuarios::PaginaUsuarios(base::Interaccion& ui, std::string directorioSistema)
    : ui_(ui), sistema_(std::move(directorioSistema)) {}

void PaginaUsuarios::muestra() {
  modo_ = Modo::Consulta;
  guardaHabilitado_ = false;
  NumeChange(0);
}

void PaginaUsuarios::NumeChange(int valor) {
  nume_ = valor < 0 ? 0 : valor;
  base::ArchivoFijo a = archivo(sistema_);
  if (!a.existe()) {
    ui_.mensaje(kSinArchivoUsuarios);
    return;
  }
  limite_ = static_cast<int>(a.cuenta()) - 1;
  auto reg = a.lee(nume_);
  if (!reg) return;
  Usuario u = decodificaUsuario(reg->bytes());
  nombre = u.nombre;
  clave = u.clave;
  for (int i = 0; i < kDerechosPagina; ++i)
    derechos[static_cast<size_t>(i)] =
        static_cast<size_t>(i) < u.derechos.size() && u.derechos[static_cast<size_t>(i)] == 's';
}

void PaginaUsuarios::BotonNuevoClick() {
  modo_ = Modo::Nuevo;
  nombre.clear();
  clave.clear();
  // A new user starts with no rights: nothing is inherited from the user shown before.
  derechos.assign(kDerechosPagina, false);
  guardaHabilitado_ = true;
}

void PaginaUsuarios::BotonCambiosClick() {
  modo_ = Modo::Cambio;
  guardaHabilitado_ = true;
}

std::string PaginaUsuarios::cadenaDerechos() const {
  std::string r;
  for (bool d : derechos) r.push_back(d ? 's' : 'n');
  return r;
}

bool PaginaUsuarios::BotonGuardaClick() {
  if (modo_ == Modo::Consulta) return false;
  Usuario u{nume_, nombre, clave, cadenaDerechos()};
  // The key is what signs a user in: an empty one or another user's would leave this
  // user unable to ever sign in.
  const std::string guardada = decodificaUsuario(codificaUsuario(u)).clave;
  if (guardada.empty()) {
    ui_.mensaje(kClaveVacia);
    return false;
  }
  if (auto todos = leeUsuarios(sistema_)) {
    for (size_t i = 0; i < todos->size(); ++i) {
      if (modo_ == Modo::Cambio && static_cast<int>(i) == nume_) continue;
      if ((*todos)[i].clave == guardada) {
        ui_.mensaje(kClaveRepetida);
        return false;
      }
    }
  }
  if (modo_ == Modo::Nuevo) {
    u.numero = static_cast<int>(cuentaUsuarios(sistema_));
    agregaUsuario(sistema_, u);
    nume_ = u.numero;
  } else {
    escribeUsuario(sistema_, nume_, u);
  }
  modo_ = Modo::Consulta;
  guardaHabilitado_ = false;
  limite_ = static_cast<int>(cuentaUsuarios(sistema_)) - 1;
  return true;
}

void PaginaUsuarios::BotonEliminaClick() {
  if (nume_ == 0) {
    ui_.mensaje("El Usuario 0 no puede ser dado de baja");
    return;
  }
  base::ArchivoFijo usuarios = archivo(sistema_);
  if (!usuarios.existe()) {
    ui_.mensaje(kSinArchivoUsuarios);
    return;
  }
  // Through "usuatemp.def", record by record, renumbering by the new position. The
  // temporary file stays behind as a copy of the result.
  base::ArchivoFijo temporal(base::une(sistema_, "usuatemp.def"), diseno());
  std::vector<base::RegistroFijo> quedan;
  const auto todos = usuarios.leeTodos();
  for (size_t i = 0; i < todos.size(); ++i) {
    if (static_cast<int>(i) == nume_) continue;
    base::RegistroFijo r = todos[i];
    r.ponEntero("numero", static_cast<int32_t>(quedan.size()));
    quedan.push_back(std::move(r));
  }
  temporal.reescribe(quedan);
  std::vector<base::RegistroFijo> nuevo;
  for (long i = 0, n = temporal.cuenta(); i < n; ++i)
    if (auto r = temporal.lee(i)) nuevo.push_back(*r);
  usuarios.reescribe(nuevo);
  const int ultimo = static_cast<int>(nuevo.size()) - 1;
  NumeChange(nume_ > ultimo ? ultimo : nume_);
}

bool PaginaUsuarios::BitBtn1Click(std::string_view directorioDatos) {
  return base::copia(archivoUsuarios(sistema_), archivoUsuarios(directorioDatos));
}

}  // namespace mostrador::session
