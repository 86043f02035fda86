// SPDX-License-Identifier: MIT
#include "ai/ServerText.h"

#include <QList>

namespace ServerText {

namespace {

// What QString::toUcs4() gives.
using CodePoints = QList<uint>;

constexpr char32_t escape = 0x1b;
constexpr char32_t bell = 0x07;
constexpr char32_t c1Csi = 0x9b;
constexpr char32_t c1Osc = 0x9d;
constexpr char32_t c1St = 0x9c;

bool isControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7f && c <= 0x9f);
}

// Characters that reorder or hide what follows them on screen.
bool isInvisibleFormatting(char32_t c)
{
    return (c >= 0x200b && c <= 0x200f) || (c >= 0x202a && c <= 0x202e) ||
           (c >= 0x2066 && c <= 0x2069) || c == 0xfeff;
}

// The index just past the escape sequence that starts at `i` (with ESC or a C1 introducer):
// CSI runs to its final byte, OSC, DCS and the like to BEL or the string terminator, and
// any other escape takes one more character.
qsizetype skipEscape(const CodePoints& text, qsizetype i)
{
    const qsizetype size = text.size();
    char32_t introducer = text[i];
    ++i;
    if (introducer == escape) {
        if (i >= size)
            return i;
        const char32_t next = text[i++];
        if (next == u'[')
            introducer = c1Csi;
        else if (next == u']' || next == u'P' || next == u'X' || next == u'^' || next == u'_')
            introducer = c1Osc;
        else
            return i;
    }
    if (introducer == c1Csi) {
        while (i < size && !(text[i] >= 0x40 && text[i] <= 0x7e))
            ++i;
        return std::min(i + 1, size);
    }
    if (introducer == c1Osc || introducer == 0x90 || introducer == 0x98 || introducer == 0x9e ||
        introducer == 0x9f) {
        while (i < size) {
            if (text[i] == bell || text[i] == c1St)
                return i + 1;
            if (text[i] == escape && i + 1 < size && text[i + 1] == u'\\')
                return i + 2;
            ++i;
        }
        return i;
    }
    return i;
}

QString capped(const CodePoints& codePoints, qsizetype limit)
{
    if (codePoints.size() <= limit)
        return QString::fromUcs4(reinterpret_cast<const char32_t*>(codePoints.constData()),
                                 codePoints.size());
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(codePoints.constData()), limit)
               .trimmed() +
           u'…';
}

} // namespace

QString forDisplay(const QString& text)
{
    const CodePoints input = text.toUcs4();
    CodePoints output;
    output.reserve(std::min(input.size(), maxShown + 1));
    bool pendingSpace = false;
    for (qsizetype i = 0; i < input.size() && output.size() <= maxShown;) {
        const char32_t c = input[i];
        if (c == escape || c == c1Csi || c == c1Osc || c == 0x90 || c == 0x98 || c == 0x9e ||
            c == 0x9f) {
            i = skipEscape(input, i);
            continue;
        }
        ++i;
        if (QChar::isSpace(c)) {
            pendingSpace = !output.isEmpty();
            continue;
        }
        if (isControl(c) || isInvisibleFormatting(c))
            continue;
        if (pendingSpace)
            output.append(uint(u' '));
        pendingSpace = false;
        output.append(c);
    }
    return capped(output, maxShown);
}

QString forLog(const QString& text)
{
    QString output;
    qsizetype count = 0;
    for (const char32_t c : text.toUcs4()) {
        if (count++ == maxLogged) {
            output += u'…';
            break;
        }
        if (c == u'\n')
            output += QLatin1StringView("\\n");
        else if (c == u'\r')
            output += QLatin1StringView("\\r");
        else if (c == u'\t')
            output += QLatin1StringView("\\t");
        else if (isControl(c) || c == 0x2028 || c == 0x2029)
            output += QStringLiteral("\\u%1").arg(uint(c), 4, 16, QLatin1Char('0'));
        else
            output += QString::fromUcs4(&c, 1);
    }
    return output;
}

} // namespace ServerText
