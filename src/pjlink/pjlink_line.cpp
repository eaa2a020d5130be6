// SPDX-License-Identifier: GPL-3.0-or-later
#include "pjlink/pjlink_line.h"

#include <algorithm>

namespace {

bool isVisible(char c)
{
    return c > ' ' && c < '\x7f';
}

} // namespace

ParsedLine parsePjlinkLine(QByteArrayView line, bool overlong)
{
    ParsedLine parsed;
    if (line.size() < 6 || line[0] != '%' || line[1] < '1' || line[1] > '9')
        return parsed;
    const QByteArrayView command = line.sliced(2, 4);
    if (!std::all_of(command.begin(), command.end(), [](char c) { return isVisible(c) && c != '='; }))
        return parsed;
    parsed.request.pjClass = line[1];
    parsed.request.command = command.toByteArray();
    const QByteArrayView parameter = line.size() > 7 ? line.sliced(7) : QByteArrayView();
    const bool printable =
        std::all_of(parameter.begin(), parameter.end(), [](char c) { return c == ' ' || isVisible(c); });
    if (overlong || line.size() < 8 || line[6] != ' ' || !printable) {
        parsed.fault = ParsedLine::Fault::BadParameter;
        return parsed;
    }
    parsed.fault = ParsedLine::Fault::None;
    parsed.request.parameter = parameter.toByteArray();
    return parsed;
}

QByteArray pjlinkAnswer(const PjlinkRequest &request, QByteArrayView text)
{
    return '%' + QByteArray(1, request.pjClass) + request.command + '=' + text.toByteArray() + '\r';
}

QString visibleBytes(QByteArrayView bytes)
{
    QString text;
    for (const char c : bytes)
        text += (c >= ' ' && c < '\x7f') ? QString(QLatin1Char(c))
                                         : QStringLiteral("<%1>").arg(quint8(c), 2, 16, QLatin1Char('0'));
    return text;
}
