// SPDX-License-Identifier: MIT
#include "platform/wayland/DataControlPasteboard.h"

#include "core/Log.h"
#include "platform/wayland/WaylandConnection.h"

#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#include <utility>
#include <wayland-client.h>

#include "wlr-data-control-unstable-v1-client-protocol.h"

namespace {

// The text types under which Quillmark's own plain text is offered too, and the order in
// which text is preferred when reading.
// The last is Latin-1.
const QStringList textTypes = {
    QStringLiteral("text/plain;charset=utf-8"),
    QStringLiteral("text/plain"),
    QStringLiteral("UTF8_STRING"),
    QStringLiteral("TEXT"),
    QStringLiteral("STRING"),
};

// A requestor that has read nothing for this long is given up on.
constexpr std::chrono::seconds readerPatience{10};

constexpr qsizetype chunkSize = 64 * 1024;

// write() that reports a reader gone as EPIPE instead of ending the process.
ssize_t writeWithoutSignal(int fd, const char* data, size_t size)
{
    sigset_t pipeSignal;
    sigset_t previous;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    const ssize_t written = ::write(fd, data, size);
    const int error = errno;
    if (written < 0 && error == EPIPE) {
        const timespec none{};
        (void)sigtimedwait(&pipeSignal, nullptr, &none);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
    return written;
}

std::optional<QByteArray> bytesFor(const PasteboardSnapshot::Item& item, const QString& type)
{
    if (const auto found = item.constFind(type); found != item.constEnd())
        return found->isNull() ? QByteArray("") : *found;
    const auto text = item.constFind(QLatin1String(PasteboardType::plainText));
    if (text == item.constEnd() || !textTypes.contains(type))
        return std::nullopt;
    if (type == QLatin1String("STRING"))
        return QString::fromUtf8(*text).toLatin1();
    return *text;
}

} // namespace

struct DataControlPasteboard::Offer {
    zwlr_data_control_offer_v1* proxy = nullptr;
    QStringList types;

    ~Offer() { zwlr_data_control_offer_v1_destroy(proxy); }
};

// One type coming in through its pipe.
struct DataControlPasteboard::Reading {
    QString type;
    int fd = -1;
    std::unique_ptr<QSocketNotifier> notifier;
    QByteArray bytes;
    std::chrono::milliseconds deadline{0};
    bool finished = false;
    bool failed = false;

    ~Reading()
    {
        notifier.reset();
        if (fd >= 0)
            ::close(fd);
    }

    // Takes what the pipe holds; true when something arrived or it ended.
    bool drain()
    {
        bool progress = false;
        char buffer[chunkSize];
        while (!finished) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got > 0) {
                bytes.append(buffer, got);
                progress = true;
            } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
                failed = got < 0;
                finished = true;
                notifier->setEnabled(false);
                progress = true;
            } else if (errno == EAGAIN) {
                break;
            }
        }
        return progress;
    }
};

// One type going out to a requestor, as fast as it reads.
struct DataControlPasteboard::Writer {
    int fd = -1;
    QByteArray bytes;
    qsizetype offset = 0;
    std::unique_ptr<QSocketNotifier> notifier;
    std::unique_ptr<ClockTimer> patience;
};

DataControlPasteboard::DataControlPasteboard(WaylandConnection& connection, Clock& clock,
                                             Deadlines deadlines)
    : m_connection(connection)
    , m_clock(clock)
    , m_deadlines(deadlines)
{
    m_manager = static_cast<zwlr_data_control_manager_v1*>(
        connection.bind(&zwlr_data_control_manager_v1_interface, 1));
    if (!m_manager || !connection.seat())
        return;
    static const zwlr_data_control_device_v1_listener listener = {
        .data_offer =
            [](void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
                static_cast<DataControlPasteboard*>(data)->offered(offer);
            },
        .selection =
            [](void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
                static_cast<DataControlPasteboard*>(data)->selected(offer);
            },
        .finished =
            [](void* data, zwlr_data_control_device_v1* device) {
                auto* self = static_cast<DataControlPasteboard*>(data);
                zwlr_data_control_device_v1_destroy(device);
                self->m_device = nullptr;
                self->m_current = nullptr;
                self->m_offers.clear();
            },
        // Not sent at the version bound.
        .primary_selection = [](void*, zwlr_data_control_device_v1*,
                                zwlr_data_control_offer_v1*) {},
    };
    m_device = zwlr_data_control_manager_v1_get_data_device(m_manager, connection.seat());
    zwlr_data_control_device_v1_add_listener(m_device, &listener, this);
    // The compositor announces the current selection at once; that notice is no change.
    expectEcho();
    QObject::connect(&connection, &WaylandConnection::eventsDispatched, &m_context,
                     [this] { m_wakeup.wakeLater(); });
    QObject::connect(&connection, &WaylandConnection::lost, &m_context,
                     [this] { m_wakeup.wakeLater(); });
    connection.flush();
}

DataControlPasteboard::~DataControlPasteboard()
{
    for (const std::unique_ptr<Writer>& writer : m_writers) {
        writer->notifier.reset();
        ::close(writer->fd);
    }
    for (const Echo& echo : m_echoes)
        wl_callback_destroy(echo.sync);
    if (m_source)
        zwlr_data_control_source_v1_destroy(m_source);
    m_offers.clear();
    if (m_device)
        zwlr_data_control_device_v1_destroy(m_device);
    if (m_manager)
        zwlr_data_control_manager_v1_destroy(m_manager);
    m_connection.flush();
}

bool DataControlPasteboard::isOffered(const WaylandConnection& connection)
{
    return connection.seat() && connection.offers(zwlr_data_control_manager_v1_interface.name);
}

void DataControlPasteboard::expectEcho()
{
    static const wl_callback_listener listener = {
        .done = [](void* data, wl_callback* sync,
                   uint32_t) { static_cast<DataControlPasteboard*>(data)->echoWindowClosed(sync); },
    };
    wl_callback* sync = wl_display_sync(m_connection.display());
    wl_callback_add_listener(sync, &listener, this);
    m_echoes.push_back({sync, false});
}

void DataControlPasteboard::echoWindowClosed(wl_callback* sync)
{
    wl_callback_destroy(sync);
    if (!m_echoes.empty() && m_echoes.front().sync == sync)
        m_echoes.pop_front();
    m_initialStateKnown = true;
}

void DataControlPasteboard::offered(zwlr_data_control_offer_v1* proxy)
{
    static const zwlr_data_control_offer_v1_listener listener = {
        .offer =
            [](void* data, zwlr_data_control_offer_v1*, const char* type) {
                auto* offer = static_cast<Offer*>(data);
                const QString name = QString::fromUtf8(type);
                if (!offer->types.contains(name))
                    offer->types.append(name);
            },
    };
    auto offer = std::make_unique<Offer>();
    offer->proxy = proxy;
    zwlr_data_control_offer_v1_add_listener(proxy, &listener, offer.get());
    m_offers.push_back(std::move(offer));
}

void DataControlPasteboard::selected(zwlr_data_control_offer_v1* proxy)
{
    // Every offer but the new one is over: the compositor made them for earlier selections.
    std::erase_if(m_offers, [proxy](const auto& offer) { return offer->proxy != proxy; });
    m_current = m_offers.empty() ? nullptr : m_offers.front().get();
    const auto echo =
        std::find_if(m_echoes.begin(), m_echoes.end(), [](const Echo& e) { return !e.heard; });
    if (echo != m_echoes.end())
        echo->heard = true;
    else
        ++m_changeCount;
}

void DataControlPasteboard::setSelection(zwlr_data_control_source_v1* source)
{
    zwlr_data_control_device_v1_set_selection(m_device, source);
    // The compositor has the new source before it reads this, so the old one is no
    // longer the selection when it goes.
    if (zwlr_data_control_source_v1* previous = std::exchange(m_source, source))
        zwlr_data_control_source_v1_destroy(previous);
    // Counted now, so that the count the caller reads next includes this write; the
    // compositor's notice of it is not counted again.
    ++m_changeCount;
    expectEcho();
    m_connection.flush();
}

void DataControlPasteboard::write(const PasteboardSnapshot& contents)
{
    if (!m_device || !m_connection.isAlive())
        return;
    if (contents.isEmpty()) {
        m_served.cleared();
        setSelection(nullptr);
        return;
    }
    // One item, as on X11: a later one would only overwrite the first.
    const PasteboardSnapshot::Item& item = contents.items.first();
    m_served.wrote(item);

    static const zwlr_data_control_source_v1_listener listener = {
        .send =
            [](void* data, zwlr_data_control_source_v1* source, const char* type, int32_t fd) {
                auto* self = static_cast<DataControlPasteboard*>(data);
                if (source == self->m_source)
                    self->serve(QString::fromUtf8(type), fd);
                else
                    ::close(fd);
            },
        .cancelled =
            [](void* data, zwlr_data_control_source_v1* source) {
                static_cast<DataControlPasteboard*>(data)->cancelled(source);
            },
    };
    zwlr_data_control_source_v1* source =
        zwlr_data_control_manager_v1_create_data_source(m_manager);
    zwlr_data_control_source_v1_add_listener(source, &listener, this);
    QStringList types = item.keys();
    if (item.contains(QLatin1String(PasteboardType::plainText)))
        types += textTypes;
    types.removeDuplicates();
    for (const QString& type : std::as_const(types))
        zwlr_data_control_source_v1_offer(source, type.toUtf8().constData());
    setSelection(source);
}

void DataControlPasteboard::cancelled(zwlr_data_control_source_v1* source)
{
    // Another client took the clipboard.
    if (source == m_source) {
        zwlr_data_control_source_v1_destroy(m_source);
        m_source = nullptr;
        m_served.lost();
    }
}

void DataControlPasteboard::serve(const QString& type, int fd)
{
    const std::optional<QByteArray> bytes =
        m_served.item() ? bytesFor(*m_served.item(), type) : std::nullopt;
    if (!bytes || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK) < 0) {
        ::close(fd);
        return;
    }
    auto writer = std::make_unique<Writer>();
    Writer* raw = writer.get();
    raw->fd = fd;
    raw->bytes = *bytes;
    const auto pump = [this, raw] {
        while (raw->offset < raw->bytes.size()) {
            const ssize_t written =
                writeWithoutSignal(raw->fd, raw->bytes.constData() + raw->offset,
                                   size_t(std::min(raw->bytes.size() - raw->offset, chunkSize)));
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0 && errno == EAGAIN)
                return;
            if (written < 0)
                break;
            raw->offset += written;
        }
        finishWriter(raw);
    };
    raw->notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
    QObject::connect(raw->notifier.get(), &QSocketNotifier::activated, &m_context, pump);
    raw->patience = m_clock.startTimer(readerPatience, [this, raw] { finishWriter(raw); });
    m_writers.push_back(std::move(writer));
    pump();
}

void DataControlPasteboard::finishWriter(Writer* writer)
{
    const auto found = std::find_if(m_writers.begin(), m_writers.end(),
                                    [writer](const auto& w) { return w.get() == writer; });
    if (found == m_writers.end())
        return;
    std::shared_ptr<Writer> done = std::move(*found);
    m_writers.erase(found);
    done->notifier->setEnabled(false);
    ::close(done->fd);
    // Called from the writer's own notifier or timer: they go once that has returned.
    QMetaObject::invokeMethod(
        &m_context, [done] {}, Qt::QueuedConnection);
}

QCoro::Task<> DataControlPasteboard::waitUntil(std::chrono::milliseconds deadline)
{
    const std::chrono::milliseconds now = m_clock.monotonicNow();
    if (now >= deadline)
        co_return;
    const std::unique_ptr<ClockTimer> timer =
        m_clock.startTimer(deadline - now, [this] { m_wakeup.wakeLater(); });
    co_await m_wakeup.next();
}

QCoro::Task<> DataControlPasteboard::waitForInitialState(std::chrono::milliseconds deadline)
{
    while (!m_initialStateKnown && m_connection.isAlive() && m_clock.monotonicNow() < deadline)
        co_await waitUntil(deadline);
}

QCoro::Task<PasteboardSnapshot::Item>
DataControlPasteboard::read(const QStringList& types, std::chrono::milliseconds budgetEnd,
                            QStringList* late)
{
    std::vector<std::unique_ptr<Reading>> readings;
    const std::chrono::milliseconds start = m_clock.monotonicNow();
    for (const QString& type : types) {
        int fds[2];
        if (!m_current || ::pipe2(fds, O_CLOEXEC) < 0)
            break;
        ::fcntl(fds[0], F_SETFL, O_NONBLOCK);
        zwlr_data_control_offer_v1_receive(m_current->proxy, type.toUtf8().constData(), fds[1]);
        // The request carries its own copy of the descriptor.
        ::close(fds[1]);
        auto reading = std::make_unique<Reading>();
        Reading* raw = reading.get();
        raw->type = type;
        raw->fd = fds[0];
        raw->deadline = std::min(start + m_deadlines.typeDeadline, budgetEnd);
        raw->notifier = std::make_unique<QSocketNotifier>(fds[0], QSocketNotifier::Read);
        QObject::connect(
            raw->notifier.get(), &QSocketNotifier::activated, &m_context, [this, raw, budgetEnd] {
                if (!raw->drain())
                    return;
                // A type that keeps arriving may run past the budget, by a
                // bounded time.
                raw->deadline = std::min(m_clock.monotonicNow() + m_deadlines.typeDeadline,
                                         budgetEnd + m_deadlines.incrementalGrace);
                m_wakeup.wakeLater();
            });
        readings.push_back(std::move(reading));
    }
    m_connection.flush();
    while (m_connection.isAlive()) {
        const std::chrono::milliseconds now = m_clock.monotonicNow();
        std::optional<std::chrono::milliseconds> next;
        for (const std::unique_ptr<Reading>& reading : readings)
            if (!reading->finished && reading->deadline > now)
                next = std::min(next.value_or(reading->deadline), reading->deadline);
        if (!next)
            break;
        co_await waitUntil(*next);
    }
    PasteboardSnapshot::Item item;
    for (const std::unique_ptr<Reading>& reading : readings) {
        if (!reading->finished)
            late->append(reading->type);
        else if (!reading->failed)
            item.insert(reading->type, reading->bytes.isNull() ? QByteArray("") : reading->bytes);
    }
    co_return item;
}

QCoro::Task<PasteboardSnapshot> DataControlPasteboard::readOffer()
{
    if (!m_current)
        co_return PasteboardSnapshot{};
    QStringList types;
    for (const QString& type : std::as_const(m_current->types))
        if (PasteboardType::isRestorable(type))
            types.append(type);
    QStringList late;
    const PasteboardSnapshot::Item item =
        co_await read(types, m_clock.monotonicNow() + m_deadlines.snapshotBudget, &late);
    co_return savedClipboard(item, late);
}

QCoro::Task<PasteboardSnapshot> DataControlPasteboard::snapshot()
{
    if (!m_device)
        co_return PasteboardSnapshot{};
    co_await waitForInitialState(m_clock.monotonicNow() + m_deadlines.snapshotBudget);
    // Returned through a local: a task's co_return may move from what it is given.
    PasteboardSnapshot result;
    if (m_served.item()) {
        result = m_served.snapshotWhileServed();
        co_return result;
    }
    result = m_served.readFromOwner(co_await readOffer());
    co_return result;
}

int64_t DataControlPasteboard::changeCount()
{
    return m_changeCount;
}

QCoro::Task<> DataControlPasteboard::waitForChange(int64_t seen, std::chrono::milliseconds timeout)
{
    const std::chrono::milliseconds deadline = m_clock.monotonicNow() + timeout;
    // The compositor's selection notice wakes the wait the moment it arrives.
    while (m_changeCount == seen && m_clock.monotonicNow() < deadline)
        co_await waitUntil(deadline);
}

QCoro::Task<std::optional<QString>> DataControlPasteboard::readText()
{
    if (!m_device)
        co_return std::nullopt;
    const std::chrono::milliseconds budgetEnd = m_clock.monotonicNow() + m_deadlines.snapshotBudget;
    co_await waitForInitialState(budgetEnd);
    if (m_served.item()) {
        const std::optional<QByteArray> own = bytesFor(*m_served.item(), textTypes.first());
        co_return own ? std::optional<QString>(QString::fromUtf8(*own)) : std::nullopt;
    }
    for (qsizetype i = 0; i < textTypes.size(); ++i) {
        const QString type = textTypes.at(i);
        if (!m_current || !m_current->types.contains(type))
            continue;
        QStringList late;
        // Built without a braced list: GCC 12 cannot keep one across the co_await.
        const QStringList wanted(1, type);
        const PasteboardSnapshot::Item item = co_await read(wanted, budgetEnd, &late);
        const QByteArray bytes = item.value(type);
        if (item.contains(type))
            co_return type == textTypes.last() ? QString::fromLatin1(bytes)
                                               : QString::fromUtf8(bytes);
        if (!late.isEmpty())
            break;
    }
    co_return std::nullopt;
}
