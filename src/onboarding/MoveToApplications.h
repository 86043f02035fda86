// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"
#include "onboarding/ApplicationMover.h"
#include "onboarding/MoveLocations.h"
#include "platform/AlertPresenter.h"
#include "platform/CommandRunner.h"
#include "platform/ProcessLauncher.h"

#include <functional>
#include <memory>
#include <optional>

// A copy started straight from the USB stick or disk image it came on would vanish with
// the volume and could not update itself. At start-up it offers to copy itself into
// ~/Applications (with a launcher entry), replaces an older copy there by moving that to
// the Trash, starts the new copy and quits; the new copy then unmounts the volume in the
// background. Main thread only.
class MoveToApplications final : public ApplicationMover {
public:
    struct Services {
        std::unique_ptr<AlertPresenter> alerts;
        std::unique_ptr<ProcessLauncher> launcher;
        std::shared_ptr<CommandRunner> commands;
        // Ends this process once the moved copy has been asked to start.
        std::function<void()> quit;
    };

    // The clock is borrowed and must outlive the object and the unmount it starts.
    MoveToApplications(MoveLocations locations, Services services, Clock& clock);

    [[nodiscard]] bool offerIfRunningFromDiskImage() override;
    void ejectSourceVolumeIfAsked() override;

    // The volume holding `path`: the mount root followed by the first folder below it.
    // Nothing when `path` is not inside a volume under one of `mountRoots`.
    static std::optional<QString> volumeOf(const QString& path, const QStringList& mountRoots);
    // The volume named after "--eject-volume"; nothing when the option is absent or last.
    static std::optional<QString> volumeToEject(const QStringList& arguments);

private:
    // Puts this copy at `destination`. Nothing on success; otherwise why the move failed.
    std::optional<QString> moveInto(const QString& destination);
    void showFailure(const QString& description);

    MoveLocations m_locations;
    Services m_services;
    Clock& m_clock;
};
