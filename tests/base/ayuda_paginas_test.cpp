// Help pages: the HTML part of a ".mht" page, and the pages a new installation ships.

#include <gtest/gtest.h>

#include "base/ayuda.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "session/empresa_nueva.h"
#include "support/entorno.h"

namespace mostrador::shell {
namespace {

TEST(PaginasAyuda, LaParteHtmlDeUnMhtConSusAcentos) {
  const std::string mht =
      "MIME-Version: 1.0\r\nContent-Type: multipart/related; boundary=\"b\"\r\n\r\n--b\r\n"
      "Content-Type: text/html; charset=\"windows-1252\"\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
      "<p>Informaci=F3n del=\r\n sistema</p>\r\n--b\r\nContent-Type: image/png\r\n\r\nPNG\r\n--b--\r\n";
  EXPECT_EQ(base::htmlDeMht(mht), "<p>Información del sistema</p>");
  const std::string ocho = "Content-Type: text/html\n\n<h1>Men\xFA</h1>\n--b--\n";
  EXPECT_EQ(base::htmlDeMht(ocho), "<h1>Menú</h1>");
  // Not a MIME file: the page itself.
  EXPECT_EQ(base::htmlDeMht("<p>Hola</p>"), "<p>Hola</p>");
}

TEST(PaginasAyuda, LasPaginasQueSeInstalanSeLeen) {
  prueba::DirectorioTemporal dir;
  ASSERT_GT(session::instalaPlantillas(session::directorioInstalacion(), dir.str() + "/tvk"), 0);
  const auto principal = base::leeBytes(dir.str() + "/tvk/ayuda/principal.mht");
  ASSERT_TRUE(principal);
  const std::string html = base::htmlDeMht(*principal);
  EXPECT_EQ(html.rfind("<html><head><title>Mostrador: ventana principal</title></head><body>", 0), 0u);
  EXPECT_NE(html.find("<li><b>Configuración</b>: configuración general y usuarios"), std::string::npos);
  EXPECT_EQ(html.substr(html.size() - 14), "</body></html>");
  EXPECT_TRUE(base::existe(dir.str() + "/tvk/AYUDA/Factura.rtf"));
}

}  // namespace
}  // namespace mostrador::shell
