#pragma once
// The print format interpreter. A run reads a format file line by line and executes
// it against two tables (the header, positioned on the document, and the detail with
// its lines), drawing on the printer (mode 'i') or appending records to the preview
// file (mode 'p').
//
// Run lifecycle (function that makes each transition):
//
//   idle --ImprimeFormato--> initialised (state cleared, preview file emptied)
//        --> printer line and job start (mode 'i')
//        --> line loop: page template captured and run once, detail blocks,
//            condition blocks, ordinary lines (each failed line is reported and the
//            loop goes on; a failure inside a top-level condition block ends the run)
//        --> end: comments and end of job (mode 'i') or text printer output
//        --> comments file emptied --> raw sequence sent --> idle
//
// Only one run at a time: the scratch files live in the station's system directory.
// The document user name and the currency words survive from run to run.

#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "printing/cajon.h"
#include "printing/cantidad_letras.h"
#include "printing/entorno_impresion.h"
#include "printing/expresiones.h"
#include "printing/impresora.h"
#include "printing/linea_formato.h"
#include "printing/registro_vista_previa.h"
#include "printing/tabla_impresion.h"
#include "base/interaccion.h"
#include "base/reloj.h"

namespace mostrador::printing {

inline constexpr std::string_view kErrorEnFormato = "Error en el Formato Revise su Estructura";
inline constexpr std::string_view kLineaAfectada = "Linea Afectada ";
inline constexpr std::string_view kErrorEstructura = "Existe un error en la estructura de la linea ";
// Shown when the printer did not take a document; it stays unprinted.
inline constexpr std::string_view kSinImpresora =
    "No se pudo imprimir: no hay una impresora disponible o no aceptó el trabajo. "
    "El documento sigue como No Impreso.";
inline constexpr std::string_view kColaTicket = "EPSON TM-T88II Partial cut sur COM2:";

// Paths below the system directory.
inline constexpr std::string_view kArchivoVistaPrevia = "tempo\\format.tmp";
inline constexpr std::string_view kArchivoComentarios = "tempo\\comentar.tmp";
inline constexpr std::string_view kArchivoPlantilla = "consulta\\plantill.tmp";
inline constexpr std::string_view kArchivoDetalle = "consulta\\detatmp.tmp";

struct ResultadoFormato {
  // false when the format file was missing or a failure inside a top-level condition
  // block ended the run; error then says why.
  bool completo = true;
  std::string error;
  // Mode 'i': the printer did not take the job (none usable, or it failed).
  bool sinImpresora = false;
};

// How one placed text differs from the current settings.
struct OpcionesTexto {
  std::string fuenteVista;      // preview font instead of the current one
  std::string fuenteImpresora;  // printer font for this text only
  int tamano = 0;               // font size for this text only (0: current)
  std::string formato;          // number format carried by a "moneda" item
  bool sinAjuste = false;       // no wrapping, and drawn even with the text printer
};

class MotorFormatos {
 public:
  MotorFormatos(EntornoImpresion& entorno, base::Interaccion& ui, const base::Reloj& reloj,
                Impresora& impresora, ColaCruda& cola);

  // Runs the format at the given path. modo: 'i' print, 'p' preview.
  // Preconditions: both tables open, the header on the document.
  ResultadoFormato ImprimeFormato(TablaImpresion& encabezado, TablaImpresion& detalle,
                                  std::string_view ruta, char modo);

  void AsignaUsuarioImpresion(std::string_view numero);
  void AsignaMonedaLetras(std::string_view singular, std::string_view plural,
                          std::string_view segundoPlural, std::string_view abreviatura);
  int IndiceImpresora(std::string_view nombre) const;

  const std::string& usuarioImpresion() const { return usuario_; }
  const MonedaLetras& monedaLetras() const { return moneda_; }

 private:
  void inicia(char modo);
  void lineaImpresora(std::string_view linea);
  void calculaCeldas();
  void ejecutaLinea(const std::string& linea, TablaImpresion& tabla);
  // One line or a whole condition block of a block file; errors reported, never thrown.
  size_t pasoDeBloque(const std::vector<std::string>& lineas, size_t i, TablaImpresion& tabla);
  void reportaError(std::string_view linea);
  void correPlantilla();
  void corridaDetalle(const std::vector<std::string>& lineas, TablaImpresion& detalle);
  void termina();
  bool enviaSecuenciaCruda();  // false when the receipt queue refused the bytes

  void coloca(double columna, double renglon, bool conDesplazamiento, const std::string& texto,
              const OpcionesTexto& op = OpcionesTexto());
  void colocaEnDispositivo(int x, int y, const std::string& texto, const OpcionesTexto& op);
  void agregaVistaPrevia(const RegistroVistaPrevia& r);
  void saltoDePagina();
  void pausaSiActiva();

  // Handlers, one per keyword kind.
  void colocacion(const std::string& linea, TablaImpresion& tabla);
  void asignacion(const std::string& linea, TablaImpresion& tabla);
  void asignacionGenerada(const std::string& linea, TablaImpresion& tabla);
  void cuadro(const std::vector<std::string>& a);
  void logo(const std::vector<std::string>& a);
  void fechaColocada(Palabra p, const std::vector<std::string>& a, TablaImpresion& tabla);
  void moneda(const std::vector<std::string>& a, TablaImpresion& tabla);
  void sql(const std::vector<std::string>& a, TablaImpresion& tabla, bool asigna);
  void comentarios(const std::vector<std::string>& a, TablaImpresion& tabla);
  void barras(const std::vector<std::string>& a, TablaImpresion& tabla);
  std::optional<base::Fecha> fechaFuente(std::string_view fuente, const TablaImpresion& tabla);
  double renglonOVariable(std::string_view texto) const;

  std::string ruta(std::string_view relativa) const;

  EntornoImpresion& entorno_;
  base::Interaccion& ui_;
  const base::Reloj& reloj_;
  Impresora& impresora_;
  ColaCruda& cola_;

  // Run state (cleared by inicia).
  char modo_ = 'p';
  double altoCelda_ = 1, anchoCelda_ = 1;
  int lineasPagina_ = 50;
  int maxCaracteres_ = 100;
  int desplazamientoRenglon_ = 0;
  int pagina_ = 1;
  int desplazamientoPagina_ = 0;
  int ultimaY_ = 0;
  std::string fuente_, color_, formato_;
  int tamano_ = 9;
  bool paginacion_ = false;
  bool pausaActiva_ = false;
  int pausa_ = 0;
  bool saltaResto_ = false;
  std::string secuenciaCruda_;
  bool impresoraTexto_ = false;
  std::vector<std::string> lineasTexto_;
  bool plantillaCapturada_ = false;
  bool trabajoIniciado_ = false;
  bool falloImpresora_ = false;  // a job that did not start or did not finish
  bool impresoraElegida_ = false;
  Variables vars_;
  std::string dirSistema_;
  std::ofstream vistaPrevia_;
  TablaImpresion* encabezado_ = nullptr;

  // Survive from run to run.
  std::string usuario_;
  MonedaLetras moneda_;
};

// The bytes of a raw sequence ("27,112,0,25,250", "#variable1", "*text", "&variable2"),
// variables taken from vars, text in the receipt's code page (printing/cajon.h). Items that
// are none of these are left out.
std::string secuenciaCruda(std::string_view items, const Variables& vars, const AjusteRecibo& ajuste);

}  // namespace mostrador::printing
