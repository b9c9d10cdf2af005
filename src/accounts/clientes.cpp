#include "accounts/clientes.h"

#include <charconv>
#include <cmath>

#include "accounts/cuentas.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"
#include "store/busqueda_campo.h"
#include "store/catalogo.h"
#include "store/unidad.h"

namespace mostrador::accounts {
namespace {

constexpr const char* kErrorAbrir = "Ha Ocurrido un Error al Abrir una de las Bases de Datos.";
constexpr const char* kPreguntaEliminar = "Esta Seguro de Eliminar este Registro ?";
constexpr const char* kMascaraEtiqueta = "###,###,##0.00";
constexpr const char* kMascaraSaldo = "#,###,##0.00";

// The balance fields: a change keeps what other stations posted meanwhile.
bool esSaldo(std::string_view campo) { return campo == "SALDO_C" || campo == "COMPR_C"; }

// Keys keep their leading blanks (consecutive keys are right-aligned); only the trailing
// ones, which the table does not keep either, go.
std::string claveGuardada(std::string_view clave) {
  std::string k(clave);
  while (!k.empty() && (k.back() == ' ' || k.back() == '\t')) k.pop_back();
  return k;
}

void copiaCampo(const dbf::Table& de, dbf::Table& a, const std::string& campo) {
  const int i = de.fieldIndex(campo), j = a.fieldIndex(campo);
  if (i < 0 || j < 0) return;
  if (de.isNull(i)) return a.setNull(j);
  switch (a.fieldDefs()[static_cast<size_t>(j)].type) {
    case 'N':
    case 'F':
      return a.setFloat(j, de.asFloat(i));
    case 'D':
      return a.setDate(j, de.asDate(i));
    case 'L':
      return a.setBool(j, de.asBool(i));
    default:
      return a.setText(j, de.asText(i));
  }
}

std::string linea(const std::vector<std::string>& l, int n) {
  return n >= 1 && static_cast<size_t>(n) <= l.size() ? base::recortaEspaciosYTabs(l[static_cast<size_t>(n - 1)])
                                                       : std::string();
}

}  // namespace

AjustesClientes AjustesClientes::de(const std::vector<std::string>& lineas, std::string dirSistema,
                                    std::string usuario) {
  AjustesClientes a;
  a.dirDatos = linea(lineas, 8);
  a.dirSistema = std::move(dirSistema);
  a.usuario = std::move(usuario);
  a.buscaAlGuardar = linea(lineas, 1) == "NO";
  a.consecutivas = linea(lineas, 34) == "S";
  a.formato = linea(lineas, 12);
  a.hojaCalculo = linea(lineas, 31);
  const auto marca = base::leeLinea(base::une(a.dirSistema, kArchivoBloqueo), 1);
  a.campoBloqueado = marca && base::recortaEspaciosYTabs(*marca) == "S";
  return a;
}

std::pair<int, int> lineasAyudaCliente(std::string_view campo) {
  static const std::pair<const char*, int> orden[] = {
      {"CLCLI_C", 1},  {"NOMBR_C", 3},  {"TELEF_C", 5},  {"RFCXX_C", 7},  {"CURPX_C", 9},
      {"DIREC_C", 11}, {"DIRE2_C", 13}, {"POBLA_C", 15}, {"CPXXX_C", 17}, {"DREPA_C", 19},
      {"ZONAX_C", 21}, {"DCRED_C", 23}, {"HOREV_C", 23}, {"DIPAG_C", 23}, {"HOPAG_C", 23},
      {"FULCO_C", 25}, {"CLVEN_C", 27}, {"SALDO_C", 29}, {"COMPR_C", 31}};
  for (const auto& [c, n] : orden)
    if (campo == c) return {n, n + 1};
  return {0, 0};
}

std::string claveConsecutiva(const std::optional<std::string>& ultima, int ancho) {
  auto alinea = [ancho](std::string t) {
    if (static_cast<int>(t.size()) < ancho) t.insert(0, static_cast<size_t>(ancho) - t.size(), ' ');
    return t;
  };
  if (!ultima) return alinea("1");
  // At most twelve characters of the key are read; an empty key counts as 0.
  const std::string t = base::recortaEspaciosYTabs(ultima->substr(0, 12));
  long long v = 0;
  if (!t.empty()) {
    auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || p != t.data() + t.size()) return *ultima;
  }
  return alinea(std::to_string(v + 1));
}

CatalogoClientes::CatalogoClientes(AjustesClientes ajustes, base::Interaccion& ui, const base::Reloj& reloj,
                                   std::function<bool(int)> derecho)
    : aj_(std::move(ajustes)), ui_(ui), reloj_(reloj), derecho_(std::move(derecho)) {}

CatalogoClientes::~CatalogoClientes() = default;

bool CatalogoClientes::abre() {
  try {
    clientes_.open(aj_.dirDatos, kTablaClientes);
    busqueda_.open(aj_.dirDatos, kTablaClientes);
    busqueda_.setIndex("ICLACLI");
    clientes_.setIndex("ICLACLI");
    const int i = clientes_.fieldIndex("CLCLI_C");
    if (i >= 0) anchoClave_ = clientes_.fieldDefs()[static_cast<size_t>(i)].length;
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorAbrir);
    return false;
  }
  abierto_ = true;
  primero();
  return true;
}

void CatalogoClientes::refresca() {
  if (!abierto_ || editando()) return;
  // The same customer again, as it is on disk now; the first one when it went meanwhile.
  const uint32_t r = clientes_.recno();
  clientes_.refresh();
  try {
    if (r == 0 || !clientes_.goTo(r)) clientes_.first();
  } catch (const dbf::Error&) {
  }
}

std::string CatalogoClientes::titulo() const {
  return orden_ == OrdenClientes::Nombre ? "Consulta Cobranza Ordenado por Nombre"
                                         : "Consulta Cobranza Ordenado por Clave";
}

const dbf::Table& CatalogoClientes::registro() const {
  return modo_ == ModoClientes::Modifica ? copia_ : clientes_;
}

dbf::Table& CatalogoClientes::edicion() { return modo_ == ModoClientes::Modifica ? copia_ : clientes_; }

bool CatalogoClientes::hayCliente() const {
  const dbf::Table& r = registro();
  if (!r.isOpen()) return false;
  return modo_ == ModoClientes::Nuevo || r.recno() != 0;
}

std::string CatalogoClientes::texto(std::string_view campo) const {
  return hayCliente() ? registro().asText(campo) : std::string();
}

double CatalogoClientes::numero(std::string_view campo) const {
  return hayCliente() ? registro().asFloat(campo) : 0.0;
}

void CatalogoClientes::tagOrden() { clientes_.setIndex(orden_ == OrdenClientes::Nombre ? "NOMBR_C" : "ICLACLI"); }

// ---- browsing -----------------------------------------------------------------------

void CatalogoClientes::primero() {
  if (!abierto_ || editando()) return;
  clientes_.first();
}

void CatalogoClientes::ultimo() {
  if (!abierto_ || editando()) return;
  clientes_.last();
}

void CatalogoClientes::anterior() {
  if (!abierto_ || editando()) return;
  const uint32_t r = clientes_.recno();
  clientes_.prior();
  if (clientes_.bof() || clientes_.recno() == 0) clientes_.goTo(r);
}

void CatalogoClientes::siguiente() {
  if (!abierto_ || editando()) return;
  const uint32_t r = clientes_.recno();
  clientes_.next();
  if (clientes_.eof() || clientes_.recno() == 0) clientes_.goTo(r);
}

bool CatalogoClientes::busca() {
  if (!abierto_ || editando()) return false;
  const auto b = ui_.busca(false);
  if (!b) return false;
  try {
    orden_ = b->campo == base::CampoBusqueda::Nombre ? OrdenClientes::Nombre : OrdenClientes::Clave;
    tagOrden();
    clientes_.findNearest({b->texto});
    if (clientes_.eof()) clientes_.last();
  } catch (const dbf::Error&) {
    ui_.mensaje("Valor no Válido");
    return false;
  }
  return true;
}

bool CatalogoClientes::buscaCampo(std::string_view campo, std::string_view valor) {
  if (!abierto_ || editando()) return false;
  try {
    return store::buscaPorCampo(clientes_, campo, valor, ui_);
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorAbrir);
    return false;
  }
}

bool CatalogoClientes::abreEnClave(std::string_view clave, bool crear) {
  if (!abierto_ || editando()) return false;
  try {
    orden_ = OrdenClientes::Clave;
    tagOrden();
    if (clientes_.findKey({claveGuardada(clave)})) return true;
    // Right-aligned consecutive keys are found by their number too.
    const std::string k = base::recortaEspaciosYTabs(clave);
    if (!k.empty() && static_cast<int>(k.size()) < anchoClave_ &&
        clientes_.findKey({std::string(static_cast<size_t>(anchoClave_) - k.size(), ' ') + k}))
      return true;
  } catch (const dbf::Error&) {
    return false;
  }
  if (!crear || !nuevo()) return false;
  return ponTexto("CLCLI_C", clave);
}

// ---- the locked field -------------------------------------------------------------

bool CatalogoClientes::alternaBloqueo() {
  if (aj_.usuario != "0") return false;
  aj_.campoBloqueado = !aj_.campoBloqueado;
  base::escribeLineas(base::une(aj_.dirSistema, kArchivoBloqueo), {aj_.campoBloqueado ? "S" : "N"});
  return true;
}

// ---- keys ---------------------------------------------------------------------------

bool CatalogoClientes::existeClave(std::string_view clave, uint32_t excepto) {
  const std::string k = claveGuardada(clave);
  busqueda_.setIndex("ICLACLI");
  if (!busqueda_.findKey({k})) return false;
  for (; !busqueda_.eof(); busqueda_.next()) {
    if (busqueda_.asText("CLCLI_C") != k) return false;
    if (busqueda_.recno() != excepto) return true;
  }
  return false;
}

bool CatalogoClientes::saleClave(std::string_view clave) {
  if (base::recortaEspaciosYTabs(clave).empty()) {
    ui_.mensaje(kEscribaClave);
    return false;
  }
  return true;
}

std::string CatalogoClientes::siguienteClave() {
  busqueda_.setIndex("ICLACLI");
  busqueda_.last();
  std::optional<std::string> ultima;
  if (busqueda_.recno() != 0) ultima = busqueda_.asText("CLCLI_C");
  return claveConsecutiva(ultima, anchoClave_);
}

// ---- creating and changing ----------------------------------------------------------

bool CatalogoClientes::nuevo() {
  if (!abierto_ || editando() || !derecho_(11)) return false;
  try {
    orden_ = OrdenClientes::Clave;
    tagOrden();
    const std::string clave = aj_.consecutivas ? siguienteClave() : std::string();
    registroEditado_ = clientes_.recno();  // where to come back to on Cancel
    clientes_.append();
    if (!clave.empty()) clientes_.setText("CLCLI_C", clave);
  } catch (const dbf::Error&) {
    ui_.mensaje(kRegistroEnUso);
    return false;
  }
  claveOriginal_.clear();
  guardo_ = false;
  modo_ = ModoClientes::Nuevo;
  return true;
}

bool CatalogoClientes::abreCopia() {
  const store::DefTabla* def = store::buscaTabla(kTablaClientes);
  if (!def) return false;
  copia_.close();
  // Made afresh each time: the working copy holds this one customer only.
  dbf::Table::create(aj_.dirSistema, kCopiaClientes, clientes_.fieldDefs());
  copia_.open(aj_.dirSistema, kCopiaClientes);
  return true;
}

void CatalogoClientes::vaciaCopia() {
  try {
    if (copia_.isOpen()) {
      if (copia_.editing()) copia_.cancel();
      copia_.close();
    }
    if (clientes_.isOpen()) dbf::Table::create(aj_.dirSistema, kCopiaClientes, clientes_.fieldDefs());
  } catch (const dbf::Error&) {
    // A copy left behind is made afresh by the next change.
  }
}

bool CatalogoClientes::modifica() {
  if (!abierto_ || editando() || !hayCliente() || !derecho_(13)) return false;
  const uint32_t r = clientes_.recno();
  try {
    // Another station in the middle of a save (or editing this customer) holds it.
    clientes_.lockRecord(r, 0);
    clientes_.releaseLocks();
  } catch (const dbf::Error&) {
    ui_.mensaje(kRegistroEnUso);
    return false;
  }
  try {
    orden_ = OrdenClientes::Clave;
    tagOrden();
    clientes_.goTo(r);
    claveOriginal_ = clientes_.asText("CLCLI_C");
    if (!abreCopia()) throw dbf::Error("no working copy");
    copia_.append();
    valoresOriginales_.clear();
    for (const auto& f : copia_.fieldDefs()) {
      copiaCampo(clientes_, copia_, f.name);
      valoresOriginales_.push_back(clientes_.asText(f.name));
    }
    copia_.post();
    copia_.first();
    copia_.edit();
    registroEditado_ = r;
  } catch (const dbf::Error&) {
    ui_.mensaje(kRegistroEnUso);
    vaciaCopia();
    return false;
  }
  guardo_ = false;
  modo_ = ModoClientes::Modifica;
  return true;
}

bool CatalogoClientes::ponTexto(std::string_view campo, std::string_view valor) {
  if (!editando()) return false;
  return ponCampo(edicion(), campo, valor);
}

bool CatalogoClientes::ponCampo(dbf::Table& t, std::string_view campo, std::string_view valor) {
  const int i = t.fieldIndex(campo);
  if (i < 0) return false;
  const dbf::FieldDef& f = t.fieldDefs()[static_cast<size_t>(i)];
  const std::string limpio = base::recortaEspaciosYTabs(valor);
  try {
    switch (f.type) {
      case 'N':
      case 'F': {
        if (limpio.empty()) {
          t.setNull(i);
          return true;
        }
        const auto v = base::leeNumero(limpio);
        if (!v || !std::isfinite(*v)) {
          ui_.mensaje("\"" + std::string(valor) + "\" no es un Número Válido");
          return false;
        }
        t.setFloat(i, *v);
        return true;
      }
      case 'D': {
        if (limpio.empty()) {
          t.setNull(i);
          return true;
        }
        const auto d = dbf::leeFecha(limpio);
        if (!d) {
          ui_.mensaje("\"" + std::string(valor) + "\" no es una Fecha Válida");
          return false;
        }
        t.setDate(i, d);
        return true;
      }
      default: {
        const std::string v = f.name == "CLCLI_C" ? claveGuardada(valor) : std::string(valor);
        if (base::anchoCp1252(v) > static_cast<size_t>(f.length)) {
          if (f.name == "CLCLI_C")
            ui_.mensaje("La Clave no Puede Tener más de " + std::to_string(f.length) + " Caracteres");
          else
            ui_.mensaje("El Dato no Puede Tener más de " + std::to_string(f.length) + " Caracteres");
          return false;
        }
        t.setText(i, v);
        return true;
      }
    }
  } catch (const dbf::Error&) {
    ui_.mensaje("\"" + std::string(valor) + "\" no es un Número Válido");
    return false;
  }
}

// The key checks of a save; they run inside the unit, where no other station can add
// the same key between the check and the write.
bool CatalogoClientes::pruebasClave(std::string_view clave) {
  const std::string k = claveGuardada(clave);
  if (base::recortaEspaciosYTabs(k).empty()) {
    ui_.mensaje(kClaveNoExiste);
    return false;
  }
  if (modo_ == ModoClientes::Nuevo) {
    if (existeClave(k, 0)) {
      ui_.mensaje(kClaveYaExiste);
      return false;
    }
  } else if (k != claveOriginal_ && existeClave(k, registroEditado_)) {
    ui_.mensaje(kClaveRepetida);
    return false;
  }
  return true;
}

bool CatalogoClientes::escribeNuevo(bool conPruebas) {
  const std::string k = clientes_.asText("CLCLI_C");
  try {
    store::UnidadGuardado unidad({aj_.dirDatos});
    if (conPruebas && !pruebasClave(k)) return false;
    clientes_.post();
    unidad.confirma();
  } catch (const dbf::Error&) {
    // The unit is rolled back; the record stays in edit with what was typed.
    ui_.mensaje(kErrorGuardarCliente);
    return false;
  }
  if (aj_.buscaAlGuardar) {
    try {
      clientes_.setIndex("ICLACLI");
      clientes_.findKey({k});
    } catch (const dbf::Error&) {
    }
  }
  return true;
}

bool CatalogoClientes::escribeCambio(bool conPruebas) {
  const std::string k = copia_.asText("CLCLI_C");
  try {
    copia_.post();
    store::Bloqueo b;
    b.tabla = &clientes_;
    b.registro = registroEditado_;
    b.quien = "el cliente " + base::recorta(claveOriginal_);
    if (store::bloquea({b})) {
      ui_.mensaje(kRegistroEnUso);
      copia_.edit();
      return false;
    }
    store::UnidadGuardado unidad({aj_.dirDatos});
    if (conPruebas && !pruebasClave(k)) {
      clientes_.releaseLocks();
      copia_.edit();
      return false;
    }
    if (!clientes_.goTo(registroEditado_)) {
      ui_.mensaje(kClienteEliminado);
      clientes_.releaseLocks();
      copia_.edit();
      return false;
    }
    clientes_.edit();  // the record as it is on disk now
    const auto& campos = copia_.fieldDefs();
    for (size_t i = 0; i < campos.size(); ++i) {
      const std::string& n = campos[i].name;
      const std::string original = i < valoresOriginales_.size() ? valoresOriginales_[i] : std::string();
      if (copia_.asText(n) == original) continue;  // not edited here: what is on disk stays
      if (esSaldo(n)) {
        // The edit as a change of the stored amount.
        const double antes = base::numeroSeguro(original);
        clientes_.setFloat(n, base::redondea(clientes_.asFloat(n) + copia_.asFloat(n) - antes, 4));
        continue;
      }
      copiaCampo(copia_, clientes_, n);
    }
    clientes_.post();
    unidad.confirma();
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardarCliente);
    try {
      if (clientes_.editing()) clientes_.cancel();
      if (copia_.isOpen() && !copia_.editing()) copia_.edit();
    } catch (const dbf::Error&) {
    }
    return false;
  }
  vaciaCopia();
  try {
    clientes_.goTo(registroEditado_);
    if (aj_.buscaAlGuardar) clientes_.findKey({k});
  } catch (const dbf::Error&) {
  }
  return true;
}

bool CatalogoClientes::guarda() {
  if (!editando()) return false;
  const bool ok = modo_ == ModoClientes::Nuevo ? escribeNuevo(true) : escribeCambio(true);
  if (!ok) return false;
  modo_ = ModoClientes::Consulta;
  guardo_ = true;
  registroEditado_ = 0;
  valoresOriginales_.clear();
  try {
    const uint32_t r = clientes_.recno();
    clientes_.refresh();
    tagOrden();
    if (r != 0) clientes_.goTo(r);
  } catch (const dbf::Error&) {
  }
  return true;
}

void CatalogoClientes::descarta() {
  if (!editando()) return;
  try {
    if (modo_ == ModoClientes::Nuevo) {
      // The appended record never reached the table.
      if (clientes_.editing()) clientes_.cancel();
      if (registroEditado_ == 0 || !clientes_.goTo(registroEditado_)) clientes_.first();
    } else {
      vaciaCopia();
      clientes_.goTo(registroEditado_);
    }
  } catch (const dbf::Error&) {
  }
  modo_ = ModoClientes::Consulta;
  registroEditado_ = 0;
  valoresOriginales_.clear();
  try {
    tagOrden();
  } catch (const dbf::Error&) {
  }
}

bool CatalogoClientes::cierra() {
  if (!editando()) return true;
  switch (ui_.cerrar()) {
    case base::RespuestaCerrar::Guardar:
      // The key tests stay: two records under one key would confuse every document.
      return guarda();
    case base::RespuestaCerrar::Descartar:
      descarta();
      return true;
    default:
      return false;
  }
}

// ---- deleting -------------------------------------------------------------------------

bool CatalogoClientes::elimina() {
  if (!abierto_ || editando() || !hayCliente() || !derecho_(12)) return false;
  const std::string clave = clientes_.asText("CLCLI_C");
  // SALDO_C can be edited by hand: an open receivable of the customer refuses too, or
  // its entries would be left without their customer.
  if (clientes_.asFloat("SALDO_C") != 0 ||
      tieneSaldoAbierto(aj_.dirDatos, Cartera::Clientes, base::recorta(clave))) {
    ui_.mensaje(kClienteConSaldo);
    return false;
  }
  if (ui_.advertencia(kPreguntaEliminar, false) != base::RespuestaAdvertencia::Si) return false;
  const uint32_t r = clientes_.recno();
  try {
    store::Bloqueo b;
    b.tabla = &clientes_;
    b.registro = r;
    b.quien = "el cliente " + base::recorta(clave);
    if (store::bloquea({b})) {
      ui_.mensaje(kRegistroEnUso);
      return false;
    }
    store::UnidadGuardado unidad({aj_.dirDatos});
    if (!clientes_.goTo(r)) {
      clientes_.releaseLocks();
      clientes_.first();
      return true;  // another station deleted it already
    }
    // A sale posted after the check would be lost with the record.
    if (clientes_.asFloat("SALDO_C") != 0) {
      clientes_.releaseLocks();
      ui_.mensaje(kClienteConSaldo);
      return false;
    }
    clientes_.remove();
    unidad.confirma();
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardarCliente);
    return false;
  }
  try {
    clientes_.next();
    if (clientes_.eof()) clientes_.last();
  } catch (const dbf::Error&) {
  }
  return true;
}

namespace {

// A customer or a supplier deleted without prompts: refused while its balance field or
// one of its open documents says it still owes (or is owed).
struct Titular {
  const char *tabla, *indice, *saldo;
  Cartera cartera;
  std::string_view noExiste;
  const char* conSaldo;
};

std::string eliminaTitular(const std::string& dirDatos, const Titular& d, std::string_view clave) {
  try {
    dbf::Table t;
    t.open(dirDatos, d.tabla);
    t.setIndex(d.indice);
    if (!t.findKey({claveGuardada(clave)})) return std::string(d.noExiste);
    const uint32_t r = t.recno();
    if (t.asFloat(d.saldo) != 0 || tieneSaldoAbierto(dirDatos, d.cartera, base::recorta(clave))) return d.conSaldo;
    if (store::bloquea({{&t, r, std::string(clave)}})) return std::string(kRegistroEnUso);
    store::UnidadGuardado unidad({dirDatos});
    if (!t.goTo(r)) return std::string(d.noExiste);
    // A sale or a purchase posted between the check and the lock.
    if (t.asFloat(d.saldo) != 0) return d.conSaldo;
    t.remove();
    unidad.confirma();
  } catch (const dbf::Error&) {
    return kErrorGuardarCliente;
  }
  return "";
}

}  // namespace

std::string eliminaCliente(const std::string& dirDatos, std::string_view clave) {
  return eliminaTitular(dirDatos, {kTablaClientes, "ICLACLI", "SALDO_C", Cartera::Clientes, kClienteNoExiste, kClienteConSaldo},
                        clave);
}

std::string eliminaProveedor(const std::string& dirDatos, std::string_view clave) {
  return eliminaTitular(dirDatos,
                        {"proveedo.dbf", "ICLAPRO", "SALDO_P", Cartera::Proveedores, kProveedorNoExiste,
                         "No Es Posible Eliminar un Proveedor con Saldo"},
                        clave);
}

// ---- display ---------------------------------------------------------------------------

PresentacionCliente CatalogoClientes::presenta() {
  PresentacionCliente p;
  if (abierto_ && modo_ == ModoClientes::Consulta) {
    // Records left with neither key nor name go as they are met.
    for (int vueltas = 0; vueltas < 1000 && clientes_.recno() != 0 && !clientes_.eof(); ++vueltas) {
      if (!base::recortaEspaciosYTabs(clientes_.asText("CLCLI_C")).empty() ||
          !base::recortaEspaciosYTabs(clientes_.asText("NOMBR_C")).empty())
        break;
      const uint32_t r = clientes_.recno();
      try {
        store::Bloqueo b{&clientes_, r, "un cliente sin clave"};
        if (store::bloquea({b})) break;
        store::UnidadGuardado unidad({aj_.dirDatos});
        if (clientes_.goTo(r)) clientes_.remove();
        unidad.confirma();
        // Key and name are both empty: the next entry of either tag is the nearest to "".
        clientes_.findNearest({std::string()});
        if (clientes_.eof()) clientes_.last();
      } catch (const dbf::Error&) {
        break;
      }
    }
  }
  if (!hayCliente()) return p;
  const dbf::Table& t = registro();
  p.cargo = "Cargos " + base::mascaraImporte(kMascaraEtiqueta, t.asText("CARGO_C"), "$");
  p.abono = "Abonos " + base::mascaraImporte(kMascaraEtiqueta, t.asText("ABONO_C"), "$");
  const std::string estado = base::recortaEspaciosYTabs(t.asText("STATU_C"));
  p.estado = estado.empty() || estado == "A" ? "Activo" : "Inactivo";
  p.saldo = base::formateaMascara(t.asFloat("SALDO_C"), kMascaraSaldo);
  p.compras = base::formateaMascara(t.asFloat("COMPR_C"), kMascaraSaldo);
  return p;
}

}  // namespace mostrador::accounts
