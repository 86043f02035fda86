// SPDX-License-Identifier: MIT
#include "ui/settings/DoubleTapWaitingFlag.h"

#include <QMetaMethod>
#include <QMetaProperty>

namespace {
constexpr const char* propertyName = "isWaitingForAccessibility";
} // namespace

DoubleTapWaitingFlag::DoubleTapWaitingFlag(DoubleTapTrigger& doubleTap, QObject* parent)
    : QObject(parent)
    , m_source(dynamic_cast<QObject*>(&doubleTap))
{
    if (!m_source)
        return;
    const QMetaObject* meta = m_source->metaObject();
    m_property = meta->indexOfProperty(propertyName);
    if (m_property < 0)
        return;
    const QMetaProperty property = meta->property(m_property);
    if (property.hasNotifySignal()) {
        connect(m_source, property.notifySignal(), this,
                metaObject()->method(metaObject()->indexOfSignal("changed()")));
    }
}

bool DoubleTapWaitingFlag::isWaiting() const
{
    if (!m_source || m_property < 0)
        return false;
    return m_source->metaObject()->property(m_property).read(m_source).toBool();
}
