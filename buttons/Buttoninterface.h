#pragma once

#include "core/FlashDataMap.h"
#include "dialogs/MakeMacro.h"

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
    // Unchecks every choice of the menu pages and every macro button, except
    // the two vertical-wheel choices.
    void ClearFunctionChecks();
    // Give device slot 0..5 a key combination ("Ctrl+A") or the multimedia
    // key whose consumer usage has the low byte of `key`; other slots and
    // unknown keys send nothing.
    void AssignKeyCombo(int slot, const QString& keys);
    void AssignMultimediaKey(int slot, int key);
    // The record a button gets for the macro file `name` (the slot is not
    // needed); *ok is false, with a zero record, when nothing may be sent.
    MacroRecord ReadMacroPage(const QString& name, int slot, bool* ok) const;
    // The repeat code of the macro file `name`; "0" when it cannot be read.
    QString ReadMacroHeader(const QString& name) const;

    // What the page shows now.
    const FlashDataMap& ShownImage() const { return m_image; }
    int RefillCount() const { return m_refills; }
    int ResetCount() const { return m_resets; }
    QString SensorName() const { return m_sensorName; }
    // The names the macro list offers, in list order.
    QStringList MacroButtons() const;
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
    void SlotDeleteMacroButton(QString MacroName);
    void SlotMacroRename(QString MacroName, QString NewName);
    void SlotUpDataMacro(QString MacroName, int index);

    void on_ProjectChoose_activated(int index);
    void on_Reset_clicked();
    void on_OutputData_clicked();
    void on_ImportData_clicked();

    // Assignments that the page also runs for a button it checked itself.
    void on_LeftKey_3_clicked(bool checked);
    void on_RightKey_3_clicked(bool checked);
    void on_MidKey_clicked(bool checked);
    void on_BackKey_2_clicked(bool checked);
    void on_ForWardKey_clicked(bool checked);
    void on_VolumeUp_8_clicked(bool checked);
    // Fire key: the assignment, and the dialog that runs it on OK.
    void on_DPI_6_clicked(bool checked);
    void on_DPI_6_clicked();
    void on_DPI_8_clicked();
    void on_DPI_10_clicked();
    void on_stackedWidget_currentChanged(int index);

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
    bool filledImage(FlashDataMap* image) const;
    void closeMenu();
    void deselect();
    QToolButton* button(const char* name) const;
    static bool deviceAnswers();
    // Element `slot` of a function vector; -1 (no known function) outside it.
    static int valueAt(const QVector<int>& values, int slot);

    // Selection and menu navigation (ButtoninterfaceMenu.cpp).
    void connectFunctionMenu();
    void selectorClicked(int row);
    void numberClicked(int row);
    void openOnKeys(int row, int slot);
    void checkMacroButtons(const QString& selectorText);
    int checkDpiChoice(int code);
    void setListStep(const char* area, int step);
    int selectedSlot() const;
    int onlyLeftClickSlot() const;
    bool refusesLeftTakeover(int slot, int type, int param1);

    // Assignment (ButtoninterfaceAssign.cpp).
    void connectAssignments();
    void assignFunction(int type, int param1, int param2, bool clears, const QString& label);
    void assignRow(int row, bool checked);
    void assignDpiLock(int row, bool checked);
    void multimediaClicked(int index, bool checked);
    bool sendConsumerKey(int slot, int index);
    bool sendKeyCombo(int slot, const QString& keys);
    void labelSlot(int slot, const QString& text);
    void showFunctionList();

    // Macro buttons (ButtoninterfaceMacro.cpp).
    void listMacroFolder();
    void addMacroButton(const QString& text, bool placeholder);
    void slotButtonClicked(QToolButton* macroButton, bool checked);
    QString plainMacroName(QString name) const;
    QList<int> macroCarriers(const QString& name) const;
    void restoreMouseDefault(int slot, QList<int>* keysToClear);
    void showMacroNotice(MakeMacro::Text text);

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
    int m_configItems = 0;
};
