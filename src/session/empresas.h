#pragma once
// Company choice and sign-in (the engine behind TFormaEmpresas).
//
// The start directory is the current directory when the screen is created; the company
// files "Gener<N>.cnf" are looked up there. Every line read from an existing company
// file rewrites the initialisation file, so merely moving Empresa to another existing
// company makes it the current one, before any key is typed.
//
// Sign-in: the typed key is looked up among the users (the company's own users file is
// brought in first); failing that, it is compared with the company access key (line
// 11). The file check that follows a sign-in only reports: it never undoes it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session/inicio.h"
#include "base/interaccion.h"

namespace mostrador::session {

inline constexpr std::string_view kTituloProducto = "Mostrador";
inline constexpr std::string_view kVersionUsuario = "    V 4.6.1   ";  // signed in by a user key
inline constexpr std::string_view kVersionEmpresa = "     V 4.6.1   ";  // by the company access key

// The tables and indexes the file check expects in the data directory.
const std::vector<std::string_view>& tablasRevisadas();   // 24 names
const std::vector<std::string_view>& indicesRevisados();  // the same without "Poventas"

struct Ingreso {
  enum Tipo {
    Nada,          // empty key and Enter: nothing happens
    Usuario,       // a user's key
    ClaveEmpresa,  // the company access key: the signed-in user stays as it was
    Incorrecta,    // "Clave Incorrecta" was shown
  };
  Tipo tipo = Nada;
  int usuario = -1;    // for Usuario
  std::string titulo;  // the main window's new title, for Usuario and ClaveEmpresa
  bool exito() const { return tipo == Usuario || tipo == ClaveEmpresa; }
};

class Empresas {
 public:
  // Creating the screen: records the start directory and shows the data directory
  // (line 8) of the preselected company, which rewrites the initialisation file.
  Empresas(base::Interaccion& ui, std::string directorioSistema, std::string directorioInicio,
           int empresaInicial = 1);

  // Each time the screen is shown: marks it as shown and refreshes the company.
  void FormActivate();
  // A new value in Empresa.
  void EmpresaChange(int empresa);

  // Enter in Clave: an empty key does nothing.
  Ingreso ClaveEnter(std::string_view clave);
  // Aceptar: signs in whatever the key.
  Ingreso AceptarClick(std::string_view clave);
  Ingreso ingresa(std::string_view clave);

  // The check after a successful sign-in: missing scratch tables at once, missing company
  // tables and indexes in one report followed by the closing advice.
  void revisaArchivos();

  int empresa() const { return empresa_; }
  bool mostrada() const { return mostrada_; }
  const std::string& Rutainicio() const { return rutaInicio_; }
  const std::string& NombreEmpresa() const { return nombreEmpresa_; }
  const std::string& Usuario() const { return usuario_; }  // the screen's own label
  void ponUsuario(std::string u) { usuario_ = std::move(u); }
  const LectorEmpresa& lector() const { return lector_; }
  const std::string& directorioSistema() const { return sistema_; }

 private:
  void refresca();

  base::Interaccion& ui_;
  std::string sistema_;
  LectorEmpresa lector_;
  int empresa_;
  bool mostrada_ = false;
  std::string rutaInicio_, nombreEmpresa_, usuario_;
};

}  // namespace mostrador::session
