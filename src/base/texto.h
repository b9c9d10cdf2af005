#pragma once
// Text at the file boundary. Every file the system reads or writes is Windows-1252;
// memory is UTF-8. Text files are written with CR LF and read with CR LF, LF or CR.
// Paths are stored paths, resolved through rutas.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mostrador::base {

// Windows-1252 bytes to UTF-8. The five undefined bytes (81 8D 8F 90 9D) map to the
// C1 controls of the same value so that nothing is lost on a round trip.
std::string aUtf8(std::string_view cp1252);
// UTF-8 to Windows-1252; a character with no Windows-1252 form becomes "?".
std::string aCp1252(std::string_view utf8);
// Number of Windows-1252 bytes the UTF-8 text occupies on disk.
size_t anchoCp1252(std::string_view utf8);
// The longest prefix of the UTF-8 text that fits in n Windows-1252 bytes.
std::string cortaCp1252(std::string_view utf8, size_t n);

// Splits text at CR LF, LF or CR. A final line break does not make an empty last line.
std::vector<std::string> divideLineas(std::string_view texto);

// The lines of a text file, as UTF-8; nullopt when the file cannot be read.
std::optional<std::vector<std::string>> leeLineas(std::string_view ruta);
// Line n (1-based) of a text file: nullopt when the file is missing, "" when shorter.
std::optional<std::string> leeLinea(std::string_view ruta, int n);
// Whole-file contents as raw bytes; nullopt when the file cannot be read.
std::optional<std::string> leeBytes(std::string_view ruta);

// Writes the lines in Windows-1252, each ended by CR LF, replacing the file.
bool escribeLineas(std::string_view ruta, const std::vector<std::string>& lineas);
// Appends one line (CR LF), creating the file when missing.
bool agregaLinea(std::string_view ruta, std::string_view linea);
bool escribeBytes(std::string_view ruta, std::string_view bytes);

}  // namespace mostrador::base
