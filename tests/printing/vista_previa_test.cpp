// The preview's drawing rules, the comments file and the preview protocol.

#include <gtest/gtest.h>

#include "support/fakes_impresion.h"
#include "printing/motor_formatos.h"
#include "printing/vista_previa.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"

using namespace mostrador;
using namespace mostrador::printing;
using namespace mostrador::prueba;

namespace {

RegistroVistaPrevia reg(int x, int y, std::string texto, int tamano, int pagina,
                        std::string fuente = "Arial", std::string color = "negro",
                        std::string formato = "") {
  RegistroVistaPrevia r;
  r.x = x;
  r.y = y;
  r.texto = std::move(texto);
  r.tamano = tamano;
  r.fuente = std::move(fuente);
  r.color = std::move(color);
  r.formato = std::move(formato);
  r.pagina = pagina;
  return r;
}

TEST(VistaPrevia, TextsBoxesAndPicturesOfOnePageScaledToTheSheet) {
  DirectorioTemporal dir;
  dir.escribe("logo.bmp", "BM");
  std::vector<RegistroVistaPrevia> rs{
      reg(10, 5, "Hola", 9, 1), reg(41, 11, "Rojo", 12, 2, "Courier", "rojo"),
      reg(80, 1, "Fuera", 9, 2), reg(2, 3, "40", kTamanoCuadro, 2, "1", "clRed", "20"),
      reg(4, 5, "logo.bmp", kTamanoImagen, 2, "30", "", "50"),
      reg(4, 5, "falta.bmp", kTamanoImagen, 2, "30", "", "50"),
      reg(1, 1, "Otro", 9, 3, "Arial", "morado"), reg(1, 1, "x", kTamanoCuadro, 3)};
  EXPECT_EQ(cuentaPaginas(rs), 3);
  EXPECT_EQ(cuentaPaginas({}), 0);

  auto p1 = trazosDePagina(rs, 1, 820, 550);
  ASSERT_EQ(p1.size(), 1u);
  EXPECT_EQ(p1[0].x1, 100);  // trunc(10 * 820 / 82)
  EXPECT_EQ(p1[0].y1, 50);   // trunc(5 * 550 / 55)
  EXPECT_EQ(p1[0].tamano, 10);  // trunc(9 * 0.25 * 820 / 181)
  EXPECT_EQ(p1[0].texto, "Hola");

  auto p2 = trazosDePagina(rs, 2, 820, 550);
  ASSERT_EQ(p2.size(), 3u);  // the text at x 80 and the missing picture are left out
  EXPECT_EQ(p2[0].color, (Color{255, 0, 0}));
  EXPECT_EQ(p2[0].fuente, "Courier");
  EXPECT_EQ(p2[1].tipo, TrazoVistaPrevia::Tipo::Cuadro);
  EXPECT_EQ((std::array{p2[1].x1, p2[1].y1, p2[1].x2, p2[1].y2}), (std::array{20, 30, 400, 200}));
  EXPECT_EQ(p2[1].brocha, (Color{255, 0, 0}));
  EXPECT_EQ(p2[2].tipo, TrazoVistaPrevia::Tipo::Imagen);
  // Pictures scale by the whole cell sizes: trunc(820/82) = 10, trunc(550 * 0.02) = 11.
  EXPECT_EQ((std::array{p2[2].x1, p2[2].y1, p2[2].x2, p2[2].y2}), (std::array{40, 55, 500, 330}));

  auto p3 = trazosDePagina(rs, 3, 820, 550);
  ASSERT_EQ(p3.size(), 1u);  // a box whose edges do not read is skipped
  EXPECT_EQ(p3[0].color, (Color{0, 0, 0}));  // unknown colour names draw black
}

TEST(VistaPrevia, PageSelectorAndCommentPositions) {
  EXPECT_EQ(paginaElegida("2", 3), 2);
  EXPECT_EQ(paginaElegida("0", 3), 1);
  EXPECT_EQ(paginaElegida("", 3), 1);
  EXPECT_EQ(paginaElegida("x", 3), 1);
  EXPECT_EQ(paginaElegida("9", 3), 3);
  EXPECT_EQ(paginaElegida("2", 0), 2);
  PosicionComentario p = posicionComentario(100, 60, 612, 792);  // cells of 7 x 14
  EXPECT_EQ(p.columna, 14);
  EXPECT_EQ(p.renglon, 4);
  EXPECT_EQ(textoPosicion(p), "Renglon 4 Columna 14");
}

TEST(VistaPrevia, CommentsFileHasTheNoteLinesThenEveryField) {
  DirectorioTemporal dir;
  ComentarioVistaPrevia nota{{5, 7}, {"Gracias", "por su compra"}};
  ASSERT_TRUE(escribeComentarios("C:\\TVK", nota, {{{1, 2}, "Uno"}, {{3, 4}, ""}}));
  auto rs = leeRegistros("C:\\TVK\\tempo\\comentar.tmp");
  EXPECT_EQ(rs, (std::vector{reg(5, 7, "Gracias", 10, 0), reg(5, 8, "por su compra", 10, 0),
                             reg(1, 2, "Uno", 10, 0), reg(3, 4, "", 10, 0)}));
  std::string largo(200, 'a');
  ASSERT_TRUE(escribeComentarios("C:\\TVK", {}, {{{0, 0}, largo}}));
  EXPECT_EQ(dir.lee("unidades/c/TVK/tempo/comentar.tmp").size(), 280u);
  EXPECT_EQ(leeRegistros("C:\\TVK\\tempo\\comentar.tmp")[0].texto, std::string(150, 'a'));
}

class PantallaFalsa : public PantallaVistaPrevia {
 public:
  bool imprime = false;
  int veces = 0;
  std::vector<RegistroVistaPrevia> vistos;
  bool muestra() override {
    ++veces;
    vistos = leeRegistros("C:\\TVK\\tempo\\format.tmp");
    if (imprime) escribeComentarios("C:\\TVK", {{2, 3}, {"Nota"}}, {});
    return imprime;
  }
};

class Protocolo : public ::testing::Test {
 protected:
  DirectorioTemporal dir;
  EntornoFalso entorno;
  InteraccionFalsa ui;
  RelojFijo reloj{{{2001, 7, 1}, {10, 30, 0, 0}}};
  ImpresoraFalsa impresora;
  ColaFalsa cola;
  MotorFormatos motor{entorno, ui, reloj, impresora, cola};
  TablaMemoria encabezado{"FacturaE.dbf", {"IMTOD_F"}, {{"21"}}};
  PantallaFalsa pantalla;
  TrabajoImpresion trabajo{&encabezado, &encabezado, "C:\\TVK\\consulta\\f.fmt", "3",
                           std::array<std::string, 4>{"peso", "pesos", "pesos", "M.N."}, {}};

  void SetUp() override {
    entorno.usuarios["3"] = "ana";
    mostrador::base::creaDirectorios("C:\\TVK\\consulta");
    mostrador::base::escribeLineas("C:\\TVK\\consulta\\f.fmt",
                                    {"imp,Laser A", "usu(1,1)", "tra(1,2,IMTOD_F)"});
  }
};

TEST_F(Protocolo, PreviewThenPrintWithTheComments) {
  pantalla.imprime = true;
  EXPECT_TRUE(VistaPreliminar(motor, ui, pantalla, trabajo));
  ASSERT_EQ(pantalla.vistos.size(), 2u);
  EXPECT_EQ(pantalla.vistos[0].texto, "ANA");
  EXPECT_EQ(pantalla.vistos[1].texto, "( VEINTIUN PESOS 00/100 M.N.)");
  auto textos = impresora.con("texto");
  EXPECT_EQ(textos, (std::vector<std::string>{"texto 100 100 ANA",
                                              "texto 100 200 ( VEINTIUN PESOS 00/100 M.N.)",
                                              "texto 200 300 Nota"}));
  EXPECT_EQ(dir.lee("unidades/c/TVK/tempo/comentar.tmp"), "");
}

TEST_F(Protocolo, ClosingWithoutPrintingPrintsNothing) {
  EXPECT_FALSE(VistaPreliminar(motor, ui, pantalla, trabajo));
  EXPECT_EQ(pantalla.vistos.size(), 2u);
  EXPECT_TRUE(impresora.llamadas.empty());
}

TEST_F(Protocolo, AMissingFormatIsToldAndTheScreenStillOpens) {
  trabajo.formato = "C:\\TVK\\consulta\\nada.fmt";
  EXPECT_FALSE(VistaPreliminar(motor, ui, pantalla, trabajo));
  EXPECT_EQ(ui.mensajes(),
            std::vector<std::string>{"El Formato C:\\TVK\\consulta\\nada.fmt No Existe"});
  EXPECT_EQ(pantalla.veces, 1);
}

}  // namespace
