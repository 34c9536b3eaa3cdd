#pragma once

/*
 * Control of the simulated devices behind HIDUsb.h, for tests, benchmarks and
 * scenario runs. Program code calls only SimControl_ScenarioError and
 * SimControl_ScenarioFault, once at start-up; a vendor library linked in place
 * of this one would not have these.
 *
 * Devices are named by their scenario group name ("Mouse1", "Receiver1"). A
 * mouse is reached through its cable (when plugged) or through the receiver
 * it is paired with; a receiver answers only while its mouse is awake. A receiver
 * keeps one mouse: pairing another one (or giving a cable mouse its identifier)
 * takes it from the mouse it had.
 *
 * Scenario file (INI; "#" or ";" start a comment line):
 *
 *   [Simulator]
 *   BusMicroseconds=1000     bus time per 64-byte report; TALVO_SIM_BUS_US wins
 *   PairDelayMs=1500         time a pairing takes once a pairable mouse is found
 *   PairTimeoutMs=10000      a pairing without a pairable mouse fails after this
 *
 *   [Mouse1]                 any group named Mouse...
 *   Model=1                  1 = "R430K" (MID 1), 2 = "R430K Pro" (MID 2)
 *   Cable=false              plugged by its cable
 *   CableKind=2              device kind the mouse reports on its cable
 *   Awake=true
 *   Battery=80               percent
 *   Charging=false
 *   Version=0x0105           firmware version
 *   Pairable=false           the user holds the pairing button
 *
 *   [Receiver1]              any group named Receiver...
 *   Class=4                  1, 2, 4 or 8 (1000 to 8000 Hz; kinds 0, 4, 1, 5)
 *   Mouse=Mouse1             paired mouse; empty: not paired
 *   Model=1                  model of the receiver (default: its mouse's)
 *   Plugged=true
 *   Version=0x0103
 *   Address=0x12,0x34,0x56   receiver address (default derived from the name)
 *                            a class-4 receiver carries a light: mode 1 until the
 *                            program or its light button changes it
 *
 *   [Events]                 timed events, measured from loading the scenario
 *   E1=5000 unplug Receiver1       plug | unplug (a mouse: its cable)
 *   E2=6000 sleep Mouse1           wake | sleep
 *   E3=7000 battery Mouse1 15      battery <percent>; charging <0|1>
 *   E4=8000 dpi Mouse1             the DPI button is pressed
 *   E5=9000 profile Mouse1 2       the mouse switches to configuration 2
 *   E6=9500 pairable Mouse1        the user holds the pairing button
 *
 * Example files lie in devicelib/scenarios/.
 *
 * With no scenario named (TALVO_SIM_SCENARIO unset) the devices are one class-4
 * receiver "Receiver1" paired with an awake "Mouse1" of model 1. A relative
 * path is taken from the current folder. A scenario named there that cannot be
 * read or is malformed plugs no device at all; SimControl_ScenarioError says why.
 *
 * Flash contents, firmware versions, pairings and the boot loader a cut update
 * left a device in are kept in the state file
 * (TALVO_SIM_STATE, see HIDUsb.h) by device name and win over the scenario's
 * values, as a real mouse keeps its flash.
 *
 * All functions are thread-safe and return at once unless said otherwise.
 */

#include <stdbool.h>

#if defined(_WIN32) && defined(HIDUSB_BUILD)
#define SIMCONTROL_API __declspec(dllexport)
#elif defined(_WIN32)
#define SIMCONTROL_API __declspec(dllimport)
#else
#define SIMCONTROL_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Replaces all devices by those of the scenario file (NULL or "": the default
 * scenario). Ends the open connection and signals a hot-plug change. False, with
 * the devices unchanged, when the file cannot be read or is malformed; *error (may
 * be NULL) then points to a message valid until the next call. */
SIMCONTROL_API bool SimControl_LoadScenario(const char* path, const char** error);
/* The same from INI text. */
SIMCONTROL_API bool SimControl_LoadScenarioText(const char* iniText, const char** error);
/* Why the scenario named by TALVO_SIM_SCENARIO was not loaded when the library
 * started (the file and the cause); NULL when it was or none was named. Valid
 * for the life of the process. */
SIMCONTROL_API const char* SimControl_ScenarioError(void);
/* The same cause as a code, for a caller that words it in the user's language: 0 none,
 * 1 no such file, 2 it cannot be read, 3 it is no regular file (a folder, a pipe, ...),
 * 4 it is malformed, with *line the line at fault (0: the file as a whole, such as a
 * file naming no device). *file: the file as it was looked for, an absolute path; "" for
 * 0. line and file may be NULL; the text is valid for the life of the process. */
SIMCONTROL_API int SimControl_ScenarioFault(int* line, const char** file);
/* Deletes the state file and puts every device back to its scenario values. */
SIMCONTROL_API void SimControl_ForgetState(void);
/* Writes the state file now (it is otherwise written shortly after each change). */
SIMCONTROL_API bool SimControl_SaveState(void);

SIMCONTROL_API void SimControl_SetBusMicroseconds(int us);
/* Path under which HIDUsb.h reaches the named device; "" when there is none.
 * Valid for the life of the process. */
SIMCONTROL_API const char* SimControl_DevicePath(const char* name);

/* A receiver is plugged or unplugged; for a mouse, its cable. */
SIMCONTROL_API bool SimControl_Plug(const char* name, bool plugged);
SIMCONTROL_API bool SimControl_SetAwake(const char* mouse, bool awake);
/* A falling level or a change of charging makes the mouse report a status change. */
SIMCONTROL_API bool SimControl_SetBattery(const char* mouse, int percent, bool charging);
/* The user presses the DPI button: next DPI level, status change reported. */
SIMCONTROL_API bool SimControl_PressDpiButton(const char* mouse);
/* The user switches configuration on the mouse: status change (whole configuration). */
SIMCONTROL_API bool SimControl_SwitchProfile(const char* mouse, int index);
SIMCONTROL_API bool SimControl_SetPairable(const char* mouse, bool pairable);
/* The receiver switches long-range mode; switching off is reported (type 23). */
SIMCONTROL_API bool SimControl_SetLongRange(const char* receiver, bool on);
/* The user presses the light button of the 4000 Hz receiver: its light mode steps
 * 1, 2, 3, 1 ... and the change is reported (type 21). */
SIMCONTROL_API bool SimControl_PressReceiverLightButton(const char* receiver);
/* The next firmware update fails when it reaches percent (0-100). */
SIMCONTROL_API void SimControl_FailNextUpgrade(int percent);
/* The next UsbUpgrade_Start answers true and then sends no event at all, as a
 * device that hangs in its boot loader would. */
SIMCONTROL_API void SimControl_StallNextUpgrade(void);
/* The device the next firmware update writes is pulled out once the update has
 * reported percent (0-100): a receiver is unplugged, a mouse loses its cable
 * and its receiver. The library then reports the update failed. */
SIMCONTROL_API void SimControl_UnplugDuringNextUpgrade(int percent);
/* Puts the device into its boot loader (as a failed update leaves it) or takes
 * it out; signals a hot-plug change. False for an unknown name. */
SIMCONTROL_API bool SimControl_SetBootMode(const char* name, bool on);
/* The next calls of UsbFinderC_GetDeviceInfo for the device answer zeros. */
SIMCONTROL_API bool SimControl_AnswerAfter(const char* name, int calls);
/* Delivers a report as the open device would send it; it costs bus time. */
SIMCONTROL_API bool SimControl_SendReport(int type, int command, const unsigned char* data, int dataLen);

/* Copies what the mouse holds in configuration profile (0-3, -1 the active one) as
 * a 10428-byte image (macro records of slots 10 to 15 zero). */
SIMCONTROL_API bool SimControl_ReadFlash(const char* mouse, int profile, unsigned char* image, int size);
SIMCONTROL_API int SimControl_ActiveProfile(const char* mouse);
SIMCONTROL_API int SimControl_FirmwareVersion(const char* name);
SIMCONTROL_API bool SimControl_IsPairedWith(const char* mouse, const char* receiver);
SIMCONTROL_API bool SimControl_InBootMode(const char* name);

/* 64-byte reports put on the bus (both ways) since the library started, counted
 * when a call queues them, so a caller sees at once what a call costs. */
SIMCONTROL_API unsigned long long SimControl_BusReports(void);
/* Of those, the reports that have crossed the bus: counted when their bus time has
 * passed, just before the answer they carry is handed on. Equal to
 * SimControl_BusReports() when the bus has nothing left to carry. */
SIMCONTROL_API unsigned long long SimControl_BusReportsDelivered(void);
/* The call log: one line per library call ("UsbServer_ReadAllFlashData()" ...).
 * Copies up to size - 1 characters, lines ended by '\n'; returns the full length. */
SIMCONTROL_API int SimControl_CallLog(char* out, int size);
SIMCONTROL_API void SimControl_ClearCallLog(void);
/* Waits until the bus and the report thread have nothing left to do (timed events
 * such as hot-plug calls do not count). Never call it on a thread that a callback
 * is waiting for. False on timeout. */
SIMCONTROL_API bool SimControl_WaitIdle(int timeoutMs);

#ifdef __cplusplus
}
#endif
