#include "session/screens/TFormaDirectorio.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "base/rutas.h"

namespace mostrador::session {

QString rutaAlmacenada(const QString& local) {
  const QString raiz = QDir::cleanPath(QString::fromStdString(base::raizUnidades().string()));
  const QString p = QDir::cleanPath(local);
  if (!p.startsWith(raiz + "/")) return p;
  QString resto = p.mid(raiz.size() + 1);  // "c/a/b"
  const QString letra = resto.section('/', 0, 0);
  if (letra.size() != 1) return p;
  resto = resto.section('/', 1);
  return letra.toUpper() + ":\\" + QString(resto).replace('/', '\\');
}

TFormaDirectorio::TFormaDirectorio(QWidget* parent) : QDialog(parent) {
  setObjectName("TFormaDirectorio");
  setWindowTitle("Directorio");
  resize(480, 420);
  auto* l = new QVBoxLayout(this);
  unidades_ = new QComboBox(this);
  unidades_->setObjectName("DriveComboBox1");
  QDir raiz(QString::fromStdString(base::raizUnidades().string()));
  for (const QString& d : raiz.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
    if (d.size() == 1) unidades_->addItem(d.toUpper() + ":");
  modelo_ = new QFileSystemModel(this);
  modelo_->setFilter(QDir::Dirs | QDir::NoDotAndDotDot);
  arbol_ = new QTreeView(this);
  arbol_->setObjectName("DirectoryListBox1");
  arbol_->setModel(modelo_);
  for (int c = 1; c < modelo_->columnCount(); ++c) arbol_->hideColumn(c);
  arbol_->header()->hide();
  etiqueta_ = new QLabel(this);
  etiqueta_->setObjectName("LabelDirectorio");
  auto* botones = new QHBoxLayout;
  auto* aceptar = new QPushButton("&Aceptar", this);
  aceptar->setObjectName("BitBtn1");
  auto* cancelar = new QPushButton("&Cancelar", this);
  cancelar->setObjectName("BitBtn2");
  botones->addWidget(aceptar);
  botones->addWidget(cancelar);
  l->addWidget(unidades_);
  l->addWidget(arbol_);
  l->addWidget(etiqueta_);
  l->addLayout(botones);
  connect(unidades_, &QComboBox::currentTextChanged, this, &TFormaDirectorio::DriveComboBox1Change);
  connect(arbol_, &QTreeView::clicked, this,
          [this](const QModelIndex& i) { eligeLocal(modelo_->filePath(i)); });
  connect(aceptar, &QPushButton::clicked, this, [this] { done(1); });
  connect(cancelar, &QPushButton::clicked, this, [this] { done(0); });
  if (unidades_->count() > 0) DriveComboBox1Change(unidades_->currentText());
}

void TFormaDirectorio::DriveComboBox1Change(const QString& letra) {
  if (letra.isEmpty()) return;
  etiqueta_->setText(letra.left(1) + ":");
  const QString local = QString::fromStdString(base::resuelve(letra.left(1).toStdString() + ":\\").string());
  arbol_->setRootIndex(modelo_->setRootPath(local));
}

void TFormaDirectorio::eligeLocal(const QString& local) { etiqueta_->setText(rutaAlmacenada(local)); }

QString TFormaDirectorio::directorio() const { return etiqueta_->text(); }

QString TFormaDirectorio::elige(QWidget* parent) {
  TFormaDirectorio d(parent);
  return d.exec() == 1 ? d.directorio() : QString();
}

}  // namespace mostrador::session
