// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"
#include "platform/Pasteboard.h"
#include "support/fakes/CallJournal.h"

#include <algorithm>
#include <chrono>
#include <vector>

// A clipboard in memory. Writes by other applications are scheduled at a monotonic time
// and land when the clipboard is next looked at. Records "pasteboard.snapshot" and
// "pasteboard.write(CONTENTS)", the contents as described by describe().
class FakePasteboard final : public Pasteboard {
public:
    FakePasteboard(CallJournal& journal, Clock& clock)
        : m_journal(journal)
        , m_clock(clock)
    {}

    QCoro::Task<PasteboardSnapshot> snapshot() override
    {
        settle();
        m_journal.record(QStringLiteral("pasteboard.snapshot"));
        // Through a local: a task's co_return may move from what it is given.
        PasteboardSnapshot copy = contents;
        co_return copy;
    }
    void write(const PasteboardSnapshot& written) override
    {
        settle();
        m_journal.record(QStringLiteral("pasteboard.write(%1)").arg(describe(written)));
        contents = written;
        ++count;
    }
    int64_t changeCount() override
    {
        settle();
        return count;
    }
    // Sleeps on the clock until the next scheduled write, or for the whole time-out.
    QCoro::Task<> waitForChange(int64_t seen, std::chrono::milliseconds timeout) override
    {
        if (changeCount() != seen)
            co_return;
        const auto now = m_clock.monotonicNow();
        std::chrono::milliseconds wait = timeout;
        for (const Pending& pending : m_pending)
            wait = std::min(wait, pending.at - now);
        co_await m_clock.sleep(wait);
    }
    QCoro::Task<std::optional<QString>> readText() override
    {
        settle();
        for (const PasteboardSnapshot::Item& item : contents.items) {
            if (item.contains(QLatin1String(PasteboardType::plainText)))
                co_return QString::fromUtf8(item.value(QLatin1String(PasteboardType::plainText)));
        }
        co_return std::nullopt;
    }

    // Another application replaces the contents at this time.
    void otherApplicationWrites(std::chrono::milliseconds at, PasteboardSnapshot written)
    {
        m_pending.push_back({at, std::move(written)});
    }

    // "text/plain=hello text/html=<b>hello</b>", items separated by " | ", "empty" for none.
    static QString describe(const PasteboardSnapshot& snapshot)
    {
        QStringList items;
        for (const PasteboardSnapshot::Item& item : snapshot.items) {
            QStringList types;
            for (auto it = item.constBegin(); it != item.constEnd(); ++it)
                types.append(it.key() + u'=' + QString::fromUtf8(it.value()));
            items.append(types.join(u' '));
        }
        return items.isEmpty() ? QStringLiteral("empty") : items.join(QStringLiteral(" | "));
    }

    PasteboardSnapshot contents;
    int64_t count = 0;

private:
    struct Pending {
        std::chrono::milliseconds at;
        PasteboardSnapshot contents;
    };
    void settle()
    {
        const auto now = m_clock.monotonicNow();
        for (auto it = m_pending.begin(); it != m_pending.end();) {
            if (it->at > now) {
                ++it;
                continue;
            }
            contents = std::move(it->contents);
            ++count;
            it = m_pending.erase(it);
        }
    }

    CallJournal& m_journal;
    Clock& m_clock;
    std::vector<Pending> m_pending;
};
