#include "support/interaccion_fake.h"

#include <gtest/gtest.h>

namespace mostrador::prueba {

using namespace base;

InteraccionFalsa::~InteraccionFalsa() {
  const size_t sobrantes = advertencias_.size() + cerrar_.size() + administrador_.size() +
                           datos_.size() + busquedas_.size() + archivos_.size() + textos_.size();
  if (sobrantes > 0) {
    std::string lista;
    for (const std::string& l : llamadas_) lista += "\n  " + l;
    ADD_FAILURE() << "InteraccionFalsa: " << sobrantes
                  << " respuesta(s) preparada(s) sin usar; llamadas recibidas:" << lista;
  }
}

template <class T>
T InteraccionFalsa::toma(std::deque<T>& cola, const std::string& llamada, T siNoHay) {
  llamadas_.push_back(llamada);
  if (cola.empty()) {
    ADD_FAILURE() << "InteraccionFalsa: no hay respuesta preparada para \"" << llamada << "\"";
    return siNoHay;
  }
  T r = std::move(cola.front());
  cola.pop_front();
  return r;
}

InteraccionFalsa& InteraccionFalsa::respondeAdvertencia(base::RespuestaAdvertencia r) {
  advertencias_.push_back(r);
  return *this;
}
InteraccionFalsa& InteraccionFalsa::respondeCerrar(base::RespuestaCerrar r) {
  cerrar_.push_back(r);
  return *this;
}
InteraccionFalsa& InteraccionFalsa::respondeAdministrador(base::RespuestaAdministrador r) {
  administrador_.push_back(std::move(r));
  return *this;
}
InteraccionFalsa& InteraccionFalsa::respondeDato(std::string texto) {
  datos_.push_back(std::move(texto));
  return *this;
}
InteraccionFalsa& InteraccionFalsa::respondeBusqueda(std::optional<base::Busqueda> r) {
  busquedas_.push_back(std::move(r));
  return *this;
}
InteraccionFalsa& InteraccionFalsa::respondeArchivo(std::optional<std::string> ruta) {
  archivos_.push_back(std::move(ruta));
  return *this;
}
InteraccionFalsa& InteraccionFalsa::respondeTexto(std::optional<std::string> texto) {
  textos_.push_back(std::move(texto));
  return *this;
}

std::vector<std::string> InteraccionFalsa::mensajes() const {
  static const std::string prefijo = "mensaje: ";
  std::vector<std::string> r;
  for (const std::string& l : llamadas_)
    if (l.compare(0, prefijo.size(), prefijo) == 0) r.push_back(l.substr(prefijo.size()));
  return r;
}

void InteraccionFalsa::mensaje(std::string_view texto) {
  llamadas_.push_back("mensaje: " + std::string(texto));
}

base::RespuestaAdvertencia InteraccionFalsa::advertencia(std::string_view pregunta, bool conClave) {
  return toma(advertencias_, "advertencia: " + std::string(pregunta) + (conClave ? " [F9]" : ""),
              base::RespuestaAdvertencia::No);
}

base::RespuestaCerrar InteraccionFalsa::cerrar() {
  return toma(cerrar_, std::string("cerrar"), base::RespuestaCerrar::Quedarse);
}

base::RespuestaAdministrador InteraccionFalsa::administrador() {
  return toma(administrador_, std::string("administrador"), base::RespuestaAdministrador{});
}

std::string InteraccionFalsa::pideDato(std::string_view titulo) {
  return toma(datos_, "dato: " + std::string(titulo), std::string());
}

std::optional<base::Busqueda> InteraccionFalsa::busca(bool conDireccion) {
  return toma(busquedas_, std::string(conDireccion ? "busca con direccion" : "busca"),
              std::optional<base::Busqueda>());
}

std::optional<std::string> InteraccionFalsa::abreArchivo(std::string_view titulo, std::string_view filtro) {
  return toma(archivos_, "abre archivo: " + std::string(titulo) + " (" + std::string(filtro) + ")",
              std::optional<std::string>());
}

std::optional<std::string> InteraccionFalsa::guardaArchivo(std::string_view titulo, std::string_view filtro) {
  return toma(archivos_, "guarda archivo: " + std::string(titulo) + " (" + std::string(filtro) + ")",
              std::optional<std::string>());
}

std::optional<std::string> InteraccionFalsa::pideTexto(std::string_view titulo, std::string_view etiqueta,
                                                       std::string_view inicial) {
  return toma(textos_,
              "texto: " + std::string(titulo) + " / " + std::string(etiqueta) + " [" + std::string(inicial) + "]",
              std::optional<std::string>());
}

void InteraccionFalsa::iniciaProgreso(std::string_view titulo, int maximo) {
  llamadas_.push_back("progreso: " + std::string(titulo) + " 0/" + std::to_string(maximo));
}
void InteraccionFalsa::avanzaProgreso(int pasos) { llamadas_.push_back("avanza: " + std::to_string(pasos)); }
void InteraccionFalsa::terminaProgreso() { llamadas_.push_back("fin progreso"); }
void InteraccionFalsa::iniciaEspera() { llamadas_.push_back("espera"); }
void InteraccionFalsa::terminaEspera() { llamadas_.push_back("fin espera"); }

}  // namespace mostrador::prueba
