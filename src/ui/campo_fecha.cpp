#include "ui/campo_fecha.h"

#include <algorithm>

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QValidator>

namespace mostrador::ui {

namespace {
constexpr int kDigitos = 8;
// Where each section of dd MM yyyy starts, in digits.
bool inicioDeSeccion(int digito) { return digito == 0 || digito == 2 || digito == 4; }
}  // namespace

CampoFecha::CampoFecha(QWidget* parent) : QDateEdit(QDate::currentDate(), parent) { configura(); }

CampoFecha::CampoFecha(const QDate& fecha, QWidget* parent) : QDateEdit(fecha, parent) { configura(); }

void CampoFecha::configura() {
  setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
  setCalendarPopup(true);
  lineEdit()->installEventFilter(this);
  // A date set from outside (the calendar, the arrows, the program) ends a date half
  // typed.
  connect(this, &QDateEdit::dateChanged, this, [this] {
    if (!poniendo_) pendientes_.clear();
  });
}

int CampoFecha::posicionEnTexto(int digito) {
  // "dd/MM/yyyy": a separator after the day and after the month.
  return digito + (digito >= 2 ? 1 : 0) + (digito >= 4 ? 1 : 0);
}

QString CampoFecha::digitos() const {
  // The stock editor may put back its own text over a date half typed, so the digits
  // typed are kept here and not read back from the text.
  if (!pendientes_.isEmpty()) return pendientes_;
  return date().toString(QStringLiteral("ddMMyyyy"));
}

void CampoFecha::muestra(const QString& d) {
  const QDate f = QDate::fromString(d, QStringLiteral("ddMMyyyy"));
  if (f.isValid() && f >= minimumDate() && f <= maximumDate()) {
    pendientes_.clear();
    poniendo_ = true;
    setDate(f);
    poniendo_ = false;
    // The same date as before sets nothing: the text may still show a date half typed.
    const QString texto = f.toString(displayFormat());
    if (lineEdit()->text() != texto) lineEdit()->setText(texto);
  } else {
    // Not a date yet: shown as typed until the digits that make it one arrive; leaving
    // the field this way brings back the last valid date.
    pendientes_ = d;
    // Shown without a signal and past the validator: the stock editor would take
    // "31/02" for a date to correct and put the last day of February in its place
    // before the month is typed.
    QSignalBlocker sinAviso(lineEdit());
    const QValidator* validador = lineEdit()->validator();
    lineEdit()->setValidator(nullptr);
    lineEdit()->setText(d.left(2) + '/' + d.mid(2, 2) + '/' + d.mid(4));
    lineEdit()->setValidator(validador);
    lineEdit()->setCursorPosition(posicionEnTexto(posicion_));
    return;
  }
  lineEdit()->setCursorPosition(posicionEnTexto(posicion_));
}

void CampoFecha::keyPressEvent(QKeyEvent* e) {
  const QString t = e->text();
  const bool soloTexto = !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
  if (soloTexto && t.size() == 1 && t[0].isDigit() && !isReadOnly()) {
    if (posicion_ >= kDigitos) posicion_ = 0;
    QString d = digitos();
    d[posicion_] = t[0];
    ++posicion_;
    muestra(d);
    e->accept();
    return;
  }
  if (soloTexto && t.size() == 1 && (t[0] == '/' || t[0] == '-' || t[0] == '.') && !isReadOnly()) {
    // A separator closes the section being typed: one digit typed is padded with a
    // "0" ("1/" is "01/"); at the start of a section it only passes the separator.
    if (posicion_ == 1 || posicion_ == 3) {
      QString d = digitos();
      const int inicio = posicion_ - 1;
      d[inicio + 1] = d[inicio];
      d[inicio] = '0';
      ++posicion_;
      muestra(d);
    }
    e->accept();
    return;
  }
  if (e->key() == Qt::Key_Backspace && !isReadOnly()) {
    if (posicion_ > 0) --posicion_;
    lineEdit()->setCursorPosition(posicionEnTexto(posicion_));
    e->accept();
    return;
  }
  if (e->key() == Qt::Key_Home) posicion_ = 0;
  QDateEdit::keyPressEvent(e);
  if (e->key() == Qt::Key_Left || e->key() == Qt::Key_Right || e->key() == Qt::Key_Home || e->key() == Qt::Key_End) {
    // The arrows move between sections: the typing follows them.
    posicion_ = seccionDelCursor();
  }
}

void CampoFecha::focusInEvent(QFocusEvent* e) {
  QDateEdit::focusInEvent(e);
  if (e->reason() != Qt::MouseFocusReason) {
    posicion_ = 0;
    setSelectedSection(QDateTimeEdit::DaySection);
  }
}

void CampoFecha::focusOutEvent(QFocusEvent* e) {
  // Left half typed: the field shows its last valid date again.
  pendientes_.clear();
  posicion_ = 0;
  QDateEdit::focusOutEvent(e);
  const QString texto = date().toString(displayFormat());
  if (lineEdit()->text() != texto) lineEdit()->setText(texto);
}

bool CampoFecha::eventFilter(QObject* o, QEvent* e) {
  // A click on the text starts the typing at the beginning of the section it lands in
  // (the click goes to the editor's line, not to the field).
  if (o == lineEdit() && e->type() == QEvent::MouseButtonRelease) posicion_ = seccionDelCursor();
  return QDateEdit::eventFilter(o, e);
}

int CampoFecha::seccionDelCursor() const {
  const QString texto = lineEdit()->text();
  const int cursor = std::min(lineEdit()->cursorPosition(), static_cast<int>(texto.size()));
  int digito = 0;
  for (int i = 0; i < cursor; ++i)
    if (texto[i].isDigit()) ++digito;
  while (digito > 0 && !inicioDeSeccion(digito)) --digito;
  return std::min(digito, kDigitos - 1);
}

}  // namespace mostrador::ui
