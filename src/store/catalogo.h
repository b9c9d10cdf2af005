#pragma once
// The table catalogue: every table a company's data directory holds and every table of
// a station's system directory, with its fields (name, type, width, decimals) and its
// index tags. This is the one place where table layouts are written down; company
// creation, the field dictionary, the reindex description file and the tests all read
// it from here.
//
// Widths. Keys and the values the screens write are sized so that everything the
// system stores fits:
//   document numbers  N(10,0) in the headers, C(10) as text in the lines (10 digits)
//   control stamp     N(5,0)                 0..99999
//   customer key      C(10)    supplier key C(10)    seller key C(10)
//   product key       C(20)    bar code     C(20)
//   names             C(60)    address lines C(60)   town C(40)   postal code C(10)
//   taxpayer reg.     C(15)    telephone    C(20)    zone C(20)
//   descriptions      C(50)    units        C(10)    text dates "dd/MM/yyyy" C(10)
//   money             N(16,4)  (totals are kept in ten-thousandths, so they round-trip)
//   prices, costs     N(14,4)  average cost N(18,6) (stored unrounded as far as a
//                                              numeric field allows)
//   quantities        N(14,3)  percents     N(9,4)   exchange rates N(12,4)
//   movement ref.     C(20)    "R12345678-99999" is 15 characters
//   closing invoice   C(30)    "CI(12345678-12345678)" is 21 characters
// Field names longer than ten characters (the scratch tables' "DESCRIPCION",
// "PrecioCliente") are stored as dBASE stores them: upper case, cut to ten
// (nombreCampoDbf).
//
// Tables whose names are ours to choose:
//   "Kits.dbf"      kit components: CLPRO_I (kit), CLPRO_K (component), DESCR_K and the
//                   quantity CANTI_K; tag CLPRO_I, because the kit screen ranges on the
//                   kit's key.
//   "Concepto.dbf"  concepts of account entries: TIMOV_MO (type number, looked up by
//                   TIMOV_CP), CONCE_MO, TIPOO_MO; tag TIMOV_MO. The sign-in file check
//                   already expects a "Concepto" table with an index, so the concept
//                   table takes that name.
//   "Cupagar.dbf"   expected by the sign-in file check (with its index); nothing reads
//                   it. It keeps the payables layout so that it can stand in for
//                   "cuepagar.dbf" in a copy.
//   "contacto.dbf"  customer contacts: CLCLI_C (set by the contacts window on a new row),
//                   name, position, telephone, e-mail and a note; tag CLCLI_C. A
//                   company made before it gets it when the window first opens.
//   "contprov.dbf"  supplier contacts: the same layout keyed on CLAVE_P (tag CLAVE_P),
//                   made the same way on first use.
//   "Poventas.dbf"  expected by the sign-in file check (without an index); nothing reads
//                   it. A day-total layout (date, till, total) reserved for the point of
//                   sale.

#include <string>
#include <string_view>
#include <vector>

#include "store/dbf/dbf_table.h"

namespace mostrador::store {

// Widths shared by the tables above; other modules size their edits by them.
namespace ancho {
inline constexpr int kNumeroDocumento = 10;
inline constexpr int kControl = 5;
inline constexpr int kClaveCliente = 10;
inline constexpr int kClaveProveedor = 10;
inline constexpr int kClaveVendedor = 10;
inline constexpr int kClaveProducto = 20;
inline constexpr int kCodigoBarras = 20;
inline constexpr int kNombre = 60;
inline constexpr int kDireccion = 60;
inline constexpr int kPoblacion = 40;
inline constexpr int kCodigoPostal = 10;
inline constexpr int kRfc = 15;
inline constexpr int kTelefono = 20;
inline constexpr int kZona = 20;
inline constexpr int kDescripcion = 50;
inline constexpr int kUnidad = 10;
inline constexpr int kFechaTexto = 10;
inline constexpr int kLinea = 20;
inline constexpr int kCaja = 3;
inline constexpr int kAlmacen = 3;
inline constexpr int kReferencia = 30;
inline constexpr int kReferenciaMovimiento = 20;
inline constexpr int kRuta = 120;
}  // namespace ancho

enum class Lugar {
  Datos,    // the company's data directory (configuration line 8)
  Sistema,  // the station's system directory
};

struct DefTabla {
  std::string archivo;  // file name as the system spells it ("FacturaE.dbf")
  std::string sufijo;   // field suffix of the family ("_F"), empty when none
  Lugar lugar = Lugar::Datos;
  std::string papel;    // what the table is for, one line
  std::vector<dbf::FieldDef> campos;
  std::vector<std::string> descripciones;  // one per field, for the field dictionary
  std::vector<dbf::TagDef> indices;

  // Field number for a name (case-insensitive; a name longer than ten characters is
  // looked up cut to ten), -1 when absent.
  int indiceCampo(std::string_view nombre) const;
  const dbf::FieldDef* campo(std::string_view nombre) const;
  const dbf::TagDef* indice(std::string_view nombre) const;  // case-insensitive
  // Lower-case file name, as the index description file and the field dictionary
  // write it ("facturae.dbf").
  std::string archivoMinusculas() const;
};

// Tables of a company's data directory, in a fixed order (documents first).
const std::vector<DefTabla>& tablasEmpresa();
// Tables of a station's system directory (scratch tables and the field dictionary).
const std::vector<DefTabla>& tablasSistema();
// Either list; the name is matched without regard to case, with or without its
// extension ("FACTURAE", "facturae.dbf"). nullptr when unknown.
const DefTabla* buscaTabla(std::string_view nombre);

// A field name as dBASE stores it: upper case, at most ten characters.
std::string nombreCampoDbf(std::string_view nombre);

// The documents the system numbers, with the letter that prefixes their references in
// inventory movements (NUDOC_MI) and in the document check.
enum class Documento {
  Factura,
  Remision,
  Pedido,
  Cotizacion,
  Devolucion,
  NotaCredito,
  CajaChica,
  FacturaAuxiliar,
  Compra,
  OrdenCompra,
  DevolucionCompra,
};

struct DefDocumento {
  Documento documento;
  std::string nombre;      // as the screens show it ("Remisión")
  char letra;              // movement reference letter; 0 for documents that never post
  std::string encabezado;  // header table file
  std::string detalle;     // line table file
  bool compra;             // purchase family (_O/_OD) rather than sales (_F/_FD)
};

const std::vector<DefDocumento>& documentos();
const DefDocumento& documento(Documento d);

}  // namespace mostrador::store
