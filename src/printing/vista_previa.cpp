#include "printing/vista_previa.h"

#include <algorithm>
#include <cmath>

#include "printing/colores.h"
#include "printing/motor_formatos.h"
#include "printing/texto_formato.h"
#include "base/interaccion.h"
#include "base/rutas.h"

namespace mostrador::printing {

int cuentaPaginas(const std::vector<RegistroVistaPrevia>& registros) {
  int n = 0;
  for (const auto& r : registros) n = std::max(n, r.pagina);
  return n;
}

namespace {

int t(double v) { return static_cast<int>(std::trunc(v)); }

}  // namespace

std::vector<TrazoVistaPrevia> trazosDePagina(const std::vector<RegistroVistaPrevia>& registros,
                                             int pagina, int W, int H) {
  std::vector<TrazoVistaPrevia> trazos;
  for (const auto& r : registros) {
    if (r.pagina != pagina) continue;
    TrazoVistaPrevia z;
    if (r.tamano >= 0) {
      if (r.x >= 80) continue;
      z.tipo = TrazoVistaPrevia::Tipo::Texto;
      // Colour names other than the five are drawn black.
      auto c = colorPorNombre(r.color);
      z.color = c && r.color != "blanco" ? *c : kNegro;
      z.fuente = r.fuente;
      z.tamano = t(r.tamano * 0.25 * W * (1.0 / 181));
      z.x1 = t(r.x * W * (1.0 / 82));
      z.y1 = t(r.y * H * (1.0 / 55));
      z.texto = r.texto;
    } else if (r.tamano == kTamanoCuadro) {
      auto derecha = comoNumero(r.texto), abajo = comoNumero(r.formato);
      if (!derecha || !abajo) continue;
      z.tipo = TrazoVistaPrevia::Tipo::Cuadro;
      if (!r.color.empty()) z.brocha = colorConstante(r.color);
      z.x1 = t(r.x * W / 82.0);
      z.y1 = t(r.y * H / 55.0);
      z.x2 = t(*derecha * W / 82.0);
      z.y2 = t(*abajo * H / 55.0);
    } else if (r.tamano == kTamanoImagen) {
      auto derecha = comoNumero(r.formato), abajo = comoNumero(r.fuente);
      if (!derecha || !abajo || !base::existe(r.texto)) continue;
      z.tipo = TrazoVistaPrevia::Tipo::Imagen;
      int cw = t(W / 82.0), ch = t(H * 0.02);
      z.x1 = r.x * cw;
      z.y1 = r.y * ch;
      z.x2 = t(*derecha) * cw;
      z.y2 = t(*abajo) * ch;
      z.texto = r.texto;
    } else {
      continue;
    }
    trazos.push_back(std::move(z));
  }
  return trazos;
}

int paginaElegida(std::string_view selector, int paginas) {
  auto v = comoNumero(selector);
  int p = v ? t(*v) : 1;
  if (p < 1) p = 1;
  if (paginas > 0 && p > paginas) p = paginas;
  return p;
}

PosicionComentario posicionComentario(int dx, int dy, int W, int H) {
  int cw = std::max(1, t(W * 0.0125)), ch = std::max(1, t(H * (1.0 / 55)));
  return {t(static_cast<double>(dx) / cw), t(static_cast<double>(dy) / ch)};
}

std::string textoPosicion(const PosicionComentario& p) {
  return "Renglon " + std::to_string(p.renglon) + " Columna " + std::to_string(p.columna);
}

bool escribeComentarios(std::string_view dirSistema, const ComentarioVistaPrevia& nota,
                        const std::vector<std::pair<PosicionComentario, std::string>>& campos) {
  auto registro = [](int x, int y, const std::string& texto) {
    RegistroVistaPrevia r;
    r.x = x;
    r.y = y;
    r.texto = texto;
    r.tamano = 10;
    r.fuente = "Arial";
    r.color = "negro";
    return r;
  };
  std::vector<RegistroVistaPrevia> rs;
  for (size_t i = 0; i < nota.lineas.size(); ++i)
    rs.push_back(registro(nota.posicion.columna, nota.posicion.renglon + static_cast<int>(i),
                          nota.lineas[i]));
  for (const auto& [pos, texto] : campos) rs.push_back(registro(pos.columna, pos.renglon, texto));
  base::creaDirectorios(base::une(dirSistema, "tempo"));
  return escribeRegistros(base::une(dirSistema, kArchivoComentarios), rs);
}

bool VistaPreliminar(MotorFormatos& motor, base::Interaccion& ui, PantallaVistaPrevia& pantalla,
                     const TrabajoImpresion& trabajo) {
  auto prepara = [&] {
    if (trabajo.usuario) motor.AsignaUsuarioImpresion(*trabajo.usuario);
    if (trabajo.moneda) {
      const auto& m = *trabajo.moneda;
      motor.AsignaMonedaLetras(m[0], m[1], m[2], m[3]);
    }
  };
  if (base::existe(trabajo.formato)) {
    prepara();
    motor.ImprimeFormato(*trabajo.encabezado, *trabajo.detalle, trabajo.formato, 'p');
  } else {
    ui.mensaje("El Formato " + trabajo.formato + " No Existe");
  }
  if (!pantalla.muestra()) return false;
  if (trabajo.autorizaImpresion && !trabajo.autorizaImpresion()) return false;
  prepara();
  const ResultadoFormato r = motor.ImprimeFormato(*trabajo.encabezado, *trabajo.detalle, trabajo.formato, 'i');
  if (r.sinImpresora) {
    ui.mensaje(kSinImpresora);
    return false;
  }
  return r.completo;
}

}  // namespace mostrador::printing
