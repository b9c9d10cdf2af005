#include "ui/jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <memory>

#include <jpeglib.h>

namespace {

// libjpeg reports a fatal error by calling error_exit, which by default ends the
// process; ours jumps back so that a damaged file only fails the load.
struct ErrorJpeg {
  jpeg_error_mgr base;
  std::jmp_buf salto;
};

void saleConError(j_common_ptr info) {
  auto* e = reinterpret_cast<ErrorJpeg*>(info->err);
  std::longjmp(e->salto, 1);
}

struct CierraArchivo {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

namespace {

// Decodes into *salida. Only the pointee changes after setjmp, never a local of this
// frame, so nothing is left indeterminate when libjpeg jumps back.
bool decodifica(std::FILE* archivo, QImage* salida) {
  jpeg_decompress_struct info;
  ErrorJpeg error;
  info.err = jpeg_std_error(&error.base);
  error.base.error_exit = saleConError;
  error.base.output_message = [](j_common_ptr) {};  // warnings are not the user's business
  if (setjmp(error.salto)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, archivo);
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  *salida = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   QImage::Format_RGB888);
  while (info.output_scanline < info.output_height) {
    JSAMPROW fila = salida->scanLine(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &fila, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

QImage leeJpeg(const std::string& rutaLocal) {
  std::unique_ptr<std::FILE, CierraArchivo> archivo(std::fopen(rutaLocal.c_str(), "rb"));
  if (!archivo) return {};
  auto imagen = std::make_unique<QImage>();
  if (!decodifica(archivo.get(), imagen.get())) return {};
  return *imagen;
}

QImage leeImagen(const std::string& rutaLocal) {
  std::unique_ptr<std::FILE, CierraArchivo> archivo(std::fopen(rutaLocal.c_str(), "rb"));
  if (!archivo) return {};
  unsigned char firma[3] = {0, 0, 0};
  size_t n = std::fread(firma, 1, 3, archivo.get());
  archivo.reset();
  if (n == 3 && firma[0] == 0xFF && firma[1] == 0xD8 && firma[2] == 0xFF) return leeJpeg(rutaLocal);
  return QImage(QString::fromStdString(rutaLocal));
}
