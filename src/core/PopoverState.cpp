// SPDX-License-Identifier: MIT
#include "core/PopoverState.h"

CaptureMethod PopoverState::method() const
{
    if (auto* ready = std::get_if<Ready>(&m_value))
        return ready->method;
    return CaptureMethod::ax;
}

std::optional<TextAction> PopoverState::action() const
{
    if (auto* loading = std::get_if<Loading>(&m_value))
        return loading->action;
    if (auto* result = std::get_if<Result>(&m_value))
        return result->action;
    return std::nullopt;
}

QString PopoverState::message() const
{
    if (auto* error = std::get_if<Error>(&m_value))
        return error->message;
    return {};
}

ErrorRecovery PopoverState::recovery() const
{
    if (auto* error = std::get_if<Error>(&m_value))
        return error->recovery;
    return ErrorRecovery::none;
}
