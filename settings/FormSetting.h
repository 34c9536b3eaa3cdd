#pragma once

#include "core/DongleRGB.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QWidget>

#include <atomic>

class UpDateRepair;

// The settings page. So far it carries what the device link needs of it: the
// firmware look-ups, the bus slots the link reaches and the values they keep.
class FormSetting final : public QWidget
{
    Q_OBJECT

public:
    explicit FormSetting(QWidget* parent = nullptr);
    ~FormSetting() override;

    // True when "/bin" holds an image of that kind, CID, MID and name whose
    // version differs from version (empty = unknown, every match counts). The
    // image found becomes the one an update writes.
    static bool FindUpdateFile(quint8 imageKind, const QString& version, const QString& imageName, quint8 cid,
                               quint8 mid);
    // The same question without keeping the image; false for an unknown version.
    static bool FindNewerFile(quint8 imageKind, const QString& version, const QString& imageName, quint8 cid,
                              quint8 mid);
    // Whether an image of that kind is to be offered for the open device and
    // receiver class (1, 2, 4, 8; any other class has no receiver image).
    static bool CheckUpdateFile(quint8 imageKind, const QString& version, int receiverClass);
    static QList<QByteArray> UpdateImageList();

    void SlotRGBValue(DongleRGB* Rgb);
    void SlotLongRangeMode(bool Select);
    void SlotForm();
    void SlotFormResetForm();
    void SlotFormB();
    void SlotLabelTextB(QString TextA, QString Text);
    void SetVer(int index);
    void SlotCheckUpdate();
    void SlotLightToFrom(int index);
    void SlotLanguageSameB(int index);

    // What the slots last received, for the page's later layout.
    int DongleLightMode() const { return m_dongleLightMode; }
    bool LongRangeMode() const { return m_longRange; }
    int FormCount() const { return m_formCount; }
    int FormResetCount() const { return m_formResetCount; }
    QString ReceiverVersionText() const { return m_receiverText; }
    QString MouseVersionText() const { return m_mouseText; }
    bool ReceiverOffer() const { return m_receiverOffer; }
    int SleepSeconds() const { return m_sleepSeconds; }

private:
    int m_dongleLightMode = 0;
    bool m_longRange = false;
    int m_formCount = 0;
    int m_formResetCount = 0;
    QString m_receiverText;
    QString m_mouseText;
    bool m_receiverOffer = false;
    int m_sleepSeconds = 0;
};
