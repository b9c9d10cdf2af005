// The product catalogue on real tables: creating, modifying, the key checks, the price
// rules of the edit, repeat, search, warehouses and what the screen shows.

#include <gtest/gtest.h>

#include "inventory/catalogo_productos.h"
#include "inventory/precios.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "store/dbf/dbf_table.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"

namespace mostrador::prueba {
namespace {

using inventory::CatalogoProductos;
using inventory::ModoCatalogo;

constexpr std::string_view kTrabajo = "C:\\trabajo";

struct Catalogo : ::testing::Test {
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  InteraccionFalsa ui;
  RelojFijo reloj{{{2025, 7, 14}, {10, 0, 0, 0}}};
  std::set<int> sinDerecho;
  std::unique_ptr<CatalogoProductos> cat;

  Catalogo() { base::creaDirectorios(kTrabajo); }

  ProductoVenta producto(std::string clave, std::string descripcion, double existencia = 0) {
    ProductoVenta p;
    p.clave = std::move(clave);
    p.descripcion = std::move(descripcion);
    p.existencia = existencia;
    return p;
  }
  // Writes one field of a product straight into the table (another station's work).
  void pon(const std::string& clave, const std::string& campo, double v) {
    dbf::Table t;
    t.open(EmpresaVentas::kDatos, "inventar.dbf");
    t.setIndex("ICLPRO");
    ASSERT_TRUE(t.findKey({clave}));
    t.edit();
    t.setFloat(campo, v);
    t.post();
  }
  void ponTexto(const std::string& clave, const std::string& campo, const std::string& v) {
    dbf::Table t;
    t.open(EmpresaVentas::kDatos, "inventar.dbf");
    t.setIndex("ICLPRO");
    ASSERT_TRUE(t.findKey({clave}));
    t.edit();
    t.setText(campo, v);
    t.post();
  }
  CatalogoProductos& abre() {
    cat = std::make_unique<CatalogoProductos>(
        inventory::AjustesCatalogo::de(empresa.lineas, std::string(kTrabajo), "0"), ui, reloj,
        [this](int n) { return !sinDerecho.count(n); });
    EXPECT_TRUE(cat->abre());
    return *cat;
  }
  std::vector<std::string> claves() const {
    return empresa.filas("inventar.dbf", {"CLPRO_I"});
  }
};

TEST_F(Catalogo, PriceFromMarginAndAverageCostOnLeavingTheCost) {
  auto& c = abre();
  ASSERT_TRUE(c.nuevo());
  ASSERT_TRUE(c.ponTexto("PORC1_I", "30"));
  ASSERT_TRUE(c.ponTexto("ULCOS_I", "10"));
  c.saleCosto();
  EXPECT_EQ(c.numero("PPUBL_I"), 10 * (30 * 0.01 + 1));
  EXPECT_DOUBLE_EQ(c.numero("PPUBL_I"), 13);
  // A blank average cost takes the last cost; a typed one stays.
  EXPECT_EQ(c.texto("CPROM_I").empty(), false);
  EXPECT_DOUBLE_EQ(c.numero("CPROM_I"), 10);
  ASSERT_TRUE(c.ponTexto("ULCOS_I", "20"));
  c.saleCosto();
  EXPECT_DOUBLE_EQ(c.numero("CPROM_I"), 10);
  EXPECT_DOUBLE_EQ(c.numero("PPUBL_I"), 26);
  // A margin of 0 (or below) leaves the public price as it is.
  ASSERT_TRUE(c.ponTexto("PORC1_I", "0"));
  ASSERT_TRUE(c.ponTexto("PPUBL_I", "99"));
  ASSERT_TRUE(c.ponTexto("ULCOS_I", "50"));
  c.saleCosto();
  EXPECT_DOUBLE_EQ(c.numero("PPUBL_I"), 99);
  ASSERT_TRUE(c.ponTexto("PORC1_I", "-5"));
  c.saleCosto();
  EXPECT_DOUBLE_EQ(c.numero("PPUBL_I"), 99);
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Catalogo, APriceUnderTheCostWarnsAndStays) {
  auto& c = abre();
  ASSERT_TRUE(c.nuevo());
  ASSERT_TRUE(c.ponTexto("ULCOS_I", "10"));
  ASSERT_TRUE(c.ponTexto("PLIS2_I", "9.99"));
  c.salePrecio(2);
  EXPECT_DOUBLE_EQ(c.numero("PLIS2_I"), 9.99);
  ASSERT_TRUE(c.ponTexto("PLIS3_I", "10"));
  c.salePrecio(3);
  c.salePrecio(4);  // blank price: never warns
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{"El precio es menor al Costo"});
  // A blank cost counts as 0: only a negative price is under it.
  ASSERT_TRUE(c.ponTexto("ULCOS_I", ""));
  c.salePrecio(2);
  ASSERT_TRUE(c.ponTexto("PLIS6_I", "-1"));
  c.salePrecio(6);
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"El precio es menor al Costo", "El precio es menor al Costo"}));
  // Level 1 has no such check.
  ASSERT_TRUE(c.ponTexto("ULCOS_I", "10"));
  ASSERT_TRUE(c.ponTexto("PPUBL_I", "1"));
  c.salePrecio(1);
  EXPECT_EQ(ui.mensajes().size(), 2u);
}

TEST(EscaleraPrecios, OneLadderForTheLookupAndTheSale) {
  inventory::PreciosProducto p;
  p.umbral = {10, 50, 100, 0, 0, 0, 0};
  p.lista = {20, 18, 15, 0, 0, 0, 0};
  EXPECT_EQ(inventory::listaPorCantidad(p, 10), 1);
  EXPECT_EQ(inventory::listaPorCantidad(p, 11), 2);
  EXPECT_EQ(inventory::listaPorCantidad(p, 100), 3);
  // Above every limit: the top step's price, not an undefined one.
  EXPECT_EQ(inventory::listaPorCantidad(p, 101), 3);
  EXPECT_DOUBLE_EQ(inventory::precioUnitario(p, 0, true, 101, 0), 15);
  EXPECT_DOUBLE_EQ(inventory::precioUnitario(p, 0, true, 11, 0), 18);
}

TEST_F(Catalogo, PackagePriceUsesTheLevelThePackageEarns) {
  auto p = producto("B2", "MARTILLO");
  p.precio = 50;
  p.listas = {45, 40, 0, 0, 0, 0};
  p.umbrales = {10, 50, 100, 0, 0, 0, 0};
  p.empaque = 24;
  empresa.producto(p);
  auto& c = abre();
  EXPECT_DOUBLE_EQ(inventory::precioEmpaque(c.registro()), 45 * 24);
  EXPECT_EQ(inventory::mensajePrecioEmpaque(c.registro()), "El precio por Empaque      $ 1,080.00");
  pon("B2", "UEMPA_I", 120);
  c.primero();
  EXPECT_EQ(inventory::mensajePrecioEmpaque(c.registro()), "El precio por Empaque      $ 4,800.00");
}

TEST_F(Catalogo, NegativeStockIsZeroedWhenLine41ForbidsIt) {
  empresa.producto(producto("A1", "TORNILLO", -3));
  empresa.linea(41, "N");
  auto& c = abre();
  auto vista = c.presenta();
  EXPECT_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "A1", "EXIST_I"), 0);
  EXPECT_FALSE(vista.existenciaRoja);
  // With negative stock allowed it stays and shows red.
  pon("A1", "EXIST_I", -3);
  empresa.linea(41, "S");
  auto& d = abre();
  EXPECT_TRUE(d.presenta().existenciaRoja);
  EXPECT_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "A1", "EXIST_I"), -3);
}

TEST_F(Catalogo, DisplayRulesPackagesPictureWarningsAvailableAndLength) {
  auto p = producto("CLAVO", "CLAVO 2 PULGADAS", 30);
  p.empaque = 12;
  empresa.producto(p);
  pon("CLAVO", "STMIN_I", 50);
  ponTexto("CLAVO", "IMAGE_I", "C:\\fotos\\clavo.jpg");
  ponTexto("CLAVO", "ALMAC_I", "");
  {
    dbf::Table e;
    e.open(EmpresaVentas::kDatos, "Existe.dbf");
    for (double q : {2.5, 4.0}) {
      e.append();
      e.setText("CLAVE", "CLAVO");
      e.setFloat("CANTI", q);
      e.post();
    }
    e.append();
    e.setText("CLAVE", "OTRO");
    e.setFloat("CANTI", 100);
    e.post();
  }
  base::escribeLineas(base::une(kTrabajo, "inventar.cnf"), {"S"});
  auto& c = abre();
  auto v = c.presenta();
  EXPECT_EQ(v.empaques, "EMPAQUES 2.50");
  EXPECT_FALSE(v.imagenVisible);
  EXPECT_EQ(v.tituloImagen, "Imagen");
  EXPECT_DOUBLE_EQ(v.disponible, 36.5);
  EXPECT_EQ(v.caracteres, "Caracteres 5");
  EXPECT_EQ(ui.mensajes(),
            std::vector<std::string>{"El Producto Esta por Debajo de su Stock Mínimo 50 Existencias 30"});
  // The blank warehouse was written as 1.
  EXPECT_EQ(empresa.texto("inventar.dbf", "CLPRO_I", "CLAVO", "ALMAC_I"), "1");

  // The picture exists: shown with its path; above the maximum warns the other way.
  dir.escribe("unidades/c/fotos/clavo.jpg", "x");
  pon("CLAVO", "STMIN_I", 0);
  pon("CLAVO", "STMAX_I", 20.5);
  ui.olvidaLlamadas();
  c.primero();
  v = c.presenta();
  EXPECT_TRUE(v.imagenVisible);
  EXPECT_EQ(v.rutaImagen, "C:\\fotos\\clavo.jpg");
  EXPECT_EQ(ui.mensajes(),
            std::vector<std::string>{"El Producto Esta por Arriba de su Stock Máximo 20.5 Existencias 30"});

  // The option off (rewritten by the toggle): no warnings.
  c.alternaChecaStocks();
  EXPECT_EQ(base::leeLinea(base::une(kTrabajo, "inventar.cnf"), 1), "N");
  ui.olvidaLlamadas();
  c.presenta();
  EXPECT_TRUE(ui.mensajes().empty());
  // No packages: a blank label.
  pon("CLAVO", "UEMPA_I", 0);
  c.primero();
  EXPECT_EQ(c.presenta().empaques, "");
}

TEST_F(Catalogo, ConsecutiveKeysFollowTheLastNumericKey) {
  empresa.linea(64, "S");
  empresa.producto(producto("00123", "PRIMERO"));
  auto& c = abre();
  ASSERT_TRUE(c.nuevo());
  EXPECT_EQ(c.texto("CLPRO_I"), "124");
  // The proposed key is the product's own: leaving it does not call it a duplicate.
  EXPECT_EQ(c.saleClave("124").clave, "124");
  ASSERT_TRUE(c.ponTexto("DSCPR_I", "SEGUNDO"));
  ASSERT_TRUE(c.guarda("124"));
  EXPECT_EQ(claves(), (std::vector<std::string>{"00123", "124"}));
  EXPECT_EQ(empresa.texto("inventar.dbf", "CLPRO_I", "124", "FEALT_I"), "14/07/2025");
  EXPECT_EQ(empresa.texto("inventar.dbf", "CLPRO_I", "124", "HORAF_F"), "0");
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Catalogo, ConsecutiveKeysAfterATextKeyProposeNone) {
  empresa.linea(64, "S");
  empresa.producto(producto("ABC", "LETRAS"));
  auto& c = abre();
  ASSERT_TRUE(c.nuevo());
  EXPECT_EQ(c.texto("CLPRO_I"), "");
  c.descarta();
  EXPECT_EQ(claves(), std::vector<std::string>{"ABC"});  // the blank record went away
  EXPECT_EQ(c.modo(), ModoCatalogo::Consulta);
}

TEST_F(Catalogo, DuplicateKeysAreRefusedOnLeavingAndOnSaving) {
  empresa.producto(producto("A1", "TORNILLO"));
  auto& c = abre();
  ASSERT_TRUE(c.nuevo());
  auto k = c.saleClave("A1");
  EXPECT_FALSE(k.valida);
  EXPECT_EQ(k.clave, "");
  EXPECT_FALSE(c.guarda("A1"));
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"La Clave del producto ya existe, es necesario Modificarla",
                                                     "La Clave Ya Existe es Necesario Cambiarla"}));
  EXPECT_EQ(c.modo(), ModoCatalogo::Nuevo);
  // A key longer than the field, and a blank one.
  ui.olvidaLlamadas();
  EXPECT_FALSE(c.guarda("ABCDEFGHIJKLMNOPQRSTU"));
  EXPECT_FALSE(c.saleClave("ABCDEFGHIJKLMNOPQRSTU").valida);
  EXPECT_FALSE(c.guarda("  "));
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"La Clave no Puede Tener más de 20 Caracteres",
                                                     "La Clave no Puede Tener más de 20 Caracteres",
                                                     "La Clave del Producto no Puede Quedar en Blanco"}));
  ASSERT_TRUE(c.guarda("A2"));
  EXPECT_EQ(claves(), (std::vector<std::string>{"A1", "A2"}));
  // In Modify the product's own key passes; another's does not.
  ui.olvidaLlamadas();
  ASSERT_TRUE(c.modifica());
  EXPECT_TRUE(c.saleClave("A2").valida);
  EXPECT_FALSE(c.saleClave("A1").valida);
  EXPECT_FALSE(c.guarda("A1"));
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"La Clave del producto ya existe, es necesario Modificarla",
                                                     "La Clave Ya Existe es Necesario Cambiarla"}));
  ASSERT_TRUE(c.guarda("A3"));
  EXPECT_EQ(claves(), (std::vector<std::string>{"A1", "A3"}));
}

TEST_F(Catalogo, BadInputLeavesTheRecordUnchanged) {
  empresa.producto(producto("A1", "TORNILLO", 5));
  auto& c = abre();
  ASSERT_TRUE(c.modifica());
  ASSERT_TRUE(c.ponTexto("ULCOS_I", "12.5"));
  EXPECT_FALSE(c.ponTexto("ULCOS_I", "12a"));
  EXPECT_DOUBLE_EQ(c.numero("ULCOS_I"), 12.5);
  EXPECT_FALSE(c.ponTexto("FEALT_I", "ayer"));
  EXPECT_FALSE(c.ponTexto("EXIST_I", "100"));
  EXPECT_FALSE(c.ponImagen("C:\\fotos\\no.jpg"));
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"\"12a\" no es un Número Válido",
                                                     "\"ayer\" no es una Fecha Válida",
                                                     "La Existencia Solo Cambia con los Movimientos al Inventario",
                                                     "No Existe el Archivo C:\\fotos\\no.jpg"}));
  ASSERT_TRUE(c.guarda("A1"));
  EXPECT_DOUBLE_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "A1", "ULCOS_I"), 12.5);
  EXPECT_DOUBLE_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "A1", "EXIST_I"), 5);
  EXPECT_EQ(empresa.texto("inventar.dbf", "CLPRO_I", "A1", "IMAGE_I"), "");
}

TEST_F(Catalogo, ModifyNeverChangesTheStockNorWhatAnotherStationWrote) {
  empresa.producto(producto("A1", "TORNILLO", 10));
  auto& c = abre();
  ASSERT_TRUE(c.modifica());
  EXPECT_DOUBLE_EQ(c.numero("EXIST_I"), 10);
  // The working copy lives in the working directory.
  EXPECT_EQ(EmpresaVentas::filasDe(kTrabajo, "InveAux.dbf", {"CLPRO_I", "EXIST_I"}),
            std::vector<std::string>{"A1|10.000"});
  // Meanwhile a sale: stock and the year's sales change on disk.
  pon("A1", "EXIST_I", 7);
  pon("A1", "VANCA_I", 3);
  ASSERT_TRUE(c.ponTexto("DSCPR_I", "TORNILLO 1/4"));
  ASSERT_TRUE(c.guarda("A1"));
  EXPECT_EQ(empresa.filas("inventar.dbf", {"CLPRO_I", "DSCPR_I", "EXIST_I", "VANCA_I"}),
            std::vector<std::string>{"A1|TORNILLO 1/4|7.000|3.000"});
  EXPECT_EQ(EmpresaVentas::filasDe(kTrabajo, "InveAux.dbf", {"CLPRO_I"}), std::vector<std::string>{});
  EXPECT_EQ(c.modo(), ModoCatalogo::Consulta);
}

TEST_F(Catalogo, RightsCloseAndDelete) {
  empresa.producto(producto("A1", "TORNILLO"));
  empresa.producto(producto("B1", "CLAVO"));
  sinDerecho = {32, 33, 34};
  auto& c = abre();
  EXPECT_FALSE(c.nuevo());
  EXPECT_FALSE(c.modifica());
  EXPECT_FALSE(c.elimina());
  EXPECT_TRUE(ui.llamadas().empty());
  sinDerecho.clear();
  // Closing: stay keeps the edit; save with a key saves; discard throws away.
  ASSERT_TRUE(c.nuevo());
  ui.respondeCerrar(base::RespuestaCerrar::Quedarse);
  EXPECT_FALSE(c.cierra("C1"));
  EXPECT_EQ(c.modo(), ModoCatalogo::Nuevo);
  ui.respondeCerrar(base::RespuestaCerrar::Guardar);
  EXPECT_TRUE(c.cierra("C1"));
  EXPECT_EQ(claves(), (std::vector<std::string>{"A1", "B1", "C1"}));
  ASSERT_TRUE(c.nuevo());
  ui.respondeCerrar(base::RespuestaCerrar::Guardar);
  EXPECT_TRUE(c.cierra(""));  // a blank key: nothing to save
  ASSERT_TRUE(c.modifica());
  ASSERT_TRUE(c.ponTexto("DSCPR_I", "OTRO"));
  ui.respondeCerrar(base::RespuestaCerrar::Descartar);
  EXPECT_TRUE(c.cierra("A1"));
  EXPECT_EQ(empresa.filas("inventar.dbf", {"CLPRO_I", "DSCPR_I"}),
            (std::vector<std::string>{"A1|TORNILLO", "B1|CLAVO", "C1|"}));
  // Delete asks first.
  c.primero();
  ui.respondeAdvertencia(base::RespuestaAdvertencia::No);
  EXPECT_FALSE(c.elimina());
  ui.respondeAdvertencia(base::RespuestaAdvertencia::Si);
  EXPECT_TRUE(c.elimina());
  EXPECT_EQ(claves(), (std::vector<std::string>{"B1", "C1"}));
  EXPECT_EQ(ui.llamadas().back(), "advertencia: Esta Seguro de Eliminar este Registro ?");
}

TEST_F(Catalogo, RepeatCopiesTheFieldsAndSplitsAtAComma) {
  auto p = producto("A1", "TORNILLO, 1/4", 40);
  p.linea = "FERRE";
  p.unidad = "PZA";
  p.precio = 2;
  empresa.producto(p);
  auto& c = abre();
  ASSERT_TRUE(c.repite());
  EXPECT_EQ(c.modo(), ModoCatalogo::Nuevo);
  // The description's second half moved into the next non-empty field (the unit), and
  // every later value one field on; the key is not copied.
  EXPECT_EQ(c.texto("CLPRO_I"), "");
  EXPECT_EQ(c.texto("DSCPR_I"), "TORNILLO");
  EXPECT_EQ(c.texto("UMEDI_I"), " 1/4");
  EXPECT_EQ(c.texto("LIPRO_I"), "PZA");
  // Stock is never copied into a new product.
  EXPECT_DOUBLE_EQ(c.numero("EXIST_I"), 0);
  ASSERT_TRUE(c.guarda("A2"));
  EXPECT_EQ(claves(), (std::vector<std::string>{"A1", "A2"}));
}

TEST_F(Catalogo, RepeatWithoutCommasCopiesEveryField) {
  auto p = producto("A1", "TORNILLO", 40);
  p.linea = "FERRE";
  p.precio = 2.5;
  empresa.producto(p);
  auto& c = abre();
  ASSERT_TRUE(c.repite());
  EXPECT_EQ(c.texto("DSCPR_I"), "TORNILLO");
  EXPECT_EQ(c.texto("LIPRO_I"), "FERRE");
  EXPECT_DOUBLE_EQ(c.numero("PPUBL_I"), 2.5);
}

TEST_F(Catalogo, SearchByKeyThenBarcodeThenNearestAndByDescription) {
  auto a = producto("A1", "TORNILLO");
  a.codigo = "7501";
  empresa.producto(a);
  auto b = producto("B2", "MARTILLO");
  b.codigo = "7503";
  empresa.producto(b);
  empresa.producto(producto("C3", "CLAVO"));
  auto& c = abre();
  ui.respondeBusqueda(base::Busqueda{"B2", base::CampoBusqueda::Clave});
  ASSERT_TRUE(c.busca());
  EXPECT_EQ(c.texto("CLPRO_I"), "B2");
  EXPECT_EQ(c.titulo(), "Inventario Ordenado por Clave");
  ui.respondeBusqueda(base::Busqueda{"7501", base::CampoBusqueda::Clave});
  ASSERT_TRUE(c.busca());
  EXPECT_EQ(c.texto("CLPRO_I"), "A1");
  EXPECT_EQ(c.titulo(), "Inventario Ordenado por Código");
  // A key typed in lower case is the key; one that is not there lands on the nearest and
  // says so instead of showing another product without a word.
  ui.respondeBusqueda(base::Busqueda{"c3", base::CampoBusqueda::Clave});
  ASSERT_TRUE(c.busca());
  EXPECT_EQ(c.texto("CLPRO_I"), "C3");
  EXPECT_TRUE(ui.mensajes().empty());
  ui.respondeBusqueda(base::Busqueda{"B", base::CampoBusqueda::Clave});
  ASSERT_TRUE(c.busca());
  EXPECT_EQ(c.texto("CLPRO_I"), "B2");
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{"La Clave B No Existe: se muestra la más próxima"});
  ui.respondeBusqueda(base::Busqueda{"MA", base::CampoBusqueda::Nombre});
  ASSERT_TRUE(c.busca());
  EXPECT_EQ(c.texto("CLPRO_I"), "B2");
  EXPECT_EQ(c.titulo(), "Inventario Ordenado por Descripción");
  // Ctrl+S / Ctrl+A in description order: CLAVO, MARTILLO, TORNILLO.
  c.siguiente();
  EXPECT_EQ(c.texto("CLPRO_I"), "A1");
  c.siguiente();
  EXPECT_EQ(c.texto("CLPRO_I"), "A1");
  c.anterior();
  c.anterior();
  EXPECT_EQ(c.texto("CLPRO_I"), "C3");
  ui.respondeBusqueda(std::nullopt);
  EXPECT_FALSE(c.busca());
  EXPECT_EQ(c.texto("CLPRO_I"), "C3");
}

TEST_F(Catalogo, SeveralWarehousesShowAndCheckOneAtATime) {
  empresa.linea(46, "S");
  empresa.producto(producto("A1", "TORNILLO"));
  empresa.producto(producto("B1", "CLAVO"));
  empresa.producto(producto("A1", "TORNILLO BODEGA"));
  empresa.producto(producto("C1", "MARTILLO"));
  ponTexto("A1", "ALMAC_I", "1");
  {
    dbf::Table t;
    t.open(EmpresaVentas::kDatos, "inventar.dbf");
    for (t.first(); !t.eof(); t.next()) {
      t.edit();
      t.setText("ALMAC_I", t.asText("DSCPR_I") == "TORNILLO BODEGA" || t.asText("CLPRO_I") == "C1" ? "2" : "1");
      t.post();
    }
  }
  auto& c = abre();
  EXPECT_EQ(c.texto("CLPRO_I"), "A1");
  c.siguiente();
  EXPECT_EQ(c.texto("CLPRO_I"), "B1");
  c.siguiente();  // A1 and C1 of warehouse 2 are not shown
  EXPECT_EQ(c.texto("CLPRO_I"), "B1");
  ASSERT_TRUE(c.cambiaAlmacen("2"));
  EXPECT_EQ(c.texto("DSCPR_I"), "TORNILLO BODEGA");
  c.siguiente();
  EXPECT_EQ(c.texto("CLPRO_I"), "C1");
  // The same key in another warehouse is not a duplicate here.
  ASSERT_TRUE(c.nuevo());
  EXPECT_TRUE(c.saleClave("B1").valida);
  EXPECT_FALSE(c.saleClave("C1").valida);
  ASSERT_TRUE(c.guarda("B1"));
  EXPECT_EQ(empresa.filas("inventar.dbf", {"CLPRO_I", "ALMAC_I"}),
            (std::vector<std::string>{"A1|1", "B1|1", "A1|2", "C1|2", "B1|2"}));
  EXPECT_FALSE(c.cambiaAlmacen("X"));
  EXPECT_EQ(ui.mensajes().back(), "El Almacén no Existe");
  EXPECT_EQ(c.almacen(), "2");
  ASSERT_TRUE(c.cambiaAlmacen(""));
  EXPECT_EQ(c.almacen(), "1");
}

TEST_F(Catalogo, PolicyMarginsPostThePriceAtOnce) {
  auto p = producto("A1", "TORNILLO");
  empresa.producto(p);
  pon("A1", "ULCOS_I", 10);
  auto& c = abre();
  ASSERT_TRUE(c.saleMargen(3, "50"));
  EXPECT_DOUBLE_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "A1", "PLIS3_I"), 15);
  EXPECT_DOUBLE_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "A1", "PORC3_I"), 50);
  EXPECT_FALSE(c.saleMargen(2, ""));
  EXPECT_FALSE(c.saleMargen(2, "x"));
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{"\"x\" no es un Número Válido"});
  // In Modify it goes to the working copy, and the edit goes on.
  ASSERT_TRUE(c.modifica());
  ASSERT_TRUE(c.saleMargen(2, "20"));
  EXPECT_DOUBLE_EQ(c.numero("PLIS2_I"), 12);
  ASSERT_TRUE(c.ponTexto("DSCPR_I", "TORNILLO 2"));
  ASSERT_TRUE(c.guarda("A1"));
  EXPECT_DOUBLE_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "A1", "PLIS2_I"), 12);
  EXPECT_EQ(empresa.texto("inventar.dbf", "CLPRO_I", "A1", "DSCPR_I"), "TORNILLO 2");
}

TEST_F(Catalogo, LineOneNoFindsTheNewProductAgain) {
  empresa.producto(producto("M1", "MEDIO"));
  empresa.producto(producto("Z1", "ULTIMO"));
  empresa.linea(1, "NO");
  auto& c = abre();
  ASSERT_TRUE(c.nuevo());
  ASSERT_TRUE(c.guarda("A0"));
  EXPECT_EQ(c.texto("CLPRO_I"), "A0");
  EXPECT_EQ(c.titulo(), "Inventario Ordenado por Clave");
}

TEST_F(Catalogo, AMissingCatalogueIsReported) {
  dbf::Table::drop(EmpresaVentas::kDatos, "inventar.dbf");
  CatalogoProductos c(inventory::AjustesCatalogo::de(empresa.lineas, std::string(kTrabajo), "0"), ui, reloj,
                      [](int) { return true; });
  EXPECT_FALSE(c.abre());
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{"Ha Ocurrido un Error al Abrir una de las Bases de Datos."});
  EXPECT_FALSE(c.nuevo());
  EXPECT_FALSE(c.hayProducto());
}

TEST(AjustesDelCatalogo, LinesOfTheConfiguration) {
  DirectorioTemporal dir;
  std::vector<std::string> l(72);
  l[0] = "NO";
  l[7] = "C:\\datos";
  l[40] = "N";
  l[45] = "S";
  l[58] = "C:\\comun ";
  l[63] = "S";
  l[71] = "3";
  auto a = inventory::AjustesCatalogo::de(l, "C:\\t", "4");
  EXPECT_TRUE(a.buscaAlGuardar);
  EXPECT_TRUE(a.sinNegativos);
  EXPECT_TRUE(a.multialmacen);
  EXPECT_TRUE(a.consecutivas);
  EXPECT_EQ(a.dirDatos, "C:\\datos");
  EXPECT_EQ(a.dirInventario, "C:\\comun");
  EXPECT_EQ(a.margenFaltantes, "3");
  EXPECT_FALSE(a.checaStocks);
  l[58].clear();
  EXPECT_EQ(inventory::AjustesCatalogo::de(l, "C:\\t", "4").dirInventario, "C:\\datos");
  EXPECT_EQ(inventory::numeroDeClave("00123"), 123);
  EXPECT_EQ(inventory::numeroDeClave("ABC"), 0);
  EXPECT_EQ(inventory::numeroCorto(5), "5");
  EXPECT_EQ(inventory::numeroCorto(-2.25), "-2.25");
}

}  // namespace
}  // namespace mostrador::prueba
