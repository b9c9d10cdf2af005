#include "accounts/proveedores.h"

#include <charconv>

#include "accounts/clientes.h"
#include "base/numeros.h"
#include "base/texto_util.h"
#include "store/dbf/dbf_table.h"
#include "store/estados.h"
#include "store/unidad.h"

namespace mostrador::accounts {
namespace {

constexpr const char* kErrorAbrir = "Ha Ocurrido un Error al Abrir una de las Bases de Datos.";
constexpr const char* kMascara = "###,###,##0.00";
// The range of proposed keys, right-aligned in eight characters.
constexpr const char* kDesde = "       1";
constexpr const char* kHasta = "    9999";
constexpr int kAnchoPropuesta = 8;
// Below a cent a receipt has no balance left for the inquiry.
constexpr double kUmbralConSaldo = 0.01;

std::string linea(const std::vector<std::string>& l, int n) {
  return n >= 1 && static_cast<size_t>(n) <= l.size() ? base::recortaEspaciosYTabs(l[static_cast<size_t>(n - 1)])
                                                       : std::string();
}

std::string fechaTexto(const dbf::Table& t, const char* campo) {
  const int i = t.fieldIndex(campo);
  return i < 0 || t.isNull(i) ? std::string() : t.asText(i);
}

}  // namespace

const DefCatalogoCuenta& defProveedores() {
  static const DefCatalogoCuenta d{kTablaProveedores,
                                   kCopiaProveedores,
                                   "ICLAPRO",
                                   "NOMBR_P",
                                   "CLAVE_P",
                                   "NOMBR_P",
                                   "CARGO_P",
                                   "ABONO_P",
                                   "STATU_P",
                                   "SALDO_P",
                                   "COMPR_P",
                                   // Purchases, payments and the inquiry's recomputation write these.
                                   {"SALDO_P", "COMPR_P", "CARGO_P", "ABONO_P"},
                                   17,
                                   18,
                                   19,
                                   kFaltaClave,
                                   kClaveYaExisteCatalogo,
                                   kProveedorConSaldo,
                                   "El Proveedor No Existe",
                                   kProveedorEliminado,
                                   "el proveedor ",
                                   Cartera::Proveedores,
                                   false};
  return d;
}

AjustesProveedores AjustesProveedores::de(const std::vector<std::string>& lineas, std::string dirSistema,
                                          std::string usuario) {
  AjustesProveedores a;
  a.dirDatos = linea(lineas, 8);
  a.dirSistema = std::move(dirSistema);
  a.usuario = std::move(usuario);
  a.buscaAlGuardar = linea(lineas, 1) == "NO";
  a.hojaCalculo = linea(lineas, 31);
  return a;
}

std::string claveProveedorPropuesta(bool vacia, const std::optional<std::string>& ultimaEnRango) {
  if (vacia) return "00001";
  long long v = 0;
  if (ultimaEnRango) {
    const std::string t = base::recortaEspaciosYTabs(*ultimaEnRango);
    if (!t.empty()) {
      auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
      if (ec != std::errc() || p != t.data() + t.size()) return *ultimaEnRango;
    }
  }
  std::string s = std::to_string(v + 1);
  if (static_cast<int>(s.size()) < kAnchoPropuesta) s.insert(0, static_cast<size_t>(kAnchoPropuesta) - s.size(), ' ');
  return s;
}

CatalogoProveedores::CatalogoProveedores(AjustesProveedores ajustes, base::Interaccion& ui, const base::Reloj& reloj,
                                         std::function<bool(int)> derecho)
    : CatalogoCuenta(defProveedores(), ajustes.dirDatos, ajustes.dirSistema, ajustes.buscaAlGuardar, ui, reloj,
                     std::move(derecho)),
      aj_(std::move(ajustes)) {}

CatalogoProveedores::~CatalogoProveedores() = default;

std::string CatalogoProveedores::siguienteClave() {
  dbf::Table& t = segunda();
  t.first();
  if (t.eof() || t.recno() == 0) return claveProveedorPropuesta(true, std::nullopt);
  std::optional<std::string> ultima;
  t.setRange({std::string(kDesde)}, {std::string(kHasta)});
  t.last();
  // Checked by hand: the cursor's end flag is no guide after last() in a range.
  if (t.recno() != 0) {
    const std::string k = t.asText("CLAVE_P");
    if (k >= kDesde && k <= kHasta) ultima = k;
  }
  t.cancelRange();
  return claveProveedorPropuesta(false, ultima);
}

std::string eliminaProveedor(const std::string& dirDatos, std::string_view clave) {
  return eliminaTitular(dirDatos, defProveedores(), clave);
}

// ---- payables inquiry --------------------------------------------------------------------

std::vector<CompraPorPagar> comprasProveedor(const std::string& dirDatos, std::string_view clave,
                                             FiltroConsulta filtro, std::string_view moneda) {
  std::vector<CompraPorPagar> v;
  dbf::Table t;
  t.open(dirDatos, kTablaComprasPagar);
  t.setIndex("CLPRV_O");
  const std::string k = claveGuardada(clave);
  if (base::recortaEspaciosYTabs(k).empty()) return v;
  t.setRange({k}, {k});
  const std::string monedaPedida = base::recortaEspaciosYTabs(moneda);
  for (t.first(); !t.eof(); t.next()) {
    // A blank status is an active receipt, never a cancelled one.
    if (store::cancelado(t.asText("STDOC_O"))) continue;
    const double saldo = t.asFloat("SALDO_O");
    if (filtro == FiltroConsulta::ConSaldo && !(saldo > kUmbralConSaldo)) continue;
    const std::string m = base::recortaEspaciosYTabs(t.asText("MONED_O"));
    if (!monedaPedida.empty() && m != monedaPedida && !(monedaPedida == "M.N." && m.empty())) continue;
    CompraPorPagar c;
    c.registro = t.recno();
    c.documento = base::recortaEspaciosYTabs(t.asText("CLDOC_O"));
    c.fecha = fechaTexto(t, "FEDOC_O");
    c.vence = fechaTexto(t, "FEPAG_O");
    c.referencia = t.asText("REFER_O");
    c.moneda = m;
    c.estado = store::textoEstadoCompra(t.asText("STDOC_O"));
    c.importe = t.asFloat("IMDOC_O");
    c.saldo = saldo;
    c.abono = base::redondea(c.importe - c.saldo, 4);
    v.push_back(std::move(c));
  }
  return v;
}

TotalesProveedor sumaTotales(const std::vector<CompraPorPagar>& compras) {
  TotalesProveedor t;
  for (const CompraPorPagar& c : compras) {
    t.cargos += c.importe;
    t.abonos += c.importe - c.saldo;
    t.saldo += c.saldo;
  }
  t.cargos = base::redondea(t.cargos, 4);
  t.abonos = base::redondea(t.abonos, 4);
  t.saldo = base::redondea(t.saldo, 4);
  return t;
}

EtiquetasTotales etiquetasTotales(std::string_view nombre, const TotalesProveedor& t) {
  auto importe = [](double v) { return "$" + base::formateaMascara(v, kMascara); };
  return {"Nombre:  " + std::string(nombre), "Cargos :   " + importe(t.cargos), "Abonos : - " + importe(t.abonos),
          "Saldo  :   " + importe(t.saldo)};
}

namespace {

// Writes the totals of the supplier at record r of t (open on proveedo.dbf).
bool escribeTotales(const std::string& dirDatos, dbf::Table& t, uint32_t r, TotalesProveedor* hecho,
                    base::Interaccion& ui) {
  const std::string clave = t.asText("CLAVE_P");
  if (store::bloquea({{&t, r, "el proveedor " + base::recorta(clave)}})) {
    ui.mensaje(kRegistroEnUso);
    return false;
  }
  store::UnidadGuardado unidad({dirDatos});
  // Read under the lock: a purchase or a payment saved meanwhile counts.
  const TotalesProveedor s = sumaTotales(comprasProveedor(dirDatos, clave, FiltroConsulta::Todos));
  if (!t.goTo(r)) {
    t.releaseLocks();
    ui.mensaje(kProveedorEliminado);
    return false;
  }
  t.edit();
  t.setFloat("CARGO_P", s.cargos);
  t.setFloat("ABONO_P", s.abonos);
  t.setFloat("SALDO_P", s.saldo);
  t.post();
  unidad.confirma();
  if (hecho) *hecho = s;
  return true;
}

}  // namespace

std::optional<TotalesProveedor> guardaTotalesProveedor(const std::string& dirDatos, std::string_view clave,
                                                       base::Interaccion& ui) {
  dbf::Table t;
  try {
    t.open(dirDatos, kTablaProveedores);
  } catch (const dbf::Error&) {
    ui.mensaje(kErrorAbrir);
    return std::nullopt;
  }
  try {
    t.setIndex("ICLAPRO");
    if (!t.findKey({claveGuardada(clave)})) {
      ui.mensaje(kProveedorNoExiste);
      return std::nullopt;
    }
    TotalesProveedor s;
    if (!escribeTotales(dirDatos, t, t.recno(), &s, ui)) return std::nullopt;
    return s;
  } catch (const dbf::Error&) {
    ui.mensaje(kErrorGuardarCatalogo);
    return std::nullopt;
  }
}

int actualizaSaldosProveedores(const std::string& dirDatos, base::Interaccion& ui) {
  dbf::Table t;
  try {
    t.open(dirDatos, kTablaProveedores);
  } catch (const dbf::Error&) {
    ui.mensaje(kErrorAbrir);
    return -1;
  }
  int n = 0;
  try {
    std::vector<uint32_t> registros;
    for (t.first(); !t.eof(); t.next()) registros.push_back(t.recno());
    for (uint32_t r : registros) {
      if (!t.goTo(r)) continue;
      if (!escribeTotales(dirDatos, t, r, nullptr, ui)) return -1;
      ++n;
    }
  } catch (const dbf::Error&) {
    ui.mensaje(kErrorGuardarCatalogo);
    return -1;
  }
  return n;
}

}  // namespace mostrador::accounts
