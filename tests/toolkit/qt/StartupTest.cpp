#include "toolkit/qt/Startup.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>
#include <gtest/gtest.h>

namespace {

TEST(QtTranslations, GiveQtsOwnTextsInTheLocalesLanguageWhileInstalled) {
    const auto english = [] { return QCoreApplication::translate("QFileDialog", "Look in:"); };
    ASSERT_EQ(english(), QStringLiteral("Look in:"));
    {
        const auto german = LoadQtTranslations(QLocale(QLocale::German, QLocale::Germany));
        ASSERT_NE(german, nullptr);
        EXPECT_EQ(english(), QStringLiteral("Suchen in:"));
    }
    // Gone with the object: nothing dangles in the application.
    EXPECT_EQ(english(), QStringLiteral("Look in:"));
    EXPECT_EQ(LoadQtTranslations(QLocale(QLocale::Zulu)), nullptr);
}

} // namespace
