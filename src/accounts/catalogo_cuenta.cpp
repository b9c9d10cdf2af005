#include "accounts/catalogo_cuenta.h"

#include "store/copia_registro.h"

#include <cmath>

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
constexpr const char* kEscribaClave = "Es Necesario Escribir una Clave...";
constexpr const char* kMascaraEtiqueta = "###,###,##0.00";
constexpr const char* kMascaraSaldo = "#,###,##0.00";


}  // namespace

std::string claveGuardada(std::string_view clave) {
  std::string k(clave);
  while (!k.empty() && (k.back() == ' ' || k.back() == '\t')) k.pop_back();
  return k;
}

CatalogoCuenta::CatalogoCuenta(const DefCatalogoCuenta& def, std::string dirDatos, std::string dirSistema,
                               bool buscaAlGuardar, base::Interaccion& ui, const base::Reloj& reloj,
                                   std::function<bool(int)> derecho)
    : def_(def),
      dirDatos_(std::move(dirDatos)),
      dirSistema_(std::move(dirSistema)),
      buscaAlGuardar_(buscaAlGuardar),
      ui_(ui),
      reloj_(reloj),
      derecho_(std::move(derecho)) {}

CatalogoCuenta::~CatalogoCuenta() = default;

dbf::Table& CatalogoCuenta::segunda() {
  busqueda_.setIndex(def_.tagClave);
  return busqueda_;
}

bool CatalogoCuenta::esSaldo(std::string_view campo) const {
  for (const auto& s : def_.saldos)
    if (campo == s) return true;
  return false;
}

bool CatalogoCuenta::abre() {
  try {
    tabla_.open(dirDatos_, def_.tabla);
    busqueda_.open(dirDatos_, def_.tabla);
    busqueda_.setIndex(def_.tagClave);
    tabla_.setIndex(def_.tagClave);
    const int i = tabla_.fieldIndex(def_.campoClave);
    if (i >= 0) anchoClave_ = tabla_.fieldDefs()[static_cast<size_t>(i)].length;
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorAbrir);
    return false;
  }
  abierto_ = true;
  primero();
  return true;
}

void CatalogoCuenta::refresca() {
  if (!abierto_ || editando()) return;
  // The same customer again, as it is on disk now; the first one when it went meanwhile.
  const uint32_t r = tabla_.recno();
  tabla_.refresh();
  try {
    if (r == 0 || !tabla_.goTo(r)) tabla_.first();
  } catch (const dbf::Error&) {
  }
}

std::string CatalogoCuenta::titulo() const {
  return orden_ == OrdenCatalogo::Nombre ? "Consulta Cobranza Ordenado por Nombre"
                                         : "Consulta Cobranza Ordenado por Clave";
}

const dbf::Table& CatalogoCuenta::registro() const {
  return modo_ == ModoCatalogo::Modifica ? copia_ : tabla_;
}

dbf::Table& CatalogoCuenta::edicion() { return modo_ == ModoCatalogo::Modifica ? copia_ : tabla_; }

bool CatalogoCuenta::hayRegistro() const {
  const dbf::Table& r = registro();
  if (!r.isOpen()) return false;
  return modo_ == ModoCatalogo::Nuevo || r.recno() != 0;
}

std::string CatalogoCuenta::texto(std::string_view campo) const {
  return hayRegistro() ? registro().asText(campo) : std::string();
}

double CatalogoCuenta::numero(std::string_view campo) const {
  return hayRegistro() ? registro().asFloat(campo) : 0.0;
}

void CatalogoCuenta::tagOrden() { tabla_.setIndex(orden_ == OrdenCatalogo::Nombre ? def_.tagNombre : def_.tagClave); }

// ---- browsing -----------------------------------------------------------------------

void CatalogoCuenta::primero() {
  if (!abierto_ || editando()) return;
  tabla_.first();
}

void CatalogoCuenta::ultimo() {
  if (!abierto_ || editando()) return;
  tabla_.last();
}

void CatalogoCuenta::anterior() {
  if (!abierto_ || editando()) return;
  const uint32_t r = tabla_.recno();
  tabla_.prior();
  if (tabla_.bof() || tabla_.recno() == 0) tabla_.goTo(r);
}

void CatalogoCuenta::siguiente() {
  if (!abierto_ || editando()) return;
  const uint32_t r = tabla_.recno();
  tabla_.next();
  if (tabla_.eof() || tabla_.recno() == 0) tabla_.goTo(r);
}

bool CatalogoCuenta::busca() {
  if (!abierto_ || editando()) return false;
  const auto b = ui_.busca(false);
  if (!b) return false;
  try {
    orden_ = b->campo == base::CampoBusqueda::Nombre ? OrdenCatalogo::Nombre : OrdenCatalogo::Clave;
    tagOrden();
    tabla_.findNearest({b->texto});
    if (tabla_.eof()) tabla_.last();
  } catch (const dbf::Error&) {
    ui_.mensaje("Valor no Válido");
    return false;
  }
  return true;
}

bool CatalogoCuenta::buscaCampo(std::string_view campo, std::string_view valor) {
  if (!abierto_ || editando()) return false;
  try {
    return store::buscaPorCampo(tabla_, campo, valor, ui_);
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorAbrir);
    return false;
  }
}

bool CatalogoCuenta::abreEnClave(std::string_view clave, bool crear) {
  if (!abierto_ || editando()) return false;
  try {
    orden_ = OrdenCatalogo::Clave;
    tagOrden();
    if (tabla_.findKey({claveGuardada(clave)})) return true;
    // Right-aligned consecutive keys are found by their number too.
    const std::string k = base::recortaEspaciosYTabs(clave);
    if (!k.empty() && static_cast<int>(k.size()) < anchoClave_ &&
        tabla_.findKey({std::string(static_cast<size_t>(anchoClave_) - k.size(), ' ') + k}))
      return true;
  } catch (const dbf::Error&) {
    return false;
  }
  if (!crear || !nuevo()) return false;
  return ponTexto(def_.campoClave, clave);
}

// ---- keys ---------------------------------------------------------------------------

bool CatalogoCuenta::existeClave(std::string_view clave, uint32_t excepto) {
  const std::string k = claveGuardada(clave);
  busqueda_.setIndex(def_.tagClave);
  if (!busqueda_.findKey({k})) return false;
  for (; !busqueda_.eof(); busqueda_.next()) {
    if (busqueda_.asText(def_.campoClave) != k) return false;
    if (busqueda_.recno() != excepto) return true;
  }
  return false;
}

bool CatalogoCuenta::saleClave(std::string_view clave) {
  if (base::recortaEspaciosYTabs(clave).empty()) {
    ui_.mensaje(kEscribaClave);
    return false;
  }
  return true;
}

// ---- creating and changing ----------------------------------------------------------

bool CatalogoCuenta::nuevo() {
  if (!abierto_ || editando() || !derecho_(def_.derechoNuevo)) return false;
  try {
    orden_ = OrdenCatalogo::Clave;
    tagOrden();
    const std::string clave = claveNueva().value_or(std::string());
    registroEditado_ = tabla_.recno();  // where to come back to on Cancel
    tabla_.append();
    if (!clave.empty()) tabla_.setText(def_.campoClave, clave);
  } catch (const dbf::Error&) {
    ui_.mensaje(kRegistroEnUso);
    return false;
  }
  claveOriginal_.clear();
  guardo_ = false;
  modo_ = ModoCatalogo::Nuevo;
  return true;
}

bool CatalogoCuenta::abreCopia() {
  const store::DefTabla* def = store::buscaTabla(def_.tabla);
  if (!def) return false;
  copia_.close();
  // Made afresh each time: the working copy holds this one customer only.
  dbf::Table::create(dirSistema_, def_.copia, tabla_.fieldDefs());
  copia_.open(dirSistema_, def_.copia);
  return true;
}

void CatalogoCuenta::vaciaCopia() {
  try {
    if (copia_.isOpen()) {
      if (copia_.editing()) copia_.cancel();
      copia_.close();
    }
    if (tabla_.isOpen()) dbf::Table::create(dirSistema_, def_.copia, tabla_.fieldDefs());
  } catch (const dbf::Error&) {
    // A copy left behind is made afresh by the next change.
  }
}

bool CatalogoCuenta::modifica() {
  if (!abierto_ || editando() || !hayRegistro() || !derecho_(def_.derechoCambia)) return false;
  const uint32_t r = tabla_.recno();
  try {
    // Another station in the middle of a save (or editing this customer) holds it.
    tabla_.lockRecord(r, 0);
    tabla_.releaseLocks();
  } catch (const dbf::Error&) {
    ui_.mensaje(kRegistroEnUso);
    return false;
  }
  try {
    orden_ = OrdenCatalogo::Clave;
    tagOrden();
    tabla_.goTo(r);
    claveOriginal_ = tabla_.asText(def_.campoClave);
    if (!abreCopia()) throw dbf::Error("no working copy");
    copia_.append();
    valoresOriginales_.clear();
    for (const auto& f : copia_.fieldDefs()) {
      store::copiaCampo(tabla_, copia_, f.name);
      valoresOriginales_.push_back(tabla_.asText(f.name));
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
  modo_ = ModoCatalogo::Modifica;
  return true;
}

bool CatalogoCuenta::ponTexto(std::string_view campo, std::string_view valor) {
  if (!editando()) return false;
  return ponCampo(edicion(), campo, valor);
}

bool CatalogoCuenta::ponCampo(dbf::Table& t, std::string_view campo, std::string_view valor) {
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
        const std::string v = f.name == def_.campoClave ? claveGuardada(valor) : std::string(valor);
        if (base::anchoCp1252(v) > static_cast<size_t>(f.length)) {
          if (f.name == def_.campoClave)
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
bool CatalogoCuenta::pruebasClave(std::string_view clave) {
  const std::string k = claveGuardada(clave);
  if (base::recortaEspaciosYTabs(k).empty()) {
    ui_.mensaje(def_.claveVacia);
    return false;
  }
  if (modo_ == ModoCatalogo::Nuevo) {
    if (existeClave(k, 0)) {
      ui_.mensaje(kClaveYaExisteCatalogo);
      return false;
    }
  } else if (k != claveOriginal_ && existeClave(k, registroEditado_)) {
    ui_.mensaje(def_.claveRepetida);
    return false;
  }
  return true;
}

bool CatalogoCuenta::escribeNuevo(bool conPruebas) {
  const std::string k = tabla_.asText(def_.campoClave);
  try {
    store::UnidadGuardado unidad({dirDatos_});
    if (conPruebas && !pruebasClave(k)) return false;
    tabla_.post();
    unidad.confirma();
  } catch (const dbf::Error&) {
    // The unit is rolled back; the record stays in edit with what was typed.
    ui_.mensaje(kErrorGuardarCatalogo);
    return false;
  }
  if (buscaAlGuardar_) {
    try {
      tabla_.setIndex(def_.tagClave);
      tabla_.findKey({k});
    } catch (const dbf::Error&) {
    }
  }
  return true;
}

bool CatalogoCuenta::escribeCambio(bool conPruebas) {
  const std::string k = copia_.asText(def_.campoClave);
  try {
    copia_.post();
    store::Bloqueo b;
    b.tabla = &tabla_;
    b.registro = registroEditado_;
    b.quien = def_.quien + base::recorta(claveOriginal_);
    if (store::bloquea({b})) {
      ui_.mensaje(kRegistroEnUso);
      copia_.edit();
      return false;
    }
    store::UnidadGuardado unidad({dirDatos_});
    if (conPruebas && !pruebasClave(k)) {
      tabla_.releaseLocks();
      copia_.edit();
      return false;
    }
    if (!tabla_.goTo(registroEditado_)) {
      ui_.mensaje(def_.eliminado);
      tabla_.releaseLocks();
      copia_.edit();
      return false;
    }
    tabla_.edit();  // the record as it is on disk now
    const auto& campos = copia_.fieldDefs();
    for (size_t i = 0; i < campos.size(); ++i) {
      const std::string& n = campos[i].name;
      const std::string original = i < valoresOriginales_.size() ? valoresOriginales_[i] : std::string();
      if (copia_.asText(n) == original) continue;  // not edited here: what is on disk stays
      if (esSaldo(n)) {
        // The edit as a change of the stored amount.
        const double antes = base::numeroSeguro(original);
        tabla_.setFloat(n, base::redondea(tabla_.asFloat(n) + copia_.asFloat(n) - antes, 4));
        continue;
      }
      store::copiaCampo(copia_, tabla_, n);
    }
    tabla_.post();
    unidad.confirma();
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardarCatalogo);
    try {
      if (tabla_.editing()) tabla_.cancel();
      if (copia_.isOpen() && !copia_.editing()) copia_.edit();
    } catch (const dbf::Error&) {
    }
    return false;
  }
  vaciaCopia();
  try {
    tabla_.goTo(registroEditado_);
    if (buscaAlGuardar_) tabla_.findKey({k});
  } catch (const dbf::Error&) {
  }
  return true;
}

bool CatalogoCuenta::guarda() {
  if (!editando()) return false;
  const bool ok = modo_ == ModoCatalogo::Nuevo ? escribeNuevo(true) : escribeCambio(true);
  if (!ok) return false;
  modo_ = ModoCatalogo::Consulta;
  guardo_ = true;
  registroEditado_ = 0;
  valoresOriginales_.clear();
  try {
    const uint32_t r = tabla_.recno();
    tabla_.refresh();
    tagOrden();
    if (r != 0) tabla_.goTo(r);
  } catch (const dbf::Error&) {
  }
  return true;
}

void CatalogoCuenta::descarta() {
  if (!editando()) return;
  try {
    if (modo_ == ModoCatalogo::Nuevo) {
      // The appended record never reached the table.
      if (tabla_.editing()) tabla_.cancel();
      if (registroEditado_ == 0 || !tabla_.goTo(registroEditado_)) tabla_.first();
    } else {
      vaciaCopia();
      tabla_.goTo(registroEditado_);
    }
  } catch (const dbf::Error&) {
  }
  modo_ = ModoCatalogo::Consulta;
  registroEditado_ = 0;
  valoresOriginales_.clear();
  try {
    tagOrden();
  } catch (const dbf::Error&) {
  }
}

bool CatalogoCuenta::cierra() {
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

bool CatalogoCuenta::elimina() {
  if (!abierto_ || editando() || !hayRegistro() || !derecho_(def_.derechoElimina)) return false;
  const std::string clave = tabla_.asText(def_.campoClave);
  // SALDO_C can be edited by hand: an open receivable of the customer refuses too, or
  // its entries would be left without their customer.
  if (tabla_.asFloat(def_.campoSaldo) != 0 ||
      tieneSaldoAbierto(dirDatos_, def_.cartera, base::recorta(clave))) {
    ui_.mensaje(def_.conSaldo);
    return false;
  }
  if (ui_.advertencia(kPreguntaEliminar, false) != base::RespuestaAdvertencia::Si) return false;
  const uint32_t r = tabla_.recno();
  try {
    store::Bloqueo b;
    b.tabla = &tabla_;
    b.registro = r;
    b.quien = def_.quien + base::recorta(clave);
    if (store::bloquea({b})) {
      ui_.mensaje(kRegistroEnUso);
      return false;
    }
    store::UnidadGuardado unidad({dirDatos_});
    if (!tabla_.goTo(r)) {
      tabla_.releaseLocks();
      tabla_.first();
      return true;  // another station deleted it already
    }
    // A sale posted after the check would be lost with the record.
    if (tabla_.asFloat(def_.campoSaldo) != 0) {
      tabla_.releaseLocks();
      ui_.mensaje(def_.conSaldo);
      return false;
    }
    tabla_.remove();
    unidad.confirma();
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardarCatalogo);
    return false;
  }
  try {
    tabla_.next();
    if (tabla_.eof()) tabla_.last();
  } catch (const dbf::Error&) {
  }
  return true;
}

// ---- display ---------------------------------------------------------------------------

PresentacionCuenta CatalogoCuenta::presenta() {
  PresentacionCuenta p;
  if (def_.borraVacios && abierto_ && modo_ == ModoCatalogo::Consulta) {
    // Records left with neither key nor name go as they are met.
    for (int vueltas = 0; vueltas < 1000 && tabla_.recno() != 0 && !tabla_.eof(); ++vueltas) {
      if (!base::recortaEspaciosYTabs(tabla_.asText(def_.campoClave)).empty() ||
          !base::recortaEspaciosYTabs(tabla_.asText(def_.campoNombre)).empty())
        break;
      const uint32_t r = tabla_.recno();
      try {
        store::Bloqueo b{&tabla_, r, std::string("un registro sin clave")};
        if (store::bloquea({b})) break;
        store::UnidadGuardado unidad({dirDatos_});
        if (tabla_.goTo(r)) tabla_.remove();
        unidad.confirma();
        // Key and name are both empty: the next entry of either tag is the nearest to "".
        tabla_.findNearest({std::string()});
        if (tabla_.eof()) tabla_.last();
      } catch (const dbf::Error&) {
        break;
      }
    }
  }
  if (!hayRegistro()) return p;
  const dbf::Table& t = registro();
  p.cargo = "Cargos " + base::mascaraImporte(kMascaraEtiqueta, t.asText(def_.campoCargo), "$");
  p.abono = "Abonos " + base::mascaraImporte(kMascaraEtiqueta, t.asText(def_.campoAbono), "$");
  const std::string estado = base::recortaEspaciosYTabs(t.asText(def_.campoEstado));
  p.estado = estado.empty() || estado == "A" ? "Activo" : "Inactivo";
  p.saldo = base::formateaMascara(t.asFloat(def_.campoSaldo), kMascaraSaldo);
  p.compras = base::formateaMascara(t.asFloat(def_.campoCompras), kMascaraSaldo);
  return p;
}


std::string eliminaTitular(const std::string& dirDatos, const DefCatalogoCuenta& d, std::string_view clave) {
  try {
    dbf::Table t;
    t.open(dirDatos, d.tabla);
    t.setIndex(d.tagClave);
    if (!t.findKey({claveGuardada(clave)})) return d.noExiste;
    const uint32_t r = t.recno();
    if (t.asFloat(d.campoSaldo) != 0 || tieneSaldoAbierto(dirDatos, d.cartera, base::recorta(clave))) return d.conSaldo;
    if (store::bloquea({{&t, r, std::string(clave)}})) return std::string(kRegistroEnUso);
    store::UnidadGuardado unidad({dirDatos});
    if (!t.goTo(r)) return d.noExiste;
    // A document posted between the check and the lock.
    if (t.asFloat(d.campoSaldo) != 0) return d.conSaldo;
    t.remove();
    unidad.confirma();
  } catch (const dbf::Error&) {
    return kErrorGuardarCatalogo;
  }
  return "";
}

}  // namespace mostrador::accounts
