#include "inventory/screens/TFormaInventario.h"

#include "inventory/ajuste.h"
#include "inventory/kardex.h"
#include "inventory/screens/TFormaCosteo.h"
#include "inventory/screens/ayuda_pantalla.h"
#include "inventory/screens/impresion_inventario.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QInputDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "inventory/complementos_producto.h"
#include "printing/entorno_sesion.h"
#include "printing/impresion_documentos.h"
#include "printing/motor_formatos.h"
#include "designers/screens/TFormaEdicion.h"
#include "printing/tabla_dbf.h"
#include "ui/impresora_cups.h"
#include "ui/impresora_qt.h"
#include "inventory/precios.h"
#include "inventory/screens/TFormaAdicionalProducto.h"
#include "inventory/screens/TFormaClaveDiseno.h"
#include "inventory/screens/TFormaImagen.h"
#include "inventory/screens/TFormaKit.h"
#include "inventory/screens/TFormaPolitica.h"
#include "inventory/screens/TFormaRutaKardex.h"
#include "inventory/screens/TFormaTipoInventario.h"
#include "base/numeros.h"
#include "base/lectores.h"
#include "base/programas.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "store/sql/sql.h"
#include "ui/TFormaObservaciones.h"
#include "ui/dialogos.h"
#include "ui/jpeg.h"

namespace mostrador::inventory {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

struct Campo {
  const char* nombre;
  const char* etiqueta;
};

// The fields of the screen, in the order of their help lines in "inventa.des".
const std::vector<Campo>& campos() {
  static const std::vector<Campo> c{
      {"CODIG_I", "Código"},         {"DSCPR_I", "Descripción"},    {"UMEDI_I", "Unidad"},
      {"LIPRO_I", "Línea"},          {"UEMPA_I", "Unid. Empaque"},  {"FACTO_I", "Factor"},
      {"EXIST_I", "Existencia"},     {"STMIN_I", "Stock Mínimo"},   {"STMAX_I", "Stock Máximo"},
      {"COMRE_I", "Pedido"},         {"ULCOS_I", "Último Costo"},   {"CPROM_I", "Costo Promedio"},
      {"TICOS_I", "Tipo Costo"},     {"PIVA1_I", "Impuesto %"},     {"DESCU_I", "Descuento %"},
      {"PORC1_I", "Margen %"},       {"PPUBL_I", "Precio Público"}, {"PLIS2_I", "Precio 2"},
      {"PLIS3_I", "Precio 3"},       {"PLIS4_I", "Precio 4"},       {"PMINI_I", "Precio Mínimo"},
      {"PLIS6_I", "Precio 6"},       {"PLIS7_I", "Precio 7"},       {"CLPR1_I", "Proveedor 1"},
      {"CLPR2_I", "Proveedor 2"},    {"VANMO_I", "Ventas Año $"},   {"VANCA_I", "Ventas Año Cant."},
  };
  return c;
}

int nivelDePrecio(const std::string& campo) {
  for (int n = 2; n <= 7; ++n)
    if (campo == kCamposPrecio[static_cast<size_t>(n - 1)]) return n;
  return 0;
}

}  // namespace

TFormaInventario::TFormaInventario(AjustesCatalogo ajustes, std::string dirSistema, base::Interaccion& ui,
                                   const base::Reloj& reloj, std::function<bool(int)> derecho, QWidget* parent)
    : QDialog(parent),
      dirSistema_(std::move(dirSistema)),
      ui_(ui),
      reloj_(reloj),
      derecho_(derecho),
      motor_(std::move(ajustes), ui, reloj, derecho) {
  setObjectName("TFormaInventario");
  resize(900, 620);
  auto* todo = new QVBoxLayout(this);
  auto* barra = new QMenuBar(this);
  barra->setObjectName("MainMenu1");
  todo->setMenuBar(barra);
  creaMenus(barra);

  auto* botones = new QHBoxLayout;
  auto boton = [&](const char* nombre, const QString& texto, void (TFormaInventario::*f)(), bool consulta) {
    QPushButton* b = mostrador::ui::botonDeBarra(botones, this, nombre, texto, f);
    b->setFocusPolicy(Qt::NoFocus);
    if (consulta) soloConsulta_.push_back(b);
    return b;
  };
  boton("BotonNuevo", "Nuevo", &TFormaInventario::BotonNuevoClick, true);
  boton("BotonCambios", "Cambios", &TFormaInventario::BotonCambiosClick, true);
  guardar_ = boton("BotonGuardar", "Guardar", &TFormaInventario::BotonGuardarClick, false);
  boton("BotonBuscar", "Buscar", &TFormaInventario::BotonBuscarClick, true);
  boton("BotonObservacion", "Observaciones", &TFormaInventario::BotonObservacionClick, true);
  boton("BotonImprimir", "Imprimir", &TFormaInventario::BotonImprimirClick, true);
  boton("BotonPreliminar", "Preliminar", &TFormaInventario::BotonPreliminarClick, true);
  botones->addStretch(1);
  botones->addWidget(new QLabel("Almacén", this));
  almacen_ = new QSpinBox(this);
  almacen_->setObjectName("NoAlmacen");
  almacen_->setRange(1, 999);
  almacen_->setEnabled(motor_.ajustes().multialmacen);
  connect(almacen_, &QSpinBox::valueChanged, this, [this] { NoAlmacenChange(); });
  botones->addWidget(almacen_);
  estado_ = new QLabel(this);
  estado_->setObjectName("Estado");
  estado_->setAutoFillBackground(true);
  estado_->setMinimumWidth(90);
  botones->addWidget(estado_);
  todo->addLayout(botones);

  creaCampos();
  auto* pie = new QVBoxLayout;
  uno_ = new QLabel(this);
  uno_->setObjectName("Uno");
  dos_ = new QLabel(this);
  dos_->setObjectName("Dos");
  pie->addWidget(uno_);
  pie->addWidget(dos_);
  todo->addLayout(pie);

  ui::instalaNavegacion(this);
  motor_.abre();
  pinta();
}

TFormaInventario::~TFormaInventario() = default;

void TFormaInventario::creaMenus(QMenuBar* barra) {
  auto agrega = [this](QMenu* m, const char* nombre, const QString& texto, std::function<void()> f,
                       bool consulta = true) {
    QAction* a = m->addAction(texto);
    a->setObjectName(nombre);
    connect(a, &QAction::triggered, this, std::move(f));
    if (consulta) soloConsultaAcciones_.push_back(a);
    return a;
  };
  QMenu* archivo = barra->addMenu("&Archivo");
  agrega(archivo, "Eliminar1", "Eliminar", [this] { Eliminar1Click(); });
  agrega(archivo, "Repetir1", "Repetir Producto", [this] { Repetir1Click(); });
  agrega(archivo, "ImprimeCdigo1", "Imprime Código de Barras", [this] { ImprimeCdigo1Click(); });
  agrega(archivo, "ChecarStocks1", "Checar Stocks", [this] { ChecarStocks1Click(); });
  QMenu* orden = barra->addMenu("&Ordenar");
  agrega(orden, "Clave1", "Clave", [this] { Clave1Click(); });
  agrega(orden, "Dscripcin1", "Descripción", [this] { Dscripcin1Click(); });
  agrega(orden, "Cdigo21", "Código", [this] { Cdigo21Click(); });
  QMenu* producto = barra->addMenu("&Producto");
  agrega(producto, "PolticadePrecios1", "Política de Precios", [this] { PolticadePrecios1Click(); }, false);
  agrega(producto, "Informacion1", "Información Adicional", [this] { Informacion1Click(); });
  agrega(producto, "ConfiguraClave1", "Configura Clave", [this] { ConfiguraClave1Click(); });
  agrega(producto, "RutasKardex1", "Rutas Kardex", [this] { RutasKardex1Click(); });
  // Kardex, costing and the stock rebuilds belong to their own modules.
  QMenu* kardex = barra->addMenu("&Kardex");
  const std::pair<const char*, const char*> deKardex[] = {
      {"Kardex1", "Kardex"},
      {"Neuvokardex1", "Nuevo Kardex"},
      {"Kardexalterno1", "Kardex Alterno"},
      {"AjustarCostoPromedio1", "Ajustar Costo Promedio"},
      {"AjustarInventarioSegnKardex1", "Ajustar Inventario Según Kardex"},
      {"AjustarInventarioSegnExistencias1", "Ajustar Inventario Según Existencias"},
      {"RevisaExistencias1", "Revisa Existencias"},
      {"cortedeInventario1", "Corte de Inventario"}};
  for (const auto& [nombre, texto] : deKardex)
    agrega(kardex, nombre, texto, [this, n = std::string(nombre)] { comandoKardex(n); });
  QMenu* reportes = barra->addMenu("&Reportes");
  OrigenReportes o;
  for (ReporteInventario r : reportesInventario()) {
    const auto d = definicionReporte(r, o);
    agrega(reportes, d.menu.c_str(), q(d.titulo), [this, r] { reporte(r); });
  }
  QMenu* ayudaMenu = barra->addMenu("A&yuda");
  agrega(ayudaMenu, "Temas1", "Temas", [this] { Temas1Click(); }, false);
}

void TFormaInventario::creaCampos() {
  auto* rejilla = new QGridLayout;
  auto* l = new QLabel("Clave", this);
  clave_ = new QLineEdit(this);
  clave_->setObjectName("EditCLPRO_I");
  clave_->installEventFilter(this);
  rejilla->addWidget(l, 0, 0);
  rejilla->addWidget(clave_, 0, 1);
  caracteres_ = new QLabel(this);
  caracteres_->setObjectName("LabelCaracteres");
  rejilla->addWidget(caracteres_, 0, 2);
  orden_.push_back("CLPRO_I");
  int fila = 1, columna = 0;
  for (const auto& c : campos()) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QString("Edit") + c.nombre);
    e->installEventFilter(this);
    edits_[c.nombre] = e;
    orden_.push_back(c.nombre);
    rejilla->addWidget(new QLabel(c.etiqueta, this), fila, columna);
    rejilla->addWidget(e, fila, columna + 1);
    const std::string nombre = c.nombre;
    connect(e, &QLineEdit::editingFinished, this, [this, nombre] { saleCampo(nombre); });
    if (++fila > 14) {
      fila = 1;
      columna += 2;
    }
  }
  edits_["EXIST_I"]->setReadOnly(true);
  connect(clave_, &QLineEdit::editingFinished, this, [this] { saleCampo("CLPRO_I"); });
  serie_ = new QCheckBox("Con Número de Serie", this);
  serie_->setObjectName("SERIE_I");
  kit_ = new QCheckBox("Es Kit", this);
  kit_->setObjectName("KITXX_I");
  connect(serie_, &QCheckBox::toggled, this, [this](bool s) {
    if (!pintando_) motor_.ponTexto("SERIE_I", s ? "S" : "N");
  });
  connect(kit_, &QCheckBox::toggled, this, [this](bool s) {
    if (!pintando_) motor_.ponTexto("KITXX_I", s ? "S" : "N");
  });
  rejilla->addWidget(serie_, 15, 0, 1, 2);
  rejilla->addWidget(kit_, 15, 2, 1, 2);
  auto* botonKit = new QPushButton("Componentes", this);
  botonKit->setObjectName("SpeedButton1");
  botonKit->setFocusPolicy(Qt::NoFocus);
  connect(botonKit, &QPushButton::clicked, this, [this] { SpeedButton1Click(); });
  rejilla->addWidget(botonKit, 15, 4);
  auto* botonLinea = new QPushButton("Líneas", this);
  botonLinea->setObjectName("SpeedButton2");
  botonLinea->setFocusPolicy(Qt::NoFocus);
  connect(botonLinea, &QPushButton::clicked, this, [this] { SpeedButton2Click(); });
  rejilla->addWidget(botonLinea, 15, 5);
  empaques_ = new QLabel(this);
  empaques_->setObjectName("LabelEmpaques");
  disponible_ = new QLabel(this);
  disponible_->setObjectName("LabelDisponible");
  rejilla->addWidget(empaques_, 16, 0, 1, 2);
  rejilla->addWidget(disponible_, 16, 2, 1, 2);
  imagen_ = new QLabel(this);
  imagen_->setObjectName("Imagen");
  imagen_->setFixedSize(160, 120);
  imagen_->setScaledContents(true);
  imagen_->installEventFilter(this);
  rutaImagen_ = new QLabel(this);
  rutaImagen_->setObjectName("LabelImagen");
  rejilla->addWidget(imagen_, 1, 6, 6, 1);
  rejilla->addWidget(rutaImagen_, 7, 6);
  qobject_cast<QVBoxLayout*>(layout())->addLayout(rejilla, 1);
}

void TFormaInventario::pintaCampos() {
  pintando_ = true;
  // While editing the key edit holds what is typed; the record gets it on saving.
  if (motor_.modo() == ModoCatalogo::Consulta) clave_->setText(q(motor_.texto("CLPRO_I")));
  for (auto& [campo, e] : edits_) {
    pintado_[campo] = q(motor_.texto(campo));
    e->setText(pintado_[campo]);
  }
  serie_->setChecked(motor_.texto("SERIE_I") == "S");
  kit_->setChecked(motor_.texto("KITXX_I") == "S");
  pintando_ = false;
}

void TFormaInventario::pinta(bool conReglas) {
  const bool editando = motor_.modo() != ModoCatalogo::Consulta;
  Presentacion p;
  if (conReglas) p = motor_.presenta();
  pintaCampos();
  setWindowTitle(q(motor_.titulo()));
  for (QWidget* w : soloConsulta_) w->setEnabled(!editando);
  for (QAction* a : soloConsultaAcciones_) a->setEnabled(!editando);
  guardar_->setEnabled(editando);
  for (auto& [campo, e] : edits_) e->setReadOnly(!editando || campo == "EXIST_I" ||
                                                 ((campo == "VANMO_I" || campo == "VANCA_I") &&
                                                  motor_.ajustes().usuario != "0"));
  clave_->setReadOnly(!editando);
  serie_->setEnabled(editando);
  kit_->setEnabled(editando);
  QPalette pe = estado_->palette();
  pe.setColor(QPalette::Window, editando ? Qt::red : QColor(255, 165, 0));
  estado_->setPalette(pe);
  estado_->setText(editando ? (motor_.modo() == ModoCatalogo::Nuevo ? "Nuevo" : "Cambios") : "Consulta");
  if (!conReglas) return;
  empaques_->setText(q(p.empaques));
  caracteres_->setText(q(p.caracteres));
  disponible_->setText(q("Disponible " + base::formateaMascara(p.disponible, "###,###,##0.00")));
  QPalette px = edits_["EXIST_I"]->palette();
  px.setColor(QPalette::Text, p.existenciaRoja ? Qt::red : Qt::black);
  edits_["EXIST_I"]->setPalette(px);
  if (p.imagenVisible) {
    imagen_->setPixmap(QPixmap::fromImage(::leeImagen(base::resuelve(p.imagen).string())));
    imagen_->setVisible(true);
  } else {
    imagen_->clear();
    imagen_->setVisible(false);
  }
  rutaImagen_->setText(q(p.imagenVisible ? p.rutaImagen : p.tituloImagen));
}

void TFormaInventario::saleCampo(const std::string& campo) {
  if (pintando_ || motor_.modo() == ModoCatalogo::Consulta) return;
  if (campo == "CLPRO_I") {
    const auto r = motor_.saleClave(clave_->text().toStdString());
    clave_->setText(q(r.clave));
    caracteres_->setText(QString("Caracteres %1").arg(r.clave.empty() ? 0 : QString::fromStdString(r.clave).size()));
    return;
  }
  QLineEdit* e = edits_[campo];
  if (e->text().toStdString() != motor_.texto(campo) && !motor_.ponTexto(campo, e->text().toStdString())) {
    pintaCampos();
    return;
  }
  if (campo == "ULCOS_I") motor_.saleCosto();
  if (const int n = nivelDePrecio(campo)) motor_.salePrecio(n);
  pintaCampos();
}

void TFormaInventario::ayuda(const std::string& campo) {
  int i = 0;
  for (; i < static_cast<int>(orden_.size()) && orden_[static_cast<size_t>(i)] != campo; ++i) {
  }
  const std::string des = base::une(dirSistema_, "inventa.des");
  uno_->setText(q(base::leeLinea(des, 2 * i + 1).value_or("")));
  dos_->setText(q(base::leeLinea(des, 2 * i + 2).value_or("")));
}

bool TFormaInventario::eventFilter(QObject* o, QEvent* e) {
  if (o == imagen_ && e->type() == QEvent::MouseButtonDblClick) {
    ImagenDblClick();
    return true;
  }
  if (auto* edit = qobject_cast<QLineEdit*>(o)) {
    const std::string campo = edit->objectName().mid(4).toStdString();
    if (e->type() == QEvent::FocusIn) {
      QPalette p = edit->palette();
      p.setColor(QPalette::Base, Qt::yellow);
      edit->setPalette(p);
      ayuda(campo);
    } else if (e->type() == QEvent::FocusOut) {
      QPalette p = edit->palette();
      p.setColor(QPalette::Base, Qt::white);
      edit->setPalette(p);
    } else if (e->type() == QEvent::KeyPress && campo == "TICOS_I" &&
               static_cast<QKeyEvent*>(e)->key() == Qt::Key_F2) {
      EditTICOS_IKeyDown();
      return true;
    } else if (e->type() == QEvent::KeyPress && (campo == "CLPR1_I" || campo == "CLPR2_I") &&
               static_cast<QKeyEvent*>(e)->key() == Qt::Key_F2) {
      EditProveedorKeyDown(campo);
      return true;
    }
  }
  return QDialog::eventFilter(o, e);
}

void TFormaInventario::keyPressEvent(QKeyEvent* e) {
  if (e->modifiers() & Qt::ControlModifier) {
    if (e->key() == Qt::Key_A) {
      motor_.anterior();
      pinta();
      return;
    }
    if (e->key() == Qt::Key_S) {
      motor_.siguiente();
      pinta();
      return;
    }
  }
  if (e->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QDialog::keyPressEvent(e);
}

void TFormaInventario::closeEvent(QCloseEvent* e) {
  if (motor_.modo() != ModoCatalogo::Consulta) {
    saleCampo(focusWidget() ? focusWidget()->objectName().mid(4).toStdString() : std::string());
    if (!motor_.cierra(clave_->text().toStdString())) {
      e->ignore();
      pinta(false);
      return;
    }
    guardado_ = guardado_ || motor_.guardo();
  }
  e->accept();
  QDialog::closeEvent(e);
}

// ---- commands -----------------------------------------------------------------------

void TFormaInventario::BotonNuevoClick() {
  clave_->clear();
  if (!motor_.nuevo()) return;
  pinta(false);
  clave_->setText(q(motor_.texto("CLPRO_I")));
  clave_->setFocus();
}

void TFormaInventario::BotonCambiosClick() {
  if (!motor_.modifica()) return;
  pinta(false);
  clave_->setText(q(motor_.texto("CLPRO_I")));
  clave_->setFocus();
}

void TFormaInventario::BotonGuardarClick() {
  // What is typed and not yet left is taken first, as leaving it would.
  std::vector<std::pair<std::string, QString>> pendientes;
  for (const std::string& campo : orden_)
    if (campo != "CLPRO_I" && edits_[campo]->text() != pintado_[campo])
      pendientes.emplace_back(campo, edits_[campo]->text());
  for (const auto& [campo, texto] : pendientes) {
    edits_[campo]->setText(texto);  // taking one field repaints the others
    saleCampo(campo);
  }
  const std::string clave = clave_->text().toStdString();
  if (!motor_.guarda(clave)) {
    if (motor_.modo() != ModoCatalogo::Consulta) clave_->clear();
    return;
  }
  guardado_ = true;
  pinta();
}

void TFormaInventario::Eliminar1Click() {
  if (motor_.elimina()) pinta();
}

void TFormaInventario::BotonBuscarClick() {
  if (motor_.busca()) pinta();
}

void TFormaInventario::Clave1Click() {
  motor_.ordena(OrdenCatalogo::Clave);
  pinta(false);
}
void TFormaInventario::Dscripcin1Click() {
  motor_.ordena(OrdenCatalogo::Descripcion);
  pinta(false);
}
void TFormaInventario::Cdigo21Click() {
  motor_.ordena(OrdenCatalogo::Codigo);
  pinta(false);
}

AjustesMovimientos TFormaInventario::ajustesMovimientos() const {
  AjustesMovimientos a;
  a.dirDatos = motor_.ajustes().dirDatos;
  a.dirCatalogo = motor_.ajustes().dirInventario;
  a.reglas.sinNegativos = motor_.ajustes().sinNegativos;
  a.usuario = motor_.ajustes().usuario;
  return a;
}

void TFormaInventario::comandoKardex(const std::string& comando) {
  const AjustesMovimientos a = ajustesMovimientos();
  OpcionesKardex o;
  o.integrados = motor_.ajustes().integrados;
  o.dirMovimientos = a.dirCatalogo;
  const bool deProducto = comando == "Kardex1" || comando == "Neuvokardex1" || comando == "Kardexalterno1" ||
                          comando == "AjustarCostoPromedio1";
  if (deProducto && !motor_.hayProducto()) return;
  if (!deProducto || comando == "AjustarCostoPromedio1") {
    if (motor_.ajustes().usuario != "0") {
      ui_.mensaje(kSoloAdministrador);
      return;
    }
  }
  const std::string clave = deProducto ? motor_.texto("CLPRO_I") : std::string();
  try {
    if (comando == "Kardex1" || comando == "Neuvokardex1" || comando == "Kardexalterno1") {
      // The journal when the documents post their movements, the documents otherwise.
      const bool documentos = comando == "Kardexalterno1" || !o.integrados;
      Kardex k;
      {
        base::Espera espera(ui_);
        ui_.mensaje("Espere un momento por Favor...");
        k = documentos ? kardexDocumentos(a.dirDatos, clave, o) : kardexDiario(a.dirDatos, clave, o);
        escribeAuxiliar(a.dirDatos, k, documentos);
      }
      const double existencia = k.existencia;
      TFormaCosteo f(std::move(k), clave, ui_, this);
      f.exec();
      escribeExistencia(a, clave, existencia);
      pinta(false);
    } else if (comando == "AjustarCostoPromedio1") {
      if (!ajustaCostoPromedio(a, clave)) ui_.mensaje("El producto no tiene compras: su costo promedio queda igual");
      pinta(false);
    } else if (comando == "AjustarInventarioSegnKardex1") {
      base::Espera espera(ui_);
      ui_.mensaje("Total de Ajustados " + std::to_string(ajustaSegunKardex(a, o)));
    } else if (comando == "AjustarInventarioSegnExistencias1") {
      base::Espera espera(ui_);
      ajustaSegunExistencias(a, o, reloj_);
    } else if (comando == "RevisaExistencias1") {
      const std::vector<std::string> l = revisaExistencias(a, o);
      const std::string ruta = base::une(base::une(dirSistema_, "tempo"), "ajustar.txt");
      base::creaDirectorios(base::une(dirSistema_, "tempo"));
      if (!base::escribeLineas(ruta, l)) ui_.mensaje("No se pudo escribir " + ruta);
    } else if (comando == "cortedeInventario1") {
      ui_.iniciaProgreso("Corte de Inventario", 100);
      long antes = 0;
      const long n = corteInventario(a, [this, &antes](long h, long t) {
        const long pct = t > 0 ? h * 100 / t : 100;
        if (pct > antes) ui_.avanzaProgreso(static_cast<int>(pct - antes));
        antes = pct;
      });
      ui_.terminaProgreso();
      ui_.mensaje(std::to_string(n) + " borrados");
    }
  } catch (const dbf::Error&) {
    ui_.mensaje("No se Pueden Guardar los Datos ha Ocurrido un Error");
  }
}

session::Sesion& TFormaInventario::sesion() {
  if (sesion_) return *sesion_;
  if (!sesionPropia_) {
    procesosPropios_ = std::make_unique<base::ProcesosPosix>();
    sesionPropia_ = std::make_unique<session::Sesion>(ui_, reloj_, *procesosPropios_);
    sesionPropia_->ponDirectorios(dirSistema_, motor_.ajustes().dirDatos);
    sesionPropia_->ponUsuario(motor_.ajustes().usuario);
  }
  return *sesionPropia_;
}

void TFormaInventario::ImprimeCdigo1Click() {
  if (!motor_.hayProducto()) return;
  imprimeCodigoBarras(motor_.ajustes().dirTrabajo, motor_.texto("CLPRO_I"), sesion().programas(),
                      sesion().procesos(), ui_);
}

void TFormaInventario::PolticadePrecios1Click() {
  if (!derecho_(34) || !motor_.hayProducto()) return;
  TFormaPolitica p(motor_, this);
  p.exec();
  pintaCampos();
}

void TFormaInventario::Informacion1Click() {
  if (!motor_.hayProducto()) return;
  TFormaAdicionalProducto a(motor_, this);
  a.exec();
  pintaCampos();
}

void TFormaInventario::SpeedButton1Click() {
  const std::string clave = clave_->text().trimmed().toStdString();
  if (clave.empty()) return;
  TFormaKit k(motor_.ajustes().dirDatos, motor_.ajustes().dirInventario, dirSistema_, clave, ui_, this);
  k.exec();
}

void TFormaInventario::SpeedButton2Click() {
  if (motor_.modo() == ModoCatalogo::Consulta) return;
  try {
    sql::BaseSql base;
    auto r = base.consulta("SELECT DISTINCT LIPRO_I FROM \"" +
                           base::une(motor_.ajustes().dirInventario, kTablaProductos) + "\" order by LIPRO_I");
    QStringList lineas;
    for (r->first(); !r->eof(); r->next()) lineas << q(r->asText(0));
    bool ok = false;
    const QString l = QInputDialog::getItem(this, "Líneas", "Línea", lineas, 0, false, &ok);
    if (ok && motor_.ponTexto("LIPRO_I", l.toStdString())) pintaCampos();
  } catch (const dbf::Error&) {
    ui_.mensaje("Valor no Válido");
  }
}

namespace {
TFormaInventario::ConsultaProveedores& consultaProveedores() {
  static TFormaInventario::ConsultaProveedores c;
  return c;
}
}  // namespace

void TFormaInventario::registraConsultaProveedores(ConsultaProveedores consulta) {
  consultaProveedores() = std::move(consulta);
}

void TFormaInventario::EditProveedorKeyDown(const std::string& campo) {
  if (motor_.modo() == ModoCatalogo::Consulta || !consultaProveedores()) return;
  const auto clave = consultaProveedores()(this, motor_.ajustes().dirDatos, edits_[campo]->text().toStdString());
  if (clave && motor_.ponTexto(campo, *clave)) pintaCampos();
}

void TFormaInventario::EditTICOS_IKeyDown() {
  if (motor_.modo() == ModoCatalogo::Consulta) return;
  TFormaTipoInventario t(q(motor_.texto("TICOS_I")), this);
  if (t.exec() == QDialog::Accepted && motor_.ponTexto("TICOS_I", t.eleccion().toStdString())) pintaCampos();
}

void TFormaInventario::ImagenDblClick() {
  if (!motor_.hayProducto()) return;
  TFormaImagen i(q(motor_.texto("IMAGE_I")), ui_, this);
  i.exec();
  if (motor_.modo() != ModoCatalogo::Consulta && !i.rutaElegida().isEmpty()) {
    if (motor_.ponImagen(i.rutaElegida().toStdString())) pinta(false);
  }
}

void TFormaInventario::BotonObservacionClick() {
  if (!motor_.hayProducto()) return;
  ui::TFormaObservaciones::edita(this, motor_.ajustes().dirDatos, "IN", motor_.texto("CLPRO_I"), ui_);
}

void TFormaInventario::Repetir1Click() {
  clave_->clear();
  if (!motor_.repite()) return;
  pinta(false);
  clave_->setFocus();
}

void TFormaInventario::ChecarStocks1Click() { motor_.alternaChecaStocks(); }

void TFormaInventario::ConfiguraClave1Click() {
  TFormaClaveDiseno d(motor_.ajustes().dirInventario, motor_.ajustes().dirTrabajo, ui_, this);
  d.exec();
  pinta(false);
}

void TFormaInventario::RutasKardex1Click() {
  TFormaRutaKardex r(motor_.ajustes().dirDatos, ui_, this);
  r.exec();
}

void TFormaInventario::NoAlmacenChange() {
  if (motor_.cambiaAlmacen(std::to_string(almacen_->value()))) pinta();
}

void TFormaInventario::Temas1Click() { abreAyuda(ui_, dirSistema_, "inventar.rtf"); }

void TFormaInventario::reporte(ReporteInventario r) {
  OrigenReportes o{motor_.ajustes().dirInventario, motor_.ajustes().dirDatos, motor_.texto("CLPRO_I"),
                   motor_.ajustes().margenFaltantes};
  const auto d = definicionReporte(r, o);
  if (!reporte_) {
    ui_.mensaje("El módulo Reportes no está disponible todavía");
    return;
  }
  reporte_(d);
  motor_.catalogo().refresh();
  pinta(false);
}

void TFormaInventario::BotonImprimirClick() { imprime(false); }
void TFormaInventario::BotonPreliminarClick() { imprime(true); }

void TFormaInventario::imprime(bool preliminar) {
  if (!motor_.hayProducto()) return;
  // The formats offered are the lines of "\report\inventar.for".
  const auto formato = eligeFormato(this, ui_, dirSistema_, "inventar.for");
  if (!formato) return;
  try {
    // The product alone, as the format's header and lines.
    dbf::Table producto;
    producto.open(motor_.ajustes().dirInventario, kTablaProductos);
    producto.setIndex("ICLPRO");
    const std::string clave = motor_.texto("CLPRO_I");
    producto.setRange({clave}, {clave});
    if (!producto.goTo(motor_.catalogo().recno())) return;
    printing::TablaDbf encabezado(producto, motor_.ajustes().dirInventario, kTablaProductos);
    printing::TablaDbf detalle(producto, motor_.ajustes().dirInventario, kTablaProductos);
    imprimeFormato(this, sesion(), dirSistema_, *formato, encabezado, detalle, motor_.ajustes().usuario, preliminar);
  } catch (const dbf::Error&) {
    ui_.mensaje("Valor no Válido");
  }
}

bool TFormaInventario::altaRapida(AjustesCatalogo ajustes, std::string dirSistema, base::Interaccion& ui,
                                  const base::Reloj& reloj, std::function<bool(int)> derecho,
                                  const std::string& clave, QWidget* parent) {
  TFormaInventario f(std::move(ajustes), std::move(dirSistema), ui, reloj, std::move(derecho), parent);
  f.BotonNuevoClick();
  if (f.motor().modo() != ModoCatalogo::Nuevo) return false;
  f.clave_->setText(q(clave));
  f.edits_["DSCPR_I"]->setFocus();
  f.exec();
  return f.guardado();
}

}  // namespace mostrador::inventory
