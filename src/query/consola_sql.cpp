#include "query/consola_sql.h"

#include "session/derechos.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>

#include "query/consulta_espanol.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"
#include "store/dbf/lector_secuencial.h"

namespace mostrador::query {

namespace {

bool esNumerico(const dbf::FieldDef& f) { return f.type == 'N' || f.type == 'F'; }

}  // namespace

ConsolaSql::ConsolaSql(base::Interaccion& ui, std::string directorioSistema,
                       std::string directorioDatos)
    : ui_(ui), sistema_(std::move(directorioSistema)), datos_(std::move(directorioDatos)),
      base_(std::make_unique<sql::BaseSql>(datos_)) {}

ConsolaSql::~ConsolaSql() = default;

bool ConsolaSql::ejecuta(std::string_view codigo) {
  traduccion_ = traduceConsulta(codigo);
  resultado_.reset();
  tipos_.clear();
  inicio_ = 0;
  afectadas_ = 0;
  try {
    if (sql::devuelveFilas(traduccion_)) {
      resultado_ = base_->consulta(traduccion_);
      tipos_.assign(resultado_->fieldDefs().size(), ' ');
    } else {
      // A price or a balance is not changed by whoever can open the console.
      if (usuario_ != "0" && !session::confirmacionAdministrador(ui_)) {
        ui_.mensaje("Esta Opción es Permitida solo al Administrador");
        return false;
      }
      afectadas_ = base_->ejecuta(traduccion_);
    }
  } catch (const dbf::Error& e) {
    ui_.mensaje(e.what());
    return false;
  }
  return true;
}

int ConsolaSql::columnas() const { return static_cast<int>(tipos_.size()); }

char ConsolaSql::tipo(int columna) const {
  if (columna < 0 || columna >= columnas()) return ' ';
  return tipos_[static_cast<size_t>(columna)];
}

void ConsolaSql::ponTipo(int columna, char t) {
  if (columna < 0 || columna >= columnas()) return;
  if (t != 'n' && t != 'm' && t != 'c' && t != 'i') t = ' ';
  tipos_[static_cast<size_t>(columna)] = t;
}

std::vector<std::string> ConsolaSql::titulos() const {
  std::vector<std::string> r;
  if (resultado_)
    for (const auto& f : resultado_->fieldDefs()) r.push_back(f.name);
  return r;
}

bool ConsolaSql::haySiguiente() const {
  return resultado_ && inicio_ + kFilasPorPagina < resultado_->recordCount();
}

void ConsolaSql::siguiente() {
  if (haySiguiente()) inicio_ += kFilasPorPagina;
}

void ConsolaSql::anterior() { inicio_ = std::max(0L, inicio_ - kFilasPorPagina); }

std::vector<std::vector<std::string>> ConsolaSql::pagina() const {
  std::vector<std::vector<std::string>> r;
  if (!resultado_ || resultado_->isEmpty()) return r;
  auto& c = const_cast<sql::Resultado&>(*resultado_);
  c.first();
  c.moveBy(inicio_);
  const int n = static_cast<int>(c.fieldDefs().size());
  for (long i = 0; i < kFilasPorPagina && c.posicion() == inicio_ + i; ++i) {
    std::vector<std::string> fila;
    for (int k = 0; k < n; ++k) fila.push_back(c.asText(k));
    r.push_back(std::move(fila));
    c.next();
  }
  return r;
}

std::string ConsolaSql::suma(int columna) {
  std::string texto;
  if (!resultado_ || columna < 0 || columna >= columnas() ||
      !esNumerico(resultado_->fieldDefs()[static_cast<size_t>(columna)])) {
    texto = std::string(reports::kNoSePuedeSumar);
  } else {
    reports::SumaExacta s;
    auto& c = *resultado_;
    for (c.first(); !c.eof(); c.next()) s.agrega(c.asFloat(columna));
    texto = "La Suma es : " + s.texto();
  }
  ui_.mensaje(texto);
  return texto;
}

std::string ConsolaSql::directorioReportes() const { return base::une(sistema_, "report"); }

std::optional<std::vector<std::string>> ConsolaSql::cargaArchivo(std::string_view nombre) const {
  if (nombre.empty()) return std::nullopt;
  const std::string ruta = base::une(directorioReportes(), nombre);
  if (!base::existe(ruta) || base::esDirectorio(ruta)) return std::nullopt;
  return base::leeLineas(ruta);
}

std::optional<std::string> ConsolaSql::guardaArchivo(const std::vector<std::string>& lineas) {
  auto nombre = ui_.guardaArchivo(directorioReportes(), "Consultas (*.sql)|*.sql");
  if (!nombre || nombre->empty()) return std::nullopt;
  std::string ruta = *nombre;
  const auto barra = ruta.find_last_of("\\/");
  const std::string base = barra == std::string::npos ? ruta : ruta.substr(barra + 1);
  if (base.find('.') == std::string::npos) ruta += ".sql";
  if (barra == std::string::npos) ruta = base::une(directorioReportes(), ruta);
  base::creaDirectorios(directorioReportes());
  if (!base::escribeLineas(ruta, lineas)) {
    ui_.mensaje("No se pudo escribir el archivo " + ruta);
    return std::nullopt;
  }
  return ruta;
}

std::optional<std::string> ConsolaSql::exporta(const std::string& programaHojaCalculo,
                                               const base::TablaProgramas& programas,
                                               base::Procesos& procesos) {
  if (!resultado_) return std::nullopt;
  auto archivo = ui_.guardaArchivo("Exportar", "Texto (*.xls)|*.xls|Todos|*.*");
  if (!archivo || archivo->empty()) return std::nullopt;
  std::vector<std::string> lineas;
  std::string encabezado;
  for (const auto& t : titulos()) encabezado += t + "\t";
  lineas.push_back(encabezado);
  auto& c = *resultado_;
  const int n = static_cast<int>(c.fieldDefs().size());
  for (c.first(); !c.eof(); c.next()) {
    std::string l;
    for (int k = 0; k < n; ++k) l += c.asText(k) + "\t";
    lineas.push_back(std::move(l));
  }
  if (!base::escribeLineas(*archivo, lineas)) {
    ui_.mensaje("No se pudo escribir el archivo " + *archivo);
    return std::nullopt;
  }
  auto r = programas.inicia(procesos, programaHojaCalculo, "\"" + *archivo + "\"", "", false);
  if (!r.iniciado && !r.mensaje.empty()) ui_.mensaje(r.mensaje);
  return archivo;
}

std::optional<long> ConsolaSql::corrigeDatos() {
  if (ui_.administrador().resultado != base::RespuestaAdministrador::Administrador) {
    ui_.mensaje(kPasswordInvalido);
    return std::nullopt;
  }
  try {
    base::Espera espera(ui_);
    return correccionCuentasPorCobrar(datos_);
  } catch (const dbf::Error& e) {
    ui_.mensaje(e.what());
    return std::nullopt;
  }
}

// --- Data correction ---

namespace {

struct Cobro {
  uint32_t recno = 0;
  std::string nufac, nuref, clven;
  // A blank numeric field stays blank unless the correction gives it a value.
  std::optional<double> comis, ivaxx;
  std::string clvenOriginal;
  std::optional<double> comisOriginal, ivaxxOriginal;
};

// One pass of the three steps over the records in memory.
void pasoCorreccion(std::vector<Cobro>& cobros, const std::vector<std::pair<long long, double>>& facturas) {
  std::multimap<std::string, size_t> porDocumento, porReferencia;
  for (size_t i = 0; i < cobros.size(); ++i) {
    porDocumento.emplace(cobros[i].nufac, i);
    if (!cobros[i].nuref.empty()) porReferencia.emplace(cobros[i].nuref, i);
  }
  for (const auto& [numero, tasa] : facturas) {
    auto [a, b] = porDocumento.equal_range(std::to_string(numero));
    for (auto it = a; it != b; ++it) cobros[it->second].ivaxx = tasa;
  }
  auto reparte = [&](const std::multimap<std::string, size_t>& indice, bool conReferencia) {
    for (const auto& [clave, i] : indice) {
      if (cobros[i].clven.empty()) continue;
      if (conReferencia && cobros[i].nuref.empty()) continue;
      auto [a, b] = indice.equal_range(clave);
      for (auto it = a; it != b; ++it) {
        Cobro& otro = cobros[it->second];
        if (!otro.clven.empty()) continue;
        otro.clven = cobros[i].clven;
        otro.comis = cobros[i].comis;
      }
    }
  };
  reparte(porDocumento, false);
  reparte(porReferencia, true);
}

void ponNumero(dbf::Table& t, const char* campo, const std::optional<double>& v) {
  if (v) t.setFloat(campo, *v);
  else t.setNull(campo);
}

void escribeCobro(dbf::Table& t, uint32_t recno, const std::string& clven,
                  const std::optional<double>& comis, const std::optional<double>& ivaxx) {
  if (!t.goTo(recno)) throw dbf::Error("No se encontró el registro " + std::to_string(recno));
  t.edit();
  t.setText("CLVEN_CC", clven);
  ponNumero(t, "COMIS_CC", comis);
  ponNumero(t, "IVAXX_CC", ivaxx);
  t.post();
}

std::optional<double> numeroONulo(const dbf::Table& t, const char* campo) {
  if (t.isNull(campo)) return std::nullopt;
  return t.asFloat(campo);
}

}  // namespace

long correccionCuentasPorCobrar(std::string_view directorioDatos) {
  std::vector<std::pair<long long, double>> facturas;
  {
    dbf::LectorSecuencial f(directorioDatos, "FACTURAe.DBF");
    const auto& campos = f.campos();
    int cldoc = -1, imim1 = -1;
    for (size_t i = 0; i < campos.size(); ++i) {
      if (campos[i].name == "CLDOC_F") cldoc = static_cast<int>(i);
      if (campos[i].name == "IMIM1_F") imim1 = static_cast<int>(i);
    }
    if (cldoc < 0 || imim1 < 0) throw dbf::Error("La tabla de facturas no tiene CLDOC_F e IMIM1_F");
    while (f.siguiente()) {
      const auto numero = static_cast<long long>(std::llround(f.numero(cldoc)));
      if (numero > 22134) facturas.emplace_back(numero, f.numero(imim1));
    }
    std::stable_sort(facturas.begin(), facturas.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
  }

  dbf::Table t;
  t.open(directorioDatos, "CuCobrar.dbf");
  std::vector<Cobro> cobros;
  for (t.first(); !t.eof(); t.next()) {
    Cobro c;
    c.recno = t.recno();
    c.nufac = base::recorta(t.asText("NUFAC_CC"));
    c.nuref = base::recorta(t.asText("NUREF_CC"));
    c.clven = c.clvenOriginal = base::recorta(t.asText("CLVEN_CC"));
    c.comis = c.comisOriginal = numeroONulo(t, "COMIS_CC");
    c.ivaxx = c.ivaxxOriginal = numeroONulo(t, "IVAXX_CC");
    cobros.push_back(std::move(c));
  }
  pasoCorreccion(cobros, facturas);
  pasoCorreccion(cobros, facturas);

  std::vector<const Cobro*> cambios;
  for (const auto& c : cobros)
    if (c.clven != c.clvenOriginal || c.comis != c.comisOriginal || c.ivaxx != c.ivaxxOriginal)
      cambios.push_back(&c);

  size_t escritos = 0;
  try {
    for (; escritos < cambios.size(); ++escritos) {
      const Cobro& c = *cambios[escritos];
      escribeCobro(t, c.recno, c.clven, c.comis, c.ivaxx);
    }
  } catch (const dbf::Error&) {
    if (t.editing()) t.cancel();
    for (size_t i = 0; i < escritos; ++i) {
      const Cobro& c = *cambios[i];
      escribeCobro(t, c.recno, c.clvenOriginal, c.comisOriginal, c.ivaxxOriginal);
    }
    throw;
  }
  return static_cast<long>(cambios.size());
}

}  // namespace mostrador::query
