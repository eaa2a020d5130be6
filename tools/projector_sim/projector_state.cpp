// SPDX-License-Identifier: GPL-3.0-or-later
#include "projector_state.h"

#include <algorithm>

namespace {

// Enough for every keyword of the command set; line noise cannot grow the map past it.
constexpr std::size_t kMaxSettings = 128;

int wrap(int value, int count)
{
    return ((value % count) + count) % count;
}

} // namespace

ProjectorState::ProjectorState(const ProjectorSetup &setup)
    : m_setup(setup), m_hoursBase(std::clamp(setup.lampHours, 0, kMaxLampHours))
{}

PowerState ProjectorState::power(Time now) const
{
    if (now < m_phaseEnds)
        return m_phase;
    switch (m_phase) {
    case PowerState::CountDown:
        return PowerState::On;
    case PowerState::Cooling:
        return PowerState::Standby;
    default:
        return m_phase;
    }
}

void ProjectorState::powerOn(Time now)
{
    if (m_setup.lampFailure || power(now) != PowerState::Standby)
        return;
    m_phase = PowerState::CountDown;
    m_phaseEnds = now + m_setup.countDown;
    m_litSince = now;
}

void ProjectorState::powerOff(Time now)
{
    const PowerState current = power(now);
    if (current != PowerState::CountDown && current != PowerState::On)
        return;
    m_phase = PowerState::Cooling;
    m_phaseEnds = now + m_setup.coolDown;
    m_litBefore += now - *m_litSince;
    m_litSince.reset();
}

int ProjectorState::lampHours(Time now) const
{
    const Time lit = m_litBefore + (m_litSince ? now - *m_litSince : Time{0});
    const auto hours = std::chrono::duration_cast<std::chrono::hours>(lit).count();
    return int(std::min<qint64>(m_hoursBase + hours, kMaxLampHours));
}

void ProjectorState::resetLampHours(Time now)
{
    m_hoursBase = 0;
    m_litBefore = Time{0};
    if (m_litSince)
        m_litSince = now;
}

void ProjectorState::stepLampMode(int delta)
{
    m_lampMode = LampMode(wrap(int(m_lampMode) + delta, 3));
}

void ProjectorState::stepInput(int delta)
{
    m_input = wrap(m_input - 1 + delta, kInputCount) + 1;
}

std::array<double, 3> ProjectorState::temperatures(Time now) const
{
    switch (power(now)) {
    case PowerState::On:
        return {35.0, 40.5, 38.0};
    case PowerState::CountDown:
    case PowerState::Cooling:
        return {30.0, 32.5, 31.0};
    case PowerState::Standby:
        break;
    }
    return {25.0, 24.5, 26.0};
}

std::optional<QByteArray> ProjectorState::setting(const QByteArray &keyword) const
{
    const auto it = m_settings.find(keyword);
    if (it == m_settings.end())
        return std::nullopt;
    return it->second;
}

void ProjectorState::remember(const QByteArray &keyword, const QByteArray &value)
{
    if (m_settings.size() < kMaxSettings || m_settings.contains(keyword))
        m_settings[keyword] = value;
}
