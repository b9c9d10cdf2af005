// Help pages as the program's own viewer gets them: the HTML part of a ".mht" page, a
// ".rtf" page turned into HTML, and the pages a new installation ships.

#include <gtest/gtest.h>

#include "shell/ayuda.h"
#include "shell/rutas.h"
#include "shell/texto.h"
#include "store/empresa_nueva.h"
#include "support/entorno.h"

namespace mostrador::shell {
namespace {

TEST(PaginasAyuda, LaParteHtmlDeUnMhtConSusAcentos) {
  const std::string mht =
      "MIME-Version: 1.0\r\nContent-Type: multipart/related; boundary=\"b\"\r\n\r\n--b\r\n"
      "Content-Type: text/html; charset=\"windows-1252\"\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
      "<p>Informaci=F3n del=\r\n sistema</p>\r\n--b\r\nContent-Type: image/png\r\n\r\nPNG\r\n--b--\r\n";
  EXPECT_EQ(htmlDeMht(mht), "<p>Información del sistema</p>");
  const std::string ocho = "Content-Type: text/html\n\n<h1>Men\xFA</h1>\n--b--\n";
  EXPECT_EQ(htmlDeMht(ocho), "<h1>Menú</h1>");
  // Not a MIME file: the page itself.
  EXPECT_EQ(htmlDeMht("<p>Hola</p>"), "<p>Hola</p>");
}

TEST(PaginasAyuda, UnRtfQuedaEnHtmlConParrafosNegritasYCursivas) {
  EXPECT_EQ(htmlDeRtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\*\\generator x;}\\f0 {\\b Facturaci\\'f3n}\\par "
                      "Uno {\\i dos} \\{tres\\} <4>\\par}"),
            "<html><body><b>Facturación</b><br>\nUno <i>dos</i> {tres} &lt;4&gt;<br>\n</body></html>");
  EXPECT_EQ(htmlDeRtf("{\\rtf1 a\\b b\\b0 c}"), "<html><body>a<b>b</b>c</body></html>");
}

TEST(PaginasAyuda, LasPaginasQueSeInstalanSeLeen) {
  prueba::DirectorioTemporal dir;
  EXPECT_FALSE(paginaAyuda(dir.str() + "/no.mht"));
  ASSERT_GT(store::instalaPlantillas(store::directorioInstalacion(), dir.str() + "/tvk"), 0);
  const auto principal = paginaAyuda(dir.str() + "/tvk/ayuda/principal.mht");
  ASSERT_TRUE(principal);
  EXPECT_NE(principal->find("<h1>Ventana principal</h1>"), std::string::npos);
  EXPECT_NE(principal->find("Configuración"), std::string::npos);
  const auto factura = paginaAyuda(dir.str() + "/tvk/AYUDA/Factura.rtf");
  ASSERT_TRUE(factura);
  EXPECT_EQ(factura->rfind("<html><body><b>Facturación</b><br>\n", 0), 0u);
  EXPECT_NE(factura->find("F3 repite la última partida."), std::string::npos);
}

}  // namespace
}  // namespace mostrador::shell
