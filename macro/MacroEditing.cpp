// The macro page's event list: its rows, the inserts of the event chooser,
// amending and deleting rows, the repeat mode and saving.
#include "macro/Macro.h"

#include "core/PostMsg.h"
#include "dialogs/AddDelayTime.h"
#include "dialogs/addKey.h"
#include "macro/MacroForm.h"
#include "shell/common/MyConmboBox.h"

#include <QCheckBox>
#include <QListWidget>
#include <QLoggingCategory>
#include <QScrollBar>
#include <QSpinBox>

#include <iterator>

namespace {
Q_LOGGING_CATEGORY(lcMacro, "app.macro")

// What a row carries besides its text: the event code and type of a key row,
// and the wait of a delay row (present on delay rows only).
constexpr int kCodeRole = Qt::UserRole;
constexpr int kTypeRole = Qt::UserRole + 1;
constexpr int kDelayRole = Qt::UserRole + 2;
constexpr int kPressItemType = 0;
constexpr int kReleaseItemType = 1;

enum class Choice { Nothing, Press, Release, Delay, MouseClick };
struct ChoiceRow {
    Choice choice;
    quint16 mouseBit;
};
// The entries of ChooseEvent by index.
constexpr ChoiceRow kChoices[] = {
    {Choice::Nothing, 0},     {Choice::Press, 0},       {Choice::Release, 0},
    {Choice::Delay, 0},       {Choice::MouseClick, 1},  {Choice::MouseClick, 2},
    {Choice::MouseClick, 4},  {Choice::MouseClick, 16}, {Choice::MouseClick, 8},
};

// The repeat boxes that stand for a fixed code; ReNumber stands for its count.
struct RepeatRow {
    QCheckBox* MacroForm::*box;
    int code;
};
constexpr RepeatRow kRepeatModes[] = {
    {&MacroForm::ReUntilLoose, 254},
    {&MacroForm::ReUntilClick, 255},
    {&MacroForm::ReUntil, 253},
};

constexpr int kKeyDialogDx = -50;
constexpr int kKeyDialogDy = -70;

} // namespace

const QIcon& Macro::rowIcon(const core::MacroRow& row) const
{
    return row.isDelay ? m_delayIcon : (row.release ? m_releaseIcon : m_pressIcon);
}

QListWidgetItem* Macro::makeItem(const core::MacroRow& row) const
{
    auto* item = new QListWidgetItem(rowIcon(row), row.text, nullptr, row.release ? kReleaseItemType : kPressItemType);
    item->setData(kCodeRole, row.code);
    item->setData(kTypeRole, row.eventType);
    if (row.isDelay)
        item->setData(kDelayRole, row.delayMs);
    return item;
}

core::MacroRow Macro::rowOf(const QListWidgetItem* item)
{
    core::MacroRow row;
    row.text = item->text();
    row.release = item->type() == kReleaseItemType;
    row.isDelay = item->data(kDelayRole).isValid();
    row.delayMs = item->data(kDelayRole).toUInt();
    row.eventType = quint8(item->data(kTypeRole).toUInt());
    row.code = quint16(item->data(kCodeRole).toUInt());
    return row;
}

macro::MacroEventList Macro::eventList() const
{
    macro::MacroEventList list;
    for (int i = 0; i < m_ui->listWidgetKey->count(); ++i)
        list.rows.append(rowOf(m_ui->listWidgetKey->item(i)));
    list.current = m_ui->listWidgetKey->currentRow();
    return list;
}

void Macro::showEventList(const macro::MacroEventList& list)
{
    QListWidget* view = m_ui->listWidgetKey;
    const int scrolled = view->verticalScrollBar()->value();
    view->clear();
    for (const core::MacroRow& row : list.rows)
        view->addItem(makeItem(row));
    view->verticalScrollBar()->setValue(scrolled);
    view->setCurrentRow(list.current);
}

void Macro::showMacroRows(const QString& name, const QVector<core::MacroRow>& rows)
{
    m_shown.name = name;
    ++m_shown.generation;
    m_shown.edited = false;
    showEventList({rows, -1});
}

bool Macro::stillShown(const Shown& before) const
{
    return !m_shown.name.isEmpty() && m_shown.name == before.name && m_shown.generation == before.generation;
}

void Macro::AddKeyItem(const core::MacroRow& row)
{
    if (m_shown.name.isEmpty())
        return;
    QListWidgetItem* item = makeItem(row);
    m_ui->listWidgetKey->addItem(item);
    m_ui->listWidgetKey->setCurrentItem(item);
}

void Macro::AddDelayItem(const core::MacroRow& row)
{
    if (m_shown.name.isEmpty())
        return;
    m_ui->listWidgetKey->addItem(makeItem(row));
    m_ui->listWidgetKey->setCurrentRow(m_ui->listWidgetKey->count() - 2);
}

void Macro::insertRows(int addedKeys, const std::function<void(macro::MacroEventList&)>& edit)
{
    macro::MacroEventList list = eventList();
    // More events than a record holds could never reach the mouse whole.
    if (!macro::fitsEventLimit(list.rows, addedKeys)) {
        showNotice(Notice::KeyLimit);
        return;
    }
    EventsChanged = true;
    edit(list);
    showEventList(list);
    setSaveEnabled(true);
}

void Macro::on_ChooseEvent_activated(int index)
{
    if (index < 0 || index >= int(std::size(kChoices)))
        return;
    const ChoiceRow choice = kChoices[index];
    switch (choice.choice) {
    case Choice::Nothing:
        break;
    case Choice::Press:
    case Choice::Release:
        insertKeyRow(choice.choice == Choice::Release);
        break;
    case Choice::Delay:
        enterDelay(-1);
        break;
    case Choice::MouseClick:
        if (m_shown.name.isEmpty())
            break;
        insertRows(2, [&choice](macro::MacroEventList& list) {
            macro::insertMouseClick(list, macro::mouseButtonRow(choice.mouseBit, false),
                                    macro::mouseButtonRow(choice.mouseBit, true));
        });
        break;
    }
}

void Macro::insertKeyRow(bool release)
{
    const Shown before = m_shown;
    addKey dialog(nullptr);
    dialog.placeOver(this, kKeyDialogDx, kKeyDialogDy);
    // The dialog's own event loop may have shown another macro meanwhile.
    if (dialog.exec() != QDialog::Accepted || !dialog.Result || !stillShown(before))
        return;
    const auto key = core::makeKeyRow(dialog.KeyName, release);
    if (key)
        insertRows(1, [&key](macro::MacroEventList& list) { macro::insertKey(list, *key); });
}

// row < 0: a new delay at the selection (the event chooser); else the delay row to amend.
void Macro::enterDelay(int row)
{
    const Shown before = m_shown;
    AddDelayTime dialog(nullptr);
    dialog.placeOver(this, kKeyDialogDx, kKeyDialogDy);
    dialog.exec();
    if (!dialog.Result || !stillShown(before))
        return;
    const core::MacroRow delay = core::makeDelayRow(quint32(dialog.Delay));
    if (row < 0) {
        macro::MacroEventList list = eventList();
        if (list.current < 0)
            return;
        EventsChanged = true;
        if (macro::insertDelay(list, delay.delayMs))
            showEventList(list);
    } else if (QListWidgetItem* item = m_ui->listWidgetKey->item(row)) {
        item->setData(kDelayRole, delay.delayMs);
        item->setText(delay.text);
    }
    setSaveEnabled(true);
}

void Macro::amendKeyRow(int row)
{
    const Shown before = m_shown;
    addKey dialog(nullptr);
    dialog.placeOver(this, kKeyDialogDx, kKeyDialogDy);
    if (dialog.exec() != QDialog::Accepted || !dialog.Result || !stillShown(before))
        return;
    QListWidgetItem* item = m_ui->listWidgetKey->item(row);
    const auto key = item ? core::makeKeyRow(dialog.KeyName, rowOf(item).release) : std::nullopt;
    if (!key)
        return;
    // Press or release stays as it was, and with it the icon and item type.
    item->setData(kCodeRole, key->code);
    item->setData(kTypeRole, key->eventType);
    item->setText(key->text);
    setSaveEnabled(true);
}

void Macro::on_Amend_clicked()
{
    if (refusesWhileRecording())
        return;
    const int row = m_ui->listWidgetKey->currentRow();
    if (row < 0)
        return;
    if (rowOf(m_ui->listWidgetKey->item(row)).isDelay)
        enterDelay(row);
    else
        amendKeyRow(row);
}

void Macro::on_DeleteKey_clicked()
{
    if (refusesWhileRecording() || m_shown.name.isEmpty())
        return;
    macro::MacroEventList list = eventList();
    if (!macro::deleteSelected(list))
        return;
    showEventList(list);
    EventsChanged = true;
    setSaveEnabled(true);
}

void Macro::on_NumberEdit_valueChanged(int /*arg1*/)
{
    RepeatChanged = true;
    setSaveEnabled(true);
}

void Macro::on_listWidgetKey_itemChanged(QListWidgetItem* /*item*/)
{
    EventsChanged = true;
}

int Macro::repeatCode() const
{
    for (const RepeatRow& mode : kRepeatModes) {
        if ((m_ui.get()->*mode.box)->isChecked())
            return mode.code;
    }
    return m_ui->NumberEdit->value();
}

void Macro::showRepeat(int code)
{
    for (const RepeatRow& mode : kRepeatModes) {
        if (mode.code == code) {
            (m_ui.get()->*mode.box)->setChecked(true);
            return;
        }
    }
    m_ui->ReNumber->setChecked(true);
    m_ui->NumberEdit->setValue(code >= 1 && code <= 250 ? code : 1);
}

void Macro::on_Save_clicked()
{
    if (refusesWhileRecording())
        return;
    if (m_shown.name.isEmpty()) {
        setSaveEnabled(false);
        return;
    }
    // Name, repeat and rows are taken together and written in one go, so
    // nothing that runs meanwhile can mix two macros or leave a file empty.
    const QString name = m_shown.name;
    QString error;
    if (!core::writeMacroFile(name, repeatCode(), eventList().rows, &error)) {
        qCWarning(lcMacro) << "macro not saved:" << error;
        // The edits stay on the page, Save stays armed: nothing may look saved.
        setSaveEnabled(true);
        showNotice(Notice::MacroNotSaved);
        return;
    }
    MacroFilePath = core::macroFilePath(name);
    setSaveEnabled(false);
    m_shown.edited = false;
    if (EventsChanged) {
        EventsChanged = false;
        PostMsg::instance()->EmitUpDataMacro(name, 0);
    }
    if (RepeatChanged) {
        RepeatChanged = false;
        PostMsg::instance()->EmitUpDataMacro(name, 1);
    }
}

void Macro::dropTrailingDelayRow()
{
    macro::MacroEventList list = eventList();
    if (macro::dropTrailingDelay(list))
        showEventList(list);
}
