// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/traffic_display.h"

class QLabel;
class TrafficView;
struct PanelControls;

// The panel's traffic views and legends, as the transaction writes them.
class PanelViews final : public TrafficDisplay
{
public:
    explicit PanelViews(const PanelControls &controls);

    void setSentView(const QString &text) override;
    void setReplyView(const QString &text) override;
    void setStatusView(const QString &text) override;
    void setLegendVisible(Legend legend, bool visible) override;

private:
    TrafficView *Label11; // TxD
    TrafficView *Label12; // RxD
    TrafficView *Label25; // decoded status
    QLabel *Label27;      // space legend
    QLabel *Label28;      // CR legend
    QLabel *Label29;      // ACK legend
};
