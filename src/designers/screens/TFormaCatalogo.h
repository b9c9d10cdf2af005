#pragma once
// The catalogue browser, its filter grid (TFormaFiltros) and its index chooser
// (TFormaOrdenarPor). The browser's rules live in printing/navegador_catalogo.h; the
// grid's model reads rows from it only as the view scrolls to them.

#include <QAbstractTableModel>
#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "designers/navegador_catalogo.h"
#include "base/programas.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QMenu;
class QTableView;
class QTableWidget;

// The rows of the browser for a QTableView; fetchMore reads the next page.
class ModeloCatalogo : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit ModeloCatalogo(mostrador::designers::NavegadorCatalogo& n, QObject* parent = nullptr);
  int rowCount(const QModelIndex& p = {}) const override;
  int columnCount(const QModelIndex& p = {}) const override;
  QVariant data(const QModelIndex& i, int role) const override;
  QVariant headerData(int s, Qt::Orientation o, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& i) const override;
  bool setData(const QModelIndex& i, const QVariant& v, int role) override;
  bool canFetchMore(const QModelIndex& p) const override;
  void fetchMore(const QModelIndex& p) override;
  // After anything that restarts the rows (index, search, filter, columns).
  void recarga();

 private:
  mostrador::designers::NavegadorCatalogo& n_;
};

class TFormaFiltros : public QDialog {
  Q_OBJECT
 public:
  // The browsed table's block of the field catalogue (system directory).
  TFormaFiltros(const std::string& directorioSistema, const std::string& tabla, QWidget* parent = nullptr);
  // "campo*condición*valor*atributo*" for each row with a condition.
  std::string condiciones() const;
  QTableWidget* Rejilla;
  QLabel* Leyenda;
};

class TFormaOrdenarPor : public QDialog {
  Q_OBJECT
 public:
  // descripciones: comma-separated, one per choice.
  TFormaOrdenarPor(const std::vector<std::string>& descripciones, QWidget* parent = nullptr);
  int elegido() const;
  QListWidget* Lista;
};

class TFormaCatalogo : public QDialog {
  Q_OBJECT
 public:
  struct Columna {
    std::string campo, titulo;
  };
  // abreModulo: opens the module screen of the table on a key (double click / F2).
  TFormaCatalogo(mostrador::base::Interaccion& ui, std::string directorioSistema,
                 std::string directorioDatos, std::string tabla, std::vector<Columna> columnas,
                 std::string programaHoja, const mostrador::base::TablaProgramas& programas,
                 mostrador::base::Procesos& procesos,
                 std::function<void(const std::string& tabla, const std::string& clave)> abreModulo = {},
                 QWidget* parent = nullptr);
  ~TFormaCatalogo() override;

  mostrador::designers::NavegadorCatalogo& navegador() { return *n_; }
  QTableView* rejilla() const { return DBGrid1; }

  // The signed-in user number, as every module screen shows it.
  void ponUsuario(const QString& usuario);
  void TodosCamposClick();
  void CheckPlantillaClick();
  void GuardarPlantilla1Click();
  void BotonIndicesClick();
  void BotonBuscarClick();
  void BotonFiltrosClick();
  void aplicaFiltro(const std::string& condiciones);
  void BotonCambiosClick();
  void DBGrid1TitleClick(int columna);
  void aplicaTipo(int columna, char tipo, bool total);
  void Sumar1Click();
  // The width prompt (TFormaTamanoColumnas) for the current column, and its answer in
  // characters.
  void TamanoColumnas1Click();
  void aplicaAncho(int columna, int caracteres);
  void BotonBordesClick();
  void DBGrid1DblClick();
  void ReporteClick(int n);
  // The picture view of the product catalogue: the current row's product picture
  // (IMAGE_I) beside the grid; "Imagen" when there is none.
  void ponVistaImagenes(bool activa);
  QLabel* imagen() const { return Imagen; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void pintaColumnas();
  void reparteAnchos();
  int anchoNatural(int columna) const;
  void muestraImagen();

  mostrador::base::Interaccion& ui_;
  std::string sistema_, datos_, programaHoja_;
  const mostrador::base::TablaProgramas& programas_;
  mostrador::base::Procesos& procesos_;
  std::function<void(const std::string&, const std::string&)> abreModulo_;
  std::unique_ptr<mostrador::designers::NavegadorCatalogo> n_;
  ModeloCatalogo* modelo_;
  QTableView* DBGrid1;
  QCheckBox* CheckPlantilla;
  QLabel* Estado;
  QLabel* Usuario;
  QLabel* Imagen;
  QMenu* Reportes1;
  bool repartiendo_ = false;
};
