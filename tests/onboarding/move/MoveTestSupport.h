// SPDX-License-Identifier: MIT
#pragma once

#include "onboarding/MoveToApplications.h"
#include "support/TestEnvironment.h"
#include "support/fakes/FakeAlertPresenter.h"
#include "support/fakes/FakeCommandRunner.h"
#include "support/fakes/FakeProcessLauncher.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// A temporary tree standing in for the mounted volume, the home folder and the data home:
//   ROOT/media/tester/Quillmark 1.0/Quillmark.AppImage   the running copy
//   ROOT/home/Applications                               where it moves to
//   ROOT/data                                            $XDG_DATA_HOME
class MoveTest : public ::testing::Test {
protected:
    void SetUp() override { freshTree(); }

    // Starts over in a new, empty tree.
    void freshTree()
    {
        m_root = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(m_root->isValid());
        writeRawFile(running(), "new copy");
        QFile::setPermissions(running(), QFile::ReadOwner | QFile::ExeOwner);
        locations.executable = running();
        locations.arguments = {"/usr/bin/quillmark"};
        locations.mountRoots = {root("/media/tester"), root("/run/media/tester"), root("/Volumes")};
        locations.applicationsDir = root("/home/Applications");
        locations.dataHome = root("/data");
        locations.mountTable = root("/mounts");
    }

public:
    // Paths inside the tree; public for the table rows that arrange it.
    QString root(const QString& path = {}) const { return m_root->path() + path; }
    QString volume() const { return root("/media/tester/Quillmark 1.0"); }
    QString running() const { return volume() + "/Quillmark.AppImage"; }
    QString destination() const { return root("/home/Applications/Quillmark.AppImage"); }

protected:
    // The mover over the current locations, with fresh recording fakes.
    MoveToApplications& mover()
    {
        MoveToApplications::Services services;
        auto alertsFake = std::make_unique<FakeAlertPresenter>();
        auto launcherFake = std::make_unique<FakeProcessLauncher>();
        alerts = alertsFake.get();
        launcher = launcherFake.get();
        commands = std::make_shared<FakeCommandRunner>();
        commands->installed.insert("gio", "/usr/bin/gio");
        services.alerts = std::move(alertsFake);
        services.launcher = std::move(launcherFake);
        services.commands = commands;
        services.quit = [this] { ++quits; };
        m_mover =
            std::make_unique<MoveToApplications>(locations, std::move(services), fakeClock.clock);
        return *m_mover;
    }

    ScopedFakeClock fakeClock;
    ScopedLogCapture log;
    MoveLocations locations;
    FakeAlertPresenter* alerts = nullptr;
    FakeProcessLauncher* launcher = nullptr;
    std::shared_ptr<FakeCommandRunner> commands;
    int quits = 0;

private:
    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<MoveToApplications> m_mover;
};
