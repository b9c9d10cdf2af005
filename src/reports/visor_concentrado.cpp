#include "reports/visor_concentrado.h"

#include <algorithm>
#include <cmath>
#include <algorithm>

#include "base/moneda.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"

namespace mostrador::reports {

namespace {

size_t largoCaracter(std::string_view s, size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
  return std::min(n, s.size() - i);
}

std::string primeros(std::string_view s, size_t n) {
  size_t i = 0, k = 0;
  while (i < s.size() && k < n) {
    i += largoCaracter(s, i);
    ++k;
  }
  return std::string(s.substr(0, i));
}

long long diezmilesimos(std::string_view t) { return std::llround(base::numeroSeguro(t) * 10000.0); }

bool sumable(char t) { return t == 'f' || t == 'e' || t == '$' || t == 'w'; }

}  // namespace

std::string escribeValorVisor(char tipo, std::string_view encabezado, std::string_view valor) {
  std::string r;
  if ((tipo == 'f' || tipo == 'e') && encabezado != "C") {
    if (encabezado.empty()) r.clear();
    else if (encabezado[0] == '-') r = base::mascaraImporte("###,###,##0", valor, "");
    else r = base::mascaraImporte("###,###,##0.00", valor, "$");
    r = primeros(r, 40);
  } else if (tipo == 'x') {
    r.clear();
  } else {
    r = std::string(valor);
  }
  if (!encabezado.empty() && encabezado[0] == '%') r = base::mascaraImporte("###,###,##0.00", valor, "");
  return r;
}

std::string ajustaCelda(std::string_view texto, int n) {
  std::string t;
  for (char c : texto) t += static_cast<unsigned char>(c) < 30 ? ' ' : c;
  t = primeros(t, 50);
  n = std::max(0, n);
  const size_t largo = base::largoCaracteres(t);
  if (largo >= static_cast<size_t>(n)) return primeros(t, static_cast<size_t>(n)) + " ";
  return t + std::string(static_cast<size_t>(n) + 1 - largo, ' ');
}

std::string nombreExportacion(std::string_view nombre) {
  if (nombre.size() >= 4 && nombre[nombre.size() - 4] == '.') return std::string(nombre);
  return std::string(nombre) + ".xls";
}

VisorConcentrado::VisorConcentrado(std::string sistema, std::string caption, int tamanoFuente)
    : sistema_(std::move(sistema)), caption_(std::move(caption)), hoja_(tamanoFuente) {}

bool VisorConcentrado::abre() {
  error_.clear();
  datos_ = 0;
  totales_.reset();
  base::ArchivoFijo etiquetas(base::une(sistema_, kArchivoEtiquetas), disenoEtiquetas());
  if (auto r = etiquetas.lee(0))
    for (size_t k = 0; k < 10; ++k) encabezados_[k] = r->texto("s" + std::to_string(k + 1));
  if (auto r = etiquetas.lee(1)) {
    opcion_ = r->texto("s1");
    for (size_t k = 0; k < 8; ++k) {
      const std::string t = r->texto("s" + std::to_string(k + 3));
      tipos_[k] = t.empty() ? 'x' : t[0];
    }
  }
  base::ArchivoFijo anchos(base::une(sistema_, kArchivoAnchos), disenoAnchos());
  if (auto r = anchos.lee(0))
    for (size_t k = 0; k < 10; ++k) anchos_[k] = std::max(0, r->entero("a" + std::to_string(k + 1)));

  final_ = std::ifstream(base::resuelve(base::une(sistema_, kArchivoFinal)), std::ios::binary);
  if (!final_) {
    error_ = "No existe el archivo " + base::une(sistema_, kArchivoFinal);
    return false;
  }
  final_.seekg(0, std::ios::end);
  const long long bytes = final_.tellg();
  long total = static_cast<long>(bytes / static_cast<long long>(kTamanoConcentrado));
  if (bytes % static_cast<long long>(kTamanoConcentrado) != 0)
    error_ = "El archivo " + base::une(sistema_, kArchivoFinal) + " está incompleto";
  // The type letters of the file itself win over the titles file's.
  if (total > 0) {
    std::string b(kTamanoConcentrado, '\0');
    final_.seekg(0);
    if (final_.read(b.data(), static_cast<std::streamsize>(b.size()))) {
      RegistroConcentrado t = deBytes(b);
      for (size_t k = 0; k < 8; ++k)
        if (!t.valores[k].empty()) tipos_[k] = t.valores[k][0];
    }
  }
  // Closing "*" records at the end.
  long fin = total;
  while (fin > 1) {
    std::string b(kTamanoConcentrado, '\0');
    final_.seekg((fin - 1) * static_cast<long long>(kTamanoConcentrado));
    if (!final_.read(b.data(), static_cast<std::streamsize>(b.size()))) break;
    if (deBytes(b).clave != "*") break;
    --fin;
  }
  final_.clear();
  datos_ = std::max(0L, fin - 1);
  return error_.empty();
}

std::optional<RegistroConcentrado> VisorConcentrado::registro(long i) {
  if (i < 0 || i >= datos_) return std::nullopt;
  std::string b(kTamanoConcentrado, '\0');
  final_.clear();
  final_.seekg((i + 1) * static_cast<long long>(kTamanoConcentrado));
  if (!final_.read(b.data(), static_cast<std::streamsize>(b.size()))) return std::nullopt;
  return deBytes(b);
}

void VisorConcentrado::TitulosGrafica(std::string titulo, std::string eje1, std::string eje2, std::string valor) {
  modo_ = ModoVista::Barras;
  hoja_.limpia();
  pagina_ = 0;
  tituloGrafica_ = std::move(titulo);
  eje1_ = std::move(eje1);
  eje2_ = std::move(eje2);
  valorGrafica_ = std::move(valor);
}

int VisorConcentrado::puntosPorPagina() const { return std::max(1, 12 / std::max(1, factor_)); }

int VisorConcentrado::paginas() const {
  const long n = modoGrafica() ? puntosPorPagina() : kFilasPorPagina;
  return static_cast<int>(datos_ / n + (datos_ % n ? 1 : 0));
}

void VisorConcentrado::cambiaModo(ModoVista m) {
  const bool eraGrafica = modoGrafica();
  modo_ = m;
  if (eraGrafica != modoGrafica()) pagina_ = 0;
  dibuja();
}

void VisorConcentrado::BotonGrafica() { cambiaModo(ModoVista::Barras); }
void VisorConcentrado::BotonPie() { cambiaModo(ModoVista::Pie); }
void VisorConcentrado::BotonLineas() { cambiaModo(ModoVista::Lineas); }
void VisorConcentrado::BotonReporte() { cambiaModo(ModoVista::Reporte); }
void VisorConcentrado::BotonTexto() { cambiaModo(ModoVista::Texto); }

void VisorConcentrado::BotonSiguiente() {
  ++pagina_;
  dibuja();
}

void VisorConcentrado::BotonAnterior() {
  pagina_ = std::max(0, pagina_ - 1);
  dibuja();
}

void VisorConcentrado::irAPagina(int p) {
  pagina_ = std::clamp(p, 0, std::max(0, paginas() - 1));
  dibuja();
}

void VisorConcentrado::columnaGrafica(int c) {
  columna_ = std::clamp(c, 1, 3);
  if (modoGrafica()) dibuja();
}

void VisorConcentrado::TamaodeColumnas(int factor) {
  factor_ = std::max(1, factor);
  if (modoGrafica()) dibuja();
}

void VisorConcentrado::dibuja() {
  if (modoGrafica()) dibujaGrafica();
  else dibujaTexto(modo_ == ModoVista::Reporte);
}

std::string VisorConcentrado::lineaRegistro(const RegistroConcentrado& r, bool formato) const {
  std::string l = ajustaCelda(r.clave, anchos_[0]) + ajustaCelda(r.clave2, anchos_[1]);
  for (size_t k = 0; k < 8; ++k)
    l += ajustaCelda(formato ? escribeValorVisor(tipos_[k], encabezados_[k + 2], r.valores[k]) : r.valores[k],
                     anchos_[k + 2]);
  return l;
}

std::string VisorConcentrado::lineaTotales(const std::array<long long, 8>& s) const {
  std::string l = ajustaCelda("TOTALES", anchos_[0]) + ajustaCelda("", anchos_[1]);
  for (size_t k = 0; k < 8; ++k) {
    std::string celda;
    if (sumable(tipos_[k])) {
      const std::string v = base::Decimal::deDiezmilesimos(s[k]).texto();
      celda = escribeValorVisor(tipos_[k] == 'e' ? 'e' : 'f', encabezados_[k + 2], v);
    }
    l += ajustaCelda(celda, anchos_[k + 2]);
  }
  return l;
}

const std::array<long long, 8>& VisorConcentrado::totalesReporte() {
  if (!totales_) {
    // One sequential pass over the file, never the whole of it in memory.
    std::array<long long, 8> t{};
    std::ifstream f(base::resuelve(base::une(sistema_, kArchivoFinal)), std::ios::binary);
    f.seekg(static_cast<std::streamoff>(kTamanoConcentrado));
    std::string b(kTamanoConcentrado, '\0');
    for (long i = 0; i < datos_ && f.read(b.data(), static_cast<std::streamsize>(b.size())); ++i) {
      if (b[0] == 0) continue;  // an empty key
      const RegistroConcentrado r = deBytes(b);
      for (size_t k = 0; k < 8; ++k)
        if (sumable(tipos_[k])) t[k] += diezmilesimos(r.valores[k]);
    }
    totales_ = t;
  }
  return *totales_;
}

void VisorConcentrado::dibujaTexto(bool formato) {
  const long desde = static_cast<long>(pagina_) * kFilasPorPagina;
  if (desde >= datos_) {
    // Past the end: the page stays as it was.
    if (pagina_ > 0 && paginas() > 0) pagina_ = paginas() - 1;
    return;
  }
  estado_ = "Página " + std::to_string(pagina_ + 1) + " de  " + std::to_string(paginas());
  hoja_.limpia();
  hoja_.agregaTitulo(caption_);
  std::string encabezado, subrayado;
  for (size_t k = 0; k < 10; ++k) {
    encabezado += ajustaCelda(encabezados_[k], anchos_[k]);
    subrayado += ajustaCelda(std::string(static_cast<size_t>(std::max(0, anchos_[k])), '_'), anchos_[k]);
  }
  hoja_.agrega(encabezado);
  hoja_.agrega(subrayado);

  const bool grupos = opcion_ == "DC" && formato;
  std::array<long long, 8> sumas{};
  std::optional<RegistroConcentrado> actual = registro(desde);
  if (grupos && actual) {
    // The part of the group that lies on the pages before this one.
    for (long i = desde - 1; i >= 0; --i) {
      auto r = registro(i);
      if (!r || r->clave != actual->clave) break;
      for (size_t k = 0; k < 8; ++k) sumas[k] += diezmilesimos(r->valores[k]);
    }
  }
  const long hasta = std::min(datos_, desde + kFilasPorPagina);
  for (long i = desde; i < hasta && actual; ++i) {
    std::optional<RegistroConcentrado> siguiente = i + 1 < datos_ ? registro(i + 1) : std::nullopt;
    if (!actual->clave.empty()) {
      hoja_.agrega(lineaRegistro(*actual, formato));
      for (size_t k = 0; k < 8; ++k) sumas[k] += diezmilesimos(actual->valores[k]);
      if (grupos && (!siguiente || siguiente->clave != actual->clave)) {
        hoja_.agrega(lineaTotales(sumas));
        sumas.fill(0);
      }
    }
    actual = std::move(siguiente);
  }
  if (hasta >= datos_ && formato) hoja_.agrega(lineaTotales(totalesReporte()));
}

void VisorConcentrado::dibujaGrafica() {
  const long k = puntosPorPagina();
  const long desde = static_cast<long>(pagina_) * k;
  grafica_ = PaginaGrafica{};
  if (desde >= datos_) {
    grafica_.fin = true;
    return;
  }
  estado_ = "Página " + std::to_string(pagina_ + 1) + " de  " + std::to_string(paginas());
  double maximo = 0;
  for (long i = desde; i < std::min(datos_, desde + k); ++i) {
    auto r = registro(i);
    if (!r) break;
    const double v = base::numeroSeguro(r->valores[static_cast<size_t>(columna_ - 1)]);
    grafica_.puntos.push_back({r->clave, v});
    maximo = std::max(maximo, v);
  }
  grafica_.maximoEje = maximo + 100;
  grafica_.fin = desde + k >= datos_;
}

std::vector<PaginaImpresa> VisorConcentrado::paginasImpresas(int desde, int hasta) {
  std::vector<PaginaImpresa> r;
  const ModoVista modo = modo_;
  const int pagina = pagina_;
  if (modoGrafica()) modo_ = ModoVista::Reporte;
  desde = std::max(1, desde);
  hasta = std::min(hasta, paginas());
  for (int p = desde; p <= hasta; ++p) {
    pagina_ = p - 1;
    dibujaTexto(modo_ == ModoVista::Reporte);
    PaginaImpresa pi;
    // The title goes in the page's frame; the body starts after it.
    pi.lineas.assign(hoja_.lineas().begin() + (hoja_.size() > 0 ? 1 : 0), hoja_.lineas().end());
    r.push_back(std::move(pi));
  }
  modo_ = modo;
  pagina_ = pagina;
  dibuja();
  return r;
}

std::vector<std::string> VisorConcentrado::lineasExportacion() {
  std::vector<std::string> lineas;
  std::string t;
  for (size_t k = 0; k < 10; ++k) t += (k ? "\t" : "") + encabezados_[k];
  lineas.push_back(t);
  for (long i = 0; i < datos_; ++i) {
    auto r = registro(i);
    if (!r || r->clave.empty()) continue;
    std::string l = r->clave + "\t" + r->clave2;
    for (const auto& v : r->valores) l += "\t" + v;
    lineas.push_back(std::move(l));
  }
  return lineas;
}

bool VisorConcentrado::BotonExporta(base::Interaccion& ui, base::Procesos& procesos,
                                    const base::TablaProgramas& programas, std::string_view hojaDeCalculo) {
  const std::string exel = base::une(sistema_, "tempo\\exel.tmp");
  if (!base::escribeLineas(exel, lineasExportacion())) {
    ui.mensaje("No se pudo escribir " + exel);
    return false;
  }
  auto nombre = ui.guardaArchivo("Exportar", "Hoja de cálculo (*.xls)|*.xls|Todos|*.*");
  if (!nombre || nombre->empty()) return false;
  const std::string destino = nombreExportacion(*nombre);
  base::borra(destino);
  if (!base::copia(exel, destino)) {
    ui.mensaje("No se pudo escribir " + destino);
    return false;
  }
  if (!hojaDeCalculo.empty()) {
    auto r = programas.inicia(procesos, hojaDeCalculo, "\"" + destino + "\"", "", false);
    if (!r.iniciado && !r.mensaje.empty()) ui.mensaje(r.mensaje);
  }
  return true;
}

void VisorConcentrado::cierra() {
  final_.close();
  for (const char* n : {"anchos.tmp", "comentar.tmp", "etique.tmp", "exel.tmp", "final.tmp", "format.tmp", "orden.tmp"})
    base::borra(base::une(sistema_, std::string("tempo\\") + n));
}

std::vector<MonedaVisor> monedasVisor(std::string_view datos) {
  std::vector<MonedaVisor> r;
  for (const auto& m : base::leeMonedas(datos)) {
    if (r.size() == 12) break;
    r.push_back({m.nombre, m.simbolo, m.abreviatura});
  }
  return r;
}

VisorConsulta::VisorConsulta(std::string caption, std::unique_ptr<sql::Resultado> filas,
                             std::array<std::string, 10> encabezados, std::array<int, 10> anchos,
                             std::vector<MonedaVisor> monedas)
    : caption_(std::move(caption)),
      filas_(std::move(filas)),
      encabezados_(std::move(encabezados)),
      anchos_(anchos),
      monedas_(std::move(monedas)) {}

VisorConsulta::~VisorConsulta() = default;

int VisorConsulta::paginas() const {
  const long n = filas_ ? filas_->recordCount() : 0;
  return static_cast<int>(n / kFilasPorPagina + (n % kFilasPorPagina ? 1 : 0));
}

void VisorConsulta::muestra(int p) {
  const long n = filas_ ? filas_->recordCount() : 0;
  if (p < 0 || static_cast<long>(p) * kFilasPorPagina >= n) return;
  pagina_ = p;
  estado_ = "Página " + std::to_string(p + 1) + " de  " + std::to_string(paginas());
  hoja_.limpia();
  hoja_.agregaTitulo(caption_);
  std::string encabezado;
  for (size_t k = 0; k < 9; ++k) encabezado += ajustaCelda(encabezados_[k], anchos_[k]);
  hoja_.agrega(encabezado);
  filas_->first();
  filas_->moveBy(static_cast<long>(p) * kFilasPorPagina);
  for (int i = 0; i < kFilasPorPagina && !filas_->eof(); ++i) {
    std::array<std::string, 7> v;
    for (size_t k = 0; k < 7; ++k) v[k] = filas_->asText(static_cast<int>(k + 2));
    std::string l = ajustaCelda(filas_->asText(0), anchos_[0]) + ajustaCelda(filas_->asText(1), anchos_[1]);
    for (size_t k = 0; k < 7; ++k) {
      const bool numerica = base::leeNumero(v[k]).has_value();
      l += ajustaCelda(numerica ? escribeValorVisor('f', encabezados_[k + 2], v[k]) : v[k], anchos_[k + 2]);
    }
    hoja_.agrega(l);
    const long antes = filas_->posicion();
    filas_->next();
    if (filas_->posicion() == antes) break;
  }
  if (static_cast<long>(p + 1) * kFilasPorPagina < n) return;
  // The end of the report: the sums per currency, in the order the currencies appear.
  std::vector<std::pair<std::string, std::array<long long, 7>>> sumas;
  for (filas_->first(); !filas_->eof();) {
    const std::string m = filas_->asText(9);
    auto it = std::find_if(sumas.begin(), sumas.end(), [&](const auto& x) { return x.first == m; });
    if (it == sumas.end()) {
      sumas.push_back({m, {}});
      it = sumas.end() - 1;
    }
    for (size_t k = 0; k < 7; ++k) it->second[k] += diezmilesimos(filas_->asText(static_cast<int>(k + 2)));
    const long antes = filas_->posicion();
    filas_->next();
    if (filas_->posicion() == antes) break;
  }
  hoja_.agrega(std::string(40, ' '));
  for (const auto& [abreviatura, s] : sumas) {
    if (std::all_of(s.begin(), s.end(), [](long long x) { return x == 0; })) continue;
    std::string nombre = abreviatura;
    for (const auto& m : monedas_)
      if (m.abreviatura == abreviatura || m.nombre == abreviatura) {
        nombre = m.nombre;
        break;
      }
    std::array<std::string, 7> v;
    for (size_t k = 0; k < 7; ++k) v[k] = base::Decimal::deDiezmilesimos(s[k]).texto();
    std::string l = ajustaCelda("TOTALES", anchos_[0]) + ajustaCelda(nombre, anchos_[1]);
    for (size_t k = 0; k < 7; ++k) l += ajustaCelda(escribeValorVisor('f', encabezados_[k + 2], v[k]), anchos_[k + 2]);
    hoja_.agrega(l);
  }
}

}  // namespace mostrador::reports
