#include "accounts/screens/TFormaVendedor.h"

#include "inventory/screens/impresion_inventario.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/ayuda.h"
#include "base/rutas.h"
#include "designers/diseno_vista.h"
#include "designers/screens/TFormaDisenoVista.h"
#include "designers/screens/TFormaEdicion.h"
#include "inventory/complementos_producto.h"
#include "inventory/screens/ayuda_pantalla.h"
#include "printing/entorno_sesion.h"
#include "printing/impresion_documentos.h"
#include "printing/motor_formatos.h"
#include "printing/tabla_dbf.h"
#include "ui/TFormaObservaciones.h"
#include "ui/dialogos.h"
#include "ui/impresora_cups.h"
#include "ui/impresora_qt.h"

namespace mostrador::accounts {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

struct Campo {
  const char* nombre;
  const char* etiqueta;
};

// The screen's fields in their order on the form (and of Enter).
const std::vector<Campo>& campos() {
  static const std::vector<Campo> c{{"CLVEN_V", "Clave"},
                                    {"NOMBR_V", "Nombre"},
                                    {"STATU_V", "Estado"},
                                    {"COMIS_V", "Comisión %"},
                                    {"CLASV_V", "Clase"}};
  return c;
}

constexpr const char* kTituloAyuda = "Vendedores";

}  // namespace

TFormaVendedor::TFormaVendedor(AjustesVendedores ajustes, base::Interaccion& ui, const base::Reloj& reloj,
                               std::function<bool(int)> derecho, QWidget* parent)
    : QDialog(parent), ui_(ui), reloj_(reloj), motor_(std::move(ajustes), ui, std::move(derecho)) {
  setObjectName("TFormaVendedor");
  resize(640, 360);
  auto* todo = new QVBoxLayout(this);
  barra_ = new QMenuBar(this);
  barra_->setObjectName("MainMenu1");
  todo->setMenuBar(barra_);
  creaMenus(barra_);

  auto* botones = new QHBoxLayout;
  auto boton = [&](const char* nombre, const QString& texto, void (TFormaVendedor::*f)(), bool consulta) {
    QPushButton* b = ui::botonDeBarra(botones, this, nombre, texto, f);
    b->setFocusPolicy(Qt::NoFocus);
    (consulta ? soloConsulta_ : soloEdicion_).push_back(b);
    return b;
  };
  boton("BotonNuevo", "Nuevo", &TFormaVendedor::BotonNuevoClick, true);
  boton("BotonCambios", "Cambios", &TFormaVendedor::BotonCambiosClick, true);
  boton("BotonGuardar", "Guardar", &TFormaVendedor::BotonGuardarClick, false);
  boton("BotonBuscar", "Buscar", &TFormaVendedor::BotonBuscarClick, true);
  boton("BotonImprimir", "Imprimir", &TFormaVendedor::BotonImprimirClick, true);
  boton("BotonPreliminar", "Preliminar", &TFormaVendedor::BotonPreliminarClick, true);
  boton("BotonObservacion", "Observaciones", &TFormaVendedor::BotonObservacionClick, true);
  botones->addStretch(1);
  usuario_ = new QLabel(q(motor_.ajustes().usuario), this);
  usuario_->setObjectName("Usuario");
  botones->addWidget(usuario_);
  todo->addLayout(botones);

  motor_.abre();
  creaCampos();
  uno_ = new QLabel(this);
  uno_->setObjectName("uno");
  dos_ = new QLabel(this);
  dos_->setObjectName("dos");
  todo->addWidget(uno_);
  todo->addWidget(dos_);
  todo->addStretch(1);

  ui::instalaNavegacion(this);
  pinta();
}

TFormaVendedor::~TFormaVendedor() = default;

void TFormaVendedor::creaMenus(QMenuBar* barra) {
  enum Cuando { EnConsulta, EnEdicion, Siempre };
  auto agrega = [this](QMenu* m, const char* nombre, const QString& texto, std::function<void()> f, Cuando c) {
    QAction* a = m->addAction(texto);
    a->setObjectName(nombre);
    connect(a, &QAction::triggered, this, std::move(f));
    if (c == EnConsulta) soloConsultaAcciones_.push_back(a);
    if (c == EnEdicion) soloEdicionAcciones_.push_back(a);
    return a;
  };
  QMenu* archivo = barra->addMenu("&Archivo");
  agrega(archivo, "Nuevo1", "Nuevo", [this] { BotonNuevoClick(); }, EnConsulta);
  agrega(archivo, "Modificar1", "Modificar", [this] { BotonCambiosClick(); }, EnConsulta);
  agrega(archivo, "Guardar1", "Guardar", [this] { BotonGuardarClick(); }, EnEdicion);
  agrega(archivo, "CancelaMovimiento1", "Cancela Movimiento", [this] { CancelaMovimiento1Click(); }, EnEdicion);
  agrega(archivo, "Eliminar1", "Eliminar", [this] { Eliminar1Click(); }, EnConsulta);
  agrega(archivo, "Buscar1", "Buscar", [this] { BotonBuscarClick(); }, EnConsulta);
  agrega(archivo, "Consultas1", "Consultas", [this] { Consultas1Click(); }, EnConsulta);
  QMenu* impresion = barra->addMenu("&Impresión");
  agrega(impresion, "ElegirFormato1", "Elegir Formato", [this] { ElegirFormato1Click(); }, EnConsulta);
  agrega(impresion, "ImprimirRango1", "Imprimir Rango", [this] { ImprimirRango1Click(); }, EnConsulta);
  agrega(impresion, "Disearformato1", "Diseñar Formato", [this] { Disearformato1Click(); }, EnConsulta);
  agrega(impresion, "ImprimePlantilla1", "Imprime Plantilla", [this] { ImprimePlantilla1Click(); }, EnConsulta);
  QMenu* reportes = barra->addMenu("&Reportes");
  for (const auto& [menu, titulo] : reportesVendedores())
    agrega(reportes, menu.c_str(), q(titulo), [this, m = menu] { reporte(m); }, EnConsulta);
  QMenu* ayudaMenu = barra->addMenu("A&yuda");
  agrega(ayudaMenu, "Temas1", "Temas", [this] { Temas1Click(); }, Siempre);
  agrega(ayudaMenu, "Informacion1", "Información", [this] { Informacion1Click(); }, Siempre);
}

void TFormaVendedor::creaCampos() {
  auto* rejilla = new QGridLayout;
  int fila = 0;
  for (const auto& c : campos()) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QString("Edit") + c.nombre);
    e->installEventFilter(this);
    // The edit takes no more than the field holds.
    if (motor_.abierto()) {
      const dbf::Table& t = motor_.tabla();
      const int i = t.fieldIndex(c.nombre);
      if (i >= 0 && t.fieldDefs()[static_cast<size_t>(i)].type == 'C')
        e->setMaxLength(t.fieldDefs()[static_cast<size_t>(i)].length);
    }
    edits_[c.nombre] = e;
    rejilla->addWidget(new QLabel(QString::fromUtf8(c.etiqueta), this), fila, 0);
    rejilla->addWidget(e, fila, 1);
    const std::string nombre = c.nombre;
    connect(e, &QLineEdit::editingFinished, this, [this, nombre] { saleCampo(nombre); });
    ++fila;
  }
  static_cast<QVBoxLayout*>(layout())->addLayout(rejilla);
}

// ---- showing ----------------------------------------------------------------------------

void TFormaVendedor::pintaCampos() {
  pintando_ = true;
  for (auto& [campo, e] : edits_) {
    pintado_[campo] = q(motor_.texto(campo));
    e->setText(pintado_[campo]);
  }
  pintando_ = false;
}

void TFormaVendedor::pinta() {
  const bool editando = motor_.modo() != ModoVendedores::Consulta;
  pintaCampos();
  setWindowTitle(q(motor_.titulo()));
  for (QWidget* w : soloConsulta_) w->setEnabled(!editando);
  for (QAction* a : soloConsultaAcciones_) a->setEnabled(!editando);
  for (QWidget* w : soloEdicion_) w->setEnabled(editando);
  for (QAction* a : soloEdicionAcciones_) a->setEnabled(editando);
  for (auto& [campo, e] : edits_) e->setReadOnly(!editando);
}

void TFormaVendedor::saleCampo(const std::string& campo) {
  if (pintando_ || motor_.modo() == ModoVendedores::Consulta) return;
  QLineEdit* e = edits_[campo];
  if (e->text() == pintado_[campo]) return;
  motor_.ponTexto(campo, e->text().toStdString());
  pintaCampos();  // what the field holds now (a refused value goes back)
}

void TFormaVendedor::tomaPendientes() {
  std::vector<std::pair<std::string, QString>> pendientes;
  for (const auto& c : campos())
    if (edits_[c.nombre]->text() != pintado_[c.nombre]) pendientes.emplace_back(c.nombre, edits_[c.nombre]->text());
  for (const auto& [campo, texto] : pendientes) {
    edits_[campo]->setText(texto);  // taking one field repaints the others
    saleCampo(campo);
  }
}

void TFormaVendedor::ayuda(const std::string& campo) {
  const auto [l1, l2] = motor_.ayuda(campo);
  uno_->setText(q(l1));
  dos_->setText(q(l2));
}

bool TFormaVendedor::eventFilter(QObject* o, QEvent* e) {
  if (auto* edit = qobject_cast<QLineEdit*>(o)) {
    if (e->type() == QEvent::FocusIn) {
      QPalette p = edit->palette();
      p.setColor(QPalette::Base, Qt::yellow);
      edit->setPalette(p);
      ayuda(edit->objectName().mid(4).toStdString());
    } else if (e->type() == QEvent::FocusOut) {
      QPalette p = edit->palette();
      p.setColor(QPalette::Base, Qt::white);
      edit->setPalette(p);
    }
  }
  return QDialog::eventFilter(o, e);
}

void TFormaVendedor::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_PageDown || e->key() == Qt::Key_PageUp) {
    // Record navigation only while browsing.
    if (motor_.modo() == ModoVendedores::Consulta) {
      if (e->key() == Qt::Key_PageDown)
        motor_.siguiente();
      else
        motor_.anterior();
      pinta();
    }
    return;
  }
  if (e->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QDialog::keyPressEvent(e);
}

void TFormaVendedor::closeEvent(QCloseEvent* e) {
  if (motor_.modo() != ModoVendedores::Consulta) {
    tomaPendientes();
    if (!motor_.cierra()) {
      e->ignore();
      pinta();
      if (motor_.modo() != ModoVendedores::Consulta) edits_["CLVEN_V"]->setFocus();
      return;
    }
  }
  e->accept();
  QDialog::closeEvent(e);
}

bool TFormaVendedor::abreEnClave(const std::string& clave) {
  const bool hallada = motor_.abreEnClave(clave);
  pinta();
  return hallada;
}

// ---- commands ---------------------------------------------------------------------------

void TFormaVendedor::BotonNuevoClick() {
  if (!motor_.nuevo()) return;
  pinta();
  edits_["CLVEN_V"]->setFocus();
}

void TFormaVendedor::BotonCambiosClick() {
  if (!motor_.modifica()) return;
  pinta();
  edits_["CLVEN_V"]->setFocus();
}

void TFormaVendedor::BotonGuardarClick() {
  if (motor_.modo() == ModoVendedores::Consulta) return;
  tomaPendientes();
  if (!motor_.guarda()) {
    // The key is what a refused save asks to change.
    if (motor_.modo() != ModoVendedores::Consulta) edits_["CLVEN_V"]->setFocus();
    return;
  }
  pinta();
}

void TFormaVendedor::CancelaMovimiento1Click() {
  motor_.descarta();
  pinta();
}

void TFormaVendedor::Eliminar1Click() {
  if (motor_.elimina()) pinta();
}

void TFormaVendedor::BotonBuscarClick() {
  if (motor_.busca()) pinta();
}

void TFormaVendedor::Consultas1Click() {
  // The saved views of the seller table: the view designer on its module.
  TFormaDisenoVista f(ui_, motor_.ajustes().dirSistema, motor_.ajustes().dirDatos, this);
  const auto& modulos = designers::modulosVista();
  for (size_t i = 0; i < modulos.size(); ++i)
    if (modulos[i].tabla == kTablaVendedores)
      if (auto* lista = f.findChild<QListWidget*>("Lista")) lista->setCurrentRow(static_cast<int>(i));
  f.exec();
}

// ---- printing ---------------------------------------------------------------------------

session::Sesion& TFormaVendedor::sesion() {
  if (sesion_) return *sesion_;
  if (!sesionPropia_) {
    procesosPropios_ = std::make_unique<base::ProcesosPosix>();
    sesionPropia_ = std::make_unique<session::Sesion>(ui_, reloj_, *procesosPropios_);
    sesionPropia_->ponDirectorios(motor_.ajustes().dirSistema, motor_.ajustes().dirDatos);
    sesionPropia_->ponUsuario(motor_.ajustes().usuario);
  }
  return *sesionPropia_;
}

bool TFormaVendedor::impresoraLista() {
  ImpresoraQt impresora;
  if (impresora.impresoras().empty()) {
    ui_.mensaje(kImpresoraNoLista);
    return false;
  }
  return true;
}

void TFormaVendedor::imprime(uint32_t registro, const std::string& formato, bool preliminar) {
  const std::string& datos = motor_.ajustes().dirDatos;
  try {
    // The seller alone, as the format's header and lines.
    dbf::Table vendedor;
    vendedor.open(datos, kTablaVendedores);
    vendedor.setIndex("ICLAVEN");
    if (!vendedor.goTo(registro)) return;
    const std::string clave = vendedor.asText("CLVEN_V");
    vendedor.setRange({clave}, {clave});
    if (!vendedor.goTo(registro)) return;
    printing::TablaDbf encabezado(vendedor, datos, kTablaVendedores);
    printing::TablaDbf detalle(vendedor, datos, kTablaVendedores);
    inventory::imprimeFormato(this, sesion(), motor_.ajustes().dirSistema, {formato, formato}, encabezado, detalle,
                              motor_.ajustes().usuario, preliminar);
  } catch (const dbf::Error&) {
    ui_.mensaje(kVendedorErrorAbrir);
  }
}

void TFormaVendedor::BotonImprimirClick() {
  if (!motor_.hayVendedor() || !impresoraLista()) return;
  imprime(motor_.tabla().recno(), motor_.rutaFormato(), false);
}

void TFormaVendedor::BotonPreliminarClick() {
  if (!motor_.hayVendedor()) return;
  imprime(motor_.tabla().recno(), motor_.rutaFormato(), true);
}

void TFormaVendedor::ElegirFormato1Click() {
  if (!motor_.hayVendedor()) return;
  const auto ruta = ui_.abreArchivo("Formato", "Formatos (*.fmt)|*.fmt|Todos|*.*");
  if (!ruta || !motor_.eligeFormato(*ruta)) return;
  if (impresoraLista()) imprime(motor_.tabla().recno(), motor_.rutaFormato(), false);
}

void TFormaVendedor::ImprimirRango1Click() {
  const auto desde = ui_.pideTexto("Imprimir Rango", "Desde la Clave", "");
  if (!desde) return;
  const auto hasta = ui_.pideTexto("Imprimir Rango", "Hasta la Clave", "");
  if (!hasta) return;
  const std::vector<uint32_t> registros = motor_.registrosEnRango(*desde, *hasta);
  if (registros.empty() || !impresoraLista()) return;
  for (uint32_t r : registros) imprime(r, motor_.rutaFormato(), false);
}

void TFormaVendedor::Disearformato1Click() {
  TFormaEdicion diseno(motor_.ajustes().dirSistema, this);
  diseno.modoDiseno(ui_, motor_.rutaFormato(), base::une(motor_.ajustes().dirSistema, "consulta"));
  diseno.exec();
}

void TFormaVendedor::ImprimePlantilla1Click() {
  if (!impresoraLista()) return;
  const QPixmap imagen = grab();
  QPrinter impresora;
  QPainter p;
  if (!p.begin(&impresora)) {
    ui_.mensaje(kImpresoraNoLista);
    return;
  }
  QSize tamano = imagen.size();
  tamano.scale(p.viewport().size(), Qt::KeepAspectRatio);
  p.drawPixmap(QRect(p.viewport().topLeft(), tamano), imagen);
  p.end();
}

// ---- the rest ---------------------------------------------------------------------------

void TFormaVendedor::BotonObservacionClick() {
  if (!motor_.hayVendedor()) return;
  const std::string clave = motor_.texto("CLVEN_V");
  ui::TFormaObservaciones::edita(this, motor_.ajustes().dirDatos, "VE", clave, ui_);
}

void TFormaVendedor::Temas1Click() { inventory::abreAyuda(ui_, motor_.ajustes().dirSistema, "vendedor.rtf"); }

void TFormaVendedor::Informacion1Click() {
  std::vector<base::EntradaMenu> menu;
  for (QAction* a : barra_->actions()) {
    if (!a->menu()) continue;
    base::EntradaMenu m{a->text().toStdString(), {}};
    for (QAction* s : a->menu()->actions())
      if (!s->isSeparator()) m.entradas.push_back({s->text().toStdString(), {}});
    menu.push_back(std::move(m));
  }
  base::escribeIndiceAyuda(motor_.ajustes().dirSistema, kTituloAyuda, menu);
}

void TFormaVendedor::reporte(const std::string& menu) {
  const auto d = reporteVendedor(menu, motor_.ajustes().dirDatos, motor_.ajustes().tablaFacturas);
  if (!d) return;
  if (!reporte_) {
    ui_.mensaje("El módulo Reportes no está disponible todavía");
    return;
  }
  reporte_(*d);
  motor_.refresca();
  pinta();
}

}  // namespace mostrador::accounts
