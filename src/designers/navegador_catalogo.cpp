#include "designers/navegador_catalogo.h"

#include <filesystem>

#include <algorithm>
#include <cmath>

#include "reports/columnas_reporte.h"
#include "query/consola_sql.h"
#include "query/constructor_consulta.h"
#include "base/confcamp.h"
#include "base/fechas.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"
#include "store/dbf/lector_secuencial.h"
#include "store/sql/consulta_a_tabla.h"
#include "store/sql/sql.h"

namespace mostrador::designers {

namespace {

constexpr std::string_view kCabeceraPlantilla = "PLANTILLA 1";

std::string nombreBase(std::string_view tabla) {
  auto barra = tabla.find_last_of("\\/");
  std::string_view n = barra == std::string_view::npos ? tabla : tabla.substr(barra + 1);
  return std::string(n.substr(0, n.find('.')));
}

bool esNumerico(const dbf::FieldDef& f) { return f.type == 'N' || f.type == 'F'; }

// Compares two texts as the condition's operator code says; dates by their calendar.
bool cumple(char codigo, const std::string& campo, const std::string& valor, bool fecha) {
  int cmp;
  if (fecha) {
    auto a = base::leeFechaCorta(campo), b = base::leeFechaCorta(valor);
    if (!a) return false;
    cmp = *a < *b ? -1 : (*b < *a ? 1 : 0);
  } else {
    cmp = campo.compare(valor);
    cmp = cmp < 0 ? -1 : (cmp > 0 ? 1 : 0);
  }
  switch (codigo) {
    case '<': return cmp < 0;
    case '=': return cmp == 0;
    case '>': return cmp > 0;
    case 'X': return cmp != 0;
    case 'Y': return cmp <= 0;
    case 'Z': return cmp >= 0;
    case 'W': return campo.find(valor) != std::string::npos;
    default: return true;
  }
}

}  // namespace

std::vector<CondicionFiltro> leeCondicionesFiltro(std::string_view texto) {
  std::vector<std::string> partes;
  std::string actual;
  for (char c : texto) {
    if (c == '*') {
      partes.push_back(actual);
      actual.clear();
    } else {
      actual.push_back(c);
    }
  }
  std::vector<CondicionFiltro> r;
  for (size_t i = 0; i + 3 < partes.size() && r.size() < NavegadorCatalogo::kMaxCondiciones; i += 4)
    r.push_back({partes[i], partes[i + 1], partes[i + 2], partes[i + 3]});
  return r;
}

std::string muestraValor(const dbf::FieldDef& campo, char tipo, std::string_view texto) {
  const std::string t = base::recorta(texto);
  if (!esNumerico(campo) || t.empty()) return t;
  const auto v = base::leeNumero(t);
  if (!v) return t;
  if (tipo == 'm') return base::formateaMascara(*v, "$#,###,##0.00;($#,###,##0.00)");
  if (tipo == 'n' || campo.decimals > 0) return base::formateaMascara(*v, "#,###,##0.00");
  return t;
}

std::vector<int> reparteAnchos(const std::vector<int>& anchos, const std::vector<bool>& automaticas, int disponible) {
  std::vector<int> r = anchos;
  long total = 0, automatico = 0;
  int ultima = -1;
  for (size_t i = 0; i < anchos.size(); ++i) {
    total += anchos[i];
    if (i < automaticas.size() && automaticas[i]) {
      automatico += anchos[i];
      ultima = static_cast<int>(i);
    }
  }
  const long extra = disponible - total;
  if (extra <= 0 || ultima < 0 || automatico <= 0) return r;
  long repartido = 0;
  for (size_t i = 0; i < anchos.size(); ++i) {
    if (!(i < automaticas.size() && automaticas[i])) continue;
    const long parte = static_cast<int>(i) == ultima ? extra - repartido : extra * anchos[i] / automatico;
    r[i] = static_cast<int>(anchos[i] + parte);
    repartido += parte;
  }
  return r;
}

NavegadorCatalogo::NavegadorCatalogo(base::Interaccion& ui, std::string directorioSistema,
                                     std::string directorioDatos, std::string tabla,
                                     std::vector<ColumnaCatalogo> columnas)
    : ui_(ui), sistema_(std::move(directorioSistema)), datos_(std::move(directorioDatos)),
      tabla_(std::move(tabla)), t_(std::make_unique<dbf::Table>()) {
  t_->open(datos_, tabla_);
  cobranza_ = base::mismoNombre(nombreBase(tabla_) + ".dbf", "cucobrar.dbf");
  for (auto& c : columnas) {
    if (c.campo.empty() || indiceCampo(c.campo) < 0) continue;
    c.campo = base::mayusculasAscii(c.campo);
    c.titulo = titulo(c.campo, c.titulo);
    columnas_.push_back(std::move(c));
  }
  if (columnas_.empty()) todosLosCampos();
  reinicia();
}

NavegadorCatalogo::~NavegadorCatalogo() = default;

const std::vector<dbf::FieldDef>& NavegadorCatalogo::campos() const { return t_->fieldDefs(); }

int NavegadorCatalogo::indiceCampo(std::string_view campo) const { return t_->fieldIndex(campo); }

std::string NavegadorCatalogo::titulo(std::string_view campo, std::string_view porOmision) const {
  if (auto d = query::campoDiccionario(sistema_, campo); d && !d->describe.empty()) return d->describe;
  return porOmision.empty() ? std::string(campo) : std::string(porOmision);
}

std::string NavegadorCatalogo::textoRegistros() const {
  return "Registros  " + std::to_string(t_->recordCount());
}

std::string NavegadorCatalogo::textoCelda(int fila, int columna) const {
  if (fila < 0 || fila >= static_cast<int>(filas_.size()) || columna < 0 ||
      columna >= static_cast<int>(columnas_.size()))
    return {};
  const auto& celdas = filas_[static_cast<size_t>(fila)].celdas;
  const int i = indiceCampo(columnas_[static_cast<size_t>(columna)].campo);
  if (i < 0 || static_cast<size_t>(columna) >= celdas.size()) return {};
  return muestraValor(campos()[static_cast<size_t>(i)], columnas_[static_cast<size_t>(columna)].tipo,
                      celdas[static_cast<size_t>(columna)]);
}

bool NavegadorCatalogo::columnaNumerica(int columna) const {
  if (columna < 0 || columna >= static_cast<int>(columnas_.size())) return false;
  const int i = indiceCampo(columnas_[static_cast<size_t>(columna)].campo);
  return i >= 0 && esNumerico(campos()[static_cast<size_t>(i)]);
}

int NavegadorCatalogo::largoCampo(int columna) const {
  if (columna < 0 || columna >= static_cast<int>(columnas_.size())) return 0;
  const int i = indiceCampo(columnas_[static_cast<size_t>(columna)].campo);
  return i < 0 ? 0 : static_cast<int>(campos()[static_cast<size_t>(i)].length);
}

void NavegadorCatalogo::reinicia() {
  filas_.clear();
  filaBuscada_ = -1;
  fin_ = false;
  empezado_ = false;
  indicesColumna_.clear();
  for (const auto& c : columnas_) indicesColumna_.push_back(indiceCampo(c.campo));
}

bool NavegadorCatalogo::pasaFiltro(const std::function<std::string(int)>& texto) const {
  if (cobranza_) {
    const int i = indiceCampo("TIMOV_CC");
    if (i >= 0) {
      const std::string m = base::recorta(texto(i));
      if (m != "1" && m != "2") return false;
    }
  }
  for (const auto& c : condiciones_) {
    const int i = indiceCampo(c.campo);
    if (i < 0) continue;
    const char codigo = reports::codigoOperador(c.operador, ' ');
    const bool fecha = campos()[static_cast<size_t>(i)].type == 'D';
    if (!cumple(codigo, base::recorta(texto(i)), c.valor, fecha)) return false;
  }
  return true;
}

size_t NavegadorCatalogo::cargaMas(size_t n) {
  try {
    return leeMas(n);
  } catch (const dbf::Error& e) {
    // A table that cannot be read further ends the rows; what was read stays shown.
    fin_ = true;
    ui_.mensaje(e.what());
    return 0;
  }
}

size_t NavegadorCatalogo::leeMas(size_t n) {
  if (fin_) return 0;
  if (!empezado_) {
    if (desde_) t_->findNearest(*desde_);
    else t_->first();
    empezado_ = true;
  } else {
    if (t_->recno() != ultimo_) t_->goTo(ultimo_);
    t_->next();
  }
  size_t agregadas = 0;
  auto texto = [this](int i) { return t_->asText(i); };
  while (!t_->isEmpty() && !t_->eof()) {
    if (pasaFiltro(texto)) {
      FilaCatalogo f;
      f.recno = t_->recno();
      for (int i : indicesColumna_) f.celdas.push_back(t_->asText(i));
      filas_.push_back(std::move(f));
      if (++agregadas == n) {
        ultimo_ = t_->recno();
        return agregadas;
      }
    }
    t_->next();
  }
  fin_ = true;
  return agregadas;
}

void NavegadorCatalogo::todosLosCampos() {
  columnas_.clear();
  for (const auto& f : campos()) columnas_.push_back({f.name, titulo(f.name, ""), 0, ' '});
  reinicia();
}

std::string NavegadorCatalogo::rutaPlantilla() const {
  return base::une(sistema_, nombreBase(tabla_) + ".pla");
}
std::string NavegadorCatalogo::rutaIndice() const {
  return base::une(sistema_, nombreBase(tabla_) + ".xla");
}

bool NavegadorCatalogo::restauraPlantilla() {
  auto lineas = base::leeLineas(rutaPlantilla());
  if (!lineas) return false;
  std::vector<ColumnaCatalogo> nuevas;
  bool valida = !lineas->empty() && (*lineas)[0] == kCabeceraPlantilla;
  for (size_t i = 1; valida && i < lineas->size(); ++i) {
    const std::string& l = (*lineas)[i];
    if (l.empty()) continue;
    auto a = l.find('|'), b = a == std::string::npos ? a : l.find('|', a + 1);
    if (b == std::string::npos) { valida = false; break; }
    ColumnaCatalogo c{l.substr(0, a), l.substr(a + 1, b - a - 1), 80, ' '};
    const std::string ancho = l.substr(b + 1);
    if (ancho.empty() || ancho.find_first_not_of("0123456789") != std::string::npos || ancho.size() > 5) {
      valida = false;
      break;
    }
    c.ancho = std::stoi(ancho);
    if (indiceCampo(c.campo) >= 0) nuevas.push_back(std::move(c));
  }
  if (!valida || nuevas.empty()) {
    ui_.mensaje("El archivo de columnas " + rutaPlantilla() + " no es válido");
    return false;
  }
  columnas_ = std::move(nuevas);
  if (auto tag = base::leeLinea(rutaIndice(), 1); tag && !tag->empty()) {
    bool existe = false;
    for (const auto& t : t_->tags())
      existe = existe || base::mayusculasAscii(t.name) == base::mayusculasAscii(*tag);
    if (existe) t_->setIndex(*tag);
    else ui_.mensaje("El índice " + *tag + " no existe en " + tabla_);
  }
  reinicia();
  return true;
}

bool NavegadorCatalogo::guardaPlantilla() {
  std::vector<std::string> l{std::string(kCabeceraPlantilla)};
  for (const auto& c : columnas_) l.push_back(c.campo + "|" + c.titulo + "|" + std::to_string(c.ancho));
  const bool ok = base::escribeLineas(rutaPlantilla(), l) &&
                  base::escribeLineas(rutaIndice(), {t_->index()});
  if (!ok) ui_.mensaje("No se pudo escribir el archivo " + rutaPlantilla());
  return ok;
}

void NavegadorCatalogo::ponAncho(int columna, int ancho) {
  if (columna >= 0 && columna < static_cast<int>(columnas_.size())) columnas_[static_cast<size_t>(columna)].ancho = ancho;
}

void NavegadorCatalogo::mueveColumna(int de, int a) {
  const int n = static_cast<int>(columnas_.size());
  if (de < 0 || a < 0 || de >= n || a >= n || de == a) return;
  auto c = columnas_[static_cast<size_t>(de)];
  columnas_.erase(columnas_.begin() + de);
  columnas_.insert(columnas_.begin() + a, c);
  reinicia();
}

bool NavegadorCatalogo::ponTipo(int columna, char tipo, bool total) {
  if (columna < 0 || columna >= static_cast<int>(columnas_.size())) return false;
  auto& c = columnas_[static_cast<size_t>(columna)];
  if (tipo == 'm' || tipo == 'n') {
    if (!esNumerico(campos()[static_cast<size_t>(indiceCampo(c.campo))])) {
      ui_.mensaje(kColumnaNoNumerica);
      return false;
    }
    if (total && (c.titulo.empty() || c.titulo[0] != '+')) c.titulo = "+" + c.titulo;
  } else if (tipo != 'c' && tipo != 'i') {
    return false;
  }
  c.tipo = tipo;
  return true;
}

std::vector<NavegadorCatalogo::DescripcionIndice> NavegadorCatalogo::indices() const {
  const auto catalogo = base::CatalogoCampos::enDirectorio(sistema_);
  const auto descritos = catalogo.campos(nombreBase(tabla_) + ".dbf");
  std::vector<DescripcionIndice> r;
  for (const auto& tag : t_->tags()) {
    std::vector<std::string> nombres;
    if (!tag.key.empty() && tag.key[0] == '*') {
      const std::string expr = base::mayusculasAscii(tag.key);
      for (const auto& f : campos())
        if (expr.find(f.name) != std::string::npos) nombres.push_back(f.name);
    } else {
      std::string actual;
      for (char ch : tag.key + ";") {
        if (ch == ';') { nombres.push_back(base::mayusculasAscii(base::recorta(actual))); actual.clear(); }
        else actual.push_back(ch);
      }
    }
    std::string d;
    for (const auto& n : nombres)
      for (const auto& c : descritos)
        if (base::mayusculasAscii(c.nombre) == n) d += (d.empty() ? "" : ",") + c.descripcion;
    r.push_back({tag.name, d.empty() ? tag.name : d});
  }
  return r;
}

std::string NavegadorCatalogo::indice() const { return t_->index(); }

void NavegadorCatalogo::ponIndice(std::string_view tag) {
  try {
    t_->setIndex(tag);
  } catch (const dbf::Error& e) {
    ui_.mensaje(e.what());
  }
  desde_.reset();
  reinicia();
}

bool NavegadorCatalogo::busca(std::string_view valor) {
  if (t_->index().empty()) {
    ui_.mensaje(kSinIndice);
    return false;
  }
  const std::vector<dbf::KeyValue> clave{std::string(valor)};
  // The record to stand on: the nearest one that the filter shows.
  uint32_t destino = 0;
  try {
    t_->findNearest(clave);
  } catch (const dbf::Error& e) {
    ui_.mensaje(e.what());  // a value the index cannot take (a text for a number)
    return false;
  }
  auto texto = [this](int i) { return t_->asText(i); };
  for (; !t_->isEmpty() && !t_->eof(); t_->next())
    if (pasaFiltro(texto)) {
      destino = t_->recno();
      break;
    }
  desde_.reset();
  reinicia();
  filaBuscada_ = -1;
  if (destino == 0) {
    while (cargaMas(1000)) {
    }
    return true;
  }
  while (filas_.size() < kFilasAntesDeBusqueda) {
    const size_t antes = filas_.size();
    if (cargaMas(500) == 0) break;
    for (size_t i = antes; i < filas_.size(); ++i)
      if (filas_[i].recno == destino) {
        filaBuscada_ = static_cast<int>(i);
        return true;
      }
  }
  desde_ = clave;
  reinicia();
  cargaMas(1);
  filaBuscada_ = filas_.empty() ? -1 : 0;
  return true;
}

bool NavegadorCatalogo::ponCondiciones(std::vector<CondicionFiltro> condiciones) {
  if (condiciones.size() > kMaxCondiciones) condiciones.resize(kMaxCondiciones);
  for (const auto& c : condiciones) {
    const int i = indiceCampo(c.campo);
    if (i >= 0 && campos()[static_cast<size_t>(i)].type == 'D' &&
        reports::codigoOperador(c.operador, ' ') != ' ' && reports::codigoOperador(c.operador, ' ') != 'W' &&
        !base::leeFechaCorta(c.valor)) {
      ui_.mensaje(query::kValorErroneo);
      return false;
    }
  }
  condiciones_ = std::move(condiciones);
  reinicia();
  return true;
}

void NavegadorCatalogo::BotonCambiosClick() {
  if (ui_.administrador().resultado == base::RespuestaAdministrador::Administrador) {
    editable_ = true;
  } else {
    editable_ = false;
    ui_.mensaje(query::kPasswordInvalido);
  }
}

bool NavegadorCatalogo::cambiaCelda(int fila, int columna, std::string_view valor) {
  if (!editable_ || fila < 0 || fila >= static_cast<int>(filas_.size()) || columna < 0 ||
      columna >= static_cast<int>(columnas_.size()))
    return false;
  auto& f = filas_[static_cast<size_t>(fila)];
  const int campo = indicesColumna_[static_cast<size_t>(columna)];
  try {
    if (!t_->goTo(f.recno)) throw dbf::Error("No se encontró el registro");
    t_->edit();
    try {
      sql::asignaValor(*t_, campo, sql::Valor{std::string(valor)});
      t_->post();
    } catch (...) {
      t_->cancel();
      throw;
    }
  } catch (const dbf::Error& e) {
    ui_.mensaje(e.what());
    return false;
  }
  f.celdas[static_cast<size_t>(columna)] = t_->asText(campo);
  return true;
}

std::optional<long long> NavegadorCatalogo::sumaDiezmilesimos(int columna) {
  if (columna < 0 || columna >= static_cast<int>(columnas_.size())) return std::nullopt;
  const int campo = indiceCampo(columnas_[static_cast<size_t>(columna)].campo);
  if (!esNumerico(campos()[static_cast<size_t>(campo)])) return std::nullopt;
  dbf::LectorSecuencial l(datos_, tabla_);
  reports::SumaExacta s;
  const bool filtra = cobranza_ || !condiciones_.empty();
  auto texto = [&l](int i) { return l.texto(i); };
  while (l.siguiente()) {
    if (filtra && !pasaFiltro(texto)) continue;
    s.agrega(l.numero(campo));
  }
  return s.diezmilesimos();
}

std::string NavegadorCatalogo::suma(int columna) {
  std::string texto;
  try {
    auto s = sumaDiezmilesimos(columna);
    texto = s ? "La suma es = " + base::formateaMascara(base::Decimal::deDiezmilesimos(*s), "##,###,##0.00")
              : std::string(kNoSePuedeSumarColumna);
  } catch (const dbf::Error& e) {
    texto = e.what();
  }
  ui_.mensaje(texto);
  return texto;
}

std::optional<std::string> NavegadorCatalogo::exporta(const std::string& programa,
                                                      const base::TablaProgramas& programas,
                                                      base::Procesos& procesos) {
  auto nombre = ui_.guardaArchivo("Exportar", "Hoja de cálculo (*.xls)|*.xls|Todos|*.*");
  if (!nombre || nombre->empty()) return std::nullopt;
  std::string archivo = *nombre;
  if (base::existe(archivo)) base::borra(archivo);
  if (archivo.size() < 4 || archivo[archivo.size() - 4] != '.') archivo += ".xls";
  std::vector<int> visibles;
  std::string titulos;
  for (size_t i = 0; i < columnas_.size(); ++i) {
    if (columnas_[i].tipo == 'i') continue;
    visibles.push_back(indiceCampo(columnas_[i].campo));
    titulos += columnas_[i].titulo + "\t";
  }
  std::vector<std::string> lineas{titulos};
  try {
    dbf::Table t;
    t.open(datos_, tabla_);
    if (!t_->index().empty()) t.setIndex(t_->index());
    auto texto = [&t](int i) { return t.asText(i); };
    for (t.first(); !t.isEmpty() && !t.eof(); t.next()) {
      if (!pasaFiltro(texto)) continue;
      std::string l;
      for (int i : visibles) l += t.asText(i) + "\t";
      lineas.push_back(std::move(l));
    }
  } catch (const dbf::Error& e) {
    ui_.mensaje(e.what());
    return std::nullopt;
  }
  if (!base::escribeLineas(archivo, lineas)) {
    ui_.mensaje("No se pudo escribir el archivo " + archivo);
    return std::nullopt;
  }
  auto r = programas.inicia(procesos, programa, "\"" + archivo + "\"", "", false);
  if (!r.iniciado && !r.mensaje.empty()) ui_.mensaje(r.mensaje);
  return archivo;
}

std::string NavegadorCatalogo::claveDeFila(int fila) const {
  if (fila < 0 || fila >= static_cast<int>(filas_.size())) return {};
  const size_t col = cobranza_ ? 3 : 0;
  const auto& celdas = filas_[static_cast<size_t>(fila)].celdas;
  return col < celdas.size() ? celdas[col] : std::string();
}

std::vector<std::string> NavegadorCatalogo::reportes() const {
  std::vector<std::string> r;
  auto lineas = base::leeLineas(base::une(base::une(sistema_, "report"), "reportes.sql"));
  if (!lineas) return r;
  for (const auto& l : *lineas) r.push_back(l.substr(0, 35));
  return r;
}

std::optional<std::string> NavegadorCatalogo::preparaReporte(int n) {
  const std::string dir = base::une(sistema_, "report");
  auto lineas = base::leeLineas(base::une(dir, "reportes.sql"));
  if (!lineas || n < 0 || n >= static_cast<int>(lineas->size())) return std::nullopt;
  const std::string& linea = (*lineas)[static_cast<size_t>(n)];
  const std::string sentencia = linea.size() > 35 ? linea.substr(35) : std::string();
  const std::string archivo = base::une(dir, "tempo.sql");
  if (!base::escribeLineas(archivo, {sentencia})) {
    ui_.mensaje("No se pudo escribir el archivo " + archivo);
    return std::nullopt;
  }
  try {
    ui_.iniciaProgreso(kCreandoReporte, 2);
    sql::BaseSql base(datos_);
    std::string ruta = sql::ConsultaATabla(base, archivo, sistema_);
    ui_.avanzaProgreso();
    ui_.terminaProgreso();
    return ruta;
  } catch (const dbf::Error& e) {
    ui_.terminaProgreso();
    ui_.mensaje(e.what());
    return std::nullopt;
  }
}

bool NavegadorCatalogo::concentraReporte(const std::string& tabla, const reports::CondicionesConcentrado& condiciones,
                                         base::Interaccion& progreso, std::function<bool()> cancelado) {
  try {
    const std::filesystem::path ruta(tabla);
    dbf::Table t;
    t.open(ruta.parent_path().string(), ruta.filename().string());
    const auto& campos = t.fieldDefs();
    if (campos.empty()) return false;
    reports::ParametrosConcentrado p;
    p.clave = campos[0].name;
    std::array<std::string, 10> titulos{};
    std::array<int, 10> anchos{};
    titulos[0] = campos[0].name;
    anchos[0] = std::max(campos[0].length, 10);
    size_t n = 0;
    for (size_t i = 1; i < campos.size() && n < p.columnas.size(); ++i) {
      if (campos[i].type != 'N' && campos[i].type != 'F') continue;
      p.columnas[n] = campos[i].name;
      titulos[n + 2] = campos[i].name;
      anchos[n + 2] = std::max(campos[i].length + 4, 12);
      ++n;
    }
    if (n == 0) {
      ui_.mensaje("El reporte no tiene columnas numéricas que concentrar");
      return false;
    }
    p.opcion = "D";
    p.condiciones = condiciones;
    p.cancelado = std::move(cancelado);
    if (reports::GeneraConcentrado({&t}, p, sistema_, datos_, progreso) != reports::ResultadoConcentrado::Hecho) return false;
    return reports::TitulosConcentrado(sistema_, titulos, p.opcion, reports::tiposDeColumnas(t, p.columnas), condiciones) &&
           reports::AnchosConcentrado(sistema_, anchos);
  } catch (const dbf::Error& e) {
    ui_.mensaje(e.what());
    return false;
  }
}

}  // namespace mostrador::designers
