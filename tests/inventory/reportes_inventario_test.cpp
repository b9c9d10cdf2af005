// The catalogue's list reports as the report runner receives them.

#include <gtest/gtest.h>

#include "inventory/reportes_inventario.h"

namespace mostrador::inventory {
namespace {

const OrigenReportes kOrigen{"C:\\comun", "C:\\datos", "A1", ""};

TEST(ReportesInventario, EveryListIsOneBlockOverTheCatalogue) {
  const auto r = definicionReporte(ReporteInventario::Stocks, kOrigen);
  EXPECT_EQ(r.menu, "Stocks1");
  EXPECT_EQ(r.titulo, "Stocks");
  EXPECT_EQ(r.texto,
            "$Stocks\r"
            "& Select CLPRO_I,DSCPR_I,EXIST_I,ULCOS_I,STMIN_I,STMAX_I,EXIST_I-STMIN_I from \"C:\\comun\\inventar.dbf\"\r"
            "?(CLPRO_I=CLPRO_I) \r"
            "!CLPRO_I\r"
            "%c c f t f f f\r"
            "#PRODUCTO       DESCRIPCION         EXISTENCIAS       ULTIMO_COSTO      STOCK_MINIMO   STOCK_MAXIMO  "
            "AJUSTE        \r"
            "@\r");
  const auto v = definicionReporte(ReporteInventario::CostoValor, kOrigen);
  EXPECT_EQ(v.menu, "CostoyValor1");
  EXPECT_EQ(v.texto,
            "$Costo y Valor\r"
            "& Select CLPRO_I,EXIST_I,DSCPR_I,ULCOS_I*EXIST_I,PPUBL_I*EXIST_I,(PPUBL_I*EXIST_I)-(ULCOS_I*EXIST_I) "
            "from \"C:\\comun\\inventar.dbf\"\r"
            "?(CLPRO_I=CLPRO_I) \r"
            "!CLPRO_I\r"
            "%c t c t t t\r"
            "#PRODUCTO       EXISTENCIAS   DESCRIPCION        COSTO_TOTAL.   VALOR_TOTAL      UTILIDAD_ESPERADA\r"
            "@\r");
}

TEST(ReportesInventario, MenuNamesCodesAndHeadingsOfEachList) {
  struct Caso {
    ReporteInventario r;
    const char* menu;
    const char* codigos;
    const char* encabezado;
  };
  const Caso casos[] = {
      {ReporteInventario::VentasAnuales, "VtasyCprasAnuales1", "%c c t",
       "#PRODUCTO       DESCRIPCION    VENTAS_ANUALES "},
      {ReporteInventario::Existencias, "Existencias2", "%c c t",
       "#PRODUCTO       DESCRIPCION              EXISTENCIAS  "},
      {ReporteInventario::CostoPromedio, "CostoyCostoPromedio1", "%c c f f f t",
       "#PRODUCTO       DESCRIPCION    U_COSTO     C_PROMEDIO    PRECIO_PUB.    UTILIDAD      "},
      {ReporteInventario::ListaPrecios, "ListadePrecios1", "%c c f",
       "#PRODUCTO       DESCRIPCION                                           PRECIO_PBL.    "},
      {ReporteInventario::CostoInventario, "CostodelInventario1", "%c t c f t f t",
       "#PRODUCTO       EXISTENCIAS   DESCRIPCION        C_PROM.     CANT.xC_PROM      U_COSTO      CANT.xU_COSTO    "},
      {ReporteInventario::ValorInventario, "ValordeInventario1", "%c t c f t",
       "#PRODUCTO       EXISTENCIAS   DESCRIPCION        PRECIO_PUB.  CANT.xPRECIO_PUB.       "},
      {ReporteInventario::Catalogo, "CatlogodeProductos1", "%c c c c t t",
       "#PRODUCTO       DESCRIPCION              ULTIMA_COMPRA    ULTIMA_VENTA   ULTIMO_COSTO     EXISTENCIAS  "},
      {ReporteInventario::ListaPoliticas, "ListadePolticas1", "%c c f f f f f f",
       "#PRODUCTO       DESCRIPCION               PRECIO_PBL.   POLITICA1    PRECIO2       POLITICA2    PRECIO3       "
       "POLITICA3    "},
  };
  for (const auto& c : casos) {
    const auto d = definicionReporte(c.r, kOrigen);
    EXPECT_EQ(d.menu, c.menu);
    EXPECT_NE(d.texto.find(std::string("\r") + c.codigos + "\r" + c.encabezado + "\r@\r"), std::string::npos)
        << c.menu;
    EXPECT_NE(d.texto.find("\r?(CLPRO_I=CLPRO_I) \r!CLPRO_I\r"), std::string::npos) << c.menu;
  }
  EXPECT_EQ(reportesInventario().size(), 14u);
}

TEST(ReportesInventario, ShortagesUseTheMarginOfLine72) {
  OrigenReportes o = kOrigen;
  o.margenFaltantes = " 5 ";
  const auto f = definicionReporte(ReporteInventario::Faltantes, o);
  EXPECT_EQ(f.texto,
            "$Reporte de Faltantes\r"
            "& Select CLPRO_I,DSCPR_I,EXIST_I,STMAX_I,((EXIST_I-STMAX_I)*(-1)),CLPR1_I,ULCOS_I from "
            "\"C:\\comun\\inventar.dbf\"\r"
            "?((EXIST_I-(STMAX_I-5))<=0)and(CLPRO_I=CLPRO_I) \r"
            "!CLPRO_I\r"
            "%c c t f f c f\r"
            "#PRODUCTO       DESCRIPCION         EXISTENCIAS           STOCK_MAXIMO   FALTANTES     PROVEEDOR    "
            "COSTO        \r"
            "@\r");
  o.margenFaltantes = "";
  EXPECT_NE(definicionReporte(ReporteInventario::ExistenciasStockMinimo, o)
                .texto.find("\r?((EXIST_I-(STMAX_I-0))<=0)and(CLPRO_I=CLPRO_I) \r"),
            std::string::npos);
  o.margenFaltantes = "123456789012";
  EXPECT_NE(definicionReporte(ReporteInventario::Faltantes, o).texto.find("(STMAX_I-1234567890))"),
            std::string::npos);
}

TEST(ReportesInventario, ExpiryAndHistoryOfTheCurrentProduct) {
  EXPECT_EQ(definicionReporte(ReporteInventario::Caducidad, kOrigen).texto,
            "$Caducidad\r"
            "& Select C.CLDOC_OD,C.CLPRO_OD,C.DESCR_OD,C.CANTI_OD,C.FEDOC_OD,C.CADUC_OD,I.CLPRO_I from "
            "\"C:\\comun\\inventar.dbf\" I,\"C:\\datos\\ComprasD.dbf\" C\r"
            "?(C.CLPRO_OD=I.CLPRO_I AND I.CLPRO_I=\"A1\") ¿\r"
            "!CLDOC_OD\r"
            "%c c c t c c\r"
            "#DOCUMENTO      PRODUCTO     DESCRIPCION    CANTIDAD      FECHA         CADUCIDAD       \r"
            "@\r");
  const auto h = definicionReporte(ReporteInventario::HistoriaComprasVentas, kOrigen);
  EXPECT_EQ(h.menu, "HistoriaComprasyVentas1");
  EXPECT_EQ(h.texto,
            "$Historia Compras y Ventas\r"
            "& Select CLDOC_OD,CLPRO_OD,DESCR_OD,CANTI_OD,CUNIT_OD,CANTI_OD*CUNIT_OD,'A' from "
            "\"C:\\datos\\COMPRASD.DBF\" WHERE CLPRO_OD='A1'  UNION \r"
            "& Select CLDOC_FD,CLPRO_FD,DEPRO_FD,CANTI_FD,PUNPR_FD,CANTI_FD*PUNPR_FD,'B' from "
            "\"C:\\datos\\FACTURAD.DBF\" WHERE CLPRO_FD='A1'\r"
            "!X\r"
            "%c c c t t t c\r"
            "#DOCUMENTO   CLAVE         PRODUCTO            CANTIDAD       PRECIO       IMPORTE        LETRA  \r"
            "@\r");
}

}  // namespace
}  // namespace mostrador::inventory
