#pragma once

#include "core/FlashDataMap.h"

#include <QString>
#include <QWidget>

#include <memory>

class QListView;
class Ui_Sensor;
namespace sensor {
struct ModeState;
}

// The sensor page: DPI stages, report rate, sensor mode, full-performance
// mode, lift-off distance, the three on/off options and the DPI light. The
// option widgets send the user's edits themselves; the page owns the mode
// choice and the performance controls, and fills everything from the
// mouse's image without sending any of it back.
class Sensor final : public QWidget
{
    Q_OBJECT

public:
    explicit Sensor(QWidget* parent = nullptr);
    ~Sensor() override;

    // The number of DPI stages kept in LevelFolder's "Level.ini".
    QString LevelFolder() const { return m_levelFolder; }
    void ReadLevel();
    bool WriteLevel(int n);

    // Read-only seam for the link tests: the last image a fill showed and how
    // many fills and resets ran.
    const FlashDataMap& ShownImage() const { return m_shown; }
    int RefillCount() const { return m_refills; }
    int ResetCount() const { return m_resets; }

    void SlotChangeLanguage(int index);
    void SlotHideModel(int n);
    void SlotUpDataSenSorUISensor(FlashDataMap DataMap);
    void SlotUpDataSenSorUIB(FlashDataMap DataMap);
    void SlotFormReset();
    void SlotUpDataReportRate(int code);
    void SlotUpDataDPI(int level);
    void SlotUpDataDPILed(FlashDataMap DataMap);

    void on_ModelChoose_currentIndexChanged(int index);
    void on_PerformanceOpen_currentIndexChanged(int index);
    void on_Performance_clicked(bool checked);
    void on_Performance_toggled(bool checked);

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyStyles();
    void fill(const FlashDataMap& image);
    void showDpiLight(const FlashDataMap& image);
    // Free shows the stored mode (signals blocked, so nothing is echoed).
    void applyModeChoice(const sensor::ModeState& state, int storedMode);
    bool modelHasModeChoice() const;

    std::unique_ptr<Ui_Sensor> ui;
    QString m_pictureFolder;
    QString m_levelFolder;
    QListView* ModeListView = nullptr;
    FlashDataMap m_shown;
    int m_refills = 0;
    int m_resets = 0;
};
