// A format printed through the Qt printer into a PDF file, with a JPEG logo decoded by
// libjpeg.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <jpeglib.h>

#include "support/fakes_impresion.h"
#include "printing/motor_formatos.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"
#include "ui/impresora_qt.h"
#include "ui/jpeg.h"

using namespace mostrador;
using namespace mostrador::printing;
using mostrador::prueba::ColaFalsa;
using mostrador::prueba::DirectorioTemporal;
using mostrador::prueba::EntornoFalso;
using mostrador::prueba::TablaMemoria;

namespace {

void aseguraAplicacion() {
  if (QApplication::instance()) return;
  static int argc = 1;
  static char nombre[] = "test_ui";
  static char* argv[] = {nombre, nullptr};
  new QApplication(argc, argv);  // lives for the whole test binary
}

// A w x h JPEG of one colour, written with libjpeg.
void escribeJpeg(const std::string& ruta, int w, int h, unsigned char r, unsigned char g,
                 unsigned char b) {
  std::FILE* f = std::fopen(ruta.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  jpeg_compress_struct info;
  jpeg_error_mgr error;
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, f);
  info.image_width = w;
  info.image_height = h;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<unsigned char> fila(w * 3);
  for (int x = 0; x < w; ++x) fila[x * 3] = r, fila[x * 3 + 1] = g, fila[x * 3 + 2] = b;
  while (info.next_scanline < info.image_height) {
    JSAMPROW p = fila.data();
    jpeg_write_scanlines(&info, &p, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(f);
}

int cuenta(const std::string& texto, const std::string& patron) {
  int n = 0;
  for (size_t p = texto.find(patron); p != std::string::npos; p = texto.find(patron, p + 1)) ++n;
  return n;
}

TEST(EdicionImpresion, JpegDecodesThroughLibjpegAndBadFilesFailQuietly) {
  aseguraAplicacion();
  DirectorioTemporal dir;
  escribeJpeg((dir.ruta() / "logo.jpg").string(), 40, 20, 200, 30, 30);
  QImage img = leeJpeg((dir.ruta() / "logo.jpg").string());
  ASSERT_FALSE(img.isNull());
  EXPECT_EQ(img.width(), 40);
  EXPECT_EQ(img.height(), 20);
  QColor c = img.pixelColor(10, 10);
  EXPECT_NEAR(c.red(), 200, 6);
  EXPECT_NEAR(c.green(), 30, 6);
  dir.escribe("roto.jpg", std::string("\xFF\xD8\xFF\xE0 no es un jpeg", 20));
  EXPECT_TRUE(leeJpeg((dir.ruta() / "roto.jpg").string()).isNull());
  EXPECT_TRUE(leeImagen((dir.ruta() / "roto.jpg").string()).isNull());
  EXPECT_TRUE(leeJpeg((dir.ruta() / "falta.jpg").string()).isNull());
  EXPECT_FALSE(leeImagen((dir.ruta() / "logo.jpg").string()).isNull());
}

TEST(EdicionImpresion, AFormatPrintsToAPdfThroughTheQtPrinter) {
  aseguraAplicacion();
  DirectorioTemporal dir;
  std::filesystem::create_directories(dir.ruta() / "unidades/c");
  escribeJpeg((dir.ruta() / "unidades/c/logo.jpg").string(), 64, 64, 20, 20, 220);
  mostrador::base::creaDirectorios("C:\\TVK\\consulta");
  mostrador::base::escribeLineas(
      "C:\\TVK\\consulta\\factura.fmt",
      {"imp,texto-no,vertical", "tip(DejaVu Sans)", "tam(12)", "texto(5,2,FACTURA)",
       "@5,4,Cliente: +NOMBR_F", "logo(60,1,75,8,C:\\logo.jpg)", "cua(4,10,76,12,2,clSilver)",
       "&", "@5,11,PRODUCTO", "moneda(60,11,PRECIO,f,,2)", "saltar(1)", "&",
       "tra(5,20,IMTOD_F)", "nuevapagina", "texto(5,2,Segunda hoja)"});
  EntornoFalso entorno;
  ColaFalsa cola;
  std::string pdf = (dir.ruta() / "factura.pdf").string();
  auto impresora = ImpresoraQt::aPdf(pdf);
  ASSERT_GT(impresora->anchoPagina(), 0);
  mostrador::prueba::InteraccionFalsa ui;
  mostrador::prueba::RelojFijo reloj{{{2001, 7, 1}, {10, 30, 0, 0}}};
  MotorFormatos motor(entorno, ui, reloj, *impresora, cola);
  motor.AsignaMonedaLetras("peso", "pesos", "pesos", "M.N.");
  TablaMemoria encabezado{"FacturaE.dbf", {"NOMBR_F", "IMTOD_F"}, {{"Juan Pérez", "350"}}};
  TablaMemoria detalle{"deta2.db", {"PRODUCTO", "PRECIO"}, {{"Tornillo", "100"}, {"Tuerca", "250"}}};
  auto r = motor.ImprimeFormato(encabezado, detalle, "C:\\TVK\\consulta\\factura.fmt", 'i');
  ASSERT_TRUE(r.completo) << r.error;
  EXPECT_TRUE(ui.mensajes().empty());
  EXPECT_FALSE(impresora->trabajoActivo());

  auto bytes = mostrador::base::leeBytes(pdf);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->substr(0, 5), "%PDF-");
  EXPECT_GT(bytes->size(), 2000u);
  EXPECT_EQ(cuenta(*bytes, "/Type /Page\n") + cuenta(*bytes, "/Type /Page\r") +
                cuenta(*bytes, "/Type /Page ") + cuenta(*bytes, "/Type /Page/"),
            2);
  EXPECT_GE(cuenta(*bytes, "/Subtype /Image"), 1);

  // With poppler at hand, page 1 must show ink.
  if (std::system("command -v pdftoppm >/dev/null 2>&1") == 0) {
    std::string png = (dir.ruta() / "pagina").string();
    ASSERT_EQ(std::system(("pdftoppm -r 30 -f 1 -l 1 -png '" + pdf + "' '" + png + "'").c_str()), 0);
    QImage pagina;
    for (const auto& e : std::filesystem::directory_iterator(dir.ruta()))
      if (e.path().extension() == ".png") pagina.load(QString::fromStdString(e.path().string()));
    ASSERT_FALSE(pagina.isNull());
    int oscuros = 0;
    for (int y = 0; y < pagina.height(); ++y)
      for (int x = 0; x < pagina.width(); ++x)
        if (qGray(pagina.pixel(x, y)) < 128) ++oscuros;
    EXPECT_GT(oscuros, 50);
  }
}

}  // namespace
