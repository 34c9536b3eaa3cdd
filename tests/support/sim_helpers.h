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

// Registers a marker as the hot-plug callback with settleMs and waits, while
// the calling thread processes its events, until the marker's first call has
// come; then stops hot-plug calls. The simulator runs its timed events in time
// order and makes its hot-plug calls one after the other, so afterwards every
// timed event due within settleMs has run, every earlier hot-plug call has
// returned and what it queued on this thread has run. False on timeout.
bool hotPlugBarrier(int settleMs, int timeoutMs = 5000);

} // namespace simtest
