#pragma once
// TFormaDirectorio: choose a directory. A drive list, a folder tree and the chosen path;
// accept closes with 1, cancel and Escape with 0. The path is given Windows style
// ("C:\Datos\Tienda") when it lies on one of the drives.

#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QTreeView;

namespace mostrador::session {

// "C:\a\b" for <unidades>/c/a/b; other local paths unchanged.
QString rutaAlmacenada(const QString& local);

class TFormaDirectorio : public QDialog {
  Q_OBJECT
 public:
  explicit TFormaDirectorio(QWidget* parent = nullptr);
  // The label's path when accepted, "" otherwise.
  static QString elige(QWidget* parent = nullptr);
  QString directorio() const;
  void DriveComboBox1Change(const QString& letra);
  void eligeLocal(const QString& local);

 private:
  QComboBox* unidades_;
  QTreeView* arbol_;
  QFileSystemModel* modelo_;
  QLabel* etiqueta_;
};

}  // namespace mostrador::session
