// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <array>
#include <chrono>
#include <map>
#include <optional>

enum class PowerState { Standby, CountDown, On, Cooling };
enum class LampMode { High, Normal, Eco };

// What the projector is like when the simulator starts.
struct ProjectorSetup {
    std::chrono::milliseconds countDown{5000}; // from power on until the picture is there
    std::chrono::milliseconds coolDown{5000};  // from power off until stand-by
    int lampHours = 123;
    bool lampFailure = false; // the lamp never lights
};

// The projector's state as time goes by. Every call carries the current time
// on a steady clock, so a test can walk through count-down and cooling
// without waiting.
class ProjectorState
{
public:
    using Time = std::chrono::milliseconds;
    static constexpr int kInputCount = 5;
    static constexpr int kMaxLampHours = 99999;

    explicit ProjectorState(const ProjectorSetup &setup = {});

    PowerState power(Time now) const;
    // Ignored while cooling down or with a failed lamp, as on the real thing.
    void powerOn(Time now);
    void powerOff(Time now);

    bool lampFailed() const { return m_setup.lampFailure; }
    bool lampLit() const { return m_litSince.has_value(); }
    int lampHours(Time now) const;
    void resetLampHours(Time now);

    LampMode lampMode() const { return m_lampMode; }
    void setLampMode(LampMode mode) { m_lampMode = mode; }
    // Steps through high, normal and eco, round and round.
    void stepLampMode(int delta);

    int input() const { return m_input; }
    void selectInput(int input) { m_input = input; }
    // Steps through the inputs 1 to kInputCount, round and round.
    void stepInput(int delta);

    // Ceiling mounting turns the picture upside down; rear projection mirrors it.
    bool ceiling() const { return m_ceiling; }
    void setCeiling(bool on) { m_ceiling = on; }
    bool rear() const { return m_rear; }
    void setRear(bool on) { m_rear = on; }

    // Degrees Celsius at the three sensors; they follow the lamp.
    std::array<double, 3> temperatures(Time now) const;

    // The last value that a set command gave a keyword the state knows nothing
    // else about, so that its read command can answer it back.
    std::optional<QByteArray> setting(const QByteArray &keyword) const;
    void remember(const QByteArray &keyword, const QByteArray &value);

private:
    ProjectorSetup m_setup;
    PowerState m_phase = PowerState::Standby;
    Time m_phaseEnds{0}; // when count-down or cooling is over
    std::optional<Time> m_litSince;
    Time m_litBefore{0}; // lamp time counted before m_litSince
    int m_hoursBase;
    LampMode m_lampMode = LampMode::Normal;
    int m_input = 1;
    bool m_ceiling = false;
    bool m_rear = false;
    std::map<QByteArray, QByteArray> m_settings;
};
