#include "app/statistics_window_controller.h"
#include "app/translations.h"
#include "model/import_session.h"
#include "model/ql_settings.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

#include <gtest/gtest.h>

using ql::Translations;

namespace {

QString statisticsTitle() {
  QLSettings settings;
  StatisticsWindowController w(&settings, nullptr);
  return w.window()->windowTitle();
}

}  // namespace

TEST(Translations, AGermanLocaleTranslatesTheWindowsTheMessagesAndQtsButtons) {
  for (const QLocale& locale : {QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::German, QLocale::Austria)}) {
    Translations translations;
    ASSERT_TRUE(translations.load(locale)) << locale.name().toStdString();
    QLSettings settings;
    StatisticsWindowController w(&settings, nullptr);
    EXPECT_EQ(w.window()->windowTitle(), "Statistik");
    EXPECT_EQ(w.statisticPeriodPopup->itemText(1), "Letzte 30 Tage");
    // Made before the translation was there, put in German when shown.
    EXPECT_EQ(QString(ql::ImportSession::kInvalid), "Ungültiges Format oder leere Datei!");
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text().remove(u'&'), "Abbrechen");
  }
  // Gone with the object: the next window is English again.
  EXPECT_EQ(statisticsTitle(), "Statistics");
}

TEST(Translations, EnglishAnUnknownLanguageOrALaterSwitchKeepsTheEnglishTexts) {
  for (const QLocale& locale : {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::Swahili), QLocale::c()}) {
    Translations translations;
    EXPECT_FALSE(translations.load(locale)) << locale.name().toStdString();
    EXPECT_EQ(statisticsTitle(), "Statistics");
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text().remove(u'&'), "Cancel");
  }
  Translations translations;
  ASSERT_TRUE(translations.load(QLocale(QLocale::German)));
  EXPECT_FALSE(translations.load(QLocale(QLocale::English)));
  EXPECT_EQ(statisticsTitle(), "Statistics");
  QDialogButtonBox box(QDialogButtonBox::Cancel);
  EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text().remove(u'&'), "Cancel");
  EXPECT_EQ(QString(ql::ImportSession::kInvalid), "Invalid format or empty file!");
}
