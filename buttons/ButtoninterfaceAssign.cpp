#include "buttons/Buttoninterface.h"

#include "buttons/ButtonForm.h"
#include "buttons/ButtonLabels.h"
#include "core/DeviceParam.h"
#include "core/DpiCodes.h"
#include "core/KeyTable.h"
#include "core/ProcessState.h"
#include "core/SensorDefines.h"
#include "dialogs/FireKey.h"
#include "dialogs/GroupKey.h"

#include <QButtonGroup>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QToolButton>

#include <iterator>

namespace {

// The functions a menu widget gives at once, labelled with the widget's own
// text. `clears`: a main-list entry, which first unchecks the sub-page choices.
struct AssignRow {
    const char* widget;
    int type;
    int param1;
    bool clears;
};
constexpr AssignRow kAssignRows[] = {
    {"LeftKey_3", 1, 1, true},      {"RightKey_3", 1, 2, true},     {"MidKey", 1, 4, true},
    {"BackKey_2", 1, 8, true},      {"ForWardKey", 1, 16, true},    {"DPI_2", 7, 0, true},
    {"DPI_3", 9, 0, true},          {"DPI_5", 0, 0, true},          {"VolumeUp_8", 2, 1, false},
    {"VolumeUp_9", 2, 2, false},    {"VolumeUp_10", 2, 3, false},   {"VolumeUp_2", 3, 1, false},
    {"VolumeDown_2", 3, 2, false},  {"VolumeUp_14", 11, 1, false},  {"VolumeDown_14", 11, 2, false},
    {"VolumeUp_4", 8, 0, false},    {"VolumeUp_5", 8, 1, false},    {"VolumeUp_6", 8, 3, false},
    {"VolumeUp_7", 8, 4, false},
};

int rowOf(const char* widget)
{
    for (int row = 0; row < int(std::size(kAssignRows)); ++row) {
        if (qstrcmp(kAssignRows[row].widget, widget) == 0)
            return row;
    }
    return -1;
}

constexpr int kFireKeyType = 4;
constexpr int kKeysType = 5;
constexpr int kDpiLockType = 10;
constexpr int kFireIntervalPreset = 10;
constexpr int kFireCountPreset = 3;
constexpr ButtonFunctionCode kKeysCode = {kKeysType, 0, 0};

} // namespace

void Buttoninterface::connectAssignments()
{
    for (int row = 0; row < int(std::size(kAssignRows)); ++row)
        connect(button(kAssignRows[row].widget), &QToolButton::clicked, this,
                [this, row](bool checked) { assignRow(row, checked); });
    for (int row = 0; row < int(std::size(buttons::kDpiLockChoices)); ++row)
        connect(button(buttons::kDpiLockChoices[row].button), &QToolButton::clicked, this,
                [this, row](bool checked) { assignDpiLock(row, checked); });
    for (int i = 0; i < int(std::size(buttons::kConsumerKeys)); ++i)
        connect(button(buttons::kConsumerKeys[i].button), &QToolButton::clicked, this,
                [this, i](bool checked) { multimediaClicked(i, checked); });
    // One press runs the assignment first (a single press sends false, so
    // nothing) and then the dialog.
    QToolButton* fire = button("DPI_6");
    connect(fire, &QToolButton::clicked, this, QOverload<bool>::of(&Buttoninterface::on_DPI_6_clicked));
    connect(fire, &QToolButton::clicked, this, [this] { on_DPI_6_clicked(); });
    connect(button("DPI_8"), &QToolButton::clicked, this, [this] { on_DPI_8_clicked(); });
}

void Buttoninterface::ClearFunctionChecks()
{
    const QAbstractButton* keep[] = {button("VolumeUp_14"), button("VolumeDown_14")};
    ChoiceGroup->setExclusive(false);
    for (QAbstractButton* choice : ChoiceGroup->buttons()) {
        if (choice != keep[0] && choice != keep[1])
            choice->setChecked(false);
    }
    for (QToolButton* macro : MacroButtonList)
        macro->setChecked(false);
    ChoiceGroup->setExclusive(true);
}

void Buttoninterface::labelSlot(int slot, const QString& text)
{
    if (const char* selector = buttons::selectorOfSlot(slot))
        button(selector)->setText(text);
}

// Sends a function to the selected button; the label and the page's copy
// change only when the mouse took it. The menu closes in every case.
void Buttoninterface::assignFunction(int type, int param1, int param2, bool clears, const QString& label)
{
    if (clears)
        ClearFunctionChecks();
    const int slot = selectedSlot();
    if (slot >= 0 && !refusesLeftTakeover(slot, type, param1)
        && SetButtonFunction(slot, quint8(type), quint8(param1), quint8(param2))) {
        labelSlot(slot, label);
        SetButtonTriple(slot, type, param1, param2);
    }
    closeMenu();
}

void Buttoninterface::assignRow(int row, bool checked)
{
    if (!checked || row < 0)
        return;
    const AssignRow& a = kAssignRows[row];
    assignFunction(a.type, a.param1, 0, a.clears, button(a.widget)->text());
}

void Buttoninterface::assignDpiLock(int row, bool checked)
{
    if (!checked)
        return;
    const buttons::DpiLockChoice& choice = buttons::kDpiLockChoices[row];
    // The mouse keeps the code's low byte; the page keeps the whole code.
    const int code = core::DpiToSensorCode(core::SharedSensorDefines(), m_sensorName, choice.dpi);
    const QString label = button("DPI_4")->text() + QLatin1Char('-') + button(choice.button)->text();
    assignFunction(kDpiLockType, code, 0, false, label);
}

void Buttoninterface::on_LeftKey_3_clicked(bool checked)
{
    assignRow(rowOf("LeftKey_3"), checked);
}

void Buttoninterface::on_RightKey_3_clicked(bool checked)
{
    assignRow(rowOf("RightKey_3"), checked);
}

void Buttoninterface::on_MidKey_clicked(bool checked)
{
    assignRow(rowOf("MidKey"), checked);
}

void Buttoninterface::on_BackKey_2_clicked(bool checked)
{
    assignRow(rowOf("BackKey_2"), checked);
}

void Buttoninterface::on_ForWardKey_clicked(bool checked)
{
    assignRow(rowOf("ForWardKey"), checked);
}

void Buttoninterface::on_VolumeUp_8_clicked(bool checked)
{
    assignRow(rowOf("VolumeUp_8"), checked);
}

void Buttoninterface::on_DPI_6_clicked(bool checked)
{
    if (checked)
        assignFunction(kFireKeyType, FireInterval, FireCount, true, button("DPI_6")->text());
}

void Buttoninterface::on_DPI_6_clicked()
{
    if (!deviceAnswers() && ButtonPageUpdating == 0) {
        closeMenu();
        return;
    }
    const int slot = selectedSlot();
    if (refusesLeftTakeover(slot, kFireKeyType, 0))
        return;
    FireKey dialog;
    // A button that holds the fire key opens on its own values.
    const bool holdsFireKey = valueAt(ButtonType, slot) == kFireKeyType;
    dialog.SetInterval(holdsFireKey ? ButtonParam1[slot] : kFireIntervalPreset);
    dialog.SetCount(holdsFireKey ? ButtonParam2[slot] : kFireCountPreset);
    dialog.placeOver(this, -50, -70);
    dialog.exec();
    if (!dialog.Result)
        return;
    FireInterval = dialog.Interval;
    FireCount = dialog.Count;
    on_DPI_6_clicked(true);
}

void Buttoninterface::showFunctionList()
{
    ui->stackedWidget->setCurrentWidget(ui->page_2);
    ui->scrollArea_11->verticalScrollBar()->setStyleSheet(QStringLiteral("QScrollBar {width:10px;}"));
    ui->stackedWidget_2->setCurrentWidget(ui->page_9);
}

bool Buttoninterface::sendKeyCombo(int slot, const QString& keys)
{
    if (refusesLeftTakeover(slot, kKeysType, 0) || !SetButtonKeys(slot, kKeysCode, core::BuildKeyCombo(keys)))
        return false;
    SetButtonTriple(slot, kKeysType, 0, 0);
    // The record keeps the first three keys only; the label names what it holds.
    const QStringList names = core::SplitKeyCombo(keys);
    labelSlot(slot, names.size() <= core::kMaxComboKeys ? keys : names.mid(0, core::kMaxComboKeys).join('+'));
    return true;
}

void Buttoninterface::on_DPI_8_clicked()
{
    if (refusesLeftTakeover(selectedSlot(), kKeysType, 0))
        return;
    // A sub-list opened before (wheel, tilt, ...) closes first: it belongs to another function.
    ui->stackedWidget_2->setCurrentWidget(ui->page_9);
    GroupKey dialog;
    dialog.placeOver(this, -50, -70);
    dialog.exec();
    if (!dialog.Result)
        return;
    ClearFunctionChecks();
    const int slot = selectedSlot();
    if (slot >= 0)
        sendKeyCombo(slot, dialog.KeyText);
    showFunctionList();
}

void Buttoninterface::AssignKeyCombo(int slot, const QString& keys)
{
    ui->stackedWidget_2->setCurrentWidget(ui->page_9);
    ClearFunctionChecks();
    if (buttons::selectorOfSlot(slot))
        sendKeyCombo(slot, keys);
    showFunctionList();
}

bool Buttoninterface::sendConsumerKey(int slot, int index)
{
    const int usage = buttons::kConsumerKeys[index].usage;
    const KeyRecord record = core::MakeConsumerKeyRecord(quint8(usage >> 8), quint8(usage & 0xFF));
    if (refusesLeftTakeover(slot, kKeysType, 0) || !SetButtonKeys(slot, kKeysCode, record))
        return false;
    SetButtonTriple(slot, kKeysType, 0, 0);
    labelSlot(slot, button(buttons::kConsumerKeys[index].button)->text());
    return true;
}

void Buttoninterface::multimediaClicked(int index, bool checked)
{
    if (!checked)
        return;
    const int slot = selectedSlot();
    if (slot >= 0)
        sendConsumerKey(slot, index);
    closeMenu();
}

// Callers may pass the low byte of the usage or the whole usage.
void Buttoninterface::AssignMultimediaKey(int slot, int key)
{
    const int index = buttons::consumerIndex(key);
    if (index >= 0 && buttons::selectorOfSlot(slot))
        sendConsumerKey(slot, index);
}
