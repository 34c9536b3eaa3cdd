#pragma once

#include "core/DeviceAllInfo.h"

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>

// The settings page's rules without widgets: where its rows go, what its
// version labels say, which sleep entry a time selects, how the program is
// started with the session and how the desktop's mouse settings are opened.
namespace settings {

// Height kept for the sleep-time row; the rows below it sit this much lower.
inline constexpr int kSleepRowOffset = 80;

// Where the bottom rows go, with or without the receiver-light rows. Without any advanced row
// (a mouse on its cable, a device without the features) the links move up into the rows' place,
// so the page ends below its last row instead of after an empty band.
struct PageLayout
{
    int contentHeight;
    QPoint webLink;
    QPoint companyLine;
};
PageLayout pageLayout(bool receiverLightRows, bool longRangeRows = true);

// Entry 0..10 of the sleep-time list for a time in seconds; -1 for a time
// the list does not offer.
int sleepIndexForSeconds(int seconds);

// Where the version values and the update button go in language `index`.
struct LanguagePlacement
{
    int valueX;             // x of both version values (y 155 and 185)
    bool moveUpdateButton;  // false: the update button stays where it is
    QPoint updateButton;
    int updatePoints;       // font size of the update button
};
LanguagePlacement languagePlacement(int index);

// The device's "Adveanced" list: item 0 long-range mode, item 1 the
// receiver's light. "-1" means the device lacks the feature; so does a
// missing item, as nothing then says the device has it.
bool advancedFeatureMissing(const QStringList& advanced, int item);
// Whether the page offers the receiver's light for a device: a receiver of
// kind 1 (not a mouse on its cable) whose list does not lack the light.
bool receiverLightOffered(const QStringList& advanced, quint8 kind, quint8 restrictedKind);

// Receiver class (1, 2, 4, 8) of a receiver kind; 0 for any other kind.
int receiverClassOfKind(quint8 kind);

// Version texts of receiver and mouse and the receiver class for the
// firmware check, from the open device and the worker's search result.
struct VersionTexts
{
    QString receiver;
    QString mouse;
    int receiverClass = 0;
};
VersionTexts composeVersions(const DeviceAllInfo& current, const QList<DeviceAllInfo>& found);

// Start with the session: an XDG autostart entry.
// $XDG_CONFIG_HOME (default ~/.config) + "/autostart/talvo-r430k.desktop".
QString autostartEntryPath();
// The entry's text for the program at `program`.
QByteArray autostartEntry(const QString& program);
bool autostartEntryExists();
// Writes (atomically) or removes the entry, then checks that it took effect.
// False, with a reason, when it did not.
bool setAutostartEntry(bool on, const QString& program, QString* error = nullptr);

// The desktop's mouse settings: the first tool found in PATH is started.
struct SettingsTool
{
    const char* program;
    const char* argument;  // nullptr: none
};
extern const SettingsTool kMouseSettingsTools[6];
using ToolStarter = std::function<bool(const QString& program, const QStringList& arguments)>;
// Tries the tools in order; true once one started. `starter` defaults to
// QProcess::startDetached.
bool openMouseSettings(const ToolStarter& starter = {});

// What the web profile gives the page for the stored language index.
struct NetTexts
{
    bool hasCompany = false;
    QString company;
    bool hasWeb = false;
    QString web;
};
// Reads "Net.xml": root "Profile"; the group "Chinese" (index 1, 2) or
// "English" (any other) and "Web"; "CompanyName" for every index,
// "CompanyWebcn" for 1 and 2, "CompanyWeben" for 0, 3 and 4. False when the
// file cannot be opened or its root is not "Profile" (nothing then applies);
// malformed XML keeps what was read before the break.
bool readNetProfile(const QString& path, int index, NetTexts* out, QString* error = nullptr);

} // namespace settings
