#include "accounts/screens/TFormaClientes.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "accounts/cuentas.h"
#include "accounts/reportes_clientes.h"
#include "accounts/screens/TFormaComplementosCliente.h"
#include "accounts/screens/TFormaConVendedores.h"
#include "accounts/screens/TFormaCxCDetalle.h"
#include "base/ayuda.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"
#include "designers/screens/TFormaDisenoVista.h"
#include "designers/screens/TFormaEdicion.h"
#include "inventory/screens/ayuda_pantalla.h"
#include "inventory/screens/impresion_inventario.h"
#include "printing/tabla_dbf.h"
#include "reports/screens/concentrado_qt.h"
#include "ui/TFormaObservaciones.h"
#include "ui/dialogos.h"
#include "ui/utiles_pantalla.h"

namespace mostrador::accounts {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

struct Campo {
  const char* nombre;
  const char* etiqueta;
};

// The fields of the screen in entry order.
const std::vector<Campo>& campos() {
  static const std::vector<Campo> c{
      {"CLCLI_C", "Clave"},         {"NOMBR_C", "Nombre"},           {"TELEF_C", "Teléfono"},
      {"RFCXX_C", "R.F.C."},        {"CURPX_C", "C.U.R.P."},         {"DIREC_C", "Dirección"},
      {"DIRE2_C", "Colonia"},       {"POBLA_C", "Población"},        {"CPXXX_C", "C.P."},
      {"DREPA_C", "Día de Revisión"}, {"HOREV_C", "Horario Revisión"}, {"DIPAG_C", "Día de Pago"},
      {"HOPAG_C", "Horario de Pago"}, {"ZONAX_C", "Zona"},           {"DCRED_C", "Días de Crédito"},
      {"FULCO_C", "Última Compra"}, {"CLVEN_C", "Vendedor"},         {"SALDO_C", "Saldo"},
      {"COMPR_C", "Compras"},       {"STATU_C", "Estado"},
  };
  return c;
}

// DBEdit1 shows the accumulated charges; DBEdit2, the field the administrator can lock,
// is the customer's price list.
constexpr const char* kCampoDBEdit1 = "CARGO_C";
constexpr const char* kCampoDBEdit2 = "PREPR_C";

bool esLista(const std::string& campo) { return campo == "DREPA_C" || campo == "DIPAG_C"; }

std::string nombreControl(const std::string& campo) {
  if (campo == kCampoDBEdit1) return "DBEdit1";
  if (campo == kCampoDBEdit2) return "DBEdit2";
  return "Edit" + campo;
}

}  // namespace

TFormaClientes::TFormaClientes(AjustesClientes ajustes, base::Interaccion& ui, const base::Reloj& reloj,
                               std::function<bool(int)> derecho, QWidget* parent)
    : PantallaCuenta(motor_, parent), ui_(ui), reloj_(reloj), derecho_(derecho), motor_(std::move(ajustes), ui, reloj, derecho) {
  setObjectName("TFormaClientes");
  resize(900, 560);
  auto* todo = new QVBoxLayout(this);
  barra_ = new QMenuBar(this);
  barra_->setObjectName("MainMenu1");
  todo->setMenuBar(barra_);
  creaMenus(barra_);

  auto* botones = new QHBoxLayout;
  auto boton = [&](const char* nombre, const QString& texto, void (TFormaClientes::*f)(), bool consulta) {
    QPushButton* b = mostrador::ui::botonDeBarra(botones, this, nombre, texto, f);
    b->setFocusPolicy(Qt::NoFocus);
    if (consulta) soloConsulta_.push_back(b);
    return b;
  };
  boton("BotonNuevo", "Nuevo", &TFormaClientes::BotonNuevoClick, true);
  boton("BotonCambios", "Cambios", &TFormaClientes::BotonCambiosClick, true);
  guardar_ = boton("BotonGuardar", "Guardar", &TFormaClientes::BotonGuardarClick, false);
  boton("BotonBuscar", "Buscar", &TFormaClientes::BotonBuscarClick, true);
  boton("BotonImprimir", "Imprimir", &TFormaClientes::BotonImprimirClick, true);
  boton("BotonPreliminar", "Preliminar", &TFormaClientes::BotonPreliminarClick, true);
  boton("BotonSaldo", "Saldo", &TFormaClientes::BotonSaldoClick, true);
  boton("BotonAbono", "Abono", &TFormaClientes::BotonAbonoClick, true);
  boton("BitBtn1", "Descuentos", &TFormaClientes::BitBtn1Click, true);
  boton("SpeedButton1", "Contactos", &TFormaClientes::SpeedButton1Click, true);
  boton("BotonObservacion", "Observaciones", &TFormaClientes::BotonObservacionClick, true);
  botones->addStretch(1);
  modo_ = new QLabel(this);
  modo_->setObjectName("Estado");
  modo_->setMinimumWidth(80);
  botones->addWidget(modo_);
  todo->addLayout(botones);

  creaCampos();
  auto* pie = new QGridLayout;
  cargo_ = new QLabel(this);
  cargo_->setObjectName("Cargo");
  abono_ = new QLabel(this);
  abono_->setObjectName("Abono");
  estado_ = new QLabel(this);
  estado_->setObjectName("EtiEstado");
  usuario_ = new QLabel(q(motor_.ajustes().usuario), this);
  usuario_->setObjectName("Usuario");
  uno_ = new QLabel(this);
  uno_->setObjectName("Uno");
  dos_ = new QLabel(this);
  dos_->setObjectName("Dos");
  pie->addWidget(cargo_, 0, 0);
  pie->addWidget(abono_, 0, 1);
  pie->addWidget(estado_, 0, 2);
  pie->addWidget(usuario_, 0, 3);
  pie->addWidget(uno_, 1, 0, 1, 4);
  pie->addWidget(dos_, 2, 0, 1, 4);
  todo->addLayout(pie);

  ui::instalaNavegacion(this);
  motor_.abre();
  pinta();
}

// Hidden while its fields and engine still stand: hiding takes the focus from a field,
// whose leaving runs the screen's field rules.
TFormaClientes::~TFormaClientes() { hide(); }

session::Sesion& TFormaClientes::sesion() {
  if (sesion_) return *sesion_;
  if (!sesionPropia_) {
    procesosPropios_ = std::make_unique<base::ProcesosPosix>();
    sesionPropia_ = std::make_unique<session::Sesion>(ui_, reloj_, *procesosPropios_);
    sesionPropia_->ponDirectorios(motor_.ajustes().dirSistema, motor_.ajustes().dirDatos);
    sesionPropia_->ponUsuario(motor_.ajustes().usuario);
  }
  return *sesionPropia_;
}

void TFormaClientes::creaMenus(QMenuBar* barra) {
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
  agrega(archivo, "Consulta1", "Consultas", [this] { Consulta1Click(); });
  bloquear_ = agrega(archivo, "BloquearCampo1", "Bloquear Campo", [this] { BloquearCampo1Click(); });
  bloquear_->setCheckable(true);
  bloquear_->setChecked(motor_.ajustes().campoBloqueado);
  QMenu* impresion = barra->addMenu("&Imprimir");
  agrega(impresion, "formato", "Elegir Formato", [this] { formatoClick(); });
  agrega(impresion, "ImprimeRango1", "Imprime Rango", [this] { ImprimeRango1Click(); });
  agrega(impresion, "DiseaFormato1", "Diseña Formato", [this] { DiseaFormato1Click(); });
  agrega(impresion, "ImprimePantilla1", "Imprime Pantalla", [this] { ImprimePantilla1Click(); });
  QMenu* reportes = barra->addMenu("&Reportes");
  for (const auto& c : reportesClientes())
    agrega(reportes, c.menu, q(c.caption), [this, m = std::string(c.menu)] { reporte(m); });
  QMenu* ayudaMenu = barra->addMenu("A&yuda");
  agrega(ayudaMenu, "Temas1", "Temas", [this] { Temas1Click(); }, false);
  agrega(ayudaMenu, "Informacion1", "Información", [this] { Informacion1Click(); }, false);
}

void TFormaClientes::creaCampos() {
  auto* rejilla = new QGridLayout;
  int fila = 0, columna = 0;
  auto coloca = [&](const char* etiqueta, QWidget* w) {
    rejilla->addWidget(new QLabel(etiqueta, this), fila, columna);
    rejilla->addWidget(w, fila, columna + 1);
    if (++fila > 10) {
      fila = 0;
      columna += 2;
    }
  };
  auto agregaCampo = [&](const std::string& campo, const char* etiqueta) {
    orden_.push_back(campo);
    if (esLista(campo)) {
      auto* c = new QComboBox(this);
      c->setEditable(true);
      c->setObjectName(q("Edit" + campo));
      c->addItems({"", "Lunes", "Martes", "Miércoles", "Jueves", "Viernes", "Sábado", "Domingo"});
      c->installEventFilter(this);
      c->lineEdit()->installEventFilter(this);
      c->lineEdit()->setObjectName(q("Edit" + campo + "_texto"));
      listas_[campo] = c;
      connect(c->lineEdit(), &QLineEdit::editingFinished, this, [this, campo] { saleCampo(campo); });
      connect(c, &QComboBox::activated, this, [this, campo] { saleCampo(campo); });
      coloca(etiqueta, c);
      return;
    }
    auto* e = new QLineEdit(this);
    e->setObjectName(q(nombreControl(campo)));
    e->installEventFilter(this);
    edits_[campo] = e;
    connect(e, &QLineEdit::editingFinished, this, [this, campo] { saleCampo(campo); });
    coloca(etiqueta, e);
  };
  for (const auto& c : campos()) agregaCampo(c.nombre, c.etiqueta);
  agregaCampo(kCampoDBEdit1, "Cargos");
  agregaCampo(kCampoDBEdit2, "Lista de Precios");
  qobject_cast<QVBoxLayout*>(layout())->addLayout(rejilla, 1);
}

QString TFormaClientes::textoDe(const std::string& campo) const {
  if (auto it = listas_.find(campo); it != listas_.end()) return it->second->currentText();
  return edits_.at(campo)->text();
}

void TFormaClientes::pintaCampos() {
  pintando_ = true;
  for (const std::string& campo : orden_) {
    pintado_[campo] = q(motor_.texto(campo));
    if (auto it = listas_.find(campo); it != listas_.end())
      it->second->setCurrentText(pintado_[campo]);
    else
      edits_[campo]->setText(pintado_[campo]);
  }
  pintando_ = false;
}

void TFormaClientes::pinta(bool conReglas) {
  const bool editando = motor_.modo() != ModoClientes::Consulta;
  PresentacionCliente p;
  if (conReglas) p = motor_.presenta();
  pintaCampos();
  if (!editando) {
    // The amounts as the screen masks them.
    pintando_ = true;
    edits_["SALDO_C"]->setText(q(p.saldo));
    edits_["COMPR_C"]->setText(q(p.compras));
    if (motor_.hayCliente())
      edits_[kCampoDBEdit1]->setText(q(base::formateaMascara(motor_.numero(kCampoDBEdit1), "#,###,##0.00")));
    pintando_ = false;
  }
  setWindowTitle(q(motor_.titulo()));
  for (QWidget* w : soloConsulta_) w->setEnabled(!editando);
  for (QAction* a : soloConsultaAcciones_) a->setEnabled(!editando);
  guardar_->setEnabled(editando);
  guardarAccion_->setEnabled(editando);
  cancelarAccion_->setEnabled(editando);
  bloquear_->setEnabled(!editando && motor_.ajustes().usuario == "0");
  for (auto& [campo, e] : edits_) {
    bool soloLectura = !editando || campo == kCampoDBEdit1;
    if (campo == "CLCLI_C" && motor_.ajustes().consecutivas) soloLectura = true;
    if (campo == kCampoDBEdit2 && motor_.ajustes().campoBloqueado) soloLectura = true;
    e->setReadOnly(soloLectura);
  }
  for (auto& [campo, c] : listas_) c->setEnabled(editando);
  modo_->setText(editando ? (motor_.modo() == ModoClientes::Nuevo ? "Nuevo" : "Cambios") : "Consulta");
  if (!conReglas) return;
  cargo_->setText(q(p.cargo));
  abono_->setText(q(p.abono));
  estado_->setText(q(p.estado));
}

bool TFormaClientes::saleCampo(const std::string& campo) {
  if (pintando_ || motor_.modo() == ModoClientes::Consulta) return true;
  const QString t = textoDe(campo);
  if (campo == "CLCLI_C" && !motor_.saleClave(t.toStdString())) {
    edits_["CLCLI_C"]->setFocus();
    return false;
  }
  if (t == pintado_[campo]) return true;
  if (!motor_.ponTexto(campo, t.toStdString())) {
    pintaCampos();
    return false;
  }
  pintado_[campo] = q(motor_.texto(campo));
  return true;
}

bool TFormaClientes::tomaPendientes() {
  for (const std::string& campo : orden_)
    if (textoDe(campo) != pintado_[campo] && !saleCampo(campo)) return false;
  return true;
}

void TFormaClientes::ayuda(const std::string& campo) {
  const auto [a, b] = lineasAyudaCliente(campo);
  if (a == 0) {
    uno_->clear();
    dos_->clear();
    return;
  }
  const std::string des = base::une(motor_.ajustes().dirSistema, kAyudaClientes);
  uno_->setText(q(base::leeLinea(des, a).value_or("")));
  dos_->setText(q(base::leeLinea(des, b).value_or("")));
}

void TFormaClientes::fichaCampo(const std::string& campo) {
  struct Ficha {
    const char *campo, *nombre, *ejemplo, *tipo, *tamano;
  };
  static const Ficha fichas[] = {{"CLCLI_C", "Clave", "CL001-004", "Cadena", "10"},
                                 {"NOMBR_C", "Nombre", "Comercializadora del Norte S.A.", "Cadena", "60"},
                                 {"TELEF_C", "Telefono", "54-60-70-76", "Cadena", "20"}};
  for (const Ficha& f : fichas)
    if (campo == f.campo) {
      ui_.mensaje(std::string(f.nombre) + "\n" + f.ejemplo + "\nTipo     " + f.tipo + "\nTamaño   " + f.tamano);
      return;
    }
}

bool TFormaClientes::eventFilter(QObject* o, QEvent* e) {
  if (auto* w = qobject_cast<QWidget*>(o)) {
    std::string nombre = w->objectName().toStdString();
    if (nombre.ends_with("_texto")) nombre.resize(nombre.size() - 6);
    std::string campo;
    if (nombre == "DBEdit1") campo = kCampoDBEdit1;
    else if (nombre == "DBEdit2") campo = kCampoDBEdit2;
    else if (nombre.starts_with("Edit")) campo = nombre.substr(4);
    if (!campo.empty()) {
      if (e->type() == QEvent::FocusIn) {
        QPalette p = w->palette();
        p.setColor(QPalette::Base, Qt::yellow);
        w->setPalette(p);
        ayuda(campo);
      } else if (e->type() == QEvent::FocusOut) {
        QPalette p = w->palette();
        p.setColor(QPalette::Base, Qt::white);
        w->setPalette(p);
      } else if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_F1) {
          fichaCampo(campo);
          return true;
        }
        if (k->key() == Qt::Key_F2 && campo == "CLVEN_C" &&
            consultaVendedor(edits_["CLVEN_C"], "CLVEN_C", motor_.ajustes().dirDatos))
          return true;
      }
    }
  }
  return QDialog::eventFilter(o, e);
}

// ---- commands -----------------------------------------------------------------------

void TFormaClientes::BotonNuevoClick() {
  if (!motor_.nuevo()) return;
  pinta(false);
  (motor_.ajustes().consecutivas ? edits_["NOMBR_C"] : edits_["CLCLI_C"])->setFocus();
}

void TFormaClientes::BotonCambiosClick() {
  if (!motor_.modifica()) return;
  pinta(false);
  edits_["NOMBR_C"]->setFocus();
}

void TFormaClientes::BotonGuardarClick() {
  if (!tomaPendientes()) return;
  if (!motor_.guarda()) {
    if (motor_.modo() != ModoClientes::Consulta) edits_["CLCLI_C"]->setFocus();
    return;
  }
  pinta();
}

void TFormaClientes::CancelarMovimiento1Click() {
  motor_.descarta();
  pinta();
}

void TFormaClientes::Eliminar1Click() {
  if (motor_.elimina()) pinta();
}

void TFormaClientes::BotonBuscarClick() {
  if (motor_.busca()) pinta();
}

void TFormaClientes::BusquedaNoIndexada1Click() {
  if (motor_.modo() != ModoClientes::Consulta) return;
  ui::TFormaBusquedaNoIndexada f(
      ui::TFormaBusquedaNoIndexada::camposDelCatalogo(motor_.ajustes().dirSistema, "cliente.dbf"), this);
  if (f.exec() != QDialog::Accepted) return;
  if (motor_.buscaCampo(f.campo().toStdString(), f.valor().toStdString())) pinta();
}

void TFormaClientes::Consulta1Click() {
  TFormaDisenoVista f(ui_, motor_.ajustes().dirSistema, motor_.ajustes().dirDatos, this);
  f.exec();
  motor_.refresca();
  pinta();
}

std::string TFormaClientes::rutaFormato() const {
  if (!formato_.empty()) return formato_;
  return base::une(motor_.ajustes().dirSistema, "consulta\\" + motor_.ajustes().formato);
}

bool TFormaClientes::imprimeActual(const std::string& formato, bool preliminar) {
  if (!base::existe(formato)) {
    ui_.mensaje("El Formato " + formato + " No Existe");
    return false;
  }
  try {
    // The customer alone, as the format's header and lines.
    dbf::Table cliente;
    cliente.open(motor_.ajustes().dirDatos, kTablaClientes);
    cliente.setIndex("ICLACLI");
    const std::string clave = motor_.texto("CLCLI_C");
    cliente.setRange({clave}, {clave});
    if (!cliente.goTo(motor_.tabla().recno())) return false;
    printing::TablaDbf encabezado(cliente, motor_.ajustes().dirDatos, kTablaClientes);
    printing::TablaDbf detalle(cliente, motor_.ajustes().dirDatos, kTablaClientes);
    inventory::imprimeFormato(this, sesion(), motor_.ajustes().dirSistema, {formato, formato}, encabezado, detalle,
                              motor_.ajustes().usuario, preliminar);
  } catch (const dbf::Error&) {
    ui_.mensaje("Valor no Válido");
    return false;
  }
  return true;
}

void TFormaClientes::imprime(bool preliminar) {
  if (!motor_.hayCliente() || motor_.modo() != ModoClientes::Consulta) return;
  imprimeActual(rutaFormato(), preliminar);
}

void TFormaClientes::BotonImprimirClick() { imprime(false); }
void TFormaClientes::BotonPreliminarClick() { imprime(true); }

void TFormaClientes::formatoClick() {
  auto r = ui_.abreArchivo("Formato de Impresión", "Formatos (*.fmt *.for *.txt)");
  if (!r) return;
  if (!base::existe(*r)) {
    ui_.mensaje("El Formato " + *r + " No Existe");
    return;
  }
  formato_ = *r;
}

void TFormaClientes::ImprimeRango1Click() {
  if (motor_.modo() != ModoClientes::Consulta) return;
  auto de = ui_.pideTexto("Imprime Rango", "Del Cliente", motor_.texto("CLCLI_C"));
  if (!de) return;
  auto a = ui_.pideTexto("Imprime Rango", "Al Cliente", *de);
  if (!a) return;
  const std::string formato = rutaFormato();
  if (!base::existe(formato)) {
    ui_.mensaje("El Formato " + formato + " No Existe");
    return;
  }
  try {
    dbf::Table t;
    t.open(motor_.ajustes().dirDatos, kTablaClientes);
    t.setIndex("ICLACLI");
    t.setRange({*de}, {*a});
    std::vector<std::string> claves;
    for (t.first(); !t.eof(); t.next()) claves.push_back(t.asText("CLCLI_C"));
    t.cancelRange();
    for (const std::string& k : claves) {
      if (!motor_.abreEnClave(k, false)) continue;
      if (!imprimeActual(formato, false)) break;
    }
  } catch (const dbf::Error&) {
    ui_.mensaje("Valor no Válido");
  }
  pinta();
}

void TFormaClientes::DiseaFormato1Click() {
  TFormaEdicion f(motor_.ajustes().dirSistema, this);
  f.modoDiseno(ui_, rutaFormato(), base::une(motor_.ajustes().dirSistema, "consulta"));
  f.exec();
}

void TFormaClientes::ImprimePantilla1Click() { ui::imprimePantalla(this, motor_.ajustes().dirSistema, ui_); }

void TFormaClientes::reporte(const std::string& menu) {
  if (auto d = listadoClientes(menu, motor_.ajustes().dirDatos)) {
    if (!reporte_) {
      ui_.mensaje("El Reporte " + d->titulo + " no está disponible en esta pantalla");
      return;
    }
    reporte_(*d);
    motor_.refresca();
    pinta();
    return;
  }
  if (auto r = resumenClientes(menu)) {
    reports::muestraConcentrado(this, r->concentrado, sesion(), motor_.ajustes().dirSistema,
                                motor_.ajustes().dirDatos, motor_.ajustes().hojaCalculo, r->columnaGrafica);
  }
}

void TFormaClientes::BotonSaldoClick() {
  if (!motor_.hayCliente() || motor_.modo() != ModoClientes::Consulta || !derecho_(6)) return;
  const std::string clave = base::recorta(motor_.texto("CLCLI_C"));
  const auto cartera = accounts::cartera(motor_.ajustes().dirDatos, Cartera::Clientes, reloj_.ahora().fecha, clave);
  if (cartera.documentos.empty()) {
    ui_.mensaje(std::string(kClienteSinPendientes));
    return;
  }
  // The customer's open documents, oldest due first: the one chosen is shown.
  QStringList opciones;
  for (const auto& d : cartera.documentos)
    opciones << q(d.documento + "   " + d.vence + "   " + base::formateaMascara(d.saldo, "###,###,##0.00") + "   " +
                  d.vencimiento);
  std::string documento = cartera.documentos.front().documento;
  if (opciones.size() > 1) {
    bool ok = false;
    const QString elegido = QInputDialog::getItem(this, "Documentos Pendientes", "Documento", opciones, 0, false, &ok);
    if (!ok) return;
    documento = cartera.documentos[static_cast<size_t>(opciones.indexOf(elegido))].documento;
  }
  TFormaCxCDetalle::muestra(this, motor_.ajustes().dirDatos, documento, ui_, reloj_);
  motor_.refresca();
  pinta();
}

void TFormaClientes::BotonAbonoClick() {
  if (!motor_.hayCliente() || motor_.modo() != ModoClientes::Consulta || !derecho_(6)) return;
  const std::string clave = base::recorta(motor_.texto("CLCLI_C"));
  auto importe = ui_.pideTexto("Abono", "Importe del Abono de " + clave, "");
  if (!importe) return;
  const auto v = base::leeNumero(base::recorta(*importe));
  Abono a;
  a.clave = clave;
  a.importe = v.value_or(0);
  a.fecha = reloj_.ahora().fecha;
  // Applied to the oldest documents due first.
  const std::string r = abona(motor_.ajustes().dirDatos, Cartera::Clientes, a, reloj_);
  if (!r.empty()) {
    ui_.mensaje(r);
    return;
  }
  motor_.refresca();
  pinta();
}

void TFormaClientes::BitBtn1Click() {
  if (!motor_.hayCliente() || motor_.modo() != ModoClientes::Consulta) return;
  TFormaPoliticaClientes f(motor_.ajustes().dirDatos, motor_.texto("CLCLI_C"), ui_, this);
  f.exec();
}

void TFormaClientes::SpeedButton1Click() {
  if (!motor_.hayCliente() || motor_.modo() != ModoClientes::Consulta) return;
  TFormaContactos f(motor_.ajustes().dirDatos, motor_.texto("CLCLI_C"), ui_, this);
  f.exec();
}

void TFormaClientes::BotonObservacionClick() {
  if (!motor_.hayCliente() || motor_.modo() != ModoClientes::Consulta) return;
  ui::TFormaObservaciones::edita(this, motor_.ajustes().dirDatos, "CL", motor_.texto("CLCLI_C"), ui_);
}

void TFormaClientes::BloquearCampo1Click() {
  motor_.alternaBloqueo();
  bloquear_->setChecked(motor_.ajustes().campoBloqueado);
  pinta(false);
}

void TFormaClientes::Temas1Click() { inventory::abreAyuda(ui_, motor_.ajustes().dirSistema, "clientes.rtf"); }

void TFormaClientes::Informacion1Click() {
  base::escribeIndiceAyuda(motor_.ajustes().dirSistema, "Clientes", ui::entradasDeMenu(barra_));
}

}  // namespace mostrador::accounts
