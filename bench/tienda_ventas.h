#pragma once
// The shop the sales benchmarks sell in: a company with a 100 000-product catalogue (the
// demonstration generator's), its counters created, built once per run under
// MOSTRADOR_BENCH_DIR (default /tmp) and removed at exit; and a clerk who never hesitates.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/interaccion.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "sales/ajustes.h"
#include "session/configuracion_inicial.h"
#include "session/empresa_nueva.h"
#include "store/dbf/dbf_table.h"
#include "store/demo.h"
#include "store/numeracion.h"

namespace mostrador::banco {

namespace fs = std::filesystem;

// Answers yes, remembers nothing: a clerk who never hesitates.
class UsuarioDecidido : public base::InteraccionSinUsuario {
 public:
  using InteraccionSinUsuario::advertencia;
  long mensajes = 0;
  void mensaje(std::string_view) override { ++mensajes; }
  base::RespuestaAdvertencia advertencia(std::string_view, bool) override {
    return base::RespuestaAdvertencia::Si;
  }
  base::RespuestaCerrar cerrar() override { return base::RespuestaCerrar::Descartar; }
  base::RespuestaAdministrador administrador() override {
    return {base::RespuestaAdministrador::Administrador, ""};
  }
};

// A company with the large catalogue, built once and removed at exit.
class Tienda {
 public:
  static Tienda& una() {
    static Tienda t;
    return t;
  }
  ~Tienda() {
    std::error_code ec;
    fs::remove_all(raiz_, ec);
  }
  const std::string& sistema() const { return sistema_; }
  sales::AjustesVenta ajustes() const { return sales::leeAjustes(sistema_, lineas_); }
  const std::vector<std::string>& codigos() const { return codigos_; }
  long productos() const { return productos_; }

 private:
  Tienda() {
    const char* base = std::getenv("MOSTRADOR_BENCH_DIR");
    std::string plantilla = std::string(base ? base : "/tmp") + "/mostrador-ventas-XXXXXX";
    if (!mkdtemp(plantilla.data())) std::abort();
    raiz_ = plantilla;
    session::OpcionesEmpresa o;
    o.dirDatos = (raiz_ / "datos").string();
    o.dirSistema = (raiz_ / "tvk").string();
    sistema_ = o.dirSistema;
    session::creaEmpresa(o);
    lineas_ = session::lineasConfiguracion(o);
    lineas_.resize(72);
    auto pon = [&](int n, const char* v) { lineas_[static_cast<size_t>(n - 1)] = v; };
    pon(1, "SI");   // no flush after each save
    pon(6, "SI");   // movements posted
    pon(21, "S");   // no stock control
    pon(41, "S");   // stock may go below zero
    pon(42, "2");
    pon(43, "N");
    pon(45, "0");
    pon(47, "N");
    pon(58, "N");
    base::escribeLineas(base::une(sistema_, "Gener1.cnf"), lineas_);
    base::escribeLineas(base::une(sistema_, "encabeza.cnf"), {"N", "N", "", "", "", "", "", "", "N"});
    base::escribeLineas(base::une(sistema_, "Multi.dat"), {"0"});

    store::OpcionesDemo d;
    d.tamano.productos = 100000;
    d.tamano.clientes = 200;
    d.tamano.movimientos = 20000;
    productos_ = store::generaDemo(o.dirDatos, d).productos;
    store::creaContadores(o.dirDatos);

    // Barcodes spread over the whole catalogue.
    dbf::Table t;
    t.open(o.dirDatos, "inventar.dbf");
    long n = 0;
    for (t.first(); !t.eof(); t.next(), ++n) {
      if (n % 97 != 0) continue;
      std::string c = t.asText("CODIG_I");
      if (!c.empty()) codigos_.push_back(std::move(c));
    }
  }

  fs::path raiz_;
  std::string sistema_;
  std::vector<std::string> lineas_;
  std::vector<std::string> codigos_;
  long productos_ = 0;
};

}  // namespace mostrador::banco
