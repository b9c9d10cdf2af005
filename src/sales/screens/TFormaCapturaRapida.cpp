#include "sales/screens/TFormaCapturaRapida.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "base/importe.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "printing/cajon.h"
#include "sales/dispositivos.h"
#include "sales/texto_venta.h"
#include "sales/screens/TFormaClaveRapida.h"
#include "sales/screens/TFormaDescuentoPago.h"
#include "sales/screens/TFormaTelefonica.h"
#include "sales/screens/dialogos_venta_qt.h"
#include "store/estados.h"
#include "ui/impresora_cups.h"
#include "ui/portapapeles_qt.h"

namespace mostrador::sales {

namespace {

QString q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string s(const QString& t) { return t.toStdString(); }

constexpr std::string_view kSinAcceso = "No se tiene acceso a esta opción";
constexpr std::string_view kSerialConectado = "    Conectado a Puerto Serial...";

// Marks a sale being closed (saved or printed) for as long as the command runs.
struct Cerrando {
  bool& marca;
  bool antes;
  explicit Cerrando(bool& m) : marca(m), antes(m) { marca = true; }
  ~Cerrando() { marca = antes; }
};

}  // namespace

TFormaCapturaRapida::TFormaCapturaRapida(AjustesVenta ajustes, base::Interaccion& ui, const base::Reloj& reloj,
                                         session::Sesion* sesion, QWidget* parent, DialogosVenta* dialogos)
    : TFormaFactura(std::move(ajustes), ui, reloj, parent, dialogos) {
  setObjectName("TFormaCapturaRapida");
  tituloBase_ = std::string(kTituloMostrador);
  if (aj_.lectorSerial) tituloBase_ += kSerialConectado;
  setWindowTitle(q(tituloBase_));
  if (sesion) ponSesion(*sesion);
  mostrador_ = std::make_unique<MostradorVenta>(*motor_, this->sesion().procesos(), this->sesion().programas());
  // A product that is not found is created here with the counter's own short form.
  if (dialogosQt_)
    dialogosQt_->ponAltaRapida([this](std::string_view clave) {
      return TFormaClaveRapida::pide(this, aj_.dirInventario, ui_, std::string(clave));
    });

  creaMenuMostrador();
  creaPanelPago();
  connect(TipoPago, &QComboBox::activated, this, [this](int) { TipoPagoExit(); });

  EditBascula = new QLineEdit(this);
  EditBascula->setObjectName("EditBascula");
  EditBascula->hide();
  TimerBascula = new QTimer(this);
  TimerBascula->setObjectName("TimerBascula");
  TimerBascula->setInterval(500);
  connect(TimerBascula, &QTimer::timeout, this, [this] { TimerBasculaTimer(); });
  if (mostrador_->opciones().bascula) TimerBascula->start();

  // The station's devices: the drawer on the receipt printer's queue, the scale through
  // the clipboard its reader program fills. A missing device leaves the sale as it is.
  abreCajon = [this] {
    ColaCups cola;
    printing::abreCajon(cola, printing::leeAjusteRecibo(aj_.dirSistema), ui_);
  };
  portapapeles_ = std::make_unique<PortapapelesQt>();
  leeBascula = [this]() -> std::optional<double> {
    const auto t = lecturaBascula(portapapeles_->texto());
    return t ? valorNumero(*t) : std::nullopt;
  };
  if (mostrador_->opciones().bascula)
    SondeoBascula::iniciaPrograma(this->sesion().programas(), this->sesion().procesos(), aj_.dirSistema);

  Label18->setText(q(kEstadoMostrador));
  pinta();
}

TFormaCapturaRapida::~TFormaCapturaRapida() = default;

std::string TFormaCapturaRapida::textoEstadoAbierto() const { return std::string(kEstadoMostrador); }

void TFormaCapturaRapida::opcion(const char* nombre, int linea) {
  QAction* a = accion(QString::fromLatin1(nombre));
  if (!mostrador_->cambiaOpcion(linea, a->isChecked())) {
    ui_.mensaje("El Archivo " + base::une(aj_.dirSistema, "encabeza.cnf") + " No Existe");
    a->setChecked(!a->isChecked());
  }
}

void TFormaCapturaRapida::creaMenuMostrador() {
  auto* barra = findChild<QMenuBar*>("MainMenu1");
  QMenu* m = barra->addMenu(QStringLiteral("&Punto de Venta"));
  agrega(m, "VentaenEspera1", QStringLiteral("Venta en Espera"), [this] { VentaenEspera1Click(); });
  agrega(m, "AbrirCajn1", QStringLiteral("Abrir Cajón"), [this] { AbrirCajn1Click(); });
  agrega(m, "ChecarPrecio1", QStringLiteral("Checar Precio"), [this] { ChecarPrecio1Click(); });
  agrega(m, "ExportarDocumento1", QStringLiteral("Exportar Documento"), [this] { ExportarDocumento1Click(); });
  agrega(m, "VerListaTelefnica1", QStringLiteral("Ver Lista Telefónica"), [this] { VerListaTelefnica1Click(); });
  agrega(m, "ClaveRapida1", QStringLiteral("Alta Rápida de Producto"), [this] { ClaveRapida1Click(); });
  agrega(m, "ImprimirRango1", QStringLiteral("Imprimir Rango de Tickets"), [this] { ImprimirRango1Click(); });
  agrega(m, "Modificar1", QStringLiteral("Modificar Venta"), [this] { Modificar1Click(); });
  m->addSeparator();
  agrega(m, "HabilitarPago1", QStringLiteral("Habilitar Pago"), [this] { HabilitarPago1Click(); });
  agrega(m, "DescuentosTipodePago1", QStringLiteral("Descuentos por Tipo de Pago"),
         [this] { DescuentosTipodePago1Click(); });

  QMenu* o = barra->addMenu(QStringLiteral("Opciones de &Venta"));
  agrega(o, "GuardareImprimirconF101", QStringLiteral("Guardar e Imprimir con F10"),
         [this] { opcion("GuardareImprimirconF101", 10); }, true);
  agrega(o, "IniciaenVendedor1", QStringLiteral("Inicia en Vendedor"), [this] { opcion("IniciaenVendedor1", 11); },
         true);
  agrega(o, "PersonalizarDetalle1", QStringLiteral("Personalizar Detalle"),
         [this] { opcion("PersonalizarDetalle1", 12); }, true);
  agrega(o, "IntegrarIdentificadorTelefnico1", QStringLiteral("Integrar Identificador Telefónico"),
         [this] { IntegrarIdentificadorTelefnico1Click(); }, true);
  agrega(o, "HabilitarBascula1", QStringLiteral("Habilitar Báscula"), [this] { HabilitarBascula1Click(); }, true);

  const OpcionesMostrador& op = mostrador_->opciones();
  accion("GuardareImprimirconF101")->setChecked(op.guardaEImprime);
  accion("IniciaenVendedor1")->setChecked(op.iniciaEnVendedor);
  accion("PersonalizarDetalle1")->setChecked(op.detallePersonal);
  accion("IntegrarIdentificadorTelefnico1")->setChecked(op.identificador);
  accion("HabilitarBascula1")->setChecked(op.bascula);
  // Modifying a stored sale is for the stations given the access code only.
  accion("Modificar1")->setVisible(false);
  BotonCambios->setVisible(false);
}

void TFormaCapturaRapida::creaPanelPago() {
  // Total, cash and change where the cashier looks: large, at the top of the screen.
  auto* panel = new QFrame(this);
  panel->setObjectName("PanelPago");
  panel->setFrameShape(QFrame::StyledPanel);
  auto* g = new QGridLayout(panel);
  QFont grande(QStringLiteral("Courier New"), 28);
  grande.setBold(true);
  QFont titulo;
  titulo.setPointSize(14);
  titulo.setBold(true);
  auto rotulo = [&](const QString& t) {
    auto* l = new QLabel(t, panel);
    l->setFont(titulo);
    return l;
  };
  TotalGrande = new QLabel(panel);
  TotalGrande->setObjectName("TotalGrande");
  for (QWidget* w : {static_cast<QWidget*>(TotalGrande), static_cast<QWidget*>(CAMBIO_F),
                     static_cast<QWidget*>(SuCambio)})
    w->setFont(grande);
  TotalGrande->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  CAMBIO_F->setMinimumWidth(220);
  g->addWidget(rotulo(QStringLiteral("TOTAL")), 0, 0);
  g->addWidget(TotalGrande, 1, 0);
  g->addWidget(rotulo(QStringLiteral("EFECTIVO (F5)")), 0, 1);
  g->addWidget(CAMBIO_F, 1, 1);
  g->addWidget(rotulo(QStringLiteral("SU CAMBIO")), 0, 2);
  g->addWidget(SuCambio, 1, 2);
  static_cast<QVBoxLayout*>(layout())->insertWidget(0, panel);
  // The footer's own caption of the cash field goes with the field.
  for (QLabel* l : findChildren<QLabel*>())
    if (l->objectName().isEmpty() && l->text() == QStringLiteral("Efectivo")) l->hide();
}

void TFormaCapturaRapida::pinta() {
  TFormaFactura::pinta();
  if (TotalGrande) pintaPago();
}

void TFormaCapturaRapida::pintaPago() { TotalGrande->setText(TotalFact->text()); }

void TFormaCapturaRapida::llenaTiposPago() {
  const QString actual = TipoPago->currentText();
  TipoPago->clear();
  for (const std::string& t : mostrador_->tiposPago()) TipoPago->addItem(q(t));
  TipoPago->setCurrentIndex(TipoPago->findText(actual));
}

// ---- showing and closing -------------------------------------------------------------------

void TFormaCapturaRapida::showEvent(QShowEvent* e) {
  TFormaFactura::showEvent(e);
  if (mostrada_) return;
  mostrada_ = true;
  const bool modificar = mostrador_->alMostrar();
  accion("Modificar1")->setVisible(modificar);
  BotonCambios->setVisible(modificar);
  if (mostrador_->opciones().detallePersonal) {
    auto* rejilla = findChild<QTableWidget*>("Detalle");
    const std::vector<int> anchos = mostrador_->anchosDetalle();
    for (int c = 0; c < static_cast<int>(anchos.size()) && c < rejilla->columnCount(); ++c)
      if (anchos[static_cast<size_t>(c)] > 0) rejilla->setColumnWidth(c, anchos[static_cast<size_t>(c)]);
  }
  orden([&] { mostrador_->muestraActual(); });
}

std::vector<int> TFormaCapturaRapida::anchosColumnas() const {
  std::vector<int> r;
  const auto* rejilla = findChild<QTableWidget*>("Detalle");
  for (int c = 0; c < rejilla->columnCount(); ++c) r.push_back(rejilla->columnWidth(c));
  return r;
}

void TFormaCapturaRapida::done(int r) {
  mostrador_->guardaAnchos(anchosColumnas());
  TimerBascula->stop();
  TFormaFactura::done(r);
}

// ---- commands ----------------------------------------------------------------------------

void TFormaCapturaRapida::BotonNuevoClick() {
  TFormaFactura::BotonNuevoClick();
  if (motor_->enCaptura() && mostrador_->opciones().iniciaEnVendedor) {
    EditCLVEN_F->setFocus();
    EditCLVEN_F->selectAll();
  }
}

void TFormaCapturaRapida::BotonGuardarClick() {
  const Cerrando c(cerrando_);
  const bool enCaptura = motor_->enCaptura();
  TFormaFactura::BotonGuardarClick();
  if (enCaptura && !motor_->enCaptura() && mostrador_->opciones().guardaEImprime) BotonImprimirClick();
}

void TFormaCapturaRapida::BotonImprimirClick() {
  const Cerrando c(cerrando_);
  dbf::Table& e = motor_->encabezado();
  try {
    if (e.isOpen() && !e.isEmpty() && aj_.usuario != "0" &&
        (e.asText("TREGI_F") == "I" || store::cancelado(e.asText("STATU_F")))) {
      // A ticket printed already: whoever holds the reprint right types the key.
      if (!mostrador_->autoriza(53)) {
        ui_.mensaje(kSinAcceso);
        return;
      }
      reimpresionAutorizada_ = true;
    }
  } catch (const dbf::Error&) {
  }
  TFormaFactura::BotonImprimirClick();
}

void TFormaCapturaRapida::ImprimirRango1Click() {
  if (motor_->enCaptura()) return;
  if (!mostrador_->autoriza(53)) {
    ui_.mensaje(kSinAcceso);
    return;
  }
  const auto rango = dialogos_->rangoDocumentos();
  if (!rango) return;
  for (long long n = rango->first; n <= rango->second; ++n) {
    bool hallado = false;
    orden([&] { hallado = motor_->buscaDocumento(n); });
    if (!hallado) continue;
    reimpresionAutorizada_ = true;
    TFormaFactura::BotonImprimirClick();
  }
}

void TFormaCapturaRapida::TipoPagoExit() {
  const std::string t = s(TipoPago->currentText());
  orden([&] { mostrador_->aplicaTipoPago(t); });
}

void TFormaCapturaRapida::VentaenEspera1Click() {
  const std::string m = mostrador_->ventaEnEspera();
  if (!m.empty()) ui_.mensaje(m);
}

void TFormaCapturaRapida::AbrirCajn1Click() {
  if (abreCajon) abreCajon();
}

void TFormaCapturaRapida::HabilitarBascula1Click() {
  const bool encendida = accion("HabilitarBascula1")->isChecked();
  opcion("HabilitarBascula1", 14);
  if (encendida) TimerBascula->start();
  else TimerBascula->stop();
  if (alBascula) alBascula(encendida);
}

void TFormaCapturaRapida::TimerBasculaTimer() {
  // Only while a sale is open and not being closed (no save or print in progress).
  if (!leeBascula || !motor_->enCaptura() || cerrando_) return;
  EditBascula->clear();
  const std::optional<double> peso = leeBascula();
  if (!peso) return;
  EditBascula->setText(q(numeroTexto(*peso)));
  // Compared in ten-thousandths: 0.02 read from the scale is 0.02, not a hair above it.
  if (base::Importe::deDouble(*peso) <= base::Importe::deDouble(kPesoMinimo)) return;
  EditCantidad->setText(EditBascula->text());
}

void TFormaCapturaRapida::IntegrarIdentificadorTelefnico1Click() { opcion("IntegrarIdentificadorTelefnico1", 13); }

void TFormaCapturaRapida::VerListaTelefnica1Click() { TFormaTelefonica::muestra(this, mostrador_->llamadas()); }

void TFormaCapturaRapida::ChecarPrecio1Click() { dialogos_->buscaProductoPorDescripcion(""); }

void TFormaCapturaRapida::ExportarDocumento1Click() { mostrador_->exporta(); }

void TFormaCapturaRapida::DescuentosTipodePago1Click() {
  TFormaDescuentoPago::edita(this, aj_.dirDatos, mostrador_->tiposPago(), ui_);
}

void TFormaCapturaRapida::HabilitarPago1Click() {
  mostrador_->recargaPagos();
  llenaTiposPago();
  TipoPago->setEnabled(true);
  CAMBIO_F->setEnabled(motor_->enCaptura());
}

void TFormaCapturaRapida::ClaveRapida1Click() {
  if (TFormaClaveRapida::pide(this, aj_.dirInventario, ui_)) orden([&] { motor_->productos().refresh(); });
}

void TFormaCapturaRapida::Modificar1Click() {
  if (mostrador_->modificarPermitido()) BotonCambiosClick();
}

}  // namespace mostrador::sales
