#include "accounts/complementos_cliente.h"

#include <set>

#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"
#include "store/catalogo.h"
#include "store/dbf/dbf_table.h"
#include "store/sql/sql.h"
#include "store/unidad.h"

namespace mostrador::accounts {
namespace {

constexpr const char* kErrorGuardar = "No se Pueden Guardar los Datos ha Ocurrido un Error";

// One record's change under its lock, in a unit of its own.
template <class F>
bool cambiaRegistro(const std::string& dir, const char* tabla, uint32_t registro, F&& cambio) {
  try {
    dbf::Table t;
    t.open(dir, tabla);
    if (registro != 0) {
      if (store::bloquea({{&t, registro, "un registro de " + std::string(tabla)}})) return false;
    }
    store::UnidadGuardado unidad({dir});
    if (registro != 0 && !t.goTo(registro)) return false;
    if (!cambio(t)) return false;
    unidad.confirma();
  } catch (const dbf::Error&) {
    return false;
  }
  return true;
}

}  // namespace

std::vector<DescuentoLinea> descuentosCliente(const std::string& dirDatos, std::string_view cliente) {
  std::vector<DescuentoLinea> v;
  try {
    dbf::Table t;
    t.open(dirDatos, kTablaDescuentos);
    t.setIndex("CLCLI_D");
    const std::string k(cliente);
    t.setRange({k}, {k});
    for (t.first(); !t.eof(); t.next())
      v.push_back({t.recno(), t.asText("CLCLI_D"), t.asText("LINEA_D"), t.asFloat("DESCU_D")});
  } catch (const dbf::Error&) {
  }
  return v;
}

std::vector<std::string> lineasProductos(const std::string& dirDatos) {
  std::vector<std::string> v;
  try {
    sql::BaseSql base;
    auto r = base.consulta("Select LIPRO_I FROM \"" + base::une(dirDatos, "inventar.dbf") + "\"   order by LIPRO_I");
    std::set<std::string> vistas;
    for (r->first(); !r->eof(); r->next()) {
      const std::string l = r->asText(0);
      if (vistas.insert(l).second) v.push_back(l);
    }
  } catch (const dbf::Error&) {
  }
  return v;
}

std::string agregaDescuento(const std::string& dirDatos, std::string_view cliente, std::string_view linea) {
  const std::string k(cliente), l = base::recorta(linea);
  bool repetida = false;
  const bool ok = cambiaRegistro(dirDatos, kTablaDescuentos, 0, [&](dbf::Table& t) {
    // Looked for inside the unit: another station adding the same line waits for it.
    t.setIndex("CLCLI_D");
    t.setRange({k}, {k});
    for (t.first(); !t.eof(); t.next())
      if (t.asText("LINEA_D") == l) {
        repetida = true;
        return false;
      }
    t.cancelRange();
    t.append();
    t.setText("CLCLI_D", k);
    t.setText("LINEA_D", l);
    t.post();
    return true;
  });
  if (repetida) return "El Cliente ya Tiene Descuento en la Línea " + l;
  return ok ? "" : kErrorGuardar;
}

std::string ponDescuento(const std::string& dirDatos, uint32_t registro, std::string_view porcentaje) {
  const auto v = base::leeNumero(base::recorta(porcentaje));
  if (!v || *v < 0 || *v > 100) return "\"" + std::string(porcentaje) + "\" no es un Número Válido";
  const bool ok = cambiaRegistro(dirDatos, kTablaDescuentos, registro, [&](dbf::Table& t) {
    t.edit();
    t.setFloat("DESCU_D", *v);
    t.post();
    return true;
  });
  return ok ? "" : kErrorGuardar;
}

bool quitaDescuento(const std::string& dirDatos, uint32_t registro) {
  return cambiaRegistro(dirDatos, kTablaDescuentos, registro, [](dbf::Table& t) {
    t.remove();
    return true;
  });
}

void aseguraContactos(const std::string& dirDatos, const LibroContactos& libro) {
  if (base::existe(base::une(dirDatos, libro.tabla))) return;
  const store::DefTabla* d = store::buscaTabla(libro.tabla);
  if (d) dbf::Table::create(dirDatos, d->archivo, d->campos, d->indices);
}

std::vector<Contacto> contactosCliente(const std::string& dirDatos, std::string_view cliente,
                                       const LibroContactos& libro) {
  std::vector<Contacto> v;
  try {
    aseguraContactos(dirDatos, libro);
    dbf::Table t;
    t.open(dirDatos, libro.tabla);
    t.setIndex(libro.clave);
    const std::string k(cliente);
    t.setRange({k}, {k});
    for (t.first(); !t.eof(); t.next())
      v.push_back({t.recno(), t.asText("NOMBR_CO"), t.asText("PUEST_CO"), t.asText("TELEF_CO"), t.asText("CORRE_CO"),
                   t.asText("OBSER_CO")});
  } catch (const dbf::Error&) {
  }
  return v;
}

std::string guardaContacto(const std::string& dirDatos, std::string_view cliente, const Contacto& c,
                           const LibroContactos& libro) {
  try {
    aseguraContactos(dirDatos, libro);
  } catch (const dbf::Error&) {
    return kErrorGuardar;
  }
  std::string demasiado;
  const bool ok = cambiaRegistro(dirDatos, libro.tabla, c.registro, [&](dbf::Table& t) {
    if (c.registro == 0) {
      t.append();
      t.setText(libro.clave, cliente);
    } else {
      t.edit();
    }
    const std::pair<const char*, const std::string*> campos[] = {
        {"NOMBR_CO", &c.nombre}, {"PUEST_CO", &c.puesto}, {"TELEF_CO", &c.telefono},
        {"CORRE_CO", &c.correo}, {"OBSER_CO", &c.nota}};
    for (const auto& [campo, valor] : campos) {
      const int i = t.fieldIndex(campo);
      const int ancho = t.fieldDefs()[static_cast<size_t>(i)].length;
      if (base::anchoCp1252(*valor) > static_cast<size_t>(ancho)) {
        demasiado = "El Dato no Puede Tener más de " + std::to_string(ancho) + " Caracteres";
        t.cancel();
        return false;
      }
      t.setText(i, *valor);
    }
    t.post();
    return true;
  });
  if (!demasiado.empty()) return demasiado;
  return ok ? "" : kErrorGuardar;
}

bool quitaContacto(const std::string& dirDatos, uint32_t registro, const LibroContactos& libro) {
  return cambiaRegistro(dirDatos, libro.tabla, registro, [](dbf::Table& t) {
    t.remove();
    return true;
  });
}

}  // namespace mostrador::accounts
