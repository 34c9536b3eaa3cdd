#pragma once

#include "core/FlashDataMap.h"

#include <QStringList>
#include <QVector>
#include <QWidget>

#include <memory>

class ButtonForm;
class QButtonGroup;
class QToolButton;
class QVBoxLayout;

// The button page: the six assignable buttons of the mouse with the
// function each holds, the function menu, the debounce time, the stored
// configuration and the reset. It makes the one Worker of the process. Device
// data arrive over the PostMsg bus; changes leave through the core's setters.
// GUI thread only.
class Buttoninterface final : public QWidget
{
    Q_OBJECT

public:
    explicit Buttoninterface(QWidget* parent = nullptr);
    ~Buttoninterface() override;

    // Stores a function code in the page's copy of slot `slot`; a slot the
    // device data have not sized is ignored.
    void SetButtonTriple(int slot, int type, int param1, int param2);
    // Sets the selector of `slot` from a function code and an image.
    void UpdateButtonLabel(int slot, int type, int param1, int param2, FlashDataMap image);
    void LoadLanguage(int mode, int index);

    // What the page shows now.
    const FlashDataMap& ShownImage() const { return m_image; }
    int RefillCount() const { return m_refills; }
    int ResetCount() const { return m_resets; }
    QString SensorName() const { return m_sensorName; }
    QStringList MacroButtons() const { return m_macroButtons; }
    int ConfigItems() const { return m_configItems; }
    int ConfigIndex() const;
    bool ConfigEnabled() const;
    const QVector<int>& Types() const { return ButtonType; }
    const QVector<int>& Params1() const { return ButtonParam1; }
    const QVector<int>& Params2() const { return ButtonParam2; }
    const QString& MacroLabelPrefix() const { return MacroText; }
    ButtonForm* form() const { return ui.get(); }

public slots:
    void SlotChangeLanguage(int index);
    void SlotMouseIndex(int index);
    void SlotUpDataButtonUIButton(FlashDataMap DataMap);
    void SlotUpDataButtonUIB(FlashDataMap DataMap);
    void SlotFormResetButton();
    void SlotUpDataConfigUI(int ToTalItem, int SelectIndex, bool ItemEnable);
    void SlotAddMacroButton();

    void on_ProjectChoose_activated(int index);
    void on_Reset_clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void AddMouseButtonsToGroup();
    void CreateMacroButtons();
    void refill(const FlashDataMap& image, bool sensorFirst);
    void fillVectors(const FlashDataMap& image, int count);
    void rebuildLabels(const FlashDataMap& image);
    void rebuildConfigItems();
    void closeMenu();
    void deselect();
    QToolButton* button(const char* name) const;

    std::unique_ptr<ButtonForm> ui;
    QVBoxLayout* MacroLayout = nullptr;
    QList<QToolButton*> MacroButtonList;
    QButtonGroup* SelectorGroup = nullptr;
    QButtonGroup* FunctionGroup = nullptr;
    QButtonGroup* ChoiceGroup = nullptr;
    QButtonGroup* NumberGroup = nullptr;
    QString MainPageDir;
    QVector<int> ButtonType;
    QVector<int> ButtonParam1;
    QVector<int> ButtonParam2;
    QString m_sensorName;
    // The rapid-fire dialog's defaults until the user confirms other values.
    int FireInterval = 10;
    int FireCount = 3;
    QString ButtonColorText;
    QWidget* MacroContainer = nullptr;
    QString PictureDir;
    QString MacroText;
    QString ConfigText;

    FlashDataMap m_image;
    int m_refills = 0;
    int m_resets = 0;
    QStringList m_macroButtons;
    int m_configItems = 0;
};
