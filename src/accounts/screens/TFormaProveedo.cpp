#include "accounts/screens/TFormaProveedo.h"

#include "accounts/screens/TFormaConsultaCuePagar.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "accounts/reportes_proveedores.h"
#include "accounts/screens/TFormaComplementosCliente.h"
#include "accounts/screens/TFormaConVendedores.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "inventory/screens/ayuda_pantalla.h"
#include "inventory/screens/impresion_inventario.h"
#include "printing/tabla_dbf.h"
#include "reports/screens/concentrado_qt.h"
#include "ui/TFormaObservaciones.h"
#include "ui/dialogos.h"

namespace mostrador::accounts {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

struct Campo {
  const char* nombre;
  const char* etiqueta;
};

// The fields of the screen in entry order. CARGO_P and ABONO_P show in the labels only.
const std::vector<Campo>& campos() {
  static const std::vector<Campo> c{
      {"CLAVE_P", "Clave"},         {"NOMBR_P", "Nombre"},          {"STATU_P", "Estado"},
      {"RFCXX_P", "R.F.C."},        {"DIREC_P", "Dirección"},       {"POBLA_P", "Población"},
      {"CPXXX_P", "C.P."},          {"TELEF_P", "Teléfono"},        {"DREPA_P", "Dirección de Entrega"},
      {"ZONAX_P", "Zona"},          {"DCRED_P", "Días de Crédito"}, {"POUTI_P", "Margen (%)"},
      {"CLVEN_P", "Comprador"},     {"FULCO_P", "Última Compra"},   {"COMPR_P", "Compras"},
      {"SALDO_P", "Saldo"},
  };
  return c;
}

constexpr const char* kMascaraSaldo = "#,###,##0.00";

}  // namespace

TFormaProveedo::TFormaProveedo(AjustesProveedores ajustes, base::Interaccion& ui, const base::Reloj& reloj,
                               std::function<bool(int)> derecho, QWidget* parent)
    : PantallaCuenta(motor_, parent), ui_(ui), reloj_(reloj), derecho_(derecho), motor_(std::move(ajustes), ui, reloj, derecho) {
  setObjectName("TFormaProveedo");
  resize(820, 480);
  auto* todo = new QVBoxLayout(this);
  barra_ = new QMenuBar(this);
  barra_->setObjectName("MainMenu1");
  todo->setMenuBar(barra_);
  creaMenus(barra_);

  auto* botones = new QHBoxLayout;
  auto boton = [&](const char* nombre, const QString& texto, void (TFormaProveedo::*f)(), bool consulta) {
    QPushButton* b = mostrador::ui::botonDeBarra(botones, this, nombre, texto, f);
    b->setFocusPolicy(Qt::NoFocus);
    if (consulta) soloConsulta_.push_back(b);
    return b;
  };
  boton("BotonNuevo", "Nuevo", &TFormaProveedo::BotonNuevoClick, true);
  boton("BotonCambios", "Cambios", &TFormaProveedo::BotonCambiosClick, true);
  guardar_ = boton("BotonGuardar", "Guardar", &TFormaProveedo::BotonGuardarClick, false);
  boton("BotonBuscar", "Buscar", &TFormaProveedo::BotonBuscarClick, true);
  boton("BotonImprimir", "Imprimir", &TFormaProveedo::BotonImprimirClick, true);
  boton("SpeedButton1", "Contactos", &TFormaProveedo::SpeedButton1Click, true);
  boton("BotonObservacion", "Observaciones", &TFormaProveedo::BotonObservacionClick, true);
  boton("Saldo", "Saldo", &TFormaProveedo::SaldoClick, true);
  botones->addStretch(1);
  modo_ = new QLabel(this);
  modo_->setObjectName("Estado");
  modo_->setMinimumWidth(80);
  botones->addWidget(modo_);
  todo->addLayout(botones);

  creaCampos();
  auto* pie = new QHBoxLayout;
  cargo_ = new QLabel(this);
  cargo_->setObjectName("Cargo");
  abono_ = new QLabel(this);
  abono_->setObjectName("Abono");
  estado_ = new QLabel(this);
  estado_->setObjectName("EtiEstado");
  pie->addWidget(cargo_);
  pie->addWidget(abono_);
  pie->addWidget(estado_);
  todo->addLayout(pie);

  mostrador::ui::instalaNavegacion(this);
  motor_.abre();
  pinta();
}

// Hidden while its fields and engine still stand: hiding takes the focus from a field,
// whose leaving runs the screen's field rules.
TFormaProveedo::~TFormaProveedo() { hide(); }

session::Sesion& TFormaProveedo::sesion() {
  if (sesion_) return *sesion_;
  if (!sesionPropia_) {
    procesosPropios_ = std::make_unique<base::ProcesosPosix>();
    sesionPropia_ = std::make_unique<session::Sesion>(ui_, reloj_, *procesosPropios_);
    sesionPropia_->ponDirectorios(motor_.ajustes().dirSistema, motor_.ajustes().dirDatos);
    sesionPropia_->ponUsuario(motor_.ajustes().usuario);
  }
  return *sesionPropia_;
}

void TFormaProveedo::creaMenus(QMenuBar* barra) {
  auto agrega = [this](QMenu* m, const char* nombre, const QString& texto, std::function<void()> f,
                       bool consulta = true) {
    QAction* a = m->addAction(texto);
    a->setObjectName(nombre);
    connect(a, &QAction::triggered, this, std::move(f));
    if (consulta) soloConsultaAcciones_.push_back(a);
    return a;
  };
  QMenu* archivo = barra->addMenu("&Archivo");
  agrega(archivo, "Nuevo1", "Nuevo", [this] { BotonNuevoClick(); });
  agrega(archivo, "Modificar1", "Modificar", [this] { BotonCambiosClick(); });
  guardarAccion_ = agrega(archivo, "Guardar1", "Guardar", [this] { BotonGuardarClick(); }, false);
  cancelarAccion_ = agrega(archivo, "CancelarMovimiento1", "Cancelar Movimiento", [this] { CancelarMovimiento1Click(); },
                           false);
  agrega(archivo, "Eliminar1", "Eliminar", [this] { Eliminar1Click(); });
  archivo->addSeparator();
  agrega(archivo, "Buscar1", "Buscar", [this] { BotonBuscarClick(); });
  agrega(archivo, "BusquedaNoIndexada1", "Búsqueda por Campo", [this] { BusquedaNoIndexada1Click(); });
  QMenu* impresion = barra->addMenu("&Imprimir");
  agrega(impresion, "ElegirFormato1", "Elegir Formato", [this] { ElegirFormato1Click(); });
  QMenu* reportes = barra->addMenu("&Reportes");
  for (const auto& c : reportesProveedores())
    agrega(reportes, c.menu, q(c.caption), [this, m = std::string(c.menu)] { reporte(m); });
  QMenu* ayudaMenu = barra->addMenu("A&yuda");
  agrega(ayudaMenu, "Temas1", "Temas", [this] { Temas1Click(); }, false);
}

void TFormaProveedo::creaCampos() {
  auto* rejilla = new QGridLayout;
  int fila = 0, columna = 0;
  for (const auto& c : campos()) {
    auto* e = new QLineEdit(this);
    e->setObjectName(q(std::string("Edit") + c.nombre));
    e->installEventFilter(this);
    const std::string campo = c.nombre;
    edits_[campo] = e;
    orden_.push_back(campo);
    connect(e, &QLineEdit::editingFinished, this, [this, campo] { saleCampo(campo); });
    rejilla->addWidget(new QLabel(c.etiqueta, this), fila, columna);
    rejilla->addWidget(e, fila, columna + 1);
    if (++fila > 7) {
      fila = 0;
      columna += 2;
    }
  }
  qobject_cast<QVBoxLayout*>(layout())->addLayout(rejilla, 1);
}

void TFormaProveedo::pintaCampos() {
  pintando_ = true;
  for (const std::string& campo : orden_) {
    pintado_[campo] = q(motor_.texto(campo));
    edits_[campo]->setText(pintado_[campo]);
  }
  pintando_ = false;
}

void TFormaProveedo::pinta(bool conReglas) {
  const bool editando = motor_.modo() != ModoCatalogo::Consulta;
  PresentacionCuenta p;
  if (conReglas) p = motor_.presenta();
  pintaCampos();
  if (!editando && motor_.hayProveedor()) {
    pintando_ = true;
    edits_["SALDO_P"]->setText(q(p.saldo));
    edits_["COMPR_P"]->setText(q(p.compras));
    pintando_ = false;
  }
  setWindowTitle(q(motor_.titulo()));
  for (QWidget* w : soloConsulta_) w->setEnabled(!editando);
  for (QAction* a : soloConsultaAcciones_) a->setEnabled(!editando);
  guardar_->setEnabled(editando);
  guardarAccion_->setEnabled(editando);
  cancelarAccion_->setEnabled(editando);
  for (auto& [campo, e] : edits_) e->setReadOnly(!editando);
  modo_->setText(editando ? (motor_.modo() == ModoCatalogo::Nuevo ? "Nuevo" : "Cambios") : "Consulta");
  if (!conReglas) return;
  cargo_->setText(q(p.cargo));
  abono_->setText(q(p.abono));
  estado_->setText(q(p.estado));
}

bool TFormaProveedo::saleCampo(const std::string& campo) {
  if (pintando_ || motor_.modo() == ModoCatalogo::Consulta) return true;
  const QString t = edits_[campo]->text();
  if (t == pintado_[campo]) return true;
  if (!motor_.ponTexto(campo, t.toStdString())) {
    pintaCampos();
    return false;
  }
  pintado_[campo] = q(motor_.texto(campo));
  return true;
}

bool TFormaProveedo::tomaPendientes() {
  for (const std::string& campo : orden_)
    if (edits_[campo]->text() != pintado_[campo] && !saleCampo(campo)) return false;
  return true;
}

bool TFormaProveedo::eventFilter(QObject* o, QEvent* e) {
  // The buyer is chosen from the sellers.
  if (e->type() == QEvent::KeyPress && o == edits_["CLVEN_P"] && static_cast<QKeyEvent*>(e)->key() == Qt::Key_F2 &&
      consultaVendedor(edits_["CLVEN_P"], "CLVEN_P", motor_.ajustes().dirDatos))
    return true;
  return QDialog::eventFilter(o, e);
}

QString TFormaProveedo::etiqueta(const char* nombre) const {
  const auto* e = findChild<QLabel*>(nombre);
  return e ? e->text() : QString();
}

// ---- commands -----------------------------------------------------------------------

void TFormaProveedo::BotonNuevoClick() {
  if (!motor_.nuevo()) return;
  pinta(false);
  edits_["CLAVE_P"]->setFocus();
}

void TFormaProveedo::BotonCambiosClick() {
  if (!motor_.modifica()) return;
  pinta(false);
  edits_["NOMBR_P"]->setFocus();
}

void TFormaProveedo::BotonGuardarClick() {
  if (!tomaPendientes()) return;
  if (!motor_.guarda()) {
    if (motor_.modo() != ModoCatalogo::Consulta) edits_["CLAVE_P"]->setFocus();
    return;
  }
  pinta();
}

void TFormaProveedo::CancelarMovimiento1Click() {
  motor_.descarta();
  pinta();
}

void TFormaProveedo::Eliminar1Click() {
  if (motor_.elimina()) pinta();
}

void TFormaProveedo::BotonBuscarClick() {
  if (motor_.busca()) pinta();
}

void TFormaProveedo::BusquedaNoIndexada1Click() {
  if (motor_.modo() != ModoCatalogo::Consulta) return;
  mostrador::ui::TFormaBusquedaNoIndexada f(
      mostrador::ui::TFormaBusquedaNoIndexada::camposDelCatalogo(motor_.ajustes().dirSistema, kTablaProveedores),
      this);
  if (f.exec() != QDialog::Accepted) return;
  if (motor_.buscaCampo(f.campo().toStdString(), f.valor().toStdString())) pinta();
}

std::string TFormaProveedo::rutaFormato() const {
  if (!formato_.empty()) return formato_;
  return base::une(motor_.ajustes().dirDatos, "report\\proveedo.for");
}

void TFormaProveedo::BotonImprimirClick() {
  if (!motor_.hayProveedor() || motor_.modo() != ModoCatalogo::Consulta) return;
  const std::string formato = rutaFormato();
  if (!base::existe(formato)) {
    ui_.mensaje("El Formato " + formato + " No Existe");
    return;
  }
  try {
    dbf::Table t;
    t.open(motor_.ajustes().dirDatos, kTablaProveedores);
    t.setIndex("ICLAPRO");
    const std::string clave = motor_.texto("CLAVE_P");
    t.setRange({clave}, {clave});
    if (!t.goTo(motor_.tabla().recno())) return;
    printing::TablaDbf encabezado(t, motor_.ajustes().dirDatos, kTablaProveedores);
    printing::TablaDbf detalle(t, motor_.ajustes().dirDatos, kTablaProveedores);
    inventory::imprimeFormato(this, sesion(), motor_.ajustes().dirSistema, {formato, formato}, encabezado, detalle,
                              motor_.ajustes().usuario, false);
  } catch (const dbf::Error&) {
    ui_.mensaje("Valor no Válido");
  }
}

void TFormaProveedo::ElegirFormato1Click() {
  auto r = ui_.abreArchivo("Formato de Impresión", "Formatos (*.for *.fmt *.txt)");
  if (!r) return;
  if (!base::existe(*r)) {
    ui_.mensaje("El Formato " + *r + " No Existe");
    return;
  }
  formato_ = *r;
}

void TFormaProveedo::reporte(const std::string& menu) {
  if (auto d = listadoProveedores(menu, motor_.ajustes().dirDatos)) {
    if (!reporte_) {
      ui_.mensaje("El Reporte " + d->titulo + " no está disponible en esta pantalla");
      return;
    }
    reporte_(*d);
    return;
  }
  if (auto r = resumenProveedores(menu))
    reports::muestraConcentrado(this, r->concentrado, sesion(), motor_.ajustes().dirSistema,
                                motor_.ajustes().dirDatos, motor_.ajustes().hojaCalculo, r->columnaGrafica);
}

void TFormaProveedo::SpeedButton1Click() {
  if (!motor_.hayProveedor() || motor_.modo() != ModoCatalogo::Consulta) return;
  TFormaContactosProveedor f(motor_.ajustes().dirDatos, motor_.texto("CLAVE_P"), ui_, this);
  f.exec();
}

void TFormaProveedo::BotonObservacionClick() {
  if (!motor_.hayProveedor() || motor_.modo() != ModoCatalogo::Consulta) return;
  mostrador::ui::TFormaObservaciones::edita(this, motor_.ajustes().dirDatos, "PR", motor_.texto("CLAVE_P"), ui_);
}

void TFormaProveedo::Temas1Click() { inventory::abreAyuda(ui_, motor_.ajustes().dirSistema, "proveedo.rtf"); }

void TFormaProveedo::SaldoClick() {
  if (motor_.modo() != ModoCatalogo::Consulta || !derecho_(7)) return;
  TFormaConsultaCuePagar f(motor_.ajustes().dirDatos, ui_, reloj_, this);
  f.ponEjecutaReporte(reporte_);
  f.cargaProveedores(motor_.hayRegistro() ? motor_.texto("CLAVE_P") : std::string());
  f.exec();
  motor_.refresca();
  pinta();
}

}  // namespace mostrador::accounts
