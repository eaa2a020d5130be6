// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/panel_views.h"

#include "panel/panel_builder.h"
#include "panel/traffic_view.h"

#include <QLabel>

PanelViews::PanelViews(const PanelControls &controls)
    : Label11(controls.Label11), Label12(controls.Label12), Label25(controls.Label25),
      Label27(controls.Label27), Label28(controls.Label28), Label29(controls.Label29)
{}

void PanelViews::setSentView(const QString &text)
{
    Label11->showText(text);
}

void PanelViews::setReplyView(const QString &text)
{
    Label12->showText(text);
}

void PanelViews::setStatusView(const QString &text)
{
    Label25->showText(text);
    // Why a command was not sent can run past the line's end.
    Label25->setToolTip(text);
}

void PanelViews::setLegendVisible(Legend legend, bool visible)
{
    switch (legend) {
    case Legend::Space:
        Label27->setVisible(visible);
        break;
    case Legend::CarriageReturn:
        Label28->setVisible(visible);
        break;
    case Legend::Ack:
        Label29->setVisible(visible);
        break;
    }
}
