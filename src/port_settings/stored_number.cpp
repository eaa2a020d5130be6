// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_settings/stored_number.h"

#include <cmath>
#include <limits>

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// Length of the number at the start of text (after the caller skipped blanks), 0 if none.
qsizetype numberLength(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    const qsizetype mantissaStart = i;
    while (i < n && isDigit(text[i]))
        ++i;
    qsizetype digits = i - mantissaStart;
    if (i < n && text[i] == u'.') {
        const qsizetype fractionStart = ++i;
        while (i < n && isDigit(text[i]))
            ++i;
        digits += i - fractionStart;
    }
    if (digits == 0)
        return 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            ++j;
        const qsizetype exponentStart = j;
        while (j < n && isDigit(text[j]))
            ++j;
        if (j > exponentStart)
            i = j;
    }
    return i;
}

qsizetype skipBlanks(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    return i;
}

template <typename Int> std::optional<Int> wholeInRange(double value, double low)
{
    const double rounded = roundHalfEven(value);
    if (!std::isfinite(rounded) || rounded < low || rounded > std::numeric_limits<Int>::max())
        return std::nullopt;
    return static_cast<Int>(rounded);
}

} // namespace

double roundHalfEven(double value)
{
    return std::nearbyint(value); // the default rounding mode is to nearest, ties to even
}

double leadingNumber(QStringView text)
{
    text = text.mid(skipBlanks(text));
    const qsizetype length = numberLength(text);
    if (length == 0)
        return 0;
    bool ok = false;
    const double value = text.left(length).toDouble(&ok);
    return ok ? value : 0;
}

std::optional<qint16> storedPortNumber(QStringView text)
{
    return wholeInRange<qint16>(leadingNumber(text), 0);
}

std::optional<quint8> storedBaudCode(QStringView text)
{
    return wholeInRange<quint8>(leadingNumber(text), 0);
}

std::optional<quint8> typedNumber(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    const qsizetype length = numberLength(trimmed);
    if (length == 0 || length != trimmed.size())
        return std::nullopt;
    return wholeInRange<quint8>(trimmed.toDouble(), 0);
}
