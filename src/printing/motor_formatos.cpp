#include "printing/motor_formatos.h"

#include <cmath>
#include <cstdlib>

#include "printing/cajon.h"
#include "printing/colores.h"
#include "printing/texto_formato.h"
#include "base/fechas.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"

namespace mostrador::printing {

namespace {

int entero(double v) { return static_cast<int>(std::trunc(v)); }
int leeEntero(std::string_view t) { return entero(leeNumero(t)); }

bool empiezaCon(std::string_view t, std::string_view prefijo) {
  return t.substr(0, prefijo.size()) == prefijo;
}

std::vector<std::string> divideComas(std::string_view t) {
  std::vector<std::string> r(1);
  for (char c : t) {
    if (c == ',')
      r.emplace_back();
    else
      r.back() += c;
  }
  return r;
}

}  // namespace

MotorFormatos::MotorFormatos(EntornoImpresion& entorno, base::Interaccion& ui,
                             const base::Reloj& reloj, Impresora& impresora, ColaCruda& cola)
    : entorno_(entorno), ui_(ui), reloj_(reloj), impresora_(impresora), cola_(cola) {}

std::string MotorFormatos::ruta(std::string_view relativa) const {
  return base::une(dirSistema_, relativa);
}

// --- Services around a run ----------------------------------------------------------

void MotorFormatos::AsignaUsuarioImpresion(std::string_view numero) {
  if (usuario_.empty())
    usuario_ = base::cortaCp1252(mayusculas(entorno_.nombreUsuario(numero)), 60);
  if (numero == "-1") usuario_.clear();
}

void MotorFormatos::AsignaMonedaLetras(std::string_view singular, std::string_view plural,
                                       std::string_view segundoPlural,
                                       std::string_view abreviatura) {
  moneda_.singular = base::cortaCp1252(singular, 30);
  moneda_.plural = base::cortaCp1252(plural, 30);
  moneda_.segundoPlural = base::cortaCp1252(segundoPlural, 30);
  moneda_.abreviatura = base::cortaCp1252(abreviatura, 30);
}

int MotorFormatos::IndiceImpresora(std::string_view nombre) const {
  std::string t = quitaBlancos(nombre);
  if (!t.empty() && t.find_first_not_of("0123456789", t[0] == '-' ? 1 : 0) == std::string::npos &&
      t != "-")
    return std::atoi(t.c_str());
  if (minusculas(nombre) == "texto") return 1000;
  auto nombres = impresora_.impresoras();
  for (size_t i = 0; i < nombres.size(); ++i)
    if (minusculas(nombres[i]) == minusculas(nombre)) return static_cast<int>(i);
  return 0;
}

// --- The run ------------------------------------------------------------------------

void MotorFormatos::inicia(char modo) {
  modo_ = modo;
  altoCelda_ = anchoCelda_ = 1;
  lineasPagina_ = 50;
  maxCaracteres_ = 100;
  desplazamientoRenglon_ = 0;
  pagina_ = 1;
  desplazamientoPagina_ = 0;
  ultimaY_ = 0;
  fuente_ = "Arial";
  tamano_ = 9;
  color_ = "negro";
  formato_ = "###,###,##0.00";
  paginacion_ = pausaActiva_ = saltaResto_ = false;
  pausa_ = 0;
  secuenciaCruda_.clear();
  impresoraTexto_ = false;
  lineasTexto_.clear();
  plantillaCapturada_ = trabajoIniciado_ = impresoraElegida_ = falloImpresora_ = false;
  vars_.limpia();
  dirSistema_ = entorno_.directorioSistema();
  if (vistaPrevia_.is_open()) vistaPrevia_.close();
  if (modo_ == 'p') {
    base::creaDirectorios(ruta("tempo"));
    vistaPrevia_.open(base::resuelve(ruta(kArchivoVistaPrevia)),
                      std::ios::binary | std::ios::trunc | std::ios::out);
  }
}

void MotorFormatos::lineaImpresora(std::string_view linea) {
  // Errors in this line are ignored: the run prints wherever the printer stands.
  if (minusculas(primerosCaracteres(linea, 3)) != "imp") return;
  auto campos = divideComas(linea);
  int indice = IndiceImpresora(campos.size() > 1 ? campos[1] : "");
  if (indice == 1000) {
    impresoraTexto_ = true;
  } else {
    impresora_.seleccionaImpresora(indice);
    impresoraElegida_ = true;
  }
  impresora_.orientacion(campos.size() > 2 && campos[2] == "horizontal");
}

void MotorFormatos::calculaCeldas() {
  altoCelda_ = std::trunc(impresora_.altoPagina() * (1.0 / 55));
  anchoCelda_ = std::trunc(impresora_.anchoPagina() * 0.0125);
}

ResultadoFormato MotorFormatos::ImprimeFormato(TablaImpresion& encabezado, TablaImpresion& detalle,
                                               std::string_view rutaFormato, char modo) {
  auto leidas = base::leeLineas(rutaFormato);
  if (!leidas || !base::existe(rutaFormato))
    return {false, "El Formato " + std::string(rutaFormato) + " No Existe"};
  std::vector<std::string> lineas;
  lineas.reserve(leidas->size());
  for (const auto& l : *leidas) lineas.push_back(base::cortaCp1252(l, 150));

  inicia(modo);
  encabezado_ = &encabezado;
  size_t i = 0;
  if (modo_ == 'i') {
    if (!lineas.empty()) lineaImpresora(lineas[i++]);
    if (!impresoraTexto_) {
      std::string titulo(rutaFormato.substr(rutaFormato.find_last_of("\\/") + 1));
      if (!impresora_.iniciaTrabajo(titulo)) falloImpresora_ = true;
      trabajoIniciado_ = true;
    }
    calculaCeldas();
  }

  ResultadoFormato resultado;
  try {
    while (i < lineas.size()) {
      const std::string& linea = lineas[i];
      if (empiezaCon(linea, "$")) {
        ++i;
        if (plantillaCapturada_) continue;  // later "$" lines are ignored
        std::vector<std::string> bloque;
        while (i < lineas.size() && !empiezaCon(lineas[i], "$")) bloque.push_back(lineas[i++]);
        if (i < lineas.size()) ++i;
        base::creaDirectorios(ruta("consulta"));
        base::escribeLineas(ruta(kArchivoPlantilla), bloque);
        plantillaCapturada_ = true;
        correPlantilla();
      } else if (empiezaCon(linea, "&")) {
        ++i;
        std::vector<std::string> bloque;
        while (i < lineas.size() && !empiezaCon(lineas[i], "&")) bloque.push_back(lineas[i++]);
        if (i < lineas.size()) ++i;
        base::creaDirectorios(ruta("consulta"));
        base::escribeLineas(ruta(kArchivoDetalle), bloque);
        corridaDetalle(bloque, detalle);
      } else if (empiezaCon(linea, "si")) {
        // A failure here is not caught: it ends the run.
        std::string_view condicion = std::string_view(linea).substr(2);
        if (!empiezaCon(condicion, "("))
          throw ErrorFormato("La condición debe iniciar con \"(\": " + linea);
        bool cumple = EvaluaCondicion(condicion, encabezado, vars_);
        size_t fin = i + 1;
        while (fin < lineas.size() && lineas[fin] != "terminacondicion") ++fin;
        if (cumple)
          for (size_t k = i; k < fin; ++k) ejecutaLinea(lineas[k], encabezado);
        i = fin < lineas.size() ? fin + 1 : fin;
      } else {
        try {
          ejecutaLinea(linea, encabezado);
        } catch (const std::exception&) {
          reportaError(linea);
        }
        ++i;
      }
    }
  } catch (const std::exception& e) {
    resultado = {false, e.what()};
  }

  if (resultado.completo) {
    termina();
  } else {
    // The run stops where it failed; the pages drawn so far still come out.
    if (trabajoIniciado_ && !impresora_.terminaTrabajo()) falloImpresora_ = true;
    if (impresoraElegida_) impresora_.seleccionaImpresora(-1);
  }
  resultado.sinImpresora = modo_ == 'i' && falloImpresora_;
  if (vistaPrevia_.is_open()) vistaPrevia_.close();
  encabezado_ = nullptr;
  if (resultado.completo && !enviaSecuenciaCruda() && modo_ == 'i') resultado.sinImpresora = true;
  return resultado;
}

void MotorFormatos::termina() {
  if (modo_ == 'i') {
    if (!impresoraTexto_) {
      for (const auto& r : leeRegistros(ruta(kArchivoComentarios)))
        impresora_.texto(entero(anchoCelda_) * r.x, entero(altoCelda_) * r.y, r.texto);
      if (!impresora_.terminaTrabajo()) falloImpresora_ = true;
    } else {
      if (!impresora_.imprimeTexto(lineasTexto_, "Courier")) falloImpresora_ = true;
    }
    if (impresoraElegida_) impresora_.seleccionaImpresora(-1);
  }
  std::string comentarios = ruta(kArchivoComentarios);
  if (base::existe(comentarios)) base::escribeBytes(comentarios, "");
}

bool MotorFormatos::enviaSecuenciaCruda() {
  if (secuenciaCruda_.empty()) return true;
  const AjusteRecibo ajuste = leeAjusteRecibo(entorno_.directorioSistema());
  return cola_.envia(ajuste.cola, secuenciaCruda(secuenciaCruda_, vars_, ajuste), "Test");
}

std::string secuenciaCruda(std::string_view items, const Variables& vars, const AjusteRecibo& ajuste) {
  std::string bytes;
  bool conTexto = false;
  auto texto = [&](std::string_view utf8) {
    conTexto = true;
    bytes += codificaRecibo(utf8, ajuste.pagina);
  };
  for (const std::string& item : divideComas(items)) {
    if (item.empty()) continue;
    std::string_view resto = std::string_view(item).substr(1);
    if (item[0] == '#') {
      texto(vars.valor(resto).value_or(""));
    } else if (item[0] == '*') {
      texto(resto);
    } else if (item[0] == '&') {
      // A code for the printer's barcode command: eleven digits and a check "0".
      std::string v = vars.valor(resto).value_or("");
      if (v.size() < 13) {
        if (v.size() < 11) v.insert(0, 11 - v.size(), '0');
        v += '0';
      }
      texto(v);
    } else if (auto n = comoNumero(item); n && *n >= 0 && *n <= 255 && *n == std::trunc(*n)) {
      bytes += static_cast<char>(static_cast<unsigned char>(*n));
    }
  }
  // Text is written in the printer's table, selected in front: the printer may have been
  // left in another. A sequence of plain bytes (a drawer kick, a cut) goes as it is.
  return conTexto ? seleccionPagina(ajuste) + bytes : bytes;
}

void MotorFormatos::reportaError(std::string_view linea) {
  ui_.mensaje(kErrorEnFormato);
  ui_.mensaje(std::string(kLineaAfectada) + std::string(linea));
}

void MotorFormatos::pausaSiActiva() {
  if (pausaActiva_) entorno_.pausa(pausa_);
}

void MotorFormatos::correPlantilla() {
  auto lineas = base::leeLineas(ruta(kArchivoPlantilla));
  if (!lineas) return;
  if (paginacion_) {
    OpcionesTexto op;
    op.fuenteVista = op.fuenteImpresora = "Arial";
    op.tamano = 10;
    colocaEnDispositivo(entero(70 * anchoCelda_), 0, "Pag " + std::to_string(pagina_), op);
  }
  for (size_t i = 0; i < lineas->size();) i = pasoDeBloque(*lineas, i, *encabezado_);
}

size_t MotorFormatos::pasoDeBloque(const std::vector<std::string>& lineas, size_t i,
                                   TablaImpresion& tabla) {
  const std::string& linea = lineas[i];
  if (!empiezaCon(linea, "si")) {
    try {
      ejecutaLinea(linea, tabla);
    } catch (const std::exception&) {
      reportaError(linea);
    }
    return i + 1;
  }
  size_t fin = i + 1;
  while (fin < lineas.size() && lineas[fin] != "terminacondicion") ++fin;
  bool cumple = false;
  try {
    std::string_view condicion = std::string_view(linea).substr(2);
    if (!empiezaCon(condicion, "(")) throw ErrorFormato("La condición debe iniciar con \"(\"");
    cumple = EvaluaCondicion(condicion, tabla, vars_);
  } catch (const std::exception&) {
    reportaError(linea);
  }
  if (cumple) {
    for (size_t k = i; k < fin; ++k) {
      try {
        ejecutaLinea(lineas[k], tabla);
      } catch (const std::exception&) {
        reportaError(lineas[k]);
      }
    }
  }
  return fin < lineas.size() ? fin + 1 : fin;
}

void MotorFormatos::corridaDetalle(const std::vector<std::string>& lineas,
                                   TablaImpresion& detalle) {
  detalle.primero();
  int contador = desplazamientoRenglon_;
  while (!detalle.fin()) {
    for (size_t i = 0; i < lineas.size();) {
      if (contador >= lineasPagina_) {
        contador = 0;
        desplazamientoRenglon_ = 0;
        if (modo_ == 'i') {
          pausaSiActiva();
          impresora_.nuevaPagina();
        }
        ++pagina_;
        correPlantilla();
      }
      i = pasoDeBloque(lineas, i, detalle);
    }
    contador = desplazamientoRenglon_;
    detalle.siguiente();
  }
}

// --- Placing texts ------------------------------------------------------------------

void MotorFormatos::coloca(double columna, double renglon, bool conDesplazamiento,
                           const std::string& texto, const OpcionesTexto& op) {
  int x = entero(columna * anchoCelda_);
  int y = entero((renglon + (conDesplazamiento ? desplazamientoRenglon_ : 0)) * altoCelda_);
  colocaEnDispositivo(x, y, texto, op);
}

void MotorFormatos::colocaEnDispositivo(int x, int y, const std::string& texto,
                                        const OpcionesTexto& op) {
  if (impresoraTexto_ && !op.sinAjuste) {
    // Columns do not count on the text printer: texts of a row are joined in order.
    int n = altoCelda_ >= 1 ? entero(y / altoCelda_) : y;
    if (n < 0) n = 0;
    if (lineasTexto_.size() <= static_cast<size_t>(n)) lineasTexto_.resize(n + 1);
    lineasTexto_[n] += texto;
    ultimaY_ = y;
    return;
  }
  if (altoCelda_ >= 1 && desplazamientoPagina_ >= altoCelda_ &&
      entero((desplazamientoPagina_ + y) / altoCelda_) > lineasPagina_) {
    ++pagina_;
    if (modo_ == 'i') {
      pausaSiActiva();
      impresora_.nuevaPagina();
    }
    desplazamientoPagina_ = 1 - y;
  }
  ultimaY_ = y;
  y += desplazamientoPagina_;
  if (modo_ == 'i') {
    if (!op.fuenteImpresora.empty()) impresora_.fuente(op.fuenteImpresora);
    if (op.tamano) impresora_.tamanoFuente(op.tamano);
    std::string primera = texto;
    if (!op.sinAjuste && maxCaracteres_ >= 0 &&
        base::anchoCp1252(texto) > static_cast<size_t>(maxCaracteres_)) {
      primera = base::cortaCp1252(texto, maxCaracteres_);
      impresora_.texto(x, y + entero(altoCelda_), texto.substr(primera.size()));
    }
    impresora_.texto(x, y, primera);
    if (!op.fuenteImpresora.empty()) impresora_.fuente(fuente_);
    if (op.tamano) impresora_.tamanoFuente(tamano_);
    return;
  }
  RegistroVistaPrevia r;
  r.x = x;
  r.y = y;
  r.texto = texto;
  r.tamano = op.tamano ? op.tamano : tamano_;
  r.fuente = op.fuenteVista.empty() ? fuente_ : op.fuenteVista;
  r.color = color_;
  r.formato = op.formato;
  r.pagina = pagina_;
  agregaVistaPrevia(r);
}

void MotorFormatos::agregaVistaPrevia(const RegistroVistaPrevia& r) {
  if (!vistaPrevia_.is_open()) return;
  std::string b = codificaRegistro(r);
  vistaPrevia_.write(b.data(), static_cast<std::streamsize>(b.size()));
}

void MotorFormatos::saltoDePagina() {
  if (modo_ == 'i') {
    pausaSiActiva();
    impresora_.nuevaPagina();
  }
  desplazamientoRenglon_ = 0;
  ++pagina_;
}

// --- Lines --------------------------------------------------------------------------

void MotorFormatos::ejecutaLinea(const std::string& linea, TablaImpresion& tabla) {
  Palabra p = reconocePalabra(linea);
  if (saltaResto_ && p != Palabra::Asignacion) return;
  switch (p) {
    case Palabra::Ninguna: return;
    case Palabra::Colocacion: return colocacion(linea, tabla);
    case Palabra::Asignacion: return asignacion(linea, tabla);
    case Palabra::Escape: {
      size_t coma = linea.find(',');
      secuenciaCruda_ = coma == std::string::npos ? std::string() : linea.substr(coma + 1);
      return;
    }
    default: break;
  }
  std::vector<std::string> a = divideCampos(linea);
  PalabraCompleta completa = palabraCompleta(p);
  if (!completa.palabra.empty()) {
    bool igual = completa.exacto ? a[0] == completa.palabra : base::mismoNombre(a[0], completa.palabra);
    if (!igual) return;
  }
  const bool imprime = modo_ == 'i';
  switch (p) {
    case Palabra::Color:
      if (imprime) {
        if (auto c = colorPorNombre(a[1])) impresora_.colorFuente(*c);
      } else {
        color_ = base::cortaCp1252(a[1], 8);
        formato_.clear();
      }
      break;
    case Palabra::Letras:
      coloca(leeNumero(a[1]), leeNumero(a[2]), true,
             CantidadEnLetras(leeNumero(ExpresionTexto(a[3], tabla, vars_)), moneda_));
      break;
    case Palabra::Cuadro: cuadro(a); break;
    case Palabra::Tamano:
      tamano_ = leeEntero(a[1]);
      if (imprime) impresora_.tamanoFuente(tamano_);
      break;
    case Palabra::Tipo:
      fuente_ = base::cortaCp1252(a[1], 50);
      if (imprime) impresora_.fuente(fuente_);
      break;
    case Palabra::Logo: logo(a); break;
    case Palabra::Dia:
    case Palabra::Mes:
    case Palabra::Anio:
    case Palabra::MesLetra:
    case Palabra::FechaLarga: fechaColocada(p, a, tabla); break;
    case Palabra::Texto: coloca(leeNumero(a[1]), leeNumero(a[2]), false, a[3]); break;
    case Palabra::Moneda: moneda(a, tabla); break;
    case Palabra::Estilo: {
      std::string e = minusculas(a[1]);
      std::optional<EstiloFuente> estilo;
      if (e == "cursiva") estilo = EstiloFuente::Cursiva;
      if (e == "subrayada") estilo = EstiloFuente::Subrayada;
      if (e == "negrita") estilo = EstiloFuente::Negrita;
      if (e == "normal") estilo = EstiloFuente::Normal;
      if (estilo && imprime) impresora_.estiloFuente(*estilo);
      break;
    }
    case Palabra::Separa: {
      double n = leeNumero(a[1]);
      double alto = impresora_.altoPagina();
      altoCelda_ = n > 0 ? std::trunc(alto / n) : std::trunc(alto * (1.0 / 55));
      break;
    }
    case Palabra::Formato: formato_ = a[1]; break;
    case Palabra::Fecha:
    case Palabra::Corte: break;
    case Palabra::Saltar:
      if (minusculas(a[1]) == "fin")
        desplazamientoPagina_ = ultimaY_;
      else if (minusculas(a[1]) == "inicio")
        desplazamientoRenglon_ = 0;
      else
        desplazamientoRenglon_ += leeEntero(a[1]);
      break;
    case Palabra::Paginas: paginacion_ = minusculas(a[1]) == "imprime"; break;
    case Palabra::Dato: {
      std::string dato = ui_.dato(a[2].empty() ? "Insertar un Dato" : a[2]);
      if (int n = Variables::numeroVariable(a[1])) vars_.numeros[n] = comoNumero(dato).value_or(0);
      if (int n = Variables::numeroCadena(a[1])) vars_.cadenas[n] = dato;
      break;
    }
    case Palabra::Redondo:
      if (imprime) {
        int cw = entero(anchoCelda_), ch = entero(altoCelda_);
        int x1 = leeEntero(a[1]) * cw, y1 = leeEntero(a[2]) * ch;
        int x2 = leeEntero(a[3]) * cw, y2 = leeEntero(a[4]) * ch;
        int x3 = leeEntero(a[5]) * cw, y3 = leeEntero(a[6]) * ch;
        if (!a[7].empty()) impresora_.grosorPluma(leeEntero(a[7]));
        impresora_.rectanguloRedondeado(x1, y1, x2, y2, x3, y3);
        impresora_.grosorPluma(1);
      }
      break;
    case Palabra::NuevaPagina: saltoDePagina(); break;
    case Palabra::Lineas: lineasPagina_ = leeEntero(a[1]); break;
    case Palabra::Maximo: maxCaracteres_ = leeEntero(a[1]); break;
    case Palabra::Sql: sql(a, tabla, false); break;
    case Palabra::VariableSql: sql(a, tabla, true); break;
    case Palabra::Ajusta: {
      std::string t = ExpresionTexto(a[3], tabla, vars_);
      int ancho = std::max(0, leeEntero(a[4]));
      OpcionesTexto op;
      op.sinAjuste = true;
      coloca(leeNumero(a[1]), leeNumero(a[2]), true, base::cortaCp1252(t, ancho), op);
      break;
    }
    case Palabra::Fondo:
      if (imprime)
        if (auto c = colorPorNombre(a[1])) impresora_.colorBrocha(*c);
      break;
    case Palabra::Termina:
      if (imprime && !impresoraTexto_) {
        if (!impresora_.terminaTrabajo()) falloImpresora_ = true;
        if (!impresora_.iniciaTrabajo("Formato")) falloImpresora_ = true;
      }
      desplazamientoRenglon_ = 0;
      ++pagina_;
      break;
    case Palabra::CambiaImpresora:
      if (imprime) {
        if (!impresora_.terminaTrabajo()) falloImpresora_ = true;
        if (!a[1].empty()) impresora_.seleccionaImpresora(IndiceImpresora(a[1]));
        impresoraElegida_ = true;
        if (!impresora_.iniciaTrabajo("Formato")) falloImpresora_ = true;
        trabajoIniciado_ = true;
        calculaCeldas();
        desplazamientoRenglon_ = 0;
      }
      break;
    case Palabra::Numero: {
      std::string valor = base::mascaraImporte(formato_, ValorTermino(a[1], tabla, vars_), "");
      asignacionGenerada(a[3] + "=" + valor, tabla);
      break;
    }
    case Palabra::Modulo:
    case Palabra::Entero: {
      double x = leeNumero(ValorTermino(a[1], tabla, vars_));
      double y = leeNumero(ValorTermino(a[2], tabla, vars_));
      long long b = static_cast<long long>(std::trunc(y));
      std::string valor = "0";
      if (b > 0)
        valor = p == Palabra::Modulo
                    ? std::to_string(static_cast<long long>(std::trunc(x)) % b)
                    : std::to_string(static_cast<long long>(std::trunc(x / y)));
      asignacionGenerada(a[3] + "=" + valor + "+0", tabla);
      break;
    }
    case Palabra::Aborta: saltaResto_ = true; break;
    case Palabra::Direccion: impresora_.orientacion(a[1] == "horizontal"); break;
    case Palabra::Usuario: coloca(leeNumero(a[1]), leeNumero(a[2]), true, usuario_); break;
    case Palabra::Pausa:
      pausaActiva_ = true;
      pausa_ = leeEntero(a[1]);
      entorno_.pausa(pausa_);
      break;
    case Palabra::Comentarios: comentarios(a, tabla); break;
    case Palabra::LetrasIngles: {
      auto palabras = entorno_.palabrasMoneda(a[4]);
      AsignaMonedaLetras(palabras[0], palabras[1], palabras[2], palabras[3]);
      double cantidad = leeNumero(ExpresionTexto(a[3], tabla, vars_));
      coloca(leeNumero(a[1]), leeNumero(a[2]), true, CantidadEnLetrasIngles(a[4], cantidad, moneda_));
      break;
    }
    case Palabra::Puerto:
      base::escribeLineas(ruta("puerto.dat"), {a[1], a[2]});
      entorno_.ejecuta(ruta("AbrePuerto.exe"), "", dirSistema_, false);
      break;
    case Palabra::Barras: barras(a, tabla); break;
    default: break;
  }
}

void MotorFormatos::colocacion(const std::string& linea, TablaImpresion& tabla) {
  try {
    Colocacion c = divideColocacion(linea);
    double columna = leeNumero(c.columna), renglon = leeNumero(c.renglon);
    coloca(columna, renglon, true, ExpresionTexto(c.expresion, tabla, vars_));
  } catch (const std::exception&) {
    ui_.mensaje(std::string(kErrorEstructura) + linea);
  }
  if (desplazamientoRenglon_ > lineasPagina_) saltoDePagina();
}

void MotorFormatos::asignacion(const std::string& linea, TablaImpresion& tabla) {
  asignacionGenerada(linea, tabla);
}

void MotorFormatos::asignacionGenerada(const std::string& linea, TablaImpresion& tabla) {
  try {
    EjecutaAsignacion(linea, tabla, vars_, [this](std::string_view m) { ui_.mensaje(m); });
  } catch (const std::exception&) {
    ui_.mensaje(std::string(kErrorEstructura) + linea);
  }
}

double MotorFormatos::renglonOVariable(std::string_view texto) const {
  if (Variables::numeroVariable(texto)) return leeNumero(*vars_.valor(texto));
  return leeNumero(texto);
}

void MotorFormatos::cuadro(const std::vector<std::string>& a) {
  int x1 = entero(leeNumero(a[1]) * anchoCelda_);
  int y1 = entero(renglonOVariable(a[2]) * altoCelda_);
  int x2 = entero(leeNumero(a[3]) * anchoCelda_);
  int y2 = entero(renglonOVariable(a[4]) * altoCelda_);
  if (modo_ == 'i') {
    Color brocha = kBlanco;
    if (!quitaBlancos(a[6]).empty()) {
      auto c = colorConstante(a[6]);
      if (!c) throw ErrorFormato("'" + a[6] + "' no es un color válido");
      brocha = *c;
    }
    if (!a[5].empty()) impresora_.grosorPluma(leeEntero(a[5]));
    impresora_.colorBrocha(brocha);
    impresora_.rectangulo(x1, y1, x2, y2);
    impresora_.grosorPluma(1);
    impresora_.colorBrocha(kBlanco);
    return;
  }
  RegistroVistaPrevia r;
  r.x = x1;
  r.y = y1;
  r.texto = std::to_string(x2);
  r.tamano = kTamanoCuadro;
  r.fuente = quitaBlancos(a[5]).empty() ? "0" : std::to_string(leeEntero(a[5]));
  r.color = base::cortaCp1252(a[6], 8);
  r.formato = std::to_string(y2);
  r.pagina = pagina_;
  agregaVistaPrevia(r);
}

void MotorFormatos::logo(const std::vector<std::string>& a) {
  if (modo_ == 'i') {
    if (a[1].empty() || a[2].empty() || !base::existe(a[5])) return;
    int x1 = entero(leeNumero(a[1]) * anchoCelda_), y1 = entero(leeNumero(a[2]) * altoCelda_);
    int x2 = entero(leeNumero(a[3]) * anchoCelda_), y2 = entero(leeNumero(a[4]) * altoCelda_);
    if (!impresora_.imagen(x1, y1, x2, y2, a[5]))
      throw ErrorFormato("No se pudo cargar la imagen " + a[5]);
    return;
  }
  RegistroVistaPrevia r;
  r.x = entero(leeNumero(a[1]) * anchoCelda_);
  r.y = entero(leeNumero(a[2]) * altoCelda_);
  r.texto = a[5];
  r.tamano = kTamanoImagen;
  r.formato = std::to_string(entero(leeNumero(a[3]) * anchoCelda_));
  r.fuente = std::to_string(entero(leeNumero(a[4]) * altoCelda_));
  r.pagina = pagina_;
  agregaVistaPrevia(r);
}

std::optional<base::Fecha> MotorFormatos::fechaFuente(std::string_view fuente,
                                                     const TablaImpresion& tabla) {
  if (minusculas(fuente) == "hoy") return reloj_.ahora().fecha;
  int campo = referenciaCampo(fuente);
  if (campo < 0) return tabla.fecha(tabla.campo(fuente));
  if (campo >= tabla.numeroCampos())
    throw ErrorFormato("Campo número " + std::to_string(campo) + " fuera de rango");
  return tabla.fecha(campo);
}

void MotorFormatos::fechaColocada(Palabra p, const std::vector<std::string>& a,
                                  TablaImpresion& tabla) {
  double c = leeNumero(a[1]), r = leeNumero(a[2]);
  auto f = fechaFuente(a[3], tabla);
  if (!f) return;  // a blank date prints nothing
  switch (p) {
    case Palabra::Dia: coloca(c, r, false, dosDigitos(f->dia)); break;
    case Palabra::Mes: coloca(c, r, true, dosDigitos(f->mes)); break;
    case Palabra::Anio: {
      char b[16];
      std::snprintf(b, sizeof b, "%04d", f->anio);
      coloca(c, r, true, b);
      break;
    }
    case Palabra::MesLetra: coloca(c, r, true, base::mesFormato(f->mes)); break;
    default: coloca(c, r, true, base::fechaLarga(*f)); break;
  }
}

void MotorFormatos::moneda(const std::vector<std::string>& a, TablaImpresion& tabla) {
  std::string cantidad = ExpresionTexto(a[3], tabla, vars_);
  if (!a[6].empty()) {
    // A failure here is ignored: the amount stays as written.
    if (auto v = comoNumero(cantidad); v && comoNumero(a[6]))
      cantidad = conDecimales(*v, std::max(0, leeEntero(a[6])), 12);
  }
  std::string simbolo = ExpresionTexto(a[4], tabla, vars_);
  OpcionesTexto op;
  op.fuenteImpresora = "Courier New";
  op.fuenteVista = a[5].empty() ? "Courier New" : a[5];
  op.formato = formato_;
  coloca(leeNumero(a[1]), leeNumero(a[2]), true, base::mascaraImporte(formato_, cantidad, simbolo), op);
}

void MotorFormatos::sql(const std::vector<std::string>& a, TablaImpresion& tabla, bool asigna) {
  // "sql" and "vsq" ignore their own failures.
  try {
    std::string clave = tabla.texto(tabla.campo(a[6]));
    std::string sentencia = "Select " + a[3] + " from \"" +
                            base::une(entorno_.directorioDatos(), a[4]) + ".dbf\" where " +
                            a[5] + "\"" + clave + "\"";
    auto valor = entorno_.consultaSql(sentencia);
    if (!asigna) {
      if (valor) coloca(leeNumero(a[1]), leeNumero(a[2]), true, *valor);
      return;
    }
    std::string v = valor.value_or("");
    if (v.empty() && minusculas(primerosCaracteres(a[7], 3)) == "var") v = "0";
    EjecutaAsignacion(a[7] + "=" + v, tabla, vars_, {});
  } catch (const std::exception&) {
  }
}

void MotorFormatos::comentarios(const std::vector<std::string>& a, TablaImpresion& tabla) {
  static const struct {
    std::string_view archivo, campo, tipo;
  } kTablas[] = {{"facturae.dbf", "cldoc_f", "Factura"}, {"comprase.dbf", "cldoc_o", "Recepción"},
                 {"inventar.dbf", "clpro_i", "IN"},      {"cliente.dbf", "clcli_c", "CL"},
                 {"proveedo.dbf", "clave_p", "PR"},      {"vendedor.dbf", "clven_v", "VE"}};
  // Observation lines ignore their own failures.
  try {
    std::string archivo = minusculas(tabla.archivo());
    for (const auto& t : kTablas) {
      if (archivo != t.archivo) continue;
      double c = leeNumero(a[1]), r = leeNumero(a[2]);
      std::string clave = tabla.texto(tabla.campo(t.campo));
      auto lineas = entorno_.observaciones(tabla.directorio(), clave, t.tipo.substr(0, 2));
      for (size_t k = 0; k < lineas.size(); ++k) coloca(c, r + static_cast<double>(k), false, lineas[k]);
    }
  } catch (const std::exception&) {
  }
}

void MotorFormatos::barras(const std::vector<std::string>& a, TablaImpresion& tabla) {
  std::string codigo = primerosCaracteres(ExpresionTexto(a[1], tabla, vars_), 9);
  std::string cp = base::aCp1252(codigo);
  if (cp.size() < 9) cp.insert(0, 9 - cp.size(), '0');
  static const char kCabecera[] = {0x1B, 0x28, 0x42, 0x0F, 0x01, 0x06, 0x02,
                                   static_cast<char>(0xFE), static_cast<char>(0xA2), 0x00, 0x01};
  base::creaDirectorios("c:\\barras");
  base::escribeBytes("c:\\barras\\bar3.prn", std::string(kCabecera, sizeof kCabecera) + cp);
  entorno_.ejecuta("DOSPrinter.exe", " -LUC -O \"BAR3.PRN\"", "C:\\barras", true);
}

}  // namespace mostrador::printing
