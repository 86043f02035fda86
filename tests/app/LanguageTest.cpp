// SPDX-License-Identifier: MIT
#include "core/Language.h"

#include <QSet>
#include <gtest/gtest.h>

TEST(Language, TheTenTargetsInMenuOrder)
{
    QStringList ids;
    for (const Language& language : Language::all())
        ids.append(language.id);
    EXPECT_EQ(ids.join(','), "en,ka,ru,uk,de,fr,es,it,pt,tr");
    EXPECT_EQ(Language::all().at(4).name, "German");
    EXPECT_EQ(Language::english(), Language::all().first());
    EXPECT_EQ(Language::english().name, "English");
}

TEST(Language, IdentityNeedsBothFields)
{
    const Language british{QStringLiteral("en"), QStringLiteral("British")};
    EXPECT_NE(british, Language::english());
    QSet<Language> set{Language::english(), british};
    EXPECT_EQ(set.size(), 2);
}

TEST(Language, LookupByID)
{
    EXPECT_EQ(Language::withID("uk")->name, "Ukrainian");
    EXPECT_EQ(Language::withID("xx"), std::nullopt);
    EXPECT_EQ(Language::withID("EN"), std::nullopt);
}
