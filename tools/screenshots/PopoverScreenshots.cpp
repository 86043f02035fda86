// SPDX-License-Identifier: MIT
// Draws the panel in every state, in both layouts side by side, into PNG files, so a person can
// look at it without a desktop: popover_screenshots OUTPUT_DIRECTORY [SCALE]
#include "core/PopoverModel.h"
#include "settings/Preferences.h"
#include "ui/PopoverView.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLayout>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <list>

namespace {

struct Scene {
    const char* name;
    std::function<void(PopoverModel&)> fill;
};

const QString draft =
    QStringLiteral("hey team, i wanted to let you know that the release are going to be delayed "
                   "until next week because we found a issue in the importer.");

QList<Scene> scenes()
{
    const auto ready = [](PopoverModel& model) {
        model.setEditableOriginal(draft);
        model.setState(PopoverState::ready(CaptureMethod::ax));
    };
    const auto error = [](ErrorRecovery recovery) {
        return [recovery](PopoverModel& model) {
            model.setEditableOriginal(draft);
            model.setState(PopoverState::error(
                QStringLiteral("The AI service is busy right now. Please try again in a moment."),
                recovery));
        };
    };
    return {
        {"ready", ready},
        {"ready-empty",
         [](PopoverModel& model) { model.setState(PopoverState::ready(CaptureMethod::ax)); }},
        {"ready-german",
         [&](PopoverModel& model) {
             ready(model);
             model.setTargetLanguage(*Language::withID(QStringLiteral("de")));
         }},
        {"loading-translate",
         [](PopoverModel& model) {
             model.setEditableOriginal(draft);
             model.setState(PopoverState::loading(TextAction::translate()));
         }},
        {"loading-rewrite",
         [](PopoverModel& model) {
             model.setEditableOriginal(draft);
             model.setState(PopoverState::loading(TextAction::rewrite(Style::friendly)));
         }},
        {"result",
         [](PopoverModel& model) {
             model.setEditableResult(QStringLiteral(
                 "Hi team, the release is delayed until next week because we found an issue "
                 "in the importer."));
             model.setLastUsage(QStringLiteral("182 in · 31 out"));
             model.setState(PopoverState::result(TextAction::fixGrammar()));
         }},
        {"error-retry", error(ErrorRecovery::retry)},
        {"error-settings", error(ErrorRecovery::openSettings)},
        {"error-update", error(ErrorRecovery::update)},
        {"error-none", error(ErrorRecovery::none)},
        {"needs-permission",
         [](PopoverModel& model) { model.setState(PopoverState::needsPermission()); }},
        {"no-selection", [](PopoverModel& model) { model.setState(PopoverState::noSelection()); }},
        {"needs-service",
         [](PopoverModel& model) { model.setState(PopoverState::needsService()); }},
        {"result-copied",
         [](PopoverModel& model) {
             model.setEditableResult(QStringLiteral("Hi team, the release is delayed."));
             model.setState(PopoverState::result(TextAction::fixGrammar()));
             model.setCopyConfirmed(true);
         }},
    };
}

struct Variant {
    const char* name;
    PanelWidth width;
    std::set<PopoverAction> actions;
};

// The scene in the chips layout and, beside it, in the list layout.
bool render(const QString& directory, const QString& name, const Scene& scene, qreal scale,
            Preferences& preferences)
{
    std::list<PopoverModel> models;
    std::list<PopoverView> views;
    QSize size(0, 0);
    for (PopoverLayout layout : {PopoverLayout::chips, PopoverLayout::list}) {
        preferences.setPopoverLayout(layout);
        scene.fill(models.emplace_back());
        PopoverView& view = views.emplace_back(models.back(), preferences);
        QCoreApplication::sendPostedEvents();
        view.resize(view.measuredSize());
        view.layout()->activate();
        size = QSize(size.width() + view.width(), std::max(size.height(), view.height()));
    }

    // A plain backdrop around the panels, so their rounded corners and outlines show.
    const int margin = 16;
    size += QSize(margin * (int(views.size()) + 1), 2 * margin);
    QImage image(size * scale, QImage::Format_ARGB32);
    image.setDevicePixelRatio(scale);
    image.fill(QColor(0x5a, 0x62, 0x70));
    QPainter painter(&image);
    int x = margin;
    for (PopoverView& view : views) {
        view.render(&painter, QPoint(x, margin), QRegion(), QWidget::DrawChildren);
        x += view.width() + margin;
    }
    painter.end();
    const QString path = QDir(directory).filePath(name + QStringLiteral(".png"));
    if (!image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // The preferences the pictures need are written to a throw-away settings directory.
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: popover_screenshots OUTPUT_DIRECTORY [SCALE]\n");
        return 2;
    }
    const QString directory = QString::fromLocal8Bit(argv[1]);
    const qreal scale = argc > 2 ? QString::fromLocal8Bit(argv[2]).toDouble() : 2.0;
    QDir().mkpath(directory);

    const std::set<PopoverAction> all = {PopoverAction::translate, PopoverAction::fixGrammar,
                                         PopoverAction::improvePrompt};
    const Variant variants[] = {
        {"standard", PanelWidth::standard, all},
        {"narrow", PanelWidth::narrow, all},
        {"wide-two-actions",
         PanelWidth::wide,
         {PopoverAction::fixGrammar, PopoverAction::improvePrompt}},
        {"narrow-one-action", PanelWidth::narrow, {PopoverAction::improvePrompt}},
    };
    Preferences preferences(UserDefaults::standard());
    bool ok = true;
    for (const Variant& variant : variants) {
        preferences.setPanelWidth(variant.width);
        preferences.setEnabledActions(variant.actions);
        // Every state with all three actions; only the ready state with fewer.
        const bool everyState = variant.actions.size() == 3;
        for (const Scene& scene : scenes()) {
            if (!everyState && QLatin1String(scene.name) != QLatin1String("ready"))
                continue;
            const QString name =
                QLatin1String(variant.name) + QLatin1Char('-') + QLatin1String(scene.name);
            ok = render(directory, name, scene, scale, preferences) && ok;
        }
    }
    return ok ? 0 : 1;
}
