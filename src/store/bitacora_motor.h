#pragma once
// The table engine's own events (a half-done save put back, an index rebuilt after an
// interrupted write) go to the station's log like every maintenance event.

#include <string>

namespace mostrador::store {

// From now on the engine's events are appended to "<dirSistema>\Bitacora.txt".
void registraEventosDelMotor(const std::string& dirSistema);

}  // namespace mostrador::store
