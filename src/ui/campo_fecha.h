#pragma once
// The date field of every screen: a date picker whose text takes a typed "dd/MM/aaaa".
//
// The stock picker edits one section at a time and only where its cursor happens to
// stand, so typing "01/01/2025" into it left the day untouched. Here the digits typed
// overwrite the date's eight digits from the left, as a masked field does: "01012025"
// and "01/01/2025" both give 1 January 2025, and a separator after a single digit pads
// it ("1/1/2025" is the same date). Each digit that completes a valid date sets it at
// once; an impossible date half typed ("31/02/...") waits for the next digits, and the
// field keeps its last valid date if it is left that way. Entering the field starts the
// typing at the day; a click starts it where it lands. Arrows and the calendar work as
// before.

#include <QDate>
#include <QDateEdit>

namespace mostrador::ui {

class CampoFecha : public QDateEdit {
  Q_OBJECT
 public:
  explicit CampoFecha(QWidget* parent = nullptr);
  CampoFecha(const QDate& fecha, QWidget* parent = nullptr);

  // The digit the next key overwrites (0 to 7: dd MM yyyy).
  int posicionTecleo() const { return posicion_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void configura();
  // The eight digits shown (from the text, or from the date when the text has fewer).
  QString digitos() const;
  void muestra(const QString& digitos);
  static int posicionEnTexto(int digito);
  // The first digit of the section the text cursor stands in.
  int seccionDelCursor() const;

  int posicion_ = 0;
  QString pendientes_;  // the eight digits of a date half typed that is no date yet
  bool poniendo_ = false;
};

}  // namespace mostrador::ui
