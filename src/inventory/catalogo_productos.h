#pragma once
// The product catalogue behind TFormaInventario: browsing inventar.dbf (by key,
// description or bar code, one warehouse at a time when there are several), creating a
// product (a blank record posted at once, with the next consecutive key when keys are
// consecutive), modifying one on the one-record working copy InveAux.dbf, the key checks,
// the price rules of the edit (price from margin, price under cost), repeating a
// product, the search, deleting, and what the screen shows of the current product.
//
// Modes:   Consulta --nuevo()--> Nuevo --guarda()/descarta()--> Consulta
//          Consulta --modifica()--> Modifica --guarda()/descarta()--> Consulta
//
// In Nuevo the fields are written straight into the catalogue's blank record (held in
// edit); in Modifica into the working copy, copied back by guarda(). Stock (EXIST_I) is
// never written from the screen: a modification keeps the stock on disk, and any other
// field that another station changed while the copy was open (a sale's date and the
// year's sales) is kept unless it was edited here.
//
// Every refusal reaches the user through Interaccion as its exact Spanish message; an
// engine error while editing or saving shows the screen's fixed message and leaves the
// record as it was.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/interaccion.h"
#include "base/reloj.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::inventory {

inline constexpr const char* kTablaProductos = "inventar.dbf";
inline constexpr const char* kCopiaTrabajo = "InveAux.dbf";

struct AjustesCatalogo {
  std::string dirDatos;       // configuration line 8
  std::string dirInventario;  // configuration line 59 when set, else the data directory
  std::string dirTrabajo;     // the program's working directory (InveAux.dbf, "\inventar.cnf")
  std::string usuario;        // signed-in user number
  bool buscaAlGuardar = false;  // line 1 "NO": a new product is found again by key
  bool sinNegativos = false;    // line 41 "N"
  bool integrados = false;      // line 6 "SI": movements are posted by the documents
  bool multialmacen = false;    // line 46 "S"
  bool consecutivas = false;    // line 64 "S"
  std::string margenFaltantes;  // line 72
  bool checaStocks = false;     // "\inventar.cnf"

  // From the 72 configuration lines (1-based numbering) and the working directory.
  static AjustesCatalogo de(const std::vector<std::string>& lineas, std::string dirTrabajo,
                            std::string usuario);
};

enum class ModoCatalogo { Consulta, Nuevo, Modifica };
enum class OrdenCatalogo { Clave, Descripcion, Codigo };

// What the screen shows of the current product besides its fields.
struct Presentacion {
  std::string empaques;       // "EMPAQUES 2.50" or ""
  std::string imagen;         // the picture file to load, "" for none
  std::string rutaImagen;     // the path shown beside it
  bool imagenVisible = false;
  std::string tituloImagen;   // "Imagen" when the named file is missing
  bool existenciaRoja = false;
  double disponible = 0;      // EXIST_I plus the pending quantities of Existe.dbf
  std::string caracteres;     // "Caracteres 5"
};

// The answer of the key check: the key as it stays in the edit.
struct ChequeoClave {
  std::string clave;
  bool valida = true;
};

class CatalogoProductos {
 public:
  // derecho(n): whether the signed-in user holds right n (the screen asks the rights
  // module; a missing right makes the command do nothing).
  CatalogoProductos(AjustesCatalogo ajustes, base::Interaccion& ui, const base::Reloj& reloj,
                    std::function<bool(int)> derecho);
  ~CatalogoProductos();

  // Opens the catalogue and its companions; "Ha Ocurrido un Error al Abrir una de las
  // Bases de Datos." when one fails (false). Shows the first product.
  bool abre();
  bool abierto() const { return abierto_; }

  ModoCatalogo modo() const { return modo_; }
  OrdenCatalogo orden() const { return orden_; }
  std::string titulo() const;
  const AjustesCatalogo& ajustes() const { return aj_; }

  // The record the screen shows: the working copy in Modifica, the catalogue otherwise.
  const dbf::Table& registro() const;
  dbf::Table& catalogo() { return productos_; }
  bool hayProducto() const;
  std::string texto(std::string_view campo) const;
  double numero(std::string_view campo) const;

  // Writes a typed value into the record being edited (Nuevo or Modifica), or, in
  // Consulta, into the product at once (the companion screens). Letters in a
  // numeric field, a text longer than the field or a field that is not the screen's to
  // write are refused with their message and leave the record unchanged.
  bool ponTexto(std::string_view campo, std::string_view valor);

  // Commands.
  bool nuevo();     // right 32
  bool modifica();  // right 34
  bool guarda(std::string_view clave);
  void descarta();
  // Closing the screen in Nuevo or Modifica: asks Save / Discard / Stay; true when the
  // screen may close.
  bool cierra(std::string_view clave);
  bool elimina();  // right 33, after "Esta Seguro de Eliminar este Registro ?"
  bool repite();
  bool busca();
  void ordena(OrdenCatalogo o);
  void anterior();  // Ctrl+A
  void siguiente();  // Ctrl+S
  void primero();
  // The warehouse spinner: "" counts 1; "El Almacén no Existe" for one that is not a number.
  bool cambiaAlmacen(std::string_view almacen);
  std::string almacen() const { return almacen_; }
  // ChecarStocks1Click: toggles the option and rewrites "\inventar.cnf".
  void alternaChecaStocks();

  // Field events of the edit.
  ChequeoClave saleClave(std::string_view clave);  // leaving the key edit
  void saleCosto();                                  // leaving ULCOS_I
  void salePrecio(int nivel);                        // leaving the price of level 2..7
  // The price-policy screen leaving the margin of level n (1..7) with a typed margin.
  bool saleMargen(int nivel, std::string_view margen);
  // The picture of the record being edited; a missing file is refused.
  bool ponImagen(std::string_view ruta);

  // Applies the display rules to the current product (line 41, blank warehouse, the
  // stock warnings) and answers what the screen shows. Runs after every move, search,
  // save and cancel.
  Presentacion presenta();

  // Whether the last New or Modify edit ended saved.
  bool guardo() const { return guardo_; }
  // The key of the product as it was when Modifica began.
  const std::string& claveOriginal() const { return claveOriginal_; }

 private:
  bool abreCopia();
  bool ponCampo(dbf::Table& t, std::string_view campo, std::string_view valor);
  void vaciaCopia();
  int cuentaClave(std::string_view clave, uint32_t excepto) const;
  bool aceptaAlmacen() const;
  void ajustaAlAlmacen(bool haciaAdelante);
  void tagOrden();
  bool editando() const { return modo_ != ModoCatalogo::Consulta; }
  dbf::Table& edicion();
  void sale();

  AjustesCatalogo aj_;
  base::Interaccion& ui_;
  const base::Reloj& reloj_;
  std::function<bool(int)> derecho_;
  dbf::Table productos_;
  mutable dbf::Table busqueda_;  // a second handle for counts and searches during an edit
  dbf::Table copia_;
  bool abierto_ = false;
  ModoCatalogo modo_ = ModoCatalogo::Consulta;
  OrdenCatalogo orden_ = OrdenCatalogo::Clave;
  std::string almacen_ = "1";
  std::string claveOriginal_;
  uint32_t registroEditado_ = 0;
  std::vector<std::string> valoresOriginales_;  // the record as it was copied, by field
  std::string imagen_;
  bool guardo_ = false;
};

// Reads a whole number from a key text ("00123" -> 123); 0 when it is not one.
long long numeroDeClave(std::string_view clave);
// A number in its shortest decimal form ("5", "2.5", "-3").
std::string numeroCorto(double v);

}  // namespace mostrador::inventory
