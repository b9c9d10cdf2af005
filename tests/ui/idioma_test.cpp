// Qt's own texts in Spanish: the standard buttons and the calendar, once the program has
// installed its language.

#include <gtest/gtest.h>

#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QLocale>
#include <QPushButton>

#include "support/principal_aplicacion.h"
#include "ui/idioma.h"

namespace {

TEST(Idioma, StandardButtonsAndTheCalendarSpeakSpanish) {
  QApplication& app = mostrador::prueba::aplicacionQt();
  ASSERT_TRUE(mostrador::ui::instalaEspanol(app));
  QDialogButtonBox botones(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Save);
  EXPECT_EQ(botones.button(QDialogButtonBox::Cancel)->text().toStdString(), "Cancelar");
  EXPECT_EQ(botones.button(QDialogButtonBox::Save)->text().toStdString(), "Guardar");
  QCalendarWidget calendario;
  EXPECT_EQ(calendario.locale().monthName(3).toStdString(), "marzo");
  EXPECT_EQ(calendario.locale().dayName(1, QLocale::ShortFormat).toStdString(), "lun");
  EXPECT_EQ(QLocale().toString(1234.5, 'f', 2).toStdString(), "1,234.50");
}

}  // namespace
