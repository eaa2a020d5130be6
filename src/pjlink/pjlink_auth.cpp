// SPDX-License-Identifier: GPL-3.0-or-later
#include "pjlink/pjlink_auth.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

QByteArray pjlinkChallenge()
{
    const quint32 random = QRandomGenerator::system()->generate();
    return QByteArray::number(random, 16).rightJustified(8, '0');
}

QByteArray pjlinkDigest(QByteArrayView challenge, QByteArrayView password)
{
    QCryptographicHash md5(QCryptographicHash::Md5);
    md5.addData(challenge);
    md5.addData(password);
    return md5.result().toHex();
}

bool isSameDigest(QByteArrayView received, QByteArrayView expected)
{
    if (received.size() != expected.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < received.size(); ++i) {
        // No early exit: the time says nothing about where a wrong digest goes wrong.
        const auto c = static_cast<unsigned char>(received[i]);
        const unsigned char folded = c | ((c >= 'A' && c <= 'F') ? 0x20 : 0);
        difference |= folded ^ static_cast<unsigned char>(expected[i]);
    }
    return difference == 0;
}
