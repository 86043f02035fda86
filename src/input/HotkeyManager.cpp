// SPDX-License-Identifier: MIT
#include "input/HotkeyManager.h"

#include "core/Callback.h"
#include "core/Log.h"

#include <array>

namespace {

// clang-format off
constexpr std::array<HotkeyManager::PanelKey, 5> panelKeyList{{
    {HotkeyManager::escapeId, {53, 0}},
    {HotkeyManager::firstActionId + 0, {18, HotkeyShortcut::optionBit}},
    {HotkeyManager::firstActionId + 1, {19, HotkeyShortcut::optionBit}},
    {HotkeyManager::firstActionId + 2, {20, HotkeyShortcut::optionBit}},
    {HotkeyManager::firstActionId + 3, {21, HotkeyShortcut::optionBit}},
}};
// clang-format on

// Every panel key but Escape picks a row.
uint32_t actionKeyCount()
{
    return uint32_t(panelKeyList.size() - 1);
}

bool succeeded(const GlobalKeyGrabber::Grab& grab)
{
    return grab.status == GlobalKeyGrabber::ok && grab.handle != 0;
}

} // namespace

std::span<const HotkeyManager::PanelKey> HotkeyManager::panelKeys()
{
    return panelKeyList;
}

HotkeyManager::HotkeyManager(std::unique_ptr<GlobalKeyGrabber> grabber, KeyCharacters& layout)
    : m_grabber(std::move(grabber))
    , m_layout(layout)
{
    m_grabber->onPressed = [this](uint32_t id) { handlePress(id); };
}

bool HotkeyManager::registerShortcut(const HotkeyShortcut& shortcut)
{
    if (m_current == shortcut && m_hotKeyRef)
        return true;

    // The new combination is taken before the old one is given back, so a refusal leaves
    // the user with the shortcut that worked until now rather than with none.
    const GlobalKeyGrabber::Grab grab = m_grabber->grab(mainId, shortcut);
    if (!succeeded(grab)) {
        Log::hotkey().error(QStringLiteral("RegisterEventHotKey(%1) failed: %2 — keeping %3")
                                .arg(shortcut.displayString(m_layout), QString::number(grab.status),
                                     currentDisplay()));
        return false;
    }
    if (m_hotKeyRef)
        m_grabber->release(*m_hotKeyRef);
    m_hotKeyRef = grab.handle;
    m_current = shortcut;
    Log::hotkey().info(QStringLiteral("registered %1").arg(shortcut.displayString(m_layout)));
    return true;
}

void HotkeyManager::suspend()
{
    if (!m_hotKeyRef)
        return;
    m_grabber->release(*m_hotKeyRef);
    m_hotKeyRef.reset();
    Log::hotkey().info(QStringLiteral("suspended %1 for recording").arg(currentDisplay()));
}

void HotkeyManager::registerSessionKeys()
{
    if (!m_sessionRefs.empty())
        return;
    for (const PanelKey& key : panelKeys()) {
        const GlobalKeyGrabber::Grab grab = m_grabber->grab(key.id, key.shortcut);
        if (succeeded(grab)) {
            m_sessionRefs.emplace(key.id, grab.handle);
            continue;
        }
        // A key the desktop keeps for someone else only loses its use for this session.
        Log::hotkey().error(QStringLiteral("RegisterEventHotKey(session %1) failed: %2")
                                .arg(QString::number(key.id), QString::number(grab.status)));
    }
}

void HotkeyManager::unregisterSessionKeys()
{
    for (const auto& [id, handle] : m_sessionRefs)
        m_grabber->release(handle);
    m_sessionRefs.clear();
}

void HotkeyManager::handlePress(uint32_t id)
{
    // Keys taken here never reach the other key watchers, so everyone who needs to know
    // that a key went down hears it first, whatever the key does.
    invokeIfSet(onAnyHotkey);
    if (id == escapeId)
        invokeIfSet(onEscape);
    else if (id == mainId)
        invokeIfSet(onHotkey);
    else if (id >= firstActionId && id - firstActionId < actionKeyCount())
        invokeIfSet(onActionKey, int(id - firstActionId + 1));
}

QString HotkeyManager::currentDisplay() const
{
    return m_current ? m_current->displayString(m_layout) : QStringLiteral("none");
}
