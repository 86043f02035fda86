// SPDX-License-Identifier: MIT
// What opens and closes the panel, each by the means a person uses: the shortcut, a double
// tap of Alt, `quillmark trigger` bound to a desktop shortcut. (Esc while an answer is on
// its way, whose late answer must not reach the panel: PanelCycleTest, over a real loopback
// service.)
#include "E2eTest.h"

using namespace Qt::StringLiterals;

namespace {

enum class Trigger { shortcut, doubleTapAlt, command };

struct TriggerRow {
    const char* name;
    Trigger trigger;
    // The source named in the log: "<source> fired", "panel dismissed (<source> toggle)".
    const char* source;
};

// Rows are named in the output by their name alone.
void PrintTo(const TriggerRow& row, std::ostream* out)
{
    *out << row.name;
}

class PanelTriggerTest : public E2eTest, public ::testing::WithParamInterface<TriggerRow> {
protected:
    ::testing::AssertionResult fire(Trigger trigger)
    {
        switch (trigger) {
        case Trigger::shortcut:
            return press(u"alt+super+t"_s);
        case Trigger::doubleTapAlt:
            // Two short taps well inside the double-tap window, with nothing held.
            if (!xdotool({u"key"_s, u"--delay"_s, u"120"_s, u"Alt_L"_s, u"Alt_L"_s}))
                return broke(u"xdotool could not tap Alt twice"_s, QString());
            return ::testing::AssertionSuccess();
        case Trigger::command:
            return runCommand(u"quillmark trigger did not reach the running instance"_s,
                              {u"trigger"_s});
        }
        return ::testing::AssertionFailure();
    }
};

const QString noSelectionHint = u"Select some text first, then press the hotkey."_s;

} // namespace

TEST_P(PanelTriggerTest, OpensThePanelAndClosesItAgain)
{
    const TriggerRow row = GetParam();
    const QString source = QString::fromLatin1(row.source);
    if (row.trigger == Trigger::doubleTapAlt) {
        ASSERT_TRUE(writeDefault(u"doubleTapModifier"_s, u"-string"_s, u"option"_s));
    }
    ASSERT_TRUE(startTray());
    if (row.trigger == Trigger::doubleTapAlt) {
        ASSERT_TRUE(logShows(u"info hotkey: double-tap ⌥ armed"_s));
    }

    const qsizetype beforeOpen = m_tray.mark();
    ASSERT_TRUE(fire(row.trigger));
    ASSERT_TRUE(logShows(u"info hotkey: %1 fired"_s.arg(source), beforeOpen));
    ASSERT_TRUE(logMatches(uR"(info app: panel shown frame .*)"_s, beforeOpen));
    // No editor is open, so there is nothing to capture.
    ASSERT_TRUE(panelShows(noSelectionHint));

    const qsizetype beforeClose = m_tray.mark();
    ASSERT_TRUE(fire(row.trigger));
    ASSERT_TRUE(logShows(u"info app: panel dismissed (%1 toggle)"_s.arg(source), beforeClose));
    ASSERT_TRUE(panelHidden(u"the panel stayed on screen after the second trigger"_s));
}

INSTANTIATE_TEST_SUITE_P(
    E2e, PanelTriggerTest,
    ::testing::Values(TriggerRow{"Shortcut", Trigger::shortcut, "hotkey"},
                      TriggerRow{"DoubleTapAlt", Trigger::doubleTapAlt, "double-tap"},
                      TriggerRow{"TriggerCommand", Trigger::command, "trigger"}),
    rowName);
