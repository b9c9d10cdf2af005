#include "app/arranque_qt.h"

#include <QApplication>

#include "shell/arranque.h"
#include "session/inicio.h"
#include "base/rutas.h"
#include "base/numeros.h"
#include "session/usuarios.h"
#include "store/dbf/dbf_table.h"
#include "store/demo.h"
#include "session/empresa_nueva.h"
#include "store/numeracion.h"
#include "store/sql/sql.h"
#include "shell/screens/TFormaElipse.h"
#include "session/screens/TFormaEmpresas.h"
#include "shell/screens/TFormaPrincipal.h"
#include "base/describe.h"
#include "base/texto.h"
#include "sales/ajustes.h"
#include "accounts/screens/TFormaClientes.h"
#include "accounts/screens/TFormaConClientes.h"
#include "accounts/screens/TFormaCxCDetalle.h"
#include "accounts/screens/TFormaVendedor.h"
#include "accounts/screens/TFormaConProvee.h"
#include "accounts/screens/TFormaConsultaCuePagar.h"
#include "accounts/screens/TFormaProveedo.h"
#include "inventory/screens/TFormaInventario.h"
#include "inventory/screens/TFormaCompras.h"
#include "accounts/screens/TFormaCxPDetalle.h"
#include "inventory/reconstruccion.h"
#include "inventory/screens/TFormaMovimientosInventario.h"
#include "inventory/screens/TFormacomovinv.h"
#include "sales/screens/TFormaDivisa.h"
#include "sales/screens/TFormaCapturaRapida.h"
#include "sales/screens/TFormaClaveRapida.h"
#include "sales/screens/TFormaFactura.h"
#include "session/derechos.h"
#include "ui/interaccion_qt.h"
#include "designers/screens/TFormaCatalogo.h"
#include "designers/screens/TFormaDisenoVista.h"
#include "query/screens/TFormaSQL.h"
#include "reports/screens/TFormaFormatos.h"
#include "reports/screens/TFormaReporteSQL.h"
#include "reports/reporte_sql.h"
#include "base/programas.h"

namespace mostrador::app {

namespace {

// The configuration lines of the signed-in company; nullopt when they cannot be read
// (the reader has said why).
std::optional<std::vector<std::string>> lineasEmpresa(shell::TFormaPrincipal& principal, base::Interaccion& ui) {
  const std::optional<std::string> archivo = principal.motor().configuracion().archivoConfiguracion();
  if (!archivo) return std::nullopt;
  auto lineas = base::leeLineas(*archivo);
  if (!lineas) ui.mensaje("El Archivo " + *archivo + " No Existe");
  return lineas;
}

// The sales document screen, with the company's settings read afresh.
void abreFactura(shell::TFormaPrincipal& principal, session::Sesion& sesion, const shell::Apertura& a) {
  base::Interaccion& ui = sesion.ui();
  const base::Reloj& reloj = sesion.reloj();
  const std::string sistema = principal.motor().directorioSistema();
  const auto lineas = lineasEmpresa(principal, ui);
  if (!lineas) return;  // the reader has said why
  sales::AjustesVenta ajustes = sales::leeAjustes(sistema, *lineas);
  if (!ajustes.existeEncabeza) {
    ui.mensaje("El Archivo " + base::une(sistema, "encabeza.cnf") + " No Existe");
    return;
  }
  // Rights are those of whoever signed in at the main window.
  if (!a.usuario.empty()) ajustes.usuario = a.usuario;
  sales::TFormaFactura forma(std::move(ajustes), ui, reloj, &principal);
  forma.ponSesion(sesion);
  forma.exec();
}

void abreCuentasPorPagar(QWidget* padre, shell::TFormaPrincipal& principal, session::Sesion& sesion,
                         const std::string& datos);

// The counter screen (point of sale), with the company's settings read afresh.
void abreCapturaRapida(shell::TFormaPrincipal& principal, session::Sesion& sesion, const shell::Apertura& a) {
  base::Interaccion& ui = sesion.ui();
  const std::string sistema = principal.motor().directorioSistema();
  const auto lineas = lineasEmpresa(principal, ui);
  if (!lineas) return;
  sales::AjustesVenta ajustes = sales::leeAjustes(sistema, *lineas);
  if (!ajustes.existeEncabeza) {
    ui.mensaje("El Archivo " + base::une(sistema, "encabeza.cnf") + " No Existe");
    return;
  }
  if (!a.usuario.empty()) ajustes.usuario = a.usuario;
  sales::TFormaCapturaRapida forma(std::move(ajustes), ui, sesion.reloj(), &sesion, &principal);
  forma.setWindowTitle(forma.windowTitle() + QString::fromStdString(a.tituloAgregado));
  forma.exec();
}

// The query console, the catalogue browser and the view designer.
void registraConsultas(shell::TFormaPrincipal& principal, session::Sesion& sesion) {
  base::Interaccion& ui = sesion.ui();
  auto entorno = [&principal] {
    struct E {
      std::string sistema, datos, hoja;
    };
    return E{principal.motor().directorioSistema(), principal.motor().directorioDatos(),
             principal.motor().configuracion().linea(31).value_or("")};
  };
  principal.registraModulo(shell::Pantalla::SQL, {[&principal, &ui, &sesion, entorno](const shell::Apertura& a) {
                                             auto e = entorno();
                                             TFormaSQL f(ui, e.sistema, e.datos, e.hoja, sesion.programas(), sesion.procesos(),
                                                         &principal);
                                             f.ponUsuario(a.usuario.empty() ? "0" : a.usuario);
                                             f.exec();
                                           },
                                           {}, {}});
  principal.registraModulo(shell::Pantalla::Catalogo, {[&principal, &ui, &sesion, entorno](const shell::Apertura& a) {
                                                  auto e = entorno();
                                                  std::vector<TFormaCatalogo::Columna> columnas;
                                                  for (const auto& c : a.columnas) columnas.push_back({c.campo, c.titulo});
                                                  try {
                                                    // A row opens its module screen on its key.
                                                    auto abreModulo = [&principal, &ui, &sesion, a](const std::string& tabla,
                                                                                          const std::string& clave) {
                                                      // A receivable row shows its document's entries.
                                                      if (base::mismoNombre(tabla, "cuepagar.dbf")) {
                                                        abreCuentasPorPagar(&principal, principal, sesion,
                                                                            a.directorio.empty() ? principal.motor().directorioDatos() : a.directorio);
                                                        return;
                                                      }
                                                      if (base::mismoNombre(tabla, "cucobrar.dbf")) {
                                                        accounts::TFormaCxCDetalle::muestra(
                                                            &principal, a.directorio.empty() ? principal.motor().directorioDatos() : a.directorio,
                                                            clave, ui, sesion.reloj());
                                                        return;
                                                      }
                                                      auto p = shell::pantallaDeCatalogo(tabla);
                                                      if (!p) return;
                                                      shell::Apertura destino(*p);
                                                      destino.usuario = a.usuario;
                                                      destino.directorio = a.directorio;
                                                      destino.tabla = tabla;
                                                      destino.clave = clave;
                                                      if (principal.disponible(*p)) principal.abre(destino);
                                                      else ui.mensaje(shell::mensajeNoDisponible(*p));
                                                    };
                                                    TFormaCatalogo f(ui, e.sistema, a.directorio, a.tabla,
                                                                     std::move(columnas), e.hoja, sesion.programas(),
                                                                     sesion.procesos(), abreModulo, &principal);
                                                    f.ponUsuario(QString::fromStdString(a.usuario));
                                                    f.ponVistaImagenes(a.vistaImagenes);
                                                    f.exec();
                                                  } catch (const dbf::Error& err) {
                                                    ui.mensaje(err.what());
                                                  }
                                                },
                                                {}, {}});
  principal.registraModulo(shell::Pantalla::DisenoVista, {[&principal, &ui, entorno](const shell::Apertura&) {
                                                     auto e = entorno();
                                                     TFormaDisenoVista f(ui, e.sistema, e.datos, &principal);
                                                     f.exec();
                                                   },
                                                   {}, {}});
}

// A module's list report through the one report runner, shown in the report screen.
void correReporteModulo(QWidget* forma, base::Interaccion& ui, const base::Reloj& reloj, const std::string& sistema,
                         const std::string& dir, const inventory::DefinicionReporte& d, const char* tabla,
                         const char* campoDocumento, const char* campoFecha) {
  TFormaFormatos dialogo(forma);
  reports::ContextoReporte c{sistema, dir, ui, &dialogo, &reloj};
  reports::ParametrosReporte p;
  p.definicion = d.texto;
  p.tabla = tabla;
  auto r = reports::EjecutaReporte(c, d.titulo, campoDocumento, campoFecha, p);
  if (!r) return;
  TFormaReporteSQL hoja(std::move(r), ui, forma);
  hoja.exec();
}

void abreInventario(shell::TFormaPrincipal& principal, session::Sesion& sesion, const shell::Apertura& a) {
  base::Interaccion& ui = sesion.ui();
  const base::Reloj& reloj = sesion.reloj();
  const std::string sistema = principal.motor().directorioSistema();
  const auto lineas = lineasEmpresa(principal, ui);
  if (!lineas) return;
  const std::string usuario = a.usuario.empty() ? "0" : a.usuario;
  const inventory::AjustesCatalogo ajustes = inventory::AjustesCatalogo::de(*lineas, sistema, usuario);
  inventory::TFormaInventario forma(
      ajustes, sistema, ui, reloj,
      [sistema, usuario](int n) { return session::evaluaDerecho(sistema, usuario, n) == session::Derecho::Concedido; }, &principal);
  forma.ponSesion(sesion);
  // The catalogue's list reports run through the one report path, like every other.
  forma.ponEjecutaReporte([&forma, &ui, &reloj, sistema, ajustes](const inventory::DefinicionReporte& d) {
    correReporteModulo(&forma, ui, reloj, sistema, ajustes.dirDatos, d, "inventar.dbf", "", "");
  });
  forma.exec();
}

std::function<bool(int)> derechosDe(const std::string& sistema, const std::string& usuario) {
  return [sistema, usuario](int n) { return session::evaluaDerecho(sistema, usuario, n) == session::Derecho::Concedido; };
}

// The customer screen; from a catalogue row or the telephone list it opens on that key.
// Answers the key of the customer it showed last.
std::optional<std::string> abreClientes(QWidget* padre, shell::TFormaPrincipal& principal, session::Sesion& sesion,
                                        const shell::Apertura& a) {
  base::Interaccion& ui = sesion.ui();
  const auto lineas = lineasEmpresa(principal, ui);
  if (!lineas) return std::nullopt;
  const std::string sistema = principal.motor().directorioSistema();
  const std::string usuario = a.usuario.empty() ? (principal.motor().Usuario().empty() ? "0" : principal.motor().Usuario())
                                                : a.usuario;
  auto ajustes = accounts::AjustesClientes::de(*lineas, sistema, usuario);
  accounts::TFormaClientes forma(ajustes, ui, sesion.reloj(), derechosDe(sistema, usuario), padre);
  forma.ponSesion(sesion);
  forma.ponEjecutaReporte([&forma, &ui, &sesion, sistema, ajustes](const inventory::DefinicionReporte& d) {
    correReporteModulo(&forma, ui, sesion.reloj(), sistema, ajustes.dirDatos, d, "cliente.dbf", "CLCLI_C", "");
  });
  if (!a.clave.empty()) forma.abreEnClave(a.clave, false);
  forma.exec();
  return forma.ultimaClave();
}

// Controls the opening hides or shows (the main window hides the supplier's Saldo).
void aplicaVisibles(QWidget& forma, const shell::Apertura& a) {
  for (const auto& n : a.ocultar)
    if (auto* w = forma.findChild<QWidget*>(QString::fromStdString(n))) w->hide();
  for (const auto& n : a.mostrar)
    if (auto* w = forma.findChild<QWidget*>(QString::fromStdString(n))) w->show();
}

void abreProveedores(shell::TFormaPrincipal& principal, session::Sesion& sesion, const shell::Apertura& a) {
  base::Interaccion& ui = sesion.ui();
  const auto lineas = lineasEmpresa(principal, ui);
  if (!lineas) return;
  const std::string sistema = principal.motor().directorioSistema();
  const std::string usuario = a.usuario.empty() ? "0" : a.usuario;
  const auto ajustes = accounts::AjustesProveedores::de(*lineas, sistema, usuario);
  accounts::TFormaProveedo forma(ajustes, ui, sesion.reloj(), derechosDe(sistema, usuario), &principal);
  forma.ponSesion(sesion);
  forma.ponEjecutaReporte([&forma, &ui, &sesion, sistema, ajustes](const inventory::DefinicionReporte& d) {
    correReporteModulo(&forma, ui, sesion.reloj(), sistema, ajustes.dirDatos, d, "proveedo.dbf", "CLAVE_P", "");
  });
  aplicaVisibles(forma, a);
  if (!a.clave.empty()) forma.abreEnClave(a.clave, false);
  forma.exec();
}

// The payables inquiry, from a payables row of the catalogue browser.
void abreCuentasPorPagar(QWidget* padre, shell::TFormaPrincipal& principal, session::Sesion& sesion,
                         const std::string& datos) {
  base::Interaccion& ui = sesion.ui();
  const std::string sistema = principal.motor().directorioSistema();
  accounts::TFormaConsultaCuePagar forma(datos, ui, sesion.reloj(), padre);
  forma.ponEjecutaReporte([&forma, &ui, &sesion, sistema, datos](const inventory::DefinicionReporte& d) {
    correReporteModulo(&forma, ui, sesion.reloj(), sistema, datos, d, "ComprasE.dbf", "CLDOC_O", "FEDOC_O");
  });
  forma.cargaProveedores();
  forma.exec();
}

void abreCompras(shell::TFormaPrincipal& principal, session::Sesion& sesion, const shell::Apertura& a) {
  base::Interaccion& ui = sesion.ui();
  const auto lineas = lineasEmpresa(principal, ui);
  if (!lineas) return;
  const std::string sistema = principal.motor().directorioSistema();
  const std::string usuario = a.usuario.empty() ? "0" : a.usuario;
  inventory::AjustesCompras aj = inventory::ajustesComprasDe(*lineas);
  aj.usuario = usuario;
  inventory::TFormaCompras forma(aj, ui, sesion.reloj(), derechosDe(sistema, usuario), &principal);
  forma.ponSesion(sesion);
  forma.ponDirectorioSistema(sistema);
  forma.ponEjecutaReporte([&forma, &ui, &sesion, sistema, aj](const inventory::DefinicionReporte& d) {
    correReporteModulo(&forma, ui, sesion.reloj(), sistema, aj.dirDatos, d, inventory::tablaEncabezadoCompra(forma.tipo()),
                       "CLDOC_O", "FEDOC_O");
  });
  if (!a.clave.empty()) {
    const auto n = base::leeNumero(a.clave);
    if (n) forma.muestra(static_cast<long long>(*n));
  }
  aplicaVisibles(forma, a);
  forma.exec();
}

void abreVendedores(shell::TFormaPrincipal& principal, session::Sesion& sesion, const shell::Apertura& a) {
  base::Interaccion& ui = sesion.ui();
  const auto lineas = lineasEmpresa(principal, ui);
  if (!lineas) return;
  const std::string sistema = principal.motor().directorioSistema();
  const std::string usuario = a.usuario.empty() ? "0" : a.usuario;
  const auto ajustes = accounts::AjustesVendedores::de(*lineas, sistema, usuario);
  accounts::TFormaVendedor forma(ajustes, ui, sesion.reloj(), derechosDe(sistema, usuario), &principal);
  forma.ponSesion(sesion);
  forma.ponEjecutaReporte([&forma, &ui, &sesion, sistema, ajustes](const inventory::DefinicionReporte& d) {
    const auto o = accounts::origenReporteVendedor(d.menu, ajustes.tablaFacturas);
    if (!o) return;
    correReporteModulo(&forma, ui, sesion.reloj(), sistema, ajustes.dirDatos, d, o->tabla.c_str(),
                       o->campoDocumento.c_str(), o->campoFecha.c_str());
  });
  if (!a.clave.empty()) forma.abreEnClave(a.clave);
  forma.exec();
}

void abreMovimientos(shell::TFormaPrincipal& principal, session::Sesion& sesion, const shell::Apertura& a) {
  base::Interaccion& ui = sesion.ui();
  const auto lineas = lineasEmpresa(principal, ui);
  if (!lineas) return;
  const std::string sistema = principal.motor().directorioSistema();
  inventory::AjustesMovimientos aj = inventory::ajustesDe(*lineas);
  aj.usuario = a.usuario.empty() ? "0" : a.usuario;
  const bool integrado = lineas->size() >= 6 && (*lineas)[5] == "SI";
  inventory::TFormaMovimientosInventario forma(
      aj, ui, sesion.reloj(),
      [sistema, u = aj.usuario](int n) { return session::evaluaDerecho(sistema, u, n) == session::Derecho::Concedido; },
      integrado, &principal);
  forma.ponSesion(sesion);
  forma.ponDirectorioSistema(sistema);
  forma.ponEjecutaReporte([&forma, &ui, &sesion, sistema, aj](const inventory::DefinicionReporte& d) {
    correReporteModulo(&forma, ui, sesion.reloj(), sistema, aj.dirCatalogo, d, "movinven.dbf", "CLDOC_MI", "FEDOC_MI");
  });
  forma.exec();
}

void abreConceptos(shell::TFormaPrincipal& principal, session::Sesion& sesion) {
  const auto lineas = lineasEmpresa(principal, sesion.ui());
  if (!lineas) return;
  inventory::TFormacomovinv forma(inventory::ajustesDe(*lineas).dirDatos, sesion.ui(), &principal);
  forma.exec();
}

}  // namespace

shell::GanchosPrincipal ganchosDelSistema() {
  shell::GanchosPrincipal g;
  g.empacaTemporales = [](const std::string& sistema) {
    for (const char* nombre : {"Deta.db", "DetaComp.db", "Detaminv.db"}) {
      if (!base::existe(base::une(sistema, nombre))) continue;  // the sign-in's file check says so
      try {
        dbf::Table t;
        t.open(sistema, nombre, dbf::OpenMode::Exclusive);
        t.pack();
        t.close();
      } catch (const dbf::Error&) {
        // Another window of this station holds it: it stays as it is until next start.
      }
    }
  };
  g.creaNumeradores = [](const std::string& datos, const std::string& alterno) {
    try {
      store::creaContadores(datos, alterno);
    } catch (const dbf::Error&) {
      // A counter that cannot be made or seeded (a company without its document tables)
      // is reported by the sign-in's file check and by the screens that number.
    }
  };
  return g;
}

void ponGanchosInventario(shell::Principal& principal, base::Interaccion& ui, const base::Reloj& reloj) {
  auto ajustes = [&principal, &ui]() -> std::optional<inventory::AjustesMovimientos> {
    const std::optional<std::string> archivo = principal.configuracion().archivoConfiguracion();
    if (!archivo) return std::nullopt;
    const auto lineas = base::leeLineas(*archivo);
    if (!lineas) return std::nullopt;  // the sign-in's file check says so
    inventory::AjustesMovimientos a = inventory::ajustesDe(*lineas);
    a.usuario = principal.Usuario().empty() ? "0" : principal.Usuario();
    return a;
  };
  auto informe = [&principal](const std::vector<std::string>& lineas) {
    const std::string tempo = base::une(principal.directorioSistema(), "tempo");
    base::creaDirectorios(tempo);
    base::escribeLineas(base::une(tempo, "revision.txt"), lineas);
  };
  auto& g = principal.ganchos();
  g.revisionDocumentos = [ajustes, informe, &reloj] {
    // A timer tick: nothing is shown; what it found and re-posted is in the report.
    try {
      if (auto a = ajustes()) informe(inventory::revisaDocumentos(*a, true, reloj).informe);
    } catch (const dbf::Error&) {
      // Tables in use or unreadable: the next tick tries again.
    }
  };
  g.inventarioFisico = [ajustes, informe, &ui, &reloj] {
    auto a = ajustes();
    if (!a) return;
    try {
      ui.iniciaProgreso("Procesando...", 100);
      long antes = 0;
      const auto r = inventory::reconstruyeMovimientos(*a, reloj, [&ui, &antes](long h, long t) {
        const long pct = t > 0 ? h * 100 / t : 100;
        if (pct > antes) ui.avanzaProgreso(static_cast<int>(pct - antes));
        antes = pct;
      });
      ui.terminaProgreso();
      std::vector<std::string> l = r.revision.informe;
      l.insert(l.end(), r.actualizados.begin(), r.actualizados.end());
      informe(l);
      ui.mensaje(r.resumen);
    } catch (const dbf::Error& e) {
      ui.terminaProgreso();
      ui.mensaje(e.what());
    }
  };
}

session::EjecutaSql ejecutorSql(std::function<std::string()> directorioDatos) {
  return [directorioDatos](const std::string& sentencia) {
    sql::BaseSql base(directorioDatos());
    base.ejecuta(sentencia);
  };
}

void creaDatosDemo(const std::string& sistema, const std::string& datos) {
  session::OpcionesEmpresa o;
  o.numero = 1;
  o.nombre = std::string(shell::kNombreEmpresaDemo);
  o.dirDatos = datos;
  o.dirSistema = sistema;
  o.claveAdministrador = std::string(shell::kClaveAdministradorDemo);
  session::creaEmpresa(o);
  store::generaDemo(datos, store::OpcionesDemo{});
  session::instalaPlantillas(session::directorioInstalacion(), sistema);
}

Aplicacion::Aplicacion(shell::GanchosPrincipal ganchos, bool conSplash) {
  if (conSplash) {
    splash_ = new shell::TFormaElipse;
    splash_->setAttribute(Qt::WA_DeleteOnClose);
    splash_->show();
    splash_->repaint();
    QApplication::processEvents();
  }
  ayuda_ = QString::fromUtf8(shell::kArchivoAyuda.data(), static_cast<qsizetype>(shell::kArchivoAyuda.size()));

  ui_ = std::make_unique<ui::InteraccionQt>([this] {
    return principal_ ? principal_->motor().directorioSistema() : std::string();
  });
  sesion_ = std::make_unique<session::Sesion>(*ui_, reloj_, procesos_);
  principal_ = std::make_unique<shell::TFormaPrincipal>(*ui_, reloj_, std::move(ganchos));
  principal_->ponSesion(*sesion_);
  principal_->ponEjecutorSql(ejecutorSql([this] { return principal_->motor().directorioDatos(); }));
  ponGanchosInventario(principal_->motor(), *ui_, reloj_);
  ui_->ponPadre(principal_.get());
  principal_->registraModulo(shell::Pantalla::Factura, {[this](const shell::Apertura& a) {
                                                   abreFactura(*principal_, *sesion_, a);
                                                 },
                                                 {}, {}});
  principal_->registraModulo(shell::Pantalla::CapturaRapida, {[this](const shell::Apertura& a) {
                                                   abreCapturaRapida(*principal_, *sesion_, a);
                                                 },
                                                 {}, {}});
  principal_->registraModulo(shell::Pantalla::ClaveRapida, {[this](const shell::Apertura& a) {
                                                   sales::TFormaClaveRapida::pide(principal_.get(), a.directorio,
                                                                                  sesion_->ui());
                                                 },
                                                 {}, {}});
  registraConsultas(*principal_, *sesion_);
  registraDisenoFormatos(*principal_, *ui_);
  principal_->registraModulo(shell::Pantalla::Inventario, {[this](const shell::Apertura& a) {
                                                      abreInventario(*principal_, *sesion_, a);
                                                    },
                                                    {}, {}});
  principal_->registraModulo(shell::Pantalla::Clientes, {[this](const shell::Apertura& a) {
                                                       abreClientes(principal_.get(), *principal_, *sesion_, a);
                                                     },
                                                     {}, {}});
  // The customer lookup's BotonClientes opens the same screen.
  accounts::TFormaConClientes::registraPantalla([this](QWidget* padre) -> std::optional<std::string> {
    if (!session::checaDerecho(*ui_, principal_->motor().directorioSistema(), principal_->motor().Usuario(), 1))
      return std::nullopt;
    shell::Apertura a(shell::Pantalla::Clientes);
    a.usuario = principal_->motor().Usuario();
    return abreClientes(padre, *principal_, *sesion_, a);
  });
  principal_->registraModulo(shell::Pantalla::Proveedo, {[this](const shell::Apertura& a) {
                                                       abreProveedores(*principal_, *sesion_, a);
                                                     },
                                                     {}, {}});
  // The product screen's supplier fields look suppliers up (F2).
  inventory::TFormaInventario::registraConsultaProveedores(
      [](QWidget* padre, const std::string& datos, const std::string& texto) {
        return accounts::TFormaConProvee::consulta(padre, datos, texto);
      });
  principal_->registraModulo(shell::Pantalla::Compras, {[this](const shell::Apertura& a) {
                                                      abreCompras(*principal_, *sesion_, a);
                                                    },
                                                    {}, {}});
  // The purchase screen's supplier lookup and its payables detail live in accounts.
  inventory::TFormaCompras::registraConsultaProveedores(
      [](QWidget* padre, const std::string& datos, const std::string& texto) {
        return accounts::TFormaConProvee::consulta(padre, datos, texto);
      });
  inventory::TFormaCompras::registraPagos([this](QWidget* padre, const std::string& datos, long long numero) {
    accounts::TFormaCxPDetalle::muestra(padre, datos, std::to_string(numero), *ui_, reloj_);
  });
  principal_->registraModulo(shell::Pantalla::Vendedor, {[this](const shell::Apertura& a) {
                                                       abreVendedores(*principal_, *sesion_, a);
                                                     },
                                                     {}, {}});
  principal_->registraModulo(shell::Pantalla::MovimientosInventario, {[this](const shell::Apertura& a) {
                                                                 abreMovimientos(*principal_, *sesion_, a);
                                                               },
                                                               {}, {}});
  principal_->registraModulo(shell::Pantalla::comovinv, {[this](const shell::Apertura&) {
                                                    abreConceptos(*principal_, *sesion_);
                                                  },
                                                  {}, {}});
  // The currency table has its dialog: the main window's Divisas1 opens it too.
  principal_->registraModulo(shell::Pantalla::Divisa, {[this](const shell::Apertura&) {
                                                         sales::TFormaDivisa::edita(principal_.get(),
                                                                                    principal_->motor().directorioDatos(), *ui_);
                                                       },
                                                       {}, {}});
  principal_->ponDescripciones([this](int tema) {
    auto d = base::leeDescripcion(principal_->motor().directorioSistema(), tema);
    return d ? d->texto() : std::string();
  });

  empresas_ = std::make_unique<session::Empresas>(*ui_, principal_->motor().directorioSistema(),
                                         session::directorioActual(), 1);
  formaEmpresas_ = std::make_unique<session::TFormaEmpresas>(
      *empresas_,
      [this](const session::Ingreso& r) {
        principal_->motor().aplicaIngreso(r);
        // Who works where from now on, for every screen the main window opens.
        sesion_->ponDirectorios(principal_->motor().directorioSistema(), principal_->motor().directorioDatos());
        sesion_->ponUsuario(principal_->motor().Usuario());
        principal_->pinta();
      },
      principal_.get());
  principal_->ponEmpresas(formaEmpresas_.get());

  if (splash_) delete splash_.data();
}

Aplicacion::~Aplicacion() {
  formaEmpresas_.reset();
  principal_.reset();
}

void Aplicacion::muestra() { principal_->show(); }

}  // namespace mostrador::app
