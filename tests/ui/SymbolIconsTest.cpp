// SPDX-License-Identifier: MIT
#include "ui/SymbolIcons.h"
#include "ui/PopoverTexts.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

// Every symbol the panel names, from the texts and from the controls that draw their own.
QStringList namedSymbols()
{
    QStringList names = {QStringLiteral("chevron.down"),
                         QStringLiteral("exclamationmark.triangle.fill"),
                         QStringLiteral("lock.shield")};
    for (PopoverAction action : allCases(CasesOf<PopoverAction>{}))
        names.append(PopoverTexts::actionIcon(action));
    using PopoverTexts::ResultControl;
    for (ResultControl control : {ResultControl::replace, ResultControl::copy, ResultControl::back})
        names.append(PopoverTexts::resultControl(control, PopoverTexts::Layout::chips).icon);
    for (ErrorRecovery recovery :
         {ErrorRecovery::openSettings, ErrorRecovery::update, ErrorRecovery::retry})
        names.append(PopoverTexts::recoveryButton(recovery)->icon);
    return names;
}

TEST(SymbolIcons, EveryNamedSymbolShipsAndDrawsInTheAskedColour)
{
    const QColor colour(200, 40, 90);
    for (const QString& name : namedSymbols()) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(SymbolIcons::exists(name));
        const QImage image = SymbolIcons::pixmap(name, 12, colour, 2).toImage();
        EXPECT_EQ(image.size(), QSize(24, 24));
        int covered = 0;
        bool onlyThatColour = true;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (pixel.alpha() < 255)
                    continue;
                ++covered;
                onlyThatColour = onlyThatColour && pixel.rgb() == colour.rgb();
            }
        }
        EXPECT_GT(covered, 10);
        EXPECT_TRUE(onlyThatColour);
    }
}

TEST(SymbolIcons, UnknownNameGivesAnEmptyPictureOfTheSize)
{
    EXPECT_FALSE(SymbolIcons::exists(QStringLiteral("no.such.symbol")));
    const QImage image =
        SymbolIcons::pixmap(QStringLiteral("no.such.symbol"), 11, Qt::white, 1).toImage();
    EXPECT_EQ(image.size(), QSize(11, 11));
    EXPECT_EQ(image.pixelColor(5, 5).alpha(), 0);
}

} // namespace
