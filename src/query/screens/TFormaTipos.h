#pragma once
// The two one-value prompts of the query console and the catalogue browser: the column
// kind (TFormaTipos: "n" number, "m" amount, "c" text, "i" hidden, with a total box) and
// the column width (TFormaTamanoColumnas: "20" when left empty or not a whole number).

#include <QColor>
#include <QDialog>
#include <string>
#include <string_view>

class QCheckBox;
class QLineEdit;
class QRadioButton;

// The colour a column's title takes for its kind: numbers green, amounts orange, text
// blue, anything else black.
QColor colorDeTipo(char tipo);

class TFormaTipos : public QDialog {
  Q_OBJECT
 public:
  explicit TFormaTipos(QWidget* parent = nullptr);
  // The kind letter chosen; ' ' when cancelled.
  char tipo() const;
  bool total() const;
  void eligeTipo(char t);

 private:
  QRadioButton* opciones_[4];
  QCheckBox* Total;
};

class TFormaTamanoColumnas : public QDialog {
  Q_OBJECT
 public:
  explicit TFormaTamanoColumnas(QWidget* parent = nullptr);
  std::string ancho() const;
  QLineEdit* Edit1;
};

// The width the prompt answers for what was typed.
std::string anchoColumnaTecleado(std::string_view texto);
