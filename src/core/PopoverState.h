// SPDX-License-Identifier: MIT
#pragma once

#include "core/CaptureMethod.h"
#include "core/ErrorRecovery.h"
#include "core/TextAction.h"

#include <QMetaType>
#include <variant>

// What the panel shows. Two states are equal when case and payload are equal.
//
//   noSelection ──capture with text──▶ ready ──action──▶ loading ──ok──▶ result
//        ▲                               ▲                  │             │
//        │                               └──back/esc────────┴──failure──▶ error
//   loading ──no AI service chosen, nothing sent──▶ needsService ──back/esc──▶ ready
//   needsPermission ──grant seen by the poll──▶ noSelection
//
// The transitions themselves are made by the run flow alone.
class PopoverState {
public:
    enum class Kind { ready, loading, result, error, needsPermission, noSelection, needsService };

    static PopoverState ready(CaptureMethod method) { return PopoverState(Ready{method}); }
    static PopoverState loading(TextAction action) { return PopoverState(Loading{action}); }
    static PopoverState result(TextAction action) { return PopoverState(Result{action}); }
    static PopoverState error(QString message, ErrorRecovery recovery)
    {
        return PopoverState(Error{std::move(message), recovery});
    }
    static PopoverState needsPermission() { return PopoverState(NeedsPermission{}); }
    static PopoverState noSelection() { return PopoverState(NoSelection{}); }
    // An action found no AI service to send the text to, so nothing was sent.
    static PopoverState needsService() { return PopoverState(NeedsService{}); }

    PopoverState()
        : m_value(NoSelection{})
    {}

    Kind kind() const { return static_cast<Kind>(m_value.index()); }
    bool is(Kind kind) const { return this->kind() == kind; }

    // Payload accessors; each answers a neutral value for states without that payload.
    CaptureMethod method() const;
    std::optional<TextAction> action() const;
    QString message() const;
    ErrorRecovery recovery() const;

    bool operator==(const PopoverState&) const = default;

private:
    struct Ready {
        CaptureMethod method;
        bool operator==(const Ready&) const = default;
    };
    struct Loading {
        TextAction action;
        bool operator==(const Loading&) const = default;
    };
    struct Result {
        TextAction action;
        bool operator==(const Result&) const = default;
    };
    struct Error {
        QString message;
        ErrorRecovery recovery;
        bool operator==(const Error&) const = default;
    };
    struct NeedsPermission {
        bool operator==(const NeedsPermission&) const = default;
    };
    struct NoSelection {
        bool operator==(const NoSelection&) const = default;
    };
    struct NeedsService {
        bool operator==(const NeedsService&) const = default;
    };
    // The order of the alternatives is the order of Kind.
    using Value =
        std::variant<Ready, Loading, Result, Error, NeedsPermission, NoSelection, NeedsService>;

    template <class T>
    explicit PopoverState(T value)
        : m_value(std::move(value))
    {}

    Value m_value;
};

Q_DECLARE_METATYPE(PopoverState)
