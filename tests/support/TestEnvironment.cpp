// SPDX-License-Identifier: MIT
#include "support/TestEnvironment.h"
#include "core/Log.h"

#include <QDir>

namespace {
constexpr const char* xdgVariables[3] = {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"};
}

ScopedConfigHome::ScopedConfigHome()
{
    for (int i = 0; i < 3; ++i) {
        if (qEnvironmentVariableIsSet(xdgVariables[i]))
            m_saved[i] = qgetenv(xdgVariables[i]);
        const QString sub = m_dir.path() + QStringLiteral("/xdg%1").arg(i);
        QDir().mkpath(sub);
        qputenv(xdgVariables[i], sub.toLocal8Bit());
    }
}

ScopedConfigHome::~ScopedConfigHome()
{
    for (int i = 0; i < 3; ++i) {
        if (m_saved[i])
            qputenv(xdgVariables[i], *m_saved[i]);
        else
            qunsetenv(xdgVariables[i]);
    }
}

QString ScopedConfigHome::defaultsPath() const
{
    return m_dir.path() + QStringLiteral("/xdg0/quillmark/defaults.json");
}

ScopedLogCapture::ScopedLogCapture()
{
    Log::setSink(&sink);
}

ScopedLogCapture::~ScopedLogCapture()
{
    Log::setSink(nullptr);
}
