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
#include <vector>

#include "designers/diseno_formato.h"
#include "printing/vista_previa.h"
#include "base/interaccion.h"

class QComboBox;
class QListWidget;
class QPlainTextEdit;
class QWidget;

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

  // Designer mode: the code editor, the field list, the line and column indicators and
  // the editing tools. ui answers the file dialogs and the overwrite question. A format
  // named here (other than "*.fmt") is loaded at once; dirInicial is where the open
  // dialog starts ("\consulta" of the system directory for the filter dialog).
  void modoDiseno(mostrador::base::Interaccion& ui, const std::string& archivo = {},
                  const std::string& dirInicial = {});
  bool enDiseno() const { return ui_ != nullptr; }
  void Nuevo1Click();
  void Abrir1Click();
  void Guardar1Click();
  void Compilar1Click();
  void ListadeImpresoras1Click();
  void agregaImpresora(const std::string& nombre);
  void AumentarEditor1Click();
  void Imprimir1Click();  // the code, job title "Codigo " + the file name
  void Fuentes1Click();
  void Temas1Click();     // help topic "\ayuda\edicion.rtf"
  void muestraListaCampos();        // F2
  void ListaCamposElige(int fila);  // double click or Enter on an entry
  // The field chooser: the table chosen there becomes the module whose field list F2
  // shows; a field picked there puts its "[nnn]" reference at the end of the current line.
  void Campos1Click();
  void tomaDelSelector(const QString& titulo, const QString& linea, int lineaCodigo);
  QString modulo() const;
  void AsistenteClick();
  enum class Herramienta { Ninguna, Campo, Etiqueta, Cuadro };
  void eligeHerramienta(Herramienta h) { herramienta_ = h; }
  // A click on the sheet with a tool chosen places an item there.
  void clicEnHoja(QPoint punto);
  const std::vector<bool>& revision() const { return revision_; }
  const std::vector<mostrador::designers::ElementoBoceto>& boceto() const { return boceto_; }
  const std::string& archivo() const { return archivo_; }
  std::vector<std::string> lineasCodigo() const;

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

  // Designer mode.
  void actualizaIndicadores();
  mostrador::base::Interaccion* ui_ = nullptr;
  std::string archivo_, dirInicial_;
  QWidget* PanelDiseno = nullptr;
  QPlainTextEdit* Codigo = nullptr;
  QLabel* LabelLinea = nullptr;
  QLabel* LabelColumna = nullptr;
  QListWidget* ListaCampos = nullptr;
  QComboBox* Modulo = nullptr;
  QWidget* PanelHerramientas = nullptr;
  std::vector<bool> revision_;
  std::vector<mostrador::designers::ElementoBoceto> boceto_;
  bool asistente_ = false;
  bool editorAncho_ = false;
  Herramienta herramienta_ = Herramienta::Ninguna;
  int lineaLista_ = 0;
  std::vector<QLabel*> camposAsistente_, etiquetas_;
  std::vector<QWidget*> cuadros_;
};
