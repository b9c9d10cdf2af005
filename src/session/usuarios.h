#pragma once
// The users file "usuarios.def" of the system directory: who may sign in and what each
// user may do. The record at position k is user number k; the administrator is user 0.
//
// Record layout (140 bytes, no file header):
//
//   OFFSET  SIZE  FIELD     CONTENT
//   0       4     numero    int32 LE, always equal to the record's position
//   4       3     -         reserved, zeros
//   7       61    nombre    length byte (0..60) + 60 bytes, scrambled
//   68      11    clave     length byte (0..10) + 10 bytes, scrambled
//   79      61    derechos  length byte (0..60) + 60 bytes, plain "s"/"n" letters
//
// Scrambling: a Windows-1252 byte found at position p (1-based) of the 86-character
// alphabet is stored as p + 30 (31..116); any other byte c as (c + 19) mod 256. Reading
// turns 31..116 back into the alphabet and anything else into (b - 19) mod 256, so a
// character outside the alphabet whose code + 19 lands in 31..116 (e.g. "&") comes back
// as an alphabet character, as older files expect.
//
// Every operation opens the file, reads or writes and lets it go: nothing is cached, so
// a change saved on the users page is seen by the next check anywhere.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mostrador::base {
class Interaccion;
}

namespace mostrador::session {

inline constexpr size_t kTamRegistroUsuario = 140;
inline constexpr size_t kCapacidadNombre = 60;
inline constexpr size_t kCapacidadClave = 10;
inline constexpr size_t kCapacidadDerechos = 60;
inline constexpr int kDerechosPagina = 55;  // letters the users page writes

inline constexpr std::string_view kSinArchivoUsuarios = "El Archivo de Usuarios No Existe ";
inline constexpr std::string_view kNoRegistrado = "No Registrado";
inline constexpr std::string_view kClaveVacia = "Escriba la clave del usuario";
inline constexpr std::string_view kClaveRepetida =
    "Esa clave ya la tiene otro usuario; escriba una diferente";

// The 86 characters in their fixed scrambled order, as Windows-1252 bytes.
std::string_view alfabetoRevuelto();

// UTF-8 text to stored bytes and back (see the header comment).
std::string revuelve(std::string_view utf8);
std::string desrevuelve(std::string_view almacenado);

struct Usuario {
  int numero = 0;
  std::string nombre;    // UTF-8, plain
  std::string clave;     // UTF-8, plain
  std::string derechos;  // letters as stored, right 1 first
  friend bool operator==(const Usuario&, const Usuario&) = default;
};

// The 140 bytes of a record; strings longer than their capacity are cut.
std::string codificaUsuario(const Usuario& u);
Usuario decodificaUsuario(std::string_view registro);

std::string archivoUsuarios(std::string_view directorio);  // "<dir>\usuarios.def"

// Raw access, no messages. leeUsuarios: nullopt when the file is missing.
std::optional<std::vector<Usuario>> leeUsuarios(std::string_view directorio);
long cuentaUsuarios(std::string_view directorio);
std::optional<Usuario> leeUsuario(std::string_view directorio, long posicion);
bool escribeUsuario(std::string_view directorio, long posicion, const Usuario& u);
bool agregaUsuario(std::string_view directorio, const Usuario& u);
// Replaces the file with these users, numbering them by position.
bool escribeUsuarios(std::string_view directorio, std::vector<Usuario> usuarios);

// The users file of a new installation or company: the administrator alone, holding
// every right of the users page.
Usuario administradorInicial(std::string_view nombre, std::string_view clave);

// --- Lookups the rest of the system calls. A missing file shows kSinArchivoUsuarios. ---

// The name of the user whose record carries that number, or "No Registrado".
// A missing file gives "".
std::string nombreUsuario(base::Interaccion& ui, std::string_view directorioSistema,
                          std::string_view numero);

// Brings the company's copy of the users file in (when the data directory holds one,
// it overwrites the system directory's), then gives the number of the first user whose
// key equals the typed one exactly, or -1.
int usuarioPorClave(base::Interaccion& ui, std::string_view directorioSistema,
                    std::string_view directorioDatos, std::string_view clave);

// Whether the typed key equals user 0's key exactly.
bool esClaveAdministrador(base::Interaccion& ui, std::string_view directorioSistema,
                          std::string_view clave);

// --- The users page of the general configuration screen. ---
//
//   Browsing --BotonNuevo--> New --BotonGuarda--> Browsing (record appended)
//   Browsing --BotonCambios--> Change --BotonGuarda--> Browsing (record rewritten)
//
// It edits the system directory's file directly.
class PaginaUsuarios {
 public:
  enum class Modo { Consulta, Nuevo, Cambio };

  PaginaUsuarios(base::Interaccion& ui, std::string directorioSistema);

  // Showing the screen: Nume := 0 and user 0 is loaded.
  void muestra();
  // NumeChange: a value of 0 or less becomes 0; loads the record at that position.
  void NumeChange(int valor);
  void BotonNuevoClick();
  void BotonCambiosClick();
  // False (with a message, staying in its mode) when the key is empty or is already
  // another user's: that user would otherwise be the one every sign-in finds.
  bool BotonGuardaClick();
  void BotonEliminaClick();
  // Copies the system directory's users file over the company's.
  bool BitBtn1Click(std::string_view directorioDatos);

  int nume() const { return nume_; }
  int limiteNume() const { return limite_; }  // record count - 1
  Modo modo() const { return modo_; }
  bool nuevoHabilitado() const { return modo_ == Modo::Consulta; }
  bool cambiosHabilitado() const { return modo_ == Modo::Consulta; }
  bool guardaHabilitado() const { return guardaHabilitado_; }
  // Name, key and rights can be changed only in new or change mode.
  bool edicionHabilitada() const { return modo_ != Modo::Consulta; }

  // Edit26, Edit25 and the 55 rights controls (index 0 is right 1).
  std::string nombre;
  std::string clave;
  std::vector<bool> derechos = std::vector<bool>(kDerechosPagina, false);

  // The 55-letter rights string of the ticked controls.
  std::string cadenaDerechos() const;

 private:
  base::Interaccion& ui_;
  std::string sistema_;
  int nume_ = 0;
  int limite_ = 0;
  Modo modo_ = Modo::Consulta;
  bool guardaHabilitado_ = false;
};

}  // namespace mostrador::session
