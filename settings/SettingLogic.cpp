#include "settings/SettingLogic.h"

#include "core/AppPaths.h"
#include "core/FileIo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include <iterator>

namespace settings {

PageLayout pageLayout(bool receiverLightRows, bool longRangeRows)
{
    if (receiverLightRows)
        return {kSleepRowOffset + 780, QPoint(610, kSleepRowOffset + 710), QPoint(490, kSleepRowOffset + 730)};
    if (longRangeRows)
        return {kSleepRowOffset + 630, QPoint(610, kSleepRowOffset + 540), QPoint(490, kSleepRowOffset + 560)};
    // The long-range rows take 80 px from their heading to the links.
    return {kSleepRowOffset + 550, QPoint(610, kSleepRowOffset + 460), QPoint(490, kSleepRowOffset + 480)};
}

int sleepIndexForSeconds(int seconds)
{
    static constexpr int kSeconds[] = {10, 30, 60, 300, 600, 900, 1200, 1500, 1800, 2100, 2400};
    for (int i = 0; i < int(std::size(kSeconds)); ++i) {
        if (kSeconds[i] == seconds)
            return i;
    }
    return -1;
}

LanguagePlacement languagePlacement(int index)
{
    static constexpr struct {
        int valueX;
        int updateX;
    } kRows[] = {{200, 280}, {150, 280}, {150, 330}, {170, 280}, {280, 330}};
    if (index >= 0 && index < int(std::size(kRows)))
        return {kRows[index].valueX, true, QPoint(kRows[index].updateX, 170), 10};
    // Japanese needs the smaller type to fit the button where it is.
    if (index == 5)
        return {280, false, QPoint(), 7};
    return {235, true, QPoint(285, 155), 10};
}

bool advancedFeatureMissing(const QStringList& advanced, int item)
{
    return item >= advanced.size() || advanced.at(item) == QLatin1String("-1");
}

bool receiverLightOffered(const QStringList& advanced, quint8 kind, quint8 restrictedKind)
{
    return !advancedFeatureMissing(advanced, 1) && restrictedKind == 0 && kind == 1;
}

int receiverClassOfKind(quint8 kind)
{
    switch (kind) {
    case 0: return 1;
    case 4: return 2;
    case 1: return 4;
    case 5: return 8;
    default: return 0;
    }
}

namespace {

// The receiver a mouse on its cable came with: only when the search found
// exactly the pair, the first record that reported its address and is no
// mouse itself.
const DeviceAllInfo* pairedReceiver(const QList<DeviceAllInfo>& found)
{
    if (found.size() != 2)
        return nullptr;
    for (const DeviceAllInfo& record : found) {
        if (!record.UsbAddress.isEmpty() && !record.RestrictedKind)
            return &record;
    }
    return nullptr;
}

} // namespace

VersionTexts composeVersions(const DeviceAllInfo& current, const QList<DeviceAllInfo>& found)
{
    VersionTexts texts;
    const DeviceAllInfo* receiver = current.RestrictedKind ? pairedReceiver(found) : nullptr;
    if (!current.Online) {
        texts.receiver = current.UsbVersionText;
    } else if (!current.RestrictedKind) {
        texts.receiver = current.UsbVersionText;
        texts.mouse = current.VersionText;
    } else {
        if (receiver)
            texts.receiver = receiver->UsbVersionText;
        texts.mouse = current.VersionText;
    }
    if (!current.RestrictedKind)
        texts.receiverClass = receiverClassOfKind(current.DeviceKind);
    else if (receiver)
        texts.receiverClass = receiverClassOfKind(receiver->DeviceKind);
    return texts;
}

QString autostartEntryPath()
{
    return UserBaseDir("XDG_CONFIG_HOME", "/.config") + QStringLiteral("/autostart/talvo-r430k.desktop");
}

QByteArray autostartEntry(const QString& program)
{
    // Exec takes a quoted argument: ", `, $ and \ are escaped inside the
    // quotes, then every backslash once more for the string value, and %
    // doubled so it is no field code.
    QString quoted;
    for (const QChar c : program) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    quoted.replace(QLatin1String("%"), QLatin1String("%%"));
    const QString text = QStringLiteral("[Desktop Entry]\nType=Application\nName=TALVO R430K mouse\nExec=\"")
                         + quoted + QStringLiteral("\"\nTerminal=false\nX-GNOME-Autostart-enabled=true\n");
    return text.toUtf8();
}

bool autostartEntryExists()
{
    return QFileInfo(autostartEntryPath()).isFile();
}

bool setAutostartEntry(bool on, const QString& program, QString* error)
{
    const QString path = autostartEntryPath();
    if (on) {
        if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
            if (error)
                *error = QStringLiteral("cannot create %1").arg(QFileInfo(path).absolutePath());
            return false;
        }
        if (!core::writeFileAtomically(path, autostartEntry(program), error))
            return false;
    } else if (QFileInfo::exists(path) && !QFile::remove(path)) {
        if (error)
            *error = QStringLiteral("cannot remove %1").arg(path);
        return false;
    }
    if (autostartEntryExists() != on) {
        if (error && error->isEmpty())
            *error = QStringLiteral("%1 did not change").arg(path);
        return false;
    }
    return true;
}

const SettingsTool kMouseSettingsTools[6] = {
    {"gnome-control-center", "mouse"}, {"systemsettings", "kcm_mouse"}, {"kcmshell5", "mouse"},
    {"xfce4-mouse-settings", nullptr}, {"mate-mouse-properties", nullptr}, {"lxqt-config-input", nullptr},
};

bool openMouseSettings(const ToolStarter& starter)
{
    for (const SettingsTool& tool : kMouseSettingsTools) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(tool.program));
        if (program.isEmpty())
            continue;
        QStringList arguments;
        if (tool.argument)
            arguments << QString::fromLatin1(tool.argument);
        const bool started = starter ? starter(program, arguments) : QProcess::startDetached(program, arguments);
        if (started)
            return true;
    }
    return false;
}

namespace {

void readNetGroup(QXmlStreamReader& xml, int index, NetTexts* out)
{
    while (xml.readNextStartElement()) {
        const QStringRef name = xml.name();
        if (name == QLatin1String("CompanyName")) {
            out->company = xml.readElementText();
            out->hasCompany = true;
        } else if (name == QLatin1String("CompanyWebcn") && (index == 1 || index == 2)) {
            out->web = xml.readElementText();
            out->hasWeb = true;
        } else if (name == QLatin1String("CompanyWeben") && (index == 0 || index == 3 || index == 4)) {
            out->web = xml.readElementText();
            out->hasWeb = true;
        } else {
            xml.skipCurrentElement();
        }
    }
}

} // namespace

bool readNetProfile(const QString& path, int index, NetTexts* out, QString* error)
{
    // The profile is a few hundred bytes; a larger file, or no regular file, is not read.
    constexpr qint64 kMaxNetProfileBytes = 1024 * 1024;
    QByteArray bytes;
    if (!core::readFileBounded(path, kMaxNetProfileBytes, &bytes, error))
        return false;
    QXmlStreamReader xml(bytes);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("Profile")) {
        if (error)
            *error = xml.hasError() ? xml.errorString() : QStringLiteral("Not a labels file");
        return false;
    }
    const QString group = (index == 1 || index == 2) ? QStringLiteral("Chinese") : QStringLiteral("English");
    NetTexts read;
    while (xml.readNextStartElement()) {
        if (xml.name() == group || xml.name() == QLatin1String("Web"))
            readNetGroup(xml, index, &read);
        else
            xml.skipCurrentElement();
    }
    *out = read;
    if (xml.hasError() && error)
        *error = xml.errorString();
    return true;
}

} // namespace settings
