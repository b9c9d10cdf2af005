#include "inventory/screens/impresion_inventario.h"

#include <QInputDialog>
#include <QStringList>

#include "base/rutas.h"
#include "base/texto.h"
#include "designers/screens/TFormaEdicion.h"
#include "printing/entorno_sesion.h"
#include "printing/impresion_documentos.h"
#include "printing/motor_formatos.h"
#include "ui/impresora_cups.h"
#include "ui/impresora_qt.h"

namespace mostrador::inventory {

std::optional<FormatoElegido> eligeFormato(QWidget* padre, base::Interaccion& ui, const std::string& dirSistema,
                                           const std::string& lista) {
  const std::string archivo = base::une(dirSistema, "report\\" + lista);
  QStringList formatos;
  if (const auto lineas = base::leeLineas(archivo))
    for (const auto& l : *lineas)
      if (!QString::fromStdString(l).trimmed().isEmpty()) formatos << QString::fromStdString(l).trimmed();
  if (formatos.isEmpty()) {
    ui.mensaje("El Formato " + archivo + " No Existe");
    return std::nullopt;
  }
  QString nombre = formatos.front();
  if (formatos.size() > 1) {
    bool ok = false;
    nombre = QInputDialog::getItem(padre, "Formatos", "Formato", formatos, 0, false, &ok);
    if (!ok) return std::nullopt;
  }
  const std::string n = nombre.toStdString();
  const bool conRuta = n.find('\\') != std::string::npos || n.find(':') != std::string::npos;
  const std::string ruta = conRuta ? n : base::une(dirSistema, "report\\" + n);
  if (!base::existe(ruta)) {
    ui.mensaje("El Formato " + n + " No Existe");
    return std::nullopt;
  }
  return FormatoElegido{ruta, n};
}

void imprimeFormato(QWidget* padre, session::Sesion& sesion, const std::string& dirSistema, const FormatoElegido& f,
                    printing::TablaImpresion& encabezado, printing::TablaImpresion& detalle,
                    const std::string& usuario, bool preliminar) {
  base::Interaccion& ui = sesion.ui();
  printing::EntornoSesion entorno(sesion);
  ImpresoraQt impresora;
  ColaCups cola;
  printing::MotorFormatos motor(entorno, ui, sesion.reloj(), impresora, cola);
  printing::DocumentoAImprimir doc;
  doc.encabezado = &encabezado;
  doc.detalle = &detalle;
  doc.formato = f.ruta;
  doc.formatoEnMensaje = f.nombre;
  doc.usuario = usuario;
  // The format's user-name lines print whoever signed in.
  doc.usuarioDocumento = usuario;
  if (preliminar) {
    TFormaEdicion vista(dirSistema, padre);
    printing::PreliminarDocumento(motor, entorno, ui, vista, doc);
  } else {
    printing::ImprimeDocumento(motor, entorno, ui, doc);
  }
}

}  // namespace mostrador::inventory
