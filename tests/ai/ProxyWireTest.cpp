// SPDX-License-Identifier: MIT
#include "ai/ProxyWire.h"
#include "AITestSupport.h"

namespace {

TEST(ProxyWire, StripCodePrefix)
{
    const std::pair<QString, QString> stripped[] = {
        {"QUOTA_EXCEEDED:  Monthly limit reached \t", "Monthly limit reached"},
        {"A: b: c", "b: c"},
        {u"ÜBER: accented capitals count"_qs, "accented capitals count"},
    };
    for (const auto& [message, expected] : stripped)
        EXPECT_EQ(ProxyWire::stripCodePrefix(message), expected) << message.toStdString();
    for (const QString message :
         {"Quota_EXCEEDED: kept", "HTTP2: kept", ": empty prefix", "  LEAD: space"})
        EXPECT_EQ(ProxyWire::stripCodePrefix(message), message) << message.toStdString();
}

TEST(ProxyWire, ParseResetsAt)
{
    const QDateTime midnightUTC(QDate(2026, 4, 1), QTime(0, 0), Qt::UTC);
    for (const QString text : {"2026-04-01T00:00:00Z", "2026-04-01T00:00:00.123456789Z",
                               "2026-04-01T02:00:00.5+02:00", "2026-03-31T19:30:00-04:30"})
        EXPECT_EQ(ProxyWire::parseResetsAt(text), midnightUTC) << text.toStdString();
    for (const QString text : {"2026-04-01T00:00:00", "2026-04-01T00:00:00+0200",
                               "2026-04-01 00:00:00Z", "2026-02-30T00:00:00Z", "tomorrow"})
        EXPECT_EQ(ProxyWire::parseResetsAt(text), std::nullopt) << text.toStdString();
}

TEST(ProxyWire, ErrorBodies)
{
    const struct {
        const char* name;
        QByteArray body;
        std::optional<ProxyErrorCode> code;
        QString logDetail;
    } rows[] = {
        // clang-format off
        {"code and prefixed message", R"({"error":"QUOTA_EXCEEDED","message":"QUOTA_EXCEEDED: Out"})", ProxyErrorCode::quotaExceeded, "QUOTA_EXCEEDED: Out"},
        {"unknown code", R"({"error":"NEW_THING","message":"Later"})", std::nullopt, "UNKNOWN: Later"},
        {"not JSON", "Bad gateway", std::nullopt, "UNKNOWN: Bad gateway"},
        {"not JSON but prefixed", "UPSTREAM_ERROR: model down", std::nullopt, "UNKNOWN: model down"},
        {"code of the wrong type", R"({"error":7,"message":"m"})", std::nullopt, R"(UNKNOWN: {"error":7,"message":"m"})"},
        {"not UTF-8", "\xff\xfe\xfa", std::nullopt, "UNKNOWN: no body"},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ProxyError error = ProxyWire::apiError(row.body);
        EXPECT_EQ(error.code, row.code);
        EXPECT_EQ(error.logDetail, row.logDetail);
    }
}

} // namespace
