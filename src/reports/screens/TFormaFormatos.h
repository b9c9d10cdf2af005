#pragma once
// The report filter dialog as the report commands use it: dates, document range, three
// field conditions, the order column and the include flags. It edits a FiltroReporte
// (printing/filtro_reporte.h), where the conditions are built.

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <functional>
#include <string_view>

#include "reports/filtro_reporte.h"

class TFormaFormatos : public QDialog, public mostrador::reports::DialogoFiltro {
  Q_OBJECT

 public:
  explicit TFormaFormatos(QWidget* parent = nullptr);

  // Shows the dialog on the state; true on the answer 1.
  bool pide(mostrador::reports::FiltroReporte& filtro) override;
  // Loads the state into the controls and reads it back.
  void carga(const mostrador::reports::FiltroReporte& f);
  void lee(mostrador::reports::FiltroReporte& f) const;

  // Double click on a value: the list picker of the field's values in the table.
  void ValorDobleClick(int condicion);
  void BitBtn4Click();      // accept: answer 1
  void BitBtn3Click();      // answer 2
  void BotonAceptarClick();  // answer 3
  // The format editing command: unless the answer is already 3, the format designer,
  // its open dialog in "\consulta" of the system directory; then answer 1 and close.
  void BotonEdicionClick();
  int respuesta() const { return respuesta_; }

  // The designer lives in a higher layer: the program registers how it is opened
  // (parent, the directory its open dialog starts in).
  using EditorFormatos = std::function<void(QWidget* padre, const std::string& dirInicial)>;
  static void registraEditor(EditorFormatos editor);
  void ponDirectorioSistema(std::string sistema) { sistema_ = std::move(sistema); }

  // Captions the dialog "Datos del Reporte", enables or disables the date pair, the
  // range pair, the include flags and the conditions, and loads the table's field lists
  // (the dictionary's entries, then the definition's select-list fields it knows).
  void PreparaFiltro(mostrador::reports::FiltroReporte& f, bool fechas, bool rango, bool incluir1,
                     std::string_view tabla, bool condiciones, bool incluir3, bool devoluciones,
                     std::string_view definicion = {});
  // A caller's own caption, kept over the state's title when the dialog is shown.
  void ponCaption(const QString& caption) {
    caption_ = caption;
    setWindowTitle(caption);
  }

  QDateEdit* Inicial;
  QDateEdit* Final;
  QLineEdit* De;
  QLineEdit* Hasta;
  std::array<QComboBox*, 3> Condicion;
  std::array<QComboBox*, 3> Operador;
  std::array<QLineEdit*, 3> Valor;
  QComboBox* Orden;
  QCheckBox* Incluir1;
  QCheckBox* IncluirDevoluciones;
  QCheckBox* Incluir3;
  QLineEdit* Titulo;
  QPushButton* BitBtn4;
  QPushButton* BitBtn3;
  QPushButton* BotonAceptar;
  QPushButton* BotonEdicion;
  // The report options and the format command; the main window's format entry hides
  // the first.
  QWidget* Rangos;
  QWidget* Formatos;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  std::vector<mostrador::reports::CampoFiltro> campos_;
  std::string datos_, tabla_, sistema_;
  QString caption_;
  int respuesta_ = 0;
};
