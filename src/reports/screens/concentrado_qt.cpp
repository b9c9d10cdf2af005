#include "reports/screens/concentrado_qt.h"

#include "reports/screens/TFormaBarras.h"
#include "reports/screens/TFormaProgreso.h"

namespace mostrador::reports {

bool muestraConcentrado(QWidget* padre, DefinicionConcentrado c, session::Sesion& sesion, const std::string& sistema,
                        const std::string& datos, const std::string& hoja, int columnaGrafica) {
  TFormaProgreso progreso(sesion.ui(), padre);
  c.parametros.cancelado = [&progreso] { return progreso.cancelado(); };
  const ResultadoConcentrado r = ejecutaConcentrado(c, sistema, datos, progreso);
  progreso.close();
  if (r != ResultadoConcentrado::Hecho) return false;
  TFormaBarras visor(sistema, c.caption, sesion.ui(), hoja, padre);
  visor.ponProcesos(&sesion.procesos(), &sesion.programas());
  visor.TitulosGrafica(c.tituloGrafica, c.eje1, c.eje2, "");
  if (columnaGrafica != 1) visor.visor().columnaGrafica(columnaGrafica);
  visor.exec();
  return true;
}

}  // namespace mostrador::reports
