#include "presentation/views/inspectors/FontFamilies.h"

#include "data/composition/TextRenderer.h"

#include <gtest/gtest.h>

using namespace vexel;

TEST(FontFamiliesTest, ListsEachFamilyOnceInByteOrderAfterTheDefaultFont) {
    const QStringList database = {
        "Zeta",
        "DejaVu Sans [Foundry A]",
        "DejaVu Sans [Foundry B]",
        "DejaVu Sans",
        "apple",
        QStringLiteral("\u00C9mile"),
        QStringLiteral("\u00C4rger"),
        // U+1D49C sorts after U+FF21 in UTF-8, before it in UTF-16.
        QStringLiteral("\U0001D49C Script"),
        QStringLiteral("\uFF21 Wide"),
        "Substituted",
        "Bracket [in] name",
    };
    const QStringList list = fontFamilyList(
        database, [](const QString& family) { return family != QStringLiteral("Substituted"); });
    EXPECT_EQ(list,
              (QStringList{"", "Bracket [in] name", "DejaVu Sans", "Zeta", "apple",
                           QStringLiteral("\u00C4rger"), QStringLiteral("\u00C9mile"),
                           QStringLiteral("\uFF21 Wide"), QStringLiteral("\U0001D49C Script")}));
}

TEST(FontFamiliesTest, EveryInstalledFamilyListedIsDrawnInItself) {
    const QStringList& families = installedFontFamilies();
    ASSERT_GE(families.size(), 2) << "the machine has at least one font";
    EXPECT_EQ(families.front(), QString());
    EXPECT_EQ(&installedFontFamilies(), &families) << "asked once";
    for (qsizetype i = 1; i < families.size(); ++i) {
        EXPECT_EQ(TextRenderer::resolveFont(families[i].toStdString(), 24).family,
                  families[i].toStdString());
        EXPECT_LT(families[i - 1].toStdString(), families[i].toStdString());
    }
}
