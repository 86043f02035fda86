// SPDX-License-Identifier: MIT
#include "ai/ProxyWire.h"
#include "AITestSupport.h"

namespace {

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
