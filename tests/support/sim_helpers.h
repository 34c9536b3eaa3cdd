#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The simulated devices as every test folder sets them up and reads them
// back. Needs only Qt Core and the device library.
namespace simtest {

// Replaces the devices by those of scenario INI text (empty: the default
// devices) and forgets any state an earlier scenario left (pairings, flash).
// False, after a warning naming the fault, when the scenario is rejected.
bool loadScenario(const QString& iniText = QString());

// What the named mouse holds in configuration `profile` (-1: the active one)
// as a 10428-byte image; empty when it cannot be read.
QByteArray flash(const char* mouse = "Mouse1", int profile = -1);

// The simulator's call log since the last clear, one call per entry.
QStringList callLog();
// How many entries of `log` start with `prefix`.
int countCalls(const QStringList& log, const QString& prefix);
// Entries of `log` that start with one of `prefixes`, in order (the calls a test cares about).
QStringList callsStartingWith(const QStringList& log, const QStringList& prefixes);

} // namespace simtest
