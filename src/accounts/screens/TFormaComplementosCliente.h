#pragma once
// The customer screen's companions, each made for one use: the discounts by product
// line (TFormaPoliticaClientes) and the contacts (TFormaContactos; a supplier's in
// TFormaContactosProveedor). Both write through
// accounts/complementos_cliente.h, one change at a time.

#include <QDialog>
#include <string>

#include "accounts/complementos_cliente.h"
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
  // libro: whose contacts (customers' by default; TFormaContactosProveedor gives the
  // suppliers').
  TFormaContactos(std::string dirDatos, std::string cliente, base::Interaccion& ui, QWidget* parent = nullptr,
                  const LibroContactos& libro = kContactosClientes);
  QTableWidget* rejilla() const { return rejilla_; }
  void nuevo();
  void quita();

 private:
  void carga();
  void celdaCambiada(int fila, int columna);
  std::string dirDatos_, cliente_;
  base::Interaccion& ui_;
  const LibroContactos& libro_;
  QTableWidget* rejilla_;
  bool cargando_ = false;
};

// The supplier's contacts (contprov.dbf): a new row gets CLAVE_P = the supplier's key.
class TFormaContactosProveedor : public TFormaContactos {
  Q_OBJECT
 public:
  TFormaContactosProveedor(std::string dirDatos, std::string proveedor, base::Interaccion& ui,
                           QWidget* parent = nullptr);
};

}  // namespace mostrador::accounts
