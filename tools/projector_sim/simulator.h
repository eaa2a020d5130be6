// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "command_framer.h"
#include "output_queue.h"
#include "projector_model.h"
#include "reply_shaper.h"
#include "sim_options.h"

class SerialEndpoint;
class TcpEndpoint;

// Blocks and catches SIGINT, SIGTERM and SIGHUP so that they end Simulator::run()
// cleanly instead of the process; call before anything needs cleaning up.
void catchStopSignals();

// Plays the projector on the endpoint: reads commands, lets the model answer
// and queues the answers with the chosen faults. On a LAN port the clients
// come and go while the projector's state stays, as a real one's would.
class Simulator
{
public:
    Simulator(const SerialEndpoint &endpoint, const SimOptions &options);
    Simulator(TcpEndpoint &endpoint, const SimOptions &options);

    // Runs until a stop signal (0), or until the serial line or the
    // listening socket fails (1).
    int run();

private:
    using Clock = OutputQueue::Clock;

    Simulator(const SerialEndpoint *serial, TcpEndpoint *tcp, const SimOptions &options);
    int lineFd() const;
    bool receive(Clock::time_point now);
    bool lineEnded(const QString &why);
    bool takeNewcomers();
    void answer(const ReceivedCommand &command, Clock::time_point now);

    const SerialEndpoint *m_serial; // one of these two is set
    TcpEndpoint *m_tcp;
    const SimOptions &m_options;
    const Clock::time_point m_start = Clock::now();
    CommandFramer m_framer;
    ProjectorModel m_model;
    ReplyShaper m_shaper;
    OutputQueue m_output;
};
