#include "shell/screens/TFormaPrincipal.h"

#include <cstdlib>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "base/rutas.h"
#include "shell/screens/TFormaAcerca.h"
#include "session/screens/TFormaConfiguracionGeneral.h"
#include "session/screens/TFormaEmpresas.h"
#include "shell/screens/TFormaSistema.h"
#include "base/programas.h"
#include "session/usuarios.h"
#include "store/mantenimiento/opciones.h"
#include "store/screens/TFormaConsolidar.h"
#include "store/screens/TFormaReindexaTodo.h"
#include "store/screens/TFormaRespaldo.h"
#include "ui/TBotonEsquinado.h"
#include "ui/TPapelTapiz.h"
#include "ui/dialogos.h"

namespace mostrador::shell {
namespace {

QString q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The interval of the permanent document check.
constexpr int kIntervaloTimerHora = 60 * 1000;

QLabel* etiquetaBlanca(const QString& texto, QWidget* padre, const char* nombre, int puntos,
                       bool negrita = false) {
  auto* l = new QLabel(texto, padre);
  l->setObjectName(nombre);
  QFont f = l->font();
  f.setPointSize(puntos);
  f.setBold(negrita);
  l->setFont(f);
  QPalette p = l->palette();
  p.setColor(QPalette::WindowText, Qt::white);
  l->setPalette(p);
  return l;
}

QFrame* panel(const QString& texto, QWidget* padre, const char* nombre) {
  auto* f = new QFrame(padre);
  f->setObjectName(nombre);
  f->setFrameShape(QFrame::StyledPanel);
  f->setCursor(Qt::PointingHandCursor);
  f->setAutoFillBackground(true);
  QPalette p = f->palette();
  p.setColor(QPalette::Window, QColor(0, 64, 128));
  f->setPalette(p);
  auto* l = new QVBoxLayout(f);
  l->addWidget(etiquetaBlanca(texto, f, "", 12, true), 0, Qt::AlignCenter);
  return f;
}

}  // namespace

TFormaPrincipal::TFormaPrincipal(base::Interaccion& ui, const base::Reloj& reloj, GanchosPrincipal ganchos,
                                 QWidget* parent)
    : QMainWindow(parent), ui_(ui), principal_(ui, *this, reloj, std::move(ganchos)) {
  setObjectName("TFormaPrincipal");
  resize(1024, 700);
  timerHora_ = new QTimer(this);
  timerHora_->setObjectName("TimerHora");
  timerHora_->setInterval(kIntervaloTimerHora);
  connect(timerHora_, &QTimer::timeout, this, [this] { orden(&Principal::TimerHoraTimer); });

  principal_.FormCreate();
  creaMenus();
  creaCuerpo();

  registraModulo(Pantalla::Sistema, {[this](const Apertura&) {
                                       TFormaSistema s(this);
                                       s.exec();
                                     },
                                     {}, {}});
  registraModulo(Pantalla::ConfiguracionGeneral,
                 {[this](const Apertura& a) {
                    session::TFormaConfiguracionGeneral f(ui_, principal_.directorioSistema(),
                                                 principal_.directorioDatos(), ejecutaSql_,
                                                 descripcion_, this);
                    f.ponUsuario(q(a.usuario));
                    f.exec();
                  },
                  {}, {}});
  registraModulo(Pantalla::Acerca, {[this](const Apertura&) {
                                      TFormaAcerca a(this);
                                      a.exec();
                                    },
                                    {}, {}});
  registraMantenimiento(reloj);
  pinta();
}

void TFormaPrincipal::registraMantenimiento(const base::Reloj& reloj) {
  registraModulo(Pantalla::Respaldo, {[this, &reloj](const Apertura&) {
                                        store::TFormaRespaldo f(ui_, reloj, principal_.directorioSistema(),
                                                                principal_.directorioDatos(), this);
                                        f.exec();
                                      },
                                      {}, {}});
  registraModulo(Pantalla::ReindexaTodo, {[this, &reloj](const Apertura&) {
                                            store::TFormaReindexaTodo f(ui_, reloj, principal_.directorioSistema(),
                                                                        principal_.directorioDatos(), this);
                                            f.exec();
                                          },
                                          {}, {}});
  // The utilities of the Indices menu entry are the table maintenance: indexes, the
  // record check and repair, temporaries and renumbering, all on the reindex screen.
  registraModulo(Pantalla::Utilerias, {[this, &reloj](const Apertura&) {
                                         store::TFormaReindexaTodo f(ui_, reloj, principal_.directorioSistema(),
                                                                     principal_.directorioDatos(), this);
                                         f.exec();
                                       },
                                       {}, {}});
  registraModulo(Pantalla::Consolidar, {[this, &reloj](const Apertura& a) {
                                          store::TFormaConsolidar f(ui_, reloj, a.directorio, this);
                                          f.exec();
                                        },
                                        {}, {}});
  // The options of "opcion.cnf" run here unless the caller brought its own hooks.
  GanchosPrincipal& g = principal_.ganchos();
  auto cierraPropias = [this] {
    if (principal_.ganchos().cierraTablasPropias) principal_.ganchos().cierraTablasPropias();
  };
  if (!g.mantenimientoInicio)
    g.mantenimientoInicio = [this, &reloj, cierraPropias](const std::string& s, const std::string& d) {
      cierraPropias();
      store::mantenimientoAlIniciar(ui_, reloj, s, d);
    };
  if (!g.mantenimientoFinal)
    g.mantenimientoFinal = [this, &reloj, cierraPropias](const std::string& s, const std::string& d) {
      cierraPropias();
      store::mantenimientoAlTerminar(ui_, reloj, s, d);
    };
}

TFormaPrincipal::~TFormaPrincipal() = default;

void TFormaPrincipal::ponEmpresas(session::TFormaEmpresas* empresas) { empresas_ = empresas; }
void TFormaPrincipal::registraModulo(Pantalla p, Modulo m) { modulos_[p] = std::move(m); }
void TFormaPrincipal::ponDescripciones(std::function<std::string(int)> d) {
  descripcion_ = std::move(d);
}

QAction* TFormaPrincipal::accion(const QString& nombre) const {
  auto it = acciones_.find(nombre);
  return it == acciones_.end() ? nullptr : it->second;
}

QAction* TFormaPrincipal::agrega(QMenu* menu, const QString& nombre, const QString& texto,
                                 void (Principal::*comando)(), bool marcable) {
  QAction* a = menu->addAction(texto);
  a->setObjectName(nombre);
  a->setCheckable(marcable);
  if (comando) connect(a, &QAction::triggered, this, [this, comando] { orden(comando); });
  acciones_[nombre] = a;
  return a;
}

void TFormaPrincipal::creaMenus() {
  using P = Principal;
  QMenu* archivo = menuBar()->addMenu("&Archivo");
  archivo->setObjectName("Archivo1");
  agrega(archivo, "Empresa1", "&Empresa...", &P::Empresa1Click);
  agrega(archivo, "Sistema1", "&Sistema", &P::Sistema1Click);
  agrega(archivo, "Calculadora1", "&Calculadora", &P::Calculadora1Click);
  archivo->addSeparator();
  QAction* salir = agrega(archivo, "Salir1", "&Salir", nullptr);
  connect(salir, &QAction::triggered, this, &QWidget::close);

  QMenu* catalogos = menuBar()->addMenu("&Catálogos");
  catalogos->setObjectName("Catalogos1");
  agrega(catalogos, "Clientes1", "&Clientes", &P::Clientes1Click);
  agrega(catalogos, "Vendedores1", "&Vendedores", &P::Vendedores1Click);
  agrega(catalogos, "Proveedores1", "&Proveedores", &P::Proveedores1Click);
  agrega(catalogos, "Producto1", "P&roductos", &P::Producto1Click);
  agrega(catalogos, "Conceptos1", "C&onceptos de Movimientos", &P::Conceptos1Click);

  QMenu* movimientos = menuBar()->addMenu("&Movimientos");
  movimientos->setObjectName("Movimientos2");
  agrega(movimientos, "Facturacin2", "&Facturación", &P::Facturacin2Click);
  agrega(movimientos, "PuntodeVenta1", "&Punto de Venta", &P::Panel2Click);
  agrega(movimientos, "Compras1", "&Compras", &P::Compras1Click);
  agrega(movimientos, "Movimientos1", "&Movimientos al Inventario", &P::Movimientos1Click);
  movimientos->addSeparator();
  agrega(movimientos, "AltadeConceptosMovimientos1", "Alta de Conceptos de &Movimientos",
         &P::AltadeConceptosMovimientos1Click);
  agrega(movimientos, "AltadeConceptosCobranza1", "Alta de Conceptos de Co&branza", nullptr);

  QMenu* consultas = menuBar()->addMenu("C&onsultas");
  consultas->setObjectName("Consultas1");
  agrega(consultas, "Clientes2", "&Clientes", &P::Clientes2Click);
  agrega(consultas, "Proveedores2", "&Proveedores", &P::Proveedores2Click);
  agrega(consultas, "Vendedores2", "&Vendedores", &P::Vendedores2Click);
  agrega(consultas, "Facturacin1", "&Facturación", &P::Facturacin1Click);
  agrega(consultas, "Compras2", "C&ompras", &P::Compras2Click);
  agrega(consultas, "Inventario2", "&Inventario", &P::Inventario2Click);
  agrega(consultas, "MovimientosalInventario1", "&Movimientos al Inventario",
         &P::MovimientosalInventario1Click);
  agrega(consultas, "CuentasPorPagar1", "Cuentas por &Pagar", &P::CuentasPorPagar1Click);
  agrega(consultas, "CatlogoconImgenes1", "Catálogo con Imá&genes", &P::CatlogoconImgenes1Click);

  QMenu* reportes = menuBar()->addMenu("&Reportes");
  reportes->setObjectName("Reportes2");
  agrega(reportes, "Reportes1", "&Diseño de Reportes", &P::Reportes1Click);
  agrega(reportes, "Formatos1", "Diseño de &Formatos", &P::Formatos1Click);
  agrega(reportes, "ReportesSQL1", "Consultas &SQL", &P::ReportesSQL1Click);

  QMenu* configuracion = menuBar()->addMenu("Co&nfiguración");
  configuracion->setObjectName("Configuracion1");
  agrega(configuracion, "General1", "&General", &P::General1Click);
  agrega(configuracion, "Divisas1", "&Divisas", &P::Divisas1Click);
  agrega(configuracion, "CapturaRapidadeClaves1", "Captura Rápida de &Claves",
         &P::CapturaRapidadeClaves1Click);
  configuracion->addSeparator();
  agrega(configuracion, "IniciarenCapturaRpida1", "Iniciar en Captura &Rápida",
         &P::IniciarenCapturaRpida1Click, true);
  agrega(configuracion, "IniciarenCapturaRpida2", "Iniciar en &Facturación",
         &P::IniciarenCapturaRpida2Click, true);
  agrega(configuracion, "ServidordeHorario1", "&Servidor de Horario", &P::ServidordeHorario1Click,
         true);
  agrega(configuracion, "ActualizarFechayHora1", "&Actualizar Fecha y Hora", nullptr, true)
      ->setEnabled(true);

  QMenu* utilerias = menuBar()->addMenu("&Utilerías");
  utilerias->setObjectName("Utilerias1");
  agrega(utilerias, "Respaldos1", "&Respaldos", &P::Respaldos1Click);
  agrega(utilerias, "Reindexar1", "Re&indexar", &P::Reindexar1Click);
  agrega(utilerias, "Indices1", "Í&ndices y Utilerías", &P::Indices1Click);
  agrega(utilerias, "Consolidar1", "&Consolidar", &P::Consolidar1Click);
  agrega(utilerias, "ControldeArchivos1", "Control de &Archivos", nullptr);
  utilerias->addSeparator();
  agrega(utilerias, "MI1", "Chequeo &Permanente", &P::MI1Click, true);
  agrega(utilerias, "VerMantenimiento1", "Ver &Mantenimiento", &P::VerMantenimiento1Click, true);

  QMenu* ayuda = menuBar()->addMenu("A&yuda");
  ayuda->setObjectName("Ayuda1");
  agrega(ayuda, "VerTemas1", "Ver &Temas", &P::VerTemas1Click);
  agrega(ayuda, "Acercade1", "&Acerca de...", &P::Acercade1Click);

  // "Actualizar fecha y hora" has no command of its own: its check mark only moves when
  // the quick-start file says so.
  acciones_["ActualizarFechayHora1"]->setCheckable(true);
  connect(acciones_["ActualizarFechayHora1"], &QAction::triggered, this, [this] { pinta(); });

  auto* barra = addToolBar("Módulos");
  barra->setObjectName("ToolBar1");
  barra->setMovable(false);
  struct Boton {
    const char* nombre;
    const char* texto;
    void (Principal::*comando)();
  };
  const Boton botones[] = {
      {"BotonEmpresa", "Empresa", &P::Empresa1Click},
      {"BotonClientes", "Clientes", &P::Clientes1Click},
      {"BotonProveedo", "Proveedores", &P::Proveedores1Click},
      {"BotonVendedor", "Vendedores", &P::Vendedores1Click},
      {"BotonFactu", "Facturación", &P::Facturacin2Click},
      {"BotonInventa", "Productos", &P::Producto1Click},
      {"BotonMovinv", "Movimientos", &P::Movimientos1Click},
      {"BotonCompra", "Compras", &P::Compras1Click},
      {"BotonSalir", "Salir", nullptr},
  };
  for (const Boton& b : botones) {
    auto* w = new ui::TBotonEsquinado(b.texto, barra);
    w->setObjectName(b.nombre);
    w->setFixedSize(92, 48);
    barra->addWidget(w);
    if (b.comando) {
      connect(w, &QPushButton::clicked, this, [this, c = b.comando] { orden(c); });
    } else {
      connect(w, &QPushButton::clicked, this, &QWidget::close);
    }
    connect(w, &ui::TBotonEsquinado::clicDerecho, this,
            [this, n = QString(b.nombre)] { muestraDescripcion(n); });
  }
}

void TFormaPrincipal::creaCuerpo() {
  fondo_ = new ui::TPapelTapiz(this);
  fondo_->setObjectName("PapelTapiz1");
  fondo_->setEstilo('b');
  fondo_->setColor(0x00000000);
  fondo_->setCache("principal");
  setCentralWidget(fondo_);

  logo_ = etiquetaBlanca("Mostrador", fondo_, "Logo", 40, true);
  empresa_ = etiquetaBlanca("", fondo_, "NombreEmpresa", 16);
  usuario_ = etiquetaBlanca("", fondo_, "Usuario", 12);

  panel2_ = panel("Punto de Venta", fondo_, "Panel2");
  panel3_ = panel("Salir", fondo_, "Panel3");
  panel2_->installEventFilter(this);
  panel3_->installEventFilter(this);

  // The maintenance panel of the document check.
  panel4_ = new QFrame(fondo_);
  panel4_->setObjectName("Panel4");
  panel4_->setFrameShape(QFrame::StyledPanel);
  panel4_->setAutoFillBackground(true);
  auto* l = new QVBoxLayout(panel4_);
  editRuta_ = new QLineEdit(panel4_);
  editRuta_->setObjectName("EditRuta");
  edit1_ = new QLineEdit(panel4_);
  edit1_->setObjectName("Edit1");
  label6_ = new QLabel("0", panel4_);
  label6_->setObjectName("Label6");
  auto* fila = new QHBoxLayout;
  auto* bitBtn1 = new QPushButton("Revisar &Documentos", panel4_);
  bitBtn1->setObjectName("BitBtn1");
  auto* botonMI = new QPushButton("Inventario &Físico", panel4_);
  botonMI->setObjectName("BotonMI");
  fila->addWidget(bitBtn1);
  fila->addWidget(botonMI);
  fila->addWidget(label6_);
  archivosSql_ = new QListWidget(panel4_);
  archivosSql_->setObjectName("ArchivosSql");
  l->addWidget(new QLabel("Directorio de Datos", panel4_));
  l->addWidget(editRuta_);
  l->addWidget(edit1_);
  l->addLayout(fila);
  l->addWidget(archivosSql_);
  connect(bitBtn1, &QPushButton::clicked, this, [this] { orden(&Principal::BitBtn1Click); });
  connect(botonMI, &QPushButton::clicked, this, [this] { orden(&Principal::BotonMIClick); });
  panel4_->hide();
  acomoda();
}

void TFormaPrincipal::acomoda() {
  if (!fondo_) return;
  const int w = fondo_->width(), h = fondo_->height();
  logo_->adjustSize();
  logo_->move((w - logo_->width()) / 2, h / 6);
  empresa_->adjustSize();
  empresa_->move((w - empresa_->width()) / 2, logo_->y() + logo_->height() + 8);
  usuario_->adjustSize();
  usuario_->move(w - usuario_->width() - 16, h - usuario_->height() - 12);
  panel2_->setGeometry(24, h - 96, 180, 72);
  panel3_->setGeometry(220, h - 96, 120, 72);
  panel4_->setGeometry(w - 380, 16, 360, std::min(300, h - 140));
}

void TFormaPrincipal::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  acomoda();
}

bool TFormaPrincipal::eventFilter(QObject* o, QEvent* e) {
  if (e->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
    if (o == panel2_ && principal_.habilitada()) {
      orden(&Principal::Panel2Click);
      return true;
    }
    if (o == panel3_) {
      close();
      return true;
    }
  }
  return QMainWindow::eventFilter(o, e);
}

void TFormaPrincipal::orden(void (Principal::*comando)()) {
  (principal_.*comando)();
  pinta();
}

void TFormaPrincipal::pinta() {
  setWindowTitle(q(principal_.titulo()));
  menuBar()->setEnabled(principal_.habilitada());
  if (auto* barra = findChild<QToolBar*>("ToolBar1")) barra->setEnabled(principal_.habilitada());
  fondo_->setEnabled(principal_.habilitada());
  // The number the rights go by and the name a person recognises.
  QString usuario;
  if (!principal_.Usuario().empty()) {
    usuario = "Usuario: " + q(principal_.Usuario());
    char* fin = nullptr;
    const long n = std::strtol(principal_.Usuario().c_str(), &fin, 10);
    if (fin && !*fin)
      if (auto u = session::leeUsuario(principal_.directorioSistema(), n); u && !u->nombre.empty())
        usuario += " " + q(u->nombre);
  }
  usuario_->setText(usuario);
  const OpcionesRapidas& o = principal_.opciones();
  acciones_["IniciarenCapturaRpida1"]->setChecked(o.capturaRapida);
  acciones_["IniciarenCapturaRpida2"]->setChecked(o.documentos);
  acciones_["ServidordeHorario1"]->setChecked(o.servidorHorario);
  acciones_["ActualizarFechayHora1"]->setChecked(o.actualizarFecha);
  acciones_["MI1"]->setChecked(principal_.timerHora());
  acciones_["VerMantenimiento1"]->setChecked(principal_.mantenimientoVisible());
  if (principal_.timerHora() && !timerHora_->isActive()) timerHora_->start();
  if (!principal_.timerHora() && timerHora_->isActive()) timerHora_->stop();
  label6_->setText(q(principal_.Label6()));
  panel4_->setVisible(principal_.mantenimientoVisible());
  editRuta_->setText(q(principal_.EditRuta()));
  edit1_->setText(q(principal_.Edit1()));
  archivosSql_->clear();
  for (const std::string& f : principal_.archivosSql()) archivosSql_->addItem(q(f));
  if (empresas_) empresa_->setText(q(empresas_->motor().NombreEmpresa()));
  acomoda();
}

void TFormaPrincipal::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (mostrada_) return;
  mostrada_ = true;
  principal_.FormShow();
  if (principal_.vistaClasica()) ui::aplicaVistaClasica(this);
  pinta();
  // Activation: the company screen comes up over the window once it is on screen.
  QTimer::singleShot(0, this, [this] {
    principal_.FormActivate(empresas_ && empresas_->yaMostrada());
    pinta();
  });
}

void TFormaPrincipal::closeEvent(QCloseEvent* e) {
  if (!cerrando_) {
    cerrando_ = true;
    timerHora_->stop();
    principal_.cierra();
  }
  e->accept();
}

void TFormaPrincipal::muestraDescripcion(const QString& boton) {
  const int tema = Principal::temaBoton(boton.toStdString());
  if (tema == 0) return;
  auto* w = findChild<QWidget*>(boton);
  const std::string texto = descripcion_ ? descripcion_(tema) : std::string();
  auto* d = new ui::TFormaDescribe(q(texto), this);
  d->setAttribute(Qt::WA_DeleteOnClose);
  if (w) d->debajoDe(w);
  d->show();
}

// --- Pantallas ---

bool TFormaPrincipal::disponible(Pantalla p) const {
  if (p == Pantalla::Empresas) return empresas_ != nullptr;
  return modulos_.count(p) > 0;
}

void TFormaPrincipal::abre(const Apertura& a) {
  if (a.pantalla == Pantalla::Empresas) {
    if (!empresas_) return;
    empresas_->exec();
    pinta();
    return;
  }
  auto it = modulos_.find(a.pantalla);
  if (it != modulos_.end() && it->second.abre) it->second.abre(a);
}

void TFormaPrincipal::cierraTablasResidentes() {
  for (auto& [p, m] : modulos_)
    if (esResidente(p) && m.cierraTablas) m.cierraTablas();
}

void TFormaPrincipal::cierraResidentesVisibles() {
  for (Pantalla p : {Pantalla::Clientes, Pantalla::Proveedo, Pantalla::Inventario, Pantalla::Compras}) {
    auto it = modulos_.find(p);
    if (it != modulos_.end() && it->second.cierraSiVisible) it->second.cierraSiVisible();
  }
}

void TFormaPrincipal::cierraVentana(std::string_view titulo) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != this && w->windowTitle() == q(titulo)) w->close();
}

void TFormaPrincipal::ejecutaPrograma(std::string_view programa) {
  // Through the station's programs table, as every screen: the Windows calculator is
  // whichever Debian calculator is installed, and a missing one is said so.
  if (sesion_) {
    sesion_->ejecuta(programa);
    return;
  }
  base::ProcesosPosix procesos;
  base::RelojSistema reloj;
  session::Sesion(ui_, reloj, procesos).ejecuta(programa);
}

void TFormaPrincipal::abreDocumento(std::string_view ruta) {
  // The program's own viewer: no document viewer needs to be installed.
  ui::TFormaAyudaLinea::muestra(this, ruta, ui_);
}

}  // namespace mostrador::shell
