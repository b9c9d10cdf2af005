#pragma once
// The till commands of the sales screens (the document screen and the counter screen)
// with the real dialogs: the payment window, cash in and out with its voucher, the till
// record, and the cuts and till reports.

#include <QWidget>
#include <string_view>

#include "base/interaccion.h"
#include "sales/ajustes.h"
#include "sales/caja.h"
#include "sales/tipos_venta.h"
#include "session/sesion.h"

namespace mostrador::sales {

// The payment window of ImprimiryAsignarCaja1Click (PeticionPago::ventana): its title,
// its text and the customer; true when accepted.
bool ventanaPagoQt(QWidget* padre, std::string_view titulo, std::string_view texto, std::string_view cliente);

// SalidasdeEfectivo1Click (Salida) and EntradasdeEfectivo1Click (Entrada): the cash
// window at this till; on acceptance the voucher "\consulta\retiro.fmt" is printed.
void efectivoQt(QWidget* padre, ModoEfectivo modo, const AjustesVenta& aj, session::Sesion& sesion);

// ConfigurarCaja1Click: the till dialog over the install directory.
void configuraCajaQt(QWidget* padre, const AjustesVenta& aj, base::Interaccion& ui);

// The till's reports by the name of their menu command: "CortedeCaja1", "CorteZ1",
// "CorteZRESUMEN1", "CortedeCajayRetiros1", "VentasporCaja1", "DocumentosPagados1",
// "DocumentosnoPagados1". The date range is asked; the paid / unpaid documents ask the
// till first.
void reporteCajaQt(QWidget* padre, std::string_view comando, const AjustesVenta& aj, TipoVenta tipo,
                   session::Sesion& sesion);

}  // namespace mostrador::sales
