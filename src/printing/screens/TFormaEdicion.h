#pragma once
// The preview screen: draws the preview file of a print run page by page and lets the
// user place free comment texts before printing. Shown modally by the preview protocol
// (printing/vista_previa.h); the drawing rules live there.

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTextEdit>
#include <array>
#include <string>

#include "printing/vista_previa.h"

class TFormaEdicion : public QDialog, public mostrador::printing::PantallaVistaPrevia {
  Q_OBJECT

 public:
  // dirSistema: the station's system directory (preview and comments files under
  // "\tempo"). guardaPaginaAlCerrar: store the current page as "\tempo\pag<n>.bmp" on
  // closing.
  explicit TFormaEdicion(std::string dirSistema, QWidget* parent = nullptr,
                         bool guardaPaginaAlCerrar = false);

  bool muestra() override;

  // Commands.
  void Carta1Click();
  void Ticket1Click();
  void BotonAumentoClick();
  void BotonDisminuyeClick();
  void NumerodePaginaChange();
  void BotonComentarioClick();  // shows the note
  void BotonCampoClick();       // shows the first one-line field not in use
  void BotonImprimirClick();
  void GuardarPagina1Click();

  int paginaActual() const { return pagina_; }
  int paginas() const { return paginas_; }
  bool impresionSolicitada() const { return imprimir_; }
  QWidget* hoja() const;
  // Moves a comment item to a point of the sheet, as dragging it does.
  void mueveComentario(QWidget* item, QPoint dentroDeLaHoja);

 protected:
  bool eventFilter(QObject* objeto, QEvent* evento) override;
  void done(int r) override;

 private:
  class Hoja;
  void actualizaPaginas(int n);
  void tamanoHoja(int ancho, int alto);
  mostrador::printing::PosicionComentario posicion(const QWidget* item) const;

  std::string dirSistema_;
  bool guardaPagina_;
  int pagina_ = 1;
  int paginas_ = 0;
  bool imprimir_ = false;
  QScrollArea* visor_;
  Hoja* hoja_;
  QLineEdit* NumerodePagina;
  QLabel* LabelPaginas;
  QLabel* EstadoPosicion;
  QTextEdit* Comentario;
  std::array<QLineEdit*, 10> campos_{};
  QPoint arrastre_;
};
