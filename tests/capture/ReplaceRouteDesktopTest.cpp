// SPDX-License-Identifier: MIT
// Which way Replace takes in real applications: straight into the accessible element
// (EditableText) where the toolkit handles it well, the paste otherwise, and what the
// application holds afterwards.
#include "DesktopTestSupport.h"

namespace {

enum class App { mousepad, gtk4TextView, qtTextEdit, qtLineEdit };

struct Route {
    const char* name;
    App app;
    // Empty for EditableText, otherwise the reason the paste is logged with.
    QString pasteReason;
    bool editedMeanwhile;
    // What the application holds after Replace put "THREE" over the selected "three".
    QString after;
    bool undoRestores;
};

class ReplaceRoute : public DesktopTest, public ::testing::WithParamInterface<Route> {
protected:
    std::optional<TargetApplication> open(App app, const QString& text)
    {
        if (app == App::mousepad)
            return mousepad.start(text) ? waitForActiveWindow(mousepad.pid(), "Mousepad")
                                        : std::nullopt;
        const bool started =
            app == App::gtk4TextView
                ? other.start("/usr/bin/python3", {GTK4_TEXT_VIEW_PATH, text})
                : other.start(TEXT_FIELD_WINDOW_PATH, app == App::qtTextEdit
                                                          ? QStringList{"--multi-line", text}
                                                          : QStringList{text});
        return started ? waitForActiveWindow(other.pid(), {}) : std::nullopt;
    }

    Mousepad mousepad;
    ChildProcess other;
    ClipboardOwner owner;
};

TEST_P(ReplaceRoute, ReplacesTheCapturedRangeByTheRouteMeasuredForTheToolkit)
{
    const Route& row = GetParam();
    ASSERT_TRUE(ownClipboard(owner, {{QStringLiteral("text/plain"), QByteArray("user's copy")}}));
    const std::optional<TargetApplication> target = open(row.app, QStringLiteral("one two three"));
    ASSERT_TRUE(target);
    ASSERT_TRUE(selectUntil({QStringLiteral("End"), QStringLiteral("shift+ctrl+Left")}, *target,
                            QStringLiteral("three")));

    const std::optional<CapturedSelection> captured = runCapture();
    ASSERT_TRUE(captured && captured->method == CaptureMethod::ax);
    ASSERT_TRUE(captured->targetApp && captured->targetApp->accessible);
    if (row.editedMeanwhile) {
        EXPECT_TRUE(
            xdotool({QStringLiteral("key"), QStringLiteral("ctrl+Home"), QStringLiteral("X")}));
    }
    (void)owner.askedFor();
    log.sink.clear();

    runPaste(QStringLiteral("THREE"), captured->targetApp);

    if (row.pasteReason.isEmpty()) {
        EXPECT_EQ(
            log.lines(),
            QStringList{QStringLiteral("info replace: replaced via EditableText in %1 (5 chars)")
                            .arg(target->title.isEmpty() ? target->wmClass : target->title)});
        // The user's clipboard was neither read nor taken: its owner was never asked and
        // is still the one that answers.
        EXPECT_EQ(owner.askedFor(), QStringList());
        EXPECT_EQ(selectionBytes(QStringLiteral("clipboard"), QStringLiteral("text/plain")),
                  QByteArray("user's copy"));
        EXPECT_FALSE(owner.askedFor().isEmpty());
    } else {
        EXPECT_EQ(log.lines().value(0), "info replace: replacing via paste: " + row.pasteReason);
    }
    EXPECT_TRUE(selectAll(*target, row.after));
    if (row.undoRestores) {
        // The first undo removes the insertion, the second brings the original back.
        EXPECT_TRUE(
            xdotool({QStringLiteral("key"), QStringLiteral("ctrl+z"), QStringLiteral("ctrl+z")}));
        EXPECT_TRUE(selectAll(*target, QStringLiteral("one two three")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Applications, ReplaceRoute,
    ::testing::Values(Route{"mousepadSourceView", App::mousepad, {}, false, "one two THREE", true},
                      Route{"gtk4TextView", App::gtk4TextView, {}, false, "one two THREE", true},
                      Route{"qtTextEdit", App::qtTextEdit, {}, false, "one two THREE", true},
                      Route{"qtLineEdit", App::qtLineEdit,
                            "single-line Qt fields lose their undo history", false, "one two THREE",
                            false},
                      Route{"mousepadEditedMeanwhile", App::mousepad,
                            "the selected text changed since capture", true, "XTHREEone two three",
                            false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
