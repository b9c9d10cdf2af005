#include "reports/screens/hoja_qt.h"

#include <QHBoxLayout>
#include <QTextCursor>
#include <QVBoxLayout>
#include <filesystem>
#include <memory>

#include "base/rutas.h"
#include "ui/impresora_qt.h"

VentanaHoja armaVentanaHoja(QDialog* d, std::initializer_list<std::pair<const char*, QString>> botones) {
  VentanaHoja v;
  auto* todo = new QVBoxLayout(d);
  auto* fila = new QHBoxLayout;
  for (const auto& [nombre, texto] : botones) {
    auto* b = new QPushButton(texto, d);
    b->setObjectName(nombre);
    b->setAutoDefault(false);
    fila->addWidget(b);
    v.botones.push_back(b);
  }
  todo->addLayout(fila);
  v.hoja = new QTextEdit(d);
  v.hoja->setObjectName("Hoja");
  v.hoja->setReadOnly(true);
  v.hoja->setLineWrapMode(QTextEdit::NoWrap);
  todo->addWidget(v.hoja, 1);
  v.estado = new QLabel(d);
  v.estado->setObjectName("Estado");
  todo->addWidget(v.estado);
  return v;
}

void muestraHoja(QTextEdit* vista, const std::vector<mostrador::reports::LineaHoja>& lineas) {
  vista->clear();
  QTextCursor c(vista->document());
  bool primera = true;
  for (const auto& l : lineas) {
    if (!primera) c.insertBlock();
    primera = false;
    QTextCharFormat f;
    f.setFontFamilies({QStringLiteral("Courier New"), QStringLiteral("DejaVu Sans Mono"), QStringLiteral("monospace")});
    f.setFontFixedPitch(true);
    f.setFontPointSize(l.tamano > 0 ? l.tamano : 8);
    f.setForeground(QColor(l.color.r, l.color.g, l.color.b));
    c.insertText(QString::fromUtf8(l.texto.data(), static_cast<int>(l.texto.size())), f);
  }
  vista->moveCursor(QTextCursor::Start);
}

bool imprimeOPdf(mostrador::printing::Impresora* impresora, mostrador::base::Interaccion& ui, std::string_view titulo,
                 const std::function<void(mostrador::printing::Impresora&)>& trabajo) {
  std::unique_ptr<ImpresoraQt> propia;
  if (!impresora) {
    propia = std::make_unique<ImpresoraQt>();
    impresora = propia.get();
  }
  // The job is started here first: a printer that does not take it is found before
  // anything is drawn.
  if (impresora->iniciaTrabajo(titulo)) {
    trabajo(*impresora);
    return true;
  }
  ui.mensaje(kImpresoraNoLista);
  auto nombre = ui.guardaArchivo("Guardar como PDF", "PDF (*.pdf)|*.pdf");
  if (!nombre || nombre->empty()) return false;
  std::string ruta = *nombre;
  if (std::filesystem::path(ruta).extension().empty()) ruta += ".pdf";
  auto pdf = ImpresoraQt::aPdf(mostrador::base::resuelve(ruta).string());
  if (!pdf->iniciaTrabajo(titulo)) {
    ui.mensaje("No se pudo escribir " + ruta);
    return false;
  }
  trabajo(*pdf);
  return true;
}

bool imprimeLineas(mostrador::printing::Impresora* impresora, mostrador::base::Interaccion& ui,
                   const std::vector<std::string>& lineas, const std::string& fecha) {
  std::vector<mostrador::reports::PaginaImpresa> paginas;
  for (size_t i = 0; i < lineas.size(); ++i) {
    if (i % 60 == 0) paginas.emplace_back();
    paginas.back().lineas.push_back({lineas[i], mostrador::reports::kNegroHoja, 8});
  }
  const std::string titulo = lineas.empty() ? std::string() : lineas.front();
  return imprimeOPdf(impresora, ui, titulo, [&](mostrador::printing::Impresora& im) {
    mostrador::reports::imprimePaginas(im, titulo, paginas, 1, fecha, "Courier New", 8);
  });
}
