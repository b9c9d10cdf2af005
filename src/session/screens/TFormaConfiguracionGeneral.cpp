#include "session/screens/TFormaConfiguracionGeneral.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "base/rutas.h"
#include "session/screens/TFormaDirectorio.h"
#include "ui/dialogos.h"

namespace mostrador::session {
namespace {

QString q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Captions of the settings, by line.
const std::map<int, const char*> kTitulos = {
    {1, "Actualizar tablas al guardar (SI/NO)"},
    {2, "Dato libre 2 (sólo se guarda)"},
    {3, "Dato libre 3 (sólo se guarda)"},
    {4, "Dato libre 4 (sólo se guarda)"},
    {5, "Impuesto de compras (%)"},
    {6, "Movimientos integrados (SI/NO)"},
    {7, "Dato libre 7 (sólo se guarda)"},
    {8, "Directorio de datos"},
    {9, "Nombre de la empresa"},
    {10, "Reservado (se guarda vacío)"},
    {11, "Clave de acceso de la empresa"},
    {12, "Formato de clientes"},
    {13, "Formato de vendedores"},
    {14, "Formato de Factura"},
    {15, "Formato de Remisión"},
    {16, "Formato de Pedido"},
    {17, "Formato de Caja Chica"},
    {18, "Formato de movimientos al inventario"},
    {19, "Formato adicional (sólo se guarda)"},
    {20, "Formato de cuentas por pagar"},
    {21, "Facturar sin existencias"},
    {22, "Dato libre 22 (sólo se guarda)"},
    {23, "Dato libre 23 (sólo se guarda)"},
    {24, "Formato del catálogo de productos"},
    {25, "Formato de proveedores"},
    {28, "Formato de Recepción"},
    {29, "Formato de Orden de Compra"},
    {30, "Formato de Devolución de Compra"},
    {31, "Hoja de cálculo"},
    {32, "Dato libre 32 (sólo se guarda)"},
    {33, "Precios con impuestos incluidos"},
    {34, "Claves de clientes consecutivas"},
    {35, "Claves de proveedores consecutivas"},
    {36, "Protección contra fallas de energía (sólo se guarda)"},
    {37, "Modo de cobranza (sólo se guarda)"},
    {38, "Totales de movimientos actualizan existencias"},
    {39, "Dato libre 39 (sólo se guarda)"},
    {40, "Dato libre 40 (sólo se guarda)"},
    {41, "Permitir existencias negativas"},
    {42, "Decimales en importes"},
    {43, "Política de precios por cantidad"},
    {44, "Recalcular precios al recibir compras"},
    {45, "Redondeo de totales (decenas de centavos)"},
    {46, "Usar multialmacén"},
    {47, "Ofrecer alta de productos no encontrados"},
    {48, "Opción libre 48 (sólo se guarda)"},
    {49, "Opción libre 49 (sólo se guarda)"},
    {50, "Opción libre 50 (sólo se guarda)"},
    {51, "Opción libre 51 (sólo se guarda)"},
    {52, "Opción libre 52 (sólo se guarda)"},
    {53, "Opción libre 53 (sólo se guarda)"},
    {54, "Opción libre 54 (sólo se guarda)"},
    {55, "Opción libre 55 (sólo se guarda)"},
    {56, "Opción libre 56 (sólo se guarda)"},
    {57, "Traspasos por factor de unidad"},
    {58, "Descuentos por línea de producto"},
    {59, "Directorio de inventario"},
    {60, "Dato libre 60 (sólo se guarda)"},
    {61, "Descuento global en documentos"},
    {62, "Pagos en caja (se guarda con cada documento)"},
    {63, "Directorio de remisiones"},
    {64, "Claves de productos consecutivas"},
    {65, "Vista"},
    {66, "Tabla de cuentas por cobrar"},
    {69, "Búsqueda avanzada en punto de venta"},
    {70, "Partidas por documento de punto de venta"},
    {71, "Chequeo permanente de documentos"},
    {72, "Margen para faltantes"},
};

// Captions of the rights on the users page, by right.
const std::map<int, const char*> kDerechos = {
    {1, "Clientes"}, {2, "Vendedores"}, {3, "Proveedores"}, {4, "Facturación y punto de venta"},
    {5, "Compras"}, {6, "Saldo de clientes / pagos de compras"}, {7, "Saldo de proveedores"},
    {8, "Productos"}, {9, "Movimientos al inventario"}, {10, "Configuración general"},
    {11, "Alta de clientes"}, {12, "Baja de clientes"}, {13, "Cambio de clientes"},
    {14, "Alta de vendedores"}, {15, "Baja de vendedores"}, {16, "Cambio de vendedores"},
    {17, "Alta de proveedores"}, {18, "Baja de proveedores"}, {19, "Cambio de proveedores"},
    {20, "Nuevo documento de venta"}, {22, "Cambio y baja de documentos de venta"},
    {23, "Nueva compra"}, {25, "Cambio de compras"}, {32, "Alta de productos"},
    {33, "Baja de productos"}, {34, "Cambio de productos y política de precios"},
    {35, "Nuevo movimiento al inventario"}, {44, "Reportes de ventas"},
    {45, "Reportes de compras"}, {51, "Cambio de precio en venta"}, {52, "Cancelar venta"},
    {53, "Reimprimir documentos"}, {54, "Reindexar"}, {55, "Respaldar"},
};

}  // namespace

QString TFormaConfiguracionGeneral::nombreCasillaDerecho(int d) {
  switch (d) {
    case 51: return "CheckBox61";
    case 52: return "CancelarVenta";
    case 53: return "Reimprimir";
    case 54: return "Reindexar";
    case 55: return "Respaldar";
    default: return "CheckBox" + QString::number(d);
  }
}

TFormaConfiguracionGeneral::TFormaConfiguracionGeneral(base::Interaccion& ui, std::string sistema,
                                                       std::string datos, EjecutaSql ejecuta,
                                                       std::function<std::string(int)> descripcion,
                                                       QWidget* parent)
    : QDialog(parent),
      ui_(ui),
      sistema_(std::move(sistema)),
      datos_(std::move(datos)),
      ejecuta_(std::move(ejecuta)),
      descripcion_(std::move(descripcion)),
      pagina_(ui, sistema_) {
  setObjectName("TFormaConfiguracionGeneral");
  setWindowTitle("Configuración General");
  resize(860, 620);
  auto* l = new QVBoxLayout(this);

  auto* arriba = new QHBoxLayout;
  edit0_ = new QSpinBox(this);
  edit0_->setObjectName("Edit0");
  edit0_->setRange(-1, 999);
  usuario_ = new QLabel(this);
  usuario_->setObjectName("Usuario");
  botonGuardar_ = new QPushButton("&Guardar", this);
  botonGuardar_->setObjectName("BotonGuardar");
  auto* sb1 = new QPushButton("Buscar Hoja de Cálculo", this);
  sb1->setObjectName("SpeedButton1");
  auto* sb2 = new QPushButton("Convertir Claves", this);
  sb2->setObjectName("SpeedButton2");
  auto* sb3 = new QPushButton("Directorio de Datos...", this);
  sb3->setObjectName("SpeedButton3");
  arriba->addWidget(new QLabel("Empresa", this));
  arriba->addWidget(edit0_);
  arriba->addStretch();
  arriba->addWidget(sb1);
  arriba->addWidget(sb2);
  arriba->addWidget(sb3);
  arriba->addWidget(botonGuardar_);
  arriba->addWidget(usuario_);
  l->addLayout(arriba);

  folder_ = new QTabWidget(this);
  folder_->setObjectName("Folder");
  folder_->addTab(creaPagina("General", {9, 8, 11, 1, 6, 5, 31, 2, 3, 4, 7, 10, 22, 23, 32, 39, 40, 60}),
                  "General");
  folder_->addTab(creaPagina("Formatos", {12, 13, 14, 15, 16, 17, 18, 19, 20, 24, 25, 28, 29, 30}),
                  "Formatos");
  folder_->addTab(creaPagina("Opciones", {21, 33, 34, 35, 36, 37, 38, 41, 43, 44, 46, 47, 57, 58,
                                          61, 62, 64, 69, 71, 48, 49, 50, 51, 52, 53, 54, 55, 56}),
                  "Opciones");
  folder_->addTab(creaPagina("Directorios", {59, 63, 66, 42, 45, 70, 72, 65}), "Directorios y Números");
  folder_->addTab(creaPaginaUsuarios(), "Usuarios");
  l->addWidget(folder_);

  connect(edit0_, &QSpinBox::valueChanged, this, &TFormaConfiguracionGeneral::Edit0Change);
  connect(botonGuardar_, &QPushButton::clicked, this, &TFormaConfiguracionGeneral::BotonGuardarClick);
  connect(sb1, &QPushButton::clicked, this, &TFormaConfiguracionGeneral::SpeedButton1Click);
  connect(sb2, &QPushButton::clicked, this, &TFormaConfiguracionGeneral::SpeedButton2Click);
  connect(sb3, &QPushButton::clicked, this, &TFormaConfiguracionGeneral::SpeedButton3Click);
  for (QPushButton* b : findChildren<QPushButton*>()) b->setAutoDefault(false);
  ui::instalaNavegacion(this);
}

QWidget* TFormaConfiguracionGeneral::creaPagina(const QString& titulo, const std::vector<int>& lineas) {
  auto* area = new QScrollArea(this);
  area->setObjectName("Pagina" + titulo);
  area->setWidgetResizable(true);
  auto* pagina = new QWidget(area);
  auto* f = new QFormLayout(pagina);
  for (int n : lineas) {
    const LineaConfiguracion& d = lineaConfiguracion(n);
    const QString caption = QString::fromUtf8(kTitulos.at(n));
    const std::string control(d.control);
    switch (d.clase) {
      case ClaseLinea::Casilla: {
        auto* c = new QCheckBox(caption, pagina);
        c->setObjectName(q(control));
        controles_[control] = c;
        connect(c, &QCheckBox::toggled, this, [this] {
          if (!pintando_) botonGuardar_->setEnabled(true);
        });
        f->addRow(c);
        break;
      }
      case ClaseLinea::Vista: {
        auto* grupo = new QGroupBox(caption, pagina);
        grupo->setObjectName("GrupoVista");
        auto* h = new QHBoxLayout(grupo);
        auto* resaltada = new QRadioButton("Resaltada", grupo);
        resaltada->setObjectName("VistaResaltada");
        vistaClasica_ = new QRadioButton("Clásica", grupo);
        vistaClasica_->setObjectName("VistaClasica");
        h->addWidget(resaltada);
        h->addWidget(vistaClasica_);
        controles_[control] = resaltada;
        f->addRow(grupo);
        break;
      }
      default: {
        auto* e = new QLineEdit(pagina);
        e->setObjectName(q(control));
        controles_[control] = e;
        // A change after a save may be saved again.
        connect(e, &QLineEdit::textChanged, this, [this] {
          if (!pintando_) botonGuardar_->setEnabled(true);
        });
        if (d.clase == ClaseLinea::SiNo || d.clase == ClaseLinea::Formato) e->installEventFilter(this);
        if (d.clase == ClaseLinea::SiNo) e->setToolTip("Doble clic: SI / NO");
        if (d.clase == ClaseLinea::Formato) e->setToolTip("Doble clic: elegir el formato");
        f->addRow(caption, e);
        break;
      }
    }
  }
  area->setWidget(pagina);
  return area;
}

QWidget* TFormaConfiguracionGeneral::creaPaginaUsuarios() {
  auto* pagina = new QWidget(this);
  pagina->setObjectName("PaginaUsuarios");
  auto* l = new QVBoxLayout(pagina);
  auto* f = new QFormLayout;
  nume_ = new QSpinBox(pagina);
  nume_->setObjectName("Nume");
  nume_->setRange(0, 0);
  edit26_ = new QLineEdit(pagina);
  edit26_->setObjectName("Edit26");
  edit25_ = new QLineEdit(pagina);
  edit25_->setObjectName("Edit25");
  edit25_->setEchoMode(QLineEdit::Password);
  f->addRow("Usuario", nume_);
  f->addRow("Nombre", edit26_);
  f->addRow("Clave", edit25_);
  l->addLayout(f);

  auto* area = new QScrollArea(pagina);
  area->setWidgetResizable(true);
  auto* rejilla = new QWidget(area);
  auto* g = new QGridLayout(rejilla);
  for (int d = 1; d <= kDerechosPagina; ++d) {
    auto it = kDerechos.find(d);
    const QString caption = QString::number(d) + ". " +
                            (it != kDerechos.end() ? QString::fromUtf8(it->second) : QString("Reservado"));
    auto* c = new QCheckBox(caption, rejilla);
    c->setObjectName(nombreCasillaDerecho(d));
    derechos_.push_back(c);
    g->addWidget(c, (d - 1) % 19, (d - 1) / 19);
  }
  area->setWidget(rejilla);
  l->addWidget(area);

  auto* botones = new QHBoxLayout;
  botonNuevo_ = new QPushButton("&Nuevo", pagina);
  botonNuevo_->setObjectName("BotonNuevo");
  botonCambios_ = new QPushButton("&Cambios", pagina);
  botonCambios_->setObjectName("BotonCambios");
  botonGuarda_ = new QPushButton("G&uardar Usuario", pagina);
  botonGuarda_->setObjectName("BotonGuarda");
  botonElimina_ = new QPushButton("&Eliminar", pagina);
  botonElimina_->setObjectName("BotonElimina");
  auto* copia = new QPushButton("Copiar Usuarios a la Empresa", pagina);
  copia->setObjectName("BitBtn1");
  for (QPushButton* b : {botonNuevo_, botonCambios_, botonGuarda_, botonElimina_, copia}) {
    botones->addWidget(b);
  }
  for (QPushButton* b : {botonNuevo_, botonCambios_, botonGuarda_, botonElimina_})
    b->installEventFilter(this);
  l->addLayout(botones);

  connect(nume_, &QSpinBox::valueChanged, this, [this](int v) {
    if (pintando_) return;
    pagina_.NumeChange(v);
    pintaUsuario();
  });
  connect(botonNuevo_, &QPushButton::clicked, this, [this] {
    pagina_.BotonNuevoClick();
    pintaUsuario();
    edit26_->setFocus();
  });
  connect(botonCambios_, &QPushButton::clicked, this, [this] {
    pagina_.BotonCambiosClick();
    pintaUsuario();
  });
  connect(botonGuarda_, &QPushButton::clicked, this, [this] {
    recogeUsuario();
    pagina_.BotonGuardaClick();
    pintaUsuario();
  });
  connect(botonElimina_, &QPushButton::clicked, this, [this] {
    pagina_.BotonEliminaClick();
    pintaUsuario();
  });
  connect(copia, &QPushButton::clicked, this, [this] { pagina_.BitBtn1Click(datos_); });
  return pagina;
}

QCheckBox* TFormaConfiguracionGeneral::casillaDerecho(int derecho) const {
  return derechos_.at(static_cast<size_t>(derecho - 1));
}

void TFormaConfiguracionGeneral::ponUsuario(const QString& usuario) { usuario_->setText(usuario); }

void TFormaConfiguracionGeneral::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  botonGuardar_->setEnabled(true);
  pintando_ = true;
  edit0_->setValue(1);
  pintando_ = false;
  Edit0Change(1);
  pagina_.muestra();
  pintaUsuario();
}

void TFormaConfiguracionGeneral::Edit0Change(int n) {
  if (pintando_) return;
  if (n < 0) {
    pintando_ = true;
    edit0_->setValue(0);
    pintando_ = false;
    return;
  }
  if (n == 0) return;
  if (valores_.lee(sistema_, n, ui_)) pintaValores();
  // Another company's values may be saved as well.
  botonGuardar_->setEnabled(true);
}

void TFormaConfiguracionGeneral::pintaValores() {
  for (const auto& [control, valor] : valores_.todos()) {
    auto it = controles_.find(control);
    if (it == controles_.end()) continue;
    if (auto* c = qobject_cast<QCheckBox*>(it->second)) {
      c->setChecked(esSi(valor));
    } else if (auto* r = qobject_cast<QRadioButton*>(it->second)) {
      r->setChecked(esSi(valor));
      vistaClasica_->setChecked(!esSi(valor));
    } else if (auto* e = qobject_cast<QLineEdit*>(it->second)) {
      e->setText(q(valor));
    }
  }
}

void TFormaConfiguracionGeneral::recogeValores() {
  for (const auto& [control, w] : controles_) {
    if (auto* c = qobject_cast<QCheckBox*>(w))
      valores_.marca(control, c->isChecked());
    else if (auto* r = qobject_cast<QRadioButton*>(w))
      valores_.marca(control, r->isChecked());
    else if (auto* e = qobject_cast<QLineEdit*>(w))
      valores_.pon(control, e->text().toStdString());
  }
}

void TFormaConfiguracionGeneral::BotonGuardarClick() {
  recogeValores();
  valores_.guarda(sistema_, edit0_->value());
  botonGuardar_->setEnabled(false);
}

void TFormaConfiguracionGeneral::Edit1DblClick(QLineEdit* campo) {
  campo->setText(q(alternaSiNo(campo->text().toStdString())));
}

void TFormaConfiguracionGeneral::Edit12DblClick(QLineEdit* campo) {
  const QString inicio = QString::fromStdString(base::resuelve(base::une(sistema_, "consulta")).string());
  QFileDialog archivoFormato(this, "Formato", inicio);
  archivoFormato.setObjectName("ArchivoFormato");
  if (archivoFormato.exec() != QDialog::Accepted || archivoFormato.selectedFiles().isEmpty()) return;
  campo->setText(QFileInfo(archivoFormato.selectedFiles().first()).fileName());
}

void TFormaConfiguracionGeneral::SpeedButton1Click() {
  const std::string carpeta = "C:\\Archivos de programa\\Microsoft Office\\Office";
  const std::string excel = base::une(carpeta, "EXCEL.EXE");
  auto* campo = static_cast<QLineEdit*>(controles_.at("Edit30"));
  campo->setText(base::existe(excel) ? q(excel) : QString());
}

void TFormaConfiguracionGeneral::SpeedButton2Click() {
  if (!ejecuta_) {
    ui_.mensaje("La conversión de claves no está disponible todavía");
    return;
  }
  convierteClaves(ui_, datos_, static_cast<QCheckBox*>(controles_.at("ConsecutivoClientes"))->isChecked(),
                  static_cast<QCheckBox*>(controles_.at("ConsecutivoProveedor"))->isChecked(), ejecuta_);
}

void TFormaConfiguracionGeneral::SpeedButton3Click() {
  const QString d = TFormaDirectorio::elige(this);
  if (!d.isEmpty()) static_cast<QLineEdit*>(controles_.at("Edit8"))->setText(d);
}

void TFormaConfiguracionGeneral::pintaUsuario() {
  pintando_ = true;
  nume_->setRange(0, std::max(0, pagina_.limiteNume()));
  nume_->setValue(pagina_.nume());
  edit26_->setText(q(pagina_.nombre));
  edit25_->setText(q(pagina_.clave));
  for (int i = 0; i < kDerechosPagina; ++i)
    derechos_[static_cast<size_t>(i)]->setChecked(pagina_.derechos[static_cast<size_t>(i)]);
  botonNuevo_->setEnabled(pagina_.nuevoHabilitado());
  botonCambios_->setEnabled(pagina_.cambiosHabilitado());
  botonGuarda_->setEnabled(pagina_.guardaHabilitado());
  // Browsing shows a user; only Nuevo or Cambios let the boxes be changed, so nothing
  // ticked while browsing is silently lost.
  for (QWidget* w : {static_cast<QWidget*>(edit26_), static_cast<QWidget*>(edit25_)})
    w->setEnabled(pagina_.edicionHabilitada());
  for (QCheckBox* c : derechos_) c->setEnabled(pagina_.edicionHabilitada());
  pintando_ = false;
}

void TFormaConfiguracionGeneral::recogeUsuario() {
  pagina_.nombre = edit26_->text().toStdString();
  pagina_.clave = edit25_->text().toStdString();
  for (int i = 0; i < kDerechosPagina; ++i)
    pagina_.derechos[static_cast<size_t>(i)] = derechos_[static_cast<size_t>(i)]->isChecked();
}

bool TFormaConfiguracionGeneral::eventFilter(QObject* o, QEvent* e) {
  if (e->type() == QEvent::MouseButtonDblClick) {
    if (auto* campo = qobject_cast<QLineEdit*>(o)) {
      const std::string control = campo->objectName().toStdString();
      for (const auto& l : mapaConfiguracion()) {
        if (l.control != control) continue;
        if (l.clase == ClaseLinea::SiNo) Edit1DblClick(campo);
        if (l.clase == ClaseLinea::Formato) Edit12DblClick(campo);
        return true;
      }
    }
  }
  if (e->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(e)->button() == Qt::RightButton) {
    int tema = 0;
    if (o == botonElimina_) tema = 55;
    if (o == botonCambios_) tema = 56;
    if (o == botonNuevo_) tema = 57;
    if (o == botonGuarda_) tema = 58;
    if (tema) {
      auto* d = new ui::TFormaDescribe(q(descripcion_ ? descripcion_(tema) : std::string()), this);
      d->setAttribute(Qt::WA_DeleteOnClose);
      d->debajoDe(static_cast<QWidget*>(o));
      d->show();
      return true;
    }
  }
  return QDialog::eventFilter(o, e);
}

}  // namespace mostrador::session
