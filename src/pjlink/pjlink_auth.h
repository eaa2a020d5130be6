// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The random number of a greeting: eight hexadecimal digits from the
// system's secure generator.
QByteArray pjlinkChallenge();

// What a controller that knows the password puts before its command: the MD5
// digest of the random number and the password, as 32 lower-case hex digits.
QByteArray pjlinkDigest(QByteArrayView challenge, QByteArrayView password);

// Whether a received digest is the expected one, in a time that does not
// depend on where they differ. Upper-case hex digits count as lower-case.
bool isSameDigest(QByteArrayView received, QByteArrayView expected);
