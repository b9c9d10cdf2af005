#pragma once
// One field's value between two handles of tables that share the field (a catalogue and
// its one-record working copy), through the typed setters: a blank stays blank.

#include <string>

#include "store/dbf/dbf_table.h"

namespace mostrador::store {

// Nothing happens when either table lacks the field.
void copiaCampo(const dbf::Table& de, dbf::Table& a, const std::string& campo);

}  // namespace mostrador::store
