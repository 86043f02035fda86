// SPDX-License-Identifier: MIT
#include "platform/kde/KGlobalAccelGrabber.h"

#include "core/Log.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QKeySequence>

namespace {

const QString service = QStringLiteral("org.kde.kglobalaccel");
const QString path = QStringLiteral("/kglobalaccel");
const QString interface = QStringLiteral("org.kde.KGlobalAccel");
const QString componentInterface = QStringLiteral("org.kde.kglobalaccel.Component");
// setShortcut's flags: the action exists in a running application, and the keys given are
// to be set rather than the ones stored from an earlier run.
constexpr uint setPresent = 2;
constexpr uint noAutoloading = 4;

QDBusMessage call(const QString& method, const QVariantList& arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().call(message, QDBus::Block,
                                              KGlobalAccelGrabber::callTimeoutMs);
}

QString keyText(const QList<int>& keys)
{
    QStringList texts;
    for (const int key : keys) {
        if (key != 0)
            texts.append(QKeySequence(key).toString(QKeySequence::PortableText));
    }
    return texts.isEmpty() ? QStringLiteral("none") : texts.join(u", ");
}

} // namespace

KGlobalAccelGrabber::KGlobalAccelGrabber(KeyCharacters& layout, Naming naming, ActionName component)
    : m_layout(layout)
    , m_naming(std::move(naming))
    , m_component(std::move(component))
{}

KGlobalAccelGrabber::~KGlobalAccelGrabber()
{
    for (const auto& [id, held] : m_held)
        call(QStringLiteral("setInactive"), {actionId(id)});
}

int KGlobalAccelGrabber::keyCode(const HotkeyShortcut& combination, KeyCharacters& layout)
{
    // The desktop's names, in the spelling QKeySequence reads.
    QStringList parts = HotkeyShortcut::modifierLabels(combination.carbonModifiers);
    parts.replaceInStrings(QStringLiteral("Super"), QStringLiteral("Meta"));
    QString key = HotkeyShortcut::keyLabel(combination.keyCode, layout);
    static const std::map<QString, QString> qtNames{
        {QStringLiteral("Enter"), QStringLiteral("Return")},
        {QStringLiteral("Keypad Enter"), QStringLiteral("Enter")},
        {QStringLiteral("Page Up"), QStringLiteral("PgUp")},
        {QStringLiteral("Page Down"), QStringLiteral("PgDown")},
        {QStringLiteral("Insert"), QStringLiteral("Ins")},
        {QStringLiteral("Delete"), QStringLiteral("Del")},
    };
    if (const auto renamed = qtNames.find(key); renamed != qtNames.end())
        key = renamed->second;
    parts.append(key);
    const QKeySequence sequence =
        QKeySequence::fromString(parts.join(u'+'), QKeySequence::PortableText);
    if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown)
        return 0;
    return sequence[0].toCombined();
}

GlobalKeyGrabber::Grab KGlobalAccelGrabber::grab(uint32_t id, const HotkeyShortcut& combination)
{
    const int key = keyCode(combination, m_layout);
    if (key == 0)
        return {noSuchKey, 0};
    for (const auto& [heldId, held] : m_held) {
        if (held.key == key && heldId != id)
            return {heldElsewhere, 0};
    }
    if (!ensureRegistered(id))
        return {unavailable, 0};

    const auto previous = m_held.find(id);
    const std::optional<QList<int>> granted = setKeys(id, {key});
    if (!granted)
        return {unavailable, 0};
    if (!granted->contains(key)) {
        Log::hotkey().error(
            QStringLiteral("kglobalaccel refused %1 for %2: another application holds it; "
                           "granted: %3")
                .arg(keyText({key}), actionId(id).at(1), keyText(*granted)));
        // The refusal cleared the action: the key it held before is put back.
        if (previous != m_held.end())
            setKeys(id, {previous->second.key});
        return {heldElsewhere, 0};
    }
    m_held[id] = Held{++m_lastHandle, key};
    return {ok, m_lastHandle};
}

void KGlobalAccelGrabber::release(Handle handle)
{
    for (auto it = m_held.begin(); it != m_held.end(); ++it) {
        if (it->second.handle != handle)
            continue;
        const uint32_t id = it->first;
        m_held.erase(it);
        setKeys(id, {});
        return;
    }
}

QStringList KGlobalAccelGrabber::actionId(uint32_t id) const
{
    const ActionName action = m_naming(id);
    return {m_component.unique, action.unique, m_component.friendly, action.friendly};
}

std::optional<QList<int>> KGlobalAccelGrabber::setKeys(uint32_t id, const QList<int>& keys)
{
    const QDBusReply<QList<int>> reply =
        call(QStringLiteral("setShortcut"),
             {actionId(id), QVariant::fromValue(keys), setPresent | noAutoloading});
    if (!reply.isValid()) {
        Log::hotkey().error(
            QStringLiteral("kglobalaccel setShortcut failed: %1").arg(reply.error().message()));
        return std::nullopt;
    }
    return reply.value();
}

bool KGlobalAccelGrabber::ensureRegistered(uint32_t id)
{
    if (m_registered.contains(id))
        return true;
    const QDBusMessage registered = call(QStringLiteral("doRegister"), {actionId(id)});
    if (registered.type() == QDBusMessage::ErrorMessage) {
        Log::hotkey().error(
            QStringLiteral("global hotkeys unavailable: kglobalaccel does not answer: %1")
                .arg(registered.errorMessage()));
        return false;
    }
    m_registered.insert(id);
    if (m_listening)
        return true;
    const QDBusReply<QDBusObjectPath> component =
        call(QStringLiteral("getComponent"), {m_component.unique});
    if (!component.isValid())
        return false;
    m_listening =
        QDBusConnection::sessionBus().connect(service, component.value().path(), componentInterface,
                                              QStringLiteral("globalShortcutPressed"), this,
                                              SLOT(onShortcutPressed(QString, QString, qlonglong)));
    return m_listening;
}

void KGlobalAccelGrabber::onShortcutPressed(const QString& component, const QString& action,
                                            qlonglong)
{
    if (component != m_component.unique)
        return;
    for (const auto& [id, held] : m_held) {
        if (m_naming(id).unique == action) {
            if (onPressed)
                onPressed(id);
            return;
        }
    }
}
