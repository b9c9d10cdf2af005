#pragma once
// The description popups' texts "<system directory>\ayuda\describe.des" (they come with
// the installation), one record per topic number, record 0 first:
//
//   OFFSET  CAPACITY  MEANING
//        0        10  topic key
//       11       125  first part of the text
//      137       125  second part of the text

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "base/registros_fijos.h"

namespace mostrador::base {

const DisenoRegistro& disenoDescripciones();

struct Descripcion {
  std::string clave, primera, segunda;
  // What the popup shows: the first part followed by at most 250 characters of the second.
  std::string texto() const;
};

// The topic's record; nullopt when the file is missing or has no such topic.
std::optional<Descripcion> leeDescripcion(std::string_view directorioSistema, int tema);

// Writes "<dir>\ayuda\describe.des" (and the folder) with one record per topic from 0 to
// the highest given; topics without a text are empty records. A text longer than the
// first part goes on in the second.
bool escribeDescripciones(std::string_view directorioSistema, const std::map<int, std::string>& textos);

}  // namespace mostrador::base
