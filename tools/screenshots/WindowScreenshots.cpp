// SPDX-License-Identifier: MIT
// Draws the tray menu, the About window, the settings window and the welcome guide's pages
// into PNG files, so a person can look at them without a desktop:
// window_screenshots OUTPUT_DIRECTORY [SCALE]
#include "ai/KeychainHelper.h"
#include "onboarding/guide/OnboardingView.h"
#include "onboarding/guide/OnboardingWindowController.h"
#include "settings/Preferences.h"
#include "support/fakes/FakeAccessibilityPermission.h"
#include "support/fakes/FakeClock.h"
#include "support/fakes/FakeDoubleTapTrigger.h"
#include "support/fakes/FakeKeyboardLayout.h"
#include "support/fakes/FakeSecretStore.h"
#include "ui/settings/SettingsView.h"
#include "ui/settings/SettingsWindowController.h"
#include "ui/tray/StatusItemController.h"
#include "updates/UpdateConfig.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLayout>
#include <QMenu>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>

namespace {

struct Output {
    QString directory;
    qreal scale;

    bool save(QWidget& widget, const QString& name) const
    {
        widget.ensurePolished();
        // Layouts catch up with changed texts through posted events.
        QCoreApplication::sendPostedEvents();
        if (widget.layout())
            widget.layout()->activate();
        QImage image(widget.size() * scale, QImage::Format_ARGB32);
        image.setDevicePixelRatio(scale);
        image.fill(widget.palette().color(QPalette::Window));
        QPainter painter(&image);
        widget.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
        painter.end();
        const QString path = QDir(directory).filePath(name + QStringLiteral(".png"));
        if (!image.save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return false;
        }
        std::printf("%s\n", qPrintable(path));
        return true;
    }
};

bool trayMenus(const Output& output, Clock& clock)
{
    FakeAccessibilityPermission accessibility;
    const UpdateConfig updates(UserDefaults::standard());
    StatusItemController tray(accessibility, clock, updates,
                              XdgAutostartEntry(QStringLiteral("/bin/true")));
    bool ok = true;
    for (const bool trusted : {true, false}) {
        accessibility.trusted = trusted;
        emit tray.menu().aboutToShow();
        tray.menu().adjustSize();
        ok = output.save(tray.menu(), trusted ? QStringLiteral("tray-menu")
                                              : QStringLiteral("tray-menu-grant")) &&
             ok;
    }
    tray.showAbout();
    return output.save(*tray.aboutPanel().window(), QStringLiteral("about")) && ok;
}

bool settingsWindows(const Output& output, FakeSecretStore& keyring, KeyCharacters& layout,
                     Clock& clock, Preferences& preferences)
{
    FakeAccessibilityPermission accessibility;
    FakeDoubleTapTrigger doubleTap;
    SettingsWindowController settings(doubleTap, accessibility, layout, clock, keyring,
                                      preferences);
    preferences.addUsage(clock, 12840, 2315);
    settings.show();
    bool ok = output.save(*settings.window(), QStringLiteral("settings"));

    preferences.setDoubleTapModifier(DoubleTapModifier::option);
    doubleTap.setWaiting(true);
    (void)settings.view()->record({40, HotkeyShortcut::commandBit});
    settings.show();
    ok = output.save(*settings.window(), QStringLiteral("settings-errors")) && ok;
    doubleTap.setWaiting(false);

    preferences.setFlag(DefaultsKey::useOwnAPIKey, true);
    (void)keyring.write(QString::fromLatin1(KeychainHelper::service),
                        QString::fromLatin1(KeychainHelper::openAIAccount), "sk-example");
    SettingsWindowController ownKey(doubleTap, accessibility, layout, clock, keyring, preferences);
    ownKey.show();
    ok = output.save(*ownKey.window(), QStringLiteral("settings-own-key")) && ok;
    preferences.setFlag(DefaultsKey::useOwnAPIKey, false);
    preferences.setDoubleTapModifier(DoubleTapModifier::off);
    return ok;
}

bool guidePages(const Output& output, KeyCharacters& layout, Clock& clock, SecretStore& keyring,
                Preferences& preferences)
{
    FakeAccessibilityPermission accessibility;
    accessibility.trusted = false;
    OnboardingWindowController guide(accessibility, layout, clock, keyring, preferences, [] {});
    // No search of this computer's ports: the page shows what it says when none answers.
    guide.setProbeCandidates({});
    guide.show();
    OnboardingView& view = *guide.view();
    bool ok = output.save(*guide.window(), QStringLiteral("guide-1-welcome"));
    view.goForward();
    ok = output.save(*guide.window(), QStringLiteral("guide-2-permission")) && ok;
    accessibility.trusted = true;
    guide.show();
    ok = output.save(*guide.window(), QStringLiteral("guide-2-granted")) && ok;
    view.goForward();
    ok = output.save(*guide.window(), QStringLiteral("guide-3-connect")) && ok;
    view.goForward();
    ok = output.save(*guide.window(), QStringLiteral("guide-4-usage")) && ok;
    guide.close();
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    // The preferences the pictures need are written to a throw-away settings directory.
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_screenshots OUTPUT_DIRECTORY [SCALE]\n");
        return 2;
    }
    const Output output{QString::fromLocal8Bit(argv[1]),
                        argc > 2 ? QString::fromLocal8Bit(argv[2]).toDouble() : 2.0};
    QDir().mkpath(output.directory);

    // Nothing here may touch the user's keyring, and the keys are named as on a US layout.
    FakeSecretStore keyring;
    FakeKeyboardLayout layout;
    for (const auto& [key, text] : {std::pair{17u, "t"}, {40u, "k"}})
        layout.setText(key, QString::fromLatin1(text));
    FakeClock clock;
    Preferences preferences(UserDefaults::standard());

    bool ok = trayMenus(output, clock);
    ok = settingsWindows(output, keyring, layout, clock, preferences) && ok;
    ok = guidePages(output, layout, clock, keyring, preferences) && ok;

    return ok ? 0 : 1;
}
