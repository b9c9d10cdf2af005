#pragma once
// The stock dialogs every screen uses: message box, confirmation, pending changes,
// search box, number prompt, list picker, field chooser, non-indexed search, description
// popup, help viewer and the operator legend. Each is modal (the popup aside) and gives
// its answer to the caller; none knows any business rule.
//
// Also the keyboard rule of the data-entry screens: Enter and Down move to the next
// field, Up to the previous one (instalaNavegacion).

#include <QBoxLayout>
#include <QDialog>
#include <QPushButton>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/interaccion.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QTextEdit;
class QComboBox;

namespace mostrador::dbf {
class Table;
}

namespace mostrador::ui {

// A button of a screen's toolbar: named (tests and rights find it by name), never the
// dialog's default button, added to `barra`, calling `accion` of the form.
template <class Forma>
QPushButton* botonDeBarra(QBoxLayout* barra, Forma* forma, const char* nombre, const QString& texto,
                          void (Forma::*accion)()) {
  auto* b = new QPushButton(texto, forma);
  b->setObjectName(nombre);
  b->setAutoDefault(false);
  QObject::connect(b, &QPushButton::clicked, forma, [forma, accion] { (forma->*accion)(); });
  barra->addWidget(b);
  return b;
}

// Installs the Enter/Down/Up field navigation on every entry field below the form. A
// widget with the property "enterPropio" set keeps its own Enter (e.g. a key field that
// signs in).
void instalaNavegacion(QWidget* forma);

// The program-wide rule of the string grids: while an editable QTableWidget (or the
// editor open in one of its cells) has the focus, Enter and Down act as Tab, moving to
// the next cell. A grid with the property "enterPropio" keeps its own keys. Installed
// once on the application; later calls do nothing.
void instalaReglaRejillas();

// A window never narrower than its own title (plus the room the title bar's buttons
// take), so that no caption reads "Informaci…el Sistema".
void anchoParaTitulo(QWidget* ventana);
// A read-only field as wide as the text it shows, shown from its start.
void anchoParaTexto(class QLineEdit* campo);

// --- TDialogo: the message box ---
class TDialogo : public QDialog {
  Q_OBJECT
 public:
  explicit TDialogo(const QString& texto, QWidget* parent = nullptr);
  QString texto() const;  // as shown, with the nine trailing blanks

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;

 private:
  QLabel* texto_;
  QPushButton* boton_;
};

// --- TFormaAdvertencia: confirmation, answers 1 (Si), 0 (No), 2 (Capturar Clave) ---
class TFormaAdvertencia : public QDialog {
  Q_OBJECT
 public:
  explicit TFormaAdvertencia(const QString& pregunta = {}, bool conClave = false,
                             QWidget* parent = nullptr);
  int respuesta() const { return respuesta_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void responde(int r);
  QPushButton* clave_;
  int respuesta_ = 0;
};

// --- TFormaCerrar: pending changes, answers 1 save, 2 discard, 3 stay ---
class TFormaCerrar : public QDialog {
  Q_OBJECT
 public:
  explicit TFormaCerrar(QWidget* parent = nullptr);
  int respuesta() const { return respuesta_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  int respuesta_ = 3;
};

// --- TFormaBusqueda: search text and field; Esc cancels ---
class TFormaBusqueda : public QDialog {
  Q_OBJECT
 public:
  explicit TFormaBusqueda(bool conDireccion, QWidget* parent = nullptr);
  std::optional<base::Busqueda> resultado() const;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  QLineEdit* caja_;
  QRadioButton *clave_, *nombre_, *direccion_;
  bool cancelada_ = true;
};

// --- TFormaDato: number prompt ---
class TFormaDato : public QDialog {
  Q_OBJECT
 public:
  explicit TFormaDato(const QString& titulo, QWidget* parent = nullptr);
  // The text typed, "0" when it is not a valid number.
  QString dato() const;
  QString textoCrudo() const;
  QString estado() const;  // "Número Válido" / "Número no Válido"

 private:
  void cambia(const QString& t);
  QLineEdit* edit_;
  QLabel* estado_;
  QString anterior_;
};

// --- TFormaLineas: pick one row of a statement's result ---
class TFormaLineas : public QDialog {
  Q_OBJECT
 public:
  TFormaLineas(const QStringList& columnas, const std::vector<QStringList>& filas,
               QWidget* parent = nullptr);
  int fila() const { return fila_; }  // -1 when closed without a pick

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void escoge();
  QTableWidget* tabla_;
  int fila_ = -1;
};

// --- TFormaCampos: field chooser over the field catalogue ---
class TFormaCampos : public QDialog {
  Q_OBJECT
 public:
  // The tables by caption, in the chooser's order: {"Clientes", "cliente.dbf"}, ...
  static const std::vector<std::pair<QString, QString>>& tablas();
  // lineasDe gives the chooser lines of a table file ("[000]CLCLI_C  Clave...").
  TFormaCampos(std::function<QStringList(const QString& tabla)> lineasDe,
               QWidget* parent = nullptr);
  void escogeTabla(const QString& titulo);
  QStringList lineas() const;
  // The caption of the table shown.
  QString titulo() const;
  // The field name of the picked line ("" when none) and the line itself.
  QString campo() const { return campo_; }
  QString linea() const { return linea_; }

 private:
  void imprime();
  std::function<QStringList(const QString&)> lineasDe_;
  QComboBox* tabla_;
  QListWidget* lista_;
  QString campo_, linea_;
};

// The chooser lines of the field catalogue "<system directory>\confcamp.cmp".
std::function<QStringList(const QString& tabla)> lineasDelCatalogo(const std::string& directorioSistema);

// --- TFormaBusquedaNoIndexada: a field by its description and a value ---
class TFormaBusquedaNoIndexada : public QDialog {
  Q_OBJECT
 public:
  // campos: {field name, description shown}.
  TFormaBusquedaNoIndexada(const std::vector<std::pair<QString, QString>>& campos,
                           QWidget* parent = nullptr);
  QString campo() const;
  QString valor() const;
  // The table's fields from the field catalogue: {name, description shown}.
  static std::vector<std::pair<QString, QString>> camposDelCatalogo(const std::string& directorioSistema,
                                                                    const QString& tabla);
  // Offers the fields of the table file (the field catalogue of the system directory)
  // and asks the value: {field name, value}, nullopt when cancelled or no field chosen.
  static std::optional<std::pair<std::string, std::string>> pide(QWidget* padre, const std::string& dirSistema,
                                                                 const std::string& tabla);
  // The whole command of a screen: asks, then searches the open table record by record
  // (store/busqueda_campo.h), saying "No se Encuentra" or "Valor no Válido Revise Por
  // Favor"; true when the table stands on the record found.
  static bool busca(QWidget* padre, const std::string& dirSistema, const std::string& nombreTabla,
                    dbf::Table& tabla, base::Interaccion& ui);

 private:
  std::vector<std::pair<QString, QString>> campos_;
  QListWidget* lista_;
  QLineEdit* valor_;
};

// --- TFormaDescribe: the description popup of a button ---
class TFormaDescribe : public QDialog {
  Q_OBJECT
 public:
  explicit TFormaDescribe(const QString& texto, QWidget* parent = nullptr);
  // Places the popup just below the widget.
  void debajoDe(QWidget* w);
  QString texto() const;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;

 private:
  QLabel* texto_;
};

// --- TFormaAyudaLinea: the help topic viewer ---
class TFormaAyudaLinea : public QDialog {
  Q_OBJECT
 public:
  // ui answers the search box of "Buscar" and shows the F3 message.
  TFormaAyudaLinea(base::Interaccion& ui, QWidget* parent = nullptr);
  // Loads a ".rtf" (its text), a ".mht" page (its HTML) or any text file; false when it
  // does not exist.
  bool abre(const QString& rutaLocal);
  // The help command of a screen: the page at a stored path in a viewer of its own that
  // does not block the screen; a missing page says "El Archivo <path> No Existe".
  static TFormaAyudaLinea* muestra(QWidget* padre, std::string_view ruta, base::Interaccion& ui);
  QString textoTema() const;
  void busca(const QString& texto);  // first occurrence
  void buscaOtraVez();               // F3
  int posicion() const { return posicion_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  base::Interaccion& ui_;
  QTextEdit* tema_;
  QString buscado_;
  int posicion_ = -1;
};

// Plain text of an RTF document: groups, control words and destinations dropped,
// \par and \line as line breaks, \'hh as Windows-1252 characters.
QString textoDeRtf(const QByteArray& rtf);

// --- TFormaOperador: the filter operator legend ---
class TFormaOperador : public QDialog {
  Q_OBJECT
 public:
  explicit TFormaOperador(QWidget* parent = nullptr);
  QLabel* leyenda() const { return leyenda_; }

 private:
  QLabel* leyenda_;
};

}  // namespace mostrador::ui
