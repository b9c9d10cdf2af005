#include "shell/ayuda.h"

#include "shell/rutas.h"
#include "shell/texto.h"

namespace mostrador::shell {

bool escribeIndiceAyuda(std::string_view directorioSistema, std::string_view titulo,
                        const std::vector<EntradaMenu>& menuPrincipal) {
  const std::string carpeta = une(directorioSistema, "ayuda");
  if (!esDirectorio(carpeta) && !creaDirectorios(carpeta)) return false;
  const std::string ruta = une(carpeta, "ayudatvk.tvk");
  std::vector<std::string> lineas{std::string(titulo)};
  for (size_t i = 1; i < menuPrincipal.size(); ++i) {
    lineas.push_back(menuPrincipal[i].titulo);
    for (const EntradaMenu& e : menuPrincipal[i].entradas) lineas.push_back(e.titulo);
    lineas.push_back(std::string(29, '*'));
  }
  for (const std::string& l : lineas)
    if (!agregaLinea(ruta, l)) return false;
  return true;
}

}  // namespace mostrador::shell
