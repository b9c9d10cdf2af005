// The format designer reached from the main window's format entry and from the report
// filter dialog's format command; the filter dialog's preparation and caption; the
// catalogue's custom report messages and its picture view.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "app/arranque_qt.h"
#include "base/rutas.h"
#include "designers/screens/TFormaCatalogo.h"
#include "designers/screens/TFormaEdicion.h"
#include "reports/screens/TFormaFormatos.h"
#include "shell/screens/TFormaPrincipal.h"
#include "store/dbf/dbf_table.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/principal_aplicacion.h"
#include "support/procesos_falsos.h"

using namespace mostrador;
using prueba::aplicacionQt;
using prueba::GuionModal;

namespace {

bool espera(const std::function<bool()>& condicion, int ms = 5000) {
  for (int t = 0; t < ms && !condicion(); t += 10) QTest::qWait(10);
  return condicion();
}

struct EditorRegistrado {
  std::vector<std::string> dirs;
  EditorRegistrado() {
    TFormaFormatos::registraEditor([this](QWidget*, const std::string& d) { dirs.push_back(d); });
  }
  ~EditorRegistrado() { TFormaFormatos::registraEditor({}); }
};

}  // namespace

TEST(DisenoFormatos, LaEntradaDeFormatosDelMenuAbreElDisenadorDesdeElDialogo) {
  aplicacionQt();
  prueba::DirectorioTemporal t;
  prueba::instalacionEnDirectorioActual();
  auto app = std::make_unique<app::Aplicacion>(shell::GanchosPrincipal{}, false);
  ASSERT_TRUE(app->principal().disponible(shell::Pantalla::Formatos));

  bool rangosOcultos = false, formatosVisible = false, enDiseno = false, codigoVisible = false;
  QString boton;
  int respuesta = -1;
  GuionModal guion;
  guion.luego([&](QWidget* m) {
    auto* f = qobject_cast<TFormaFormatos*>(m);
    ASSERT_NE(f, nullptr) << m->objectName().toStdString();
    rangosOcultos = f->findChild<QWidget*>("Rangos")->isHidden();
    formatosVisible = f->findChild<QWidget*>("Formatos")->isVisible();
    boton = f->BotonEdicion->text();
    QObject::connect(f, &QDialog::finished, [f, &respuesta] { respuesta = f->respuesta(); });
    QTest::mouseClick(f->BotonEdicion, Qt::LeftButton);
  });
  guion.luego([&](QWidget* m) {
    auto* e = qobject_cast<TFormaEdicion*>(m);
    ASSERT_NE(e, nullptr) << m->objectName().toStdString();
    enDiseno = e->enDiseno();
    auto* codigo = e->findChild<QPlainTextEdit*>("Codigo");
    codigoVisible = codigo && codigo->isVisible();
    e->reject();
  });
  app->principal().motor().Formatos1Click();
  ASSERT_TRUE(espera([&] { return guion.vistos().size() == 2; }));
  EXPECT_EQ(guion.vistos(), (std::vector<std::string>{"TFormaFormatos", "FormaEdicion"}));
  EXPECT_TRUE(rangosOcultos);
  EXPECT_TRUE(formatosVisible);
  EXPECT_EQ(boton, "Formato");
  EXPECT_TRUE(enDiseno);
  EXPECT_TRUE(codigoVisible);
  // After the designer the dialog answers 1 and closes by itself.
  EXPECT_EQ(respuesta, 1);
  app.reset();
  TFormaFormatos::registraEditor({});
}

TEST(DisenoFormatos, ElComandoDeFormatoAbreElEditorEnConsultaSalvoConRespuesta3) {
  aplicacionQt();
  EditorRegistrado editor;
  {
    TFormaFormatos f;
    f.ponDirectorioSistema("C:\\tvk");
    f.BotonEdicionClick();
    EXPECT_EQ(editor.dirs, std::vector<std::string>{base::une("C:\\tvk", "consulta")});
    EXPECT_EQ(f.respuesta(), 1);
    EXPECT_EQ(f.result(), QDialog::Accepted);
  }
  {
    TFormaFormatos f;
    f.BotonAceptarClick();
    EXPECT_EQ(f.respuesta(), 3);
    f.BotonEdicionClick();
    EXPECT_EQ(editor.dirs.size(), 1u);  // nothing more opened
    EXPECT_EQ(f.respuesta(), 3);
  }
  // The button that only returns is not the format command.
  TFormaFormatos f;
  EXPECT_EQ(f.BitBtn3->text(), "Regresar");
  QTest::mouseClick(f.BitBtn3, Qt::LeftButton);
  EXPECT_EQ(f.respuesta(), 2);
  EXPECT_EQ(editor.dirs.size(), 1u);
}

TEST(DisenoFormatos, PreparaFiltroHabilitaLasMarcasYElTituloDelLlamadorSeConserva) {
  aplicacionQt();
  prueba::DirectorioTemporal t;
  const std::string sistema = t.str() + "/tvk";
  base::creaDirectorios(sistema);
  TFormaFormatos f;
  f.ponDirectorioSistema(sistema);
  reports::FiltroReporte filtro;
  f.PreparaFiltro(filtro, false, true, true, "ventas.dbf", false, false, true,
                  "&Select V.CLAVE, V.IMPORTE*2 from ventas");
  EXPECT_EQ(f.windowTitle(), "Datos del Reporte");
  EXPECT_TRUE(f.Incluir1->isEnabled());
  EXPECT_FALSE(f.Incluir3->isEnabled());
  EXPECT_TRUE(f.IncluirDevoluciones->isEnabled());
  EXPECT_FALSE(filtro.inicialActivo);
  EXPECT_FALSE(filtro.finalActivo);
  EXPECT_TRUE(filtro.deActivo);
  EXPECT_FALSE(filtro.condicionesActivas);
  EXPECT_EQ(filtro.tabla, "ventas.dbf");
  // Without a dictionary the select-list fields are offered under their own names.
  ASSERT_EQ(filtro.campos.size(), 3u);
  EXPECT_EQ(filtro.campos[0].campo, "CLAVE");
  EXPECT_EQ(filtro.campos[1].campo, "IMPORTE");
  EXPECT_EQ(filtro.campos[2].campo, "2");

  f.ponCaption("Reporte de Consecutivo de Documentos");
  filtro.titulo = "Ventas";
  QString visto, titulo;
  bool fechaActiva = true;
  QTimer::singleShot(0, [&] {
    visto = f.windowTitle();
    titulo = f.Titulo->text();
    fechaActiva = f.Inicial->isEnabled();
    f.BitBtn4Click();
  });
  EXPECT_TRUE(f.pide(filtro));
  EXPECT_EQ(visto, "Reporte de Consecutivo de Documentos");
  EXPECT_EQ(titulo, "Ventas");
  EXPECT_FALSE(fechaActiva);
}

namespace {

struct Catalogo : ::testing::Test {
  prueba::DirectorioTemporal dir;
  std::string sistema = dir.str() + "/tvk", datos = dir.str() + "/datos";
  prueba::InteraccionFalsa ui;
  base::TablaProgramas programas{[](std::string_view) { return false; }, "/bin/yo"};
  prueba::ProcesosFalsos procesos;

  void SetUp() override {
    aplicacionQt();
    base::creaDirectorios(sistema);
    base::creaDirectorios(datos);
    dbf::Table::create(datos, "inventar.dbf",
                       {{"CLPRO_I", 'C', 10, 0}, {"EXIST_I", 'N', 12, 2}, {"IMAGE_I", 'C', 120, 0}},
                       {{"ICLPRO", "CLPRO_I"}});
    QImage roja(40, 20, QImage::Format_RGB32);
    roja.fill(Qt::red);
    ASSERT_TRUE(roja.save(QString::fromStdString(dir.str() + "/roja.png")));
    dbf::Table t;
    t.open(datos, "inventar.dbf");
    const std::pair<const char*, std::string> filas[] = {
        {"A1", dir.str() + "/roja.png"}, {"A2", dir.str() + "/falta.png"}, {"A3", ""}};
    for (const auto& [clave, imagen] : filas) {
      t.append();
      t.setText("CLPRO_I", clave);
      t.setFloat("EXIST_I", 2);
      t.setText("IMAGE_I", imagen);
      t.post();
    }
  }
};

}  // namespace

TEST_F(Catalogo, LaVistaDeImagenesMuestraLaImagenDelProductoDeLaFila) {
  TFormaCatalogo f(ui, sistema, datos, "inventar.dbf", {{"CLPRO_I", "Producto"}, {"EXIST_I", "Existencias"}}, "",
                   programas, procesos);
  EXPECT_TRUE(f.imagen()->isHidden());
  f.ponVistaImagenes(true);
  EXPECT_FALSE(f.imagen()->isHidden());
  f.rejilla()->setCurrentIndex(f.rejilla()->model()->index(0, 0));
  ASSERT_FALSE(f.imagen()->pixmap().isNull());
  EXPECT_EQ(f.imagen()->pixmap().toImage().pixelColor(f.imagen()->pixmap().width() / 2,
                                                       f.imagen()->pixmap().height() / 2),
            QColor(Qt::red));
  EXPECT_EQ(f.imagen()->toolTip().toStdString(), dir.str() + "/roja.png");
  // A missing picture file and a blank one show the caption only.
  for (int fila : {1, 2}) {
    f.rejilla()->setCurrentIndex(f.rejilla()->model()->index(fila, 0));
    EXPECT_TRUE(f.imagen()->pixmap().isNull()) << fila;
    EXPECT_EQ(f.imagen()->text(), "Imagen") << fila;
  }
  f.ponVistaImagenes(false);
  EXPECT_TRUE(f.imagen()->isHidden());
}

TEST_F(Catalogo, ElReportePropioConservaSuTituloYAvisaQueOrdena) {
  base::creaDirectorios(base::une(sistema, "report"));
  std::string caption = "Existencias por producto";
  caption.resize(35, ' ');
  ASSERT_TRUE(base::escribeLineas(base::une(base::une(sistema, "report"), "reportes.sql"),
                                  {caption + "Select CLPRO_I, EXIST_I from \"" + base::une(datos, "inventar.dbf") + "\""}));
  TFormaCatalogo f(ui, sistema, datos, "inventar.dbf", {{"CLPRO_I", "Producto"}}, "", programas, procesos);
  QString titulo;
  GuionModal guion;
  guion.luego([&](QWidget* m) {
    auto* d = qobject_cast<TFormaFormatos*>(m);
    ASSERT_NE(d, nullptr) << m->objectName().toStdString();
    titulo = d->windowTitle();
    d->BitBtn4Click();
  });
  guion.luego([](QWidget* m) {
    EXPECT_EQ(m->objectName(), "TFormaBarras");
    m->close();
  });
  f.ReporteClick(0);
  EXPECT_EQ(titulo, "Reporte de Consecutivo de Documentos");
  const auto& l = ui.llamadas();
  const auto creando = std::find(l.begin(), l.end(), "progreso: Creando Reporte Espere un momento por Favor... 0/2");
  const auto ordenando = std::find(l.begin(), l.end(), "progreso: Ordenando Reporte Espere un momento por Favor... 0/1");
  ASSERT_NE(creando, l.end());
  ASSERT_NE(ordenando, l.end());
  EXPECT_LT(creando, ordenando);
  EXPECT_EQ(guion.vistos(), (std::vector<std::string>{"TFormaFormatos", "TFormaBarras"}));
}
