#include "accounts/vendedores.h"

#include <cmath>

#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"
#include "store/estados.h"
#include "store/unidad.h"

namespace mostrador::accounts {
namespace {

constexpr const char* kClave = "CLVEN_V";
constexpr const char* kIndiceClave = "ICLAVEN";
constexpr const char* kIndiceNombre = "NOMBR_V";

// The fields the screen edits, and the telephone it keeps: what a failed save puts back.
const std::vector<std::string>& camposPantalla() {
  static const std::vector<std::string> c{"CLVEN_V", "NOMBR_V", "TELEF_V", "COMIS_V", "CLASV_V", "STATU_V"};
  return c;
}

std::string linea(const std::vector<std::string>& lineas, int n) {
  return n >= 1 && static_cast<size_t>(n) <= lineas.size()
             ? base::recortaEspaciosYTabs(lineas[static_cast<size_t>(n - 1)])
             : std::string();
}

}  // namespace

AjustesVendedores AjustesVendedores::de(const std::vector<std::string>& lineas, std::string dirSistema,
                                        std::string usuario) {
  AjustesVendedores a;
  a.dirDatos = linea(lineas, 8);
  a.dirSistema = std::move(dirSistema);
  a.usuario = std::move(usuario);
  a.buscaAlGuardar = linea(lineas, 1) == "NO";
  a.formato = linea(lineas, 13);
  return a;
}

std::string AjustesVendedores::rutaFormato() const { return base::une(dirSistema, "consulta\\" + formato); }

CatalogoVendedores::CatalogoVendedores(AjustesVendedores ajustes, base::Interaccion& ui,
                                       std::function<bool(int)> derecho)
    : aj_(std::move(ajustes)), ui_(ui), derecho_(std::move(derecho)), rutaFormato_(aj_.rutaFormato()) {}

CatalogoVendedores::~CatalogoVendedores() = default;

bool CatalogoVendedores::abre() {
  bool fallo = false;
  try {
    vendedores_.open(aj_.dirDatos, kTablaVendedores);
    busqueda_.open(aj_.dirDatos, kTablaVendedores);
    busqueda_.setIndex(kIndiceClave);
    vendedores_.setIndex(kIndiceClave);
    abierto_ = true;
  } catch (const dbf::Error&) {
    vendedores_.close();
    busqueda_.close();
    fallo = true;
  }
  try {
    facturas_.open(aj_.dirDatos, aj_.tablaFacturas);
  } catch (const dbf::Error&) {
    fallo = true;
  }
  if (fallo) ui_.mensaje(kVendedorErrorAbrir);
  if (abierto_) primero();
  return abierto_;
}

void CatalogoVendedores::refresca() {
  if (!abierto_ || editando()) return;
  const uint32_t r = vendedores_.recno();
  vendedores_.refresh();
  try {
    if (r == 0 || !vendedores_.goTo(r)) vendedores_.first();
  } catch (const dbf::Error&) {
    ui_.mensaje(kVendedorErrorAbrir);
  }
}

std::string CatalogoVendedores::titulo() const {
  return orden_ == OrdenVendedores::Nombre ? "Vendedores Ordenado por Nombre" : "Vendedores Ordenado por Clave";
}

bool CatalogoVendedores::hayVendedor() const {
  return abierto_ && (editando() || vendedores_.recno() != 0);
}

std::string CatalogoVendedores::texto(std::string_view campo) const {
  if (!hayVendedor() || vendedores_.fieldIndex(campo) < 0) return {};
  return vendedores_.asText(campo);
}

double CatalogoVendedores::numero(std::string_view campo) const {
  if (!hayVendedor() || vendedores_.fieldIndex(campo) < 0) return 0;
  return vendedores_.asFloat(campo);
}

void CatalogoVendedores::tagOrden() {
  vendedores_.setIndex(orden_ == OrdenVendedores::Nombre ? kIndiceNombre : kIndiceClave);
}

// ---- browsing ---------------------------------------------------------------------------

void CatalogoVendedores::primero() {
  if (!abierto_ || editando()) return;
  try {
    vendedores_.first();
  } catch (const dbf::Error&) {
    ui_.mensaje(kVendedorErrorAbrir);
  }
}

void CatalogoVendedores::siguiente() {
  if (!abierto_ || editando()) return;
  try {
    vendedores_.next();
  } catch (const dbf::Error&) {
    ui_.mensaje(kVendedorErrorAbrir);
  }
}

void CatalogoVendedores::anterior() {
  if (!abierto_ || editando()) return;
  try {
    vendedores_.prior();
  } catch (const dbf::Error&) {
    ui_.mensaje(kVendedorErrorAbrir);
  }
}

bool CatalogoVendedores::busca() {
  if (!abierto_ || editando()) return false;
  const auto b = ui_.busca(false);
  if (!b) return false;
  try {
    orden_ = b->campo == base::CampoBusqueda::Nombre ? OrdenVendedores::Nombre : OrdenVendedores::Clave;
    tagOrden();
    vendedores_.findNearest({b->texto});
  } catch (const dbf::Error&) {
    ui_.mensaje(kVendedorErrorAbrir);
    return false;
  }
  return true;
}

bool CatalogoVendedores::abreEnClave(std::string_view clave) {
  if (!abierto_ || editando()) return false;
  try {
    orden_ = OrdenVendedores::Clave;
    tagOrden();
    const std::string k = base::recortaEspaciosYTabs(clave);
    if (vendedores_.findKey({k})) return true;
    vendedores_.findNearest({k});
  } catch (const dbf::Error&) {
    ui_.mensaje(kVendedorErrorAbrir);
  }
  return false;
}

std::pair<std::string, std::string> CatalogoVendedores::ayuda(std::string_view campo) const {
  int n = 0;
  if (campo == "CLVEN_V") n = 1;
  else if (campo == "NOMBR_V") n = 3;
  else if (campo == "COMIS_V") n = 5;
  else if (campo == "CLASV_V") n = 7;
  if (n == 0) return {};
  const std::string des = base::une(aj_.dirSistema, kAyudaVendedores);
  return {base::leeLinea(des, n).value_or(""), base::leeLinea(des, n + 1).value_or("")};
}

// ---- editing ----------------------------------------------------------------------------

bool CatalogoVendedores::nuevo() {
  if (!abierto_ || editando() || !derecho_(14)) return false;
  try {
    orden_ = OrdenVendedores::Clave;
    tagOrden();
    registroEditado_ = vendedores_.recno();  // where Cancel comes back to
    vendedores_.append();
  } catch (const dbf::Error&) {
    ui_.mensaje(kVendedorErrorEditar);
    return false;
  }
  claveOriginal_.clear();
  guardo_ = false;
  modo_ = ModoVendedores::Nuevo;
  return true;
}

bool CatalogoVendedores::modifica() {
  if (!abierto_ || editando() || vendedores_.recno() == 0 || !derecho_(16)) return false;
  try {
    const uint32_t r = vendedores_.recno();
    orden_ = OrdenVendedores::Clave;
    tagOrden();
    vendedores_.goTo(r);
    // The edit takes the record's lock now and reads it as it is on disk: a seller held
    // by another station is refused here, before anything is typed.
    vendedores_.edit();
    registroEditado_ = r;
    claveOriginal_ = base::recortaEspaciosYTabs(vendedores_.asText(kClave));
  } catch (const dbf::Error&) {
    ui_.mensaje(kVendedorErrorEditar);
    return false;
  }
  guardo_ = false;
  modo_ = ModoVendedores::Modifica;
  return true;
}

bool CatalogoVendedores::ponTexto(std::string_view campo, std::string_view valor) {
  if (!editando()) return false;
  const int i = vendedores_.fieldIndex(campo);
  if (i < 0) return false;
  const dbf::FieldDef& f = vendedores_.fieldDefs()[static_cast<size_t>(i)];
  try {
    if (f.type == 'N' || f.type == 'F') {
      const std::string limpio = base::recortaEspaciosYTabs(valor);
      if (limpio.empty()) {
        vendedores_.setNull(i);
        return true;
      }
      const auto v = base::leeNumero(limpio);
      if (!v || !std::isfinite(*v)) {
        ui_.mensaje("\"" + std::string(valor) + "\" no es un Número Válido");
        return false;
      }
      vendedores_.setFloat(i, *v);
      return true;
    }
    vendedores_.setText(i, valor);  // cut to the field's width
  } catch (const dbf::Error&) {
    ui_.mensaje(kVendedorErrorEditar);
    return false;
  }
  return true;
}

int CatalogoVendedores::cuentaClave(const std::string& k, uint32_t excepto) {
  int n = 0;
  busqueda_.setRange({k}, {k});
  for (busqueda_.first(); !busqueda_.eof(); busqueda_.next())
    if (busqueda_.recno() != excepto) ++n;
  busqueda_.cancelRange();
  return n;
}

bool CatalogoVendedores::pruebasClave(const std::string& k) {
  if (k.empty()) {
    ui_.mensaje(kVendedorFaltaClave);
    return false;
  }
  // A new seller never shares a key; a changed one may keep its own key (old data may
  // hold it twice) but not take another seller's.
  const bool nuevo = modo_ == ModoVendedores::Nuevo;
  if (nuevo || k != claveOriginal_) {
    if (cuentaClave(k, nuevo ? 0 : registroEditado_) != 0) {
      ui_.mensaje(kVendedorClaveExiste);
      return false;
    }
  }
  return true;
}

void CatalogoVendedores::vuelveAEditar(const std::vector<std::pair<std::string, std::string>>& valores) {
  try {
    if (!vendedores_.editing()) {
      if (modo_ == ModoVendedores::Nuevo) {
        vendedores_.append();
      } else {
        vendedores_.goTo(registroEditado_);
        vendedores_.edit();
      }
    }
    for (const auto& [campo, v] : valores) {
      if (v.empty())
        vendedores_.setNull(campo);
      else if (campo == "COMIS_V")
        vendedores_.setFloat(campo, base::numeroSeguro(v));
      else
        vendedores_.setText(campo, v);
    }
  } catch (const dbf::Error&) {
    // The typed values are lost with the record; the screen shows what the table holds.
  }
}

bool CatalogoVendedores::escribe() {
  const std::string k = base::recortaEspaciosYTabs(vendedores_.asText(kClave));
  std::vector<std::pair<std::string, std::string>> valores;
  for (const auto& c : camposPantalla()) valores.emplace_back(c, vendedores_.asText(c));
  try {
    if (modo_ == ModoVendedores::Modifica) {
      // Already held by the edit; the lock phase names it all the same, so that a save
      // that somehow lost it waits for it as every save does.
      store::Bloqueo b;
      b.tabla = &vendedores_;
      b.registro = registroEditado_;
      b.quien = "el vendedor " + k;
      if (store::bloquea({b})) {
        ui_.mensaje(kVendedorErrorEditar);
        return false;
      }
    }
    store::UnidadGuardado unidad({aj_.dirDatos});
    if (!pruebasClave(k)) return false;
    vendedores_.setText(kClave, k);
    vendedores_.post();
    unidad.confirma();
  } catch (const dbf::Error&) {
    ui_.mensaje(kVendedorErrorGuardar);
    vuelveAEditar(valores);
    return false;
  }
  if (aj_.buscaAlGuardar) {
    try {
      vendedores_.setIndex(kIndiceClave);
      vendedores_.findKey({k});
    } catch (const dbf::Error&) {
    }
  }
  return true;
}

bool CatalogoVendedores::guarda() {
  if (!editando()) return false;
  if (!escribe()) return false;
  modo_ = ModoVendedores::Consulta;
  guardo_ = true;
  registroEditado_ = 0;
  try {
    const uint32_t r = vendedores_.recno();
    tagOrden();
    if (r != 0) vendedores_.goTo(r);
  } catch (const dbf::Error&) {
  }
  return true;
}

void CatalogoVendedores::descarta() {
  if (!editando()) return;
  try {
    // A new seller never reached the table; a changed one goes back to what is on disk.
    if (vendedores_.editing()) vendedores_.cancel();
    if (registroEditado_ == 0 || !vendedores_.goTo(registroEditado_)) vendedores_.first();
  } catch (const dbf::Error&) {
  }
  modo_ = ModoVendedores::Consulta;
  registroEditado_ = 0;
  try {
    tagOrden();
  } catch (const dbf::Error&) {
  }
}

bool CatalogoVendedores::cierra() {
  if (!editando()) return true;
  switch (ui_.cerrar()) {
    case base::RespuestaCerrar::Guardar:
      return guarda();
    case base::RespuestaCerrar::Descartar:
      descarta();
      return true;
    default:
      return false;
  }
}

bool CatalogoVendedores::elimina() {
  if (!abierto_ || editando() || vendedores_.recno() == 0 || !derecho_(15)) return false;
  if (ui_.advertencia(kVendedorPreguntaEliminar) != base::RespuestaAdvertencia::Si) return false;
  const uint32_t r = vendedores_.recno();
  try {
    store::Bloqueo b;
    b.tabla = &vendedores_;
    b.registro = r;
    b.quien = "el vendedor " + vendedores_.asText(kClave);
    if (store::bloquea({b})) {
      ui_.mensaje(kVendedorErrorEditar);
      return false;
    }
    store::UnidadGuardado unidad({aj_.dirDatos});
    if (vendedores_.goTo(r)) {
      vendedores_.remove();
      unidad.confirma();
    } else {
      vendedores_.releaseLocks();  // another station deleted it already
    }
    if (vendedores_.recno() == 0) vendedores_.first();
  } catch (const dbf::Error&) {
    ui_.mensaje(kVendedorErrorGuardar);
    return false;
  }
  return true;
}

// ---- printing ---------------------------------------------------------------------------

bool CatalogoVendedores::eligeFormato(std::string_view ruta) {
  const std::string r = base::recortaEspaciosYTabs(ruta);
  if (r.empty() || !base::existe(r)) {
    ui_.mensaje("El Formato " + r + " No Existe");
    return false;
  }
  rutaFormato_ = r;
  return true;
}

std::vector<uint32_t> CatalogoVendedores::registrosEnRango(std::string_view desde, std::string_view hasta) {
  std::vector<uint32_t> r;
  if (!abierto_) return r;
  const std::string de = base::recortaEspaciosYTabs(desde), a = base::recortaEspaciosYTabs(hasta);
  // Keys order by their stored bytes, as the index does.
  if (!de.empty() && !a.empty() && base::aCp1252(de) > base::aCp1252(a)) return r;
  try {
    dbf::Table t;
    t.open(aj_.dirDatos, kTablaVendedores);
    t.setIndex(kIndiceClave);
    // A blank key sorts before every typed one, so the blank end opens the range.
    if (!a.empty()) t.setRange({de}, {a});
    if (de.empty()) t.first();
    else t.findNearest({de});
    for (; !t.eof(); t.next()) r.push_back(t.recno());
  } catch (const dbf::Error&) {
    ui_.mensaje(kVendedorErrorAbrir);
    r.clear();
  }
  return r;
}

// ---- the command line -------------------------------------------------------------------

std::string eliminaVendedor(const std::string& dirDatos, std::string_view clave) {
  dbf::Table t;
  try {
    t.open(dirDatos, kTablaVendedores);
    t.setIndex(kIndiceClave);
  } catch (const dbf::Error&) {
    return std::string(kVendedorErrorAbrir);
  }
  try {
    const std::string k = base::recortaEspaciosYTabs(clave);
    if (k.empty() || !t.findKey({k})) return std::string(kVendedorNoExiste);
    store::Bloqueo b;
    b.tabla = &t;
    b.registro = t.recno();
    b.quien = "el vendedor " + k;
    if (store::bloquea({b})) return std::string(kVendedorErrorEditar);
    store::UnidadGuardado unidad({dirDatos});
    if (!t.goTo(b.registro)) return std::string(kVendedorNoExiste);
    t.remove();
    unidad.confirma();
  } catch (const dbf::Error&) {
    return std::string(kVendedorErrorGuardar);
  }
  return {};
}

// ---- reports ----------------------------------------------------------------------------

const std::vector<std::pair<std::string, std::string>>& reportesVendedores() {
  static const std::vector<std::pair<std::string, std::string>> r{
      {"Listadode1", "Listado de Vendedores"},
      {"Comisiones1", "Comisiones"},
      {"ComisionesConcentrado1", "Comisiones Concentrado"},
  };
  return r;
}

namespace {

constexpr std::string_view kComillaAngular = "\xC2\xAB";   // «: where an order column may go
constexpr std::string_view kLugarFiltro = "\xC2\xBF";      // ¿: where the filter goes

std::string rutaTabla(const std::string& dir, const std::string& archivo) {
  return "\"" + base::une(dir, archivo) + "\"";
}

}  // namespace

std::optional<inventory::DefinicionReporte> reporteVendedor(std::string_view menu, const std::string& dirDatos,
                                                            const std::string& tablaFacturas) {
  std::string titulo;
  for (const auto& [m, t] : reportesVendedores())
    if (m == menu) titulo = t;
  if (titulo.empty()) return std::nullopt;
  std::vector<std::string> lineas{"$" + titulo};
  if (menu == "Listadode1") {
    lineas.push_back("& Select CLVEN_V,NOMBR_V,TELEF_V,COMIS_V" + std::string(kComillaAngular) + " from " +
                     rutaTabla(dirDatos, kTablaVendedores));
    lineas.push_back("?(CLVEN_V=CLVEN_V)" + std::string(kLugarFiltro));
    lineas.push_back("!CLVEN_V");
    lineas.push_back("%c          c                  c                f             ");
    lineas.push_back("#VENDEDOR    NOMBRE             TELEFONO        COMISION       ");
  } else {
    // The name beside the seller's key is the seller's own, read from the seller table:
    // a document of a deleted seller (or of none) shows the key without a name. The
    // commission is the document's percent of its subtotal, as every sales report
    // computes it, and a cancelled document earns none. A blank state is NULL to the
    // SQL layer, hence the IS NULL half of that test.
    lineas.push_back("& Select CLVEN_F,NOMBR_V,CLDOC_F,SUBTO_F,SUBTO_F*CTOVE_F*0.01,FEDOC_F" +
                     std::string(kComillaAngular) + " from " + rutaTabla(dirDatos, tablaFacturas) +
                     " F LEFT JOIN " + rutaTabla(dirDatos, kTablaVendedores) + " V ON V.CLVEN_V=F.CLVEN_F");
    lineas.push_back("?(CLVEN_F=CLVEN_F OR CLVEN_F IS NULL) AND " + store::condicionNoCancelado("STATU_F") + "  " +
                     std::string(kLugarFiltro));
    lineas.push_back("!CLVEN_F,CLDOC_F");
    if (menu == "ComisionesConcentrado1") lineas.push_back(">CLVEN_F");
    lineas.push_back("%c          c                  e              t                t             c             ");
    lineas.push_back("#VENDEDOR    NOMBRE            DOCUMENTO      SUBTOTAL         COMISION      FECHA_DOC.    ");
  }
  lineas.push_back("@");
  std::string texto;
  for (const auto& l : lineas) texto += l + "\r";
  return inventory::DefinicionReporte{std::string(menu), titulo, texto};
}

std::optional<OrigenReporteVendedor> origenReporteVendedor(std::string_view menu, const std::string& tablaFacturas) {
  if (menu == "Listadode1") return OrigenReporteVendedor{kTablaVendedores, "CLVEN_V", ""};
  if (menu == "Comisiones1" || menu == "ComisionesConcentrado1")
    return OrigenReporteVendedor{tablaFacturas, "CLDOC_F", "FEDOC_F"};
  return std::nullopt;
}

}  // namespace mostrador::accounts
