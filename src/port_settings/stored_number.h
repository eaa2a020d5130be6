// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>
#include <QtGlobal>

#include <optional>

// The decimal number a text begins with (sign, digits, fraction, exponent;
// blanks before it skipped), or 0 when it begins with none.
double leadingNumber(QStringView text);

// Rounds to the nearest whole number, halves to the even neighbour.
double roundHalfEven(double value);

// A stored "ComPort": its leading number, rounded. No value when it cannot be
// a port number at all (negative, or beyond a 16-bit signed integer).
std::optional<qint16> storedPortNumber(QStringView text);

// A stored "BaudRate": its leading number, rounded. No value outside 0..255.
std::optional<quint8> storedBaudCode(QStringView text);

// A port number typed into the dialog: the whole text must be a number,
// blanks around it allowed. No value when it is not one or lies outside 0..255.
std::optional<quint8> typedNumber(QStringView text);
