// SPDX-License-Identifier: MIT
#pragma once

#include "core/Style.h"

#include <QString>
#include <optional>

// What the user asked Quillmark to do with the text. Two actions are equal when their
// kind and payload are equal: rewrite(formal) is not rewrite(casual).
class TextAction {
public:
    enum class Kind { rewrite, custom, translate, fixGrammar, improvePrompt };

    static TextAction rewrite(Style style) { return TextAction(Kind::rewrite, style, {}); }
    static TextAction custom(QString instruction)
    {
        return TextAction(Kind::custom, Style::business, std::move(instruction));
    }
    static TextAction translate() { return TextAction(Kind::translate); }
    static TextAction fixGrammar() { return TextAction(Kind::fixGrammar); }
    static TextAction improvePrompt() { return TextAction(Kind::improvePrompt); }

    // Parses the values of the diagnostic defaults "autoAction" and "proxySelfTest" and the
    // ACTION argument of `quillmark run`: translate, fixGrammar, improvePrompt,
    // rewrite-<tone>, custom:<instruction>. Anything else is absent; matching is exact.
    [[nodiscard]] static std::optional<TextAction> fromTestFlag(const QString& flag);

    Kind kind() const { return m_kind; }
    // Meaningful only for rewrite.
    Style style() const { return m_style; }
    // Meaningful only for custom; kept exactly as typed.
    const QString& instruction() const { return m_instruction; }

    // The name used in log lines; never shown to the user.
    QString logName() const;

    bool operator==(const TextAction&) const = default;

private:
    explicit TextAction(Kind kind, Style style = Style::business, QString instruction = {})
        : m_kind(kind)
        , m_style(style)
        , m_instruction(std::move(instruction))
    {}

    Kind m_kind;
    Style m_style;
    QString m_instruction;
};
