// SPDX-License-Identifier: MIT
#include "ui/settings/DesktopShortcutOffer.h"

#include "core/Callback.h"
#include "ui/settings/FormLabels.h"

#include <QBoxLayout>
#include <QFontDatabase>
#include <QPushButton>

namespace {

// sway's modifier names: Mod4 is Super, Mod1 Alt.
constexpr std::pair<uint32_t, const char*> swayModifiers[] = {
    {HotkeyShortcut::commandBit, "Mod4"},
    {HotkeyShortcut::controlBit, "Ctrl"},
    {HotkeyShortcut::optionBit, "Mod1"},
    {HotkeyShortcut::shiftBit, "Shift"},
};

QString swayBinding(const HotkeyShortcut& shortcut, const QString& key)
{
    QStringList parts;
    for (const auto& [bit, name] : swayModifiers) {
        if (shortcut.carbonModifiers & bit)
            parts.append(QLatin1String(name));
    }
    parts.append(key);
    return parts.join(u'+');
}

} // namespace

DesktopShortcutOffer::DesktopShortcutOffer(DesktopShortcut desktop, QWidget* parent)
    : QWidget(parent)
    , m_desktop(std::move(desktop))
    , m_text(FormLabels::caption(QString(), FormLabels::secondary(*this), this))
    , m_line(new QLabel(this))
    , m_button(new QPushButton(this))
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_text);
    auto* row = new QHBoxLayout;
    m_line->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    row->addWidget(m_line, 1);
    m_button->setFont(FormLabels::captionFont());
    m_button->setAutoDefault(false);
    row->addWidget(m_button);
    column->addLayout(row);
    connect(m_button, &QPushButton::clicked, this, &DesktopShortcutOffer::act);
    const bool gnome = m_desktop.home == DesktopShortcut::Home::gnome;
    setVisible(m_desktop.home != DesktopShortcut::Home::quillmark &&
               (!gnome || m_desktop.keybinding));
    m_line->setVisible(!gnome);
    m_button->setVisible(gnome || m_desktop.copy);
    m_button->setText(QStringLiteral("Copy"));
}

void DesktopShortcutOffer::render(const HotkeyShortcut& shortcut, KeyCharacters& layout)
{
    m_shortcut = shortcut;
    m_layout = &layout;
    const QString command = CommandKeybinding::commandLine(m_desktop.command);
    switch (m_desktop.home) {
    case DesktopShortcut::Home::quillmark:
        return;
    case DesktopShortcut::Home::gnome:
        renderGnome();
        return;
    case DesktopShortcut::Home::sway:
        if (const std::optional<QString> key = shortcut.keysymName(layout)) {
            m_text->setText(QStringLiteral("Add this line to your sway configuration, then "
                                           "reload sway (Super+Shift+C):"));
            m_line->setText(
                QStringLiteral("bindsym %1 exec %2").arg(swayBinding(shortcut, *key), command));
        } else {
            m_text->setText(shortcut.label(layout) +
                            QStringLiteral(" has no key name sway reads. Record another "
                                           "combination."));
            m_line->clear();
        }
        return;
    case DesktopShortcut::Home::none:
        m_text->setText(QStringLiteral("Bind this command to %1 in your desktop's keyboard "
                                       "settings:")
                            .arg(shortcut.label(layout)));
        m_line->setText(command);
        return;
    }
}

std::optional<QString> DesktopShortcutOffer::follow(const HotkeyShortcut& shortcut)
{
    if (m_desktop.home != DesktopShortcut::Home::gnome || !m_desktop.keybinding || !m_layout ||
        !m_desktop.keybinding->current())
        return std::nullopt;
    if (m_desktop.keybinding->set(shortcut, CommandKeybinding::commandLine(m_desktop.command)))
        return std::nullopt;
    return refusal(shortcut);
}

QString DesktopShortcutOffer::text() const
{
    return m_text->text();
}

QString DesktopShortcutOffer::line() const
{
    return m_line->text();
}

void DesktopShortcutOffer::act()
{
    if (m_desktop.home != DesktopShortcut::Home::gnome) {
        invokeIfSet(m_desktop.copy, m_line->text());
        return;
    }
    if (!m_desktop.keybinding || !m_layout)
        return;
    if (m_desktop.keybinding->current()) {
        m_desktop.keybinding->remove();
        renderGnome();
    } else if (!m_desktop.keybinding->set(m_shortcut,
                                          CommandKeybinding::commandLine(m_desktop.command))) {
        renderGnome(refusal(m_shortcut));
    } else {
        renderGnome();
    }
}

QString DesktopShortcutOffer::refusal(const HotkeyShortcut& shortcut) const
{
    return QStringLiteral("GNOME's keyboard shortcuts did not take ") + shortcut.label(*m_layout) +
           u'.';
}

void DesktopShortcutOffer::renderGnome(const std::optional<QString>& refusal)
{
    if (!m_desktop.keybinding || !m_layout)
        return;
    const std::optional<HotkeyShortcut> held = m_desktop.keybinding->current();
    if (refusal)
        m_text->setText(*refusal);
    else if (held)
        m_text->setText(QStringLiteral("In GNOME's keyboard shortcuts: ") + held->label(*m_layout));
    else
        m_text->setText(QStringLiteral("Not in GNOME's keyboard shortcuts yet"));
    FormLabels::setColor(*m_text, refusal ? FormLabels::red(*this) : FormLabels::secondary(*this));
    m_button->setText(held ? QStringLiteral("Remove from GNOME's Shortcuts")
                           : QStringLiteral("Add to GNOME's Shortcuts"));
}
