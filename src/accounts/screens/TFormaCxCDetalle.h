#pragma once
// TFormaCxCDetalle: the receivables detail of one document (accounts/cuentas.h): its
// entries in index order (credits in red), the balance as "$" + "###,###,##0.00" with
// "Deudor" in red or "Saldada", the customer key, applied and due dates of the first entry
// and the due state. Reading it stores the balance on the document's first entry.

#include <QDialog>
#include <optional>
#include <string>

#include "accounts/cuentas.h"
#include "base/interaccion.h"
#include "base/reloj.h"

class QLabel;
class QTableView;

namespace mostrador::ui {
class ModeloFilas;
}

namespace mostrador::accounts {

class TFormaCxCDetalle : public QDialog {
  Q_OBJECT
 public:
  TFormaCxCDetalle(QWidget* padre, std::string dirDatos, std::string documento, base::Interaccion& ui,
                   const base::Reloj& reloj);

  // Opens the window on the document and waits until it closes. A document without
  // entries shows "El Documento No Existe" and no window; false then.
  static bool muestra(QWidget* padre, const std::string& dirDatos, const std::string& documento,
                      base::Interaccion& ui, const base::Reloj& reloj);

  // Reads the document again (also after another station's payment) and paints it; false,
  // with the message said, when it has no entries or the tables do not open.
  bool carga();

  const std::optional<DetalleDocumento>& detalle() const { return detalle_; }
  QTableView* rejilla() const { return rejilla_; }
  const ui::ModeloFilas& filas() const { return *modelo_; }
  QString etiqueta(const char* nombre) const;

 private:
  void pinta();

  std::string dirDatos_, documento_;
  base::Interaccion& ui_;
  const base::Reloj& reloj_;
  std::optional<DetalleDocumento> detalle_;
  QTableView* rejilla_;
  ui::ModeloFilas* modelo_;
  QLabel *titulo_, *saldo_, *estado_, *cliente_, *aplicado_, *vence_, *vencimiento_;
};

}  // namespace mostrador::accounts
