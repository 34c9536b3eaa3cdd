#pragma once

#include "core/FlashDataMap.h"

#include <QStringList>
#include <QWidget>

// The button page. So far it carries what the device link needs of it: it
// makes the one Worker, and its bus slots take the device's image with the
// page flags set around each refill.
class Buttoninterface final : public QWidget
{
    Q_OBJECT

public:
    explicit Buttoninterface(QWidget* parent = nullptr);
    ~Buttoninterface() override;

    void SlotUpDataButtonUIButton(FlashDataMap DataMap);
    void SlotUpDataButtonUIB(FlashDataMap DataMap);
    void SlotFormResetButton();
    void SlotUpDataConfigUI(int ToTalItem, int SelectIndex, bool ItemEnable);
    void SlotAddMacroButton();

    // What the page shows now.
    const FlashDataMap& ShownImage() const { return m_image; }
    int RefillCount() const { return m_refills; }
    int ResetCount() const { return m_resets; }
    QString SensorName() const { return m_sensorName; }
    QStringList MacroButtons() const { return m_macroButtons; }
    int ConfigItems() const { return m_configItems; }
    int ConfigIndex() const { return m_configIndex; }
    bool ConfigEnabled() const { return m_configEnabled; }

private:
    void refill(const FlashDataMap& image);

    FlashDataMap m_image;
    int m_refills = 0;
    int m_resets = 0;
    QString m_sensorName;
    QStringList m_macroButtons;
    int m_configItems = 0;
    int m_configIndex = 0;
    bool m_configEnabled = false;
};
