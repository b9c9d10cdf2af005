#include "sales/screens/TFormaFactura.h"

#include "inventory/screens/TFormaInventario.h"
#include "session/derechos.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QComboBox>
#include <QDesktopServices>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <cstdlib>

#include "printing/entorno_sesion.h"
#include "printing/impresion_documentos.h"
#include "printing/motor_formatos.h"
#include "designers/screens/TFormaEdicion.h"
#include "printing/tabla_dbf.h"
#include "sales/screens/TFormaCalculaxPrecio.h"
#include "sales/screens/TFormaDivisa.h"
#include "sales/screens/dialogos_venta_qt.h"
#include "sales/screens/caja_qt.h"
#include "ui/puerto_serie.h"
#include "sales/screens/reportes_venta_qt.h"
#include "sales/reportes_venta.h"
#include "sales/tipos_venta.h"
#include "session/derechos.h"
#include "base/fechas.h"
#include "base/lectores.h"
#include "base/numeros.h"
#include "base/programas.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "session/usuarios.h"
#include "store/catalogo.h"
#include "ui/dialogos.h"
#include "ui/impresora_cups.h"
#include "ui/impresora_qt.h"


namespace mostrador::sales {

namespace {

QString q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string s(const QString& t) { return t.toStdString(); }

constexpr std::string_view kErrorGuardar = "No Pueden Guardarse los Datos ha Ocurrido un Error";
constexpr std::string_view kEstadoAbierto =
    "F9 NUEVO    F10 GUARDAR   F11 IMPRIMIR    Ctrl+B   BUSCAR";
constexpr std::string_view kFunciones =
    "F2 -> Buscar Producto\nF3 -> Repite el último Movimiento\nF4 -> Salta a Cantidad\n"
    "F5 -> Ingresar Efectivo";
constexpr std::string_view kReiniciar = "Para que este cambio se lleve a cabo reinicie el sistema...";
constexpr std::string_view kSinAccesoPrecios = "No Tiene Acceso a Precios";
constexpr std::string_view kTituloForma = "Facturación";
constexpr std::string_view kSerialConectado = "    Conectado a Puerto Serial...";

// A quantity or a percent as typed: its shortest form ("1", "2.5").
QString corto(double v) { return QString::number(v, 'g', 12); }

}  // namespace

// ---- the grid ---------------------------------------------------------------------

// The price column's editor is a pick list of the product's other prices; the other
// columns edit as text.
class DelegadoPartidas : public QStyledItemDelegate {
 public:
  DelegadoPartidas(TFormaFactura* forma, QObject* padre) : QStyledItemDelegate(padre), forma_(forma) {}

  QWidget* createEditor(QWidget* padre, const QStyleOptionViewItem& o, const QModelIndex& i) const override {
    if (i.column() != kPrecio) return QStyledItemDelegate::createEditor(padre, o, i);
    auto* c = new QComboBox(padre);
    c->setObjectName("ListaPrecios");
    c->setEditable(true);
    for (const std::string& p : forma_->motor().listaPrecios()) c->addItem(q(p));
    return c;
  }
  void setEditorData(QWidget* editor, const QModelIndex& i) const override {
    if (auto* c = qobject_cast<QComboBox*>(editor)) {
      // Typing replaces the price, as in the other cells.
      c->setEditText(i.data(Qt::EditRole).toString());
      c->lineEdit()->selectAll();
      return;
    }
    QStyledItemDelegate::setEditorData(editor, i);
  }
  void setModelData(QWidget* editor, QAbstractItemModel* m, const QModelIndex& i) const override {
    if (auto* c = qobject_cast<QComboBox*>(editor)) {
      m->setData(i, c->currentText(), Qt::EditRole);
      return;
    }
    QStyledItemDelegate::setModelData(editor, m, i);
  }

 private:
  TFormaFactura* forma_;
};

class RejillaPartidas : public QTableWidget {
 public:
  explicit RejillaPartidas(TFormaFactura* forma) : QTableWidget(0, 6, forma) {
    setObjectName("Detalle");
    setHorizontalHeaderLabels({QStringLiteral("Cantidad"), QStringLiteral("Clave"),
                               QStringLiteral("Producto"), QStringLiteral("Descuento"),
                               QStringLiteral("Precio"), QStringLiteral("Importe")});
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setItemDelegate(new DelegadoPartidas(forma, this));
    // Enter here has the capture's own next-cell order (TFormaFactura::avanzaCelda).
    setProperty("enterPropio", true);
    horizontalHeader()->setSectionResizeMode(kProducto, QHeaderView::Stretch);
    verticalHeader()->setDefaultSectionSize(22);
  }
  bool editando() const { return state() == QAbstractItemView::EditingState; }
  // The width a column's contents ask for.
  using QTableWidget::sizeHintForColumn;
  // Writes what the open editor holds into its cell and closes it.
  void confirma() {
    if (!editando()) return;
    if (QWidget* e = indexWidget(currentIndex())) {
      commitData(e);
      closeEditor(e, QAbstractItemDelegate::NoHint);
    }
  }
};

// ---- printing ---------------------------------------------------------------------

// The format engine and what it prints with, made on the first print.
struct TFormaFactura::Impresion {
  printing::EntornoSesion entorno;
  ImpresoraQt impresora;
  ColaCups cola;
  printing::MotorFormatos motor;

  Impresion(const session::Sesion& s, base::Interaccion& ui, const base::Reloj& reloj)
      : entorno(s), motor(entorno, ui, reloj, impresora, cola) {}
};

session::Sesion& TFormaFactura::sesion() {
  if (sesion_) return *sesion_;
  if (!sesionPropia_) {
    procesosPropios_ = std::make_unique<base::ProcesosPosix>();
    sesionPropia_ = std::make_unique<session::Sesion>(ui_, reloj_, *procesosPropios_);
    sesionPropia_->ponDirectorios(aj_.dirSistema, aj_.dirDatos);
    sesionPropia_->ponUsuario(aj_.usuario);
  }
  return *sesionPropia_;
}

// ---- construction -------------------------------------------------------------------

TFormaFactura::TFormaFactura(AjustesVenta ajustes, base::Interaccion& ui, const base::Reloj& reloj,
                             QWidget* parent, DialogosVenta* dialogos)
    : QDialog(parent), aj_(std::move(ajustes)), ui_(ui), reloj_(reloj) {
  setObjectName("TFormaFactura");
  tituloBase_ = std::string(kTituloForma);
  if (aj_.lectorSerial) tituloBase_ += kSerialConectado;
  setWindowTitle(q(tituloBase_));
  resize(980, 640);

  if (!dialogos) {
    dialogosQt_ = std::make_unique<DialogosVentaQt>(
        this, DirectoriosVenta{aj_.dirSistema, aj_.dirDatos, aj_.dirInventario, aj_.usuario},
        [this] { return std::string(defTipo(motor_->tipo()).nombre); },
        [this](std::string_view formato) { imprime(ModoImpresion::Imprime, 0, std::string(formato)); });
    dialogosQt_->ponAltaRapida([this](std::string_view clave) {
      // The catalogue screen in New mode with the typed key.
      return inventory::TFormaInventario::altaRapida(
          inventory::AjustesCatalogo::de(aj_.lineas, aj_.dirSistema, aj_.usuario), aj_.dirSistema, ui_, reloj_,
          [this](int n) {
            return session::evaluaDerecho(aj_.dirSistema, aj_.usuario, n) == session::Derecho::Concedido;
          },
          std::string(clave), this);
    });
    dialogos = dialogosQt_.get();
  }
  dialogos_ = dialogos;
  motor_ = std::make_unique<CapturaVenta>(aj_, ui_, *dialogos, reloj_);

  auto* todo = new QVBoxLayout(this);
  auto* barra = new QMenuBar(this);
  barra->setObjectName("MainMenu1");
  todo->setMenuBar(barra);
  creaMenus(barra);
  creaCuerpo();

  // The form sees the keys first (its command keys work in every field).
  qApp->installEventFilter(this);
  ui::instalaNavegacion(this);

  repinta_ = new QTimer(this);
  repinta_->setSingleShot(true);
  repinta_->setInterval(0);
  connect(repinta_, &QTimer::timeout, this, [this] { pinta(); });

  motor_->abre();
  // The serial barcode reader of "\Serial.cnf": each code read goes into the sale as a
  // scan would. A port that is missing or busy says so once and the keyboard goes on.
  if (aj_.lectorSerial) {
    puertoLector_ = std::make_unique<PuertoSerieQt>();
    lector_ = std::make_unique<LectorSerial>(*puertoLector_, ui_, [this](const std::string& c) { codigoLeido(c); });
    lector_->abre(aj_.dirSistema);
  }
  pinta();
}

void TFormaFactura::codigoLeido(const std::string& codigo) {
  if (!motor_->enCaptura() || codigo.empty()) return;
  CapturaVenta& m = *motor_;
  orden([&] {
    // A filled line stays: the code starts the next one.
    if (m.numeroPartidas() == 0) primeraPartida();
    else if (!m.partida(m.filaActual()).clave.empty()) m.agregaPartida();
    m.tecleaCantidad(codigo);
  });
  pinta();
}

TFormaFactura::~TFormaFactura() {
  if (lector_) lector_->cierra();
  qApp->removeEventFilter(this);
  // Fields that lose the focus while the form goes must not reach the engine any more.
  pintando_ = true;
  // Destroyed without being closed (the program ending): a document still in capture is
  // discarded as closing would, never left behind as a sale.
  try {
    if (motor_ && motor_->enCaptura()) motor_->descarta();
  } catch (const dbf::Error&) {
  }
  // The grid's delegate asks the engine for prices: the widgets go before the engine.
  delete Detalle;
  Detalle = nullptr;
}

QAction* TFormaFactura::agrega(QMenu* menu, const char* nombre, const QString& texto,
                               std::function<void()> accion, bool marcable) {
  QAction* a = menu->addAction(texto);
  a->setObjectName(nombre);
  a->setCheckable(marcable);
  connect(a, &QAction::triggered, this, [this, accion = std::move(accion)] { accion(); });
  acciones_[QString::fromLatin1(nombre)] = a;
  return a;
}

QAction* TFormaFactura::accion(const QString& nombre) const {
  auto it = acciones_.find(nombre);
  return it == acciones_.end() ? nullptr : it->second;
}

namespace {

// The reports of the sales menu that are the till's.
bool esReporteCaja(std::string_view n) {
  return n == "CorteZ1" || n == "CorteZRESUMEN1" || n == "VentasporCaja1" || n == "DocumentosPagados1" ||
         n == "DocumentosnoPagados1" || n == "CortedeCaja1" || n == "CortedeCajayRetiros1";
}

}  // namespace

void TFormaFactura::creaMenus(QMenuBar* barra) {
  // Key names follow a tab in the captions: the keys themselves are the form's.
  QMenu* documento = barra->addMenu(QStringLiteral("&Documento"));
  agrega(documento, "Nuevo1", QStringLiteral("Venta Nueva\tF9"), [this] { BotonNuevoClick(); });
  agrega(documento, "Guardar1", QStringLiteral("Guardar\tF10"), [this] { BotonGuardarClick(); });
  agrega(documento, "Imprimir1", QStringLiteral("Imprimir\tF11"), [this] { BotonImprimirClick(); });
  agrega(documento, "Preliminar1", QStringLiteral("Vista Preliminar"), [this] { BotonPreliminarClick(); });
  agrega(documento, "ImprimiryAsignarCaja1", QStringLiteral("Imprimir y Asignar a Caja\tPausa"),
         [this] { ImprimiryAsignarCaja1Click(); });
  documento->addSeparator();
  agrega(documento, "CambioPrecio1", QStringLiteral("Cambio de Precio\tCtrl+P"),
         [this] { CambioPrecio1Click(); });
  agrega(documento, "CursorenCliente1", QStringLiteral("Cursor en Cliente\tCtrl+F2"),
         [this] { CursorenCliente1Click(); });
  documento->addSeparator();
  agrega(documento, "Eliminar1", QStringLiteral("Eliminar"), [this] { Eliminar1Click(); });
  agrega(documento, "Cancelar1", QStringLiteral("Cancelar"), [this] { Cancelar1Click(); });

  QMenu* generar = barra->addMenu(QStringLiteral("&Generar"));
  const std::pair<const char*, const char*> generados[] = {
      {"Factura1", "Factura"},
      {"FacturaeImprimir1", "Factura e Imprimir"},
      {"FacturadeCierre1", "Factura de Cierre"},
      {"RangodeDocumentos1", "Rango de Documentos"},
      {"CopiadeDocumento1", "Copia de Documento"},
      {"Devolucin1", "Devolución"},
      {"Remisin1", "Remisión"},
      {"Pedido1", "Pedido"},
      {"NotadeCredito1", "Nota de Crédito"},
  };
  for (const auto& [nombre, texto] : generados) {
    QAction* a = agrega(generar, nombre, QString::fromUtf8(texto), {});
    disconnect(a, &QAction::triggered, this, nullptr);
    connect(a, &QAction::triggered, this, [this, a] { Generar(a); });
  }

  QMenu* atajos = barra->addMenu(QStringLiteral("&Formatos"));
  agrega(atajos, "Elegirformato1", QStringLiteral("Elegir formato"), [this] { Elegirformato1Click(); });
  agrega(atajos, "DisearFormato1", QStringLiteral("Diseñar Formato"), [this] { DisearFormato1Click(); });
  atajos->addSeparator();
  QMenu* asigna = atajos->addMenu(QStringLiteral("Asignar Formato"));
  for (int n = 1; n <= 6; ++n) {
    const QByteArray nombre = QStringLiteral("CtrlF%11").arg(n).toLatin1();
    agrega(atajos, nombre.constData(), QString(), [this, n] { ImprimeAtajo(n); });
    const QByteArray asignar = QStringLiteral("AsignarCtrlF%1").arg(n).toLatin1();
    agrega(asigna, asignar.constData(), QStringLiteral("Ctrl+F%1").arg(n), [this, n] { AsignaAtajo(n); });
  }

  QMenu* opciones = barra->addMenu(QStringLiteral("&Opciones"));
  agrega(opciones, "SaltarEncabezado1", QStringLiteral("Saltar Encabezado"),
         [this] { marcaOpcion(1, accion("SaltarEncabezado1")->isChecked()); }, true);
  agrega(opciones, "IniciaenClave1", QStringLiteral("Inicia en Clave"),
         [this] { marcaOpcion(2, accion("IniciaenClave1")->isChecked()); }, true);
  agrega(opciones, "VerTotalesenformatoDigital1", QStringLiteral("Ver Totales en formato Digital"),
         [this] { marcaOpcion(9, accion("VerTotalesenformatoDigital1")->isChecked()); }, true);
  agrega(opciones, "VerCampoTara1", QStringLiteral("Ver Campo Tara"), [this] { VerCampoTara1Click(); },
         true);
  agrega(opciones, "ConfigurarLectorSerial1", QStringLiteral("Configurar Lector Serial"),
         [this] { marcaArchivo("Serial.cnf", "ConfigurarLectorSerial1"); }, true);
  agrega(opciones, "CapturaporEmpaque1", QStringLiteral("Captura por Empaque"),
         [this] { marcaArchivo("empaque.cnf", "CapturaporEmpaque1"); }, true);

  QMenu* herramientas = barra->addMenu(QStringLiteral("&Herramientas"));
  agrega(herramientas, "Divisas1", QStringLiteral("Divisas"), [this] { Divisas1Click(); });
  agrega(herramientas, "Calculadora1", QStringLiteral("Calculadora"), [this] { Calculadora1Click(); });
  // The reports menu: one item per sales report, each run by the report screens.
  QMenu* reportes = herramientas->addMenu(QStringLiteral("Reportes"));
  reportes->menuAction()->setObjectName("Reportes1");
  acciones_[QStringLiteral("Reportes1")] = reportes->menuAction();
  for (const auto& c : comandosReporteVenta()) {
    if (c.nombre == "-") {
      reportes->addSeparator();
      continue;
    }
    const std::string nombre(c.nombre);
    agrega(reportes, c.nombre.data(), QString::fromUtf8(c.titulo.data(), static_cast<int>(c.titulo.size())),
           [this, nombre] {
             if (esReporteCaja(nombre)) reporteCaja(nombre.c_str());
             else ejecutaReporteVentaQt(this, nombre, aj_, motor_->tipo(), sesion());
           });
  }
  // The till: its record, cash in and out, and the cuts that are not among the reports.
  QMenu* caja = barra->addMenu(QStringLiteral("&Caja"));
  agrega(caja, "ConfigurarCaja1", QStringLiteral("Configurar Caja"), [this] { ConfigurarCaja1Click(); });
  caja->addSeparator();
  agrega(caja, "SalidasdeEfectivo1", QStringLiteral("Salidas de Efectivo"), [this] { SalidasdeEfectivo1Click(); });
  agrega(caja, "EntradasdeEfectivo1", QStringLiteral("Entradas de Efectivo"), [this] { EntradasdeEfectivo1Click(); });
  caja->addSeparator();
  agrega(caja, "CortedeCaja1", QStringLiteral("Corte de Caja"), [this] { reporteCaja("CortedeCaja1"); });
  agrega(caja, "CortedeCajayRetiros1", QStringLiteral("Corte de Caja y Retiros"),
         [this] { reporteCaja("CortedeCajayRetiros1"); });

  QMenu* ayuda = barra->addMenu(QStringLiteral("A&yuda"));
  agrega(ayuda, "Temas1", QStringLiteral("Temas"), [this] { Temas1Click(); });
  agrega(ayuda, "VerFunciones1", QStringLiteral("Ver Funciones"), [this] { VerFunciones1Click(); });

  accion("SaltarEncabezado1")->setChecked(aj_.saltaEncabezado);
  accion("IniciaenClave1")->setChecked(aj_.iniciaEnClave);
  accion("VerTotalesenformatoDigital1")->setChecked(aj_.totalesDigitales);
  accion("VerCampoTara1")->setChecked(aj_.campoTara);
  accion("ConfigurarLectorSerial1")->setChecked(aj_.lectorSerial);
  accion("CapturaporEmpaque1")->setChecked(aj_.capturaEmpaque);
  for (int n = 1; n <= 6; ++n)
    accion(QStringLiteral("CtrlF%11").arg(n))->setText(q(aj_.atajos[static_cast<size_t>(n - 1)]));
  accion("Reportes1")->setEnabled(session::letraDerecho(ui_, aj_.dirSistema, aj_.usuario, 44) == "s");
}

QPushButton* TFormaFactura::boton(const char* nombre, const QString& texto,
                                  void (TFormaFactura::*accion)()) {
  auto* b = new QPushButton(texto, this);
  b->setObjectName(nombre);
  b->setAutoDefault(false);
  b->setFocusPolicy(Qt::NoFocus);
  connect(b, &QPushButton::clicked, this, [this, accion] { (this->*accion)(); });
  return b;
}

void TFormaFactura::creaCuerpo() {
  auto* todo = static_cast<QVBoxLayout*>(layout());
  auto etiqueta = [this](const char* nombre, const QString& texto = {}) {
    auto* l = new QLabel(texto, this);
    l->setObjectName(nombre);
    return l;
  };
  auto campo = [this](const char* nombre) {
    auto* e = new QLineEdit(this);
    e->setObjectName(nombre);
    return e;
  };

  // Buttons and the type selector.
  auto* botones = new QHBoxLayout;
  BotonNuevo = boton("BotonNuevo", QStringLiteral("Nuevo"), &TFormaFactura::BotonNuevoClick);
  BotonGuardar = boton("BotonGuardar", QStringLiteral("Guardar"), &TFormaFactura::BotonGuardarClick);
  BotonImprimir = boton("BotonImprimir", QStringLiteral("Imprimir"), &TFormaFactura::BotonImprimirClick);
  BotonPreliminar =
      boton("BotonPreliminar", QStringLiteral("Preliminar"), &TFormaFactura::BotonPreliminarClick);
  BotonBuscar = boton("BotonBuscar", QStringLiteral("Buscar"), &TFormaFactura::BotonBuscarClick);
  BotonCambios = boton("BotonCambios", QStringLiteral("Cambios"), &TFormaFactura::BotonCambiosClick);
  for (QPushButton* b : {BotonNuevo, BotonGuardar, BotonImprimir, BotonPreliminar, BotonBuscar, BotonCambios})
    botones->addWidget(b);
  botones->addStretch();
  Base = new QComboBox(this);
  Base->setObjectName("Base");
  Base->setEditable(true);
  Base->addItems({QStringLiteral("Remisión"), QStringLiteral("Devolución"), QStringLiteral("Caja Chica")});
  Base->setInsertPolicy(QComboBox::NoInsert);
  Base->lineEdit()->setProperty("enterPropio", true);
  // A type picked from the list, or any text typed and confirmed with Enter.
  connect(Base, &QComboBox::textActivated, this, &TFormaFactura::BaseChange);
  connect(Base->lineEdit(), &QLineEdit::returnPressed, this, [this] { BaseChange(Base->currentText()); });
  botones->addWidget(Base);
  usuario = etiqueta("usuario", q(aj_.usuario));
  botones->addWidget(usuario);
  Hora = etiqueta("Hora");
  botones->addWidget(Hora);
  todo->addLayout(botones);

  // Header.
  auto* encabezado = new QGridLayout;
  EditCLDOC_F = campo("EditCLDOC_F");
  EditCLCLI_F = campo("EditCLCLI_F");
  EditCLVEN_F = campo("EditCLVEN_F");
  EditFEDOC_F = campo("EditFEDOC_F");
  EditFEDOC_F->setInputMask(QStringLiteral("99/99/9999;_"));
  EditDESFI_F = campo("EditDESFI_F");
  EditIMIM1_F = campo("EditIMIM1_F");
  BCLIM_F = campo("BCLIM_F");
  CTOVE_F = campo("CTOVE_F");
  Nombre = etiqueta("Nombre");
  Direccion = etiqueta("Direccion");
  Direc2 = etiqueta("Direc2");
  Poblacion = etiqueta("Poblacion");
  RFC = etiqueta("RFC");
  CodigoPostal = etiqueta("CodigoPostal");
  TipoPago = new QComboBox(this);
  TipoPago->setObjectName("TipoPago");
  for (const std::string& t : aj_.tiposPago) TipoPago->addItem(q(t));
  TipoPago->setCurrentIndex(-1);
  const std::pair<QString, QWidget*> filas[] = {
      {QStringLiteral("Documento"), EditCLDOC_F}, {QStringLiteral("Cliente"), EditCLCLI_F},
      {QStringLiteral("Vendedor"), EditCLVEN_F},  {QStringLiteral("Fecha"), EditFEDOC_F},
      {QStringLiteral("Descuento %"), EditDESFI_F}, {QStringLiteral("Impuesto %"), EditIMIM1_F},
      {QStringLiteral("Caja"), BCLIM_F},          {QStringLiteral("Comisión"), CTOVE_F},
  };
  int f = 0;
  for (const auto& [texto, w] : filas) {
    encabezado->addWidget(new QLabel(texto, this), f % 4, (f / 4) * 2);
    encabezado->addWidget(w, f % 4, (f / 4) * 2 + 1);
    ++f;
  }
  auto* cliente = new QVBoxLayout;
  for (QLabel* l : {Nombre, Direccion, Direc2, Poblacion, RFC, CodigoPostal}) cliente->addWidget(l);
  encabezado->addLayout(cliente, 0, 4, 4, 1);
  encabezado->addWidget(new QLabel(QStringLiteral("Tipo de Pago"), this), 4, 0);
  encabezado->addWidget(TipoPago, 4, 1);
  todo->addLayout(encabezado);

  // Header edits go to the engine as they are typed; leaving the customer and seller
  // fields applies them.
  auto sincroniza = [this](QLineEdit* e, std::string CamposEncabezado::*miembro) {
    connect(e, &QLineEdit::textEdited, this,
            [this, miembro](const QString& t) { motor_->campos().*miembro = s(t); });
  };
  sincroniza(EditCLDOC_F, &CamposEncabezado::numero);
  sincroniza(EditCLCLI_F, &CamposEncabezado::cliente);
  sincroniza(EditCLVEN_F, &CamposEncabezado::vendedor);
  sincroniza(EditDESFI_F, &CamposEncabezado::descuento);
  sincroniza(EditIMIM1_F, &CamposEncabezado::tasa);
  sincroniza(BCLIM_F, &CamposEncabezado::caja);
  sincroniza(CTOVE_F, &CamposEncabezado::comision);
  connect(EditCLCLI_F, &QLineEdit::editingFinished, this, [this] {
    if (pintando_ || !motor_->enCaptura()) return;
    bool bien = true;
    orden([&] { bien = motor_->saleCliente(); });
    if (!bien) QTimer::singleShot(0, EditCLCLI_F, [e = EditCLCLI_F] { e->setFocus(); });
  });
  // A date is taken only whole and real: an impossible one is refused where it is typed.
  connect(EditFEDOC_F, &QLineEdit::editingFinished, this, [this] {
    if (pintando_ || !motor_->enCaptura()) return;
    aplicaFecha();
  });
  connect(EditCLVEN_F, &QLineEdit::editingFinished, this, [this] {
    if (pintando_ || !motor_->enCaptura()) return;
    orden([&] { motor_->saleVendedor(); });
  });
  for (QLineEdit* e : {EditDESFI_F, EditIMIM1_F})
    connect(e, &QLineEdit::editingFinished, this, [this] {
      if (pintando_ || !motor_->enCaptura()) return;
      orden([&] { motor_->recalcula(); });
    });
  connect(TipoPago, &QComboBox::currentTextChanged, this, [this](const QString& t) {
    if (!pintando_) motor_->campos().tipoPago = s(t);
  });

  // Lines.
  auto* linea = new QHBoxLayout;
  EditCantidad = campo("EditCantidad");
  EditEmpaque = campo("EditEmpaque");
  EditTARA = campo("EditTARA");
  LabelEmpaque = etiqueta("LabelEmpaque", QStringLiteral("Empaque"));
  LabelFactor = etiqueta("LabelFactor");
  linea->addWidget(new QLabel(QStringLiteral("Cantidad"), this));
  linea->addWidget(EditCantidad);
  linea->addWidget(LabelEmpaque);
  linea->addWidget(EditEmpaque);
  linea->addWidget(LabelFactor);
  linea->addWidget(EditTARA);
  linea->addStretch();
  todo->addLayout(linea);
  EditEmpaque->setVisible(aj_.capturaEmpaque);
  LabelEmpaque->setVisible(aj_.capturaEmpaque);
  LabelFactor->setVisible(aj_.capturaEmpaque);
  EditTARA->setVisible(aj_.campoTara);
  // Enter in the quantity goes on to the line's key in the grid; leaving it otherwise
  // only takes the quantity.
  EditCantidad->setProperty("enterPropio", true);
  connect(EditCantidad, &QLineEdit::returnPressed, this, [this] { aplicaCantidad(true); });
  connect(EditCantidad, &QLineEdit::editingFinished, this, [this] {
    if (!EditCantidad->hasFocus()) aplicaCantidad(false);
  });
  connect(EditEmpaque, &QLineEdit::editingFinished, this, [this] {
    if (pintando_ || !motor_->enCaptura() || !aj_.capturaEmpaque) return;
    const std::string t = s(EditEmpaque->text());
    orden([&] { motor_->capturaPorEmpaque(t); });
  });
  connect(EditTARA, &QLineEdit::editingFinished, this, [this] {
    if (pintando_ || !motor_->enCaptura() || motor_->numeroPartidas() == 0) return;
    const std::string t = s(EditTARA->text());
    orden([&] {
      // The tare has no grid column: it is the current scratch line's own field.
      motor_->irAPartida(motor_->filaActual());
      dbf::Table& p = motor_->tablaPartidas();
      p.edit();
      p.setText("TARA", t);
      p.post();
    });
  });

  Detalle = new RejillaPartidas(this);
  todo->addWidget(Detalle, 1);
  connect(Detalle, &QTableWidget::currentCellChanged, this, &TFormaFactura::entraCelda);
  connect(Detalle, &QTableWidget::itemChanged, this,
          [this](QTableWidgetItem* i) { celdaEditada(i->row(), i->column(), i->text()); });

  // Totals and states.
  auto* pie = new QGridLayout;
  EstadoCaptura = etiqueta("EstadoCaptura");
  Estado = etiqueta("Estado");
  Impresa = etiqueta("Impresa");
  SuCambio = etiqueta("SuCambio");
  LabelFPGC = etiqueta("LabelFPGC");
  LabelPartidas = etiqueta("LabelPartidas");
  Funciones = etiqueta("Funciones", q(kFunciones));
  Label18 = etiqueta("Label18");
  SumarTotal = etiqueta("SumarTotal");
  ImpuestoValor = etiqueta("ImpuestoValor");
  TotalFact = etiqueta("TotalFact");
  CAMBIO_F = campo("CAMBIO_F");
  CAMBIO_F->setProperty("enterPropio", true);
  CAMBIO_F->setAlignment(Qt::AlignRight);
  connect(CAMBIO_F, &QLineEdit::returnPressed, this, [this] { aplicaEfectivo(); });
  connect(CAMBIO_F, &QLineEdit::editingFinished, this, [this] {
    if (!CAMBIO_F->hasFocus()) aplicaEfectivo();
  });
  for (QLabel* l : {SumarTotal, ImpuestoValor, TotalFact}) l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  fuenteTotales(aj_.totalesDigitales);
  pie->addWidget(Funciones, 0, 0, 4, 1);
  pie->addWidget(EstadoCaptura, 0, 1);
  pie->addWidget(Estado, 1, 1);
  pie->addWidget(Impresa, 2, 1);
  pie->addWidget(LabelPartidas, 3, 1);
  pie->addWidget(LabelFPGC, 0, 2);
  pie->addWidget(SuCambio, 1, 2);
  pie->addWidget(new QLabel(QStringLiteral("Efectivo"), this), 2, 2);
  pie->addWidget(CAMBIO_F, 3, 2);
  pie->addWidget(new QLabel(QStringLiteral("Subtotal"), this), 0, 3);
  pie->addWidget(SumarTotal, 0, 4);
  pie->addWidget(new QLabel(QStringLiteral("Impuesto"), this), 1, 3);
  pie->addWidget(ImpuestoValor, 1, 4);
  pie->addWidget(new QLabel(QStringLiteral("Total"), this), 2, 3);
  pie->addWidget(TotalFact, 2, 4);
  todo->addLayout(pie);
  todo->addWidget(Label18);
}

void TFormaFactura::fuenteTotales(bool digital) {
  QFont f(digital ? QStringLiteral("Digiface") : QStringLiteral("Courier New"), 14);
  f.setBold(true);
  for (QLabel* l : {SumarTotal, ImpuestoValor, TotalFact}) l->setFont(f);
}

// ---- painting -----------------------------------------------------------------------

void TFormaFactura::pinta() {
  if (!motor_) return;
  pintando_ = true;
  CapturaVenta& m = *motor_;
  const bool captura = m.enCaptura();
  const QString base = q(defTipo(m.tipo()).nombre);
  if (Base->currentText() != base) Base->setEditText(base);

  const CamposEncabezado& c = m.campos();
  auto pon = [](QLineEdit* e, const std::string& t) {
    const QString v = q(t);
    if (e->text() != v) e->setText(v);
  };
  pon(EditCLDOC_F, c.numero);
  pon(EditCLCLI_F, c.cliente);
  pon(EditCLVEN_F, c.vendedor);
  pon(EditFEDOC_F, c.fecha);
  pon(EditDESFI_F, c.descuento);
  pon(EditIMIM1_F, c.tasa);
  pon(BCLIM_F, c.caja);
  pon(CTOVE_F, c.comision);
  pon(CAMBIO_F, c.efectivo);
  Nombre->setText(q(c.nombre));
  Direccion->setText(q(c.direccion));
  Direc2->setText(q(c.direccion2));
  Poblacion->setText(q(c.poblacion));
  RFC->setText(q(c.rfc));
  CodigoPostal->setText(q(c.codigoPostal));
  if (TipoPago->currentText() != q(c.tipoPago)) {
    const int i = TipoPago->findText(q(c.tipoPago));
    TipoPago->setCurrentIndex(i);
  }
  EditCLDOC_F->setReadOnly(m.numeroSoloLectura());
  for (QLineEdit* e : {EditCLDOC_F, EditCLCLI_F, EditCLVEN_F, EditFEDOC_F, EditIMIM1_F, BCLIM_F, CTOVE_F,
                       EditCantidad, EditEmpaque, EditTARA, CAMBIO_F})
    e->setEnabled(captura);
  EditDESFI_F->setEnabled(captura && aj_.descuentoDocumento);

  const Textos t = m.textos();
  SumarTotal->setText(q(t.subtotal));
  ImpuestoValor->setText(q(t.impuesto));
  TotalFact->setText(q(t.total));
  LabelFPGC->setText(q(t.fpgc));
  LabelPartidas->setText(q(t.partidas));
  LabelFactor->setText(q(t.factor));
  Estado->setText(q(t.estado));
  Impresa->setText(q(t.impresa));
  SuCambio->setText(q(t.cambio));
  EstadoCaptura->setText(q(t.estadoCaptura));

  BotonNuevo->setEnabled(!captura);
  BotonGuardar->setEnabled(captura);
  BotonBuscar->setEnabled(!captura);
  BotonCambios->setEnabled(!captura);
  BotonImprimir->setEnabled(true);
  BotonPreliminar->setEnabled(true);

  const CapturaVenta::Generar g = m.generar();
  accion("Factura1")->setEnabled(g.factura);
  accion("FacturaeImprimir1")->setEnabled(g.factura);
  accion("FacturadeCierre1")->setEnabled(g.factura);
  accion("RangodeDocumentos1")->setEnabled(g.factura);
  accion("Remisin1")->setEnabled(g.remision);
  accion("Pedido1")->setEnabled(g.pedido);
  accion("Devolucin1")->setEnabled(g.devolucion);
  accion("NotadeCredito1")->setEnabled(g.notaCredito);

  pintaRejilla();
  pintando_ = false;
}

void TFormaFactura::pintaRejilla() {
  CapturaVenta& m = *motor_;
  const bool captura = m.enCaptura();
  const std::vector<Partida> ps = m.partidas();
  Detalle->setEditTriggers(captura ? QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                                         QAbstractItemView::SelectedClicked
                                   : QAbstractItemView::NoEditTriggers);
  Detalle->setRowCount(static_cast<int>(ps.size()));
  const std::string mascara = aj_.mascaraImporte();
  for (int i = 0; i < static_cast<int>(ps.size()); ++i) {
    const Partida& p = ps[static_cast<size_t>(i)];
    const QString celdas[6] = {
        p.cantidad ? corto(*p.cantidad) : QString(),
        q(p.clave),
        q(p.producto),
        corto(p.descuento),
        q(base::formateaMascara(p.precio, "0.00##")),
        q(base::formateaMascara(p.importe, mascara)),
    };
    for (int col = 0; col < 6; ++col) {
      QTableWidgetItem* it = Detalle->item(i, col);
      if (!it) {
        it = new QTableWidgetItem;
        Detalle->setItem(i, col, it);
      }
      if (it->text() != celdas[col]) it->setText(celdas[col]);
      if (col == kCantidad || col == kDescuento || col == kPrecio || col == kImporte)
        it->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
  }
  ajustaColumnas();
  const int fila = ps.empty() ? -1 : std::min(m.filaActual(), static_cast<int>(ps.size()) - 1);
  if (fila >= 0) {
    const Partida& p = ps[static_cast<size_t>(fila)];
    EditCantidad->setText(p.cantidad ? corto(*p.cantidad) : QString());
    EditTARA->setText(q(p.tara));
    Detalle->setCurrentCell(fila, columna_);
  } else {
    EditCantidad->clear();
    EditTARA->clear();
  }
}

void TFormaFactura::ajustaColumnas() {
  // Every figure is shown whole: a column never cuts its value to "1,…".
  for (int col : {kCantidad, kClave, kDescuento, kPrecio, kImporte}) {
    const int ancho = Detalle->sizeHintForColumn(col);
    const int titulo = Detalle->horizontalHeader()->sectionSizeHint(col);
    const int minimo = std::max({ancho, titulo, col == kClave ? 110 : 70});
    if (Detalle->columnWidth(col) < minimo) Detalle->setColumnWidth(col, minimo);
  }
}

void TFormaFactura::programaRepinta() { repinta_->start(); }

// ---- command plumbing -----------------------------------------------------------------

void TFormaFactura::orden(const std::function<void()>& accion) {
  if (Detalle->editando()) Detalle->confirma();
  try {
    accion();
  } catch (const dbf::Error& e) {
    ui_.mensaje(std::string(kErrorGuardar) + "\r" + e.what());
  }
  pinta();
}

bool TFormaFactura::eventFilter(QObject* objeto, QEvent* evento) {
  if (evento->type() != QEvent::KeyPress) return QDialog::eventFilter(objeto, evento);
  auto* w = qobject_cast<QWidget*>(objeto);
  if (!w || w->window() != this || !isVisible()) return QDialog::eventFilter(objeto, evento);
  auto* k = static_cast<QKeyEvent*>(evento);
  const bool enRejilla = w == Detalle || Detalle->isAncestorOf(w);
  if (enRejilla && (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) &&
      !(k->modifiers() & Qt::ControlModifier)) {
    avanzaCelda();
    return true;
  }
  if (tecla(k->key(), k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier)))
    return true;
  return QDialog::eventFilter(objeto, evento);
}

bool TFormaFactura::tecla(int t, Qt::KeyboardModifiers mods) {
  if (teclaPropia(t, mods)) return true;
  if (mods == Qt::NoModifier) {
    switch (t) {
      case Qt::Key_F1: BuscaProducto(true); return true;
      case Qt::Key_F2: BuscaProducto(false); return true;
      case Qt::Key_F3: RepiteUltimo(); return true;
      case Qt::Key_F4:
        EditCantidad->setFocus();
        EditCantidad->selectAll();
        return true;
      case Qt::Key_F5:
        CAMBIO_F->setFocus();
        CAMBIO_F->selectAll();
        return true;
      case Qt::Key_F6: EliminaPartida(); return true;
      case Qt::Key_F7: CapturaPorImporte(); return true;
      case Qt::Key_F8: TipoPago->setFocus(); return true;
      case Qt::Key_F9:
        if (BotonNuevo->isEnabled()) BotonNuevoClick();
        return true;
      case Qt::Key_F10: BotonGuardarClick(); return true;
      case Qt::Key_F11: BotonImprimirClick(); return true;
      case Qt::Key_Pause: ImprimiryAsignarCaja1Click(); return true;
      default: return false;
    }
  }
  if (mods != Qt::ControlModifier) return false;
  switch (t) {
    case Qt::Key_B:
      if (BotonBuscar->isEnabled()) BotonBuscarClick();
      return true;
    case Qt::Key_A: Anterior(); return true;
    case Qt::Key_S: Siguiente(); return true;
    case Qt::Key_P: CambioPrecio1Click(); return true;
    case Qt::Key_I: BotonImprimirClick(); return true;
    // Ctrl+F2 is the customer field's; the second shortcut format prints from its menu item.
    case Qt::Key_F2: CursorenCliente1Click(); return true;
    case Qt::Key_F1: ImprimeAtajo(1); return true;
    case Qt::Key_F3: ImprimeAtajo(3); return true;
    case Qt::Key_F4: ImprimeAtajo(4); return true;
    case Qt::Key_F5: ImprimeAtajo(5); return true;
    case Qt::Key_F6: ImprimeAtajo(6); return true;
    default: return false;
  }
}

void TFormaFactura::reject() {
  if (Detalle->editando()) Detalle->confirma();
  // A document in capture is never left behind without a word: save, discard or stay.
  if (motor_->enCaptura()) {
    bool dejada = false;
    orden([&] { dejada = motor_->dejaCaptura(); });
    if (!dejada) return;
  }
  QDialog::reject();
}

// ---- the grid's cursor ------------------------------------------------------------------

void TFormaFactura::entraCelda(int fila, int columna, int filaAnterior, int columnaAnterior) {
  if (pintando_ || fila < 0 || columna < 0) return;
  CapturaVenta& m = *motor_;
  if (!m.enCaptura()) {
    columna_ = columna;
    if (fila != m.filaActual()) orden([&] { m.irAPartida(fila); });
    return;
  }
  orden([&] {
    if (columnaAnterior >= 0 && columnaAnterior != columna && filaAnterior >= 0) m.saleColumna(columnaAnterior);
    if (fila != m.filaActual()) m.irAPartida(fila);
    columna_ = columnaAnterior != columna ? m.entraColumna(columna) : columna;
  });
}

void TFormaFactura::celdaEditada(int fila, int columna, const QString& texto) {
  if (pintando_ || !motor_->enCaptura()) return;
  CapturaVenta& m = *motor_;
  try {
    if (fila != m.filaActual()) m.irAPartida(fila);
    if (columna == kCantidad) {
      if (m.tecleaCantidad(s(texto)) == CapturaVenta::Cantidad::Producto) {
        cantidadFueProducto_ = true;
        columna_ = kClave;
      }
    } else {
      m.ponCelda(columna, s(texto));
    }
  } catch (const dbf::Error& e) {
    ui_.mensaje(std::string(kErrorGuardar) + "\r" + e.what());
  }
  // The editor is still closing: the grid is repainted afterwards.
  programaRepinta();
}

void TFormaFactura::avanzaCelda() {
  CapturaVenta& m = *motor_;
  if (!m.enCaptura()) return;
  Detalle->confirma();
  if (cantidadFueProducto_) {
    // A scan landed in the quantity: its line is filled, the cursor waits on the next key.
    cantidadFueProducto_ = false;
    columna_ = kClave;
    pinta();
    return;
  }
  const int fila = Detalle->currentRow();
  const int columna = Detalle->currentColumn();
  if (fila < 0) {
    orden([&] {
      primeraPartida();
    });
    return;
  }
  if (columna < kImporte) {
    // Moving the cursor runs the column's entry through entraCelda.
    Detalle->setCurrentCell(fila, columna + 1);
    return;
  }
  if (fila + 1 >= m.numeroPartidas()) {
    orden([&] {
      m.saleColumna(columna);
      m.agregaPartida();
      columna_ = m.entraColumna(kCantidad);
    });
    return;
  }
  Detalle->setCurrentCell(fila + 1, kCantidad);
}

void TFormaFactura::primeraPartida() {
  CapturaVenta& m = *motor_;
  if (!m.enCaptura()) return;
  if (m.numeroPartidas() == 0) m.agregaPartida();
  columna_ = aj_.iniciaEnClave ? kClave : kCantidad;
}

// ---- commands ----------------------------------------------------------------------------

std::string TFormaFactura::textoEstadoAbierto() const { return std::string(kEstadoAbierto); }

void TFormaFactura::muestraHora() { Hora->setText(q(base::horaTexto(reloj_.ahora().hora))); }

void TFormaFactura::BotonNuevoClick() {
  bool hecho = false;
  orden([&] {
    muestraHora();
    hecho = motor_->nuevo();
    if (hecho) {
      primeraPartida();
      columna_ = kClave;
    }
  });
  if (!hecho) return;
  Label18->setText(q(textoEstadoAbierto()));
  // A sale starts where the first scan goes, whatever the options: the key of the first
  // line (the header stays one key away, Ctrl+F2). Skipping the header without starting
  // in the key selects the quantity, which still takes a scan as the product.
  if (aj_.saltaEncabezado && !aj_.iniciaEnClave) {
    EditCantidad->setFocus();
    EditCantidad->selectAll();
  } else {
    Detalle->setFocus();
    Detalle->setCurrentCell(0, kClave);
  }
}

bool TFormaFactura::aplicaCantidad(bool alaRejilla) {
  if (pintando_ || !motor_->enCaptura()) return false;
  CapturaVenta& m = *motor_;
  if (m.numeroPartidas() == 0) orden([&] { primeraPartida(); });
  const Partida actual = m.partida(m.filaActual());
  const QString antes = actual.cantidad ? corto(*actual.cantidad) : QString();
  const std::string t = s(EditCantidad->text().trimmed());
  CapturaVenta::Cantidad r = CapturaVenta::Cantidad::Puesta;
  if (q(t) != antes) {
    orden([&] {
      r = m.tecleaCantidad(t);
      columna_ = kClave;
    });
  }
  if (r == CapturaVenta::Cantidad::Rechazada) {
    EditCantidad->setFocus();
    EditCantidad->selectAll();
    return false;
  }
  if (alaRejilla) {
    columna_ = kClave;
    Detalle->setFocus();
    pinta();
  }
  return true;
}

bool TFormaFactura::aplicaEfectivo() {
  if (pintando_ || !motor_->enCaptura()) return true;
  const std::string t = s(CAMBIO_F->text().trimmed());
  if (t == motor_->campos().efectivo) return true;
  bool bien = true;
  orden([&] { bien = motor_->efectivo(t); });
  if (!bien) {
    // The field is back on what it held; the cashier types the cash again.
    CAMBIO_F->setFocus();
    CAMBIO_F->selectAll();
  }
  return bien;
}

bool TFormaFactura::aplicaFecha() {
  const std::string t = s(EditFEDOC_F->text().trimmed());
  if (t == motor_->campos().fecha) return true;
  bool bien = true;
  orden([&] { bien = motor_->ponFecha(t); });
  if (!bien) QTimer::singleShot(0, EditFEDOC_F, [e = EditFEDOC_F] {
      e->setFocus();
      e->selectAll();
    });
  return bien;
}

void TFormaFactura::BotonGuardarClick() {
  // What is still in the date and cash fields counts (F10 does not leave them).
  if (motor_->enCaptura() && (!aplicaFecha() || !aplicaEfectivo())) return;
  orden([&] {
    muestraHora();
    motor_->guarda();
  });
}

void TFormaFactura::BotonImprimirClick() { imprime(ModoImpresion::Imprime); }
void TFormaFactura::BotonPreliminarClick() { imprime(ModoImpresion::Preliminar); }

void TFormaFactura::BotonBuscarClick() {
  const std::string t = ui_.dato("Por Documento (F1)");
  char* fin = nullptr;
  const long long n = std::strtoll(t.c_str(), &fin, 10);
  if (n <= 0) return;
  orden([&] { motor_->buscaDocumento(n); });
}

void TFormaFactura::BotonCambiosClick() {
  orden([&] {
    if (motor_->modifica()) primeraPartida();
  });
}

void TFormaFactura::BaseChange(const QString& texto) {
  // Enter on a listed type arrives twice (typed, then matched): once is enough.
  if (pintando_ || texto == q(defTipo(motor_->tipo()).nombre)) return;
  orden([&] {
    if (motor_->dejaCaptura()) motor_->cambiaBase(s(texto));
  });
}

void TFormaFactura::EliminaPartida() {
  if (!motor_->enCaptura() || motor_->numeroPartidas() == 0) return;
  orden([&] {
    if (motor_->eliminaPartida()) primeraPartida();
  });
}

void TFormaFactura::CapturaPorImporte() {
  if (!motor_->enCaptura()) return;
  if (Detalle->editando()) Detalle->confirma();
  auto r = TFormaCalculaxPrecio::pide(this);
  if (!r) return;
  orden([&] {
    motor_->capturaPorImporte(r->importe, r->clave);
    motor_->recalcula();
    columna_ = kCantidad;
  });
}

void TFormaFactura::BuscaProducto(bool porDescripcion) {
  if (!motor_->enCaptura()) return;
  if (Detalle->editando()) Detalle->confirma();
  if (motor_->numeroPartidas() == 0) orden([&] { primeraPartida(); });
  const std::string texto = motor_->partida(motor_->filaActual()).clave;
  auto clave = porDescripcion ? dialogos_->buscaProductoPorDescripcion(texto) : dialogos_->buscaProducto(texto);
  if (!clave) return;
  orden([&] {
    motor_->ponCelda(kClave, *clave);
    columna_ = motor_->entraColumna(kProducto);
  });
}

void TFormaFactura::RepiteUltimo() {
  if (!motor_->enCaptura()) return;
  orden([&] {
    if (motor_->repiteUltima()) columna_ = kClave;
  });
  Detalle->setFocus();
}

void TFormaFactura::Anterior() {
  if (motor_->enCaptura()) return;
  orden([&] { motor_->anterior(); });
}

void TFormaFactura::Siguiente() {
  if (motor_->enCaptura()) return;
  orden([&] { motor_->siguiente(); });
}

void TFormaFactura::CambioPrecio1Click() {
  orden([&] {
    if (!motor_->cambioPrecio()) {
      ui_.mensaje(kSinAccesoPrecios);
      return;
    }
    if (!motor_->enCaptura() || motor_->numeroPartidas() == 0) return;
    const int actual = Detalle->currentColumn();
    if (actual >= 0 && actual != kPrecio) motor_->saleColumna(actual);
    columna_ = motor_->entraColumna(kPrecio);
  });
}

void TFormaFactura::CursorenCliente1Click() {
  EditCLCLI_F->setFocus();
  EditCLCLI_F->selectAll();
}

void TFormaFactura::ImprimeAtajo(int n) { imprime(ModoImpresion::Atajo, n); }

void TFormaFactura::AsignaAtajo(int n) {
  if (!printing::AsignaFormatoAtajo(ui_, aj_.dirSistema, n)) return;
  const auto formatos = printing::formatosAtajo(aj_.dirSistema);
  for (int i = 1; i <= 6; ++i) {
    aj_.atajos[static_cast<size_t>(i - 1)] = formatos[static_cast<size_t>(i - 1)];
    accion(QStringLiteral("CtrlF%11").arg(i))->setText(q(formatos[static_cast<size_t>(i - 1)]));
  }
}

std::string TFormaFactura::listaFunciones() {
  return "F1    Busca Producto por Descipción\rF2    Busca Producto por Clave\r"
         "F4    Salta a Cantidad\rF5    Introducir Efectivo\rF6    Borrar Partida\r"
         "F7    Inicia Captura por Importe\rF8    Tipo de Pago\rF9    Venta Nueva\r"
         "F10   Guardar Venta\rCtrl+B     Buscar\rCtrl+I ó F11    Imprimir\r"
         "Ctrl+P     Cambiar Precio\rCtrl+F2    Cursor en Cliente";
}

void TFormaFactura::VerFunciones1Click() { ui_.mensaje(listaFunciones()); }

void TFormaFactura::Divisas1Click() {
  TFormaDivisa::edita(this, aj_.dirDatos, ui_);
}

void TFormaFactura::Calculadora1Click() { sesion().ejecuta("calc.exe", ""); }

void TFormaFactura::Temas1Click() {
  ui::TFormaAyudaLinea::muestra(this, base::une(aj_.dirSistema, "ayuda\\factura.rtf"), ui_);
}

void TFormaFactura::VerCampoTara1Click() {
  accion("VerCampoTara1")->setChecked(aj_.campoTara);
  sesion().ejecuta("notepad.exe", base::une(aj_.dirSistema, "especial.cnf"));
  ui_.mensaje(kReiniciar);
}

std::string TFormaFactura::rutaEncabeza() const { return base::une(aj_.dirSistema, "encabeza.cnf"); }

void TFormaFactura::marcaOpcion(int linea, bool valor) {
  // The option is kept in "\encabeza.cnf" for the next opening and applies at once to
  // what the screen itself does with it.
  auto lineas = base::leeLineas(rutaEncabeza());
  if (!lineas) {
    ui_.mensaje("El Archivo " + rutaEncabeza() + " No Existe");
    return;
  }
  if (static_cast<int>(lineas->size()) < linea) lineas->resize(static_cast<size_t>(linea));
  (*lineas)[static_cast<size_t>(linea - 1)] = valor ? "S" : "N";
  base::escribeLineas(rutaEncabeza(), *lineas);
  if (linea == 1) aj_.saltaEncabezado = valor;
  if (linea == 2) aj_.iniciaEnClave = valor;
  if (linea == 9) {
    aj_.totalesDigitales = valor;
    fuenteTotales(valor);
  }
}

void TFormaFactura::marcaArchivo(const char* archivo, const char* accionNombre) {
  // Line 1 of the option's file; read when the screen opens.
  const std::string ruta = base::une(aj_.dirSistema, archivo);
  auto lineas = base::leeLineas(ruta).value_or(std::vector<std::string>{});
  if (lineas.empty()) lineas.resize(1);
  lineas[0] = accion(QString::fromLatin1(accionNombre))->isChecked() ? "S" : "N";
  base::escribeLineas(ruta, lineas);
  ui_.mensaje(kReiniciar);
}

void TFormaFactura::Reportes1Click() {
  if (QAction* a = accion("Reportes1"); a && a->isEnabled() && a->menu()) a->menu()->popup(QCursor::pos());
}

void TFormaFactura::Eliminar1Click() {
  if (motor_->enCaptura()) return;
  orden([&] { motor_->elimina(); });
}

void TFormaFactura::Cancelar1Click() {
  if (motor_->enCaptura()) return;
  orden([&] { motor_->cancela(); });
}

void TFormaFactura::ImprimiryAsignarCaja1Click() {
  if (motor_->enCaptura()) return;
  PeticionPago p;
  p.pagosEnCaja = aj_.pagosEnCaja;
  p.nuevoDisponible = BotonNuevo->isEnabled();
  p.caja = aj_.caja;
  p.ventana = [this](std::string_view t, std::string_view x, std::string_view c) { return ventanaPagoQt(this, t, x, c); };
  p.imprime = [this] { return imprime(ModoImpresion::Imprime) == printing::ResultadoDocumento::Impreso; };
  if (pagaEImprime(motor_->encabezado(), motor_->directorioEncabezado(), p, ui_) == ResultadoPago::Pagado) {
    motor_->muestra();
    pinta();
  }
}

void TFormaFactura::ConfigurarCaja1Click() { configuraCajaQt(this, aj_, ui_); }
void TFormaFactura::SalidasdeEfectivo1Click() { efectivoQt(this, ModoEfectivo::Salida, aj_, sesion()); }
void TFormaFactura::EntradasdeEfectivo1Click() { efectivoQt(this, ModoEfectivo::Entrada, aj_, sesion()); }
void TFormaFactura::reporteCaja(const char* comando) { reporteCajaQt(this, comando, aj_, motor_->tipo(), sesion()); }

void TFormaFactura::Generar(QAction* a) {
  const QString n = a->objectName();
  CapturaVenta& m = *motor_;
  orden([&] {
    // A conversion starts another document: the one in capture is saved or discarded first.
    if (!m.dejaCaptura()) return;
    if (n == "Factura1") m.facturaRemision(false);
    else if (n == "FacturaeImprimir1") m.facturaRemision(true);
    else if (n == "FacturadeCierre1") m.facturaCierre();
    else if (n == "RangodeDocumentos1") m.facturaRango();
    else if (n == "CopiadeDocumento1") m.copiaDocumento();
    else if (n == "Devolucin1") m.generaDocumento(TipoVenta::Devolucion);
    else if (n == "Remisin1") m.generaDocumento(TipoVenta::Remision);
    else if (n == "Pedido1") m.generaDocumento(TipoVenta::Pedido);
    else if (n == "NotadeCredito1") m.generaDocumento(TipoVenta::NotaCredito);
  });
}

// ---- printing ----------------------------------------------------------------------------

void TFormaFactura::Elegirformato1Click() {
  const auto archivo = ui_.abreArchivo("Elegir formato", "Formatos (*.for)|*.for|Todos|*.*");
  if (!archivo) return;
  imprime(ModoImpresion::Imprime, 0, *archivo);
}

void TFormaFactura::DisearFormato1Click() {
  TFormaEdicion editor(aj_.dirSistema, this);
  editor.modoDiseno(ui_, motor_->rutaFormato(), base::une(aj_.dirSistema, "consulta"));
  editor.exec();
}

printing::ResultadoDocumento TFormaFactura::imprime(ModoImpresion modo, int atajo, std::string formato) {
  if (Detalle->editando()) Detalle->confirma();
  CapturaVenta& m = *motor_;
  dbf::Table& encabezado = m.encabezado();
  if (!encabezado.isOpen() || encabezado.isEmpty()) return printing::ResultadoDocumento::NoImpreso;
  if (!impresion_) impresion_ = std::make_unique<Impresion>(sesion(), ui_, reloj_);
  const store::DefDocumento& d = store::documento(defTipo(m.tipo()).documento);
  printing::TablaDbf fuenteEncabezado(encabezado, m.directorioEncabezado(), d.encabezado);
  printing::TablaDbf fuenteDetalle(m.tablaPartidas(), aj_.dirSistema, m.archivoPartidas());
  printing::DocumentoAImprimir doc;
  doc.encabezado = &fuenteEncabezado;
  doc.detalle = &fuenteDetalle;
  doc.formato = formato.empty() ? m.rutaFormato() : formato;
  doc.usuario = reimpresionAutorizada_ ? std::string("0") : aj_.usuario;
  reimpresionAutorizada_ = false;
  printing::ResultadoDocumento r = printing::ResultadoDocumento::NoImpreso;
  try {
    doc.tregi = encabezado.asText("TREGI_F");
    doc.statu = encabezado.asText("STATU_F");
    doc.marcaImpresa = [&encabezado] {
      encabezado.edit();
      encabezado.setText("TREGI_F", "I");
      encabezado.post();
    };
    switch (modo) {
      case ModoImpresion::Imprime:
        r = printing::ImprimeDocumento(impresion_->motor, impresion_->entorno, ui_, doc);
        break;
      case ModoImpresion::Preliminar: {
        TFormaEdicion vista(aj_.dirSistema, this);
        if (vistaTicket()) vista.Ticket1Click();
        r = printing::PreliminarDocumento(impresion_->motor, impresion_->entorno, ui_, vista, doc);
        break;
      }
      case ModoImpresion::Atajo:
        r = printing::ImprimeConAtajo(impresion_->motor, impresion_->entorno, ui_, doc, aj_.dirSistema, atajo);
        break;
    }
  } catch (const dbf::Error& e) {
    ui_.mensaje(std::string(kErrorGuardar) + "\r" + e.what());
  }
  // A printed document shows its new mark.
  if (r == printing::ResultadoDocumento::Impreso) pinta();
  return r;
}

}  // namespace mostrador::sales
