#include "store/screens/TFormaReindexaTodo.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "store/screens/TFormaVerificaRegistros.h"

namespace mostrador::store {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

void llena(QListWidget* w, const std::vector<std::string>& v) {
  w->clear();
  for (const auto& s : v) w->addItem(q(s));
}

}  // namespace

TFormaReindexaTodo::TFormaReindexaTodo(base::Interaccion& ui, const base::Reloj& reloj,
                                       const std::string& dirSistema, const std::string& dirDatos, QWidget* padre)
    : QDialog(padre), ui_(ui), motor_(ui, reloj, dirSistema, dirDatos, [this](const std::string& dir) {
        TFormaVerificaRegistros v(ui_, dir, this);
        return v.exec() == QDialog::Accepted;
      }) {
  setObjectName("TFormaReindexaTodo");
  setWindowTitle("Reindexación");
  setModal(true);
  resize(760, 560);
  auto* l = new QVBoxLayout(this);
  ruta_ = new QLineEdit(this);
  ruta_->setObjectName("EditRuta");
  l->addWidget(ruta_);

  auto* principales = new QHBoxLayout;
  principales->addWidget(boton("BitBtn2", "&Reindexar", &ReindexaTodo::BitBtn2Click));
  principales->addWidget(boton("BitBtn10", "Reindexado &Total", &ReindexaTodo::BitBtn10Click));
  principales->addWidget(boton("BitBtn9", "Re&parar Incompletos", &ReindexaTodo::BitBtn9Click));
  auto* salir = new QPushButton("&Salir", this);
  salir->setObjectName("BitBtn3");
  salir->setAutoDefault(false);
  connect(salir, &QPushButton::clicked, this, &QDialog::accept);
  principales->addWidget(salir);
  l->addLayout(principales);

  tabla_ = new QLabel(this);
  tabla_->setObjectName("LabelTabla");
  progreso_ = new QProgressBar(this);
  progreso_->setObjectName("Progreso");
  progreso_->setRange(0, 100);
  l->addWidget(tabla_);
  l->addWidget(progreso_);

  reindexaInicio_ = new QCheckBox("Reindexar al Iniciar", this);
  reindexaInicio_->setObjectName("ReindexaInicio");
  respaldaInicio_ = new QCheckBox("Respaldar al Iniciar", this);
  respaldaInicio_->setObjectName("RespaldaInicio");
  respaldaFinal_ = new QCheckBox("Respaldar al Terminar", this);
  respaldaFinal_->setObjectName("RespaldaFinal");
  auto* opciones = new QHBoxLayout;
  for (auto* c : {reindexaInicio_, respaldaInicio_, respaldaFinal_}) opciones->addWidget(c);
  l->addLayout(opciones);
  connect(reindexaInicio_, &QCheckBox::toggled, this, [this](bool v) {
    if (!pintando_) motor_.ponReindexaInicio(v);
  });
  connect(respaldaInicio_, &QCheckBox::toggled, this, [this](bool v) {
    if (!pintando_) motor_.ponRespaldaInicio(v);
  });
  connect(respaldaFinal_, &QCheckBox::toggled, this, [this](bool v) {
    if (!pintando_) motor_.ponRespaldaFinal(v);
  });

  // The lists and the secondary commands, shown with F12.
  detalle_ = new QWidget(this);
  detalle_->setObjectName("Detalle");
  auto* g = new QGridLayout(detalle_);
  archivos_ = new QListWidget(detalle_);
  archivos_->setObjectName("Archivos");
  memo_ = new QPlainTextEdit(detalle_);
  memo_->setObjectName("Memo1");
  lista_ = new QListWidget(detalle_);
  lista_->setObjectName("Lista");
  lista2_ = new QListWidget(detalle_);
  lista2_->setObjectName("Lista2");
  faltantes_ = new QListWidget(detalle_);
  faltantes_->setObjectName("Faltantes");
  g->addWidget(archivos_, 0, 0);
  g->addWidget(memo_, 0, 1, 1, 2);
  g->addWidget(lista_, 1, 0);
  g->addWidget(lista2_, 1, 1);
  g->addWidget(faltantes_, 1, 2);
  auto* secundarios = new QHBoxLayout;
  secundarios->addWidget(boton("BitBtn1", "&Describir", &ReindexaTodo::BitBtn1Click));
  secundarios->addWidget(boton("BitBtn4", "&Guardar", &ReindexaTodo::BitBtn4Click));
  secundarios->addWidget(boton("BitBtn8", "&Cargar", &ReindexaTodo::BitBtn8Click));
  secundarios->addWidget(boton("BitBtn6", "&Verificar", &ReindexaTodo::BitBtn6Click));
  secundarios->addWidget(boton("BitBtn7", "&Incompletos", &ReindexaTodo::BitBtn7Click));
  secundarios->addWidget(boton("BitBtn5", "&Temporales", &ReindexaTodo::BitBtn5Click));
  secundarios->addWidget(boton("BitBtn11", "Re&numerar", &ReindexaTodo::BitBtn11Click));
  g->addLayout(secundarios, 2, 0, 1, 3);
  l->addWidget(detalle_, 1);

  connect(archivos_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* i) { motor_.ArchivosClick(i->text().toStdString()); });
  connect(ruta_, &QLineEdit::editingFinished, this, [this] {
    if (ruta_->text().toStdString() != motor_.EditRuta()) motor_.ponEditRuta(ruta_->text().toStdString());
  });
  motor_.alCambiar = [this] {
    pinta();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  };
  detalle_->setVisible(false);
}

// Hiding the dialog on destruction takes the focus from EditRuta, after the engine is gone.
TFormaReindexaTodo::~TFormaReindexaTodo() {
  disconnect(ruta_, nullptr, this, nullptr);
  motor_.alCambiar = nullptr;
}

QPushButton* TFormaReindexaTodo::boton(const char* nombre, const QString& texto, void (ReindexaTodo::*orden)()) {
  auto* b = new QPushButton(texto, this);
  b->setObjectName(nombre);
  b->setAutoDefault(false);
  connect(b, &QPushButton::clicked, this, [this, orden] {
    tomaMemo();
    (motor_.*orden)();
    pinta();
  });
  return b;
}

void TFormaReindexaTodo::tomaMemo() {
  std::vector<std::string> lineas;
  for (const QString& s : memo_->toPlainText().split('\n', Qt::SkipEmptyParts)) lineas.push_back(s.toStdString());
  motor_.ponMemo1(std::move(lineas));
}

void TFormaReindexaTodo::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  motor_.FormShow();
  pinta();
}

void TFormaReindexaTodo::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_F12) {
    motor_.F12();
    pinta();
    return;
  }
  QDialog::keyPressEvent(e);
}

void TFormaReindexaTodo::pinta() {
  pintando_ = true;
  if (!ruta_->hasFocus()) ruta_->setText(q(motor_.EditRuta()));
  llena(archivos_, motor_.Archivos());
  QStringList memo;
  for (const auto& s : motor_.Memo1()) memo << q(s);
  if (memo.join('\n') != memo_->toPlainText()) memo_->setPlainText(memo.join('\n'));
  llena(lista_, motor_.Lista());
  llena(lista2_, motor_.Lista2());
  llena(faltantes_, motor_.Faltantes());
  progreso_->setValue(motor_.Progreso());
  tabla_->setText(q(motor_.LabelTabla()));
  reindexaInicio_->setChecked(motor_.ReindexaInicio());
  respaldaInicio_->setChecked(motor_.RespaldaInicio());
  respaldaFinal_->setChecked(motor_.RespaldaFinal());
  detalle_->setVisible(motor_.detalleVisible());
  pintando_ = false;
}

}  // namespace mostrador::store
