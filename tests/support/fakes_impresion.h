#pragma once
// In-memory tables, a scripted environment and recording printers for the format
// language tests.

#include <deque>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "printing/entorno_impresion.h"
#include "printing/expresiones.h"
#include "printing/impresora.h"
#include "printing/tabla_impresion.h"
#include "printing/texto_formato.h"
#include "base/fechas.h"

namespace mostrador::prueba {

// A table of text fields; dates are held as "dd/MM/yyyy" texts.
class TablaMemoria : public printing::TablaImpresion {
 public:
  TablaMemoria(std::string archivo, std::vector<std::string> campos,
               std::vector<std::vector<std::string>> filas = {{}})
      : archivo_(std::move(archivo)), campos_(std::move(campos)), filas_(std::move(filas)) {
    for (auto& f : filas_) f.resize(campos_.size());
  }
  std::string archivo() const override { return archivo_; }
  std::string directorio() const override { return "C:\\Datos"; }
  int numeroCampos() const override { return static_cast<int>(campos_.size()); }
  int indiceCampo(std::string_view nombre) const override {
    for (size_t i = 0; i < campos_.size(); ++i)
      if (printing::minusculas(campos_[i]) == printing::minusculas(nombre))
        return static_cast<int>(i);
    return -1;
  }
  std::string texto(int campo) const override { return filas_.at(actual_).at(campo); }
  std::optional<base::Fecha> fecha(int campo) const override {
    const std::string& t = texto(campo);
    if (t.empty()) return std::nullopt;
    auto f = base::leeFechaCorta(t);
    if (!f) throw printing::ErrorFormato("no es fecha");
    return f;
  }
  void primero() override { actual_ = 0; }
  void siguiente() override {
    if (actual_ < filas_.size()) ++actual_;
  }
  bool fin() const override { return actual_ >= filas_.size(); }

  void pon(std::string_view campo, std::string valor) { filas_.at(actual_).at(this->campo(campo)) = std::move(valor); }
  size_t actual() const { return actual_; }

 private:
  std::string archivo_;
  std::vector<std::string> campos_;
  std::vector<std::vector<std::string>> filas_;
  size_t actual_ = 0;
};

class EntornoFalso : public printing::EntornoImpresion {
 public:
  std::string sistema = "C:\\TVK";
  std::string datos = "C:\\Datos";
  std::vector<int> pausas;
  std::vector<std::string> ejecuciones;  // "programa|parametros|directorio|espera"
  std::vector<std::string> sentencias;
  std::map<std::string, std::string> resultadosSql;
  std::vector<std::string> lineasObservacion;
  std::string pedidoObservaciones;  // "directorio|clave|tipo"
  std::map<std::string, std::string> usuarios;
  std::map<std::string, std::array<std::string, 4>> monedas;

  std::string directorioSistema() const override { return sistema; }
  std::string directorioDatos() const override { return datos; }
  void pausa(int n) override { pausas.push_back(n); }
  void ejecuta(std::string_view p, std::string_view a, std::string_view d, bool espera) override {
    ejecuciones.push_back(std::string(p) + "|" + std::string(a) + "|" + std::string(d) + "|" +
                          (espera ? "espera" : "sigue"));
  }
  std::optional<std::string> consultaSql(std::string_view s) override {
    sentencias.emplace_back(s);
    auto it = resultadosSql.find(std::string(s));
    if (it == resultadosSql.end()) return std::nullopt;
    return it->second;
  }
  std::vector<std::string> observaciones(std::string_view d, std::string_view c,
                                         std::string_view t) override {
    pedidoObservaciones = std::string(d) + "|" + std::string(c) + "|" + std::string(t);
    return lineasObservacion;
  }
  std::string nombreUsuario(std::string_view n) override {
    auto it = usuarios.find(std::string(n));
    return it == usuarios.end() ? "" : it->second;
  }
  std::array<std::string, 4> palabrasMoneda(std::string_view m) override {
    auto it = monedas.find(std::string(m));
    if (it == monedas.end()) return {"xx", "xx", "xx", "xx"};
    return it->second;
  }
};

// Records every call as one line of text.
class ImpresoraFalsa : public printing::Impresora {
 public:
  std::vector<std::string> nombres{"Laser A", "Laser B"};
  int ancho = 8000, alto = 5500;  // cells of 100 x 100 device units
  std::vector<std::string> llamadas;
  std::vector<std::string> lineasTexto;
  std::string fuenteTexto;
  bool imagenFalla = false;
  bool sinImpresora = false;  // no usable printer: jobs do not start

  std::vector<std::string> impresoras() const override { return nombres; }
  void seleccionaImpresora(int i) override { anota("selecciona " + std::to_string(i)); }
  void orientacion(bool h) override { anota(h ? "horizontal" : "vertical"); }
  bool iniciaTrabajo(std::string_view t) override {
    anota("inicia " + std::string(t));
    return !sinImpresora;
  }
  void nuevaPagina() override { anota("nuevaPagina"); }
  bool terminaTrabajo() override {
    anota("termina");
    return !sinImpresora;
  }
  int anchoPagina() const override { return ancho; }
  int altoPagina() const override { return alto; }
  void fuente(std::string_view n) override { anota("fuente " + std::string(n)); }
  void tamanoFuente(int p) override { anota("tamano " + std::to_string(p)); }
  void estiloFuente(printing::EstiloFuente e) override {
    anota("estilo " + std::to_string(static_cast<int>(e)));
  }
  void colorFuente(printing::Color c) override { anota("color " + rgb(c)); }
  void grosorPluma(int g) override { anota("pluma " + std::to_string(g)); }
  void colorBrocha(printing::Color c) override { anota("brocha " + rgb(c)); }
  void texto(int x, int y, std::string_view t) override {
    anota("texto " + std::to_string(x) + " " + std::to_string(y) + " " + std::string(t));
  }
  void rectangulo(int a, int b, int c, int d) override {
    anota("rectangulo " + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) +
          " " + std::to_string(d));
  }
  void rectanguloRedondeado(int a, int b, int c, int d, int e, int f) override {
    anota("redondo " + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) +
          " " + std::to_string(d) + " " + std::to_string(e) + " " + std::to_string(f));
  }
  bool imagen(int a, int b, int c, int d, std::string_view r) override {
    anota("imagen " + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) +
          " " + std::to_string(d) + " " + std::string(r));
    return !imagenFalla;
  }
  bool imprimeTexto(const std::vector<std::string>& l, std::string_view f) override {
    lineasTexto = l;
    fuenteTexto = f;
    anota("imprimeTexto");
    return !sinImpresora;
  }
  // The calls whose text starts with the prefix.
  std::vector<std::string> con(std::string_view prefijo) const {
    std::vector<std::string> r;
    for (const auto& l : llamadas)
      if (l.rfind(prefijo, 0) == 0) r.push_back(l);
    return r;
  }

 private:
  void anota(std::string s) { llamadas.push_back(std::move(s)); }
  static std::string rgb(printing::Color c) {
    std::ostringstream o;
    o << int(c.r) << "," << int(c.g) << "," << int(c.b);
    return o.str();
  }
};

class ColaFalsa : public printing::ColaCruda {
 public:
  struct Envio {
    std::string cola, bytes, documento;
  };
  std::vector<Envio> envios;
  bool rechaza = false;  // the queue refuses every job
  bool envia(std::string_view c, std::string_view b, std::string_view d) override {
    envios.push_back({std::string(c), std::string(b), std::string(d)});
    return !rechaza;
  }
};

}  // namespace mostrador::prueba
