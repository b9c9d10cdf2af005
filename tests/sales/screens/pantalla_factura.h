#pragma once
// The sales screen on a company with two products (MART, barcode 7501234567890, 100 with
// 16% tax, 10 in stock; CLAV, barcode 7509999999999, 20), driven key by key as a clerk
// does: what the sales screen tests share.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTableWidget>
#include <QTest>
#include <memory>
#include <string>

#include "support/principal_aplicacion.h"
#include "sales/screens/TFormaFactura.h"
#include "support/dialogos_venta_falsos.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"

namespace mostrador::sales {

struct PantallaFactura : ::testing::Test {
  QApplication& qt = prueba::aplicacionQt();
  prueba::DirectorioTemporal dir;
  prueba::EmpresaVentas emp;
  prueba::InteraccionFalsa ui;
  prueba::DialogosVentaFalsos dlg;
  prueba::RelojFijo reloj{base::FechaHora{{2025, 3, 15}, {12, 0, 0, 0}}};  // stamp 50000
  std::unique_ptr<TFormaFactura> forma;

  PantallaFactura() {
    prueba::ProductoVenta p;
    p.clave = "MART";
    p.codigo = "7501234567890";
    p.descripcion = "Martillo";
    p.existencia = 10;
    p.precio = 100;
    p.impuesto = 16;
    emp.producto(p);
    p.clave = "CLAV";
    p.codigo = "7509999999999";
    p.descripcion = "Clavos";
    p.precio = 20;
    emp.producto(p);
  }
  ~PantallaFactura() override { forma.reset(); }

  TFormaFactura& abre() {
    forma = std::make_unique<TFormaFactura>(emp.ajustes(), ui, reloj, nullptr, &dlg);
    forma->show();
    forma->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(forma.get()));
    return *forma;
  }
  template <class W>
  W* w(const char* nombre) {
    W* r = forma->findChild<W*>(nombre);
    EXPECT_NE(r, nullptr) << nombre;
    return r;
  }
  std::string etiqueta(const char* nombre) { return w<QLabel>(nombre)->text().toStdString(); }
  QTableWidget* rejilla() { return w<QTableWidget>("Detalle"); }
  // Keys go where the cursor is, as the user's do.
  QWidget* foco() {
    QWidget* f = QApplication::focusWidget();
    if (!f) f = forma->focusWidget();
    return f ? f : forma.get();
  }
  void tecla(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QTest::keyClick(foco(), k, m);
    QApplication::processEvents();
  }
  void teclea(const QString& texto) {
    for (QChar c : texto) QTest::keyClick(foco(), c.toLatin1());
  }
  // The cursor on a cell of the grid, as a click leaves it.
  void celda(int fila, int columna) {
    rejilla()->setFocus();
    rejilla()->setCurrentCell(fila, columna);
    QApplication::processEvents();
  }
  std::string texto(int fila, int columna) {
    QTableWidgetItem* i = rejilla()->item(fila, columna);
    return i ? i->text().toStdString() : "<sin celda>";
  }
};

}  // namespace mostrador::sales
