#include "store/numeracion.h"

#include <cassert>
#include <ctime>
#include <filesystem>

#include "base/rutas.h"
#include "store/estados.h"

namespace mostrador::store {

namespace {

constexpr const char* kCampoContador = "NUMERO";

size_t posicion(const DefContador& c) {
  const auto& v = contadores();
  for (size_t i = 0; i < v.size(); ++i)
    if (&v[i] == &c) return i;
  assert(false && "contador fuera del catálogo");
  return 0;
}

// The directory of an open table, as a path the engine takes back.
std::string directorioDe(const dbf::Table& t) {
  return std::filesystem::path(t.path()).parent_path().string();
}

long long baseDeSemilla(long long semilla) { return semilla >= 1 ? semilla - 1 : 0; }

}  // namespace

const std::vector<DefContador>& contadores() {
  static const std::vector<DefContador> v = {
      {"numero.dbf", "remision.dbf", "CLDOC_F", "inumenc"},
      {"numerof.dbf", "facturae.dbf", "CLDOC_F", "inumenc"},
      {"numeroc.dbf", "comprase.dbf", "CLDOC_O", "icomenc"},
  };
  return v;
}
const DefContador& contadorRemisiones() { return contadores()[0]; }
const DefContador& contadorFacturas() { return contadores()[1]; }
const DefContador& contadorCompras() { return contadores()[2]; }

long long ultimoNumero(std::string_view dir, const DefContador& c) {
  dbf::Table t;
  t.open(dir, c.documento);
  t.setIndex(c.indice);
  t.last();
  const long long n = t.isEmpty() ? 0 : t.asInteger(c.campo);
  t.close();
  return n;
}

std::vector<std::string> creaContadores(std::string_view dirDatos, std::string_view dirSemilla) {
  std::vector<std::string> creados;
  const std::string_view lectura = dirSemilla.empty() ? dirDatos : dirSemilla;
  for (const auto& c : contadores()) {
    const std::string ruta = base::une(dirDatos, c.archivo);
    if (base::existe(ruta)) continue;
    base::borra(ruta);
    try {
      dbf::Table::create(dirDatos, c.archivo, buscaTabla(c.archivo)->campos);
    } catch (const dbf::Error&) {
      // As with the statement the screens run: a failed creation is ignored and the
      // seeding below reports the engine's error.
    }
    const long long semilla = ultimoNumero(lectura, c);
    dbf::Table k;
    k.open(dirDatos, c.archivo);
    k.append();
    k.setInteger(kCampoContador, semilla);
    k.post();
    k.close();
    creados.emplace_back(c.archivo);
  }
  return creados;
}

long long tomaNumeroEncabezado(dbf::Table& encabezado, std::string_view campo,
                               std::string_view indice) {
  encabezado.refresh();
  encabezado.setIndex(indice);
  encabezado.last();
  const long long ultimo =
      encabezado.isEmpty() ? 0 : encabezado.asInteger(campo);
  encabezado.insert();
  encabezado.setInteger(campo, ultimo + 1);
  encabezado.post();
  return ultimo + 1;
}

Numerador::Numerador() { reinicia(); }

void Numerador::reinicia() { bases_.assign(contadores().size(), -1); }

long long Numerador::base(const DefContador& c) const { return bases_[posicion(c)]; }

long long Numerador::leeBase(std::string_view dir, const DefContador& c) {
  long long& b = bases_[posicion(c)];
  if (b >= 0) return b;
  dbf::Table k;
  k.open(dir, c.archivo);
  k.first();
  // An empty counter has no seed; it numbers as a seed of 0 does.
  b = k.isEmpty() ? 0 : baseDeSemilla(k.asInteger(kCampoContador));
  k.close();
  return b;
}

long long Numerador::tomaNumero(std::string_view dir, const DefContador& c) {
  const long long b = leeBase(dir, c);
  dbf::Table k;
  k.open(dir, c.archivo);
  k.append();
  k.post();
  const long long n = b + static_cast<long long>(k.recno());
  k.edit();
  k.setInteger(kCampoContador, n);
  k.post();
  k.close();
  return n;
}

long long Numerador::tomaNumeroDocumento(dbf::Table& encabezado) {
  const bool factura = base::mismoNombre(
      std::filesystem::path(encabezado.path()).filename().string(), contadorFacturas().documento);
  const long long n =
      tomaNumero(directorioDe(encabezado), factura ? contadorFacturas() : contadorRemisiones());
  encabezado.append();
  encabezado.setInteger("CLDOC_F", n);
  encabezado.post();
  return n;
}

long long Numerador::proponeNumeroCompra(dbf::Table& encabezado) {
  try {
    dbf::Table k;
    k.open(directorioDe(encabezado), contadorCompras().archivo);
    k.last();
    if (!k.isEmpty()) ultimaCompraLeida_ = k.asInteger(kCampoContador);
    k.close();
  } catch (const dbf::Error&) {
    // Counts as the value read the time before.
  }
  const long long n = ultimaCompraLeida_ + 1;
  encabezado.append();
  encabezado.setInteger("CLDOC_O", n);
  encabezado.post();
  return n;
}

Realineacion realineaContador(std::string_view dir, const DefContador& c) {
  Realineacion r;
  r.ultimo = ultimoNumero(dir, c);
  dbf::Table k;
  k.open(dir, c.archivo, dbf::OpenMode::Exclusive);
  const long long registros = k.recordCount();
  k.first();
  const long long semilla = k.isEmpty() ? 0 : k.asInteger(kCampoContador);
  r.implicito = registros == 0 ? 0 : baseDeSemilla(semilla) + registros;
  if (r.implicito != r.ultimo) {
    const long long nueva = r.ultimo - registros + 1;
    if (registros > 0 && nueva >= 1) {
      k.first();
      k.edit();
      k.setInteger(kCampoContador, nueva);
      k.post();
    } else {
      k.emptyTable();
      k.append();
      k.setInteger(kCampoContador, r.ultimo);
      k.post();
    }
    r.cambiado = true;
  }
  k.close();
  return r;
}

std::vector<std::string> verificaDocumentos(std::string_view dirDatos,
                                            std::string_view dirMovimientos, Documento d) {
  switch (d) {
    case Documento::Remision:
    case Documento::Factura:
    case Documento::Devolucion:
    case Documento::Compra:
    case Documento::DevolucionCompra: break;
    default: return {};
  }
  const DefDocumento& doc = documento(d);
  const char* campoNumero = doc.compra ? "CLDOC_O" : "CLDOC_F";
  const char* campoEstado = doc.compra ? "STDOC_O" : "STATU_F";
  const char letraReporte = d == Documento::DevolucionCompra ? 'E' : doc.letra;

  dbf::Table encabezado, detalle, movimientos;
  encabezado.open(dirDatos, doc.encabezado);
  detalle.open(dirDatos, doc.detalle);
  detalle.setIndex(doc.compra ? "ICOMDET" : "CLDOC_FD");
  movimientos.open(dirMovimientos, "movinven.dbf");
  movimientos.setIndex("NUDOC_MI");
  const int controlDetalle = detalle.requireField("CONTROL");

  std::vector<std::string> reporte;
  for (encabezado.first(); !encabezado.eof(); encabezado.next()) {
    if (encabezado.isNull("CONTROL")) continue;
    if (d == Documento::Factura && encabezado.asText("CLPED_F").empty()) continue;
    const long long numero = encabezado.asInteger(campoNumero);
    const long long control = encabezado.asInteger("CONTROL");

    const std::string texto = std::to_string(numero);
    detalle.setRange({texto}, {texto});
    long long lineas = 0;
    for (detalle.first(); !detalle.eof(); detalle.next())
      if (!detalle.isNull(controlDetalle) && detalle.asInteger(controlDetalle) == control) ++lineas;

    const std::string ref = referenciaMovimiento(doc.letra, numero, control);
    movimientos.setRange({ref}, {ref});
    const long long movs = movimientos.recordCount();

    if (lineas != movs) {
      std::string l = std::string(1, letraReporte) + texto + "," + std::to_string(control) + "," +
                      std::to_string(lineas) + "," + std::to_string(movs);
      if (cancelado(encabezado.asText(campoEstado))) l += ",C";
      reporte.push_back(std::move(l));
    }
  }
  return reporte;
}

std::vector<std::string> verificaDocumentos(std::string_view dirDatos,
                                            std::string_view dirMovimientos) {
  std::vector<std::string> r;
  for (Documento d : {Documento::Remision, Documento::Factura, Documento::Devolucion,
                      Documento::Compra, Documento::DevolucionCompra}) {
    auto parte = verificaDocumentos(dirDatos, dirMovimientos, d);
    r.insert(r.end(), parte.begin(), parte.end());
  }
  return r;
}

}  // namespace mostrador::store
