#pragma once

#include <QString>

// The TCS web host ("host" or "host:port") that a new main window and sky chart
// use. It is an installation setting; tests point it at their own simulator.
QString default_tcs_host();
void set_default_tcs_host(const QString &host);
