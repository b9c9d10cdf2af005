#pragma once
// The customer screen's companions, each made for one use: the discounts by product
// line (TFormaPoliticaClientes) and the contacts (TFormaContactos). Both write through
// accounts/complementos_cliente.h, one change at a time.

#include <QDialog>
#include <string>

#include "base/interaccion.h"

class QListWidget;
class QTableWidget;

namespace mostrador::accounts {

class TFormaPoliticaClientes : public QDialog {
  Q_OBJECT
 public:
  TFormaPoliticaClientes(std::string dirDatos, std::string cliente, base::Interaccion& ui, QWidget* parent = nullptr);
  QTableWidget* rejilla() const { return rejilla_; }
  QListWidget* lineas() const { return lista_; }
  // The add button: a row for the line selected in ListaLineas.
  void agrega();
  void quita();

 private:
  void carga();
  void celdaCambiada(int fila, int columna);
  std::string dirDatos_, cliente_;
  base::Interaccion& ui_;
  QTableWidget* rejilla_;
  QListWidget* lista_;
  bool cargando_ = false;
};

class TFormaContactos : public QDialog {
  Q_OBJECT
 public:
  TFormaContactos(std::string dirDatos, std::string cliente, base::Interaccion& ui, QWidget* parent = nullptr);
  QTableWidget* rejilla() const { return rejilla_; }
  void nuevo();
  void quita();

 private:
  void carga();
  void celdaCambiada(int fila, int columna);
  std::string dirDatos_, cliente_;
  base::Interaccion& ui_;
  QTableWidget* rejilla_;
  bool cargando_ = false;
};

}  // namespace mostrador::accounts
