// SPDX-License-Identifier: MIT
#include "onboarding/MoveToApplications.h"

#include "core/Log.h"
#include "onboarding/VolumeEjector.h"
#include "platform/xdg/DesktopEntry.h"
#include "platform/xdg/FreedesktopTrash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString ejectOption = QStringLiteral("--eject-volume");

} // namespace

MoveToApplications::MoveToApplications(MoveLocations locations, Services services, Clock& clock)
    : m_locations(std::move(locations))
    , m_services(std::move(services))
    , m_clock(clock)
{
    Q_ASSERT(m_services.alerts && m_services.launcher && m_services.commands);
}

std::optional<QString> MoveToApplications::volumeOf(const QString& path,
                                                    const QStringList& mountRoots)
{
    const QString file = QDir::cleanPath(path);
    for (const QString& root : mountRoots) {
        const QString prefix = QDir::cleanPath(root) + u'/';
        if (!file.startsWith(prefix))
            continue;
        // At least one more level below the volume's own folder: a file lying directly
        // in the mount root is not on a volume.
        const QString rest = file.mid(prefix.size());
        const qsizetype slash = rest.indexOf(u'/');
        if (slash <= 0)
            continue;
        return prefix + rest.left(slash);
    }
    return std::nullopt;
}

std::optional<QString> MoveToApplications::volumeToEject(const QStringList& arguments)
{
    const qsizetype option = arguments.indexOf(ejectOption);
    if (option < 0 || option + 1 >= arguments.size())
        return std::nullopt;
    return arguments.at(option + 1);
}

bool MoveToApplications::offerIfRunningFromDiskImage()
{
    const std::optional<QString> volume = volumeOf(m_locations.executable, m_locations.mountRoots);
    if (!volume)
        return false;
    Log::app().info(QStringLiteral("running from a disk image at %1").arg(*volume));

    const int answer = m_services.alerts->runModal(
        {QStringLiteral("Move Quillmark to Applications?"),
         QStringLiteral("Quillmark is running from the disk image you downloaded. It needs to "
                        "live in your Applications folder to keep working — from here it "
                        "disappears when the disk image is ejected, and it cannot update "
                        "itself."),
         {QStringLiteral("Move to Applications"), QStringLiteral("Not Now")}});
    if (answer != 0) {
        Log::app().info(QStringLiteral("declined the move — staying on the disk image"));
        return false;
    }

    const QString destination = QDir::cleanPath(m_locations.applicationsDir) + u'/' +
                                QFileInfo(m_locations.executable).fileName();
    if (const std::optional<QString> failure = moveInto(destination)) {
        Log::app().error(QStringLiteral("move failed: %1").arg(*failure));
        showFailure(*failure);
        return false;
    }

    // The launcher entry is a convenience; the moved copy works without it.
    if (const std::optional<QString> error = DesktopEntry::write(m_locations.dataHome, destination))
        Log::app().error(QStringLiteral("could not write the desktop entry: %1").arg(*error));

    if (const std::optional<QString> error =
            m_services.launcher->startAfterThisProcess(destination, {ejectOption, *volume}))
        Log::app().error(QStringLiteral("relaunch after move failed: %1").arg(*error));
    // Even when the start failed, the copy in ~/Applications is the one to use now.
    if (m_services.quit)
        m_services.quit();
    return true;
}

std::optional<QString> MoveToApplications::moveInto(const QString& destination)
{
    const QFileInfo target(destination);
    if (!QDir().mkpath(target.absolutePath()))
        return QStringLiteral("The folder “%1” couldn’t be created.").arg(target.absolutePath());

    if (target.exists() || target.isSymLink()) {
        const FreedesktopTrash trash = FreedesktopTrash::inDataHome(m_clock, m_locations.dataHome);
        if (const std::optional<QString> failure = trash.trash(destination, nullptr))
            return failure;
        Log::app().info(QStringLiteral("moved the existing copy to the Trash"));
    }

    QFile source(m_locations.executable);
    if (!source.copy(destination)) {
        const QString reason = source.errorString();
        QFile::remove(destination);
        return QStringLiteral("“%1” couldn’t be copied to “%2”: %3")
            .arg(QFileInfo(m_locations.executable).fileName(), target.absolutePath(), reason);
    }
    // A volume formatted for another system may not carry the executable bit across.
    QFile::setPermissions(destination, QFile::permissions(destination) | QFile::ReadOwner |
                                           QFile::WriteOwner | QFile::ExeOwner);
    Log::app().info(QStringLiteral("copied to %1").arg(destination));
    return std::nullopt;
}

void MoveToApplications::showFailure(const QString& description)
{
    (void)m_services.alerts->runModal(
        {QStringLiteral("Could not move Quillmark"),
         description + QStringLiteral("\n\nDrag Quillmark into your Applications folder by hand "
                                      "— it will work exactly the same."),
         {QStringLiteral("OK")}});
}

void MoveToApplications::ejectSourceVolumeIfAsked()
{
    const std::optional<QString> volume = volumeToEject(m_locations.arguments);
    if (!volume)
        return;
    VolumeEjector::eject(m_clock, *volume, m_services.commands, m_locations.mountTable);
}
