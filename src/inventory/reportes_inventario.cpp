#include "inventory/reportes_inventario.h"

#include "base/rutas.h"

namespace mostrador::inventory {
namespace {

constexpr const char* kTodos = "?(CLPRO_I=CLPRO_I) ";

struct Lista {
  const char* menu;
  const char* titulo;
  const char* columnas;
  const char* codigos;
  const char* encabezado;
};

// The catalogue's own lists: one statement over inventar.dbf each.
const Lista* lista(ReporteInventario r) {
  static const Lista l[] = {
      {"Stocks1", "Stocks", "CLPRO_I,DSCPR_I,EXIST_I,ULCOS_I,STMIN_I,STMAX_I,EXIST_I-STMIN_I", "c c f t f f f",
       "#PRODUCTO       DESCRIPCION         EXISTENCIAS       ULTIMO_COSTO      STOCK_MINIMO   STOCK_MAXIMO  "
       "AJUSTE        "},
      {"VtasyCprasAnuales1", "Ventas y Compras Anuales", "CLPRO_I,DSCPR_I,VANMO_I", "c c t",
       "#PRODUCTO       DESCRIPCION    VENTAS_ANUALES "},
      {"Existencias2", "Existencias", "CLPRO_I,DSCPR_I,EXIST_I", "c c t",
       "#PRODUCTO       DESCRIPCION              EXISTENCIAS  "},
      {"CostoyCostoPromedio1", "Costo y Costo Promedio", "CLPRO_I,DSCPR_I,ULCOS_I,CPROM_I,PPUBL_I,PPUBL_I-CPROM_I",
       "c c f f f t",
       "#PRODUCTO       DESCRIPCION    U_COSTO     C_PROMEDIO    PRECIO_PUB.    UTILIDAD      "},
      {"ListadePrecios1", "Lista de Precios", "CLPRO_I,DSCPR_I,PPUBL_I", "c c f",
       "#PRODUCTO       DESCRIPCION                                           PRECIO_PBL.    "},
      {"CostodelInventario1", "Costo del Inventario",
       "CLPRO_I,EXIST_I,DSCPR_I,CPROM_I,CPROM_I*EXIST_I,ULCOS_I,ULCOS_I*EXIST_I", "c t c f t f t",
       "#PRODUCTO       EXISTENCIAS   DESCRIPCION        C_PROM.     CANT.xC_PROM      U_COSTO      "
       "CANT.xU_COSTO    "},
      {"ValordeInventario1", "Valor de Inventario", "CLPRO_I,EXIST_I,DSCPR_I,PPUBL_I,PPUBL_I*EXIST_I", "c t c f t",
       "#PRODUCTO       EXISTENCIAS   DESCRIPCION        PRECIO_PUB.  CANT.xPRECIO_PUB.       "},
      {"CatlogodeProductos1", "Catálogo de Productos", "CLPRO_I,DSCPR_I,FEULC_I,FEULV_I,ULCOS_I,EXIST_I",
       "c c c c t t",
       "#PRODUCTO       DESCRIPCION              ULTIMA_COMPRA    ULTIMA_VENTA   ULTIMO_COSTO     EXISTENCIAS  "},
      {"CostoyValor1", "Costo y Valor",
       "CLPRO_I,EXIST_I,DSCPR_I,ULCOS_I*EXIST_I,PPUBL_I*EXIST_I,(PPUBL_I*EXIST_I)-(ULCOS_I*EXIST_I)",
       "c t c t t t",
       "#PRODUCTO       EXISTENCIAS   DESCRIPCION        COSTO_TOTAL.   VALOR_TOTAL      UTILIDAD_ESPERADA"},
      {"ListadePolticas1", "Lista de Políticas", "CLPRO_I,DSCPR_I,PPUBL_I,POLI1_I,PLIS2_I,POLI2_I,PLIS3_I,POLI3_I",
       "c c f f f f f f",
       "#PRODUCTO       DESCRIPCION               PRECIO_PBL.   POLITICA1    PRECIO2       POLITICA2    PRECIO3       "
       "POLITICA3    "},
      {"ExistenciasyStockMnimo1", "Existencias y Stock Mínimo",
       "CLPRO_I,DSCPR_I,EXIST_I,STMAX_I,((EXIST_I-STMAX_I)*(-1))", "c c t f f",
       "#PRODUCTO       DESCRIPCION         EXISTENCIAS           STOCK_MAXIMO   FALTANTES        "},
      {"ReportedeFaltantes1", "Reporte de Faltantes",
       "CLPRO_I,DSCPR_I,EXIST_I,STMAX_I,((EXIST_I-STMAX_I)*(-1)),CLPR1_I,ULCOS_I", "c c t f f c f",
       "#PRODUCTO       DESCRIPCION         EXISTENCIAS           STOCK_MAXIMO   FALTANTES     PROVEEDOR    "
       "COSTO        "},
      {"Caducidad1", "Caducidad", "C.CLDOC_OD,C.CLPRO_OD,C.DESCR_OD,C.CANTI_OD,C.FEDOC_OD,C.CADUC_OD,I.CLPRO_I",
       "c c c t c c", "#DOCUMENTO      PRODUCTO     DESCRIPCION    CANTIDAD      FECHA         CADUCIDAD       "},
      {"HistoriaComprasyVentas1", "Historia Compras y Ventas", "", "c c c t t t c",
       "#DOCUMENTO   CLAVE         PRODUCTO            CANTIDAD       PRECIO       IMPORTE        LETRA  "},
  };
  return &l[static_cast<int>(r)];
}

std::string tabla(const std::string& dir, const char* archivo) {
  return "\"" + base::une(dir, archivo) + "\"";
}

// The shortage margin as the filter takes it: blank is "0", longer texts are cut.
std::string margen(const std::string& m) {
  std::string r = m;
  while (!r.empty() && r.back() == ' ') r.pop_back();
  while (!r.empty() && r.front() == ' ') r.erase(r.begin());
  if (r.empty()) return "0";
  return r.substr(0, 10);
}

}  // namespace

std::vector<ReporteInventario> reportesInventario() {
  std::vector<ReporteInventario> v;
  for (int i = 0; i <= static_cast<int>(ReporteInventario::HistoriaComprasVentas); ++i)
    v.push_back(static_cast<ReporteInventario>(i));
  return v;
}

DefinicionReporte definicionReporte(ReporteInventario r, const OrigenReportes& o) {
  const Lista& l = *lista(r);
  std::vector<std::string> lineas{std::string("$") + l.titulo};
  const std::string inventar = tabla(o.dirInventario, "inventar.dbf");
  switch (r) {
    case ReporteInventario::Caducidad:
      lineas.push_back(std::string("& Select ") + l.columnas + " from " + inventar + " I," +
                       tabla(o.dirDatos, "ComprasD.dbf") + " C");
      lineas.push_back("?(C.CLPRO_OD=I.CLPRO_I AND I.CLPRO_I=\"" + o.clave + "\") ¿");
      lineas.push_back("!CLDOC_OD");
      break;
    case ReporteInventario::HistoriaComprasVentas:
      // Purchase lines (A) and invoice lines (B) of the product; the statements carry
      // their own conditions and the union keeps the order it reads.
      lineas.push_back("& Select CLDOC_OD,CLPRO_OD,DESCR_OD,CANTI_OD,CUNIT_OD,CANTI_OD*CUNIT_OD,'A' from " +
                       tabla(o.dirDatos, "COMPRASD.DBF") + " WHERE CLPRO_OD='" + o.clave + "'  UNION ");
      lineas.push_back("& Select CLDOC_FD,CLPRO_FD,DEPRO_FD,CANTI_FD,PUNPR_FD,CANTI_FD*PUNPR_FD,'B' from " +
                       tabla(o.dirDatos, "FACTURAD.DBF") + " WHERE CLPRO_FD='" + o.clave + "'");
      lineas.push_back("!X");
      break;
    case ReporteInventario::ExistenciasStockMinimo:
    case ReporteInventario::Faltantes:
      lineas.push_back(std::string("& Select ") + l.columnas + " from " + inventar);
      lineas.push_back("?((EXIST_I-(STMAX_I-" + margen(o.margenFaltantes) + "))<=0)and(CLPRO_I=CLPRO_I) ");
      lineas.push_back("!CLPRO_I");
      break;
    default:
      lineas.push_back(std::string("& Select ") + l.columnas + " from " + inventar);
      lineas.push_back(kTodos);
      lineas.push_back("!CLPRO_I");
  }
  lineas.push_back(std::string("%") + l.codigos);
  lineas.push_back(l.encabezado);
  lineas.push_back("@");
  std::string texto;
  for (const auto& x : lineas) texto += x + "\r";
  return {l.menu, l.titulo, texto};
}

}  // namespace mostrador::inventory
