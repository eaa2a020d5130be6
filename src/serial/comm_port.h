// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringView>

// How long opening a network port may take before it counts as no answer.
inline constexpr int networkOpenTimeoutMs = 3000;

// Why an open failed, in terms an operator can act on.
struct PortFailure {
    enum class Kind {
        None,
        NoDevice,
        NotFound,
        Busy,
        PermissionDenied,
        Unusable, // the mapping is neither a device nor a network address
        Refused,
        HostNotFound,
        NoAnswer,
        NotRfc2217,
        Other
    };
    Kind kind = Kind::None;
    QString device; // what the port number mapped to (a device or an address); empty when nothing
    QString reason; // the operating system's words
};

// The serial control of the main window: the properties its callers rely on,
// as accessor pairs. Everything runs on the GUI thread.
class CommPort : public QObject
{
    Q_OBJECT
public:
    static constexpr int comEvReceive = 2;

    using QObject::QObject;

    // "9600,N,8,1" or "19200,N,8,1"; takes effect at the next open.
    void setSettings(const QString &settings) { m_settings = settings; }
    QString settings() const { return m_settings; }
    // The speed the settings text asks for (its first field).
    quint32 baud() const { return QStringView(m_settings).split(u',').front().trimmed().toUInt(); }
    void setCommPort(qint16 number) { m_commPort = number; }
    qint16 commPort() const { return m_commPort; }

    virtual bool portOpen() const = 0;
    // Opening returns false on failure and leaves the reason in lastFailure().
    // Closing always succeeds.
    virtual bool setPortOpen(bool open) = 0;
    const PortFailure &lastFailure() const { return m_failure; }
    // Opens without holding up the event loop: openFinished() follows, and may
    // come before this returns (a device opens at once). While an open is
    // under way isOpening() is true and portOpen() false; a second call then
    // does nothing.
    virtual void beginOpen() { Q_EMIT openFinished(setPortOpen(true)); }
    virtual bool isOpening() const { return false; }

    // Sends the bytes unchanged, at once.
    virtual void setOutput(const QByteArray &bytes) = 0;
    // Everything received since the last call.
    virtual QByteArray input() = 0;
    // Inside onComm(): comEvReceive when bytes are waiting.
    virtual int commEvent() const = 0;

Q_SIGNALS:
    void onComm();
    // The end of beginOpen(): false leaves the reason in lastFailure().
    void openFinished(bool opened);

protected:
    void setFailure(PortFailure failure) { m_failure = std::move(failure); }

private:
    QString m_settings = QStringLiteral("9600,N,8,1");
    qint16 m_commPort = 1;
    PortFailure m_failure;
};
