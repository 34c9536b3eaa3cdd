#pragma once

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QString>

// The firmware update and repair dialog. So far: the image search it owns and
// the entry points the rest of the program calls.
class UpDateRepair final : public QDialog
{
    Q_OBJECT

public:
    explicit UpDateRepair(QWidget* parent = nullptr);

    // True when "/bin" holds an image of that kind, CID, MID and name whose
    // version differs from version (empty = unknown: every match counts). The
    // last such file in name order becomes the image a repair writes.
    static bool FindFirmwareFile(quint8 imageKind, const QString& version, const QString& imageName, quint8 cid,
                                 quint8 mid);
    static QList<QByteArray> RepairImageList();

    void ResetUi();
    void StartAutoRepair(int index);
    void SlotRepairCheckUpdate();

    // Whether a rescan of the open device's bus should make the settings page
    // check again: only while the dialog shows and no update check runs.
    bool WaitsForCheck() const;

    int AutoRepairIndex() const { return m_autoRepairIndex; }

private:
    int m_autoRepairIndex = -1;
};
