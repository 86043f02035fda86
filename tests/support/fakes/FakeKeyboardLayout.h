// SPDX-License-Identifier: MIT
#pragma once

#include "platform/KeyboardLayout.h"

#include <QHash>
#include <QList>

// A keyboard layout whose keys type what the test told them to. Every key code asked for is
// recorded in `queries`, so a test can see whether the layout was consulted at all.
class FakeKeyboardLayout final : public KeyboardLayout {
public:
    FakeKeyboardLayout(std::initializer_list<std::pair<uint32_t, QString>> texts = {})
    {
        for (const auto& [code, text] : texts)
            m_texts.insert(code, text);
    }
    std::optional<QString> unmodifiedText(uint32_t virtualKeyCode) override
    {
        queries.append(virtualKeyCode);
        const auto found = m_texts.constFind(virtualKeyCode);
        if (found == m_texts.constEnd())
            return std::nullopt;
        return *found;
    }

    // An empty text is kept as given: a layout may answer with nothing typed.
    void setText(uint32_t virtualKeyCode, const QString& text)
    {
        m_texts.insert(virtualKeyCode, text);
    }

    QList<uint32_t> queries;

private:
    QHash<uint32_t, QString> m_texts;
};
