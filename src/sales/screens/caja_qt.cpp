#include "sales/screens/caja_qt.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/fechas.h"
#include "printing/entorno_sesion.h"
#include "printing/motor_formatos.h"
#include "reports/screens/concentrado_qt.h"
#include "reports/screens/TFormaFormatos.h"
#include "reports/screens/TFormaReporteSQL.h"
#include "sales/reportes_venta.h"
#include "sales/screens/TFormaCaja.h"
#include "sales/screens/TFormaSalidasEfectivo.h"
#include "ui/impresora_cups.h"
#include "ui/impresora_qt.h"

namespace mostrador::sales {

namespace {

QString q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

bool ventanaPagoQt(QWidget* padre, std::string_view titulo, std::string_view texto, std::string_view cliente) {
  QDialog d(padre);
  d.setObjectName("TFormaPago");
  d.setWindowTitle(q(titulo));
  d.setModal(true);
  auto* l = new QVBoxLayout(&d);
  auto* t = new QLabel(q(texto), &d);
  t->setObjectName("Texto");
  auto* c = new QLabel(q(cliente), &d);
  c->setObjectName("Cliente");
  l->addWidget(t);
  l->addWidget(c);
  auto* b = new QHBoxLayout;
  auto* si = new QPushButton("&Aceptar", &d);
  si->setObjectName("BotonAceptar");
  auto* no = new QPushButton("&Cancelar", &d);
  no->setObjectName("BotonCancelar");
  b->addWidget(si);
  b->addWidget(no);
  l->addLayout(b);
  QObject::connect(si, &QPushButton::clicked, &d, &QDialog::accept);
  QObject::connect(no, &QPushButton::clicked, &d, &QDialog::reject);
  return d.exec() == QDialog::Accepted;
}

void efectivoQt(QWidget* padre, ModoEfectivo modo, const AjustesVenta& aj, session::Sesion& sesion) {
  TFormaSalidasEfectivo f(modo, {aj.dirSistema, aj.dirDatos, aj.caja, aj.vendedorCaja}, sesion.ui(), sesion.reloj(),
                          padre);
  f.editaConceptos = [&sesion](const std::string& archivo) { sesion.ejecuta("notepad.exe", archivo); };
  if (f.exec() != QDialog::Accepted || !f.registrado()) return;
  printing::EntornoSesion entorno(sesion);
  ImpresoraQt impresora;
  ColaCups cola;
  printing::MotorFormatos motor(entorno, sesion.ui(), sesion.reloj(), impresora, cola);
  imprimeComprobante(motor, aj.dirSistema, aj.dirDatos, *f.registrado(), sesion.ui());
}

void configuraCajaQt(QWidget* padre, const AjustesVenta& aj, base::Interaccion& ui) {
  TFormaCaja f(aj.dirSistema, ui, padre);
  f.exec();
}

void reporteCajaQt(QWidget* padre, std::string_view comando, const AjustesVenta& aj, TipoVenta tipo,
                   session::Sesion& sesion) {
  base::Interaccion& ui = sesion.ui();
  const base::Reloj& reloj = sesion.reloj();
  ContextoVenta ctx{store::documento(defTipo(tipo).documento), aj.dirDatos, reloj, aj.caja.empty() ? "1" : aj.caja,
                    aj.impuestoIncluido};
  TFormaFormatos dialogo(padre);
  if (comando == "CortedeCaja1" || comando == "VentasporCaja1") {
    reports::FiltroReporte f;
    f.RangoFiltro(reloj.ahora().fecha, "", "");
    f.deActivo = f.hastaActivo = false;
    f.condicionesActivas = false;
    if (!dialogo.pide(f) || !f.inicial || !f.final_) return;
    auto c = concentradoVenta(comando, ctx, base::fechaCorta(*f.inicial), base::fechaCorta(*f.final_));
    if (c) reports::muestraConcentrado(padre, *c, sesion, aj.dirSistema, aj.dirDatos, aj.linea(31));
    return;
  }
  std::string titulo, campoDocumento = "CLDOC_F", campoFecha = "FEDOC_F", tabla;
  std::string definicion;
  int tipoReporte = 0;
  if (comando == "CortedeCajayRetiros1") {
    auto d = definicionCorteConRetiros(aj.dirSistema, ui);
    if (!d) return;
    definicion = *d;
    titulo = "Corte de Caja y Retiros";
  } else {
    auto cmd = comandoReporte(comando);
    if (!cmd) return;
    if (pideCaja(comando)) {
      auto caja = pideCajaDocumentos(ui);
      if (!caja) return;
      ctx.caja = *caja;
    }
    auto def = definicionReporteVenta(comando, ctx);
    if (!def) return;
    definicion = def->texto;
    titulo = std::string(cmd->titulo);
    campoDocumento = def->campoDocumento;
    campoFecha = def->campoFecha;
    tabla = def->tabla;
    tipoReporte = def->tipo;
  }
  reports::ContextoReporte c{aj.dirSistema, aj.dirDatos, ui, &dialogo, &reloj};
  reports::ParametrosReporte p;
  p.definicion = definicion;
  p.tabla = tabla;
  p.tipo = tipoReporte;
  auto r = reports::EjecutaReporte(c, titulo, campoDocumento, campoFecha, p);
  if (!r) return;
  TFormaReporteSQL hoja(std::move(r), ui, padre);
  hoja.exec();
}

}  // namespace mostrador::sales
