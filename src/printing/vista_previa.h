#pragma once
// What the preview screen draws and writes, kept apart from the widgets: the drawing of
// one page of the preview file on a sheet of W x H points, the page count, the grid
// position of a comment item and the comments file its print button writes; and the
// preview protocol every printing screen follows.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "printing/impresora.h"
#include "printing/registro_vista_previa.h"

namespace mostrador::base {
class Interaccion;
}

namespace mostrador::printing {

class MotorFormatos;
class TablaImpresion;

struct TrazoVistaPrevia {
  enum class Tipo { Texto, Cuadro, Imagen };
  Tipo tipo = Tipo::Texto;
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // text: (x1, y1) is its top left corner
  std::string texto;                   // picture: the file
  std::string fuente;
  int tamano = 0;
  Color color;                         // text colour
  std::optional<Color> brocha;         // box fill; none draws it white
};

// The highest page number of the records, 0 when there are none.
int cuentaPaginas(const std::vector<RegistroVistaPrevia>& registros);
// The strokes of one page on a sheet of ancho x alto: texts whose x is below 80, boxes
// and pictures (only those whose file exists), in file order.
std::vector<TrazoVistaPrevia> trazosDePagina(const std::vector<RegistroVistaPrevia>& registros,
                                             int pagina, int ancho, int alto);
// The page the selector asks for: empty, unreadable or below 1 gives 1; above the
// count gives the count (when there are pages).
int paginaElegida(std::string_view selector, int paginas);

// Grid position of a comment item placed dx, dy points from the sheet's top left corner.
struct PosicionComentario {
  int columna = 0, renglon = 0;
};
PosicionComentario posicionComentario(int dx, int dy, int ancho, int alto);
// "Renglon " + row + " Columna " + column.
std::string textoPosicion(const PosicionComentario& p);

struct ComentarioVistaPrevia {
  PosicionComentario posicion;
  std::vector<std::string> lineas;  // the note: one record per line, one row apart
};
// Rewrites "\tempo\comentar.tmp" of the system directory: one record per line of the
// note, then one per one-line field, text cut to 150, size 10, "Arial", "negro".
bool escribeComentarios(std::string_view dirSistema, const ComentarioVistaPrevia& nota,
                        const std::vector<std::pair<PosicionComentario, std::string>>& campos);

// The preview screen as the protocol sees it.
class PantallaVistaPrevia {
 public:
  virtual ~PantallaVistaPrevia() = default;
  // Shows the preview modally; true when the user pressed its print button.
  virtual bool muestra() = 0;
};

struct TrabajoImpresion {
  TablaImpresion* encabezado = nullptr;
  TablaImpresion* detalle = nullptr;
  std::string formato;                            // full stored path of the format
  std::optional<std::string> usuario;             // AsignaUsuarioImpresion, when given
  std::optional<std::array<std::string, 4>> moneda;  // AsignaMonedaLetras, when given
  // Asked before the print run that follows the preview; none: always allowed.
  std::function<bool()> autorizaImpresion;
};

// The preview protocol: a run in mode 'p' when the format exists (otherwise
// "El Formato " + path + " No Existe"), the screen shown modally, and when its print
// button was used (and autorizaImpresion allows it) a second run in mode 'i' on the same
// format and tables. True when the document was printed.
bool VistaPreliminar(MotorFormatos& motor, base::Interaccion& ui, PantallaVistaPrevia& pantalla,
                     const TrabajoImpresion& trabajo);

}  // namespace mostrador::printing
