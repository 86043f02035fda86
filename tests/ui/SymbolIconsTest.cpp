// SPDX-License-Identifier: MIT
#include "ui/SymbolIcons.h"
#include "ui/PopoverTexts.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

// Every symbol the panel names, from the texts and from the controls that draw their own,
// ships and draws in the asked colour only; an unknown name draws nothing at the size.
TEST(SymbolIcons, EveryNamedSymbolShipsAndDrawsInTheAskedColour)
{
    QStringList names = {"chevron.down", "exclamationmark.triangle.fill", "lock.shield"};
    for (PopoverAction action : allCases(CasesOf<PopoverAction>{}))
        names.append(PopoverTexts::actionIcon(action));
    using PopoverTexts::ResultControl;
    for (ResultControl control : {ResultControl::replace, ResultControl::copy, ResultControl::back})
        names.append(PopoverTexts::resultControl(control, PopoverTexts::Layout::chips).icon);
    for (ErrorRecovery recovery :
         {ErrorRecovery::openSettings, ErrorRecovery::update, ErrorRecovery::retry})
        names.append(PopoverTexts::recoveryButton(recovery)->icon);

    const QColor colour(200, 40, 90);
    for (const QString& name : names + QStringList{"no.such.symbol"}) {
        SCOPED_TRACE(name.toStdString());
        const bool known = name != "no.such.symbol";
        EXPECT_EQ(SymbolIcons::exists(name), known);
        const QImage image = SymbolIcons::pixmap(name, 12, colour, 2).toImage();
        EXPECT_EQ(image.size(), QSize(24, 24));
        int covered = 0;
        int otherColour = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                covered += pixel.alpha() == 255;
                otherColour += pixel.alpha() == 255 && pixel.rgb() != colour.rgb();
            }
        }
        EXPECT_TRUE(known ? covered > 10 : covered == 0) << covered;
        EXPECT_EQ(otherColour, 0);
    }
}

} // namespace
