#pragma once
// The help index "<system directory>\ayuda\ayudatvk.tvk": each screen can append the
// outline of its main menu, which the help viewer lists.

#include <string>
#include <string_view>
#include <vector>

namespace mostrador::base {

// A menu entry as the screen shows it (caption with its "&" marks) and its sub-entries.
struct EntradaMenu {
  std::string titulo;
  std::vector<EntradaMenu> entradas;
};

// Appends, creating the file (and its folder) when missing: the title; then for each top
// entry from the second on, its caption, the captions of its direct sub-entries and a
// line of 29 asterisks. The first top entry (the file menu) is left out.
bool escribeIndiceAyuda(std::string_view directorioSistema, std::string_view titulo,
                        const std::vector<EntradaMenu>& menuPrincipal);

// A ".mht" help page is a MIME file whose text/html part is the page (8bit or
// quoted-printable, Windows-1252): that part in UTF-8, for the program's own viewer. A
// text that is not MIME is taken as the page itself.
std::string htmlDeMht(std::string_view bytes);

}  // namespace mostrador::base
