#include "inventory/catalogo_productos.h"

#include "store/copia_registro.h"

#include <charconv>
#include <cmath>
#include <set>

#include "inventory/precios.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"
#include "store/catalogo.h"

namespace mostrador::inventory {
namespace {

constexpr const char* kErrorAbrir = "Ha Ocurrido un Error al Abrir una de las Bases de Datos.";
constexpr const char* kErrorEditar = "No se Pueden Editar los Datos ha Ocurrido un Error";
constexpr const char* kErrorGuardar = "No se Pueden Guardar los Datos ha Ocurrido un Error";
constexpr const char* kClaveExisteSalir = "La Clave del producto ya existe, es necesario Modificarla";
constexpr const char* kClaveExisteGuardar = "La Clave Ya Existe es Necesario Cambiarla";
constexpr const char* kClaveBlanca = "La Clave del Producto no Puede Quedar en Blanco";
constexpr const char* kPreguntaEliminar = "Esta Seguro de Eliminar este Registro ?";
constexpr const char* kValorNoValido = "Valor no Válido";
constexpr const char* kAlmacenNoExiste = "El Almacén no Existe";
constexpr const char* kArchivoStocks = "inventar.cnf";

// Fields that record what happened to the product (stock, the year's sales, the last
// purchase and sale): a repeated product starts without them.
const std::set<std::string> kHistoria{"EXIST_I", "EXIFA_I", "COMRE_I", "VANMO_I", "VANCA_I",
                                      "FEULC_I", "FEULV_I", "FEALT_I", "HORAF_F"};

std::optional<double> leeNumero(std::string_view texto) {
  const std::string t = base::recortaEspaciosYTabs(texto);
  if (t.empty()) return std::nullopt;
  double v = 0;
  const char* fin = t.data() + t.size();
  auto [p, ec] = std::from_chars(t.data(), fin, v);
  if (ec != std::errc() || p != fin || !std::isfinite(v)) return std::nullopt;
  return v;
}

size_t letras(std::string_view utf8) {
  size_t n = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

}  // namespace

long long numeroDeClave(std::string_view clave) {
  const std::string t = base::recortaEspaciosYTabs(clave);
  if (t.empty()) return 0;
  long long v = 0;
  auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || p != t.data() + t.size()) return 0;
  return v;
}

std::string numeroCorto(double v) {
  char buf[64];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return ec == std::errc() ? std::string(buf, p) : std::to_string(v);
}

AjustesCatalogo AjustesCatalogo::de(const std::vector<std::string>& lineas, std::string dirTrabajo,
                                    std::string usuario) {
  auto linea = [&](int n) {
    return n >= 1 && static_cast<size_t>(n) <= lineas.size()
               ? base::recortaEspaciosYTabs(lineas[static_cast<size_t>(n - 1)])
               : std::string();
  };
  AjustesCatalogo a;
  a.dirDatos = linea(8);
  a.dirInventario = linea(59).empty() ? a.dirDatos : linea(59);
  a.dirTrabajo = std::move(dirTrabajo);
  a.usuario = std::move(usuario);
  a.buscaAlGuardar = linea(1) == "NO";
  a.sinNegativos = linea(41) == "N";
  a.integrados = linea(6) == "SI";
  a.multialmacen = linea(46) == "S";
  a.consecutivas = linea(64) == "S";
  a.margenFaltantes = linea(72);
  const auto stocks = base::leeLinea(base::une(a.dirTrabajo, kArchivoStocks), 1);
  a.checaStocks = stocks && base::recortaEspaciosYTabs(*stocks) == "S";
  return a;
}

CatalogoProductos::CatalogoProductos(AjustesCatalogo ajustes, base::Interaccion& ui,
                                     const base::Reloj& reloj, std::function<bool(int)> derecho)
    : aj_(std::move(ajustes)), ui_(ui), reloj_(reloj), derecho_(std::move(derecho)) {}

CatalogoProductos::~CatalogoProductos() = default;

bool CatalogoProductos::abre() {
  try {
    productos_.open(aj_.dirInventario, kTablaProductos);
    busqueda_.open(aj_.dirInventario, kTablaProductos);
    busqueda_.setIndex("ICLPRO");
    productos_.setIndex("ICLPRO");
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorAbrir);
    return false;
  }
  abierto_ = true;
  primero();
  return true;
}

std::string CatalogoProductos::titulo() const {
  switch (orden_) {
    case OrdenCatalogo::Descripcion:
      return "Inventario Ordenado por Descripción";
    case OrdenCatalogo::Codigo:
      return "Inventario Ordenado por Código";
    default:
      return "Inventario Ordenado por Clave";
  }
}

const dbf::Table& CatalogoProductos::registro() const {
  return modo_ == ModoCatalogo::Modifica ? copia_ : productos_;
}

dbf::Table& CatalogoProductos::edicion() { return modo_ == ModoCatalogo::Modifica ? copia_ : productos_; }

bool CatalogoProductos::hayProducto() const {
  const dbf::Table& r = registro();
  return r.isOpen() && r.recno() != 0;
}

std::string CatalogoProductos::texto(std::string_view campo) const {
  return hayProducto() ? registro().asText(campo) : std::string();
}

double CatalogoProductos::numero(std::string_view campo) const {
  return hayProducto() ? registro().asFloat(campo) : 0.0;
}

// ---- browsing -----------------------------------------------------------------------

bool CatalogoProductos::aceptaAlmacen() const {
  if (!aj_.multialmacen || productos_.recno() == 0) return true;
  std::string a = base::recortaEspaciosYTabs(productos_.asText("ALMAC_I"));
  if (a.empty()) a = "1";
  return a == almacen_;
}

// Past the records of other warehouses, in the direction of the move; the other way
// when that end has none.
void CatalogoProductos::ajustaAlAlmacen(bool haciaAdelante) {
  if (!aj_.multialmacen || productos_.recno() == 0 || aceptaAlmacen()) return;
  const uint32_t desde = productos_.recno();
  for (int vuelta = 0; vuelta < 2; ++vuelta) {
    const bool adelante = vuelta == 0 ? haciaAdelante : !haciaAdelante;
    productos_.goTo(desde);
    while (true) {
      if (adelante)
        productos_.next();
      else
        productos_.prior();
      if (adelante ? productos_.eof() : productos_.bof()) break;
      if (aceptaAlmacen()) return;
    }
  }
  productos_.goTo(desde);
}

void CatalogoProductos::tagOrden() {
  switch (orden_) {
    case OrdenCatalogo::Descripcion:
      productos_.setIndex("DSCPR_I");
      break;
    case OrdenCatalogo::Codigo:
      productos_.setIndex("CODIG_I");
      break;
    default:
      productos_.setIndex("ICLPRO");
  }
}

void CatalogoProductos::ordena(OrdenCatalogo o) {
  if (!abierto_ || editando()) return;
  orden_ = o;
  try {
    tagOrden();
  } catch (const dbf::Error&) {
    ui_.mensaje(kValorNoValido);
  }
}

void CatalogoProductos::primero() {
  if (!abierto_ || editando()) return;
  productos_.first();
  ajustaAlAlmacen(true);
}

void CatalogoProductos::anterior() {
  if (!abierto_ || editando()) return;
  const uint32_t r = productos_.recno();
  productos_.prior();
  if (!aceptaAlmacen()) {
    ajustaAlAlmacen(false);
    if (!aceptaAlmacen() || productos_.recno() == 0) productos_.goTo(r);
  }
}

void CatalogoProductos::siguiente() {
  if (!abierto_ || editando()) return;
  const uint32_t r = productos_.recno();
  productos_.next();
  if (!aceptaAlmacen()) {
    ajustaAlAlmacen(true);
    if (!aceptaAlmacen()) productos_.goTo(r);
  }
}

bool CatalogoProductos::cambiaAlmacen(std::string_view almacen) {
  std::string a = base::recortaEspaciosYTabs(almacen);
  if (a.empty()) a = "1";
  for (char c : a)
    if (c < '0' || c > '9') {
      ui_.mensaje(kAlmacenNoExiste);
      return false;
    }
  almacen_ = a;
  if (abierto_ && !editando()) {
    productos_.first();
    ajustaAlAlmacen(true);
  }
  return true;
}

void CatalogoProductos::alternaChecaStocks() {
  aj_.checaStocks = !aj_.checaStocks;
  base::escribeLineas(base::une(aj_.dirTrabajo, kArchivoStocks), {aj_.checaStocks ? "S" : "N"});
}

bool CatalogoProductos::busca() {
  if (!abierto_ || editando()) return false;
  const auto b = ui_.busca(false);
  if (!b) return false;
  try {
    if (b->campo == base::CampoBusqueda::Clave) {
      // The key as typed, then as a bar code; keys are kept in upper case, so a key typed
      // in lower case is tried that way too. Only then the nearest key, and it says so.
      auto hallada = [&](const std::string& k) {
        productos_.setIndex("ICLPRO");
        orden_ = OrdenCatalogo::Clave;
        if (productos_.findKey({k})) return true;
        productos_.setIndex("CODIG_I");
        orden_ = OrdenCatalogo::Codigo;
        return productos_.findKey({k});
      };
      const std::string mayusculas = base::mayusculasAscii(b->texto);
      if (!hallada(b->texto) && (mayusculas == b->texto || !hallada(mayusculas))) {
        productos_.setIndex("ICLPRO");
        orden_ = OrdenCatalogo::Clave;
        productos_.findNearest({b->texto});
        ajustaAlAlmacen(true);
        ui_.mensaje("La Clave " + b->texto + " No Existe: se muestra la más próxima");
      }
    } else {
      productos_.setIndex("DSCPR_I");
      orden_ = OrdenCatalogo::Descripcion;
      productos_.findNearest({b->texto});
    }
    ajustaAlAlmacen(true);
  } catch (const dbf::Error&) {
    ui_.mensaje(kValorNoValido);
    return false;
  }
  return true;
}

// ---- keys ---------------------------------------------------------------------------

int CatalogoProductos::cuentaClave(std::string_view clave, uint32_t excepto) const {
  const std::string k = base::recortaEspaciosYTabs(clave);
  int n = 0;
  busqueda_.setIndex("ICLPRO");
  if (!busqueda_.findKey({k})) return 0;
  for (; !busqueda_.eof(); busqueda_.next()) {
    if (base::recortaEspaciosYTabs(busqueda_.asText("CLPRO_I")) != k) break;
    std::string a = base::recortaEspaciosYTabs(busqueda_.asText("ALMAC_I"));
    if (a.empty()) a = "1";
    if (busqueda_.recno() != excepto && (!aj_.multialmacen || a == almacen_)) ++n;
  }
  return n;
}

ChequeoClave CatalogoProductos::saleClave(std::string_view clave) {
  const std::string k = base::recortaEspaciosYTabs(clave);
  if (k.empty()) return {"", true};
  if (base::anchoCp1252(k) > static_cast<size_t>(store::ancho::kClaveProducto)) {
    ui_.mensaje("La Clave no Puede Tener más de " + std::to_string(store::ancho::kClaveProducto) +
                " Caracteres");
    return {"", false};
  }
  if (modo_ == ModoCatalogo::Consulta) return {k, true};
  if (modo_ == ModoCatalogo::Modifica && k == claveOriginal_) return {k, true};
  try {
    if (cuentaClave(k, registroEditado_) > 0) {
      ui_.mensaje(kClaveExisteSalir);
      return {"", false};
    }
  } catch (const dbf::Error&) {
    ui_.mensaje(kValorNoValido);
    return {"", false};
  }
  return {k, true};
}

// ---- creating and modifying ------------------------------------------------------

bool CatalogoProductos::nuevo() {
  if (!abierto_ || editando() || !derecho_(32)) return false;
  try {
    orden_ = OrdenCatalogo::Clave;
    productos_.setIndex("ICLPRO");
    long long contador = 0;
    if (aj_.consecutivas) {
      productos_.last();
      ajustaAlAlmacen(false);
      if (productos_.recno() != 0) {
        const std::string ultima = base::recortaEspaciosYTabs(productos_.asText("CLPRO_I"));
        const bool esNumero = !ultima.empty() && ultima.find_first_not_of("0123456789") == std::string::npos;
        contador = esNumero ? numeroDeClave(ultima) + 1 : 0;
      }
    }
    productos_.append();
    if (contador > 0) productos_.setText("CLPRO_I", std::to_string(contador));
    productos_.setText("ALMAC_I", almacen_);
    // Posted blank at once: the record exists (and another station creating a product
    // gets its own) while this one is typed.
    productos_.post();
    registroEditado_ = productos_.recno();
    productos_.goTo(registroEditado_);
    productos_.edit();
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorEditar);
    return false;
  }
  imagen_.clear();
  claveOriginal_.clear();
  guardo_ = false;
  modo_ = ModoCatalogo::Nuevo;
  return true;
}

bool CatalogoProductos::abreCopia() {
  const store::DefTabla* def = store::buscaTabla(kTablaProductos);
  if (!def) return false;
  copia_.close();
  // Recreated each time: the working copy holds this one product only.
  dbf::Table::create(aj_.dirTrabajo, kCopiaTrabajo, def->campos);
  copia_.open(aj_.dirTrabajo, kCopiaTrabajo);
  return true;
}

void CatalogoProductos::vaciaCopia() {
  try {
    if (copia_.isOpen()) {
      if (copia_.editing()) copia_.cancel();
      copia_.close();
    }
    const store::DefTabla* def = store::buscaTabla(kTablaProductos);
    if (def) dbf::Table::create(aj_.dirTrabajo, kCopiaTrabajo, def->campos);
  } catch (const dbf::Error&) {
    // An old copy left behind is recreated by the next modification.
  }
}

bool CatalogoProductos::modifica() {
  if (!abierto_ || editando() || !hayProducto() || !derecho_(34)) return false;
  try {
    const uint32_t r = productos_.recno();
    productos_.setIndex("ICLPRO");
    orden_ = OrdenCatalogo::Clave;
    productos_.goTo(r);
    claveOriginal_ = base::cortaCp1252(base::recortaEspaciosYTabs(productos_.asText("CLPRO_I")), 25);
    if (!abreCopia()) throw dbf::Error("no working copy");
    copia_.append();
    valoresOriginales_.clear();
    for (const auto& f : copia_.fieldDefs()) {
      store::copiaCampo(productos_, copia_, f.name);
      valoresOriginales_.push_back(productos_.fieldIndex(f.name) >= 0 ? productos_.asText(f.name) : "");
    }
    copia_.post();
    copia_.first();
    copia_.edit();
    registroEditado_ = r;
    imagen_ = productos_.asText("IMAGE_I");
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorEditar);
    vaciaCopia();
    return false;
  }
  guardo_ = false;
  modo_ = ModoCatalogo::Modifica;
  return true;
}

bool CatalogoProductos::ponTexto(std::string_view campo, std::string_view valor) {
  if (!editando()) {
    // The companion screens (price policy, additional data) write the product at once.
    if (!hayProducto()) return false;
    try {
      productos_.edit();
    } catch (const dbf::Error&) {
      ui_.mensaje(kErrorEditar);
      return false;
    }
    const bool ok = ponCampo(productos_, campo, valor);
    try {
      if (ok)
        productos_.post();
      else
        productos_.cancel();
    } catch (const dbf::Error&) {
      ui_.mensaje(kErrorGuardar);
      if (productos_.editing()) productos_.cancel();
      return false;
    }
    return ok;
  }
  return ponCampo(edicion(), campo, valor);
}

bool CatalogoProductos::ponCampo(dbf::Table& t, std::string_view campo, std::string_view valor) {
  const int i = t.fieldIndex(campo);
  if (i < 0) return false;
  const dbf::FieldDef& f = t.fieldDefs()[static_cast<size_t>(i)];
  if (f.name == "EXIST_I") {
    ui_.mensaje("La Existencia Solo Cambia con los Movimientos al Inventario");
    return false;
  }
  if ((f.name == "VANMO_I" || f.name == "VANCA_I") && aj_.usuario != "0") return false;
  try {
    switch (f.type) {
      case 'N':
      case 'F': {
        if (base::recortaEspaciosYTabs(valor).empty()) {
          t.setNull(i);
          return true;
        }
        const auto v = leeNumero(valor);
        if (!v) {
          ui_.mensaje("\"" + std::string(valor) + "\" no es un Número Válido");
          return false;
        }
        t.setFloat(i, *v);
        return true;
      }
      case 'D': {
        if (base::recortaEspaciosYTabs(valor).empty()) {
          t.setNull(i);
          return true;
        }
        const auto d = dbf::leeFecha(base::recortaEspaciosYTabs(valor));
        if (!d) {
          ui_.mensaje("\"" + std::string(valor) + "\" no es una Fecha Válida");
          return false;
        }
        t.setDate(i, d);
        return true;
      }
      default:
        if (base::anchoCp1252(valor) > static_cast<size_t>(f.length)) {
          if (f.name == "CLPRO_I")
            ui_.mensaje("La Clave no Puede Tener más de " + std::to_string(f.length) + " Caracteres");
          else
            ui_.mensaje("El Dato no Puede Tener más de " + std::to_string(f.length) + " Caracteres");
          return false;
        }
        t.setText(i, valor);
        return true;
    }
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorEditar);
    return false;
  }
}

bool CatalogoProductos::ponImagen(std::string_view ruta) {
  const std::string r = base::recortaEspaciosYTabs(ruta);
  if (!r.empty() && !base::existe(r)) {
    ui_.mensaje("No Existe el Archivo " + r);
    return false;
  }
  imagen_ = r;
  if (editando()) {
    try {
      edicion().setText("IMAGE_I", r);
    } catch (const dbf::Error&) {
      ui_.mensaje(kErrorEditar);
      return false;
    }
  }
  return true;
}

bool CatalogoProductos::guarda(std::string_view clave) {
  if (!editando()) return false;
  const std::string k = base::recortaEspaciosYTabs(clave);
  if (k.empty()) {
    ui_.mensaje(kClaveBlanca);
    return false;
  }
  if (base::anchoCp1252(k) > static_cast<size_t>(store::ancho::kClaveProducto)) {
    ui_.mensaje("La Clave no Puede Tener más de " + std::to_string(store::ancho::kClaveProducto) +
                " Caracteres");
    return false;
  }
  try {
    if (modo_ == ModoCatalogo::Nuevo) {
      // The product's own record never counts; a key another station took meanwhile
      // (the consecutive key is not reserved) does.
      if (cuentaClave(k, registroEditado_) != 0) {
        ui_.mensaje(kClaveExisteGuardar);
        return false;
      }
      const auto hoy = reloj_.ahora().fecha;
      productos_.setDate("FEALT_I", dbf::Fecha{hoy.anio, hoy.mes, hoy.dia});
      productos_.setFloat("HORAF_F", static_cast<double>(numeroDeClave(aj_.usuario)));
      productos_.setText("CLPRO_I", k);
      productos_.setText("IMAGE_I", imagen_);
      productos_.setText("ALMAC_I", almacen_);  // the warehouse spinner, before every post
      productos_.post();
      if (aj_.buscaAlGuardar) {
        productos_.setIndex("ICLPRO");
        productos_.findKey({k});
      }
    } else {
      if (k != claveOriginal_ && cuentaClave(k, registroEditado_) != 0) {
        ui_.mensaje(kClaveExisteGuardar);
        return false;
      }
      copia_.setText("CLPRO_I", k);
      copia_.setText("IMAGE_I", imagen_);
      copia_.post();
      productos_.goTo(registroEditado_);
      productos_.edit();  // reads the record as it is on disk now, under its lock
      const auto& campos = copia_.fieldDefs();
      for (size_t i = 0; i < campos.size(); ++i) {
        const std::string& n = campos[i].name;
        if (n == "EXIST_I") continue;  // stock changes only through movements
        // What was not edited here keeps what is on disk: another station's sale may
        // have written it meanwhile.
        if (i < valoresOriginales_.size() && copia_.asText(n) == valoresOriginales_[i]) continue;
        store::copiaCampo(copia_, productos_, n);
      }
      productos_.setText("CLPRO_I", k);
      productos_.setText("ALMAC_I", almacen_);  // the warehouse spinner, before every post
      productos_.post();
      vaciaCopia();
    }
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardar);
    if (modo_ == ModoCatalogo::Modifica && productos_.editing()) productos_.cancel();
    if (modo_ == ModoCatalogo::Modifica && copia_.isOpen() && !copia_.editing()) {
      try {
        copia_.edit();
      } catch (const dbf::Error&) {
      }
    }
    return false;
  }
  modo_ = ModoCatalogo::Consulta;
  guardo_ = true;
  sale();
  return true;
}

void CatalogoProductos::sale() {
  registroEditado_ = 0;
  valoresOriginales_.clear();
  try {
    tagOrden();
  } catch (const dbf::Error&) {
  }
}

void CatalogoProductos::descarta() {
  if (!editando()) return;
  try {
    if (modo_ == ModoCatalogo::Nuevo) {
      const uint32_t r = registroEditado_;
      if (productos_.editing()) productos_.cancel();
      // The blank record posted when the product was started goes away.
      if (productos_.goTo(r)) productos_.remove();
      productos_.first();
    } else {
      vaciaCopia();
      productos_.goTo(registroEditado_);
    }
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardar);
  }
  modo_ = ModoCatalogo::Consulta;
  sale();
  ajustaAlAlmacen(true);
}

bool CatalogoProductos::cierra(std::string_view clave) {
  if (!editando()) return true;
  switch (ui_.cerrar()) {
    case base::RespuestaCerrar::Guardar:
      if (!base::recortaEspaciosYTabs(clave).empty()) return guarda(clave);
      descarta();
      return true;
    case base::RespuestaCerrar::Descartar:
      descarta();
      return true;
    default:
      return false;
  }
}

bool CatalogoProductos::elimina() {
  if (!abierto_ || editando() || !hayProducto() || !derecho_(33)) return false;
  if (ui_.advertencia(kPreguntaEliminar) != base::RespuestaAdvertencia::Si) return false;
  try {
    productos_.remove();
    productos_.next();
    if (productos_.eof() && productos_.recno() == 0) productos_.first();
    ajustaAlAlmacen(true);
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardar);
    return false;
  }
  return true;
}

bool CatalogoProductos::repite() {
  if (!abierto_ || editando() || !hayProducto()) return false;
  // The non-empty values, each followed by a comma, as one text.
  std::vector<std::string> campos;
  std::string valores;
  for (const auto& f : productos_.fieldDefs()) {
    const std::string v = productos_.asText(f.name);
    if (v.empty()) continue;
    campos.push_back(f.name);
    valores += v + ",";
  }
  if (!nuevo()) return false;
  // Read back one value per field up to each comma: a value that held a comma spills
  // over the fields after it.
  size_t desde = 0;
  for (const auto& campo : campos) {
    const size_t coma = valores.find(',', desde);
    if (coma == std::string::npos) break;
    const std::string v = valores.substr(desde, coma - desde);
    desde = coma + 1;
    if (campo == "CLPRO_I" || kHistoria.count(campo)) continue;
    try {
      const int i = productos_.fieldIndex(campo);
      const auto& def = productos_.fieldDefs()[static_cast<size_t>(i)];
      if (def.type == 'N' || def.type == 'F') {
        if (auto n = leeNumero(v)) productos_.setFloat(i, *n);
      } else if (def.type == 'D') {
        productos_.setDate(i, dbf::leeFecha(v));
      } else {
        productos_.setText(i, v);
      }
    } catch (const dbf::Error&) {
      // A value that does not fit its field stays out.
    }
  }
  imagen_ = productos_.asText("IMAGE_I");
  return true;
}

// ---- prices -------------------------------------------------------------------------

void CatalogoProductos::saleCosto() {
  if (!editando()) return;
  dbf::Table& t = edicion();
  try {
    const double margen = t.asFloat("PORC1_I");
    if (margen > 0) t.setFloat("PPUBL_I", precioPorMargen(t.asFloat("ULCOS_I"), margen));
    if (t.isNull("CPROM_I") && !t.isNull("ULCOS_I")) t.setFloat("CPROM_I", t.asFloat("ULCOS_I"));
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorEditar);
  }
}

void CatalogoProductos::salePrecio(int nivel) {
  if (!editando() || nivel < 2 || nivel > 7) return;
  const dbf::Table& t = edicion();
  const char* campo = kCamposPrecio[static_cast<size_t>(nivel - 1)];
  std::optional<double> precio, costo;
  if (!t.isNull(campo)) precio = t.asFloat(campo);
  if (!t.isNull("ULCOS_I")) costo = t.asFloat("ULCOS_I");
  if (precioBajoCosto(precio, costo)) ui_.mensaje(kPrecioMenorCosto);
}

bool CatalogoProductos::saleMargen(int nivel, std::string_view margen) {
  if (!hayProducto() || nivel < 1 || nivel > 7 || base::recortaEspaciosYTabs(margen).empty()) return false;
  const auto m = leeNumero(margen);
  if (!m) {
    ui_.mensaje("\"" + std::string(margen) + "\" no es un Número Válido");
    return false;
  }
  const size_t n = static_cast<size_t>(nivel - 1);
  dbf::Table& t = editando() ? edicion() : productos_;
  try {
    if (!t.editing()) t.edit();
    t.setFloat(kCamposMargen[n], *m);
    t.setFloat(kCamposPrecio[n], precioPorMargen(t.asFloat("ULCOS_I"), *m));
    // Posted at once; an edit in progress goes on.
    t.post();
    if (editando()) t.edit();
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardar);
    if (t.editing() && !editando()) t.cancel();
    return false;
  }
  return true;
}

// ---- what the screen shows ---------------------------------------------------------

Presentacion CatalogoProductos::presenta() {
  Presentacion p;
  if (!hayProducto()) return p;
  if (!editando()) {
    try {
      if (aj_.sinNegativos && productos_.asFloat("EXIST_I") < 0) {
        productos_.edit();
        productos_.setFloat("EXIST_I", 0);
        productos_.post();
      }
      if (base::recortaEspaciosYTabs(productos_.asText("ALMAC_I")).empty()) {
        productos_.edit();
        productos_.setText("ALMAC_I", "1");
        productos_.post();
      }
    } catch (const dbf::Error&) {
      if (productos_.editing()) productos_.cancel();
      ui_.mensaje(kErrorGuardar);
    }
  }
  const dbf::Table& t = registro();
  const double existencia = t.asFloat("EXIST_I");
  const double empaque = t.asFloat("UEMPA_I");
  if (empaque > 0) p.empaques = "EMPAQUES " + base::formateaMascara(existencia / empaque, "###,###,##0.00");
  const std::string imagen = base::recortaEspaciosYTabs(t.asText("IMAGE_I"));
  if (!imagen.empty()) {
    if (base::existe(imagen)) {
      p.imagen = p.rutaImagen = imagen;
      p.imagenVisible = true;
    } else {
      p.tituloImagen = "Imagen";
    }
  } else {
    const std::string blanco = base::une(aj_.dirTrabajo, "blanco.bmp");
    if (base::existe(blanco)) {
      p.imagen = blanco;
      p.imagenVisible = true;
    }
  }
  p.existenciaRoja = existencia < 0;
  if (modo_ != ModoCatalogo::Nuevo && aj_.checaStocks) {
    const double minimo = t.asFloat("STMIN_I"), maximo = t.asFloat("STMAX_I");
    if (minimo != 0 && minimo > existencia)
      ui_.mensaje("El Producto Esta por Debajo de su Stock Mínimo " + numeroCorto(minimo) + " Existencias " +
                  numeroCorto(existencia));
    if (maximo != 0 && maximo < existencia)
      ui_.mensaje("El Producto Esta por Arriba de su Stock Máximo " + numeroCorto(maximo) + " Existencias " +
                  numeroCorto(existencia));
  }
  const std::string clave = base::recortaEspaciosYTabs(t.asText("CLPRO_I"));
  p.disponible = existencia;
  try {
    dbf::Table e;
    e.open(aj_.dirDatos, "Existe.dbf");
    e.setIndex("CLAVE");
    if (!clave.empty()) {
      e.setRange({clave}, {clave});
      for (e.first(); !e.eof(); e.next()) p.disponible += e.asFloat("CANTI");
    }
  } catch (const dbf::Error&) {
    // No pending quantities: the stock alone.
  }
  p.caracteres = "Caracteres " + std::to_string(letras(clave));
  return p;
}

}  // namespace mostrador::inventory
