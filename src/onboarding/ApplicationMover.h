// SPDX-License-Identifier: MIT
#pragma once

// Moves a copy started from removable media into the user's applications folder. Main
// thread only; called once at start-up.
class ApplicationMover {
public:
    ApplicationMover() = default;
    ApplicationMover(const ApplicationMover&) = delete;
    ApplicationMover& operator=(const ApplicationMover&) = delete;
    virtual ~ApplicationMover() = default;

    // Offers the move when this copy runs from removable media and performs it if the user
    // agrees. True means the moved copy takes over and this process must stop launching;
    // false when there is nothing to move, the user declined, or moving is unsupported.
    [[nodiscard]] virtual bool offerIfRunningFromDiskImage() = 0;
    // Ejects the volume a previous copy asked for on the command line, in the background;
    // nothing when none was asked for.
    virtual void ejectSourceVolumeIfAsked() = 0;
};
