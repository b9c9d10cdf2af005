#pragma once
// What hangs on a customer besides its record: the discounts by product line
// (ClieDesc.dbf) and the contacts (contacto.dbf; a supplier's in contprov.dbf). Each change is its own small save
// unit; a failure answers the Spanish message and leaves the table as it was.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mostrador::accounts {

inline constexpr const char* kTablaDescuentos = "ClieDesc.dbf";
inline constexpr const char* kTablaContactos = "contacto.dbf";

struct DescuentoLinea {
  uint32_t registro = 0;
  std::string cliente, linea;
  double descuento = 0;
};
std::vector<DescuentoLinea> descuentosCliente(const std::string& dirDatos, std::string_view cliente);
// The distinct product lines, from "Select LIPRO_I FROM "<D>\inventar.dbf"   order by LIPRO_I".
std::vector<std::string> lineasProductos(const std::string& dirDatos);
// Adds the customer's row for a line; "" when added, else why not (the row exists).
std::string agregaDescuento(const std::string& dirDatos, std::string_view cliente, std::string_view linea);
// The percent typed in the grid; "" or the message ("\"x\" no es un Número Válido").
std::string ponDescuento(const std::string& dirDatos, uint32_t registro, std::string_view porcentaje);
bool quitaDescuento(const std::string& dirDatos, uint32_t registro);

// Whose contacts: customers in contacto.dbf by CLCLI_C, suppliers in contprov.dbf by
// CLAVE_P (tag of the same name).
struct LibroContactos {
  const char* tabla;
  const char* clave;
};
inline constexpr LibroContactos kContactosClientes{kTablaContactos, "CLCLI_C"};
inline constexpr LibroContactos kContactosProveedores{"contprov.dbf", "CLAVE_P"};

struct Contacto {
  uint32_t registro = 0;
  std::string nombre, puesto, telefono, correo, nota;
};
// Makes the table when the company predates it.
void aseguraContactos(const std::string& dirDatos, const LibroContactos& libro = kContactosClientes);
std::vector<Contacto> contactosCliente(const std::string& dirDatos, std::string_view cliente,
                                       const LibroContactos& libro = kContactosClientes);
// A new contact (registro 0) gets the owner's key; an existing one is rewritten.
// "" or the message of the refusal.
std::string guardaContacto(const std::string& dirDatos, std::string_view cliente, const Contacto& c,
                           const LibroContactos& libro = kContactosClientes);
bool quitaContacto(const std::string& dirDatos, uint32_t registro, const LibroContactos& libro = kContactosClientes);

}  // namespace mostrador::accounts
