#pragma once

/*
 * The mouse's device library: finds the mouse and its receivers, talks to the
 * open device, converts the configuration image and writes firmware.
 *
 * Plain C interface so that another library with the same functions can be
 * linked in its place. This build is backed by a simulated mouse and its
 * receivers (see SimControl.h for the simulator's own control functions and
 * its scenario files).
 *
 * Threads
 *   Every callback runs on a thread of the library, never inside the caller's
 *   call: device reports on the report thread, hot-plug callbacks on the
 *   hot-plug thread, firmware events on the upgrade thread. No callback runs
 *   while the library holds its own lock, so any function may be called from
 *   inside a callback. No function waits for a callback to return:
 *   UsbServer_Exit, StopUsbChanged and UsbServerC_Start return at once even
 *   while a callback is blocked; reports still queued for an ended connection
 *   are dropped.
 *
 * Paths
 *   Device paths are NUL-terminated Latin-1 texts. A path returned by a search
 *   stays valid for the life of the process.
 *
 * The configuration image (FlashDataMap) is 10428 bytes; the library treats it
 * as raw bytes and never keeps the caller's pointer.
 *
 * Reports handed to a DeviceReportCallback
 *   header (8 bytes): 0 report id 0x08; 1 report type; 2 sequence number;
 *   3 frame flags, 0 for a complete data frame; 4 frame command (type 8 only);
 *   5-6 data count, little-endian; 7 reserved.
 *   type 4  battery          data 4: level 0-100, charging 0/1, 2 reserved
 *   type 6  pair status      data 1: 0 idle, 1 busy, 2 failed, 3 paired
 *   type 8  data frame       by command:
 *           0x00, 6912 data  full configuration dump (encoding below)
 *           0x00, 1 data     report-rate code
 *           0x04, 1 data     current DPI level, 0-based
 *           0x4C, 8 data     DPI light: mode, brightness, speed, on, 3 zero, sum
 *           0xA0, 9 data     light bar: mode, speed, brightness, red, green,
 *                            blue, on, 0, sum
 *           ("sum" is the low byte of the sum of the bytes before it)
 *   type 9  the mouse was reset and asks for the tool's receiver settings; no data
 *   type 10 status changed   data 1: bit n set = flag n changed (0 DPI level,
 *                            1 report rate, 2 whole configuration, 3 DPI light,
 *                            4 light effect, 5 light bar, 6 battery)
 *   type 14 configuration    data 1: index of the active configuration 0-3
 *   type 18 version          data 2: firmware version, little-endian
 *   type 21 receiver light changed on the receiver; data 10: the DongleRGB bytes
 *   type 23 long-range mode switched off by the receiver; data 10, zero
 *
 * Full configuration dump (6912 bytes)
 *   0    .. 955   image bytes 0 to 955 (everything before the macro records)
 *   956  .. 6875  macro records of button slots 0 to 9, 592 bytes each
 *   6876 .. 6911  trailer: 0-3 "R430", 4 format 1, 5 active configuration,
 *                 6 configuration count (4), 7 macro slots held (10),
 *                 8-11 CRC-32 (IEEE) of dump bytes 0 to 6875, little-endian,
 *                 12-35 zero
 *   The mouse keeps no macro records for slots 10 to 15: the parser writes
 *   them as zeros, and ProtocolDataUpdate never sends them.
 *
 * Environment
 *   TALVO_SIM_BUS_US    bus time of one 64-byte report in microseconds
 *                       (default 1000; 0 makes the bus cost no time).
 *   TALVO_SIM_STATE     file keeping the simulated flash across runs (default:
 *                       $XDG_DATA_HOME, else ~/.local/share, +
 *                       "/TALVO R430K mouse/Device_Info/simulator-state.ini").
 *   TALVO_SIM_SCENARIO  scenario file choosing the devices (SimControl.h), a
 *                       relative path taken from the current folder; unset: one
 *                       class-4 receiver paired with an awake mouse. A file that
 *                       cannot be read or is malformed leaves no device plugged.
 */

#include <stdbool.h>

#if defined(_WIN32) && defined(HIDUSB_BUILD)
#define HIDUSB_API __declspec(dllexport)
#elif defined(_WIN32)
#define HIDUSB_API __declspec(dllimport)
#else
#define HIDUSB_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Hot-plug: something was plugged, unplugged, entered or left boot mode, or paired. */
typedef void (*UsbChangedCallback)(void);
/* One report of the open device; both buffers are valid only during the call. */
typedef void (*DeviceReportCallback)(const unsigned char* header, int headerLen, const unsigned char* data,
                                     int dataLen);
/* Firmware event, 3 bytes: 7, then 1 progress (byte 2 percent) or 2 finished (byte 2: 1 success). */
typedef void (*UpgradeEventCallback)(const unsigned char* ev);

/* CID, MID and kind of a device, by value. All zero when the device does not answer. */
typedef struct HidDeviceIdentity {
    unsigned char Cid;
    unsigned char Mid;
    unsigned char Kind;
} HidDeviceIdentity;

/* ---- Finding devices and asking them ---------------------------------- */

/* Devices with vendor id1 and product id2 (texts such as "0x3A2F"). *count holds
 * the room of the caller on entry and the number of paths on return. The array
 * is the calling thread's and stays valid until its next search. */
HIDUSB_API const char** UsbFinderC_FindHidDevicesByDefaultDeviceId(const char* id1, const char* id2, int* count);
HIDUSB_API const char** UsbFinderC_FindHidDevicesByDeviceId(const char* id1, const char* id2, int interfaceNumber,
                                                            int maxDevices, int* count);
HIDUSB_API HidDeviceIdentity UsbFinderC_GetDeviceInfo(const char* path);
/* 12 bytes: 0-1 vendor id, 2-3 product id, 8-9 firmware version of the plugged device
 * (little-endian); other bytes zero. False for an unknown path (buffer untouched). */
HIDUSB_API bool UsbFinderC_GetUsbDeviceAttribute(const char* path, unsigned char* buf);
/* True when the device answers: a cable mouse while plugged, a receiver while its
 * paired mouse is awake and out of boot mode. */
HIDUSB_API bool UsbFinderC_GetDeviceOnLine(const char* path);
/* 10 bytes: 0-5 zero, 6 = 1 online, 7-9 receiver address (a cable mouse gives the
 * address of the receiver it is paired with). Returns the online answer. */
HIDUSB_API bool UsbFinderC_GetDeviceOnLineWithUsbAddress(const char* path, unsigned char* buf);
/* Firmware version of the mouse behind the path (major << 8 | minor); 0 when unreachable. */
HIDUSB_API int UsbFinderC_GetVersion(const char* path);
/* Firmware version of the receiver itself. False for a path that is not a receiver. */
HIDUSB_API bool UsbFinderC_GetSlaveVersion(const char* path, int* version);
/* Receiver light, 10 bytes (DongleRGB): byte 0 mode 0-3. Only the kind-1 receiver has one. */
HIDUSB_API bool UsbFinderC_Get4KDongleRGBValue(const char* path, void* dongleRgb);
HIDUSB_API bool UsbFinderC_Set4KDongleRGB(const char* path, const void* dongleRgb);
/* Writes 1 (on) or 0 (off) into *mode for a receiver; leaves it untouched otherwise. */
HIDUSB_API bool UsbFinderC_GetLongRangeMode(const char* path, unsigned char* mode);
HIDUSB_API bool UsbFinderC_SetLongRangeMode(const char* path, bool on);
/* Gives a cable mouse a receiver: record = receiver identifier (link buffer bytes 9, 8,
 * 7 in that order), 0, mode. */
HIDUSB_API bool UsbFinderC_SetDongleIDToMouse(const char* path, const unsigned char* record);

/* ---- The open device ---------------------------------------------------- */

/* Opens the connection to path (the second path is accepted and must name the same
 * device), replacing any earlier one. Reports go to callback on the report thread.
 * True when the device is plugged; a silent device is still opened, and requests
 * made to it are answered once its mouse wakes up. */
HIDUSB_API bool UsbServerC_Start(const char* path, const char* path2, DeviceReportCallback callback);
/* Ends the connection; returns at once, queued reports are dropped. */
HIDUSB_API void UsbServer_Exit(void);
HIDUSB_API bool UsbServer_SetPCDriverStatus(unsigned char present);

/* Requests: each queues one request and returns at once; the answer comes as a
 * report. False when no connection is open. */
HIDUSB_API bool UsbServer_ReadAllFlashData(void);
HIDUSB_API bool UsbServer_ReadCurrentDPI(void);
HIDUSB_API bool UsbServer_ReadReportRate(void);
HIDUSB_API bool UsbServer_ReadLedBar(void);
HIDUSB_API bool UsbServer_ReadBatteryLevel(void);
HIDUSB_API bool UsbServer_ReadDPILed(void);
HIDUSB_API bool UsbServer_ReadVersion(void);
HIDUSB_API bool UsbServer_ReadConfig(void);
HIDUSB_API bool UsbServer_ReadDonglePairStatus(void);
/* The receiver looks for a pairable mouse of this CID; pair-status reports follow. */
HIDUSB_API bool UsbServer_EnterDonglePairOnlyCid(unsigned char cid);
/* Switches to stored configuration 0-3; the device answers with a configuration
 * report and a full dump. */
HIDUSB_API bool UsbServer_SetCurrentConfig(unsigned char index);
/* Restores the factory values of all four configurations; the device then asks for
 * the tool's receiver settings (report type 9). */
HIDUSB_API bool UsbServer_SetClearSetting(void);

/* ---- Configuration image codec ------------------------------------------ */

/* Fills all 10428 bytes of image from a 6912-byte dump. False, image untouched,
 * when the dump's trailer does not check. */
HIDUSB_API bool ProtocolDataParser(const unsigned char* data, void* image);
/* Sends the parts of image that differ from what the device holds; only queues,
 * never makes the device send a report. False when no connection is open. */
HIDUSB_API bool ProtocolDataUpdate(const void* image);
/* 8 data bytes of a DPI-light frame -> 4 image bytes (mode, brightness, speed, on). */
HIDUSB_API bool BufferToDPILed(const unsigned char* data, unsigned char* out);
/* 9 data bytes of a light-bar frame -> 7 image bytes (mode, red, green, blue, speed,
 * brightness, on). */
HIDUSB_API bool BufferToLedBar(const unsigned char* data, unsigned char* out);
/* Battery report data -> 4 bytes: level, charging, 0, 0. */
HIDUSB_API bool GetDeviceBatteryStatus(const unsigned char* data, unsigned char* out);
/* Status report data -> 7 flags of 0 or 1; all seven are rewritten (zero when data is NULL). */
HIDUSB_API bool GetDeviceStatusChanged(const unsigned char* data, unsigned char* out);

/* ---- Hot-plug --------------------------------------------------------------- */

/* Registers callback, replacing the previous one. It is called once about
 * settleMs after registration and then settleMs after each change (changes
 * closer together give one call). */
HIDUSB_API bool StartUsbChanged(UsbChangedCallback callback, int settleMs);
HIDUSB_API void StopUsbChanged(void);

/* ---- Firmware ----------------------------------------------------------------- */

/* Number of attached devices in boot mode that image (a whole image file of imageSize
 * bytes) fits. False when the buffer is shorter than its header says. */
HIDUSB_API bool UsbUpgradeC_FindBootDevices(const unsigned char* image, int imageSize, int* count);
/* Writes image (imageSize bytes) to the first device it fits (one in boot mode first,
 * else one that answers); events on the upgrade thread. False when the image is invalid,
 * its buffer is shorter than its header says, or it fits no device. timeoutMs bounds the wait for the device to enter boot mode. A device removed
 * while it is written ends the update as failed and comes back in its boot loader. */
HIDUSB_API bool UsbUpgrade_Start(const unsigned char* image, int imageSize, UpgradeEventCallback callback,
                                 int timeoutMs);
/* Eight NUL-terminated texts about the last update. The pointers stay valid for the
 * life of the process; the texts are rewritten when an update starts and ends. */
HIDUSB_API const char* const* UsbUpgradeC_GetLogs(void);

#ifdef __cplusplus
}
#endif
